#!/usr/bin/env bash
# Runs the test program under valgrind (memcheck) on a virtual X server with
# command lines from ordinary to absurd and a scripted set of keys, mouse
# clicks and Escape. Fails on any invalid access, on any leak of the
# program's own (SDL's and Xlib's are suppressed by valgrind.supp), and on a
# run that does not end. Exits 77 when no X server can be started.
set -uo pipefail
# A real X window: SDL must not fall back to a text-mode driver.
export SDL_VIDEODRIVER=x11

demo=$1
build=$2
here=$(cd "$(dirname "$0")" && pwd)
out=$build/e2e-valgrind
mkdir -p "$out"

command -v valgrind >/dev/null || { echo "valgrind is not installed"; exit 1; }
command -v xdotool >/dev/null || { echo "xdotool is not installed"; exit 1; }
command -v Xvfb >/dev/null || { echo "Xvfb is not installed: skipped"; exit 77; }

# Some valgrind releases cannot decode every instruction of a newer
# processor, and the vector library's start-up code (run before main) may
# use one of them: then nothing can be checked here. A run with no X
# display at all reaches main and fails to open its screen at once.
probe_log=$out/probe.valgrind.log
DISPLAY=:no-display bash -c 'valgrind --log-file="$1" "$2"; echo $? >"$1.status"' probe "$probe_log" "$demo" >/dev/null 2>&1
if [ "$(cat "$probe_log.status")" = 132 ] && grep -q "unhandled instruction bytes" "$probe_log"; then
    echo "valgrind cannot run this processor's instructions ($(grep -m1 'unhandled instruction bytes' "$probe_log" | sed 's/^.*bytes: //')): skipped"
    exit 77
fi

# A virtual X server on the first free display from :70 on.
xvfb_pid=
for n in $(seq 70 99); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=:$n
    for _ in $(seq 50); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && break 2
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null
    xvfb_pid=
done
[ -n "$xvfb_pid" ] || { echo "no X server could be started: skipped"; exit 77; }
trap 'kill "$xvfb_pid" 2>/dev/null' EXIT

# Keys pressed one after another (xdotool names); "hold:KEY" holds a key for
# a moment, "click" clicks a mouse button. Escape always comes last.
every_key=(F2 F3 F4 click F1 asterisk asterisk slash KP_Multiply KP_Divide t b s
           hold:Prior hold:Next hold:Home hold:End hold:plus hold:minus hold:KP_Add
           hold:KP_Subtract hold:Insert hold:Delete hold:shift+Insert hold:shift+Delete
           hold:Up hold:Down hold:Left hold:Right space space x F5 Return)
few_keys=(F2 F3 F4 click t)

failures=0

# run_case NAME KEYS-ARRAY-NAME ARGS...: one run of the program.
run_case() {
    local name=$1 keys_name=$2
    shift 2
    local -n keys=$keys_name
    local log=$out/$name.valgrind.log
    echo "-- $name: ${*:-no arguments}"
    valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --num-callers=50 \
        --show-leak-kinds=definite,indirect,possible \
        --errors-for-leak-kinds=definite,indirect,possible \
        --suppressions="$here/valgrind.supp" --log-file="$log" \
        "$demo" "$@" >"$out/$name.stdout" 2>"$out/$name.stderr" &
    local pid=$! window= i

    # Wait for the window, or for the program to end without one.
    for i in $(seq 600); do
        kill -0 "$pid" 2>/dev/null || break
        window=$(xdotool search --onlyvisible --name '^Relvane Test$' 2>/dev/null | head -n1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    if [ -n "$window" ]; then
        # No window manager: keys go to the window under the pointer.
        xdotool mousemove --window "$window" 0 0 2>/dev/null
        for key in "${keys[@]}" Escape; do
            case $key in
                click) xdotool click 1 ;;
                hold:*) xdotool keydown "${key#hold:}"; sleep 0.4; xdotool keyup "${key#hold:}" ;;
                *) xdotool key "$key" ;;
            esac
            sleep 0.2
        done 2>/dev/null
    fi

    # Escape ends the program after the frame in progress; it is pressed
    # again every few seconds in case a slow start let the first one by.
    for i in $(seq 1200); do
        kill -0 "$pid" 2>/dev/null || break
        if [ -n "$window" ] && [ $((i % 30)) -eq 0 ]; then
            xdotool mousemove --window "$window" 0 0 key Escape 2>/dev/null
        fi
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -9 "$pid" 2>/dev/null
        wait "$pid"
        echo "FAIL $name: did not end"
        failures=$((failures + 1))
        return
    fi
    wait "$pid"
    local rc=$?
    # With a window the program must end normally; without one (a mode the
    # server refuses) it reports the failure with status 1.
    if [ "$rc" -eq 99 ] || ! grep -q "ERROR SUMMARY: 0 errors" "$log"; then
        echo "FAIL $name: memcheck found errors or leaks:"
        sed -n '/definitely lost in\|indirectly lost in\|possibly lost in\|Invalid\|uninitialised\|Mismatched/,/^==[0-9]*== $/p' "$log" | head -n 60
        failures=$((failures + 1))
    elif [ -n "$window" ] && [ "$rc" -ne 0 ]; then
        echo "FAIL $name: exit status $rc with a window"
        failures=$((failures + 1))
    elif [ -z "$window" ] && [ "$rc" -ne 0 ] && [ "$rc" -ne 1 ]; then
        echo "FAIL $name: exit status $rc without a window"
        cat "$out/$name.stderr"
        failures=$((failures + 1))
    else
        echo "ok   $name (status $rc, ${window:+window}${window:-no window})"
    fi
}

run_case default few_keys
run_case small_every_key every_key -w96 -h64
run_case double_buffered few_keys -d -hw -w80 -h60 -x abc
run_case size_one few_keys -w1 -h1
run_case size_zero few_keys -w0 -h0
run_case size_negative few_keys -w-5 -h-7
run_case width_only few_keys -w
run_case size_huge few_keys -w100000 -h100000
run_case size_int_max few_keys -w2147483647 -h2147483647
run_case tile_zero every_key -w64 -h48 -t0
run_case tile_negative few_keys -w64 -h48 -t-16
run_case tile_one few_keys -w64 -h48 -t1
run_case tile_huge few_keys -w64 -h48 -t2147483647

echo "$failures failing run(s)"
[ "$failures" -eq 0 ]
