#!/usr/bin/env bash
# tools/setup.sh and tools/run.sh: the render asks only for what it needs, a
# set-up with nothing to do asks nothing of dpkg or apt, and run.sh configures
# a tree only when it has none. dpkg-query, apt-get and cmake are stand-ins
# that note their calls.
# Usage: SetupProfileTest.sh
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
source "$top/tests/packaging/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

src="$work/src"
mkdir -p "$src/tools" "$work/bin"
cp "$top/tools/setup.sh" "$top/tools/run.sh" "$top/tools/trees.sh" "$src/tools/"
# Every package is installed but those named in $MISSING, which were removed
# and left their configuration files behind.
cat >"$work/bin/dpkg-query" <<'FAKE'
#!/usr/bin/env bash
echo "$*" >>"$LOG/dpkg-query"
for p in "$@"; do
  case "$p" in -*) continue ;; esac
  if grep -qxF "$p" <<<"${MISSING:-}"; then echo "$p rc "; else echo "$p ii "; fi
done
FAKE
for tool in apt-get ninja; do
  printf '#!/usr/bin/env bash\necho "$*" >>"$LOG/%s"\n' "$tool" >"$work/bin/$tool"
done
# A configured tree is one with a build.ninja.
cat >"$work/bin/cmake" <<'FAKE'
#!/usr/bin/env bash
echo "$*" >>"$LOG/cmake"
while [ $# -gt 0 ]; do [ "$1" = -B ] && { mkdir -p "$2"; touch "$2/build.ninja"; }; shift; done
FAKE
chmod +x "$work/bin"/*
export PATH="$work/bin:$PATH" LOG="$work/log" VELLOX_DPKG_STATUS="$work/status"
mkdir -p "$LOG"
touch -d '2 hours ago' "$VELLOX_DPKG_STATUS"
calls() { [ -f "$LOG/$1" ] && wc -l <"$LOG/$1" || echo 0; }
setup() { bash "$src/tools/setup.sh" "$@" >/dev/null 2>&1; }

render_list=$(bash "$src/tools/setup.sh" --list --render)
full_list=$(bash "$src/tools/setup.sh" --list)
for p in wine wine64 xvfb nsis lintian clang-14 g++-mingw-w64-x86-64-posix libgtest-dev libz-mingw-w64-dev; do
  check "the render needs no $p" bash -c '! grep -qxF "$1" <<<"$2"' _ "$p" "$render_list"
  check "the tests need $p" grep -qxF "$p" <<<"$full_list"
done
for p in cmake ninja-build g++ libpng-dev libsndfile1-dev libxcb-shm0-dev juce-modules-source-data; do
  check "the render needs $p" grep -qxF "$p" <<<"$render_list"
done
check "the tests need all the render needs" test -z "$(comm -23 <(sort <<<"$render_list") <(sort <<<"$full_list"))"

setup --render
check "all installed: apt is not asked" test "$(calls apt-get)" -eq 0
check "the render builds no MinGW dependency" test "$(calls cmake)" -eq 0
check "and adds no package source" test ! -e "$src/build/deps"
asked=$(calls dpkg-query)
setup --render
check "nothing changed: dpkg is not asked again" test "$(calls dpkg-query)" -eq "$asked"
touch "$VELLOX_DPKG_STATUS"
MISSING=libsndfile1-dev setup --render
check "after a package change, dpkg is asked again" test "$(calls dpkg-query)" -gt "$asked"
check "and only the missing package is installed" \
  grep -qx -- "install -y -qq --no-install-recommends libsndfile1-dev" "$LOG/apt-get"
asked=$(calls dpkg-query)
setup --render
check "once installed, nothing is asked" test "$(calls dpkg-query)" -eq "$asked"

# The full set-up has its own record, and needs the MinGW libraries too.
mkdir -p "$src/build/deps/mingw/lib"
touch "$src/build/deps/mingw/lib/libpng.a" "$src/build/deps/mingw/lib/libgtest.a"
setup
check "the test packages are checked though the render's are recorded" test "$(calls dpkg-query)" -gt "$asked"
asked=$(calls dpkg-query)
setup
check "the full set-up with nothing to do asks nothing" test "$(calls dpkg-query)" -eq "$asked"
rm "$src/build/deps/mingw/lib/libgtest.a"
setup
check "a MinGW library gone is built again" grep -q googletest "$LOG/cmake"

# run.sh configures a tree without tests when there is none, and never again.
tree="$work/tree"
mkdir -p "$tree"
printf '#!/usr/bin/env bash\necho "$*" >>"$LOG/vellox"\n' >"$tree/vellox"
chmod +x "$tree/vellox"
: >"$LOG/cmake"
run() { VELLOX_BUILD_TREE="$tree" bash "$src/tools/run.sh" "$@" >/dev/null 2>&1; }
run --out a.wav
check "a new tree is configured for the render alone" grep -q -- "-B $tree .*-DVELLOX_TESTS=OFF" "$LOG/cmake"
check "the render gets its arguments" grep -qx "render --out a.wav" "$LOG/vellox"
check "with no arguments, the demo" bash -c 'run() { VELLOX_BUILD_TREE="$1" bash "$2" >/dev/null 2>&1; }; run "$1" "$2"; grep -qx "render --out vellox-demo.wav" "$3"' \
  _ "$tree" "$src/tools/run.sh" "$LOG/vellox"
check "a configured tree is not configured again" test "$(grep -c -- '-B ' "$LOG/cmake")" -eq 1
check "but it is built each time" test "$(grep -c -- "-C $tree vellox vellox_module" "$LOG/ninja")" -eq 2
finish
