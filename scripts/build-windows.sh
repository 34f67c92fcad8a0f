#!/usr/bin/env bash
# Cross-builds the command line for 64-bit Windows on Debian 12:
# build-windows/bin/zorvika-cli.exe (one static program that needs only the
# DLLs of Windows itself), the core tests beside it in build-windows/.
#
# Installs what it needs with apt when missing (run as root, or it uses sudo),
# cross-builds the libraries Debian ships no MinGW build of (libxlsxwriter
# from Debian's source package, GoogleTest from /usr/src/googletest) into
# build-windows/deps/, then configures and builds the project with
# cmake/toolchain-mingw-w64.cmake. The source package is fetched through a
# package list kept inside build-windows/deps/apt/: the machine's package
# sources stay as they are. A second run skips every step whose result exists.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$repo/build-windows"
deps="$build/deps"
toolchain="$repo/cmake/toolchain-mingw-w64.cmake"
jobs="${ZORVIKA_JOBS:-2}"
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi

fail() { echo "build-windows: $*" >&2; exit 1; }
step() { echo "build-windows: $*"; }

# 1. Packages: the cross compiler, Wine to run the tests, the MinGW zlib,
# GoogleTest's sources, dpkg-source to unpack a source package.
packages=(
  cmake ninja-build pkg-config
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64
  libz-mingw-w64-dev
  googletest
  dpkg-dev xz-utils
  python3
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  step "installing ${missing[*]}"
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
mkdir -p "$deps/src" "$deps/build"

# 2. libxlsxwriter's Debian source package, the version this machine's
# libxlsxwriter-dev has (the Linux build's), through a private package list.
xlsx_version="$(dpkg-query -W -f='${source:Version}' libxlsxwriter-dev 2>/dev/null || true)"
xlsx_version="${xlsx_version:-1.1.4-2}"
xlsx_upstream="${xlsx_version%-*}"
xlsx_src="$deps/src/libxlsxwriter-$xlsx_upstream"
if [ ! -f "$xlsx_src/CMakeLists.txt" ]; then
  step "fetching the source package libxlsxwriter $xlsx_version"
  apt_dir="$deps/apt"
  rm -rf "$apt_dir"
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  # The machine's own package sources (its mirror), as source indexes.
  shopt -s nullglob
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
  done
  shopt -u nullglob
  apt_private=(
    -o Dir::Etc::SourceList=/dev/null
    -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
    -o Dir::State::Lists="$apt_dir/lists"
    -o Dir::Cache="$apt_dir/cache"
    -o APT::Sandbox::User=root
  )
  # A source that cannot be reached is told by apt; what counts is whether
  # the package is found afterwards.
  apt-get "${apt_private[@]}" update -qq || true
  rm -rf "$deps/src/libxlsxwriter-"*
  (cd "$deps/src" && apt-get "${apt_private[@]}" source -qq "libxlsxwriter=$xlsx_version") ||
    fail "cannot fetch the source package libxlsxwriter $xlsx_version"
  [ -f "$xlsx_src/CMakeLists.txt" ] || fail "the source package libxlsxwriter $xlsx_version has no $xlsx_src/CMakeLists.txt"
fi

# 3. libxlsxwriter, static, with its own minizip and the MinGW zlib.
if [ ! -f "$deps/lib/libxlsxwriter.a" ]; then
  step "building libxlsxwriter $xlsx_upstream"
  rm -rf "$deps/build/libxlsxwriter"
  cmake -S "$xlsx_src" -B "$deps/build/libxlsxwriter" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$deps" -DCMAKE_INSTALL_LIBDIR=lib \
    -DBUILD_SHARED_LIBS=OFF -DUSE_SYSTEM_MINIZIP=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF \
    >"$deps/build/libxlsxwriter.log" 2>&1 || { tail -20 "$deps/build/libxlsxwriter.log" >&2; fail "cannot configure libxlsxwriter"; }
  { cmake --build "$deps/build/libxlsxwriter" -j"$jobs" && cmake --install "$deps/build/libxlsxwriter"; } \
    >>"$deps/build/libxlsxwriter.log" 2>&1 || { tail -20 "$deps/build/libxlsxwriter.log" >&2; fail "cannot build libxlsxwriter"; }
fi
# Its pkg-config file, for a static link: zlib comes with it.
mkdir -p "$deps/lib/pkgconfig"
pc="$(cat <<EOF
prefix=$deps
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: xlsxwriter
Description: A C library for creating Excel XLSX files (static, for MinGW-w64)
Version: $xlsx_upstream
Libs: -L\${libdir} -lxlsxwriter -lz
Cflags: -I\${includedir}
EOF
)"
if [ "$(cat "$deps/lib/pkgconfig/xlsxwriter.pc" 2>/dev/null)" != "$pc" ]; then
  printf '%s\n' "$pc" >"$deps/lib/pkgconfig/xlsxwriter.pc"
fi

# 4. GoogleTest, static.
if [ ! -f "$deps/lib/cmake/GTest/GTestConfig.cmake" ]; then
  step "building GoogleTest"
  [ -f /usr/src/googletest/CMakeLists.txt ] || fail "GoogleTest's sources are missing from /usr/src/googletest"
  rm -rf "$deps/build/googletest"
  { cmake -S /usr/src/googletest -B "$deps/build/googletest" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$deps" -DCMAKE_INSTALL_LIBDIR=lib \
      -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=ON -Dgtest_force_shared_crt=OFF &&
    cmake --build "$deps/build/googletest" -j"$jobs" &&
    cmake --install "$deps/build/googletest"; } \
    >"$deps/build/googletest.log" 2>&1 || { tail -20 "$deps/build/googletest.log" >&2; fail "cannot build GoogleTest"; }
fi

# 5. The project: the core library, the command line and the core tests.
if [ ! -f "$build/build.ninja" ]; then
  step "configuring $build"
  cmake -S "$repo" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DZORVIKA_WINDOWS_DEPS="$deps" \
    -DZORVIKA_BUILD_GUI=OFF -DCMAKE_BUILD_TYPE=Release ||
    fail "cannot configure the Windows build"
fi
step "building $build"
cmake --build "$build" -j"$jobs" || fail "the Windows build failed"

# 6. The program must need nothing but the DLLs of Windows itself.
exe="$build/bin/zorvika-cli.exe"
[ -f "$exe" ] || fail "$exe was not built"
imports="$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr -d '\r')"
[ -n "$imports" ] || fail "cannot read the imports of $exe"
foreign=()
while IFS= read -r dll; do
  case "${dll,,}" in
    kernel32.dll | kernelbase.dll | ntdll.dll | user32.dll | gdi32.dll | advapi32.dll | shell32.dll | shlwapi.dll | \
    ole32.dll | oleaut32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-*.dll | ws2_32.dll | bcrypt.dll | \
    crypt32.dll | secur32.dll | rpcrt4.dll | userenv.dll | psapi.dll | dbghelp.dll | version.dll | \
    iphlpapi.dll | winhttp.dll | comdlg32.dll | comctl32.dll) ;;
    *) foreign+=("$dll") ;;
  esac
done <<<"$imports"
if [ ${#foreign[@]} -gt 0 ]; then
  fail "$exe needs DLLs that Windows does not have: ${foreign[*]} (it must be linked statically)"
fi
step "$exe ($(du -h "$exe" | cut -f1)) imports only $(echo $imports | tr ' ' ',')"
