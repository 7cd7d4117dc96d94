#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test suite:
#   native (build/linux), AddressSanitizer+UBSan (build/asan, clang), each
#   libFuzzer target for a bounded time on its stored corpus (built in
#   build/asan too), ThreadSanitizer for the GUI threading tests (build/tsan),
#   and the Windows build under Wine (build/windows) on a private virtual X
#   display.
# Two lanes share the machine: the Linux lane (native, then AddressSanitizer
# and fuzz, on a private X display) and the Windows lane (Windows, then
# ThreadSanitizer); a suite runs as soon as its tree is built, beside the other
# lane's build. Each tree is built once: the native tree whole (its benchmarks
# too, so that they keep compiling), the thread sanitizer tree only with what
# its tests use. Prints the wall and CPU time of every stage.
# Exits non-zero if any suite fails.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
source tools/trees.sh

run_start=$(date +%s)
bash tools/setup.sh || exit 1
jobs=$(nproc)
results="$top/build/test-results"
rm -rf "$results"; mkdir -p "$results"

# CPU time (user + system, in clock ticks) of the finished children of the
# shell that runs a stage: each lane is a subshell of its own, so a stage
# counts only its own work, never the other lane's (the main shell collects a
# lane's time when the lane ends, whatever stage the other lane is in).
# Daemons that leave the shell (Wine's server and system processes) are added
# by the stage that ran them, through stage_extra_ticks.
clock_ticks=$(getconf CLK_TCK)
children_cpu_ticks() { awk '{ print $16 + $17 }' "/proc/$1/stat"; } # pid
whole_run_cpu() { awk -v hz="$clock_ticks" '{ print int(($14 + $15 + $16 + $17) / hz) }' "/proc/$$/stat"; }
stage_extra_ticks=0

# stage NAME COMMAND...: runs the command, records its time and outcome.
stage() {
  local name=$1; shift
  local start status cpu_start cpu shell=$BASHPID
  start=$(date +%s)
  cpu_start=$(children_cpu_ticks "$shell")
  stage_extra_ticks=0
  "$@"; status=$?
  cpu=$((($(children_cpu_ticks "$shell") - cpu_start + stage_extra_ticks) / clock_ticks))
  echo "$name $(($(date +%s) - start)) $cpu $status" >>"$results/stages"
  echo "== $name: $(($(date +%s) - start)) s, $cpu CPU s$([ $status -eq 0 ] || echo ", FAILED")"
  return $status
}

failed() { echo "$1" >>"$results/failed"; }  # a suite or stage that failed

# build TREE [targets...]; a failed build fails the tree's suite.
build() {
  local tree=$1; shift
  local targets=()
  [ $# -eq 0 ] || targets=(--target "$@")
  cmake --build "build/$tree" -j "$jobs" "${targets[@]}" || { failed "build-$tree"; return 1; }
}

# Test programs of a tree with a label: their names are their targets.
labelled_targets() { # tree label
  ctest --test-dir "build/$1" -N -L "$2" 2>/dev/null | sed -n 's/^ *Test *#[0-9]*: *//p'
}

run_suite() { # name ctest-args...
  local name=$1; shift
  local log="build/test-$name.log"
  ctest "$@" --output-on-failure --timeout 600 >"$log" 2>&1
  grep -E '^(\s*[0-9]+/[0-9]+ Test|[0-9]+% tests passed|The following tests FAILED|\s+[0-9]+ - )' "$log"
  local line total failures
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | tail -n1)
  if [ -z "$line" ]; then
    echo "$name: no test ran"; failed "$name"; return 1
  fi
  failures=$(echo "$line" | sed -E 's/.*tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\1/')
  total=$(echo "$line" | sed -E 's/.*tests failed out of ([0-9]+).*/\1/')
  echo "$((total - failures)) $failures" >"$results/count-$name"
  if [ "$failures" -ne 0 ]; then
    # What failed and why, so that a red run can be read without the log.
    grep -E '(^FAILED: |\[  FAILED  \]|Failure$|^Expected|^  Actual|Which is:|error: |ERROR: )' "$log" | head -n 60
    failed "$name"; return 1
  fi
}

