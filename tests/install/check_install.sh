#!/usr/bin/env bash
# Installs a built engine into a temporary prefix and checks the result:
# the installed files, every public header compiled on its own as C and C++,
# and the example built and run as C through the CMake package and through
# pkg-config. Needs no display.
#   check_install.sh BUILD_DIR [files|example|all]
set -euo pipefail

build=$(cd "$1" && pwd)
part=${2:-all}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
cc=$(cache CMAKE_C_COMPILER)
cxx=$(cache CMAKE_CXX_COMPILER)
# A sanitized engine needs the same runtime in whatever links it.
extra=()
[ "$(cache RELVANE_SANITIZE)" = ON ] && extra=(-fsanitize=address,undefined -fno-omit-frame-pointer)
export SDL_VIDEODRIVER=dummy

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

# Installed files: exactly the public headers, the library, both packages.
headers=(relvane.h core/pixel.h core/context.h core/surface.h pipe/pipe.h pipe/stage_list.h draw/shapes.h
         draw/area.h draw/copy.h terrain/fractal.h shade/shading.h shade/view_build.h display/display.h)
for h in "${headers[@]}"; do
    [ -f "$prefix/include/relvane/$h" ] || fail "header relvane/$h not installed"
done
found=$(find "$prefix" -name '*.h' | wc -l)
[ "$found" -eq ${#headers[@]} ] || fail "$found headers installed, expected ${#headers[@]}"
pc=$(find "$prefix" -name relvane.pc)
[ -n "$pc" ] || fail "relvane.pc not installed"
libdir=$(dirname "$(dirname "$pc")")
if [ ! -f "$libdir/librelvane.a" ]; then
    # A shared library carries its ABI version in its name.
    soname=$(readelf -d "$libdir/librelvane.so" | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')
    [[ "$soname" == librelvane.so.[0-9]* && -e "$libdir/$soname" ]] ||
        fail "no engine library with a versioned name in $libdir"
    # It exports the engine's rv_* names and nothing else.
    names=$(nm -D --defined-only "$libdir/$soname" | awk '{print $NF}')
    others=$(grep -v '^rv_' <<<"$names" || true)
    [ -z "$others" ] || fail "librelvane exports names other than rv_*:"$'\n'"$others"
    grep -q '^rv_NewContext$' <<<"$names" || fail "librelvane exports no rv_* names"
    echo "ok: the shared library exports only rv_* names ($(wc -l <<<"$names"))"
fi
[ -f "$libdir/cmake/relvane/relvaneConfig.cmake" ] || fail "CMake package not installed"
[ -z "$(find "$prefix" -type f -perm -u+x ! -name '*.so*')" ] || fail "programs installed with the library"
echo "ok: installed files"

if [ "$part" != example ]; then
# Every public header compiles on its own, warnings as errors.
warn=(-Wall -Wextra -Wpedantic -Werror -Wshadow -Wconversion -Wsign-conversion)
for h in "${headers[@]}"; do
    echo "#include <relvane/$h>" >"$work/one.h"
    "$cc" -std=c99 -pedantic-errors "${warn[@]}" -Wstrict-prototypes -fsyntax-only \
        -I"$prefix/include" -x c "$work/one.h" || fail "relvane/$h as C99"
    for std in c++11 c++20; do
        "$cxx" -std=$std "${warn[@]}" -Wold-style-cast -fsyntax-only \
            -I"$prefix/include" -x c++ "$work/one.h" || fail "relvane/$h as $std"
    done
done
echo "ok: headers compile alone as C99, C++11 and C++20"
fi
[ "$part" = files ] && exit 0

# check_picture BMP: 24-bit, the example's size, and many colours.
check_picture() {
    local bmp=$1
    [ "$(head -c2 "$bmp")" = BM ] || fail "$bmp is not a BMP"
    read -r w h < <(od -An -tu4 -j18 -N8 "$bmp")
    read -r bpp < <(od -An -tu2 -j28 -N2 "$bmp")
    read -r offset < <(od -An -tu4 -j10 -N4 "$bmp")
    [ "$w $h $bpp" = "320 240 24" ] || fail "$bmp is ${w}x${h}x${bpp}, expected 320x240x24"
    local colours
    colours=$(od -An -v -tx1 -w3 -j"$offset" "$bmp" | sort -u | wc -l)
    [ "$colours" -ge 100 ] || fail "$bmp is nearly blank ($colours colours)"
    echo "ok: $(basename "$bmp"): ${w}x${h}, $colours colours"
}

# The example through the CMake package.
flags="${extra[*]}"
cmake -S "$root/examples" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_C_COMPILER="$cc" -DCMAKE_C_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$work/cmake" >/dev/null
"$work/cmake/lit_terrain" "$work/cmake.bmp" >/dev/null
check_picture "$work/cmake.bmp"

# The same example with the one-line pkg-config build.
export PKG_CONFIG_PATH=$libdir/pkgconfig
# shellcheck disable=SC2046
"$cc" -std=c99 "${extra[@]}" "$root/examples/lit_terrain.c" -o "$work/lit_terrain" \
    $(pkg-config --cflags --libs relvane)
LD_LIBRARY_PATH=$libdir "$work/lit_terrain" "$work/pkg-config.bmp" >/dev/null
check_picture "$work/pkg-config.bmp"

cmp -s "$work/cmake.bmp" "$work/pkg-config.bmp" || fail "the two builds drew different pictures"
echo "ok: both builds draw the same picture"
