#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang and runs each for a given time from its seeds: the
# seed corpus made by tests/fuzz/make-seeds.sh from real peers, the hand-made inputs of
# tests/fuzz/corpus/<target>/, and what earlier runs found. Any crash, sanitizer report, leak or time-out
# fails the run; the input is kept under <build>/crashes/<target>/ and printed with the command that
# replays it. Slow inputs (over 10 s) are kept there too, as slow-unit-*, without failing the run.
# The targets run side by side, as many at once as there are cores, each for its full time.
#     scripts/fuzz.sh [seconds per target, default 60] [target...]     (default: every target)
# The build is scripts/test.sh's sanitizer tree (TW_FUZZ_BUILD_DIR, default build/test), so after the
# tests nothing is compiled again; TW_FUZZ_JOBS sets how many targets run at once.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/lib/sanitizer-tree.sh"
seconds=${1:-60}
shift || true
build=$(realpath -m "${TW_FUZZ_BUILD_DIR:-${TW_TEST_BUILD_DIR:-$root/build/test}}")
jobs="${TW_FUZZ_JOBS:-$(nproc)}"

if (($# > 0)); then
    targets=("$@")
else
    targets=()
    for source in "$root"/tests/fuzz/*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

export CCACHE_BASEDIR="$root"
echo "== stage: build: fuzz targets"
configure_sanitizer_tree "$root" "$build"
cmake --build "$build" --target "${targets[@]}" -j"$(nproc)"

# The seeds are made again whenever the scripts that make them change; the two scripts fill different
# targets' folders, so they run side by side.
echo "== stage: fuzz seeds"
seeds="$build/fuzz-seeds"
stamp="$seeds/.made"
if [[ ! -f $stamp || $root/tests/fuzz/make-seeds.sh -nt $stamp || $root/tests/fuzz/make-seeds.py -nt $stamp ||
    $root/tests/fuzz/make-binary-seeds.sh -nt $stamp ]]; then
    rm -rf "$seeds"
    "$root/tests/fuzz/make-seeds.sh" "$seeds" &
    media=$!
    "$root/tests/fuzz/make-binary-seeds.sh" "$seeds" &
    binary=$!
    wait $media
    wait $binary
    touch "$stamp"
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
echo "== stage: fuzzing"
# fuzz_one <target>: runs it, and leaves its exit status in <log>.status.
fuzz_one() {
    local t=$1 corpus="$build/fuzz-corpus/$1" crashes="$build/crashes/$1" log="$build/fuzz-logs/$1.log"
    local read_dirs=() status=0
    [[ -d $seeds/$t ]] && read_dirs+=("$seeds/$t")
    [[ -d $root/tests/fuzz/corpus/$t ]] && read_dirs+=("$root/tests/fuzz/corpus/$t")
    (cd "$build" && "$build/tests/fuzz/$t" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$crashes/" "$corpus" "${read_dirs[@]}") >"$log" 2>&1 || status=$?
    echo "$status" >"$log.status"
}
declare -A before
for t in "${targets[@]}"; do
    mkdir -p "$build/fuzz-corpus/$t" "$build/crashes/$t" "$build/fuzz-logs"
    rm -f "$build/fuzz-logs/$t.log.status"
    before[$t]=$(ls "$build/crashes/$t")
done
echo "${#targets[@]} targets for ${seconds}s each, $jobs at once"
running=0
for t in "${targets[@]}"; do
    if ((running >= jobs)); then
        wait -n || true
        running=$((running - 1))
    fi
    fuzz_one "$t" &
    running=$((running + 1))
done
wait || true

failed=()
for t in "${targets[@]}"; do
    crashes="$build/crashes/$t"
    log="$build/fuzz-logs/$t.log"
    status=$(cat "$log.status" 2>/dev/null || echo "no status")
    echo "== $t: ${seconds}s"
    grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|stat::(number_of_executed_units|peak_rss_mb)' "$log" | tail -3 || true
    found=$(comm -13 <(echo "${before[$t]}") <(ls "$crashes") | grep -v "^slow-unit-" | sed "/^$/d" || true)
    if [[ $status != 0 ]] || [[ -n $found ]]; then
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
