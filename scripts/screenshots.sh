#!/usr/bin/env bash
# Saves pictures of the main, history, about, procedures and trend windows
# into docs/ (English table) and docs/de/ (German table), made headless from
# a group and a project of the shared corpus beside the repository.
# The trend picture shows the versions of TREND_PROJECT imported from a
# generated git history of it (scripts/make-history-repo.py: 20 tagged
# revisions, each adding modules and code).
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
folders=()
trap 'rm -rf "${folders[@]}"' EXIT
history=$(mktemp -d)
folders+=("$history")
python3 scripts/make-history-repo.py "$trend" "$history/repo" 20
trend="$history/repo/$(basename "$trend")"
# One run per shipped table: its own program folder and snapshot store.
for run in "tips.dll docs" "tips.de.dll docs/de"; do
  read -r table out <<<"$run"
  folder=$(mktemp -d)
  folders+=("$folder")
  cp "$build/bin/$table" "$folder/tips.dll"
  "$build/bin/zorvika-cli" import "$trend" --tags --program-folder "$folder" >/dev/null
  QT_QPA_PLATFORM=offscreen "$build/bin/zorvika-screenshots" "$folder" "$(realpath "$group")" "$out" "$(realpath "$trend")"
done
