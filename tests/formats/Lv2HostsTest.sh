#!/bin/bash
# The LV2 bundle as Debian's LV2 tools see it: the Turtle validates against
# the LV2 schemas, lv2info lists every parameter of the effect as a control
# port, and lv2file (a host without urid:map) renders what `vellox render`
# renders through the VST 3, sample for sample, in stereo and in mono; jalv
# hosts it on a JACK server and, with an X display, shows its editor.
# Usage: Lv2HostsTest.sh BUILD_DIR
set -u
build=$1
for tool in sord_validate lv2info lv2file; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A folder holding the bundle alone, for LV2_PATH.
mkdir "$work/lv2" && cp -r "$build/vellox.lv2" "$work/lv2/"
export LV2_PATH=$work/lv2
stereo=$(sed -n 's/^<\(.*#stereo\)>$/\1/p' "$build/vellox.lv2/manifest.ttl")
mono=$(sed -n 's/^<\(.*#mono\)>$/\1/p' "$build/vellox.lv2/manifest.ttl")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The schemas lv2-dev installs (the bundles without a plug-in binary), and ours.
schemas=()
for b in /usr/lib/lv2/*.lv2; do
  compgen -G "$b/*.so" >/dev/null || schemas+=("$b"/*.ttl)
done
report=$(sord_validate "${schemas[@]}" "$work"/lv2/vellox.lv2/*.ttl 2>&1)
echo "$report" | tail -1
echo "$report" | tail -1 | grep -q "^Found 0 errors" || fail "sord_validate: $(echo "$report" | tail -30)"

# Every parameter the VST 3 lists (but its program and bypass switches) is a
# control port of each plug-in, under its symbol.
params=$("$build/vellox" info --plugin "$build/Vellox.vst3" |
  awk '/^  0x/ && !/program-change|bypass/ {
    split(substr($0, 15), f, /  +/); s = tolower(f[1]); gsub(/[^a-z0-9]/, "_", s); print s}' |
  grep -v -x -e preset -e bypass)
[ -n "$params" ] || fail "vellox info listed no parameters"
for uri in "$stereo" "$mono"; do
  listing=$(lv2info "$uri" 2>&1) || fail "lv2info $uri: $listing"
  for p in $params enabled events; do
    echo "$listing" | grep -q "Symbol: *$p\$" || fail "$uri has no port $p"
  done
done

# Renders: the demo as input, the same values through lv2file and the VST 3.
samples() { # the data chunk of a WAV file, as hex
  python3 -c 'import sys
d=open(sys.argv[1],"rb").read(); i=12
while i+8<=len(d):
  n=int.from_bytes(d[i+4:i+8],"little")
  if d[i:i+4]==b"data": sys.stdout.write(d[i+8:i+8+n].hex()); break
  i+=8+n+(n&1)' "$1"
}
"$build/vellox" render --plugin "$build/Vellox.vst3" --bypass --format float --out "$work/in2.wav" >/dev/null ||
  fail "cannot make the input"
sox "$work/in2.wav" -c 1 "$work/in1.wav" remix 1 2>/dev/null || cp "$work/in2.wav" "$work/in1.wav"
set_vst3=(--set CHOP=0.75 --set DRY=0.25 --set OUTPUT=-3 --set FADE=20 --set PATTERN=On --set STEPS=5
  --set "STEP 2=0.3" --set "STEP 4=0" --set GATE=70 --set SWING=40 --set OFFSET=10)
set_lv2=(-p chop:0.75 -p dry:0.25 -p output:-3 -p fade:20 -p pattern:1 -p steps:5 -p step_2:0.3 -p step_4:0
  -p gate:70 -p swing:40 -p offset:10)
for n in 2 1; do
  uri=$stereo
  [ "$n" = 1 ] && uri=$mono
  lv2file -i "$work/in$n.wav" -o "$work/lv2-$n.wav" "${set_lv2[@]}" "$uri" >/dev/null 2>&1 ||
    fail "lv2file could not render through $uri"
  "$build/vellox" render --plugin "$build/Vellox.vst3" --in "$work/in$n.wav" --format float "${set_vst3[@]}" \
    --out "$work/vst3-$n.wav" >/dev/null || fail "vellox render failed"
  a=$(samples "$work/lv2-$n.wav")
  b=$(samples "$work/vst3-$n.wav")
  c=$(samples "$work/in$n.wav")
  [ -n "$a" ] && [ "$a" = "$b" ] || fail "lv2file's render through $uri differs from the VST 3's"
  [ "$a" != "$c" ] || fail "lv2file's render through $uri is the input: the values did not reach the plug-in"
done
# jalv (where installed) hosts each plug-in on a JACK server with the dummy
# driver, with urid:map and the song position, takes a control and lists
# every parameter's control with its value.
if command -v jalv >/dev/null && command -v jackd >/dev/null; then
  server=vellox-test-$$
  JACK_NO_AUDIO_RESERVATION=1 jackd -n "$server" -d dummy -r 48000 -p 1024 >"$work/jackd.log" 2>&1 &
  jackd_pid=$!
  sleep 2
  for uri in "$stereo" "$mono"; do
    out=$( (echo "sync = 1"; sleep 1; echo "controls"; sleep 1) | JACK_DEFAULT_SERVER=$server timeout 20 jalv "$uri" 2>&1)
    echo "$out" | grep -q "^Plugin: *$uri" || fail "jalv did not host $uri: $(echo "$out" | tail -5)"
    for p in $params; do
      echo "$out" | grep -q "^$p = " || fail "jalv lists no control $p of $uri"
    done
    echo "$out" | grep -q "^sync = 1.0" || fail "jalv could not set sync on $uri"
  done
  # jalv.gtk3 on the X display shows the plug-in's own editor window (made by
  # the plug-in's X connection, not jalv's) inside its window, painted.
  if command -v jalv.gtk3 >/dev/null && command -v xwininfo >/dev/null && xwininfo -root >/dev/null 2>&1; then
    JACK_DEFAULT_SERVER=$server timeout 30 jalv.gtk3 "$stereo" >"$work/jalv-gtk.log" 2>&1 &
    jalv_pid=$!
    editor=""
    for _ in $(seq 40); do
      sleep 0.25
      tree=$(xwininfo -root -tree 2>/dev/null)
      top=$(awk '/"Vellox": \("jalv.gtk3"/ {print $1; exit}' <<<"$tree")
      [ -n "$top" ] || continue
      # A window of another X client than jalv's (client ids differ above bit 20).
      # Among the windows listed inside jalv's, after its top-level window.
      for id in $(awk -v top="$top" '$1 == top {inside = 1; next} inside && $1 ~ /^0x/ && /has no name/ {print $1}' <<<"$tree"); do
        [ $((id >> 21)) != $((top >> 21)) ] && editor=$id
      done
      [ -n "$editor" ] && break
    done
    [ -n "$editor" ] || fail "jalv.gtk3 showed no editor window of the plug-in: $(tail -3 "$work/jalv-gtk.log")"
    if [ -n "$editor" ] && command -v import >/dev/null && command -v identify >/dev/null; then
      sleep 1
      import -window "$editor" "$work/editor.png" 2>/dev/null
      colours=$(identify -format %k "$work/editor.png" 2>/dev/null || echo 0)
      [ "${colours:-0}" -gt 100 ] || fail "the editor in jalv.gtk3 is not painted ($colours colours)"
    fi
    kill "$jalv_pid" 2>/dev/null
    wait "$jalv_pid" 2>/dev/null
  else
    echo "no X display answers: jalv.gtk3 does not show the editor here"
  fi
  kill "$jackd_pid" 2>/dev/null
  wait "$jackd_pid" 2>/dev/null
else
  echo "jalv or jackd is not installed: no JACK host check"
fi
[ "$failures" = 0 ] && echo "PASS" || exit 1
