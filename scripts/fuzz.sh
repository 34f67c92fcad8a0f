#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time,
# seeded from the shared corpus. Fails on a crash, a leak, a sanitizer report
# or a time-out; the failing input is copied to tests/fuzz/regressions/.
#   scripts/fuzz.sh [SECONDS_PER_TARGET]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
corpus=$(cd .. && pwd)/shared/corpus
build=build-fuzz
CXX=clang++ cmake -S . -B "$build" -G Ninja -DZORVIKA_FUZZ=ON -DZORVIKA_BUILD_GUI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
seed() { mkdir -p "$work/seed-$1"; }
for t in project_reader group_reader ini snapshot line_scan procedure_metrics; do seed $t; done
find "$corpus" -name '*.vbp' -exec cp -t "$work/seed-project_reader" {} + 2>/dev/null || true
find "$corpus" -name '*.vbg' -exec cp -t "$work/seed-group_reader" {} + 2>/dev/null || true
cp resources/tips*.dll "$work/seed-ini/"
find "$corpus" -name '*.vbp' -exec cp -t "$work/seed-ini" {} + 2>/dev/null || true
find "$corpus" \( -name '*.frm' -o -name '*.bas' -o -name '*.cls' -o -name '*.ctl' \) -size -64k | head -200 |
  while IFS= read -r f; do cp "$f" "$work/seed-line_scan/$(basename "$f")-$RANDOM"; done || true
cp "$work/seed-line_scan/"* tests/data/procedures/* "$work/seed-procedure_metrics/" 2>/dev/null || true
# Snapshots as the store writes them.
prog="$work/program"; mkdir -p "$prog"; cp resources/tips.dll "$prog/"
for p in "$corpus/SSTabEx/Group1.vbg" "$corpus/VBCorLib/Source/CorLib.Solution.vbg"; do
  "$build/bin/zorvika-cli" count "$p" --save --program-folder "$prog" >/dev/null 2>&1 || true
done
find "$prog/verhis" -type f -exec cp --backup=numbered -t "$work/seed-snapshot" {} + 2>/dev/null || true

status=0
for t in project_reader group_reader ini snapshot line_scan procedure_metrics; do
  mkdir -p "$work/art-$t" "$work/run-$t"
  echo "== fuzzing $t for ${seconds}s"
  dirs=("$work/run-$t" "$work/seed-$t")
  for d in tests/fuzz/regressions/$t tests/fuzz/regressions/common; do [ -d "$d" ] && dirs+=("$d"); done
  if ! "$build/fuzz/${t}_fuzz" "${dirs[@]}" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -artifact_prefix="$work/art-$t/" -print_final_stats=1 2>"$work/log-$t"; then
    status=1
    mkdir -p tests/fuzz/regressions/$t
    cp "$work/art-$t/"* tests/fuzz/regressions/$t/ 2>/dev/null || true
    tail -40 "$work/log-$t"
  fi
  { grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$work/log-$t" | tr '\n' ' '; } || true; echo
  grep -E 'Done [0-9]+ runs' "$work/log-$t" || true
done
exit $status
