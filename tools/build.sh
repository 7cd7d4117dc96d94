#!/usr/bin/env bash
# Configures and builds the native (build/linux) and Windows (build/windows)
# trees; with --sanitize also the AddressSanitizer/UBSan tree (build/asan).
# Usage: tools/build.sh [--sanitize] [--tsan] [ninja targets...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
sanitize=0; tsan=0; targets=()
for a in "$@"; do
  case "$a" in
    --sanitize) sanitize=1 ;;
    --tsan) tsan=1 ;;
    *) targets+=("$a") ;;
  esac
done

configure() { # dir extra-args...
  local dir=$1; shift
  [ -f "$dir/build.ninja" ] || cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}

configure build/linux
configure build/windows -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake"
cmake --build build/linux -- "${targets[@]}"
cmake --build build/windows -- "${targets[@]}"
if [ $sanitize -eq 1 ]; then
  configure build/asan -DVELLOX_SANITIZE=ON -DVELLOX_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build build/asan -- "${targets[@]}"
fi
if [ $tsan -eq 1 ]; then
  configure build/tsan -DVELLOX_TSAN=ON -DVELLOX_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build build/tsan -- "${targets[@]}"
fi
