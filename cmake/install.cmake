# Installing ZORVIKA like a Linux desktop program (`cmake --install build`,
# any --prefix, DESTDIR) and packaging it (`cpack -G DEB` in the build folder).
# The installed programs find their shared files in <prefix>/share/zorvika
# and keep their data in $XDG_DATA_HOME/zorvika.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/install-windows.cmake)
  return()
endif()
set(ZORVIKA_RESOURCES ${CMAKE_SOURCE_DIR}/resources)
set(ZORVIKA_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/zorvika)

install(TARGETS zorvika-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${ZORVIKA_RESOURCES}/tips.dll ${ZORVIKA_RESOURCES}/tips.de.dll DESTINATION ${ZORVIKA_SHARE_DIR})
# Made by the build from the tables of options (src/CMakeLists.txt).
if(NOT CMAKE_CROSSCOMPILING)
  install(FILES ${CMAKE_BINARY_DIR}/man/zorvika-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_BINARY_DIR}/completion/zorvika-cli
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
endif()
# The copyright file (every licence of what is installed), the changelog and
# the reason for each check of Debian's lintian that does not apply.
set(ZORVIKA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/zorvika)
configure_file(${ZORVIKA_RESOURCES}/package/changelog.in ${CMAKE_BINARY_DIR}/package/changelog @ONLY)
install(FILES ${ZORVIKA_RESOURCES}/package/copyright ${CMAKE_BINARY_DIR}/package/changelog DESTINATION ${ZORVIKA_DOC_DIR})
install(FILES ${ZORVIKA_RESOURCES}/package/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME zorvika)

if(TARGET zorvika)
  install(TARGETS zorvika RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(DIRECTORY ${ZORVIKA_RESOURCES}/help DESTINATION ${ZORVIKA_SHARE_DIR})
  install(FILES ${ZORVIKA_RESOURCES}/man/zorvika.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${ZORVIKA_RESOURCES}/desktop/zorvika.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${ZORVIKA_RESOURCES}/desktop/zorvika-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME zorvika.xml)
  install(FILES ${ZORVIKA_RESOURCES}/desktop/org.zorvika.zorvika.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${ZORVIKA_RESOURCES}/icons/zorvika.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(DIRECTORY ${ZORVIKA_RESOURCES}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()

# The manual pages and the changelog are compressed where they were
# installed, as Debian wants them (gzip -9n: no name, no time, so the same
# files give the same bytes): whichever page the rules above installed. The
# list of installed files names them without DESTDIR.
if(UNIX)
  install(CODE [[
    set(zorvika_compressed)
    foreach(file IN LISTS CMAKE_INSTALL_MANIFEST_FILES)
      if(file MATCHES "/man/man[1-9]/[^/]+\\.[1-9]$" OR file MATCHES "/doc/zorvika/changelog$")
        execute_process(COMMAND gzip -9nf "$ENV{DESTDIR}${file}" RESULT_VARIABLE status)
        if(NOT status EQUAL 0)
          message(FATAL_ERROR "gzip -9n $ENV{DESTDIR}${file} failed")
        endif()
        set(file "${file}.gz")
      endif()
      list(APPEND zorvika_compressed "${file}")
    endforeach()
    set(CMAKE_INSTALL_MANIFEST_FILES ${zorvika_compressed})
  ]])
endif()

set(CPACK_PACKAGE_NAME zorvika)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR ZORVIKA)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Counts the lines of Visual Basic 6 projects and groups")
# The long description, wrapped as Debian's control file wants it (lines
# under 80 columns; an empty line becomes " .").
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "ZORVIKA reads a Visual Basic 6 project (.vbp) or project group (.vbg) and"
    "counts every module's lines by kind: all lines, the lines below the"
    "designer header, comment lines, blank lines and the pure code lines. It"
    "measures each procedure (span, logical lines, statements, cyclomatic"
    "complexity, depth), stores every run as a snapshot per project and"
    "version, shows the growth of a project over its versions, and exports"
    "any list as tab text, CSV or a spreadsheet."
    ""
    "The package holds the desktop program zorvika and the command line"
    "zorvika-cli, which counts, stores and imports the revisions of a git"
    "repository for scripts and CI.")
set(ZORVIKA_MAINTAINER "The ZORVIKA team <support@zorvika.example>" CACHE STRING
    "The package's maintainer, \"Name <address>\"")
set(CPACK_PACKAGE_CONTACT "${ZORVIKA_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://zorvika.example/zorvika/)
# Installed programs carry no symbols (the package's size, and Debian's rule).
set(CPACK_STRIP_FILES ON)
set(CPACK_ZORVIKA_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/strip-programs.cmake)
# The dependencies are the packages of the libraries the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Libraries loaded only when their feature is used (libgit2 for revisions,
# libxlsxwriter for workbooks) are not seen by the linker's list of needs:
# the packages that own them are recommended, so that a plain install stays
# small and each feature says which package it misses.
get_property(zorvika_loaded GLOBAL PROPERTY ZORVIKA_LOADED_LIBRARIES)
set(zorvika_loaded_packages)
foreach(library ${zorvika_loaded})
  execute_process(COMMAND dpkg -S ${library} OUTPUT_VARIABLE owner ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(owner MATCHES "^([^:,]+)")
    list(APPEND zorvika_loaded_packages ${CMAKE_MATCH_1})
  endif()
endforeach()
if(zorvika_loaded_packages)
  list(REMOVE_DUPLICATES zorvika_loaded_packages)
  list(JOIN zorvika_loaded_packages ", " CPACK_DEBIAN_PACKAGE_RECOMMENDS)
endif()
# ".xls" export starts LibreOffice Calc; everything else works without it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libreoffice-calc | libreoffice-calc-nogui")
set(CPACK_GENERATOR DEB)
include(CPack)
