#!/usr/bin/env bash
# Build Tunewright (Release) and run it. With no arguments, make the bundled sample; with a display,
# open the main window with it listed; without one, convert it unattended to MP3 in a fresh output
# folder and show what was written (the exit status is non-zero when nothing was converted).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/bootstrap.sh"

# TW_BUILD_DIR and CMAKE_BUILD_PARALLEL_LEVEL choose another tree and fewer jobs on a shared machine.
build="${TW_BUILD_DIR:-$root/build/release}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTW_TESTS=OFF >/dev/null
cmake --build "$build" -j"${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" --target tunewright
exe="$build/app/shell/tunewright"

if (($#)); then
    exec "$exe" "$@"
fi

sample_dir="$root/build/sample"
sample="$sample_dir/tunewright-sample.webm"
[[ -f "$sample" ]] || "$root/scripts/make-sample.sh" "$sample"
echo "sample: $sample"

# With a display the main window opens with the sample listed (Ctrl+E converts it).
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec "$exe" "$sample"
fi

out=$(mktemp -d "${TMPDIR:-/tmp}/tunewright-out.XXXXXX")
echo "output folder: $out"

# No display: the unattended run shows its progress on standard error.
status=0
outputs=$("$exe" "$sample" -AUTOCONVERT -AUTOCLOSE -OUTDIR="$out") || status=$?

converted=0
while IFS= read -r file; do
    [[ -n "$file" && -s "$file" ]] || continue
    converted=$((converted + 1))
    echo "output: $file"
    ffprobe -v error -show_entries format=format_name,duration,size:stream=codec_name,sample_rate,channels,bit_rate \
        -of default=noprint_wrappers=1 "$file" | sed 's/^/    /'
done <<<"$outputs"

if ((converted == 0)); then
    echo "nothing was converted (exit status $status)" >&2
    exit $((status == 0 ? 1 : status))
fi
exit "$status"
