# The Python package: built from python/ by pip with Debian's own python3
# (offline, no build isolation) into a virtual environment, then its tests.

RELVANE_PYTHON_PACKAGES=(python3 python3-dev python3-venv python3-pip python3-setuptools python3-pybind11
    pybind11-dev python3-numpy python3-pytest python3-pil)

# relvane_python_stage DIR RENDER [CMAKE OPTIONS...]: installs the package
# into DIR/venv (the CMake build in DIR/cmake, with the options) and runs
# its tests, render() compared with the relvane-render program RENDER.
# RELVANE_PYTHON_PRELOAD is put in LD_PRELOAD for the tests only (a
# sanitizer's runtime, which must come before the interpreter's libraries).
relvane_python_stage() {
    local dir=$1 render=$2
    shift 2
    rm -rf "$dir/venv"
    mkdir -p "$dir"
    /usr/bin/python3 -m venv --system-site-packages "$dir/venv"
    RELVANE_PYTHON_BUILD_DIR="$dir/cmake" RELVANE_CMAKE_ARGS="$*" CMAKE_BUILD_PARALLEL_LEVEL="$(nproc)" \
        "$dir/venv/bin/python" -m pip install -q --no-build-isolation --no-index "$RELVANE_ROOT/python"
    local status=0
    (cd "$dir" && RELVANE_RENDER="$render" LD_PRELOAD="${RELVANE_PYTHON_PRELOAD:-}" \
        "$dir/venv/bin/python" -m pytest -q -p no:cacheprovider "$RELVANE_ROOT/python/tests") || status=$?
    # 5: nothing was collected, which must not pass as success.
    [ "$status" = 5 ] && echo "relvane_python_stage: pytest collected no tests" >&2
    return "$status"
}
