#!/usr/bin/env bash
# Instructions per steady redraw of the calculator's screen, counted by
# valgrind's callgrind inside tarno::redraw_screen only (start-up, fonts and
# key handling are not counted). Each screen is drawn once and eleven times;
# the difference over ten is the cost of one redraw after the first, so that
# one-time work (SDL's and FreeType's caches filling) drops out.
#
# Run from the repository root after `./setup test` (or after building the
# driver: cmake --build build/obj --target tarno-redraw-driver). Needs
# valgrind. Another driver can be named in TARNO_REDRAW_DRIVER.
set -euo pipefail
shopt -s inherit_errexit

DRIVER=${TARNO_REDRAW_DRIVER:-build/tarno-redraw-driver}

# Millions of instructions per redraw before the keypad pictures were stored
# in the screen's own 16-bit format (commit 628dbb6, same driver and build
# type): the 24-bit pictures were converted pixel by pixel at every blit.
LANDED_POWER_ON=5.02
LANDED_SIXTEEN_DIGITS=5.41
LANDED_SHIFTED=5.02

if [ ! -x "$DRIVER" ]; then
    echo "redraw_cost.sh: no $DRIVER; build it first (./setup test) and run from the repository root" >&2
    exit 1
fi
if ! command -v valgrind >/dev/null; then
    echo "redraw_cost.sh: valgrind is not installed" >&2
    exit 1
fi

# instructions N KEY...: instructions spent in N redraws of the state that
# the keys leave.
instructions() {
    local out count
    out=$(mktemp)
    if ! SDL_VIDEODRIVER=dummy valgrind --tool=callgrind --callgrind-out-file="$out" \
        --collect-atstart=no --toggle-collect='tarno::redraw_screen*' \
        "$DRIVER" "$@" >/dev/null 2>"$out.log"; then
        echo "redraw_cost.sh: $DRIVER $* failed:" >&2
        cat "$out.log" >&2
        rm -f "$out" "$out.log"
        exit 1
    fi
    count=$(sed -n 's/^summary: *//p' "$out")
    rm -f "$out" "$out.log"
    echo "${count:?no instruction count from callgrind}"
}

# per_redraw KEY...: millions of instructions per steady redraw.
per_redraw() {
    local once eleven
    once=$(instructions 1 "$@")
    eleven=$(instructions 11 "$@")
    awk -v a="$once" -v b="$eleven" 'BEGIN { printf "%.2f", (b - a) / 10 / 1e6 }'
}

row() {
    local name=$1 landed=$2
    shift 2
    local now
    now=$(per_redraw "$@")
    printf '%-26s %10s %10s %8s\n' "$name" "$now" "$landed" \
        "$(awk -v a="$now" -v b="$landed" 'BEGIN { printf "%.2f", a / b }')"
}

printf '%-26s %10s %10s %8s\n' "screen (M instructions)" "now" "landed" "ratio"
row "power-on" "$LANDED_POWER_ON"
row "16-digit entry" "$LANDED_SIXTEEN_DIGITS" 61 62 63 51 52 53 41 42 43 71 61 62 63 51 52 53
row "shifted keypad" "$LANDED_SHIFTED" 15
