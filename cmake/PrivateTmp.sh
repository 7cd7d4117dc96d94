#!/usr/bin/env bash
# Runs one test command in a fresh temporary directory of its own, removed
# afterwards, so that tests never meet each other's files (nor those of other
# runs on the machine). TMPDIR names it, and TEST_TMPDIR too, which
# GoogleTest's TempDir() prefers.
# With --wine the command is a Windows program: only TEST_TMPDIR changes, to
# the directory's Windows name (drive Z: is /). TMPDIR stays, because Wine
# finds the prefix's wineserver under it; another TMPDIR would start a second
# server on the same prefix.
# Usage: PrivateTmp.sh [--wine] COMMAND [ARGS...]
set -u
wine=0
if [ "${1:-}" = --wine ]; then wine=1; shift; fi
dir=$(mktemp -d "${TMPDIR:-/tmp}/vellox-test.XXXXXX") || exit 1
trap 'rm -rf "$dir"' EXIT
if [ $wine -eq 1 ]; then
  export TEST_TMPDIR="Z:${dir//\//\\}\\"
else
  export TMPDIR="$dir" TEST_TMPDIR="$dir/"
fi
"$@"
