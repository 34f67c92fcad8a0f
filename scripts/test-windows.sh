#!/usr/bin/env bash
# Tests the Windows build (scripts/build-windows.sh) under Wine, in the
# private prefix build-windows/wine-prefix and with no display: first the
# cross-built tests (those labelled posix_only left out), then
# scripts/compare-windows.sh, which runs the same commands with the Linux
# program (build/bin/zorvika-cli) and the Windows one over the corpus, then
# scripts/test-windows-installer.sh (install, run, uninstall; the zip).
# Exits 1 when one fails; all always run.
set -uo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"
build=build-windows
exe="$build/bin/zorvika-cli.exe"
export WINEPREFIX="$repo/$build/wine-prefix"
jobs="${ZORVIKA_JOBS:-2}"

fail() { echo "test-windows: $*" >&2; exit 1; }

[ -f "$exe" ] && [ -f "$build/CTestTestfile.cmake" ] || fail "$exe is not built: run scripts/build-windows.sh first"
[ -x build/bin/zorvika-cli ] || fail "build/bin/zorvika-cli is not built: the comparison needs the Linux program too"

# One Wine server for the whole run, so that every test does not start
# Wine anew; it and Wine's background programs get no terminal or pipe of
# ours (they would hold it open), and it is ended when this script ends.
scripts/wine-run.sh --version >/dev/null 2>&1 || true # makes the prefix on first use
wineserver -w >/dev/null 2>&1 || true
wineserver -p </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

# A console program must run under Wine without a display.
smoke="$build/wine-smoke.txt"
timeout 300 scripts/wine-run.sh "$exe" --version </dev/null >"$smoke" 2>&1 ||
  fail "Wine cannot run $exe without a display: $(head -c 300 "$smoke")"
version="$(cat "$smoke")"
case "$version" in
  zorvika-cli*) echo "test-windows: Wine runs $exe: $version" ;;
  *) fail "$exe --version under Wine printed: $version" ;;
esac

status=0
echo "test-windows: the cross-built tests under Wine"
# A test that fails is run once more, alone: one that passes then is named
# (Wine, not the program, is the likelier cause) and does not fail the run;
# one that fails again does. A run that could not list its tests fails.
failed_list="$build/Testing/Temporary/LastTestsFailed.log"
rm -f "$failed_list"
if ! ctest --test-dir "$build" -LE posix_only --output-on-failure -j"$jobs"; then
  if [ -s "$failed_list" ]; then
    failed="$(cut -d: -f2- "$failed_list" | tr '\n' ' ')"
    echo "test-windows: running again, alone: $failed"
    if ctest --test-dir "$build" --rerun-failed --output-on-failure -j1; then
      echo "test-windows: failed once under Wine and passed when run again: $failed"
    else
      status=1
    fi
  else
    status=1
  fi
fi
echo "test-windows: the Linux and the Windows program over the corpus"
scripts/compare-windows.sh || status=1
echo "test-windows: the setup program and the portable zip"
scripts/test-windows-installer.sh || status=1
exit $status