# One style for every source file (.clang-format); a file that differs fails.
format_check() {
  local files unformatted
  files=$(vellox_source_files)
  [ -n "$files" ] || { echo "format: no source files found"; failed format; return 1; }
  unformatted=$(echo "$files" | xargs clang-format --dry-run 2>&1 |
    sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning:.*/\1/p' | sort -u)
  if [ -n "$unformatted" ]; then
    echo "not formatted (run clang-format -i on them):"; echo "$unformatted" | sed 's/^/  /'
    failed format; return 1
  fi
  echo "format: all $(echo "$files" | wc -l) files formatted"
  echo "1 0" >"$results/count-format"
}

# The Linux editor's X11 tests need a display: a private Xvfb (a free display
# number chosen by the server) for the native and sanitizer suites.
native_xvfb_pid=""
start_native_xvfb() {
  local display_file
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 2048x1600x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  native_xvfb_pid=$!
  while kill -0 "$native_xvfb_pid" 2>/dev/null && [ ! -s "$display_file" ]; do sleep 0.05; done
  if [ -s "$display_file" ]; then
    export DISPLAY=":$(head -n1 "$display_file")"
  else
    echo "could not start Xvfb for the native tests" >&2
  fi
  rm -f "$display_file"
}
stop_native_xvfb() {
  [ -n "$native_xvfb_pid" ] || return 0
  kill "$native_xvfb_pid" 2>/dev/null; wait "$native_xvfb_pid" 2>/dev/null
  native_xvfb_pid=""
  unset DISPLAY
}

# with_native_xvfb COMMAND...: the command with a private display, which ends
# with it (so that the stage running the command counts the server's time).
with_native_xvfb() {
  local status
  start_native_xvfb
  "$@"; status=$?
  stop_native_xvfb
  return $status
}

linux_lane() {
  trap stop_native_xvfb EXIT
  stage "build linux" build linux || return
  stage "test native" with_native_xvfb run_suite native --test-dir build/linux -j "$jobs"
  # Every test program of the sanitizer tree and the fuzz targets; the tool
  # and the module come with them.
  if stage "build asan" build asan; then
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      stage "test asan" with_native_xvfb run_suite asan --test-dir build/asan -LE fuzz -j "$jobs"
    stage "test fuzz" run_suite fuzz --test-dir build/asan -L fuzz -j "$jobs"
  fi
}

# The CPU time of the live processes of this run's Wine prefix: the server and
# the system processes, which are no child of the lane.
wine_daemons_cpu_ticks() {
  local environ pid total=0
  for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}; pid=${pid%/environ}
    grep -qzxF "WINEPREFIX=$WINEPREFIX" "$environ" 2>/dev/null || continue
    total=$((total + $(awk '{ print $14 + $15 + $16 + $17 }' "/proc/$pid/stat" 2>/dev/null || echo 0)))
  done
  echo "$total"
}

# The Windows suite under Wine, Wine's start and stop included.
windows_tests() {
  local status
  source tools/wine-env.sh
  vellox_wine_start || { failed windows; return 1; }
  trap vellox_wine_stop EXIT
  run_suite windows --test-dir build/windows; status=$?
  stage_extra_ticks=$(wine_daemons_cpu_ticks)
  vellox_wine_stop
  trap - EXIT
  unset DISPLAY WINEPREFIX
  return $status
}

windows_lane() {
  if stage "build windows" build windows; then
    stage "test windows" windows_tests
  fi
  # ThreadSanitizer only matters where threads meet: the tests labelled "threads".
  local tsan_targets
  tsan_targets=$(labelled_targets tsan threads)
  if [ -n "$tsan_targets" ] && stage "build tsan" build tsan $tsan_targets; then
    TSAN_OPTIONS=halt_on_error=1 stage "test tsan" run_suite tsan --test-dir build/tsan -L threads
  fi
}

configure_all() {
  local tree
  for tree in linux windows asan tsan; do
    vellox_configure "$tree" || { echo "configuring build/$tree failed" >&2; return 1; }
  done
}
stage "configure" configure_all || exit 1
stage "format check" format_check
# The Windows tree paints its bundle's snapshot with the native host tool.
stage "build linux host tool" build linux vellox || exit 1

windows_log="build/test-lane-windows.log"
windows_lane >"$windows_log" 2>&1 &
windows_lane_pid=$!
linux_lane &
linux_lane_pid=$!
trap 'kill "$windows_lane_pid" "$linux_lane_pid" 2>/dev/null' EXIT
wait "$linux_lane_pid"
wait "$windows_lane_pid"
trap - EXIT
echo "-- Windows lane"
cat "$windows_log"

total_passed=0; total_failed=0
for f in "$results"/count-*; do
  [ -f "$f" ] || continue
  read -r p n <"$f"
  total_passed=$((total_passed + p)); total_failed=$((total_failed + n))
done
failed_suites=$(sort -u "$results/failed" 2>/dev/null | tr '\n' ' ')
echo
echo "stage times (wall s, CPU s):"
sed 's/^\(.*\) \([0-9]*\) \([0-9]*\) \([0-9]*\)$/  \2\t\3\t\1/' "$results/stages"
echo "  $(($(date +%s) - run_start))	$(whole_run_cpu)	whole run"
echo "suites failed: ${failed_suites:-none}"
echo "Total: $total_passed passed, $total_failed failed"
[ -z "$failed_suites" ] && [ "$total_failed" -eq 0 ]
