# adpcmtblListVoices.cmake: run at every build by adpcmtbl_add_table()'s rules.
#   cmake -P adpcmtblListVoices.cmake -- TABLE LIST
# Writes the names of the VOICE.n files in TABLE to LIST, one a line, and
# rewrites LIST only when they change, so that the table is made again
# exactly when a voice file appears or disappears.

# After "--", every byte of the paths stands as given.
math(EXPR table_argument "${CMAKE_ARGC} - 2")
math(EXPR list_argument "${CMAKE_ARGC} - 1")
set(TABLE "${CMAKE_ARGV${table_argument}}")
set(LIST "${CMAKE_ARGV${list_argument}}")

set(present "")
foreach(number RANGE 1 32)
  set(voice "${TABLE}/VOICE.${number}")
  # A folder is no voice file: the tool takes it for missing.
  if(EXISTS "${voice}" AND NOT IS_DIRECTORY "${voice}")
    string(APPEND present "VOICE.${number}\n")
  endif()
endforeach()
# Written when its text differs and only then, an empty list too (the table's
# rule needs the file); the names hold nothing that @ONLY would replace.
file(CONFIGURE OUTPUT "${LIST}" CONTENT "${present}" @ONLY)
