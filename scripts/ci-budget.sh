#!/usr/bin/env bash
# Measures CI as the smallest machine that may run it sees it: a fresh clone of this repository's main
# (or the given revision), pinned to two cores, with an empty compiler cache, through .ci/run. Prints the
# wall time of every stage (the "== stage:" lines the scripts print) and the total, and exits with
# .ci/run's status. Run it before closing an issue that adds a suite, a fixture or a build step.
#     scripts/ci-budget.sh [revision, default main]
# TW_BUDGET_CPUS picks the cores (default 0,1: taskset's list); TW_BUDGET_KEEP=1 keeps the clone, its
# builds and the log (otherwise only the log is kept, and its path printed). The disk the run took is
# printed at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
revision=${1:-main}
cpus=${TW_BUDGET_CPUS:-0,1}
work=$(mktemp -d "${TMPDIR:-/tmp}/tw-ci-budget.XXXXXX")
log="$work/ci.log"
clone="$work/clone"

git clone -q --no-hardlinks "$root" "$clone"
git -C "$clone" checkout -q --detach "$(git -C "$root" rev-parse "$revision")"
echo "ci-budget: $(git -C "$clone" log -1 --format='%h %s') on cores $cpus, empty compiler cache"

# A cold machine: its own compiler cache, empty; nothing of the caller's build folders.
export CCACHE_DIR="$work/ccache"
unset TW_TEST_BUILD_DIR TW_TEST_OPT_BUILD_DIR TW_FUZZ_BUILD_DIR TW_FUZZ_JOBS CMAKE_BUILD_PARALLEL_LEVEL

# Every line of the run is stamped; a stage lasts from its "== stage: <name>" line to the next one.
names=()
starts=()
begin=$EPOCHREALTIME
status=0
while IFS= read -r line; do
    now=$EPOCHREALTIME
    printf '%s %s\n' "$now" "$line" >>"$log"
    if [[ $line =~ ^==\ stage:\ (.*)$ ]]; then
        names+=("${BASH_REMATCH[1]}")
        starts+=("$now")
        printf '[%6.0fs] %s\n' "$(awk "BEGIN { print $now - $begin }")" "${BASH_REMATCH[1]}"
    fi
# The status is caught with ||: under errexit a failing run would end the group before it is written.
done < <(cd "$clone" && { s=0; taskset -c "$cpus" .ci/run 2>&1 || s=$?; echo "$s" >"$work/status"; })
end=$EPOCHREALTIME
status=$(cat "$work/status" 2>/dev/null || true)

echo
printf '%-50s %8s %8s\n' "stage" "seconds" "min:sec"
for ((i = 0; i < ${#names[@]}; i++)); do
    stop=$end
    ((i + 1 < ${#names[@]})) && stop=${starts[i + 1]}
    s=$(awk "BEGIN { print $stop - ${starts[i]} }")
    printf '%-50s %8.0f %5d:%02d\n' "${names[i]}" "$s" "$((${s%.*} / 60))" "$((${s%.*} % 60))"
done
total=$(awk "BEGIN { print $end - $begin }")
printf '%-50s %8.0f %5d:%02d\n' "total (.ci/run exit ${status:-?})" "$total" "$((${total%.*} / 60))" "$((${total%.*} % 60))"

# The disk the run took (clone, builds, compiler cache): CI's machine shares its disk, and a run that
# fills it fails however fast it is.
echo "disk used by the run: $(du -sh "$work" | cut -f1)"

if [[ ${TW_BUDGET_KEEP:-0} == 1 ]]; then
    echo "kept: $work"
else
    mv "$log" "${TMPDIR:-/tmp}/tw-ci-budget-$(date +%Y%m%d-%H%M%S).log"
    rm -rf "$work"
    echo "log: $(ls -t "${TMPDIR:-/tmp}"/tw-ci-budget-*.log | head -1)"
fi
exit "${status:-1}"
