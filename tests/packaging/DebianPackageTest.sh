#!/usr/bin/env bash
# Builds the .deb from this tree, checks its contents and metadata, runs
# lintian, unpacks it into a scratch root and runs the unpacked `vellox info`,
# which must find the unpacked bundle on its own.
# Usage: DebianPackageTest.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
source "$(dirname "$0")/check.sh"
work="$build/packaging-test/deb"
rm -rf "$work"; mkdir -p "$work"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$work/vellox_${version}_amd64.deb"

bash "$top/tools/package.sh" --native "$build" --out "$work" deb || { echo "FAILED: package.sh deb"; exit 1; }
check "the package is named vellox_${version}_amd64.deb" test -f "$deb"

files=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$' | sort)
expected=$(printf '%s\n' /usr/bin/vellox /usr/lib/vst3/Vellox.vst3/Contents/x86_64-linux/Vellox.so \
  /usr/lib/vst3/Vellox.vst3/Contents/Resources/moduleinfo.json /usr/share/doc/vellox/changelog.gz \
  /usr/share/doc/vellox/copyright | sort)
# Resources may hold more than the description file (e.g. snapshots); nothing
# may lie outside the bundle, the tool and the notices.
check "the package holds the bundle, the tool and the notices" \
  bash -c '[ -z "$(comm -23 <(echo "$1") <(echo "$2"))" ]' _ "$expected" "$files"
check "nothing outside /usr/lib/vst3/Vellox.vst3, /usr/bin/vellox, /usr/share/doc/vellox" \
  bash -c '! echo "$1" | grep -vE "^(/usr/lib/vst3/Vellox\.vst3/|/usr/bin/vellox$|/usr/share/doc/vellox/)"' _ "$files"

field() { dpkg-deb -f "$deb" "$1"; }
check "section sound" test "$(field Section)" = sound
check "version $version" test "$(field Version)" = "$version"
check "architecture amd64" test "$(field Architecture)" = amd64
check "library dependencies computed (libc6, libstdc++6, libpng16-16, libsndfile1)" \
  bash -c 'for p in libc6 libstdc++6 libpng16-16 libsndfile1; do grep -q "$p" <<<"$1" || exit 1; done' _ "$(field Depends)"
check "a synopsis and an extended description" \
  bash -c '[ "$(grep -c . <<<"$1")" -ge 3 ]' _ "$(field Description)"

dpkg-deb -x "$deb" "$work/root"
# The same format line as the machine's own Debian packages carry.
check "machine-readable copyright file" \
  bash -c '[ "$(head -n1 "$1")" = "$(head -n1 /usr/share/doc/dpkg/copyright)" ] && grep -q "copyright-format/1.0" "$1"' _ \
  "$work/root/usr/share/doc/vellox/copyright"
check "the copyright file names the GPL-3+ license" grep -q '^License: GPL-3+' "$work/root/usr/share/doc/vellox/copyright"

lintian_out=$(lintian "$deb" 2>/dev/null); echo "$lintian_out"
check "lintian reports no error" bash -c '! grep -q "^E:" <<<"$1"' _ "$lintian_out"

# An empty HOME: the only bundle to find is the unpacked one.
info=$(HOME="$work/home" "$work/root/usr/bin/vellox" info 2>&1); status=$?
echo "$info" | head -n 3
check "the unpacked vellox info runs" test "$status" -eq 0
check "it loaded the unpacked bundle and says so" \
  grep -q "^plug-in $work/root/usr/lib/vst3/Vellox.vst3 (" <<<"$info"
check "it shows the parameters" grep -q "^parameters: 7" <<<"$info"
rendered=$(HOME="$work/home" "$work/root/usr/bin/vellox" render --out "$work/demo.flac" 2>&1)
check "the unpacked vellox renders a FLAC file" bash -c 'test -s "$1" && grep -q "wrote .*24-bit FLAC" <<<"$2"' _ "$work/demo.flac" "$rendered"

finish && rm -rf "$work"
