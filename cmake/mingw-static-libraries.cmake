# Read after every project() of a MinGW-w64 cross-build (the toolchain file
# names it): Windows' platform files make find_library prefer import
# libraries (.dll.a), which would make the programs need a library's DLL.
# The static library is taken wherever there is one.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a .lib .dll.a)
