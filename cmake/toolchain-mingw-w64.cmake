# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (the posix-threads
# compilers, so that std::thread and std::mutex work), e.g.
#   cmake -S . -B build-windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake \
#     -DZORVIKA_WINDOWS_DEPS=$PWD/build-windows/deps -DZORVIKA_BUILD_GUI=OFF
# scripts/build-windows.sh does exactly this after building the libraries
# that Debian does not ship for MinGW into build-windows/deps.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZORVIKA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZORVIKA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZORVIKA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZORVIKA_MINGW_TRIPLET}-windres)

# Libraries the system does not provide for MinGW (libxlsxwriter, GoogleTest)
# are cross-built into this prefix.
set(ZORVIKA_WINDOWS_DEPS "" CACHE PATH "Prefix holding the cross-built libraries (lib/, include/)")
set(ZORVIKA_MINGW_SYSROOT /usr/${ZORVIKA_MINGW_TRIPLET})

# Programs come from the build machine; headers, libraries and packages only
# from the MinGW sysroot and the dependency prefix, never from /usr.
set(CMAKE_FIND_ROOT_PATH ${ZORVIKA_MINGW_SYSROOT})
if(ZORVIKA_WINDOWS_DEPS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${ZORVIKA_WINDOWS_DEPS})
  list(APPEND CMAKE_PREFIX_PATH ${ZORVIKA_WINDOWS_DEPS})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads only the cross-built packages' .pc files, never the
# build machine's.
if(ZORVIKA_WINDOWS_DEPS)
  set(ENV{PKG_CONFIG_LIBDIR} "${ZORVIKA_WINDOWS_DEPS}/lib/pkgconfig")
else()
  set(ENV{PKG_CONFIG_LIBDIR} "${ZORVIKA_MINGW_SYSROOT}/lib/pkgconfig")
endif()
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# Everything linked in, the compiler's own run-time (libgcc, libstdc++,
# winpthread) included: the programs need only the DLLs of Windows itself.
# The sysroot holds zlib both as an import library and as a static one; the
# static one is taken.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(ZLIB_LIBRARY ${ZORVIKA_MINGW_SYSROOT}/lib/libz.a CACHE FILEPATH "zlib, linked statically")
set(ZLIB_INCLUDE_DIR ${ZORVIKA_MINGW_SYSROOT}/include CACHE PATH "zlib's headers")
# Libraries named by pkg-config files (-lz) are found by find_library too:
# static libraries before import libraries.
set(CMAKE_PROJECT_INCLUDE ${CMAKE_CURRENT_LIST_DIR}/mingw-static-libraries.cmake)

# The cross-built programs (tests, test discovery, try_run) run under Wine,
# in a private prefix with no display (scripts/wine-run.sh).
get_filename_component(ZORVIKA_TOOLCHAIN_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZORVIKA_TOOLCHAIN_SOURCE_DIR}/scripts/wine-run.sh)
# Tests are listed when ctest runs, not right after linking: the build needs
# no Wine then, and a test program that cannot start under Wine shows as a
# failed test instead of a failed build.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
