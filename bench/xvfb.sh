# Sourced by the bench scripts that run the calculator under an X server of
# their own.
#
# start_xvfb SCREEN NAME: starts Xvfb with screen 0 as SCREEN (WxHxD) on a
# free display, its pid in xvfb_pid and its name (":N") in xvfb_display;
# needs $scratch, a folder of the caller's. NAME (the script's) starts the
# message when it does not come up, and the script ends with status 1.
start_xvfb() {
    # -noreset: SDL's X11 probe connects and leaves at once, and a server that
    # resets then may refuse the calculator's own connection.
    Xvfb -noreset -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$scratch/display" 2>/dev/null &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$scratch/display" ] && break
        sleep 0.1
    done
    [ -s "$scratch/display" ] || { echo "$2: Xvfb did not start" >&2; exit 1; }
    xvfb_display=":$(head -n1 "$scratch/display")"
}
