# adpcmtblListVoices.cmake: run at every build by adpcmtbl_add_table()'s
# rules.  Writes the names of the VOICE.n files in TABLE to LIST, one a line,
# and rewrites LIST only when they change, so that the table is made again
# exactly when a voice file appears or disappears.
set(present "")
foreach(number RANGE 1 32)
  set(voice "${TABLE}/VOICE.${number}")
  # A folder is no voice file: the tool takes it for missing.
  if(EXISTS "${voice}" AND NOT IS_DIRECTORY "${voice}")
    string(APPEND present "VOICE.${number}\n")
  endif()
endforeach()
set(listed "")
if(EXISTS "${LIST}")
  file(READ "${LIST}" listed)
endif()
if(NOT listed STREQUAL present)
  file(WRITE "${LIST}" "${present}")
endif()
