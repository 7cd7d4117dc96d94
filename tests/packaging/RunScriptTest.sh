#!/usr/bin/env bash
# tools/run.sh, the README's main command, called from a folder of the
# user's: relative paths are that folder's, and nothing lands in the tree.
# Usage: RunScriptTest.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
source "$(dirname "$0")/check.sh"
mkdir -p "$build/packaging-test"
work=$(mktemp -d "$build/packaging-test/run.XXXXXX")
mkdir -p "$work/music"
(cd "$work/music" && VELLOX_BUILD_TREE="$build" bash "$top/tools/run.sh" --out song.wav >/dev/null 2>&1)
check "the demo goes to the caller's folder" test -s "$work/music/song.wav"
out=$(cd "$work/music" && VELLOX_BUILD_TREE="$build" bash "$top/tools/run.sh" --in song.wav --out chopped.wav 2>&1)
check "a relative --in and --out are the caller's" test -s "$work/music/chopped.wav"
check "the report names the file as given" grep -q "^wrote chopped.wav" <<<"$out"
check "nothing is written into the source tree" test ! -e "$top/chopped.wav" -a ! -e "$top/song.wav"
finish && rm -rf "$work"
