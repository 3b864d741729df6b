# packaging.cmake: the install rules, in the components docs/releases.md lists,
# and the packages cpack makes of them, up to the release target.

find_program(MANDOC mandoc)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The manual page as installed, with the release's date and version, and the
# top-level changelog of the source release, both made from
# packaging/debian/changelog (cmake/changelog.cmake).
set(man_page ${PROJECT_BINARY_DIR}/adpcmtbl.1)
adpcmtbl_man_page(${PROJECT_SOURCE_DIR}/docs/adpcmtbl.1 ${man_page})
adpcmtbl_changelog_md(${PROJECT_BINARY_DIR}/CHANGELOG.md)

# What making the packages takes, beyond the compiler.  A build of the tool
# alone needs none of it, so configure only records what is missing; cpack
# and package_source then stop before they make anything, naming it, rather
# than make a package that is silently wrong (a .deb without Depends, say).
# Finds |program| as |variable|, or adds "program (Debian package)" to |missing|.
function(adpcmtbl_need variable program debian_package missing)
  find_program(${variable} ${program})
  if(NOT ${variable})
    list(APPEND ${missing} "${program} (${debian_package})")
  endif()
  return(PROPAGATE ${missing})
endfunction()
# Every archive is packed with tar and gzip; GNU tar 1.28 is the first to
# sort the entries it packs.
adpcmtbl_need(TAR tar tar missing_for_archives)
if(TAR)
  execute_process(COMMAND ${TAR} --version OUTPUT_VARIABLE tar_version ERROR_QUIET)
  if(NOT tar_version MATCHES "^tar \\(GNU tar\\) ([0-9.]+)" OR CMAKE_MATCH_1 VERSION_LESS 1.28)
    list(APPEND missing_for_archives "GNU tar 1.28 or later (tar)")
  endif()
endif()
adpcmtbl_need(GZIP gzip gzip missing_for_archives)
set(missing_for_source "${missing_for_archives}")
if(EXISTS ${PROJECT_SOURCE_DIR}/.git)
  adpcmtbl_need(GIT git git missing_for_source)
endif()
if(WIN32)
  adpcmtbl_need(ZIP zip zip missing_for_packages)
  adpcmtbl_need(MANDOC mandoc mandoc missing_for_packages)
else()
  adpcmtbl_need(DPKG_SHLIBDEPS dpkg-shlibdeps dpkg-dev missing_for_packages)
  adpcmtbl_need(DPKG_DEB dpkg-deb dpkg missing_for_packages)
  list(APPEND missing_for_packages ${missing_for_archives})
endif()

