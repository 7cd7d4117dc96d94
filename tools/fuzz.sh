#!/usr/bin/env bash
# Longer fuzzing campaigns: builds the fuzz targets in the clang sanitizer
# tree (build/asan), runs one target (or each in turn) for the given seconds,
# then merges whatever new coverage it found into the stored seed corpus
# tests/fuzz/corpus/<target>/.
#   bash tools/fuzz.sh [target] [seconds]      e.g. bash tools/fuzz.sh fuzz_process 600
# A crash stops the campaign and leaves its input in build/asan/campaign/<target>/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

targets=(fuzz_state fuzz_param_text fuzz_process fuzz_png)
[ $# -ge 1 ] && [ -n "$1" ] && [ "$1" != all ] && targets=("$1")
seconds=${2:-300}
tree=${VELLOX_FUZZ_TREE:-build/asan}

source tools/trees.sh
vellox_configure asan "$tree"
cmake --build "$tree" -j "$(nproc)" --target "${targets[@]}"

for t in "${targets[@]}"; do
  corpus="tests/fuzz/corpus/$t"
  work="$tree/campaign/$t"
  rm -rf "$work"; mkdir -p "$work/new"
  echo "== $t for $seconds s"
  "$tree/tests/fuzz/$t" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
    -artifact_prefix="$work/" "$work/new" "$corpus" 2>"$work/log" || {
    tail -n 60 "$work/log"; echo "$t: crash, input in $work/"; exit 1; }
  grep -E '^stat::(number_of_executed_units|new_units_added)' "$work/log" || true
  # Keep only inputs that add coverage to the stored corpus.
  before=$(ls "$corpus" | wc -l)
  "$tree/tests/fuzz/$t" -merge=1 "$corpus" "$work/new" 2>>"$work/log" >/dev/null
  echo "$t: corpus $before -> $(ls "$corpus" | wc -l) files"
done
