#!/usr/bin/env bash
# Builds the .deb from this tree, checks its contents and metadata, runs
# lintian, unpacks it into a scratch root and runs the unpacked `vellox info`,
# which must find the unpacked bundle on its own.
# Usage: DebianPackageTest.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
source "$(dirname "$0")/check.sh"
# A folder of its own: runs side by side never share files.
mkdir -p "$build/packaging-test"
work=$(mktemp -d "$build/packaging-test/deb.XXXXXX")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$work/vellox_${version}_amd64.deb"

bash "$top/tools/package.sh" --native "$build" --out "$work" deb || { echo "FAILED: package.sh deb"; exit 1; }
check "the package is named vellox_${version}_amd64.deb" test -f "$deb"

files=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$' | sort)
# The whole built bundle, file by file, and beside it the tool, its manual page and the notices.
bundle_files=$(cd "$build/Vellox.vst3" && find . -type f | sed 's|^\.|/usr/lib/vst3/Vellox.vst3|')
# The other formats beside it: the CLAP module and the LV2 bundle.
bundle_files="$bundle_files /usr/lib/clap/Vellox.clap $(cd "$build/vellox.lv2" && find . -type f | sed 's|^\.|/usr/lib/lv2/vellox.lv2|')"
expected=$(printf '%s\n' $bundle_files /usr/bin/vellox /usr/share/man/man1/vellox.1.gz \
  /usr/share/doc/vellox/changelog.gz /usr/share/doc/vellox/copyright /usr/share/doc/vellox/manual.md.gz | sort)
check "the package holds exactly the bundles, the tool, its manual page, the manual and the notices" \
  test "$expected" = "$files"
[ "$expected" = "$files" ] || diff <(echo "$expected") <(echo "$files")

field() { dpkg-deb -f "$deb" "$1"; }
check "section sound" test "$(field Section)" = sound
check "compressed with xz" bash -c 'ar t "$1" | grep -qx data.tar.xz' _ "$deb"
size=$(stat -c %s "$deb")
check "the package is under 4 MB ($size bytes)" test "$size" -lt 4000000
check "version $version" test "$(field Version)" = "$version"
check "architecture amd64" test "$(field Architecture)" = amd64
check "library dependencies computed (libc6, libstdc++6, libpng16-16, libsndfile1)" \
  bash -c 'for p in libc6 libstdc++6 libpng16-16 libsndfile1; do grep -q "$p" <<<"$1" || exit 1; done' _ "$(field Depends)"
check "a synopsis and an extended description" \
  bash -c '[ "$(grep -c . <<<"$1")" -ge 3 ]' _ "$(field Description)"

dpkg-deb -x "$deb" "$work/root"
so_size=$(stat -c %s "$work/root/usr/lib/vst3/Vellox.vst3/Contents/x86_64-linux/Vellox.so")
check "the packaged module is under 4 MB ($so_size bytes)" test "$so_size" -lt 4000000
for f in $(cd "$build/Vellox.vst3" && find . -type f ! -name '*.so'); do
  check "the packaged $f is the built one" cmp -s "$build/Vellox.vst3/$f" "$work/root/usr/lib/vst3/Vellox.vst3/$f"
done
copyright="$work/root/usr/share/doc/vellox/copyright"
# Machine-readable, in the format this machine's dpkg names on its own first line.
check "machine-readable copyright file" \
  test "$(head -n1 "$copyright")" = "$(grep -m1 '^Format: ' /usr/share/doc/dpkg/copyright)"
check "the copyright file names the GPL-3+ license" grep -q '^License: GPL-3+' "$copyright"
check "the copyright file has a stanza for the VST 3 SDK compiled in" grep -q '^Files: VST3_SDK/\*' "$copyright"
check "the copyright file has a stanza for the CLAP headers compiled in" grep -q '^Files: third_party/clap/\*' "$copyright"
for f in manifest.ttl vellox.ttl; do
  check "the packaged LV2 $f is the built one" cmp -s "$build/vellox.lv2/$f" "$work/root/usr/lib/lv2/vellox.lv2/$f"