# The top of the .tar.gz and of the .zip, in release/: the README, and the
# third-party notices of the libraries linked into |executable|, which name
# the Debian source packages (and versions) they were built from.  ARGN holds
# four values a library: its file, what it is, its licence, and the licence's
# text in /usr/share/common-licenses if its copyright file lacks it, else "".
function(adpcmtbl_release_top release_platform release_run release_files executable)
  set(top ${PROJECT_BINARY_DIR}/release)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/README.in ${top}/README @ONLY)
  install(DIRECTORY ${top}/ DESTINATION . COMPONENT release EXCLUDE_FROM_ALL)
  set(folder ${top}/third-party)
  file(REMOVE_RECURSE ${folder})
  adpcmtbl_need(DPKG_QUERY dpkg-query dpkg missing_for_packages)
  if(NOT DPKG_QUERY)
    return(PROPAGATE missing_for_packages)
  endif()
  set(sources "")
  set(libraries "${ARGN}")
  while(libraries)
    list(POP_FRONT libraries file role licence text)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${file}
      OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    file(REAL_PATH "${path}" path)
    execute_process(COMMAND ${DPKG_QUERY} -S ${path}
      OUTPUT_VARIABLE owner RESULT_VARIABLE status ERROR_QUIET)
    if(NOT status EQUAL 0 OR NOT owner MATCHES "^([^:,]+)[^ ]*: ")
      # The notices could not say where its source is.
      list(APPEND missing_for_packages "${file} from a Debian package (${path} is not)")
      return(PROPAGATE missing_for_packages)
    endif()
    set(package ${CMAKE_MATCH_1})
    execute_process(COMMAND ${DPKG_QUERY} -W
      "-f=Debian source package \${source:Package}, version \${source:Version}" ${package}
      OUTPUT_VARIABLE source COMMAND_ERROR_IS_FATAL ANY)
    configure_file(/usr/share/doc/${package}/copyright ${folder}/${package}.copyright COPYONLY)
    if(text)
      configure_file(/usr/share/common-licenses/${text} ${folder}/${text} COPYONLY)
    endif()
    string(APPEND sources "  ${role}: ${licence}.\n  ${source};\n"
      "  copyright file: ${package}.copyright.\n")
  endwhile()
  file(WRITE ${folder}/README
"${executable} is linked statically with the libraries below, each under
its own licence.  They were built by Debian; each one's copyright file is
here, with the full text of each licence named below that the copyright
file does not hold itself.

${sources}
Their sources are Debian's source packages of the versions named: on any
Debian system, `apt-get source PACKAGE=VERSION`, or at
https://snapshot.debian.org/package/PACKAGE/VERSION/ .  The sources of
adpcmtbl itself are its source release, adpcmtbl-${PROJECT_VERSION}.tar.gz,
with which it can be built again and relinked against changed libraries.
")
  return(PROPAGATE missing_for_packages)
endfunction()

# Writes the file |output| from what the command in ARGN prints, at configure
# time; configure runs again when the file |source| it reads changes.
function(adpcmtbl_output_of output source)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  execute_process(COMMAND ${ARGN} OUTPUT_FILE ${output} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    # No half-written output is left behind to be installed.
    file(REMOVE ${output})
    message(FATAL_ERROR "${ARGN}: ${status}")
  endif()
endfunction()

# A stripped install (`cmake --install --strip`, every package) of |target|
# also drops .comment, which strip keeps, as Debian strips its own packages
# (the linker makes no section named .note alone).  ARGN: EXCLUDE_FROM_ALL, as its install.
function(adpcmtbl_strip_comment target component)
  set(file "${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:${target}>")
  if(CMAKE_OBJCOPY)
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
  execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${file}\"
    COMMAND_ERROR_IS_FATAL ANY)
endif()" COMPONENT ${component} ${ARGN})
  endif()
endfunction()

set(release_name ${PROJECT_NAME}-${PROJECT_VERSION})
# GCC's runtime library, linked into the executables of the .tar.gz and the .zip.
set(libgcc libgcc.a "GCC's runtime library (libgcc)"
  "GPL-3.0-or-later with the GCC Runtime Library Exception" GPL-3)
if(WIN32)
  # One folder: the make recipe, one file, lies on top beside the executable.
  install(TARGETS adpcmtbl EXPORT adpcmtblTargets RUNTIME DESTINATION . COMPONENT tool)
  set(package_dir cmake)
  set(make_recipe_dir .)
  install(FILES LICENSE DESTINATION . COMPONENT license)
  install(FILES docs/file-formats.md DESTINATION . COMPONENT manual)
  if(MANDOC)
    set(html ${PROJECT_BINARY_DIR}/adpcmtbl.html)
    adpcmtbl_output_of(${html} ${man_page} ${MANDOC} -T html ${man_page})
    install(FILES ${html} DESTINATION . COMPONENT manual)
  else()
    message(WARNING "mandoc not found: the manual is installed as the man page source")
    install(FILES ${man_page} DESTINATION . COMPONENT manual)
  endif()
  set(archive_name ${release_name}-win64)
  set(archive_format zip)
  set(archive_components tool manual license package release)
  adpcmtbl_release_top("64-bit Windows" "C:\\path\\to\\${archive_name}\\adpcmtbl.exe"
"  adpcmtbl.exe       the executable; it needs no DLL beside it
  adpcmtbl.html      the manual
  file-formats.md    the byte layout of every file it reads and writes
  adpcmtbl.mk        the make recipe: include it in a GNU Makefile
  cmake\\             the CMake package: find_package(adpcmtbl) finds it
                     with this folder on CMAKE_PREFIX_PATH"
    adpcmtbl.exe libmsvcrt.a "the MinGW-w64 runtime"
    "ZPL-2.1 and the other licences its copyright file lists" "" ${libgcc})
else()
  install(TARGETS adpcmtbl EXPORT adpcmtblTargets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    COMPONENT tool)
  adpcmtbl_strip_comment(adpcmtbl tool)
  set(package_dir ${CMAKE_INSTALL_DATADIR}/cmake/adpcmtbl)
  set(make_recipe_dir ${CMAKE_INSTALL_DATADIR}/adpcmtbl)
  install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT manual)
  install(FILES docs/file-formats.md DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT manual)
  install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT license)
  if(TARGET adpcmtbl_portable)
    install(TARGETS adpcmtbl_portable RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
      COMPONENT portable EXCLUDE_FROM_ALL)
    adpcmtbl_strip_comment(adpcmtbl_portable portable EXCLUDE_FROM_ALL)
    set(archive_name ${release_name}-${CMAKE_SYSTEM_PROCESSOR}-linux)
    string(TOLOWER ${archive_name} archive_name)
    set(archive_format tar.gz)
    set(archive_components portable manual package release)
    adpcmtbl_release_top("${CMAKE_SYSTEM_PROCESSOR} Linux"
      "/path/to/${archive_name}/bin/adpcmtbl"
"  bin/adpcmtbl                        the executable, linked statically: it
                                      runs on any ${CMAKE_SYSTEM_PROCESSOR} Linux
  share/man/man1/adpcmtbl.1           the manual: man -l share/man/man1/adpcmtbl.1
  share/doc/adpcmtbl/file-formats.md  the byte layout of every file it reads
                                      and writes
  share/adpcmtbl/adpcmtbl.mk          the make recipe: include it in a GNU
                                      Makefile
  share/cmake/adpcmtbl/               the CMake package: find_package(adpcmtbl)
                                      finds it with this folder on
                                      CMAKE_PREFIX_PATH"
      bin/adpcmtbl libc.a "the GNU C Library (glibc)" LGPL-2.1-or-later LGPL-2.1 ${libgcc})
    install(FILES LICENSE DESTINATION . COMPONENT release EXCLUDE_FROM_ALL)
  elseif(portable_unlinkable)
    # The .tar.gz's executable cannot be linked here.
    list(APPEND missing_for_packages
      "static C and C++ libraries for -static-pie or -static (libc6-dev, libstdc++-dev)")
  endif()
  # Debian wants the page, the changelog and any document over 4 KB gzipped
  # at -9, with no name or time in the header; the changelog is the Debian one,
  # as a native package has only that.
  if(GZIP)
    set(gz ${PROJECT_BINARY_DIR}/debian)
    file(MAKE_DIRECTORY ${gz})
    foreach(source ${man_page} ${adpcmtbl_changelog} ${PROJECT_SOURCE_DIR}/docs/file-formats.md)
      get_filename_component(name ${source} NAME)
      adpcmtbl_output_of(${gz}/${name}.gz ${source} ${GZIP} -9 -n -c ${source})
    endforeach()
    install(FILES ${gz}/adpcmtbl.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
      COMPONENT debian EXCLUDE_FROM_ALL)
    install(FILES packaging/debian/copyright ${gz}/changelog.gz ${gz}/file-formats.md.gz
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
install(FILES recipes/cmake/adpcmtblConfig.cmake recipes/cmake/adpcmtblAddTable.cmake
  recipes/cmake/adpcmtblListVoices.cmake recipes/cmake/adpcmtblRunTable.cmake
  ${PROJECT_BINARY_DIR}/adpcmtblConfigVersion.cmake
  DESTINATION ${package_dir} COMPONENT package)
install(FILES recipes/make/adpcmtbl.mk DESTINATION ${make_recipe_dir} COMPONENT package)

if(missing_for_packages)
  list(JOIN missing_for_packages ", " missing)
  message(STATUS "cpack cannot make the packages here; missing: ${missing}")
endif()

# `cpack` in the build folder: cpack_project_config.cmake settles each package's
# components and time; release_*.cmake make the archives and finish the .deb.
set(CPACK_PACKAGE_CONTACT "The adpcmtbl developers <dev@adpcmtbl.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "ADPCM sample-ROM build step: voice address table and ROM map")
set(CPACK_PACKAGE_DESCRIPTION "adpcmtbl, the Velomira ADPCM Table maker, reads a 32-voice table\n\
(DATA), lays the voices out one after another in ADPCM ROM, and writes\n\
the address table PCMTBL and the ROM map pcmxml.txt.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(WIN32)
  set(CPACK_GENERATOR External)
elseif(TARGET adpcmtbl_portable OR portable_unlinkable)
  set(CPACK_GENERATOR "DEB;External")
else()
  set(CPACK_GENERATOR "")
endif()
# The three archives, the source release too, are packed by
# release_archive.cmake: CPack's TGZ (CMake 3.25, measured) lists entries in
# file-system order with the packager's names and compresses below gzip -9,
# and its ZIP records local time and the packager's user.
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${PROJECT_SOURCE_DIR}/cmake/release_archive.cmake)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_SOURCE_GENERATOR External)
set(CPACK_SOURCE_PACKAGE_FILE_NAME ${release_name})
# CPack would copy the whole source folder, build folders and all, before
# the script runs; the script reads the sources where they are.
set(CPACK_SOURCE_IGNORE_FILES ".*")
configure_file(cmake/cpack_project_config.cmake.in cpack_project_config.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack_project_config.cmake)
include(CPack)

# `cmake --workflow --preset release`: the four artefacts and their checksum
# files in build-release/artefacts, by release_all.cmake.
if(TARGET adpcmtbl_portable)
  add_custom_target(release
    COMMAND ${CMAKE_COMMAND} -DCPACK=${CMAKE_CPACK_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
      -DVERSION=${PROJECT_VERSION} -DUNRELEASED=${adpcmtbl_unreleased}
      -DBINARY_DIR=${PROJECT_BINARY_DIR} -DARTEFACTS=${PROJECT_BINARY_DIR}/artefacts
      -P ${PROJECT_SOURCE_DIR}/cmake/release_all.cmake
    USES_TERMINAL
    VERBATIM)
  add_dependencies(release adpcmtbl adpcmtbl_portable)
endif()
