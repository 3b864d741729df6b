# release_all.cmake: the release target.  Makes the four release artefacts,
# each with its checksum file, in ARTEFACTS and nothing else there: the .deb
# and the Linux .tar.gz by cpack in BINARY_DIR, the source release, and the
# Windows .zip from a cross build nested in BINARY_DIR/mingw.
set(staging "${BINARY_DIR}/release-staging")
file(REMOVE_RECURSE "${staging}" "${ARTEFACTS}")
if(UNRELEASED)
  # Work in progress builds and packages, but is no release.
  message(FATAL_ERROR "cannot make the release: the top entry of packaging/debian/changelog, "
    "${VERSION}, is UNRELEASED; once it is released, name its distribution (unstable) "
    "and date it")
endif()
find_program(cross_compiler x86_64-w64-mingw32-g++)
if(NOT cross_compiler)
  # A release is all four artefacts: none is made without the zip.
  message(FATAL_ERROR "cannot make the release: the Windows zip needs "
    "x86_64-w64-mingw32-g++ (g++-mingw-w64-x86-64); `cpack` in ${BINARY_DIR} "
    "makes the .deb and the Linux .tar.gz alone")
endif()
function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${SOURCE_DIR}" COMMAND_ERROR_IS_FATAL ANY)
endfunction()
run("${CPACK}" --config "${BINARY_DIR}/CPackConfig.cmake" -B "${staging}")
run("${CPACK}" --config "${BINARY_DIR}/CPackSourceConfig.cmake" -B "${staging}")
run("${CMAKE_COMMAND}" --preset mingw -B "${BINARY_DIR}/mingw")
# make's jobserver is closed to the cross build: it takes its jobs, as the
# build that runs this does, from CMAKE_BUILD_PARALLEL_LEVEL.
unset(ENV{MAKEFLAGS})
run("${CMAKE_COMMAND}" --build "${BINARY_DIR}/mingw")
run("${CPACK}" --config "${BINARY_DIR}/mingw/CPackConfig.cmake" -B "${staging}")
# cpack leaves its work files and its .json records of each package, with
# their checksum files, beside the packages.
file(COPY "${staging}/" DESTINATION "${ARTEFACTS}"
  PATTERN _CPack_Packages EXCLUDE PATTERN "*.json" EXCLUDE PATTERN "*.json.sha256" EXCLUDE)
