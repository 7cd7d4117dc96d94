#!/usr/bin/env bash
# The Windows installer under Wine, in a private prefix so that no other test
# sees the installed plug-in: a silent install puts the bundle in
# %CommonProgramFiles%\VST3 and registers the uninstaller; the installed
# vellox.exe finds the bundle there without --plugin; a silent uninstall
# removes every file and the registry entry. Also checks the zip.
# Needs DISPLAY (tools/wine-env.sh). Usage: WindowsInstallerTest.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
source "$(dirname "$0")/check.sh"
# A folder of its own: runs side by side never share files.
mkdir -p "$build/packaging-test"
work=$(mktemp -d "$build/packaging-test/win.XXXXXX")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
bash "$top/tools/package.sh" --windows "$build" --out "$work" installer zip || { echo "FAILED: package.sh"; exit 1; }
setup="$work/Vellox-$version-win64-setup.exe"
zip="$work/Vellox-$version-win64.zip"
check "installer Vellox-$version-win64-setup.exe built" test -f "$setup"
# The whole built bundle, file by file, and the licence texts of what is linked in.
bundle_files=$(cd "$build" && find Vellox.vst3 -type f | sort)
licenses=$(printf 'licenses/%s\n' clap.txt gcc-runtime.txt libpng.txt mingw-w64-runtime.txt vst3-sdk.txt zlib.txt)
zipped=$(cd "$work" && cmake -E tar tf "$zip" | grep -v '/$' | sort)
expected=$(printf '%s\n' $bundle_files Vellox.clap LICENSE.txt THIRD-PARTY.txt $licenses | sort)
check "the zip holds exactly the bundle, the notices and the licence texts" test "$zipped" = "$expected"
[ "$zipped" = "$expected" ] || diff <(echo "$expected") <(echo "$zipped")
mkdir -p "$work/unzipped" && (cd "$work/unzipped" && cmake -E tar xf "$zip")
for f in $licenses; do
  check "$f is a licence text THIRD-PARTY.txt names" bash -c '[ "$(wc -l <"$1")" -ge 10 ] &&
    grep -qiE "licen[cs]e|public domain" "$1" && grep -qF "licenses\\$(basename "$1")" "$2"' _ "$work/unzipped/$f" "$work/unzipped/THIRD-PARTY.txt"
done
dll="$work/unzipped/Vellox.vst3/Contents/x86_64-win/Vellox.vst3"
check "the shipped module is stripped (no debug sections)" \
  bash -c '! x86_64-w64-mingw32-objdump -h "$1" | grep -q "\.debug"' _ "$dll"
dll_size=$(stat -c %s "$dll")
check "the shipped module is under 4 MB ($dll_size bytes)" test "$dll_size" -lt 4000000
for f in "$dll" "$build/vellox.exe"; do
  check "$(basename "$f") has a version resource with LegalCopyright" \
    bash -c 'strings -el "$1" | grep -qx LegalCopyright' _ "$f"
done

check "the installer asks Windows for sharp drawing at any scale (DPI aware)" \
  bash -c 'grep -qa "<dpiAware[^>]*>true</dpiAware>" "$1"' _ "$setup"
check "its icon goes up to 256 x 256 pixels" python3 -c '
import sys
data = open(sys.argv[1], "rb").read()
sys.exit(0 if b"IHDR\x00\x00\x01\x00\x00\x00\x01\x00" in data else 1)' "$setup"

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="$work/prefix"  # its own, so that no other test sees the plug-in installed
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"; wineboot -i >/dev/null 2>&1; wineserver -w
fi
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vellox'
unix() { winepath -u "$1" 2>/dev/null; }
common=$(wine cmd /c echo '%CommonProgramFiles%' 2>/dev/null | tr -d '\r')
vst3=$(unix "$common\\VST3")
program=$(unix "$(wine cmd /c echo '%ProgramFiles%' 2>/dev/null | tr -d '\r')\\Vellox")
check "Wine names %CommonProgramFiles% ($common)" test -n "$vst3"

