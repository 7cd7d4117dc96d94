#!/usr/bin/env bash
# The main job: sets up the machine, builds Vellox and renders audio through
# the built VST 3 module. With no arguments it renders the built-in demo to
# vellox-demo.wav; any arguments go to `vellox render` (see README.md).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash tools/setup.sh
cmake -S . -B build/linux -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/linux -j "$(nproc)" --target vellox vellox_module
if [ $# -eq 0 ]; then
  set -- --out vellox-demo.wav
fi
exec build/linux/vellox render "$@"
