# adpcmtblAddTable.cmake: adpcmtbl_add_table(), the build step that makes a
# voice table's PCMTBL and pcmxml.txt with adpcmtbl.
#
#   adpcmtbl_add_table(<target> DIRECTORY <dir>
#                      [OUTPUT_DIRECTORY <out>] [DEPENDS <file or target>...]
#                      [NO_PRESENCE_CHECK])
#
# Adds <target>, built by default (and <target>_voices, which looks for the
# voice files at every build), which runs adpcmtbl::adpcmtbl on the DATA
# and VOICE.n files of <dir> and leaves PCMTBL and pcmxml.txt in <out>
# (default ${CMAKE_CURRENT_BINARY_DIR}/<target>; a relative <out> is taken
# from there).  DEPENDS names what the build makes before the table: voice
# files, or DATA itself, as files (outputs of add_custom_command()) or as
# targets; without it, <dir> and its DATA must exist when the project is
# configured.  NO_PRESENCE_CHECK runs the tool with -n, and then the VOICE.n
# files play no part at all; otherwise the table is made again when one
# appears or disappears, present by the tool's own rule: it can be opened for
# reading and is not a folder (decided in adpcmtblListVoices.cmake).
#
# The paths of the outputs are set in the caller's <target>_PCMTBL and
# <target>_MAP, and in <target>'s properties ADPCMTBL_PCMTBL and ADPCMTBL_MAP;
# a step in another directory that uses them names <target> too, so that it
# is made first.  What the function guarantees and refuses, with examples, is
# in docs/build-recipes.md in the adpcmtbl sources.

# The absolute path of |path| with every link in the part of it that exists
# resolved, so that two names of one folder compare equal.
function(_adpcmtbl_resolve path out_var)
  set(base "${path}")
  set(missing "")
  while(NOT EXISTS "${base}")
    get_filename_component(name "${base}" NAME)
    get_filename_component(parent "${base}" DIRECTORY)
    if(parent STREQUAL base)
      break()
    endif()
    set(missing "/${name}${missing}")
    set(base "${parent}")
  endwhile()
  get_filename_component(base "${base}" REALPATH)
  string(REGEX REPLACE "/$" "" base "${base}")  # a root keeps no slash
  if(WIN32 OR APPLE)  # names that differ only in case are one file
    string(TOLOWER "${base}${missing}" base)
    set(missing "")
  endif()
  set(${out_var} "${base}${missing}" PARENT_SCOPE)
endfunction()

# Stops configuration when the build would write into the table folder |table| through
# |folder|, the build or output folder (|kind|): when it is the table folder or, for an
# output folder, holds it or lies in it below a folder the build would create there.
function(_adpcmtbl_keep_out target kind folder table)
  _adpcmtbl_resolve("${folder}" out)
  _adpcmtbl_resolve("${table}" in)
  string(FIND "${in}/" "${out}/" holds)    # 0: |folder| is or holds the table
  string(FIND "${out}/" "${in}/" inside)   # 0: |folder| is or lies in it
  set(problem "")
  if(out STREQUAL in)
    set(problem "is the table folder")
  elseif(kind STREQUAL "build")  # it may hold a table that the build makes
  elseif(holds EQUAL 0)
    set(problem "holds the table folder")
  elseif(inside EQUAL 0)
    # The first folder below the table folder on the way to |folder|.
    string(LENGTH "${in}/" length)
    string(SUBSTRING "${out}" ${length} -1 below)
    string(REGEX REPLACE "/.*" "" first "${below}")
    if(NOT IS_DIRECTORY "${in}/${first}")
      set(problem "would be created in the table folder")
    endif()
  endif()
  set(advice "Configure the project in a build folder of its own (cmake -B build).")
  if(kind STREQUAL "output")
    set(advice "Give OUTPUT_DIRECTORY a folder outside the table folder, give the target "
      "another name, or configure the project in a build folder of its own (cmake -B build).")
  endif()
  if(problem)
    message(FATAL_ERROR "adpcmtbl_add_table(${target}): the ${kind} folder\n  ${folder}\n"
      "${problem}\n  ${table}\nand nothing may be written there.  " ${advice})
  endif()
endfunction()

