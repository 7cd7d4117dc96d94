#!/usr/bin/env bash
# The main job: sets up the machine, builds Vellox and renders audio through
# the built VST 3 module. With no arguments it renders the built-in demo to
# vellox-demo.wav; any arguments go to `vellox render` (see README.md).
# Relative paths are the caller's: the script never changes directory.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/setup.sh"
cmake -S "$top" -B "$top/build/linux" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$top/build/linux" -j "$(nproc)" --target vellox vellox_module
if [ $# -eq 0 ]; then
  set -- --out vellox-demo.wav
fi
exec "$top/build/linux/vellox" render "$@"
