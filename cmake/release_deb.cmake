# release_deb.cmake: run by cpack after it makes the .deb, before it copies it
# out and writes its checksum.  CPack's control file lacks Multi-Arch and its ar
# members take the packager's umask, so dpkg-deb makes the .deb again, as Debian
# makes its own: the field added, all owned by root, times at most SOURCE_DATE_EPOCH.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  set(tree "${CPACK_TOPLEVEL_DIRECTORY}/deb-tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND "${ADPCMTBL_DPKG_DEB}" --raw-extract "${package}" "${tree}"
    COMMAND_ERROR_IS_FATAL ANY)
  file(READ "${tree}/DEBIAN/control" control)
  # The tool acts the same whatever architecture the programs it runs in are
  # built for.
  string(REPLACE "\nMaintainer:" "\nMulti-Arch: foreign\nMaintainer:" control "${control}")
  file(WRITE "${tree}/DEBIAN/control" "${control}")
  # Extracted by an ordinary user, the files take that user's umask.
  execute_process(COMMAND chmod -R u+rw,go-w,a+rX "${tree}" COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE "${package}")
  execute_process(COMMAND "${ADPCMTBL_DPKG_DEB}" --root-owner-group -Zgzip -z9
    --build "${tree}" "${package}" OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
endforeach()
