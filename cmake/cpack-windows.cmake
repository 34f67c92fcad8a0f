# Read by cpack for each generator of the Windows build (cmake/install-windows.cmake).
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "zorvika-${CPACK_PACKAGE_VERSION}-win64-setup")
elseif(CPACK_GENERATOR STREQUAL "ZIP")
  # The zip holds one folder of that name: the program folder.
  set(CPACK_PACKAGE_FILE_NAME "zorvika-${CPACK_PACKAGE_VERSION}-win64-portable")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()
