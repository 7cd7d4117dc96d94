# Sourced by scripts that run Windows programs: a private virtual X display and
# a Wine prefix inside the build tree, one prefix per display so that parallel
# runs never share a wineserver. vellox_wine_stop ends both again.
# Usage: source tools/wine-env.sh; vellox_wine_start; ...; vellox_wine_stop
vellox_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
vellox_xvfb_pid=""

vellox_wine_start() {
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      vellox_xvfb_pid=$!
      sleep 1
      if kill -0 "$vellox_xvfb_pid" 2>/dev/null; then
        export DISPLAY=":$n"
        break
      fi
      vellox_xvfb_pid=""
    fi
  done
  [ -n "$vellox_xvfb_pid" ] || { echo "could not start Xvfb" >&2; return 1; }
  export WINEPREFIX="$vellox_top/build/wine/prefix-$n"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
  fi
  # A crashing test should fail at once, not wait in the debugger.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1 || true
  wineserver -w || true
}

vellox_wine_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  if [ -n "$vellox_xvfb_pid" ]; then
    kill "$vellox_xvfb_pid" 2>/dev/null || true
    wait "$vellox_xvfb_pid" 2>/dev/null || true
    vellox_xvfb_pid=""
  fi
}
