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
work="$build/packaging-test/win"
rm -rf "$work"; mkdir -p "$work"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
bash "$top/tools/package.sh" --windows "$build" --out "$work" installer zip || { echo "FAILED: package.sh"; exit 1; }
setup="$work/Vellox-$version-win64-setup.exe"
zip="$work/Vellox-$version-win64.zip"
check "installer Vellox-$version-win64-setup.exe built" test -f "$setup"
zipped=$(cd "$work" && cmake -E tar tf "$zip" | sort)
check "the zip holds the bundle and the notices" bash -c \
  'for f in Vellox.vst3/Contents/x86_64-win/Vellox.vst3 LICENSE.txt THIRD-PARTY.txt; do grep -qx "$f" <<<"$1" || exit 1; done' _ "$zipped"

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="$build/wine/installer-prefix"
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
check "silent install: bundle in %CommonProgramFiles%\\VST3" test -f "$vst3/Vellox.vst3/Contents/x86_64-win/Vellox.vst3"
check "silent install: vellox.exe, notices and uninstaller in %ProgramFiles%\\Vellox" \
  bash -c 'for f in vellox.exe uninstall.exe LICENSE.txt THIRD-PARTY.txt; do test -f "$1/$f" || exit 1; done' _ "$program"
registered=$(wine reg query "$key" /v UninstallString 2>/dev/null | tr -d '\r')
check "the uninstaller is registered in Add/Remove Programs" grep -q 'uninstall.exe' <<<"$registered"
check "the registered name carries the version" bash -c \
  'wine reg query "$1" /v DisplayVersion 2>/dev/null | tr -d "\r" | grep -q "$2"' _ "$key" "$version"

info=$(cd "$work" && wine "$program/vellox.exe" info 2>&1 | tr -d '\r')
echo "$info" | head -n 3
check "vellox.exe info without --plugin finds the installed bundle" \
  grep -qi '^plug-in .*\\Common Files\\VST3\\Vellox.vst3 (the system VST 3 folder' <<<"$info"
check "and loads it" grep -q '^parameters: 7' <<<"$info"
help=$(wine "$program/vellox.exe" render --help 2>&1 | tr -d '\r')
check "vellox.exe help says it has no libsndfile and writes WAV only" grep -q 'no libsndfile' <<<"$help"

wine "$program/uninstall.exe" /S; wineserver -w
check "silent uninstall removes the bundle" test ! -e "$vst3/Vellox.vst3"
check "silent uninstall removes the program folder" test ! -e "$program"
check "silent uninstall removes the registry entry" bash -c '! wine reg query "$1" >/dev/null 2>&1' _ "$key"

finish && rm -rf "$work"
