#!/usr/bin/env bash
# Saves pictures of the main, history, about, procedures and trend windows into docs/,
# made headless from a group and a project of the shared corpus beside the
# repository.
#   scripts/screenshots.sh [BUILD_DIR] [GROUP_FILE] [TREND_PROJECT]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
group=${2:-../shared/corpus/SSTabEx/Group1.vbg}
trend=${3:-../shared/corpus/PhotoDemon/PhotoDemon.vbp}
if [ ! -x "$build/bin/zorvika-screenshots" ]; then
  cmake -S . -B "$build" -G Ninja >/dev/null
  cmake --build "$build" --target zorvika-screenshots
fi
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$build/bin/tips.dll" "$folder/tips.dll"
QT_QPA_PLATFORM=offscreen "$build/bin/zorvika-screenshots" "$folder" "$(realpath "$group")" docs "$(realpath "$trend")"
