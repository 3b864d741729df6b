# release_archive.cmake: cpack's script for the portable .tar.gz and the
# Windows .zip.  It puts the staged components under one top folder named
# like the archive and packs them the same way every time, whoever packs
# them, wherever, under whatever umask, time zone or locale: entries in name
# order, owned by root, modes 644 or 755, every time SOURCE_DATE_EPOCH, no
# name or time in the gzip header, and no extra fields in the zip.
set(tree "${CPACK_TOPLEVEL_DIRECTORY}/archive")
set(top "${CPACK_PACKAGE_FILE_NAME}")
file(REMOVE_RECURSE "${tree}")
foreach(component IN LISTS CPACK_COMPONENTS_ALL)
  file(COPY "${CPACK_TEMPORARY_DIRECTORY}/${component}/" DESTINATION "${tree}/${top}")
endforeach()
# Read, and written by its owner; executable by all when by anyone.
set(modes u+rw,go-w,a+rX)
set(archive "${CPACK_TOPLEVEL_DIRECTORY}/${top}.${ADPCMTBL_ARCHIVE_FORMAT}")
file(REMOVE "${archive}")

if(ADPCMTBL_ARCHIVE_FORMAT STREQUAL "tar.gz")
  execute_process(
    COMMAND "${ADPCMTBL_TAR}" --create --format=gnu --sort=name --owner=0 --group=0
      --numeric-owner --mode=${modes} --mtime=@$ENV{SOURCE_DATE_EPOCH}
      --directory "${tree}" "${top}"
    COMMAND "${ADPCMTBL_GZIP}" -9 -n
    OUTPUT_FILE "${archive}"
    RESULTS_VARIABLE statuses)
elseif(ADPCMTBL_ARCHIVE_FORMAT STREQUAL "zip")
  # zip takes each file's mode and time from the file, and writes the time
  # as the local time of TZ; -X leaves out the fields that would carry the
  # packager's uid and gid.  Folders are not entries of their own.
  file(GLOB_RECURSE files RELATIVE "${tree}" "${tree}/*")
  list(SORT files)
  list(JOIN files "\n" names)
  file(WRITE "${tree}.names" "${names}\n")
  execute_process(COMMAND chmod -R ${modes} "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND touch -d @$ENV{SOURCE_DATE_EPOCH} ${files}
    WORKING_DIRECTORY "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env TZ=UTC0 "${ADPCMTBL_ZIP}" -X -D -q -9 "${archive}" -@
    INPUT_FILE "${tree}.names"
    WORKING_DIRECTORY "${tree}"
    RESULTS_VARIABLE statuses)
else()
  message(FATAL_ERROR "no archive format for ${top}")
endif()
foreach(status IN LISTS statuses)
  if(NOT status EQUAL 0)
    file(REMOVE "${archive}")
    message(FATAL_ERROR "packing ${archive} failed: ${statuses}")
  endif()
endforeach()
set(CPACK_EXTERNAL_BUILT_PACKAGES "${archive}")
