#!/bin/bash
# The LV2 bundle in a full DAW session, unattended: Ardour's headless Lua
# session tool, on a JACK server with the dummy driver, builds a session with
# a stereo track whose tone comes from a small Lua generator, inserts the
# stereo plug-in with CHOP 0.25, DRY 0.2, FADE 50 and SYNC on, and exports the
# session twice as 32-bit float WAV: with the plug-in switched off (the input)
# and on. `vellox render` of that input through the VST 3, at the song
# position Ardour gave the plug-in, must give the same samples.
# Usage: ArdourExportTest.sh BUILD_DIR
set -u
build=$1
for tool in ardour7-lua jackd python3; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (package ardour / jackd2)"; exit 77; }
done
work=$(mktemp -d)
server=vellox-ardour-$$
jackd_pid=""
cleanup() {
  [ -n "$jackd_pid" ] && kill "$jackd_pid" 2>/dev/null && wait "$jackd_pid" 2>/dev/null
  [ -n "${VELLOX_KEEP_WORK:-}" ] && echo "kept $work" || rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/lv2" "$work/config/ardour7/scripts" "$work/config/ardour7/export" "$work/out"
cp -r "$build/vellox.lv2" "$work/lv2/"
stereo=$(sed -n 's/^<\(.*#stereo\)>$/\1/p' "$build/vellox.lv2/manifest.ttl")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# An export preset for the factory's 32-bit float WAV format.
preset=6a0c9a52-1f0e-4f55-9a57-3d2f1b7c8e01
cat >"$work/config/ardour7/export/float.preset" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<ExportPreset id="$preset" name="float wav">
  <ExportFormat id="20b4ab09-6452-4cb3-bd66-b921cdbd2942"/>
  <ExportFilename>
    <Folder relative="1" path="export"/>
    <Field name="timespan" enabled="1"/>
  </ExportFilename>
</ExportPreset>
XML
# The input: a tone and a pulse train from the transport position, so both
# exports of the range carry the same signal.
cat >"$work/config/ardour7/scripts/vellox_test_tone.lua" <<'LUA'
ardour { ["type"] = "dsp", name = "Vellox Test Tone", category = "Utility", license = "MIT", author = "Vellox",
	description = [[A tone and a pulse train computed from the transport position.]] }
function dsp_ioconfig () return { { audio_in = 2, audio_out = 2 } } end
function dsp_run (ins, outs, n_samples)
	local rolling = Session:transport_rolling ()
	local pos = Session:transport_sample ()
	for c = 1, #outs do
		local o = outs[c]:array ()
		for i = 1, n_samples do
			local t = pos + i - 1
			o[i] = rolling and (0.5 * math.sin (t * (c == 1 and 0.031 or 0.047)) + ((t % 997 < 40) and 0.3 or 0)) or 0
		end
	end
end
LUA
cat >"$work/session.lua" <<LUA
AudioEngine:set_backend ("JACK", "", "")
create_session ("$work/session", "session", 48000)
local t = Session:new_audio_track (2, 2, nil, 1, "Tone", -1, ARDOUR.TrackMode.Normal, true):front ()
local tone = ARDOUR.LuaAPI.new_luaproc (Session, "Vellox Test Tone")
local fx = ARDOUR.LuaAPI.new_plugin (Session, "$stereo", ARDOUR.PluginType.LV2, "")
if tone:isnil () or fx:isnil () then print ("cannot make the processors"); os.exit (1) end
t:add_processor_by_index (tone, 0, nil, true)
t:add_processor_by_index (fx, 1, nil, true)
local want = { CHOP = 0.25, DRY = 0.2, FADE = 50, SYNC = 1 }
local plugin = fx:to_insert ():plugin (0)
for j = 0, plugin:parameter_count () - 1 do
  local v = want[plugin:parameter_label (j)]
  if v then print ("set " .. plugin:parameter_label (j) .. " " .. tostring (ARDOUR.LuaAPI.set_processor_param (fx, j, v))) end
end
local function export (name)
  local e = Session:simple_export ()
  e:set_folder ("$work/out")
  e:set_name (name)
  e:set_range (0, 96000)
  print ("export " .. name .. " " .. tostring (e:set_preset ("$preset") and e:check_outputs () and e:run_export ()))
end
fx:deactivate ()
export ("dry")
fx:activate ()
export ("wet")
LUA

JACK_NO_AUDIO_RESERVATION=1 jackd -n "$server" -t 10000 -d dummy -r 48000 -p 1024 >"$work/jackd.log" 2>&1 &
jackd_pid=$!
sleep 2
# A JACK client the server finds slow at start-up is dropped ("JACK HALTED")
# and exports empty files on these shared machines: try again, up to 3 times.
for attempt in 1 2 3; do
  rm -rf "$work/session" "$work/out"/*
  log=$(cd "$work" && HOME=$work XDG_CONFIG_HOME=$work/config LV2_PATH=$work/lv2 JACK_DEFAULT_SERVER=$server \
    timeout 120 ardour7-lua "$work/session.lua" 2>&1)
  grep -q "^export wet true" <<<"$log" && grep -q "^export dry true" <<<"$log" && break
  echo "attempt $attempt: no export ($(grep -c "JACK HALTED" <<<"$log") JACK halts)"
done
for line in "set CHOP true" "set DRY true" "set FADE true" "set SYNC true" "export dry true" "export wet true"; do
  grep -q "^$line\$" <<<"$log" || fail "ardour7-lua did not report '$line': $(grep -v 'Ignored format' <<<"$log" | tail -8)"
done
[ -s "$work/out/dry.wav" ] && [ -s "$work/out/wet.wav" ] || { fail "Ardour exported no files"; exit 1; }

vellox_render() { # START_BEAT OUT
  "$build/vellox" render --plugin "$build/Vellox.vst3" --in "$work/out/dry.wav" --format float --tempo 120 \
    --start-beat "$1" --set CHOP=0.25 --set DRY=0.2 --set FADE=50 --set SYNC=1 --out "$2" >/dev/null
}
vellox_render 0 "$work/ref0.wav" || fail "vellox render failed"
# The song position Ardour gave the plug-in runs ahead of the transport
# position the tone is made from; it shows as where the chop first closes.
check=$(python3 - "$work" <<'PY'
import struct, sys
def samples(path):
    d = open(path, "rb").read(); i = 12
    while i + 8 <= len(d):
        n = int.from_bytes(d[i + 4:i + 8], "little")
        if d[i:i + 4] == b"data":
            return struct.unpack("<%df" % (n // 4), d[i + 8:i + 8 + n])
        i += 8 + n + (n & 1)
work = sys.argv[1]
dry, wet, ref = (samples(f"{work}/{n}.wav") for n in ("out/dry", "out/wet", "ref0"))
def first_close(x):  # the first frame where the chop turns the open left input down
    was_open = False
    for i in range(len(dry) // 2):
        if abs(dry[2 * i]) < 1e-2:
            continue
        is_open = abs(x[2 * i] / dry[2 * i]) > 0.6
        if was_open and not is_open:
            return i
        was_open = is_open
print((first_close(ref) - first_close(wet)) % 24000)
PY
)
[ -n "$check" ] || fail "the exports carry no chop"
echo "Ardour's song position leads the tone's by $check frames"
vellox_render "$(python3 -c "print(${check:-0} / 24000)")" "$work/ref.wav" || fail "vellox render failed"
# After the first beat (the fresh VST 3 instance fades in from silence, the
# one in Ardour has been running), the samples are the same.
result=$(python3 - "$work" <<'PY'
import struct, sys
def samples(path):
    d = open(path, "rb").read(); i = 12
    while i + 8 <= len(d):
        n = int.from_bytes(d[i + 4:i + 8], "little")
        if d[i:i + 4] == b"data":
            return struct.unpack("<%df" % (n // 4), d[i + 8:i + 8 + n])
        i += 8 + n + (n & 1)
work = sys.argv[1]
dry, wet, ref = (samples(f"{work}/{n}.wav") for n in ("out/dry", "out/wet", "ref"))
tail = slice(2 * 24000, None)
worst = max(abs(a - b) for a, b in zip(wet[tail], ref[tail]))
changed = sum(1 for a, b in zip(wet[tail], dry[tail]) if a != b)
print(len(wet) == len(ref) == len(dry) == 192000, worst, changed)
PY
)
echo "frames equal in count, largest difference after the first beat, samples the plug-in changed: $result"
read -r same worst changed <<<"$result"
[ "$same" = True ] || fail "the files differ in length"
python3 -c "import sys; sys.exit(0 if float('${worst:-1}') <= 1e-6 else 1)" ||
  fail "Ardour's export through the LV2 plug-in differs from vellox render by up to $worst"
[ "${changed:-0}" -gt 10000 ] || fail "the plug-in changed only ${changed:-0} samples: the settings did not reach it"
[ "$failures" = 0 ] && echo "PASS" || exit 1
