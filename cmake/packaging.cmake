# packaging.cmake: what `cmake --install` puts where, and the packages `cpack`
# makes: on Linux a Debian package and a portable .tar.gz, on Windows a .zip.
#
# Install components:
#   tool      the executable
#   manual    the manual page as written (as HTML in a Windows build)
#   license   LICENSE
#   package   the CMake package: find_package(adpcmtbl) gives the imported
#             executable adpcmtbl::adpcmtbl and adpcmtbl_add_table()
#   portable  the statically linked executable, for the .tar.gz alone
#   debian    what the .deb carries in place of the manual page and LICENSE:
#             the page gzipped, the copyright file and the changelog
# A plain `cmake --install` installs the first four.

find_program(MANDOC mandoc)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The man page and the Debian changelog name the version they describe; none
# of them may drift from the project's.
file(STRINGS docs/adpcmtbl.1 man_title REGEX "^\\.TH ")
if(NOT man_title MATCHES "\"adpcmtbl ${PROJECT_VERSION}\"")
  message(FATAL_ERROR "docs/adpcmtbl.1 is not for version ${PROJECT_VERSION}: ${man_title}")
endif()
file(STRINGS packaging/debian/changelog changelog_top LIMIT_COUNT 1)
if(NOT changelog_top MATCHES "^adpcmtbl \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog does not begin with ${PROJECT_VERSION}: ${changelog_top}")
endif()

# Writes |output| (in the build folder) from what COMMAND prints, at build
# time.
function(adpcmtbl_output_of output source)
  set(output ${PROJECT_BINARY_DIR}/${output})
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} "-DCOMMAND=${ARGN}" -DOUTPUT=${output}
      -P ${PROJECT_SOURCE_DIR}/cmake/write_output_of.cmake
    DEPENDS ${source} ${PROJECT_SOURCE_DIR}/cmake/write_output_of.cmake
    VERBATIM)
endfunction()

# Installs an executable; EXPORT names the export set it joins.  A stripped
# install (`cmake --install --strip`, and every package) also drops the
# .comment and .note sections, as Debian strips its own packages.
function(adpcmtbl_install_program target destination component)
  cmake_parse_arguments(PARSE_ARGV 3 program "EXCLUDE_FROM_ALL" "EXPORT" "")
  set(only_with_component "")
  if(program_EXCLUDE_FROM_ALL)
    set(only_with_component EXCLUDE_FROM_ALL)
  endif()
  set(export "")
  if(program_EXPORT)
    set(export EXPORT ${program_EXPORT})
  endif()
  install(TARGETS ${target} ${export} RUNTIME DESTINATION ${destination}
    COMPONENT ${component} ${only_with_component})
  if(CMAKE_OBJCOPY AND NOT WIN32)
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/$<TARGET_FILE_NAME:${target}>\"
    COMMAND_ERROR_IS_FATAL ANY)
endif()" COMPONENT ${component} ${only_with_component})
  endif()
endfunction()

if(WIN32)
  # One folder: adpcmtbl.exe, LICENSE and the manual as a web page.
  adpcmtbl_install_program(adpcmtbl . tool EXPORT adpcmtblTargets)
  set(package_dir cmake)
  install(FILES LICENSE DESTINATION . COMPONENT license)
  if(MANDOC)
    adpcmtbl_output_of(adpcmtbl.html ${PROJECT_SOURCE_DIR}/docs/adpcmtbl.1
      ${MANDOC} -T html ${PROJECT_SOURCE_DIR}/docs/adpcmtbl.1)
    add_custom_target(manual_html ALL DEPENDS ${PROJECT_BINARY_DIR}/adpcmtbl.html)
    install(FILES ${PROJECT_BINARY_DIR}/adpcmtbl.html DESTINATION . COMPONENT manual)
  else()
    message(WARNING "mandoc not found: the manual is installed as the man page source")
    install(FILES docs/adpcmtbl.1 DESTINATION . COMPONENT manual)
  endif()
else()
  adpcmtbl_install_program(adpcmtbl ${CMAKE_INSTALL_BINDIR} tool EXPORT adpcmtblTargets)
  set(package_dir ${CMAKE_INSTALL_DATADIR}/cmake/adpcmtbl)
  install(FILES docs/adpcmtbl.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT manual)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT license)
  if(TARGET adpcmtbl_portable)
    adpcmtbl_install_program(adpcmtbl_portable ${CMAKE_INSTALL_BINDIR} portable EXCLUDE_FROM_ALL)
  endif()
  # Debian wants the page and the changelog gzipped at the highest level,
  # without a name or time in the gzip header.
  find_program(GZIP gzip)
  if(GZIP)
    adpcmtbl_output_of(debian/adpcmtbl.1.gz ${PROJECT_SOURCE_DIR}/docs/adpcmtbl.1
      ${GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/docs/adpcmtbl.1)
    adpcmtbl_output_of(debian/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/debian/changelog
      ${GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/packaging/debian/changelog)
    add_custom_target(debian_docs ALL
      DEPENDS ${PROJECT_BINARY_DIR}/debian/adpcmtbl.1.gz ${PROJECT_BINARY_DIR}/debian/changelog.gz)
    install(FILES ${PROJECT_BINARY_DIR}/debian/adpcmtbl.1.gz
      DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT debian EXCLUDE_FROM_ALL)
    install(FILES packaging/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz
      DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT debian EXCLUDE_FROM_ALL)
  endif()
endif()

# The CMake package names the tool by where it is installed, so it serves
# the portable .tar.gz as well; its files are the same on every platform.
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/adpcmtblConfigVersion.cmake
  COMPATIBILITY SameMajorVersion ARCH_INDEPENDENT)
install(EXPORT adpcmtblTargets NAMESPACE adpcmtbl:: DESTINATION ${package_dir}
  COMPONENT package)
install(FILES cmake/package/adpcmtblConfig.cmake cmake/package/adpcmtblAddTable.cmake
  cmake/package/adpcmtblListVoices.cmake cmake/package/adpcmtblRunTable.cmake
  ${PROJECT_BINARY_DIR}/adpcmtblConfigVersion.cmake
  DESTINATION ${package_dir} COMPONENT package)

# `cpack` in the build folder.  Which components go into which package, and
# the time stamped on every file, are settled per package in
# cpack_project_config.cmake.
set(CPACK_PACKAGE_VENDOR "The adpcmtbl developers")
set(CPACK_PACKAGE_CONTACT "The adpcmtbl developers <dev@adpcmtbl.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "ADPCM sample-ROM build step: voice address table and ROM map")
set(CPACK_PACKAGE_DESCRIPTION "adpcmtbl reads a 32-voice table (DATA), lays the voices out one\n\
after another in ADPCM ROM, and writes the address table PCMTBL and\n\
the ROM map pcmxml.txt.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "devel")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
elseif(TARGET adpcmtbl_portable AND GZIP)
  # The .tar.gz is made by portable_tarball.cmake, which sorts its entries:
  # CPack's own archives list files in the order the file system gives them.
  set(CPACK_GENERATOR "DEB;External")
  set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${PROJECT_SOURCE_DIR}/cmake/portable_tarball.cmake)
else()
  set(CPACK_GENERATOR "")
endif()
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/normalise_modes.cmake)
set(ADPCMTBL_SOURCE_DIR ${PROJECT_SOURCE_DIR})
configure_file(cmake/cpack_project_config.cmake.in cpack_project_config.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack_project_config.cmake)
include(CPack)
