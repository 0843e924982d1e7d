# Shared by scripts/demo and the end-to-end checks: a virtual X server at
# depth 24 and the program's window in it.

# relvane_xvfb_start: starts Xvfb on a free display and exports DISPLAY.
# Returns 1 when no server could be started.
relvane_xvfb_start() {
    command -v Xvfb >/dev/null || return 1
    local fdfile n i
    fdfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    RELVANE_XVFB_PID=$!
    for i in $(seq 100); do
        [ -s "$fdfile" ] && break
        kill -0 "$RELVANE_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    n=$(head -n1 "$fdfile")
    rm -f "$fdfile"
    if [ -z "$n" ]; then
        relvane_xvfb_stop
        return 1
    fi
    export DISPLAY=":$n"
}

relvane_xvfb_stop() {
    if [ -n "${RELVANE_XVFB_PID:-}" ]; then
        kill "$RELVANE_XVFB_PID" 2>/dev/null || true
        wait "$RELVANE_XVFB_PID" 2>/dev/null || true
        RELVANE_XVFB_PID=
    fi
}

# relvane_window: waits for the window "Relvane Test", prints its id and
# puts the pointer into it (so keys and clicks reach it).
relvane_window() {
    local id
    id=$(timeout 30 xdotool search --sync --onlyvisible --name '^Relvane Test$' 2>/dev/null | head -n1)
    [ -n "$id" ] || return 1
    xdotool windowfocus "$id" >/dev/null 2>&1 || true
    xdotool mousemove --window "$id" 0 0 >/dev/null 2>&1 || true
    echo "$id"
}

# relvane_capture WINDOW FILE: the window's pixels into FILE (format by extension).
relvane_capture() {
    import -window "$1" "$2"
}
