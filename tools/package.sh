#!/usr/bin/env bash
# Builds what Vellox ships, into build/packages:
#   deb        vellox_<version>_amd64.deb (CPack, from the native tree)
#   installer  Vellox-<version>-win64-setup.exe (NSIS, from the Windows tree)
#   zip        Vellox-<version>-win64.zip (the bundle and the notices)
# Usage: tools/package.sh [--native DIR] [--windows DIR] [--out DIR] [deb] [installer] [zip]
# With no kind named it makes all three. The trees default to build/linux and
# build/windows and are configured and built as needed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
native=build/linux; windows=build/windows; out=build/packages; kinds=()
while [ $# -gt 0 ]; do
  case "$1" in
    --native) native=$2; shift ;;
    --windows) windows=$2; shift ;;
    --out) out=$2; shift ;;
    deb|installer|zip) kinds+=("$1") ;;
    *) echo "package.sh: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done
[ ${#kinds[@]} -gt 0 ] || kinds=(deb installer zip)
wants() { [[ " ${kinds[*]} " == *" $1 "* ]]; }
mkdir -p "$out"
out=$(cd "$out" && pwd)

configured() { # dir extra-args...
  local dir=$1; shift
  [ -f "$dir/build.ninja" ] || cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$dir" --target vellox vellox_module vellox_package_notes >"$out/build.log" 2>&1 \
    || { tail -n 30 "$out/build.log" >&2; echo "package.sh: building $dir failed" >&2; return 1; }
  rm -f "$out/build.log"
}
version_of() { sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"; }

if wants deb; then
  configured "$native"
  version=$(version_of "$native")
  (cd "$native" && cpack -G DEB -B "$out/cpack" >/dev/null)
  mv -f "$out/cpack/vellox_${version}_amd64.deb" "$out/"
  rm -rf "$out/cpack"
  echo "package: $out/vellox_${version}_amd64.deb"
fi

if wants installer || wants zip; then
  configured "$windows" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake"
  version=$(version_of "$windows")
  stage="$out/stage-win64"
  rm -rf "$stage"
  cmake --install "$windows" --prefix "$stage" >/dev/null
  if wants installer; then
    makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$out/Vellox-$version-win64-setup.exe" \
      packaging/windows/vellox.nsi >/dev/null
    echo "package: $out/Vellox-$version-win64-setup.exe"
  fi
  if wants zip; then
    rm -f "$out/Vellox-$version-win64.zip"
    (cd "$stage" && cmake -E tar cf "$out/Vellox-$version-win64.zip" --format=zip \
       Vellox.vst3 LICENSE.txt THIRD-PARTY.txt)
    echo "package: $out/Vellox-$version-win64.zip"
  fi
  rm -rf "$stage"
fi
