# Installing ZORVIKA on Windows: one folder with the programs, git2.dll, the
# message tables and the help. `cpack -G NSIS` in the build folder makes
# zorvika-1.0-win64-setup.exe, which installs into Program Files\ZORVIKA
# with a Start-menu entry, "Open with" for .vbp and .vbg and an uninstaller
# in Apps & features, and writes installed.txt beside the programs so that
# they keep their data in %LOCALAPPDATA%\zorvika. `cpack -G ZIP` makes
# zorvika-1.0-win64-portable.zip, whose folder is a program folder (data
# beside the programs).
set(ZORVIKA_RESOURCES ${CMAKE_SOURCE_DIR}/resources)

install(TARGETS zorvika-cli RUNTIME DESTINATION .)
if(TARGET zorvika)
  install(TARGETS zorvika RUNTIME DESTINATION .)
endif()
if(EXISTS ${ZORVIKA_PROGRAM_DIR}/git2.dll)
  install(FILES ${ZORVIKA_PROGRAM_DIR}/git2.dll DESTINATION .)
endif()
install(FILES ${ZORVIKA_RESOURCES}/tips.dll ${ZORVIKA_RESOURCES}/tips.de.dll DESTINATION .)
install(DIRECTORY ${ZORVIKA_RESOURCES}/help DESTINATION .)
if(TARGET zorvika)
  install(DIRECTORY ${ZORVIKA_PROGRAM_DIR}/translations DESTINATION .)
endif()

set(CPACK_PACKAGE_NAME zorvika)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR ZORVIKA)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Counts the lines of Visual Basic 6 projects and groups")
set(CPACK_PACKAGE_INSTALL_DIRECTORY ZORVIKA)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY ZORVIKA)
set(CPACK_STRIP_FILES ON)
# The NSIS commands below reach makensis as they are written.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_GENERATOR NSIS ZIP)
# The file names per generator (cmake/cpack-windows.cmake).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/cpack-windows.cmake)

# A 64-bit setup program (Debian's NSIS has the stubs): it sees the 64-bit
# Program Files and registry, and runs under a Wine without 32-bit support.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_PACKAGE_NAME ZORVIKA)
set(CPACK_NSIS_DISPLAY_NAME "ZORVIKA ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_URL_INFO_ABOUT https://zorvika.example/zorvika/)
set(CPACK_NSIS_CONTACT support@zorvika.example)
# installed.txt tells the programs that they are installed (src/base/program_folder.h).
set(zorvika_nsis_install [[
  FileOpen $0 "$INSTDIR\installed.txt" w
  FileWrite $0 "Written by the ZORVIKA setup: the programs in this folder keep their data in %LOCALAPPDATA%\zorvika.$\r$\n"
  FileClose $0
]])
set(zorvika_nsis_uninstall [[
  Delete "$INSTDIR\installed.txt"
]])
if(TARGET zorvika)
  # The Start-menu entry, and "Open with" for project and group files.
  set(CPACK_PACKAGE_EXECUTABLES zorvika ZORVIKA)
  string(APPEND zorvika_nsis_install [[
  WriteRegStr HKLM "Software\Classes\Applications\zorvika.exe" "FriendlyAppName" "ZORVIKA"
  WriteRegStr HKLM "Software\Classes\Applications\zorvika.exe\SupportedTypes" ".vbp" ""
  WriteRegStr HKLM "Software\Classes\Applications\zorvika.exe\SupportedTypes" ".vbg" ""
  WriteRegStr HKLM "Software\Classes\Applications\zorvika.exe\shell\open\command" "" '"$INSTDIR\zorvika.exe" "%1"'
  WriteRegStr HKLM "Software\Classes\.vbp\OpenWithList\zorvika.exe" "" ""
  WriteRegStr HKLM "Software\Classes\.vbg\OpenWithList\zorvika.exe" "" ""
]])
  string(APPEND zorvika_nsis_uninstall [[
  DeleteRegKey HKLM "Software\Classes\Applications\zorvika.exe"
  DeleteRegKey HKLM "Software\Classes\.vbp\OpenWithList\zorvika.exe"
  DeleteRegKey HKLM "Software\Classes\.vbg\OpenWithList\zorvika.exe"
  DeleteRegKey /ifempty HKLM "Software\Classes\.vbp\OpenWithList"
  DeleteRegKey /ifempty HKLM "Software\Classes\.vbg\OpenWithList"
  DeleteRegKey /ifempty HKLM "Software\Classes\.vbp"
  DeleteRegKey /ifempty HKLM "Software\Classes\.vbg"
]])
endif()
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "${zorvika_nsis_install}")
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "${zorvika_nsis_uninstall}")
include(CPack)