# Run under Ninja once every directory is read, for the tables whose DATA
# did not exist at their call: Ninja stops the first build on a missing file
# that no rule makes, and the rule may come after the table.  A rule marks
# its outputs GENERATED in its own directory: that of the table's call, or
# of a target of DEPENDS.
function(_adpcmtbl_check_data)
  get_property(tables GLOBAL PROPERTY _adpcmtbl_data_unseen)
  foreach(target IN LISTS tables)
    get_target_property(data ${target} _ADPCMTBL_DATA)
    get_target_property(depends ${target} _ADPCMTBL_DEPENDS)
    set(generated FALSE)
    set(makers "")
    foreach(item IN ITEMS ${target} ${depends})
      if(TARGET "${item}" AND NOT generated)
        get_target_property(folder "${item}" SOURCE_DIR)
        get_source_file_property(generated "${data}" DIRECTORY "${folder}" GENERATED)
        list(APPEND makers "${item}")
      endif()
    endforeach()
    if(generated OR EXISTS "${data}")
      continue()
    endif()
    list(REMOVE_AT makers 0)  # the table's own target, there for its folder
    set(fix "Make it")
    if(NOT "${makers}" STREQUAL "")
      list(JOIN makers ", " makers)
      set(fix "If a target of DEPENDS (${makers}) writes it, add\n"
        "  BYPRODUCTS ${data}\nto that add_custom_target(), or make it")
    endif()
    message(FATAL_ERROR "adpcmtbl_add_table(${target}): no rule of the build "
      "is known to make the table's\n  ${data}\nwhich does not exist yet.  "
      ${fix} " the OUTPUT of an add_custom_command(), so that "
      "every generator (Ninja too) knows where it comes from.")
  endforeach()
endfunction()

