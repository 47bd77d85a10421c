#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang and runs each for a given time from its seeds: the
# seed corpus made by tests/fuzz/make-seeds.sh from real peers, the hand-made inputs of
# tests/fuzz/corpus/<target>/, and what earlier runs found. Any crash, sanitizer report, leak or time-out
# fails the run; the input is kept under <build>/crashes/<target>/ and printed with the command that
# replays it. Slow inputs (over 10 s) are kept there too, as slow-unit-*, without failing the run.
#     scripts/fuzz.sh [seconds per target, default 60] [target...]     (default: every target)
# TW_FUZZ_BUILD_DIR chooses the build folder (default build/fuzz), TW_FUZZ_JOBS the build's -j.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
build="${TW_FUZZ_BUILD_DIR:-$root/build/fuzz}"
jobs="${TW_FUZZ_JOBS:-$(($(nproc) > 4 ? 4 : $(nproc)))}"

if (($# > 0)); then
    targets=("$@")
else
    targets=()
    for source in "$root"/tests/fuzz/*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

export CCACHE_BASEDIR="$root"
echo "== stage: build: fuzz targets"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTW_FUZZ=ON -DTW_TESTS=ON >/dev/null
cmake --build "$build" --target "${targets[@]}" -j"$jobs"

# The seeds are made again whenever the scripts that make them change.
seeds="$build/fuzz-seeds"
stamp="$seeds/.made"
echo "== stage: fuzz seeds"
if [[ ! -f $stamp || $root/tests/fuzz/make-seeds.sh -nt $stamp || $root/tests/fuzz/make-seeds.py -nt $stamp ||
    $root/tests/fuzz/make-binary-seeds.sh -nt $stamp ]]; then
    rm -rf "$seeds"
    "$root/tests/fuzz/make-seeds.sh" "$seeds"
    "$root/tests/fuzz/make-binary-seeds.sh" "$seeds"
    touch "$stamp"
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
echo "== stage: fuzzing"
failed=()
for t in "${targets[@]}"; do
    corpus="$build/fuzz-corpus/$t" # grows from run to run
    crashes="$build/crashes/$t"
    log="$build/fuzz-logs/$t.log"
    mkdir -p "$corpus" "$crashes" "$(dirname "$log")"
    read_dirs=()
    [[ -d $seeds/$t ]] && read_dirs+=("$seeds/$t")
    [[ -d $root/tests/fuzz/corpus/$t ]] && read_dirs+=("$root/tests/fuzz/corpus/$t")
    echo "== $t: ${seconds}s"
    before=$(ls "$crashes")
    status=0
    (cd "$build" && "$build/tests/fuzz/$t" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$crashes/" "$corpus" "${read_dirs[@]}") >"$log" 2>&1 || status=$?
    grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|stat::(number_of_executed_units|peak_rss_mb)' "$log" | tail -3 || true
    found=$(comm -13 <(echo "$before") <(ls "$crashes") | grep -v "^slow-unit-" | sed "/^$/d" || true)
    if ((status != 0)) || [[ -n $found ]]; then
        failed+=("$t")
        echo "!! $t failed (exit $status); the report:"
        grep -vE '^#[0-9]+[[:space:]]' "$log" | tail -60
        for input in $found; do
            echo "-- reproducer $crashes/$input ($(stat -c %s "$crashes/$input") bytes); replay with:"
            echo "   $build/tests/fuzz/$t $crashes/$input"
            od -A x -t x1z -v "$crashes/$input" | head -32
        done
    fi
done

if ((${#failed[@]} > 0)); then
    echo "fuzzing found faults in: ${failed[*]}"
    exit 1
fi
echo "fuzzing: no finding in ${#targets[@]} targets"
