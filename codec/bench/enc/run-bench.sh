#!/usr/bin/env bash
# Encoder benchmark: speed of mp3enc against lame -q 5 at 128 kbit/s on a
# 3-minute stereo 44.1 kHz signal, and noise-to-mask figures of both at 64, 128
# and 192 kbit/s (decoded with mpg123). Run after ./scripts/build:
#   codec/bench/enc/run-bench.sh [RUNS] [SECONDS]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../../.." && pwd)"
BIN="$ROOT/build/native/bin"
RUNS="${1:-3}"
SECONDS_LONG="${2:-180}"
WORK="$(mktemp -d /tmp/orv-encbench-XXXXXX)"
trap 'rm -rf "$WORK"' EXIT

"$BIN/encbench" signal "$WORK/in.wav" "$SECONDS_LONG"

best() {  # best wall time in seconds of RUNS runs of a command
    local best=""
    for ((i = 0; i < RUNS; i++)); do
        local start end
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s.%N)
        best=$(echo "$start $end $best" | awk '{t = $2 - $1; if ($3 == "" || t < $3) print t; else print $3}')
    done
    echo "$best"
}

ours=$(best "$BIN/mp3enc" "$WORK/in.wav" "$WORK/ours-128.mp3" -b 128)
lame=$(best lame --quiet -b 128 -q 5 "$WORK/in.wav" "$WORK/lame-128.mp3")
echo "speed, ${SECONDS_LONG} s stereo at 128 kbit/s, best of $RUNS runs:"
echo "  mp3enc   ${ours} s"
echo "  lame -q5 ${lame} s"
echo "  ratio ours/lame $(awk -v a="$ours" -v b="$lame" 'BEGIN { printf "%.2f", a / b }')"

echo "quality (noise to mask, lower is better):"
for kbps in 64 128 192; do
    [ -f "$WORK/ours-$kbps.mp3" ] || "$BIN/mp3enc" "$WORK/in.wav" "$WORK/ours-$kbps.mp3" -b "$kbps" 2>/dev/null
    # lame would resample 64 kbit/s jobs; keep its output comparable.
    [ -f "$WORK/lame-$kbps.mp3" ] || lame --quiet -b "$kbps" -q 5 --resample 44.1 "$WORK/in.wav" "$WORK/lame-$kbps.mp3"
    for who in ours lame; do
        mpg123 -q -w "$WORK/$who-$kbps.wav" "$WORK/$who-$kbps.mp3"
        printf "  %-4s %3d kbit/s: " "$who" "$kbps"
        "$BIN/encbench" nmr "$WORK/in.wav" "$WORK/$who-$kbps.wav"
    done
done
