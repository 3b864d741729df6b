# normalise_modes.cmake: run by cpack on its staging folder before it packs.
# Folders that cpack itself creates take the packager's umask; in a package
# every folder is rwxr-xr-x whatever that was.  Files keep the modes install
# gave them.  (The .deb's own three members still take the umask: build
# packages under the usual 022.)
file(GLOB_RECURSE paths LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(path IN LISTS paths CPACK_TEMPORARY_DIRECTORY)
  if(IS_DIRECTORY "${path}" AND NOT IS_SYMLINK "${path}")
    file(CHMOD "${path}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
      GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()