done
# Each library linked beyond the C and C++ runtimes is named in THIRD-PARTY.md.
for binary in "$work/root/usr/lib/vst3/Vellox.vst3/Contents/x86_64-linux/Vellox.so" "$work/root/usr/bin/vellox" \
  "$work/root/usr/lib/clap/Vellox.clap" "$work/root/usr/lib/lv2/vellox.lv2/vellox.so"; do
  for lib in $(objdump -p "$binary" | awk '/NEEDED/ {print $2}' | sed 's/\.so.*//; s/[0-9]*$//' |
               grep -vE '^(libc|libm|libstdc\+\+|libgcc_s|ld-linux.*)$'); do
    check "THIRD-PARTY.md names $lib, which $(basename "$binary") links" grep -qF "$lib" "$top/docs/THIRD-PARTY.md"
  done
done
# Every help text is in the page as roff writes it; words in order, as the page refills lines.
check "the manual page is the tool's own help" bash -c '
  flat() { tr -s " \n" "  "; }
  page=$(zcat "$1" | sed "s/^\\\\&//" | flat)
  for c in "" render info snapshot; do
    help=$("$2" $c --help | sed "s/\\\\/\\\\e/g; s/-/\\\\-/g" | flat)
    grep -qF -- "$help" <<<"$page" || { echo "not in the page: vellox $c --help"; exit 1; }
  done' _ "$work/root/usr/share/man/man1/vellox.1.gz" "$build/vellox"
if command -v man >/dev/null; then
  wide=$(MANWIDTH=80 man -l "$work/root/usr/share/man/man1/vellox.1.gz" 2>/dev/null | awk 'length > 80' | wc -l)
  check "the manual page fits 80 columns ($wide lines wider)" test "$wide" -eq 0
fi
check "the manual page names the manual the package ships" bash -c \
  'zcat "$1" | sed -n "/^.SH SEE ALSO/,\$p" | grep -q "manual.md.gz" && test -s "$2"' _ \
  "$work/root/usr/share/man/man1/vellox.1.gz" "$work/root/usr/share/doc/vellox/manual.md.gz"
check "the shipped manual is docs/manual.md" bash -c 'zcat "$1" | cmp -s - "$2"' _ \
  "$work/root/usr/share/doc/vellox/manual.md.gz" "$top/docs/manual.md"

lintian_out=$(lintian --display-info "$deb" 2>/dev/null); echo "$lintian_out"
check "lintian reports no error" bash -c '! grep -q "^E:" <<<"$1"' _ "$lintian_out"
check "lintian reports no warning" bash -c '! grep -q "^W:" <<<"$1"' _ "$lintian_out"
check "lintian reports no hardening gap" bash -c '! grep -q "hardening" <<<"$1"' _ "$lintian_out"

# An empty HOME: the only bundle to find is the unpacked one.
info=$(HOME="$work/home" "$work/root/usr/bin/vellox" info 2>&1); status=$?
echo "$info" | head -n 3
check "the unpacked vellox info runs" test "$status" -eq 0
check "it loaded the unpacked bundle and says so" \
  grep -q "^plug-in $work/root/usr/lib/vst3/Vellox.vst3 (" <<<"$info"
check "it shows the parameters" grep -q "^parameters: 31" <<<"$info"
for module in usr/lib/clap/Vellox.clap usr/lib/lv2/vellox.lv2; do
  check "the unpacked vellox loads the unpacked /$module" \
    bash -c 'HOME="$1" "$2" info --plugin "$3" | grep -q "^parameters: "' _ "$work/home" "$work/root/usr/bin/vellox" \
    "$work/root/$module"
done
rendered=$(HOME="$work/home" "$work/root/usr/bin/vellox" render --out "$work/demo.flac" 2>&1)
check "the unpacked vellox renders a FLAC file" bash -c 'test -s "$1" && grep -q "wrote .*24-bit FLAC" <<<"$2"' _ "$work/demo.flac" "$rendered"

finish && rm -rf "$work"
