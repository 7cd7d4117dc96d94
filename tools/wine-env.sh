# Sourced by scripts that run Windows programs: a private virtual X display and
# a Wine prefix inside the build tree, one prefix per display so that parallel
# runs never share a wineserver. vellox_wine_stop ends both again.
# Usage: source tools/wine-env.sh; vellox_wine_start; ...; vellox_wine_stop
#
# The wineserver is started once, persistent, and stopped only by
# vellox_wine_stop. Left to itself it quits a few seconds after the last
# program ends; a test program starting just then meets a server on its way
# out and dies before its first line, so one server must outlive every test.
vellox_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
vellox_xvfb_pid=""

# Starts Xvfb on display :$1 and waits until it accepts connections. Fails when
# the display belongs to another server: Xvfb takes the display's lock file
# atomically and exits when it cannot.
vellox_start_xvfb() {
  local n=$1 ready
  ready=$(mktemp)
  Xvfb ":$n" -displayfd 3 -screen 0 2048x1600x24 -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
  vellox_xvfb_pid=$!
  while kill -0 "$vellox_xvfb_pid" 2>/dev/null && [ ! -s "$ready" ]; do sleep 0.05; done
  if [ -s "$ready" ] && kill -0 "$vellox_xvfb_pid" 2>/dev/null; then
    rm -f "$ready"
    return 0
  fi
  rm -f "$ready"
  wait "$vellox_xvfb_pid" 2>/dev/null
  vellox_xvfb_pid=""
  return 1
}

vellox_wine_start() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    vellox_start_xvfb "$n" && break
  done
  [ -n "$vellox_xvfb_pid" ] || { echo "could not start Xvfb" >&2; return 1; }
  export DISPLAY=":$n"
  export WINEPREFIX="$vellox_top/build/wine/prefix-$n"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
  fi
  # A crashing test should fail at once, not wait in the debugger.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1 || true
  wineserver -w || true
  wineserver -p || { echo "could not start the wineserver" >&2; vellox_wine_stop; return 1; }
  # Wine's system processes (services, devices) start with the first program
  # and live as long as the server: start them here, away from any test's
  # output, which they would otherwise hold open to the end.
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

vellox_wine_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
  if [ -n "$vellox_xvfb_pid" ]; then
    kill "$vellox_xvfb_pid" 2>/dev/null || true
    wait "$vellox_xvfb_pid" 2>/dev/null || true
    vellox_xvfb_pid=""
  fi
}
