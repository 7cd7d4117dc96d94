#!/usr/bin/env bash
# The main job: sets up the machine, builds Vellox and renders audio through
# the built VST 3 module. With no arguments it renders the built-in demo to
# vellox-demo.wav; any arguments go to `vellox render` (see README.md).
# Relative paths are the caller's: the script never changes directory.
# VELLOX_BUILD_TREE names another native build tree (default build/linux).
# It installs and builds only what the render needs (tools/test.sh the rest);
# a tree configured before, by this script or the test run, is used as it is
# (its build files configure it again when a CMakeLists.txt changes).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
tree=${VELLOX_BUILD_TREE:-$top/build/linux}
bash "$top/tools/setup.sh" --render
if [ ! -f "$tree/build.ninja" ]; then
  source "$top/tools/trees.sh"
  vellox_configure render "$tree"
fi
# Ninja itself (the trees are Ninja trees): a build with nothing to do then
# costs a quarter of a second less than through cmake --build.
ninja -C "$tree" vellox vellox_module >&2
if [ $# -eq 0 ]; then
  set -- --out vellox-demo.wav
fi
exec "$tree/vellox" render "$@"
