# Runs adpcmtbl on a fresh copy of the example and shows what it made.
# Expects TOOL, EXAMPLE and WORK.
file(REMOVE_RECURSE "${WORK}")
file(COPY "${EXAMPLE}/" DESTINATION "${WORK}")
file(REMOVE "${WORK}/make_demo.py")

message("-- adpcmtbl in ${WORK}")
execute_process(COMMAND "${TOOL}" WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE status)
message("-- exit status: ${status}")

file(READ "${WORK}/pcmxml.txt" map)
message("-- pcmxml.txt:\n${map}")
file(READ "${WORK}/PCMTBL" pcmtbl HEX)
string(REGEX REPLACE "(................)" "\\1\n" pcmtbl "${pcmtbl}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\1 " pcmtbl "${pcmtbl}")
message("-- PCMTBL, one 8-byte record a line:\n${pcmtbl}")

if(NOT status EQUAL 0)
  message(FATAL_ERROR "adpcmtbl failed")
endif()
