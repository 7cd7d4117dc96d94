#!/usr/bin/env bash
# Builds what Vellox ships, into build/packages:
#   deb        vellox_<version>_amd64.deb (CPack, from the native tree)
#   installer  Vellox-<version>-win64-setup.exe (NSIS, from the Windows tree)
#   zip        Vellox-<version>-win64.zip (the bundle, the notices and the licences)
# Usage: tools/package.sh [--native DIR] [--windows DIR] [--out DIR] [deb] [installer] [zip]
# With no kind named it makes all three. The trees default to build/linux and
# build/windows and are configured and built as needed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
caller=$PWD
cd "$top"
given() { case "$1" in /*) echo "$1" ;; *) echo "$caller/$1" ;; esac; }  # relative to the caller
native=build/linux; windows=build/windows; out=build/packages; kinds=()
while [ $# -gt 0 ]; do
  case "$1" in
    --native) native=$(given "$2"); shift ;;
    --windows) windows=$(given "$2"); shift ;;
    --out) out=$(given "$2"); shift ;;
    deb|installer|zip) kinds+=("$1") ;;
    *) echo "package.sh: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done
[ ${#kinds[@]} -gt 0 ] || kinds=(deb installer zip)
# Everything the packages need (the compilers, libpng for Windows, NSIS, lintian).
bash tools/setup.sh >&2
wants() { [[ " ${kinds[*]} " == *" $1 "* ]]; }
mkdir -p "$out"
out=$(cd "$out" && pwd)

configured() { # dir extra-args...
  local dir=$1; shift
  [ -f "$dir/build.ninja" ] || cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  # The whole bundle, snapshot included, and what the packages carry beside it.
  local formats=(vellox_clap_module)
  [ "$dir" = "$native" ] && formats+=(vellox_lv2_module)
  cmake --build "$dir" --target vellox vellox_module vellox_module_snapshot "${formats[@]}" vellox_package_notes \
    >"$out/build.log" 2>&1 \
    || { tail -n 30 "$out/build.log" >&2; echo "package.sh: building $dir failed" >&2; return 1; }
  rm -f "$out/build.log"
}
version_of() { sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"; }

if wants deb; then
  configured "$native"
  version=$(version_of "$native")
  (cd "$native" && cpack -G DEB -B "$out/cpack" >/dev/null)
  # CPack adds ldconfig calls for any ELF object one folder below /usr/lib, as
  # /usr/lib/clap/Vellox.clap is; a plug-in is no library on the loader's
  # path, so the package is rebuilt without those two scripts.
  deb="$out/cpack/vellox_${version}_amd64.deb"
  rm -rf "$out/cpack/tree"
  dpkg-deb -R "$deb" "$out/cpack/tree"
  rm -f "$out/cpack/tree/DEBIAN/postinst" "$out/cpack/tree/DEBIAN/postrm"
  dpkg-deb --root-owner-group -Zxz -b "$out/cpack/tree" "$out/vellox_${version}_amd64.deb" >/dev/null
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
    url=$(sed -n 's/^constexpr char kVelloxUrl\[\] = "\(.*\)";/\1/p' "$windows/identity/VelloxIdentity.h")
    python3 packaging/windows/make_artwork.py "$out/art-win64"
    makensis -V2 -DVERSION="$version" -DURL="$url" -DSTAGE="$stage" -DART="$out/art-win64" \
      -DOUTFILE="$out/Vellox-$version-win64-setup.exe" packaging/windows/vellox.nsi >/dev/null
    rm -rf "$out/art-win64"
    echo "package: $out/Vellox-$version-win64-setup.exe"
  fi
  if wants zip; then
    rm -f "$out/Vellox-$version-win64.zip"
    (cd "$stage" && cmake -E tar cf "$out/Vellox-$version-win64.zip" --format=zip \
       Vellox.vst3 Vellox.clap LICENSE.txt THIRD-PARTY.txt licenses)
    echo "package: $out/Vellox-$version-win64.zip"
  fi
  rm -rf "$stage"
fi
