# Shared by the scripts: find the project root and install what is missing.
# Quiet when everything is already present; apt-get runs only for what lacks.
RELVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export RELVANE_ROOT

# Packages every script needs to configure and build.
RELVANE_BUILD_PACKAGES=(cmake g++ make pkg-config libgtest-dev libgmock-dev libhwy-dev libpng-dev libgdal-dev gdal-bin python3-gdal)
# And where the benchmark suite is built.
RELVANE_BENCH_PACKAGES=(libbenchmark-dev)

relvane_missing() {
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
    done
}

# relvane_need PACKAGE...: installs the packages that are not installed yet.
relvane_need() {
    local missing
    missing=$(relvane_missing "$@")
    # SDL 1.2 may come from the classic library or the compatibility one.
    if ! pkg-config --exists sdl 2>/dev/null && ! dpkg-query -W libsdl1.2-dev >/dev/null 2>&1; then
        missing="$missing libsdl1.2-dev"
    fi
    missing=$(echo $missing)
    [ -z "$missing" ] && return 0
    echo "Installing: $missing"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq >/dev/null
    # shellcheck disable=SC2086
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# relvane_build DIR [CMAKE OPTIONS...]: configures and builds into DIR.
relvane_build() {
    local dir=$1
    shift
    cmake -S "$RELVANE_ROOT" -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

# The fuzz target needs clang with its sanitizer and fuzzer runtimes, which
# come in a package named after clang's major version, and clang's OpenMP.
relvane_need_fuzz() {
    relvane_need clang libomp-dev
    relvane_need "libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev"
}
RELVANE_FUZZ_BIN=$RELVANE_ROOT/build-fuzz/tests/fuzz/relvane_fuzz
RELVANE_FUZZ_CORPUS=$RELVANE_ROOT/tests/fuzz/corpus

# relvane_build_fuzz: configures and builds the fuzz target into build-fuzz/.
relvane_build_fuzz() {
    relvane_build "$RELVANE_ROOT/build-fuzz" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DRELVANE_FUZZ=ON -DRELVANE_BUILD_DEMO=OFF -DRELVANE_BUILD_TESTS=OFF
}

# relvane_fuzz_replay: runs every input of the corpus once, then a fixed
# number of mutations from a fixed seed. Deterministic: the same inputs run
# on every call, and nothing is kept.
relvane_fuzz_replay() {
    local scratch
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' RETURN
    "$RELVANE_FUZZ_BIN" -runs=0 "$RELVANE_FUZZ_CORPUS"
    "$RELVANE_FUZZ_BIN" -seed=1 -runs=20000 -max_len=1024 -timeout=10 \
        -artifact_prefix="$scratch/" "$scratch" "$RELVANE_FUZZ_CORPUS"
}

# The browser edition: Debian's Emscripten (its system libraries come
# prebuilt, so the first build compiles nothing extra) and, for its test,
# Chromium and npm.
RELVANE_WEB_PACKAGES=(cmake make pkg-config python3 emscripten)
RELVANE_BROWSER_PACKAGES=(chromium)
RELVANE_WEB_BUILD=$RELVANE_ROOT/build-web

# relvane_need_npm: npm comes with some builds of nodejs, else on its own.
relvane_need_npm() {
    command -v npm >/dev/null || relvane_need npm
}

# relvane_web_quietly DIR TARGET [CMAKE OPTIONS...]: configures DIR with the
# web toolchain and builds TARGET (all: everything); quiet on success, the
# build's output on failure.
relvane_web_quietly() {
    local dir=$1 target=$2 log status=0
    shift 2
    log=$(mktemp)
    {
        cmake -S "$RELVANE_ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$RELVANE_ROOT/cmake/web-toolchain.cmake" "$@" &&
            cmake --build "$dir" -j"$(nproc)" --target "$target"
    } >"$log" 2>&1 || status=$?
    [ "$status" = 0 ] || cat "$log" >&2
    rm -f "$log"
    return "$status"
}

# relvane_build_web: the browser edition, into build-web/.
relvane_build_web() { relvane_web_quietly "$RELVANE_WEB_BUILD" all; }

# relvane_build_web_tests DIR: the fast paths' tests for WebAssembly
# (DIR/tests/relvane_fast_tests.js, run with node).
relvane_build_web_tests() { relvane_web_quietly "$1" relvane_fast_tests -DRELVANE_BUILD_TESTS=ON; }

# relvane_build_web_bench DIR [CMAKE OPTIONS...]: the WebAssembly bench
# (DIR/bench/relvane_bench.js, run with node).
relvane_build_web_bench() {
    local dir=$1
    shift
    relvane_web_quietly "$dir" relvane_bench -DRELVANE_BUILD_BENCH=ON "$@"
}