wine "$setup" /S; wineserver -w
installed=$(cd "$vst3" && find Vellox.vst3 -type f | sort)
check "silent install: the whole bundle in %CommonProgramFiles%\\VST3" test "$installed" = "$bundle_files"
check "silent install: vellox.exe, notices, licences and uninstaller in %ProgramFiles%\\Vellox" \
  bash -c 'for f in vellox.exe uninstall.exe LICENSE.txt THIRD-PARTY.txt $2; do test -f "$1/$f" || exit 1; done' _ \
  "$program" "$licenses"
clap=$(unix "$common\\CLAP")
check "silent install: Vellox.clap in %CommonProgramFiles%\\CLAP, the one the build made" \
  bash -c 'test -f "$1/Vellox.clap" && test "$(stat -c %s "$1/Vellox.clap")" -gt 100000' _ "$clap"
clapinfo=$(cd "$work" && wine "$program/vellox.exe" info --plugin "$common\\CLAP\\Vellox.clap" 2>&1 | tr -d '\r')
check "the installed Vellox.clap loads" grep -q '^parameters: 30' <<<"$clapinfo"
for value in DisplayIcon EstimatedSize URLInfoAbout; do
  check "the uninstall entry has $value" bash -c 'wine reg query "$1" /v "$2" 2>/dev/null | grep -q "$2"' _ "$key" "$value"
done
registered=$(wine reg query "$key" /v UninstallString 2>/dev/null | tr -d '\r')
check "the uninstaller is registered in Add/Remove Programs" grep -q 'uninstall.exe' <<<"$registered"
check "the registered name carries the version" bash -c \
  'wine reg query "$1" /v DisplayVersion 2>/dev/null | tr -d "\r" | grep -q "$2"' _ "$key" "$version"

info=$(cd "$work" && wine "$program/vellox.exe" info 2>&1 | tr -d '\r')
echo "$info" | head -n 3
check "vellox.exe info without --plugin finds the installed bundle" \
  grep -qi '^plug-in .*\\Common Files\\VST3\\Vellox.vst3 (the system VST 3 folder' <<<"$info"
check "and loads it" grep -q '^parameters: 31' <<<"$info"
help=$(wine "$program/vellox.exe" render --help 2>&1 | tr -d '\r')
check "vellox.exe help says it has no libsndfile and writes WAV only" grep -q 'no libsndfile' <<<"$help"

# A reinstall elsewhere empties the first folder; the next install goes to the last one.
other_win='C:\AudioTools\Vellox'
other=$(unix "$other_win")
wine "$setup" /S "/D=$other_win"; wineserver -w
check "a reinstall to another folder installs there" test -f "$other/uninstall.exe" -a -f "$other/vellox.exe"
check "a reinstall to another folder removes the first folder" test ! -e "$program"
check "the uninstall entry names the new folder" bash -c \
  'wine reg query "$1" /v InstallLocation 2>/dev/null | tr -d "\r" | grep -qiF "$2"' _ "$key" "$other_win"
wine "$setup" /S; wineserver -w
check "the next install without /D goes to the remembered folder" \
  test -f "$other/uninstall.exe" -a ! -e "$program"

wine "$other/uninstall.exe" /S; wineserver -w
check "silent uninstall removes the bundle" test ! -e "$vst3/Vellox.vst3"
check "silent uninstall removes the CLAP module" test ! -e "$clap/Vellox.clap"
check "silent uninstall removes the program folder" test ! -e "$other" -a ! -e "$program"
check "silent uninstall removes the registry entry" bash -c '! wine reg query "$1" >/dev/null 2>&1' _ "$key"

finish || exit 1
# The prefix's server may still be writing its registry: end it before the folder goes.
wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
rm -rf "$work" 2>/dev/null || { sleep 1; rm -rf "$work"; } || true
