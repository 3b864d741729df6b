# adpcmtblAddTable.cmake: a build step that makes a table with adpcmtbl.
#
#   adpcmtbl_add_table(<target> DIRECTORY <dir> [NO_PRESENCE_CHECK])
#
# Adds <target>, built by default, which runs adpcmtbl::adpcmtbl on the DATA
# and VOICE.n files of <dir> and leaves PCMTBL and pcmxml.txt in
# ${CMAKE_CURRENT_BINARY_DIR}/<target>/; nothing is ever written into <dir>.
# The two paths are set in the caller's <target>_PCMTBL and <target>_MAP, and
# in the target properties ADPCMTBL_PCMTBL and ADPCMTBL_MAP.
#
# The table is made again when DATA changes, when a VOICE.n (1 to 32)
# appears or disappears, or when the tool does; what the VOICE.n files hold
# plays no part.  NO_PRESENCE_CHECK runs the tool with -n, and then the
# VOICE.n files play no part at all.  A run that fails fails the build and
# leaves neither output behind.
function(adpcmtbl_add_table target)
  cmake_parse_arguments(PARSE_ARGV 1 table "NO_PRESENCE_CHECK" "DIRECTORY" "")
  if(table_UNPARSED_ARGUMENTS OR NOT table_DIRECTORY)
    message(FATAL_ERROR
      "usage: adpcmtbl_add_table(<target> DIRECTORY <dir> [NO_PRESENCE_CHECK])")
  endif()
  get_filename_component(dir "${table_DIRECTORY}" ABSOLUTE
    BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  set(work "${CMAKE_CURRENT_BINARY_DIR}/${target}")
  set(outputs "${work}/PCMTBL" "${work}/pcmxml.txt")
  set(inputs "${dir}/DATA")
  set(switch "")
  if(table_NO_PRESENCE_CHECK)
    set(switch -n)
  else()
    # Which voice files exist is an input in itself, and a file that
    # disappears leaves nothing newer behind.  CONFIGURE_DEPENDS has every
    # build look again and rerun CMake when the answer changes; the list
    # file is rewritten then, and only then, and the table follows it.
    file(GLOB candidates CONFIGURE_DEPENDS "${dir}/VOICE.*")
    set(voices "")
    foreach(number RANGE 1 32)
      if("${dir}/VOICE.${number}" IN_LIST candidates)
        list(APPEND voices "VOICE.${number}")
      endif()
    endforeach()
    file(CONFIGURE OUTPUT "${work}.voices" CONTENT "${voices}\n")
    list(APPEND inputs "${work}.voices")
  endif()
  set(script "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/adpcmtblRunTable.cmake")
  add_custom_command(OUTPUT ${outputs}
    COMMAND "${CMAKE_COMMAND}" "-DTOOL=$<TARGET_FILE:adpcmtbl::adpcmtbl>"
      "-DSWITCH=${switch}" "-DTABLE=${dir}" "-DWORK=${work}" -P "${script}"
    DEPENDS ${inputs} adpcmtbl::adpcmtbl "${script}"
    COMMENT "adpcmtbl: making the table of ${dir}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${outputs})
  set_target_properties(${target} PROPERTIES
    ADPCMTBL_PCMTBL "${work}/PCMTBL" ADPCMTBL_MAP "${work}/pcmxml.txt")
  set(${target}_PCMTBL "${work}/PCMTBL" PARENT_SCOPE)
  set(${target}_MAP "${work}/pcmxml.txt" PARENT_SCOPE)
endfunction()
