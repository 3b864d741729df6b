# adpcmtblListVoices.cmake: run at every build by adpcmtbl_add_table()'s rules.
#   cmake -P adpcmtblListVoices.cmake -- TABLE LIST
# Writes the names of the VOICE.n files present in TABLE, by the tool's rule
# (below), to LIST, one a line, and rewrites LIST only when they change, so
# that the table is made again exactly when a voice file appears or
# disappears.  The run of the tool links those listed, and no others, so this
# file alone decides what is present.

# After "--", every byte of the paths stands as given.
math(EXPR table_argument "${CMAKE_ARGC} - 2")
math(EXPR list_argument "${CMAKE_ARGC} - 1")
set(TABLE "${CMAKE_ARGV${table_argument}}")
set(LIST "${CMAKE_ARGV${list_argument}}")

# The tool's rule: a voice file is present when it opens for reading and is
# not a folder, so one that becomes readable or stops being readable appears
# or disappears.  Neither test below opens the file (file(READ) would stop the
# build on one that cannot be read, and wait for a writer on a named pipe,
# which the tool counts as present).  IS_READABLE says it from CMake 3.29.
# Before, EXISTS does on POSIX hosts (it asks access(R_OK), which answers for
# root as opening would), though 3.25's manual promises only that the file
# exists, and later ones warn that it may come to test no more: the scenario
# recipe.cmake.remade_when_a_voice_file_comes_or_goes guards it.  On a
# Windows host both see only that the file exists.
if(CMAKE_VERSION VERSION_LESS 3.29)
  set(readable EXISTS)
else()
  set(readable IS_READABLE)
endif()
set(present "")
foreach(number RANGE 1 32)
  set(voice "${TABLE}/VOICE.${number}")
  if(${readable} "${voice}" AND NOT IS_DIRECTORY "${voice}")
    string(APPEND present "VOICE.${number}\n")
  endif()
endforeach()
# Written when its text differs and only then, an empty list too (the table's
# rule needs the file); the names hold nothing that @ONLY would replace.
# Without a NEWLINE_STYLE, CMake 3.18 leaves the line breaks out.
file(CONFIGURE OUTPUT "${LIST}" CONTENT "${present}" @ONLY NEWLINE_STYLE LF)
