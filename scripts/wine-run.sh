#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine: in the private prefix
# build-windows/wine-prefix (or $WINEPREFIX when set), without a display,
# without Wine's own messages, and without offering to install Mono or Gecko.
# The program's exit status is this script's. The cross-build uses it as its
# emulator, so ctest runs the tests through it.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$repo/build-windows/wine-prefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=
unset WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  # Several tests may start at once on a new prefix: one of them makes it.
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # Debian's wine runs wine64 when there is no 32-bit Wine.
    wine wineboot -i >/dev/null 2>&1 || true
    # The prefix's registry is on disk once its server has ended.
    wineserver -w || true
  fi
  flock -u 9
  exec 9>&-
fi
exec wine "$@"
