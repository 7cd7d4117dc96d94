#!/usr/bin/env bash
# Streaming render against sox on the same file, side by side: wall time and
# peak resident memory of `vellox render` (effect on, and bypassed) and of
# `sox in.wav out.wav vol 0.5`, each the best of RUNS runs, and the ratio.
# Usage: bench/render_vs_sox.sh [--minutes M] [--runs N] [--vellox PATH] [--plugin BUNDLE]
# Needs sox (installed with apt when missing) and GNU time's /usr/bin/time.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
minutes=10; runs=3; vellox="$top/build/linux/vellox"; plugin=""
while [ $# -gt 0 ]; do
  case "$1" in
    --minutes) minutes=$2; shift ;;
    --runs) runs=$2; shift ;;
    --vellox) vellox=$2; shift ;;
    --plugin) plugin=$2; shift ;;
    *) echo "render_vs_sox.sh: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
for tool in sox:sox time:/usr/bin/time; do
  command -v "${tool#*:}" >/dev/null || as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${tool%%:*}" >/dev/null
done
[ -x "$vellox" ] || { echo "render_vs_sox.sh: no $vellox; build it first (tools/build.sh vellox)" >&2; exit 1; }

work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
in="$work/in.wav"
# Stereo 44.1 kHz 16-bit noise with a tone: nothing a codec could skip.
sox -n -r 44100 -c 2 -b 16 "$in" synth "$((minutes * 60))" sine 440 pinknoise vol 0.4
echo "input: $minutes min stereo 44.1 kHz 16-bit WAV, $(du -h "$in" | cut -f1)"

# best_of NAME COMMAND...: prints "NAME seconds max-RSS-kB" for the fastest run.
best_of() {
  local name=$1; shift
  local best="" rss="" i line
  for i in $(seq "$runs"); do
    line=$(/usr/bin/time -f '%e %M' "$@" 2>&1 >/dev/null | tail -n1)
    if [ -z "$best" ] || awk -v a="${line% *}" -v b="$best" 'BEGIN { exit !(a < b) }'; then
      best=${line% *}; rss=${line#* }
    fi
  done
  printf '%-26s %7.2f s  %8.1f MB\n' "$name" "$best" "$(awk -v k="$rss" 'BEGIN { print k / 1024 }')"
  echo "$best" >"$work/$name.t"
}
plugin_args=(); [ -z "$plugin" ] || plugin_args=(--plugin "$plugin")
best_of sox sox "$in" "$work/sox.wav" vol 0.5
best_of vellox-16 "$vellox" render --in "$in" --out "$work/v16.wav" --format 16 "${plugin_args[@]}"
best_of vellox-float "$vellox" render --in "$in" --out "$work/vf.wav" "${plugin_args[@]}"
best_of vellox-16-bypassed "$vellox" render --in "$in" --out "$work/vb.wav" --format 16 --bypass "${plugin_args[@]}"
for name in vellox-16 vellox-float vellox-16-bypassed; do
  awk -v v="$(cat "$work/$name.t")" -v s="$(cat "$work/sox.t")" -v n="$name" \
    'BEGIN { printf "%-26s %.2fx the time of sox\n", n, (s > 0 ? v / s : 0) }'
done
