# Fails when the tool would load the C++ runtime library at start.
execute_process(COMMAND ldd "${TOOL}" OUTPUT_VARIABLE libraries RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ldd ${TOOL} failed")
endif()
if(libraries MATCHES "libstdc\\+\\+|libc\\+\\+")
  message(FATAL_ERROR "${TOOL} needs a C++ runtime library:\n${libraries}")
endif()
