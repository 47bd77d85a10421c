# scripts/lib/sanitizer-tree.sh: shared by test.sh and fuzz.sh, which build in one tree: clang with
# AddressSanitizer and UndefinedBehaviorSanitizer, every suite and every fuzz target (the fuzzed
# libraries carry libFuzzer's coverage hooks, which the test programs' sanitizer runtime answers).
# Line tables only (-g1): sanitizer reports still name file and line, at a fraction of the debug info.
# configure_sanitizer_tree <root> <build folder>
configure_sanitizer_tree() {
    local root=$1 build=$2
    # A tree that another compiler configured is configured afresh: CMake cannot switch compilers.
    if [[ -f $build/CMakeCache.txt ]] && ! grep -q '^CMAKE_CXX_COMPILER:[A-Z]*=.*clang++' "$build/CMakeCache.txt"; then
        rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
    fi
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTW_FUZZ=ON -DTW_TESTS=ON \
        -DCMAKE_C_FLAGS_DEBUG=-g1 -DCMAKE_CXX_FLAGS_DEBUG=-g1 >/dev/null
}
