# adpcmtblRunTable.cmake: the command of adpcmtbl_add_table()'s rule.  Runs
# TOOL (with SWITCH, if any) in WORK, on the DATA and VOICE.n files of TABLE
# seen through links, so that the tool writes its outputs into WORK and never
# into TABLE.
file(MAKE_DIRECTORY "${WORK}")
file(GLOB stale "${WORK}/VOICE.*")
file(REMOVE "${WORK}/DATA" "${WORK}/PCMTBL" "${WORK}/pcmxml.txt" ${stale})
file(GLOB inputs "${TABLE}/DATA" "${TABLE}/VOICE.*")
foreach(input IN LISTS inputs)
  get_filename_component(name "${input}" NAME)
  # Where no link can be made (Windows, without the right to), a copy is
  # as good: the tool only opens the voice files.
  file(CREATE_LINK "${input}" "${WORK}/${name}" SYMBOLIC COPY_ON_ERROR)
endforeach()
execute_process(COMMAND "${TOOL}" ${SWITCH} WORKING_DIRECTORY "${WORK}"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  # Nothing is left that a later build could take for a finished table.
  file(REMOVE "${WORK}/PCMTBL" "${WORK}/pcmxml.txt")
  message(FATAL_ERROR "adpcmtbl failed on ${TABLE}: exit status ${status}")
endif()
