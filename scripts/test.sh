#!/usr/bin/env bash
# The one test command: install what is missing, then
#   1. the sanitizer tree (clang, AddressSanitizer and UndefinedBehaviorSanitizer): every suite, and the
#      fuzz targets, which scripts/fuzz.sh then runs from the same tree;
#   2. an optimised build (RelWithDebInfo with g++, as scripts/run.sh builds): the platform's suites
#      (ctest label "platform"), whose shared libraries behave differently once the linker and optimiser
#      have their say (dropped libraries, inlined or folded exports, visibility). The rest is plain code
#      that the sanitizer build covers.
# Arguments go to both ctest runs (one suite alone: scripts/test.sh -R base_tests). TW_TEST_BUILD_DIR and
# TW_TEST_OPT_BUILD_DIR choose the build folders. A suite that fails is run once more and passes only
# if the second run passes (its first failure stays in the log): a suite whose timing goes wrong once on
# a loaded two-core machine does not fail the run, a suite that fails twice does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/lib/sanitizer-tree.sh"
echo "== stage: bootstrap"
"$root/scripts/bootstrap.sh"

build="${TW_TEST_BUILD_DIR:-$root/build/test}"
optimised="${TW_TEST_OPT_BUILD_DIR:-$root/build/test-opt}"
export CCACHE_BASEDIR="$root"
echo "== stage: configure"
configure_sanitizer_tree "$root" "$build"
cmake -S "$root" -B "$optimised" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTW_SANITIZE=OFF -DTW_TESTS=ON \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" >/dev/null
echo "== stage: build: sanitizer tree"
cmake --build "$build" -j"$(nproc)"
echo "== stage: build: optimised platform suites"
cmake --build "$optimised" --target platform_tests -j"$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
echo "== stage: ctest: sanitizer tree"
(cd "$build" && ctest --output-on-failure -j"$(nproc)" --repeat until-pass:2 "$@") || status=1
echo "== stage: ctest: optimised platform suites"
(cd "$optimised" && ctest --output-on-failure -j"$(nproc)" --repeat until-pass:2 -L platform "$@") || status=1
exit $status
