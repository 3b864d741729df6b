# release_source.cmake: cpack's script for the source release,
# adpcmtbl-VERSION.tar.gz, made by the package_source target.  It holds the
# files git tracks, as they are in the working tree, under adpcmtbl-VERSION/,
# packed as release_archive.cmake packs the binary archives.  Made from an
# export with no .git (an unpacked source release, say), it holds every
# file of the source folder but those of build folders (any folder with a
# CMakeCache.txt), which gives the same release again.
set(source "${ADPCMTBL_SOURCE_DIR}")
set(top "${CPACK_PACKAGE_FILE_NAME}")
if(EXISTS "${source}/.git")
  # safe.directory: a checkout owned by another user is read all the same.
  execute_process(COMMAND "${ADPCMTBL_GIT}" -c safe.directory=* -c core.quotePath=false
      ls-files --cached
    WORKING_DIRECTORY "${source}"
    OUTPUT_VARIABLE files COMMAND_ERROR_IS_FATAL ANY)
  # The files go in as they are in the working tree: say so when that is
  # not what the last commit holds.
  execute_process(COMMAND "${ADPCMTBL_GIT}" -c safe.directory=* diff --quiet HEAD --
    WORKING_DIRECTORY "${source}" RESULT_VARIABLE changed)
  if(NOT changed EQUAL 0)
    message(WARNING "the source release holds changes not yet committed")
  endif()
  string(REGEX REPLACE "\n$" "" files "${files}")
  string(REPLACE "\n" ";" files "${files}")
else()
  file(GLOB_RECURSE files RELATIVE "${source}" "${source}/*")
  file(GLOB_RECURSE caches RELATIVE "${source}" "${source}/CMakeCache.txt" "${source}/*/CMakeCache.txt")
  foreach(cache IN LISTS caches)
    get_filename_component(build "${cache}" DIRECTORY)
    if(build STREQUAL "")
      message(FATAL_ERROR "${source} is itself a build folder: no source release from it")
    endif()
    list(FILTER files EXCLUDE REGEX "^${build}/")
  endforeach()
endif()
list(SORT files)
list(JOIN files "\n" names)
set(list_file "${CPACK_TOPLEVEL_DIRECTORY}/${top}.names")
file(WRITE "${list_file}" "${names}\n")

set(archive "${CPACK_TOPLEVEL_DIRECTORY}/${top}.tar.gz")
execute_process(
  COMMAND "${ADPCMTBL_TAR}" --create --format=gnu --owner=0 --group=0 --numeric-owner
    --mode=u+rw,go-w,a+rX --mtime=@$ENV{SOURCE_DATE_EPOCH} --no-recursion
    "--transform=s,^,${top}/,S" --directory "${source}" --verbatim-files-from
    "--files-from=${list_file}"
  COMMAND "${ADPCMTBL_GZIP}" -9 -n
  OUTPUT_FILE "${archive}"
  RESULTS_VARIABLE statuses)
if(NOT statuses MATCHES "^0;0$")
  file(REMOVE "${archive}")
  message(FATAL_ERROR "packing ${archive} failed: ${statuses}")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES "${archive}")
