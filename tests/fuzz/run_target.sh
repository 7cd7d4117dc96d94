#!/usr/bin/env bash
# Runs one fuzz target for a bounded time on its stored corpus:
#   run_target.sh <binary> <corpus-dir> <work-dir> <seconds> <max-len>
# New inputs go to <work-dir>/new (the stored corpus is only read); a crash
# leaves its input in <work-dir> and fails the run.
set -euo pipefail
binary=$1 corpus=$2 work=$3 seconds=$4 max_len=$5
rm -rf "$work"
mkdir -p "$work/new"
"$binary" -max_total_time="$seconds" -max_len="$max_len" -timeout=20 -print_final_stats=1 \
  -artifact_prefix="$work/" "$work/new" "$corpus" 2>"$work/log" || status=$?
grep -E '^(stat::number_of_executed_units|stat::new_units_added|INFO: Loaded|==[0-9]+==ERROR|SUMMARY)' "$work/log" || true
if [ "${status:-0}" -ne 0 ]; then
  tail -n 60 "$work/log"
  exit "$status"
fi
