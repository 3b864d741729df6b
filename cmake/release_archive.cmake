# release_archive.cmake: cpack's script for the three archives, each under one
# top folder named like it, packed the same bytes every time; docs/releases.md
# says what each holds and what makes it reproducible.
set(top "${CPACK_PACKAGE_FILE_NAME}")
# Read, and written by its owner; executable by all when by anyone.
set(modes u+rw,go-w,a+rX)
set(archive "${CPACK_TOPLEVEL_DIRECTORY}/${top}.${ADPCMTBL_ARCHIVE_FORMAT}")
file(REMOVE "${archive}")
set(list_file "${CPACK_TOPLEVEL_DIRECTORY}/${top}.names")
set(tar "${ADPCMTBL_TAR}" --create --format=gnu --owner=0 --group=0 --numeric-owner
  --mode=${modes} --mtime=@$ENV{SOURCE_DATE_EPOCH})

if(CPACK_INSTALLED_DIRECTORIES)
  set(source "${ADPCMTBL_SOURCE_DIR}")
  if(EXISTS "${source}/.git")
    # safe.directory: a checkout owned by another user is read all the same.
    execute_process(COMMAND "${ADPCMTBL_GIT}" -c safe.directory=* -c core.quotePath=false
        ls-files --cached
      WORKING_DIRECTORY "${source}"
      OUTPUT_VARIABLE files COMMAND_ERROR_IS_FATAL ANY)
    # The files go in as they are in the working tree: warn when HEAD differs.
    execute_process(COMMAND "${ADPCMTBL_GIT}" -c safe.directory=* diff --quiet HEAD --
      WORKING_DIRECTORY "${source}" RESULT_VARIABLE changed)
    if(NOT changed EQUAL 0)
      message(WARNING "the source release holds changes not yet committed")
    endif()
    string(REGEX REPLACE "\n$" "" files "${files}")
    string(REPLACE "\n" ";" files "${files}")
  else()
    file(GLOB_RECURSE files RELATIVE "${source}" "${source}/*")
    file(GLOB_RECURSE caches RELATIVE "${source}"
      "${source}/CMakeCache.txt" "${source}/*/CMakeCache.txt")
    foreach(cache IN LISTS caches)
      get_filename_component(build "${cache}" DIRECTORY)
      if(build STREQUAL "")
        message(FATAL_ERROR "${source} is itself a build folder: no source release from it")
      endif()
      list(FILTER files EXCLUDE REGEX "^${build}/")
    endforeach()
  endif()
  # Packed from a copy, which adds the top-level changelog that
  # distributions look for, made from packaging/debian/changelog.
  list(FILTER files EXCLUDE REGEX "^CHANGELOG\\.md$")
  set(tree "${CPACK_TOPLEVEL_DIRECTORY}/source")
  file(REMOVE_RECURSE "${tree}")
  foreach(file IN LISTS files)
    get_filename_component(folder "${tree}/${file}" DIRECTORY)
    file(COPY "${source}/${file}" DESTINATION "${folder}")
  endforeach()
  file(COPY "${ADPCMTBL_CHANGELOG_MD}" DESTINATION "${tree}")
  list(APPEND files CHANGELOG.md)
  set(what --no-recursion "--transform=s,^,${top}/,S" --directory "${tree}"
    --verbatim-files-from "--files-from=${list_file}")
else()
  set(tree "${CPACK_TOPLEVEL_DIRECTORY}/archive")
  file(REMOVE_RECURSE "${tree}")
  foreach(component IN LISTS CPACK_COMPONENTS_ALL)
    file(COPY "${CPACK_TEMPORARY_DIRECTORY}/${component}/" DESTINATION "${tree}/${top}")
  endforeach()
  set(what --sort=name --directory "${tree}" "${top}")
  # The zip's entries: its folders are no entries of their own.
  file(GLOB_RECURSE files RELATIVE "${tree}" "${tree}/*")
endif()
list(SORT files)
list(JOIN files "\n" names)
file(WRITE "${list_file}" "${names}\n")

if(ADPCMTBL_ARCHIVE_FORMAT STREQUAL "tar.gz")
  execute_process(COMMAND ${tar} ${what}
    COMMAND "${ADPCMTBL_GZIP}" -9 -n
    OUTPUT_FILE "${archive}"
    RESULTS_VARIABLE statuses)
elseif(ADPCMTBL_ARCHIVE_FORMAT STREQUAL "zip")
  # zip takes each file's mode and time from the file, and writes the time
  # as the local time of TZ; -X leaves out the fields that would carry the
  # packager's uid and gid.
  execute_process(COMMAND chmod -R ${modes} "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND touch -d @$ENV{SOURCE_DATE_EPOCH} ${files}
    WORKING_DIRECTORY "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env TZ=UTC0 "${ADPCMTBL_ZIP}" -X -D -q -9 "${archive}" -@
    INPUT_FILE "${list_file}"
    WORKING_DIRECTORY "${tree}"
    RESULTS_VARIABLE statuses)
else()
  message(FATAL_ERROR "no archive format for ${top}")
endif()
if(NOT statuses MATCHES "^0(;0)*$")
  file(REMOVE "${archive}")
  message(FATAL_ERROR "packing ${archive} failed: ${statuses}")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES "${archive}")
