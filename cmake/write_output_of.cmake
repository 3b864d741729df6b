# Runs COMMAND (a list) and writes what it prints to OUTPUT; on a failure no
# OUTPUT is left behind for the build to take as made.
get_filename_component(folder "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
execute_process(COMMAND ${COMMAND} OUTPUT_FILE "${OUTPUT}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "${COMMAND}: ${status}")
endif()
