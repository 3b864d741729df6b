# adpcmtblRunTable.cmake: the command of adpcmtbl_add_table()'s rule.
#   cmake -DTOOL=<tool> [-DSWITCH=-n] -P adpcmtblRunTable.cmake -- TABLE OUTPUT [VOICES]
# Runs TOOL (with SWITCH, if any) on the files of TABLE in a scratch folder of
# its own, then renames the finished PCMTBL and pcmxml.txt into OUTPUT.  It
# writes nothing into TABLE, and removes only its scratch folder and, on a
# failure, the two outputs.  VOICES is the list that adpcmtblListVoices.cmake
# wrote: the voice files present; without it (-n) the tool opens none.

# The paths come after "--", where cmake takes every byte as it stands
# (a -D value loses its trailing blanks).
set(first 0)
while(first LESS CMAKE_ARGC AND NOT "${CMAKE_ARGV${first}}" STREQUAL "--")
  math(EXPR first "${first} + 1")
endwhile()
math(EXPR table_argument "${first} + 1")
math(EXPR output_argument "${first} + 2")
math(EXPR voices_argument "${first} + 3")
set(TABLE "${CMAKE_ARGV${table_argument}}")
set(OUTPUT "${CMAKE_ARGV${output_argument}}")
set(VOICES "")
if(voices_argument LESS CMAKE_ARGC)
  set(VOICES "${CMAKE_ARGV${voices_argument}}")
endif()

# Configuring made sure that OUTPUT is not TABLE; a link put in its place
# since must not lead the run into it.
get_filename_component(real_output "${OUTPUT}" REALPATH)
get_filename_component(real_table "${TABLE}" REALPATH)
if(real_output STREQUAL real_table)
  message(FATAL_ERROR "adpcmtbl: the output folder ${OUTPUT} is the table folder "
    "${TABLE}, and nothing may be written there")
endif()

# One folder a run: a Makefile generator gives each target that uses the
# table a copy of its rule, and two such runs at once must never meet.
string(RANDOM LENGTH 16 id)
set(scratch "${OUTPUT}/.adpcmtbl-runs/${id}")
file(MAKE_DIRECTORY "${scratch}")
# The tool sees the table's files through links, each by its own name (a
# pattern would take brackets or stars in the table's path for wildcards):
# DATA, unless it is missing or a folder, which the tool reports alike, and
# the voice files that the list holds.  Where no link can be made (Windows,
# without the right to), a copy is as good: the tool only opens the files.
set(names "")
if(EXISTS "${TABLE}/DATA" AND NOT IS_DIRECTORY "${TABLE}/DATA")
  set(names DATA)
endif()
if(NOT VOICES STREQUAL "")
  file(STRINGS "${VOICES}" voices)
  list(APPEND names ${voices})
endif()
foreach(name IN LISTS names)
  file(CREATE_LINK "${TABLE}/${name}" "${scratch}/${name}" SYMBOLIC COPY_ON_ERROR)
endforeach()

# The log: both of the tool's streams in one file, in the order it writes
# them, as a plain run to a file shows them.  It is printed in pieces of
# whole lines, each by one write of `cmake -E cat`, which CMake passes on
# whole up to 1024 bytes (CMake 3.18 and 3.25; 3.31 and 4.3 more), so that no
# run in parallel breaks a line of it.  (message() writes in pieces of its
# own, of 128 bytes in CMake 3.31, and the two streams passed on apart could
# put the listing before the messages.)
set(log "${scratch}/adpcmtbl.log")
execute_process(COMMAND "${TOOL}" ${SWITCH} WORKING_DIRECTORY "${scratch}"
  OUTPUT_FILE "${log}" ERROR_FILE "${log}" RESULT_VARIABLE status)
set(piece_size 1024)
file(READ "${log}" text)
while(NOT text STREQUAL "")
  string(SUBSTRING "${text}" 0 ${piece_size} piece)
  string(LENGTH "${piece}" length)
  string(FIND "${piece}" "\n" last_newline REVERSE)
  if(length EQUAL piece_size AND last_newline GREATER -1)
    math(EXPR length "${last_newline} + 1")
    string(SUBSTRING "${piece}" 0 ${length} piece)
  endif()
  string(SUBSTRING "${text}" ${length} -1 text)
  file(WRITE "${log}" "${piece}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E cat "${log}")
endwhile()

if(NOT status EQUAL 0)
  # Nothing is left that a later step could take for a finished table.
  file(REMOVE "${OUTPUT}/PCMTBL" "${OUTPUT}/pcmxml.txt")
  file(REMOVE_RECURSE "${scratch}")
  message(FATAL_ERROR "adpcmtbl failed on ${TABLE}: exit status ${status}")
endif()
# A rename replaces the old file whole: a reader sees the old table or the new.
file(RENAME "${scratch}/PCMTBL" "${OUTPUT}/PCMTBL")
file(RENAME "${scratch}/pcmxml.txt" "${OUTPUT}/pcmxml.txt")
file(REMOVE_RECURSE "${scratch}")
