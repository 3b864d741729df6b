# portable_tarball.cmake: cpack's script for the portable .tar.gz.  It puts
# the staged components under one top folder and packs them the same way
# every time: entries in name order, owned by root, modes from install
# normalised, every time set to SOURCE_DATE_EPOCH, and a gzip header without
# a name or time.
set(tree "${CPACK_TOPLEVEL_DIRECTORY}/tarball")
set(top "${CPACK_PACKAGE_FILE_NAME}")
file(REMOVE_RECURSE "${tree}")
foreach(component IN LISTS CPACK_COMPONENTS_ALL)
  file(COPY "${CPACK_TEMPORARY_DIRECTORY}/${component}/" DESTINATION "${tree}/${top}")
endforeach()

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  string(TIMESTAMP epoch "%s" UTC)
endif()
set(tarball "${CPACK_TOPLEVEL_DIRECTORY}/${top}.tar.gz")
execute_process(
  COMMAND tar --create --format=gnu --sort=name --owner=0 --group=0 --numeric-owner
    --mode=u+rw,go-w,a+rX --mtime=@${epoch} --directory "${tree}" "${top}"
  COMMAND gzip -9 -n
  OUTPUT_FILE "${tarball}"
  RESULTS_VARIABLE statuses)
if(NOT statuses MATCHES "^0;0$")
  message(FATAL_ERROR "packing ${tarball} failed: ${statuses}")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES "${tarball}")