function(adpcmtbl_add_table target)
  cmake_parse_arguments(PARSE_ARGV 1 table "NO_PRESENCE_CHECK"
    "DIRECTORY;OUTPUT_DIRECTORY" "DEPENDS")
  if(table_UNPARSED_ARGUMENTS OR NOT table_DIRECTORY)
    message(FATAL_ERROR "usage: adpcmtbl_add_table(<target> DIRECTORY <dir> "
      "[OUTPUT_DIRECTORY <out>] [DEPENDS <file or target>...] [NO_PRESENCE_CHECK])")
  endif()
  get_filename_component(dir "${table_DIRECTORY}" ABSOLUTE
    BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  if(NOT table_OUTPUT_DIRECTORY)
    set(table_OUTPUT_DIRECTORY "${target}")
  endif()
  get_filename_component(out "${table_OUTPUT_DIRECTORY}" ABSOLUTE
    BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")

  # Names that cannot reach the build tool as one path, so that its rules
  # would name other files: "$(" is make's, "$<" a generator expression,
  # CMake refuses "#" in an output, and takes a backslash for a separator
  # (so it is looked for before the path is made absolute).
  set(unusable "[;\n\r]|[$][(<]")
  set(refused "")
  if(dir MATCHES "${unusable}")
    set(refused "${dir}")
  elseif(out MATCHES "${unusable}|#")
    set(refused "${out}")
  elseif(NOT CMAKE_HOST_WIN32 AND table_DIRECTORY MATCHES "[\\]")
    set(refused "${table_DIRECTORY}")
  elseif(NOT CMAKE_HOST_WIN32 AND table_OUTPUT_DIRECTORY MATCHES "[\\]")
    set(refused "${table_OUTPUT_DIRECTORY}")
  endif()
  if(NOT refused STREQUAL "")
    message(FATAL_ERROR "adpcmtbl_add_table(${target}): the folder\n  ${refused}\n"
      "has in its name what CMake cannot pass to the build tool (\";\", a line "
      "break, \"$(\", \"$<\", a backslash, or \"#\" in the output folder): "
      "rename it, or reach it through a link whose name has none.")
  endif()
  # CMake's own files would land in the table folder.
  foreach(build IN ITEMS "${CMAKE_BINARY_DIR}" "${CMAKE_CURRENT_BINARY_DIR}")
    _adpcmtbl_keep_out("${target}" build "${build}" "${dir}")
  endforeach()
  # Names are compared as strings: if() would take a lone target named "no"
  # or "off" for none.
  string(COMPARE EQUAL "${table_DEPENDS}" "" no_depends)
  # Found now rather than as a missing file half-way through the build.
  if(no_depends AND NOT IS_DIRECTORY "${dir}")
    message(FATAL_ERROR "adpcmtbl_add_table(${target}): the table folder\n"
      "  ${dir}\ndoes not exist.")
  elseif(no_depends AND (NOT EXISTS "${dir}/DATA" OR IS_DIRECTORY "${dir}/DATA"))
    message(FATAL_ERROR "adpcmtbl_add_table(${target}): the table folder\n"
      "  ${dir}\nholds no voice table DATA.")
  endif()
  _adpcmtbl_keep_out("${target}" output "${out}" "${dir}")
  _adpcmtbl_resolve("${out}" folder)
  get_property(owner GLOBAL PROPERTY "_adpcmtbl_output ${folder}")
  if(NOT "${owner}" STREQUAL "")
    message(FATAL_ERROR "adpcmtbl_add_table(${target}): the output folder\n"
      "  ${out}\nis already that of adpcmtbl_add_table(${owner}), and the two "
      "tables would overwrite each other's PCMTBL and pcmxml.txt.  Give one "
      "of them an OUTPUT_DIRECTORY of its own.")
  endif()
  set_property(GLOBAL PROPERTY "_adpcmtbl_output ${folder}" "${target}")

  set(outputs "${out}/PCMTBL" "${out}/pcmxml.txt")
  set(inputs "${dir}/DATA" ${table_DEPENDS})
  set(switch "")
  set(list_file "")
  if(table_NO_PRESENCE_CHECK)
    set(switch -n)
  else()
    # A voice file that disappears leaves nothing newer behind, so <target>_voices
    # keeps their names in a list file, rewritten only when they change, which the
    # table follows; naming the target too runs it before any user of the rule.
    set(list_file "${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/${target}.adpcmtbl/voices")
    set(lister "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/adpcmtblListVoices.cmake")
    # A custom target's DEPENDS takes files; targets are added apart.
    set(files "${lister}")
    set(targets "")
    foreach(item IN LISTS table_DEPENDS)
      if(TARGET "${item}")
        list(APPEND targets "${item}")
      else()
        list(APPEND files "${item}")
      endif()
    endforeach()
    add_custom_target(${target}_voices
      COMMAND "${CMAKE_COMMAND}" -P "${lister}" -- "${dir}" "${list_file}"
      BYPRODUCTS "${list_file}"
      DEPENDS ${files}
      VERBATIM)
    if(NOT "${targets}" STREQUAL "")
      add_dependencies(${target}_voices ${targets})
    endif()
    list(APPEND inputs ${target}_voices "${list_file}")
  endif()
  set(script "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/adpcmtblRunTable.cmake")
  add_custom_command(OUTPUT ${outputs}
    COMMAND "${CMAKE_COMMAND}" "-DTOOL=$<TARGET_FILE:adpcmtbl::adpcmtbl>"
      "-DSWITCH=${switch}" -P "${script}" -- "${dir}" "${out}" ${list_file}
    DEPENDS ${inputs} adpcmtbl::adpcmtbl "${script}"
    COMMENT "adpcmtbl: making the table of ${dir}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${outputs})
  set_target_properties(${target} PROPERTIES ADDITIONAL_CLEAN_FILES "${out}/.adpcmtbl-runs"
    ADPCMTBL_PCMTBL "${out}/PCMTBL" ADPCMTBL_MAP "${out}/pcmxml.txt")
  set(${target}_PCMTBL "${out}/PCMTBL" PARENT_SCOPE)
  set(${target}_MAP "${out}/pcmxml.txt" PARENT_SCOPE)
  if(NOT no_depends AND NOT EXISTS "${dir}/DATA" AND CMAKE_GENERATOR MATCHES "Ninja"
      AND NOT CMAKE_VERSION VERSION_LESS 3.19)
    set_target_properties(${target} PROPERTIES
      _ADPCMTBL_DATA "${dir}/DATA" _ADPCMTBL_DEPENDS "${table_DEPENDS}")
    get_property(scheduled GLOBAL PROPERTY _adpcmtbl_data_unseen SET)
    set_property(GLOBAL APPEND PROPERTY _adpcmtbl_data_unseen ${target})
    if(NOT scheduled)
      cmake_language(DEFER DIRECTORY "${CMAKE_SOURCE_DIR}" CALL _adpcmtbl_check_data)
    endif()
  endif()
endfunction()
