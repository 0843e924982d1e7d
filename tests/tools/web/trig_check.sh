#!/usr/bin/env bash
# The values the C library's sine, cosine and tangent decide must be the
# same in the native build and in WebAssembly (musl's libm, run in node).
#   trig_check.sh NATIVE_BUILD_DIR WEB_BUILD_DIR
set -uo pipefail
native=$("$1/tests/relvane-trig") || { echo "FAIL: native relvane-trig"; exit 1; }
web=$(node "$2/relvane-trig.js") || { echo "FAIL: relvane-trig in node"; exit 1; }
if [ "$native" != "$web" ]; then
    echo "FAIL: the trigonometry differs between native and WebAssembly:"
    diff <(echo "$native") <(echo "$web") | head -20
    exit 1
fi
echo "ok: $(echo "$native" | wc -l) trigonometric values agree between native and WebAssembly"
