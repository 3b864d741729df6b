# adpcmtblConfig.cmake: what find_package(adpcmtbl) gives a project: the
# imported executable adpcmtbl::adpcmtbl and the function
# adpcmtbl_add_table() (see adpcmtblAddTable.cmake).
if(CMAKE_VERSION VERSION_LESS 3.18)
  set(adpcmtbl_FOUND FALSE)
  set(adpcmtbl_NOT_FOUND_MESSAGE "adpcmtbl_add_table() needs CMake 3.18 or later")
  return()
endif()
include("${CMAKE_CURRENT_LIST_DIR}/adpcmtblTargets.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/adpcmtblAddTable.cmake")
