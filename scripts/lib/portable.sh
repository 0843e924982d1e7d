# The engine's fast layer is written once over portable vectors: nothing
# specific to one processor family may appear in engine/.
relvane_check_portable() {
    local found
    found=$(grep -rnE '#include *<[a-z0-9]*intrin\.h>|__m(64|128|256|512)[id]?\b|\b_mm(256|512)?_[a-z]|target_clones|__attribute__ *\(\( *target|\[\[gnu::target|__builtin_cpu_supports|\bhas_avx2\b' \
        "$RELVANE_ROOT/engine" || true)
    if [ -n "$found" ]; then
        echo "Processor-specific code in engine/ (write it over the portable vector layer):" >&2
        echo "$found" >&2
        return 1
    fi
    echo "ok: no processor-specific code in engine/"
}
