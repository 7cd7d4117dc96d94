#!/usr/bin/env bash
# `cmake --install` after the VST 3 conventions: the default prefix puts the
# bundle in the installing user's ~/.vst3; an explicit prefix puts it in
# <prefix>/lib/vst3 with vellox in <prefix>/bin, and that vellox finds it.
# Usage: InstallRulesTest.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "$0")/check.sh"
# A folder of its own: runs side by side never share files.
mkdir -p "$build/packaging-test"
work=$(mktemp -d "$build/packaging-test/install.XXXXXX"); mkdir -p "$work/home"
# What tools/run.sh builds is enough to install: the notes come with the tool.
rm -f "$build"/packaging/*.gz
cmake --build "$build" --target vellox vellox_module vellox_clap_module vellox_lv2_module >/dev/null

default_prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
if [ "$default_prefix" = "$(sed -n 's/^VELLOX_DEFAULT_PREFIX:INTERNAL=//p' "$build/CMakeCache.txt")" ]; then
  HOME="$work/home" cmake --install "$build" >/dev/null
  check "default prefix: the bundle goes to ~/.vst3/Vellox.vst3" \
    test -f "$work/home/.vst3/Vellox.vst3/Contents/x86_64-linux/Vellox.so"
  check "default prefix: the CLAP module goes to ~/.clap/Vellox.clap" test -f "$work/home/.clap/Vellox.clap"
  check "default prefix: the LV2 bundle goes to ~/.lv2/vellox.lv2" test -f "$work/home/.lv2/vellox.lv2/manifest.ttl"
  check "default prefix: nothing else is installed" \
    test "$(find "$work/home" -type f | grep -v -e '/.vst3/Vellox.vst3/' -e '/.clap/Vellox.clap$' -e '/.lv2/vellox.lv2/' -c)" -eq 0
  info=$(HOME="$work/home" "$build/vellox" info --plugin "$work/home/.vst3/Vellox.vst3" 2>&1)
  check "the user's copy loads" grep -q "^parameters: 31" <<<"$info"
else
  echo "skip: this tree was configured with its own prefix ($default_prefix)"
fi

for prefix in /usr /usr/local; do
  DESTDIR="$work/dest" cmake --install "$build" --prefix "$prefix" >/dev/null
  root="$work/dest$prefix"
  check "$prefix: bundle in $prefix/lib/vst3/Vellox.vst3" test -f "$root/lib/vst3/Vellox.vst3/Contents/x86_64-linux/Vellox.so"
  check "$prefix: CLAP module in $prefix/lib/clap" test -f "$root/lib/clap/Vellox.clap"
  check "$prefix: LV2 bundle in $prefix/lib/lv2/vellox.lv2" test -f "$root/lib/lv2/vellox.lv2/vellox.so"
  check "$prefix: vellox in $prefix/bin" test -x "$root/bin/vellox"
  info=$(HOME="$work/home-empty" "$root/bin/vellox" info 2>&1)
  check "$prefix: the installed vellox finds the installed bundle" \
    grep -q "^plug-in $root/lib/vst3/Vellox.vst3 (" <<<"$info"
done
check "/usr: the manual page, the manual and the notices" bash -c \
  'for f in man/man1/vellox.1.gz doc/vellox/manual.md.gz doc/vellox/changelog.gz doc/vellox/copyright; do
     test -s "$1/usr/share/$f" || exit 1; done' _ "$work/dest"

# A file not built yet stops the install before anything is copied.
for missing in packaging/vellox.1.gz packaging/changelog.gz vellox; do
  mv "$build/$missing" "$work/held"
  DESTDIR="$work/half-${missing##*/}" cmake --install "$build" --prefix /usr >"$work/log" 2>&1; status=$?
  mv "$work/held" "$build/$missing"
  check "without $missing the install fails" test "$status" -ne 0
  check "without $missing nothing is installed" test -z "$(find "$work/half-${missing##*/}" -type f 2>/dev/null)"
  check "without $missing the message names it" grep -q "$missing" "$work/log"
done

# A prefix given when configuring is the packager's: used as given, /usr/local too.
top=$(cd "$(dirname "$0")/../.." && pwd)
cmake -S "$top" -B "$work/tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELLOX_BENCH=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr/local >/dev/null 2>&1
check "a configured prefix of /usr/local is kept" \
  test "$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$work/tree/CMakeCache.txt")" = /usr/local

# Installing again over a bundle with a stray file leaves a clean copy.
touch "$work/dest/usr/lib/vst3/Vellox.vst3/Contents/stray"
DESTDIR="$work/dest" cmake --install "$build" --prefix /usr >/dev/null
check "a reinstall leaves no files of the old copy" test ! -e "$work/dest/usr/lib/vst3/Vellox.vst3/Contents/stray"

finish && rm -rf "$work"
