#!/usr/bin/env bash
# Runs the real program in a virtual X server and drives it with xdotool:
# after the opening move the window must equal, pixel for pixel, the frame
# the same engine calls render in-process, in every display mode, and
# Escape must print the frame rate and exit 0.
# A real X window, whatever the caller chose: SDL must not fall back to a
# text-mode driver when the X connection has trouble.
export SDL_VIDEODRIVER=x11
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

# step MODE LABEL REPEAT XDOTOOL-ARGS...: sends the input, then waits until the
# window equals the expected frame of display mode MODE. Under load an input
# may land before the window has the focus; idempotent keys (REPEAT=1) are
# sent again while the picture has not changed.
step() {
    local mode=$1 label=$2 repeat=$3 diff= attempt
    shift 3
    xdotool "$@"
    for attempt in $(seq 20); do
        sleep 0.5
        relvane_capture "$win" "$work/got.ppm" || fail "capture"
        diff=$(compare -metric AE "$work/expect$mode.ppm" "$work/got.ppm" null: 2>&1)
        if [ "$diff" = "0" ]; then
            echo "ok: $label shows display mode $mode"
            return
        fi
        [ "$repeat" = 1 ] && [ $((attempt % 4)) = 0 ] && xdotool "$@"
    done
    fail "$label: $diff pixels differ from display mode $mode"
}

step 0 "a key ending the opening move" 1 key x
step 1 "F2" 1 key F2
step 2 "F3" 1 key F3
step 3 "F4" 1 key F4
step 0 "a click after F4" 0 click 1
step 1 "a second click" 0 click 3

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
