#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test suite:
#   native (build/linux), AddressSanitizer+UBSan (build/asan), ThreadSanitizer
#   for the GUI threading tests (build/tsan), and the Windows build under Wine
#   (build/windows) on a private virtual X display, and each libFuzzer target
#   for a bounded time on its stored corpus (build/fuzz, clang).
# Exits non-zero if any suite fails.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

bash tools/setup.sh || exit 1
jobs=$(nproc)

configure() { # dir extra-args...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null || exit 1
}

configure build/linux -DCMAKE_BUILD_TYPE=Release
# The Windows bundle's editor snapshot is painted by the native host tool, built first.
configure build/windows -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" \
  -DVELLOX_NATIVE_HOST_TOOL="$top/build/linux/vellox"
configure build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLOX_SANITIZE=ON -DVELLOX_BENCH=OFF
configure build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLOX_TSAN=ON -DVELLOX_BENCH=OFF
configure build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLOX_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14

echo "== building (native, Windows, sanitizers)"
cmake --build build/linux -j "$jobs" || exit 1
cmake --build build/windows -j "$jobs" || exit 1
cmake --build build/asan -j "$jobs" || exit 1
# ThreadSanitizer only matters where threads meet: the tests labelled "threads".
tsan_targets=$(ctest --test-dir build/tsan -N -L threads 2>/dev/null | sed -n 's/^ *Test *#[0-9]*: *//p')
if [ -n "$tsan_targets" ]; then
  cmake --build build/tsan -j "$jobs" --target $tsan_targets || exit 1
fi
# The fuzz tree builds only its targets (the tests labelled "fuzz").
fuzz_targets=$(ctest --test-dir build/fuzz -N -L fuzz 2>/dev/null | sed -n 's/^ *Test *#[0-9]*: *//p')
if [ -n "$fuzz_targets" ]; then
  cmake --build build/fuzz -j "$jobs" --target $fuzz_targets || exit 1
fi

failed_suites=()
total_passed=0; total_failed=0

# One style for every source file (.clang-format); a file that differs fails.
echo "== format check"
unformatted=$(git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning:.*/\1/p' | sort -u)
if [ -n "$unformatted" ]; then
  echo "not formatted (run clang-format -i on them):"; echo "$unformatted" | sed 's/^/  /'
  failed_suites+=("format"); total_failed=$((total_failed + 1))
else
  echo "format: all files formatted"; total_passed=$((total_passed + 1))
fi
run_suite() { # name ctest-args...
  local name=$1; shift
  local log="build/test-$name.log"
  echo "== $name tests"
  ctest "$@" --output-on-failure --timeout 600 2>&1 | tee "$log" | grep -E '^(\s*[0-9]+/[0-9]+ Test|[0-9]+% tests passed|The following tests FAILED|\s+[0-9]+ - )' || true
  local line passed failed
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$log" | tail -n1)
  if [ -z "$line" ]; then
    failed_suites+=("$name"); echo "$name: no test ran"; return
  fi
  failed=$(echo "$line" | sed -E 's/.*tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\1/')
  total=$(echo "$line" | sed -E 's/.*tests failed out of ([0-9]+).*/\1/')
  passed=$((total - failed))
  total_passed=$((total_passed + passed)); total_failed=$((total_failed + failed))
  [ "$failed" -eq 0 ] || failed_suites+=("$name")
}

# The Linux editor's X11 tests need a display: a private Xvfb (a free display
# number chosen by the server) for the native and sanitizer suites.
xvfb_display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$xvfb_display_file" >/dev/null 2>&1 &
native_xvfb_pid=$!
trap 'kill "$native_xvfb_pid" 2>/dev/null' EXIT
for _ in $(seq 100); do [ -s "$xvfb_display_file" ] && break; sleep 0.1; done
if [ -s "$xvfb_display_file" ]; then
  export DISPLAY=":$(head -n1 "$xvfb_display_file")"
else
  echo "could not start Xvfb for the native tests" >&2
fi

run_suite native --test-dir build/linux -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite asan --test-dir build/asan -j "$jobs"

kill "$native_xvfb_pid" 2>/dev/null; wait "$native_xvfb_pid" 2>/dev/null
trap - EXIT
unset DISPLAY
rm -f "$xvfb_display_file"
if [ -n "$tsan_targets" ]; then
  TSAN_OPTIONS=halt_on_error=1 run_suite tsan --test-dir build/tsan -L threads
fi
if [ -n "$fuzz_targets" ]; then
  run_suite fuzz --test-dir build/fuzz -L fuzz -j "$jobs"
fi

source tools/wine-env.sh
if vellox_wine_start; then
  trap vellox_wine_stop EXIT
  run_suite windows --test-dir build/windows
  vellox_wine_stop
  trap - EXIT
else
  failed_suites+=("windows")
fi

echo
echo "suites failed: ${failed_suites[*]:-none}"
echo "Total: $total_passed passed, $total_failed failed"
[ ${#failed_suites[@]} -eq 0 ] && [ "$total_failed" -eq 0 ]
