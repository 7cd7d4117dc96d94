#!/usr/bin/env bash
# tools/trees.sh, which every build and test script sources: a tree is
# configured again when its options change (and only then), and the C++ files
# to check are found outside a git checkout too.
# Usage: BuildScriptsTest.sh
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
source "$top/tests/packaging/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A cmake that only notes its arguments and leaves a build.ninja behind.
mkdir -p "$work/bin"
cat >"$work/bin/cmake" <<'FAKE'
#!/usr/bin/env bash
echo "$*" >>"$CMAKE_LOG"
while [ $# -gt 0 ]; do [ "$1" = -B ] && { mkdir -p "$2"; touch "$2/build.ninja"; }; shift; done
FAKE
chmod +x "$work/bin/cmake"
export PATH="$work/bin:$PATH" CMAKE_LOG="$work/cmake.log"
source "$top/tools/trees.sh"
calls() { [ -f "$CMAKE_LOG" ] && wc -l <"$CMAKE_LOG" || echo 0; }

tree="$work/tree"
vellox_configure linux "$tree"
check "a new tree is configured" test "$(calls)" -eq 1
vellox_configure linux "$tree"
check "the same options: not configured again" test "$(calls)" -eq 1
touch "$tree/CMakeCache.txt"
vellox_configure asan "$tree"
check "other options: configured again" test "$(calls)" -eq 2
check "with the new options" grep -q -- '-DVELLOX_SANITIZE=ON' <(tail -n1 "$CMAKE_LOG")
check "from a fresh cache" test ! -e "$tree/CMakeCache.txt"

# The format check's file list in an unpacked source tree (no git).
src="$work/src"
mkdir -p "$src/tools" "$src/plug" "$src/build/linux"
cp "$top/tools/trees.sh" "$src/tools/"
touch "$src/plug/A.cpp" "$src/plug/A.h" "$src/build/linux/Generated.cpp" "$src/notes.txt"
files=$(GIT_CEILING_DIRECTORIES="$work" bash -c 'source "$1/tools/trees.sh"; vellox_source_files' _ "$src")
check "outside git: the sources of the tree, none under build/" \
  test "$files" = "$(printf 'plug/A.cpp\nplug/A.h')"
finish
