# Sourced: xvfb_start sets DISPLAY to a new private Xvfb and XVFB_PID; xvfb_stop ends it by pid.
xvfb_start() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    local num
    if ! read -r -t 15 num <"$fifo"; then
        rm -f "$fifo"
        kill "$XVFB_PID" 2>/dev/null
        XVFB_PID=
        return 1
    fi
    rm -f "$fifo"
    export DISPLAY=":$num"
}
xvfb_stop() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=
    fi
}
