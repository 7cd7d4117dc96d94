#!/usr/bin/env bash
# Configures and builds the native (build/linux) and Windows (build/windows)
# trees; with --sanitize also the AddressSanitizer/UBSan tree (build/asan),
# with --tsan the ThreadSanitizer tree (build/tsan). Each tree has the options
# tools/test.sh gives it (tools/trees.sh) and is configured again when they
# have changed.
# Usage: tools/build.sh [--sanitize] [--tsan] [ninja targets...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
source tools/trees.sh
trees=(linux windows); targets=()
for a in "$@"; do
  case "$a" in
    --sanitize) trees+=(asan) ;;
    --tsan) trees+=(tsan) ;;
    *) targets+=("$a") ;;
  esac
done

for tree in "${trees[@]}"; do
  vellox_configure "$tree"
  # The Windows tree paints its bundle's snapshot with the native host tool.
  [ "$tree" != windows ] || cmake --build build/linux --target vellox
  cmake --build "build/$tree" -- "${targets[@]}"
done
