#!/usr/bin/env bash
# Build Tunewright (Release) and run it. With no arguments, make the bundled sample and convert it
# unattended to MP3 in a fresh output folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/bootstrap.sh"

build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTW_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target tunewright
exe="$build/app/shell/tunewright"

if (($#)); then
    exec "$exe" "$@"
fi

sample_dir="$root/build/sample"
sample="$sample_dir/tunewright-sample.webm"
[[ -f "$sample" ]] || "$root/scripts/make-sample.sh" "$sample"
out=$(mktemp -d "${TMPDIR:-/tmp}/tunewright-out.XXXXXX")
echo "sample: $sample"
echo "output folder: $out"
exec "$exe" "$sample" -AUTOCONVERT -AUTOCLOSE -SILENT -OUTDIR="$out"
