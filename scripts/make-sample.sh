#!/usr/bin/env bash
# Makes the bundled sample that scripts/run.sh converts: 5 seconds of a beeping tone under a test picture,
# VP9 + Opus in WebM, tagged with a title and an artist. Needs only the ffmpeg that bootstrap.sh installs.
# The test fixtures call this script for their "sample" entry, so both stay one recipe.
set -euo pipefail

if (($# != 1)); then
    echo "usage: $0 <out.webm>" >&2
    exit 2
fi
out=$1
command -v ffmpeg >/dev/null || { echo "make-sample: ffmpeg not found; run scripts/bootstrap.sh" >&2; exit 1; }

dir=$(dirname "$out")
mkdir -p "$dir"
# Written beside the target and renamed, so an interrupted run never leaves a half file behind.
tmp=$(mktemp "$dir/.make-sample.XXXXXX.webm")
trap 'rm -f "$tmp"' EXIT

ffmpeg -hide_banner -nostdin -loglevel error -y \
    -f lavfi -i "testsrc=size=320x240:rate=25:duration=5" \
    -f lavfi -i "sine=frequency=440:beep_factor=4:sample_rate=48000:duration=5" \
    -map 0:v -map 1:a \
    -c:v libvpx-vp9 -deadline realtime -cpu-used 8 -b:v 200k -pix_fmt yuv420p \
    -c:a libopus -b:a 64k -ac 2 \
    -metadata title="Tunewright Sample" -metadata artist="Tunewright Test Signals" \
    -f webm "$tmp"
chmod 644 "$tmp"   # mktemp made it private
mv -f "$tmp" "$out"
trap - EXIT
