#!/usr/bin/env bash
# Installs everything the build needs on a Debian 12 machine and prepares the
# MinGW-built dependencies (libpng, GoogleTest) inside build/deps.
# Safe to run again: finished steps are skipped.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
deps="$top/build/deps"

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

packages=(
  cmake ninja-build g++ pkg-config
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb
  libgtest-dev googletest libbenchmark-dev
  clang-14 libclang-rt-14-dev
  libpng-dev zlib1g-dev libz-mingw-w64-dev
  juce-modules-source-data libfreetype-dev libjpeg-dev libx11-dev
  libsndfile1-dev libpixman-1-dev
  libxcb1-dev libxcb-shm0-dev libxcb-xtest0-dev libxcb-res0-dev
  python3-cairo fonts-dejavu-core
  dpkg-dev
  nsis lintian
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

mingw_prefix="$deps/mingw"
mkdir -p "$deps"

# libpng for Windows, from Debian's own source package.
if [ ! -f "$mingw_prefix/lib/libpng.a" ]; then
  src_list=/etc/apt/sources.list.d/vellox-deb-src.sources
  if ! apt-get source --simulate libpng1.6 >/dev/null 2>&1; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | as_root tee "$src_list" >/dev/null
    else
      echo "deb-src http://deb.debian.org/debian bookworm main" | as_root tee /etc/apt/sources.list.d/vellox-deb-src.list >/dev/null
    fi
    as_root apt-get update -qq
  fi
  work="$deps/libpng-src"
  rm -rf "$work"; mkdir -p "$work"
  # The security suite may list a version whose files are gone; the release
  # suite's source always downloads. Only the upstream tarball is needed.
  (cd "$work" && { apt-get source --download-only libpng1.6/bookworm >/dev/null 2>&1 \
                   || apt-get source --download-only libpng1.6 >/dev/null 2>&1 || true; })
  tarball=$(ls "$work"/libpng1.6_*.orig.tar.* 2>/dev/null | head -n1)
  [ -n "$tarball" ] || { echo "setup: could not fetch the libpng source package" >&2; exit 1; }
  tar -xf "$tarball" -C "$work"
  srcdir=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'libpng-*' | head -n1)
  cmake -S "$srcdir" -B "$work/build" -G Ninja \
    -DCMAKE_SYSTEM_NAME=Windows \
    -DCMAKE_C_COMPILER=x86_64-w64-mingw32-gcc-posix \
    -DCMAKE_RC_COMPILER=x86_64-w64-mingw32-windres \
    -DCMAKE_FIND_ROOT_PATH=/usr/x86_64-w64-mingw32 \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$mingw_prefix" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include \
    -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a >/dev/null
  cmake --build "$work/build" >/dev/null
  cmake --install "$work/build" >/dev/null
  [ -f "$mingw_prefix/lib/libpng.a" ] || cp "$mingw_prefix"/lib/libpng16*.a "$mingw_prefix/lib/libpng.a"
fi

# GoogleTest for Windows, from the installed sources.
if [ ! -f "$mingw_prefix/lib/libgtest.a" ]; then
  cmake -S /usr/src/googletest -B "$deps/gtest-build" -G Ninja \
    -DCMAKE_SYSTEM_NAME=Windows \
    -DCMAKE_C_COMPILER=x86_64-w64-mingw32-gcc-posix \
    -DCMAKE_CXX_COMPILER=x86_64-w64-mingw32-g++-posix \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$mingw_prefix" \
    -Dgtest_disable_pthreads=OFF -DBUILD_GMOCK=OFF >/dev/null
  cmake --build "$deps/gtest-build" >/dev/null
  cmake --install "$deps/gtest-build" >/dev/null
fi

echo "setup: ready"
