# The threaded operations under ThreadSanitizer. GCC's OpenMP runtime is not
# instrumented, so this stage builds with clang and its runtime (libomp),
# whose synchronisation ThreadSanitizer learns from the archer tool.
RELVANE_TSAN_PACKAGES=(clang libomp-dev)

# relvane_tsan_stage DIR: builds the thread tests' runner into DIR and runs it.
# libomp itself is not instrumented: its own locking is left to archer, and
# what the sanitizer would see inside it is ignored.
relvane_tsan_stage() {
    local dir=$1 archer
    relvane_need "${RELVANE_TSAN_PACKAGES[@]}"
    cmake -S "$RELVANE_ROOT" -B "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DRELVANE_TSAN=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRELVANE_BUILD_BENCH=OFF >/dev/null
    cmake --build "$dir" -j"$(nproc)" --target relvane_thread_tests
    archer=$(clang -print-file-name=libarcher.so)
    [ -f "$archer" ] || archer=$(find /usr/lib/llvm-*/lib -name libarcher.so 2>/dev/null | head -n1)
    OMP_TOOL_LIBRARIES=$archer TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ignore_noninstrumented_modules=1" SDL_VIDEODRIVER=dummy \
        "$dir/tests/relvane_thread_tests"
}
