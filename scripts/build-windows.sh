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
# GoogleTest's sources, dpkg-source to unpack a source package, libgit2's
# headers (the Windows program loads git2.dll; the headers are the same),
# NSIS's makensis for the installer.
packages=(
  cmake ninja-build pkg-config
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64
  libz-mingw-w64-dev
  googletest
  dpkg-dev xz-utils
  python3
  libgit2-dev
  nsis
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

# 2. Debian's source packages of the libraries to cross-build, each in the
# version this machine's -dev package has (the Linux build's), fetched
# through a package list of its own under build-windows/deps/apt.
apt_dir="$deps/apt"
apt_private=(
  -o Dir::Etc::SourceList=/dev/null
  -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
  -o Dir::State::Lists="$apt_dir/lists"
  -o Dir::Cache="$apt_dir/cache"
  -o APT::Sandbox::User=root
)
source_lists_ready=""
source_lists() {
  [ -n "$source_lists_ready" ] && return
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
  # A source that cannot be reached is told by apt; what counts is whether
  # the package is found afterwards.
  apt-get "${apt_private[@]}" update -qq || true
  source_lists_ready=1
}

# source_package DEV-PACKAGE DEFAULT-VERSION: sets name, version and
# upstream to those of the source package DEV-PACKAGE is built from, in the
# version this machine has (DEFAULT-VERSION, "name=version", when it has
# none).
source_package() {
  name="$(dpkg-query -W -f='${source:Package}' "$1" 2>/dev/null || true)"
  version="$(dpkg-query -W -f='${source:Version}' "$1" 2>/dev/null || true)"
  if [ -z "$name" ] || [ -z "$version" ]; then name="${2%=*}"; version="${2#*=}"; fi
  upstream="${version#*:}"
  upstream="${upstream%-*}"
}

# cross_build DEV-PACKAGE DEFAULT-VERSION RESULT [CMAKE OPTION...]: the
# source package of DEV-PACKAGE unpacked into deps/src, patched with
# scripts/patches/NAME/*.patch, built static with the toolchain and
# installed into $cross_prefix (deps when unset), unless $cross_prefix/RESULT
# exists. With $cross_clean set, the build tree and the source are removed
# once installed.
cross_build() {
  local dev="$1" default="$2" result="$3"
  shift 3
  local prefix="${cross_prefix:-$deps}"
  [ -f "$prefix/$result" ] && return
  local name version upstream src log patch
  source_package "$dev" "$default"
  src="$deps/src/$name-$upstream"
  if [ ! -f "$src/CMakeLists.txt" ]; then
    step "fetching the source package $name $version"
    source_lists
    rm -rf "$deps/src/$name-"* "$deps/src/$name"_*
    (cd "$deps/src" && apt-get "${apt_private[@]}" source -qq "$name=$version") ||
      fail "cannot fetch the source package $name $version"
    [ -f "$src/CMakeLists.txt" ] || fail "the source package $name $version has no $src/CMakeLists.txt"
    for patch in "$repo/scripts/patches/$name"/*.patch; do
      [ -f "$patch" ] || continue
      patch -d "$src" -p1 --forward --quiet <"$patch" || fail "cannot apply $patch to $name $upstream"
    done
  fi
  step "building $name $upstream into $prefix"
  log="$deps/build/$name.log"
  rm -rf "$deps/build/$name"
  # A prefix of its own holds this library alone: what a failed build left
  # there goes.
  [ "$prefix" = "$deps" ] || rm -rf "$prefix"
  { cmake -S "$src" -B "$deps/build/$name" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib -DBUILD_SHARED_LIBS=OFF "$@" &&
    cmake --build "$deps/build/$name" -j"$jobs" &&
    cmake --install "$deps/build/$name"; } >"$log" 2>&1 ||
    { tail -20 "$log" >&2; fail "cannot build $name (see $log)"; }
  [ -f "$prefix/$result" ] || fail "building $name made no $prefix/$result"
  if [ -n "${cross_clean:-}" ]; then
    rm -rf "$deps/build/$name" "$src" "$deps/src/$name"_*
  fi
}

# 3. libxlsxwriter with its own minizip and the MinGW zlib; libzip and
# pugixml, with which the tests read workbooks back.
cross_build libxlsxwriter-dev libxlsxwriter=1.1.4-2 lib/libxlsxwriter.a \
  -DUSE_SYSTEM_MINIZIP=OFF -DBUILD_TESTS=OFF -DBUILD_EXAMPLES=OFF
xlsx_upstream="$(sed -n 's/^#define LXW_VERSION "\(.*\)"/\1/p' "$deps/include/xlsxwriter.h")"
cross_build libzip-dev libzip=1.7.3-1 lib/libzip.a \
  -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF -DENABLE_GNUTLS=OFF -DENABLE_OPENSSL=OFF \
  -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_WINDOWS_CRYPTO=OFF \
  -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
cross_build libpugixml-dev pugixml=1.13-0.2 lib/libpugixml.a -DPUGIXML_BUILD_TESTS=OFF
# Only static libraries are installed here: what a library needs privately
# (libzip: zlib, advapi32) every program that links it needs too.
for pc in "$deps"/lib/pkgconfig/*.pc; do
  private="$(sed -n 's/^Libs\.private:[[:space:]]*//p' "$pc")"
  [ -n "$private" ] || continue
  sed -i -e "s|^\(Libs:.*\)\$|\1 $private|" -e '/^Libs\.private:/d' "$pc"
done

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

# 3a. libgit2 as git2.dll beside the programs, for `count --revision` and
# `import`: shared, without network transports beyond plain HTTP (no HTTPS,
# no SSH, no NTLM, no WinHTTP), zlib, PCRE2 (its regular expressions) and
# http-parser linked in, so that it needs only the DLLs of Windows itself.
# Debian's libgit2 source leaves out the copies of these that libgit2 ships:
# PCRE2 and http-parser are cross-built from their own source packages.

# fetch_source NAME VERSION: the source package NAME unpacked into
# deps/src/NAME-UPSTREAM, in VERSION or, when the package sources cannot
# give that one (a security update's source is not on every mirror), in the
# newest other Debian revision of the same upstream release they can give.
fetch_source() {
  local name="$1" version="$2" upstream candidate tried=""
  upstream="${version#*:}"
  upstream="${upstream%-*}"
  [ -d "$deps/src/$name-$upstream" ] && return
  source_lists
  for candidate in "$version" $(apt-cache "${apt_private[@]}" showsrc "$name" 2>/dev/null |
    sed -n 's/^Version: //p' | sort -rVu); do
    local other="${candidate#*:}"
    [ "${other%-*}" = "$upstream" ] || continue
    [ "$candidate" != "$version" ] || [ "$tried" = "" ] || continue
    tried=1
    rm -rf "$deps/src/$name-$upstream" "$deps/src/$name"_*
    step "fetching the source package $name $candidate"
    if (cd "$deps/src" && apt-get "${apt_private[@]}" source -qq "$name=$candidate") && [ -d "$deps/src/$name-$upstream" ]; then
      [ "$candidate" = "$version" ] || step "$name $version cannot be fetched: built from $candidate"
      return
    fi
  done
  fail "cannot fetch the source package $name $upstream"
}

# source_version DEV-PACKAGE DEFAULT: "name=version" of the source package
# of DEV-PACKAGE as this machine has it, DEFAULT when it has none.
source_version() {
  local name version upstream
  source_package "$1" "$2"
  echo "$name=$version"
}

git2_dll="$deps/bin/git2.dll"
if [ ! -f "$git2_dll" ]; then
  for package in "$(source_version libpcre2-dev pcre2=10.42-1)" "$(source_version libgit2-dev libgit2=1.5.1+ds-1)"; do
    fetch_source "${package%%=*}" "${package#*=}"
  done
  cross_build libpcre2-dev pcre2=10.42-1 lib/libpcre2-8.a \
    -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF -DPCRE2_SUPPORT_JIT=OFF -DPCRE2_BUILD_PCRE2_8=ON
  http_parser="$(source_version libhttp-parser-dev http-parser=2.9.4-5)"
  fetch_source "${http_parser%%=*}" "${http_parser#*=}"
  if [ ! -f "$deps/lib/libhttp_parser.a" ]; then
    # One C file and its header; its own makefile builds for the machine.
    step "building ${http_parser/=/ }"
    src="${http_parser#*=}"
    src="$deps/src/${http_parser%%=*}-${src%-*}"
    mkdir -p "$deps/build/http-parser" "$deps/include" "$deps/lib"
    x86_64-w64-mingw32-gcc-posix -O2 -Wall -c "$src/http_parser.c" -o "$deps/build/http-parser/http_parser.o" &&
      x86_64-w64-mingw32-ar rcs "$deps/lib/libhttp_parser.a" "$deps/build/http-parser/http_parser.o" &&
      cp "$src/http_parser.h" "$deps/include/" || fail "cannot build http-parser"
  fi
  started=$SECONDS
  # Installed as libgit2.dll and copied to the name the programs load. libgit2's
  # sources find PCRE2 and http-parser in deps and are told that PCRE2 is
  # static; git2.dll is linked with -static, which takes the static zlib and
  # the compiler's run-time.
  cross_build libgit2-dev libgit2=1.5.1+ds-1 bin/libgit2.dll -DZORVIKA_WINDOWS_DEPS="$deps" \
    -DBUILD_SHARED_LIBS=ON -DBUILD_TESTS=OFF -DBUILD_CLI=OFF -DBUILD_EXAMPLES=OFF \
    -DUSE_HTTPS=OFF -DUSE_SSH=OFF -DUSE_NTLMCLIENT=OFF -DUSE_GSSAPI=OFF -DUSE_WINHTTP=OFF \
    -DREGEX_BACKEND=pcre2 -DUSE_HTTP_PARSER=system -DUSE_BUNDLED_ZLIB=OFF \
    -DCMAKE_C_FLAGS=-DPCRE2_STATIC -DCMAKE_SHARED_LINKER_FLAGS="-static -static-libgcc"
  cp "$deps/bin/libgit2.dll" "$git2_dll"
  step "libgit2 built in $((SECONDS - started)) s"
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

# 5. For the desktop program (unless ZORVIKA_WINDOWS_DESKTOP=0), Qt's base
# (Core, Gui, Widgets, Test; the windows and offscreen platforms), static, from Debian's qt6-base in
# the version of the Linux build's Qt, whose tools (moc, rcc, uic) it uses.
# It takes most of this script's time, so it is kept outside the work tree,
# in a folder named by Qt's version and a hash of everything that shapes it
# (options, patches, toolchain, compiler): another work tree or a later run
# on the same machine takes it as it is. Everything the desktop program does
# not use is left out, so that it builds in the least time.
gui_options=(-DZORVIKA_BUILD_GUI=OFF)
if [ "${ZORVIKA_WINDOWS_DESKTOP:-1}" = 1 ]; then
  qt_options=(
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake"
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF -DBUILD_WITH_PCH=ON
    # The modules: Core, Gui, Widgets and Test alone.
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF
    # Painting with the raster engine only; PNG the one picture format read.
    # (The DirectWrite font database needs Direct2D's sources; Qt draws
    # with GDI's fonts unless told otherwise.)
    -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF -DFEATURE_pdf=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
    -DFEATURE_textodfwriter=OFF -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF
    -DFEATURE_sessionmanager=OFF -DFEATURE_androiddeployqt=OFF
    # Debian's source leaves out the Wintab header the tablet events need.
    -DFEATURE_tabletevent=OFF
    # Qt's own copies of the libraries it needs, built in; no ICU, no zstd.
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_freetype=ON -DFEATURE_harfbuzz=ON -DFEATURE_fontconfig=OFF
    -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_glib=OFF
  )
  source_package qt6-base-dev qt6-base=6.4.2+dfsg-10
  qt_key="$( { printf '%s\n' "$version" "${qt_options[@]}"; cat "$toolchain" "$repo"/scripts/patches/qt6-base/*.patch
    x86_64-w64-mingw32-g++-posix --version | head -1; } | sha256sum | cut -c1-12)"
  qt="${ZORVIKA_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zorvika}/qt6-base-$upstream-$qt_key"
  started=$SECONDS
  cross_prefix="$qt" cross_clean=1 \
    cross_build qt6-base-dev qt6-base=6.4.2+dfsg-10 lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake "${qt_options[@]}"
  step "Qt $upstream for MinGW-w64 in $((SECONDS - started)) s: $qt ($(du -sh "$qt" | cut -f1))"
  gui_options=(-DZORVIKA_BUILD_GUI=ON -DZORVIKA_WINDOWS_QT="$qt")
