# Installing ZORVIKA like a Linux desktop program (`cmake --install build`,
# any --prefix, DESTDIR) and packaging it (`cpack -G DEB` in the build folder).
# The installed programs find their shared files in <prefix>/share/zorvika
# and keep their data in $XDG_DATA_HOME/zorvika.
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

if(TARGET zorvika)
  install(TARGETS zorvika RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(DIRECTORY ${ZORVIKA_RESOURCES}/help DESTINATION ${ZORVIKA_SHARE_DIR})
  install(FILES ${ZORVIKA_RESOURCES}/man/zorvika.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${ZORVIKA_RESOURCES}/desktop/zorvika.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${ZORVIKA_RESOURCES}/desktop/zorvika-mime.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME zorvika.xml)
  install(FILES ${ZORVIKA_RESOURCES}/desktop/example.zorvika.ZORVIKA.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${ZORVIKA_RESOURCES}/icons/zorvika.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(DIRECTORY ${ZORVIKA_RESOURCES}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()

set(CPACK_PACKAGE_NAME zorvika)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR ZORVIKA)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Counts the lines of Visual Basic 6 projects and groups")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "ZORVIKA reads a Visual Basic 6 project or group, counts every module's lines by kind, stores every run as a "
    "snapshot per project and version, and exports the lists as tab text, CSV or spreadsheets. The package holds "
    "the desktop program zorvika and the command line zorvika-cli.")
set(CPACK_PACKAGE_CONTACT "ZORVIKA support <support@zorvika.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://zorvika.example/zorvika/)
# The dependencies are the packages of the libraries the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Libraries loaded when first needed are not seen by the linker's list of
# needs: the packages that own them are named here.
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
  list(JOIN zorvika_loaded_packages ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
endif()
# ".xls" export starts LibreOffice Calc; everything else works without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-calc | libreoffice-calc-nogui")
set(CPACK_GENERATOR DEB)
include(CPack)
