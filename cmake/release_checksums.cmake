# release_checksums.cmake: run by cpack after it makes each package, before
# it copies the package out of its staging folder.  Finishes the .deb, and
# writes beside each package (in the build folder) NAME.sha256, which
# `sha256sum -c NAME.sha256` checks.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name "${package}" NAME)
  if(name MATCHES "\\.json$")
    # The External generator's record of the staging, with the build's
    # absolute paths, which cpack copies out with the archive: no release
    # artefact, so it gets no checksum, and a release publishes only what has
    # one.
    continue()
  endif()
  if(name MATCHES "\\.deb$")
    # CPack's control file has no Multi-Arch field, and its ar members take
    # the packager's umask.  The .deb is made again by dpkg-deb, as Debian
    # makes its own, from CPack's contents with the field added: members
    # and entries owned by root, times clamped to SOURCE_DATE_EPOCH.
    set(tree "${CPACK_TOPLEVEL_DIRECTORY}/deb-tree")
    file(REMOVE_RECURSE "${tree}")
    execute_process(COMMAND "${ADPCMTBL_DPKG_DEB}" --raw-extract "${package}" "${tree}"
      COMMAND_ERROR_IS_FATAL ANY)
    file(READ "${tree}/DEBIAN/control" control)
    # The tool acts the same whatever architecture the programs it runs in
    # are built for.
    string(REPLACE "\nMaintainer:" "\nMulti-Arch: foreign\nMaintainer:" control "${control}")
    file(WRITE "${tree}/DEBIAN/control" "${control}")
    # Extracted by an ordinary user, the files take that user's umask.
    execute_process(COMMAND chmod -R u+rw,go-w,a+rX "${tree}" COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE "${package}")
    execute_process(COMMAND "${ADPCMTBL_DPKG_DEB}" --root-owner-group -Zgzip -z9
      --build "${tree}" "${package}" OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(SHA256 "${package}" sum)
  file(WRITE "${CPACK_PACKAGE_DIRECTORY}/${name}.sha256" "${sum}  ${name}\n")
endforeach()
