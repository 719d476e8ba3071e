#!/usr/bin/env bash
# Encoder quality benchmark: noise-to-mask figures of mp3enc and lame -q 5 at 64,
# 128 and 192 kbit/s on a 3-minute stereo 44.1 kHz signal (decoded with mpg123).
# The encoder's speed is measured by codec/bench/run-benchmark. Run after
# ./scripts/build:
#   codec/bench/enc/run-bench.sh [SECONDS]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../../.." && pwd)"
BIN="$ROOT/build/native/bin"
SECONDS_LONG="${1:-180}"
WORK="$(mktemp -d /tmp/orv-encbench-XXXXXX)"
trap 'rm -rf "$WORK"' EXIT

"$BIN/encbench" signal "$WORK/in.wav" "$SECONDS_LONG"

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
