#!/usr/bin/env bash
# Streaming render against sox on the same job, side by side: M minutes of
# 24-bit stereo WAV in, WAV out at 24 bits and at 32-bit float, sox applying a
# gain (`vol 0.5`) and `vellox render` running the effect. The two programs
# run alternately RUNS times each; the script prints the median wall time, CPU
# time (user + system) and peak resident memory of each, and the ratios of the
# medians. On a busy machine the wall time waits on other work and on the disk;
# the CPU time is what the programs themselves cost.
# Usage: bench/render_vs_sox.sh [--minutes M] [--runs N] [--vellox PATH] [--plugin BUNDLE] [--bypass]
# Needs sox (installed with apt when missing) and GNU time's /usr/bin/time.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
minutes=10; runs=5; vellox="$top/build/linux/vellox"; plugin=""; extra=()
while [ $# -gt 0 ]; do
  case "$1" in
    --minutes) minutes=$2; shift ;;
    --runs) runs=$2; shift ;;
    --vellox) vellox=$2; shift ;;
    --plugin) plugin=$2; shift ;;
    --bypass) extra+=(--bypass) ;;
    *) echo "render_vs_sox.sh: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done
as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
for tool in sox:sox time:/usr/bin/time; do
  command -v "${tool#*:}" >/dev/null || as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${tool%%:*}" >/dev/null
done
[ -x "$vellox" ] || { echo "render_vs_sox.sh: no $vellox; build it first (tools/build.sh vellox)" >&2; exit 1; }
[ -z "$plugin" ] || extra+=(--plugin "$plugin")

work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
in="$work/in.wav"
# Stereo 44.1 kHz 24-bit noise with a tone: nothing a codec could skip.
sox -n -r 44100 -c 2 -b 24 "$in" synth "$((minutes * 60))" sine 440 pinknoise vol 0.4
echo "input: $minutes min stereo 44.1 kHz 24-bit WAV, $(du -h "$in" | cut -f1); median of $runs alternating runs"

# timed FILE COMMAND...: appends "wall-seconds cpu-seconds max-RSS-kB" of one run to FILE.
timed() {
  local file=$1; shift
  /usr/bin/time -f '%e %U %S %M' "$@" 2>&1 >/dev/null | tail -n1 |
    awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' >>"$file"
}
# median FILE COLUMN: the median of a column of FILE.
median() { sort -g -k"$2","$2" "$1" | awk -v c="$2" '{ v[NR] = $c } END { print v[int((NR + 1) / 2)] }'; }

# job NAME SOX-OUTPUT-OPTIONS VELLOX-FORMAT
job() {
  local name=$1 sox_out=$2 format=$3
  : >"$work/sox.runs"; : >"$work/vellox.runs"
  for _ in $(seq "$runs"); do
    # shellcheck disable=SC2086
    timed "$work/sox.runs" sox "$in" $sox_out "$work/sox.wav" vol 0.5
    timed "$work/vellox.runs" "$vellox" render --in "$in" --out "$work/vellox.wav" --format "$format" "${extra[@]}"
  done
  awk -v n="$name" -v sw="$(median "$work/sox.runs" 1)" -v sc="$(median "$work/sox.runs" 2)" \
    -v sm="$(median "$work/sox.runs" 3)" -v vw="$(median "$work/vellox.runs" 1)" \
    -v vc="$(median "$work/vellox.runs" 2)" -v vm="$(median "$work/vellox.runs" 3)" 'BEGIN {
    printf "%-7s wall: sox %5.2f s, vellox %5.2f s, ratio %.2f   cpu: sox %5.2f s, vellox %5.2f s, ratio %.2f   memory: sox %.1f MB, vellox %.1f MB\n",
      n, sw, vw, (sw > 0 ? vw / sw : 0), sc, vc, (sc > 0 ? vc / sc : 0), sm / 1024, vm / 1024 }'
}
job "24-bit" "-b 24" 24
job "float" "-e floating-point -b 32" float
