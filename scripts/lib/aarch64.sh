# The aarch64 stage: a cross build run under qemu-user on three processors.
# Sourced by scripts/test after setup.sh.
#
# The arm64 libraries come from Debian's arm64 packages, unpacked into a
# private tree under the build folder; nothing arm64 is installed on the host
# (installing libsdl1.2-dev:arm64 would remove the host's SDL and pkg-config).

RELVANE_AARCH64_HOST_PACKAGES=(g++-aarch64-linux-gnu qemu-user)

# Linked and run against: the -dev packages are unpacked alone, the runtime
# libraries with every library they need.
RELVANE_AARCH64_DEV_PACKAGES=(libsdl1.2-dev libgtest-dev libgmock-dev libhwy-dev libpng-dev zlib1g-dev)
RELVANE_AARCH64_RUNTIME_PACKAGES=(libsdl1.2debian libhwy1 libpng16-16)
# The cross toolchain brings its own C and C++ runtime.
RELVANE_AARCH64_TOOLCHAIN_PROVIDES='^(libc6|libgcc-s1|libstdc\+\+6|gcc-12-base)='

# qemu's processor, what it offers, for each run of the unit suite. The
# vector length picks Highway's fixed-size SVE targets (256 and 128 bits).
RELVANE_AARCH64_CPUS=("cortex-a72 NEON" "a64fx SVE" "max SVE2"
    "a64fx,sve-default-vector-length=32 SVE_256" "max,sve-default-vector-length=16 SVE2_128")

# Highway's names for the aarch64 targets, as the suite prints them.
RELVANE_AARCH64_TARGET_NAMES='\b(SVE2_128|SVE_256|SVE2|SVE|NEON|EMU128|SCALAR)\b'

relvane_aarch64_apt() {
    DEBIAN_FRONTEND=noninteractive apt-get -o APT::Sandbox::User=root "$@"
}

# relvane_aarch64_packages: the arm64 packages to unpack, as name=version
# lines, sorted.
relvane_aarch64_packages() {
    apt-cache show --no-all-versions "${RELVANE_AARCH64_DEV_PACKAGES[@]/%/:arm64}" |
        awk '/^Package: /{p=$2} /^Version: /{print p "=" $2}'
    # A simulated install resolves the runtime closure as apt would; only
    # its arm64 part is wanted (the rest is host upgrades it would do too).
    relvane_aarch64_apt install -s --no-install-recommends \
        "${RELVANE_AARCH64_RUNTIME_PACKAGES[@]/%/:arm64}" 2>/dev/null |
        sed -n 's/^Inst \([^ :]*\):arm64 (\([^ ]*\) .*/\1=\2/p' |
        grep -Ev "$RELVANE_AARCH64_TOOLCHAIN_PROVIDES"
}

# relvane_aarch64_sysroot DIR: unpacks the arm64 libraries into DIR/sysroot.
# The downloads stay in DIR/debs, so a second run fetches only new versions
# and unpacks only when the set changed.
relvane_aarch64_sysroot() {
    local dir=$1 sysroot=$1/sysroot debs=$1/debs
    if ! dpkg --print-foreign-architectures | grep -qx arm64; then
        dpkg --add-architecture arm64
    fi
    if ! apt-cache show libsdl1.2debian:arm64 >/dev/null 2>&1; then
        relvane_aarch64_apt update -qq >/dev/null
    fi
    local packages
    packages=$(relvane_aarch64_packages | sort -u)
    mkdir -p "$debs"
    # apt-get download names a file name_version_arm64.deb, the epoch's
    # colon written %3a.
    local entry files=() missing=()
    for entry in $packages; do
        files+=("${entry%%=*}_$(sed 's/:/%3a/' <<<"${entry#*=}")_arm64.deb")
        [ -f "$debs/${files[-1]}" ] || missing+=("${entry%%=*}:arm64=${entry#*=}")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Downloading ${#missing[@]} arm64 packages"
        (cd "$debs" && relvane_aarch64_apt download -qq "${missing[@]}" >/dev/null)
    fi
    [ -f "$sysroot/.packages" ] && [ "$(cat "$sysroot/.packages")" = "$packages" ] && return 0
    rm -rf "$sysroot"
    mkdir -p "$sysroot"
    local file
    for file in "${files[@]}"; do
        dpkg-deb -x "$debs/$file" "$sysroot"
    done
    # Versions no longer wanted.
    for file in "$debs"/*.deb; do
        [[ " ${files[*]} " == *" ${file##*/} "* ]] || rm -f "$file"
    done
    # Absolute links point into the host; make them point into the tree.
    local link
    find "$sysroot" -type l -lname '/*' -print0 | while IFS= read -r -d '' link; do
        ln -sfn "$sysroot$(readlink "$link")" "$link"
    done
    echo "$packages" >"$sysroot/.packages"
}

# relvane_aarch64_targets DIR CPU: the lines the suite itself printed in the
# last run (passing tests' included; not CTest's or GoogleTest's own, which
# carry test names) that name a Highway target, each once, marked with CPU.
relvane_aarch64_targets() {
    local lines
    lines=$(grep -E "$RELVANE_AARCH64_TARGET_NAMES" "$1/Testing/Temporary/LastTest.log" |
        grep -Ev '^([0-9]+/[0-9]+ Test|Command:|Directory:|"|\[|Note: Google Test filter)' |
        sort -u || true)
    if [ -z "$lines" ]; then
        echo "aarch64 QEMU_CPU=$2 target: none reported"
    else
        sed "s/^/aarch64 QEMU_CPU=$2 target: /" <<<"$lines"
    fi
}

# relvane_aarch64_stage DIR LABELS [CMAKE OPTIONS...]: cross-builds into DIR
# (with the default options unless told otherwise) and runs the suite under
# qemu once for each processor, leaving out the tests with one of LABELS
# (a space-separated list).
relvane_aarch64_stage() {
    local dir=$1 exclude="^(${2// /|})\$"
    shift 2
    relvane_aarch64_sysroot "$dir"
    # Configured afresh: no option from an earlier run lingers in the cache
    # (unchanged sources are not compiled again).
    rm -f "$dir/CMakeCache.txt"
    relvane_build "$dir" \
        -DCMAKE_TOOLCHAIN_FILE="$RELVANE_ROOT/cmake/toolchains/aarch64-linux-gnu.cmake" \
        -DRELVANE_AARCH64_SYSROOT="$dir/sysroot" "$@"
    local entry cpu
    for entry in "${RELVANE_AARCH64_CPUS[@]}"; do
        cpu=${entry%% *}
        echo "-- aarch64 QEMU_CPU=$cpu (${entry#* })"
        # The per-target tests are listed afresh: each processor has its own.
        rm -f "$dir"/tests/*_tests.cmake
        QEMU_CPU=$cpu ctest --test-dir "$dir" --output-on-failure -j2 -LE "$exclude"
        relvane_aarch64_targets "$dir" "$cpu"
    done
}
