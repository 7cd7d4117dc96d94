#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine and
# prepares the MinGW-built dependencies (libpng, GoogleTest) inside build/deps;
# with --render only what building the module and the tool needs.
# Safe to run again: finished steps are skipped, and a run with nothing to do
# asks nothing of apt or dpkg.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
deps="$top/build/deps"

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# write_deb_src_entries APT_DIR OUT_DIR: writes into OUT_DIR the deb-src twins
# of the binary package sources configured under APT_DIR (deb822 stanzas of
# sources.list.d/*.sources as vellox-deb-src.sources, one-line "deb" entries of
# sources.list and sources.list.d/*.list as vellox-deb-src.list), with the same
# URIs, suites, components and options. Package hosts come only from there.
# Fails with a message when APT_DIR configures no binary source.
write_deb_src_entries() {
  local apt=$1 out=$2 f stanzas="" lines=""
  for f in "$apt"/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "$(basename "$f")" != vellox-deb-src.sources ] || continue
    stanzas+=$(awk 'BEGIN { RS = ""; FS = "\n" }
      {
        out = ""; binary = 0; enabled = 1
        for (i = 1; i <= NF; i++) {
          line = $i
          if (line ~ /^#/) continue
          key = tolower(line)
          if (key ~ /^types:/) {
            if ((" " substr(line, 7) " ") ~ /[ \t]deb[ \t]/) binary = 1
            line = "Types: deb-src"
          } else if (key ~ /^enabled:[ \t]*no/) enabled = 0
          out = out line "\n"
        }
        if (binary && enabled) printf "%s\n", out
      }' "$f")$'\n\n'  # a blank line keeps the next file's first stanza apart
  done
  for f in "$apt"/sources.list "$apt"/sources.list.d/*.list; do
    [ -f "$f" ] && [ "$(basename "$f")" != vellox-deb-src.list ] || continue
    lines+=$(awk '/^[ \t]*deb[ \t]/ && !/cdrom:/ { sub(/^[ \t]*deb/, "deb-src"); print }' "$f")$'\n'
  done
  stanzas=$(printf '%s' "$stanzas" | sed '/./,$!d' | cat -s)
  lines=$(printf '%s' "$lines" | sed '/^$/d')
  if [ -z "$stanzas" ] && [ -z "$lines" ]; then
    echo "setup: no Debian package source (deb) is configured under $apt, so no source (deb-src) entry can be" \
         "derived for libpng; configure the machine's apt sources first" >&2
    return 1
  fi
  mkdir -p "$out"
  [ -z "$stanzas" ] || printf '%s\n' "$stanzas" >"$out/vellox-deb-src.sources"
  [ -z "$lines" ] || printf '%s\n' "$lines" >"$out/vellox-deb-src.list"
}

if [ "${1:-}" = --deb-src-from ]; then  # APT_DIR OUT_DIR: only derive the entries (used by the tests)
  write_deb_src_entries "$2" "$3"
  exit
fi

# What building the module and the `vellox` tool needs (tools/run.sh)...
render_packages=(
  cmake ninja-build g++ pkg-config
  libpng-dev zlib1g-dev juce-modules-source-data
  libsndfile1-dev libxcb1-dev libxcb-shm0-dev
  lv2-dev liblilv-dev
)
# ...and what the tests, the Windows build and the packages need besides.
test_packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb
  libgtest-dev googletest libbenchmark-dev
  clang-14 libclang-rt-14-dev clang-format lld
  libz-mingw-w64-dev
  libfreetype-dev libjpeg-dev libx11-dev
  libpixman-1-dev libxcb-xtest0-dev libxcb-res0-dev
  python3-cairo fonts-dejavu-core
  dpkg-dev
  nsis lintian
  sordi lilv-utils lv2file jalv jackd2 sox ardour
)

# --render: only what the render needs; no MinGW dependencies either.
# --list [--render]: prints the package list and stops (used by the tests).
profile=all list=0
for a in "$@"; do
  case "$a" in
    --render) profile=render ;;
    --list) list=1 ;;
    *) echo "setup: unknown option $a" >&2; exit 2 ;;
  esac
done
packages=("${render_packages[@]}")
[ "$profile" = render ] || packages+=("${test_packages[@]}")
if [ "$list" = 1 ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

mingw_prefix="$deps/mingw"
mingw_ready() { [ "$profile" = render ] || { [ -f "$mingw_prefix/lib/libpng.a" ] && [ -f "$mingw_prefix/lib/libgtest.a" ]; }; }

# A stamp records the package list last found installed; while the list is the
# same and dpkg's database has not changed since, nothing is asked of dpkg.
dpkg_status=${VELLOX_DPKG_STATUS:-/var/lib/dpkg/status}
stamp="$top/build/setup-$profile.stamp"
wanted=$(printf '%s\n' "${packages[@]}")
if [ -f "$stamp" ] && [ "$(<"$stamp")" = "$wanted" ] && ! [ "$dpkg_status" -nt "$stamp" ] && mingw_ready; then
  echo "setup: ready"
  exit 0
fi
rm -f "$stamp"

installed=$(dpkg-query -W -f='${Package} ${db:Status-Abbrev}\n' "${packages[@]}" 2>/dev/null |
  awk '$2 == "ii" { print $1 }' || true)
missing=()
for p in "${packages[@]}"; do
  grep -qxF "$p" <<<"$installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ "$profile" = render ]; then
  mkdir -p "$top/build"
  printf '%s\n' "$wanted" >"$stamp"
  echo "setup: ready"
  exit 0
fi

mkdir -p "$deps"

# libpng for Windows, from Debian's own source package.
if [ ! -f "$mingw_prefix/lib/libpng.a" ]; then
  if ! apt-get source --simulate libpng1.6 >/dev/null 2>&1; then
    entries=$(mktemp -d)
    write_deb_src_entries /etc/apt "$entries" || { rm -rf "$entries"; exit 1; }
    for f in "$entries"/*; do
      as_root install -m 644 "$f" /etc/apt/sources.list.d/
    done
    rm -rf "$entries"
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

mkdir -p "$top/build"
printf '%s\n' "$wanted" >"$stamp"
echo "setup: ready"