fi

# 6. The project: the core library, the command line and the core tests;
# with Qt, the desktop program and its tests.
if [ ! -f "$build/build.ninja" ] || ! grep -qxF "ZORVIKA_WINDOWS_QT:PATH=${qt:-}" "$build/CMakeCache.txt"; then
  step "configuring $build"
  # Another Qt: the packages found for the last one are forgotten.
  rm -f "$build/CMakeCache.txt"
  cmake -S "$repo" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DZORVIKA_WINDOWS_DEPS="$deps" \
    -DZORVIKA_WINDOWS_QT="${qt:-}" "${gui_options[@]}" -DCMAKE_BUILD_TYPE=Release ||
    fail "cannot configure the Windows build"
fi
step "building $build"
cmake --build "$build" -j"$jobs" || fail "the Windows build failed"

# 7. The programs and git2.dll must need nothing but the DLLs of Windows itself.
only_windows_imports() {
  local file="$1" imports dll foreign=()
  [ -f "$file" ] || fail "$file was not built"
  imports="$(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr -d '\r')"
  [ -n "$imports" ] || fail "cannot read the imports of $file"
  while IFS= read -r dll; do
    case "${dll,,}" in
      kernel32.dll | kernelbase.dll | ntdll.dll | user32.dll | gdi32.dll | advapi32.dll | shell32.dll | shlwapi.dll | \
      ole32.dll | oleaut32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-*.dll | ws2_32.dll | bcrypt.dll | \
      crypt32.dll | secur32.dll | rpcrt4.dll | userenv.dll | psapi.dll | dbghelp.dll | version.dll | \
      iphlpapi.dll | winhttp.dll | comdlg32.dll | comctl32.dll | \
      authz.dll | d3d9.dll | d3d11.dll | dxgi.dll | dwmapi.dll | imm32.dll | netapi32.dll | shcore.dll | \
      uxtheme.dll | winmm.dll | wtsapi32.dll) ;;
      *) foreign+=("$dll") ;;
    esac
  done <<<"$imports"
  if [ ${#foreign[@]} -gt 0 ]; then
    fail "$file needs DLLs that Windows does not have: ${foreign[*]} (it must be linked statically)"
  fi
  step "$file ($(du -h "$file" | cut -f1)) imports only $(echo $imports | tr ' ' ',')"
}
only_windows_imports "$build/bin/zorvika-cli.exe"
only_windows_imports "$build/bin/git2.dll"
if [ -n "${qt:-}" ]; then only_windows_imports "$build/bin/zorvika.exe"; fi
