#!/usr/bin/env bash
# Runs the real program in a virtual X server and drives it with xdotool:
# after the opening move the window must equal, pixel for pixel, the frame
# the same engine calls render in-process, in every display mode, and
# Escape must print the frame rate and exit 0.
set -uo pipefail
demo=$1
build=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/lib/xvfb.sh"

for tool in Xvfb xdotool import compare; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
relvane_xvfb_start || { echo "SKIP: Xvfb could not start"; exit 77; }
work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null  # SDL turns TERM into an ignored close request
    relvane_xvfb_stop
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

w=320 h=240
for mode in 0 1 2 3; do
    "$build/tests/relvane-frame" $w $h $mode "$work/expect$mode.ppm" >/dev/null ||
        fail "in-process frame for mode $mode"
done

"$demo" -w$w -h$h >"$work/out" 2>"$work/err" &
pid=$!
win=$(relvane_window) || fail "no window"

# Compares the window with the expected frame of a display mode.
shows() {
    sleep 1
    relvane_capture "$win" "$work/got.ppm" || fail "capture"
    local diff
    diff=$(compare -metric AE "$work/expect$1.ppm" "$work/got.ppm" null: 2>&1)
    [ "$diff" = "0" ] || fail "$2: $diff pixels differ from display mode $1"
    echo "ok: $2 shows display mode $1"
}

xdotool key x
shows 0 "a key ending the opening move"
xdotool key F2
shows 1 "F2"
xdotool key F3
shows 2 "F3"
xdotool key F4
shows 3 "F4"
xdotool click 1
shows 0 "a click after F4"
xdotool click 3
shows 1 "a second click"

xdotool key Escape
for i in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "still running after Escape"
wait "$pid"
status=$?
pid=
[ "$status" = 0 ] || fail "exit status $status"
expected="Requested width $w.
Requested height $h."
[ "$(head -n2 "$work/out")" = "$expected" ] || fail "option messages: $(cat "$work/out")"
tail -n1 "$work/out" | grep -Eq '^Average fps: [0-9]+\.[0-9]{6}$' || fail "fps line: $(cat "$work/out")"
[ "$(wc -l <"$work/out")" = 3 ] || fail "unexpected output: $(cat "$work/out")"
echo "ok: Escape printed \"$(tail -n1 "$work/out")\" and exited 0"
