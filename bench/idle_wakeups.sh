#!/usr/bin/env bash
# The desktop window at rest, as a laptop's battery sees it: how often the
# whole program wakes up while nobody touches it, and how late a key's click
# reaches the audio driver, with the device still open and after a quiet
# while that closed it.
#
# usage: bench/idle_wakeups.sh [PROGRAM [BEFORE]]
#   PROGRAM  the calculator measured (default build/tarno)
#   BEFORE   an earlier build measured the same way, printed beside it
#
# Wake-ups: the calculator runs with --desktop under an X server of its own
# with SDL's dummy audio driver (which paces its thread like a real device);
# a key is typed (so its click opens the device), then 3 s of rest, then
# the voluntary and involuntary context switches of all its threads, read
# from /proc/PID/task/*/status, are counted over 10 s. Once with the locks
# off, once with Num Lock on (xdotool key Num_Lock).
#
# Click delay: SDL's disk audio driver writes every buffer into a pipe, read
# here; a key is pressed through XTest and the time taken until the first
# sample of its click comes out of the pipe: "warm" with the device open
# (0.3 s after another key), "after rest" 3 s after the last key. The
# driver writes through stdio, which would hold 4 KB (some 190 ms of sound)
# before the pipe sees any: a shim preloaded into the calculator flushes
# every buffer as the driver writes it.
#
# Each program keeps its state in a scratch folder, never in the user's.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/xvfb.sh
program=${1:-build/tarno}
before=${2:-}
rest=3
seconds=10
for p in "$program" $before; do
    [ -x "$p" ] || { echo "idle_wakeups: no program at $p (build it first)" >&2; exit 2; }
done

scratch=$(mktemp -d)
xvfb_pid=
calculator_pid=
stop_calculator() {
    if [ -n "$calculator_pid" ]; then
        kill "$calculator_pid" 2>/dev/null || true
        wait "$calculator_pid" 2>/dev/null || true
    fi
    calculator_pid=
}
finish() {
    stop_calculator
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$scratch"
}
trap finish EXIT

start_xvfb 1024x768x24 idle_wakeups
export DISPLAY=$xvfb_display

# Starts PROGRAM --desktop --scale=1 with the environment's audio driver and
# waits for its window, under the pointer so that it has the keyboard.
start() {
    XDG_STATE_HOME="$scratch/state" SDL_VIDEODRIVER=x11 "$1" --desktop --scale=1 2>>"$scratch/stderr" &
    calculator_pid=$!
    xdotool search --sync --class tarno >/dev/null
    xdotool mousemove 100 100
    sleep 0.5
}

# The context switches of all the calculator's threads so far, and how many threads.
switches() {
    cat /proc/"$calculator_pid"/task/*/status 2>/dev/null |
        awk '/^(non)?voluntary_ctxt_switches/ { n += $2 } /^Tgid/ { t++ } END { print n, t }'
}

# Wake-ups a second of PROGRAM over $seconds after $rest idle; Num Lock on when $2 is "numlock".
wakeups() {
    SDL_AUDIODRIVER=dummy start "$1"
    [ "$2" = numlock ] && xdotool key Num_Lock
    xdotool key 1
    sleep "$rest"
    read -r first threads_first < <(switches)
    sleep "$seconds"
    read -r last threads_last < <(switches)
    [ "$2" = numlock ] && xdotool key Num_Lock
    stop_calculator
    awk -v a="$first" -v b="$last" -v s="$seconds" -v t1="$threads_first" -v t2="$threads_last" \
        'BEGIN { printf "%8.1f /s (%d->%d threads)", (b - a) / s, t1, t2 }'
}

# The shim that flushes each buffer of the disk audio driver.
cat >"$scratch/flush.c" <<'C'
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
size_t fwrite(const void* data, size_t size, size_t count, FILE* stream) {
    static size_t (*real)(const void*, size_t, size_t, FILE*);
    if (!real) real = (size_t (*)(const void*, size_t, size_t, FILE*))dlsym(RTLD_NEXT, "fwrite");
    const size_t written = real(data, size, count, stream);
    fflush(stream);
    return written;
}
C
cc -shared -fPIC -o "$scratch/flush.so" "$scratch/flush.c" -ldl

# Click delays of PROGRAM in milliseconds: "warm: median (min-max) | after rest: ...".
click_delays() {
    mkfifo "$scratch/audio"
    LD_PRELOAD="$scratch/flush.so" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$scratch/audio" SDL_DISKAUDIODELAY=1 \
        start "$1"
    python3 - "$scratch/audio" "$rest" <<'PYTHON'
import ctypes, os, sys, threading, time, statistics
fifo, rest = sys.argv[1], float(sys.argv[2])
sound_at = []          # when a read from the driver brought non-silent samples
lock = threading.Lock()

def read_driver():
    # The driver opens the pipe anew every time the device is opened.
    while True:
        with open(fifo, "rb", buffering=0) as f:
            while True:
                data = f.read(4096)
                if not data:
                    break
                if any(data):
                    with lock:
                        sound_at.append(time.monotonic())

threading.Thread(target=read_driver, daemon=True).start()
x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
x11.XFlush.argtypes = [ctypes.c_void_p]
display = x11.XOpenDisplay(None)
one = x11.XKeysymToKeycode(display, 0x31)  # the key 1

def press():
    """Milliseconds from the key press to its click's first sample at the driver."""
    with lock:
        sound_at.clear()
    start = time.monotonic()
    xtst.XTestFakeKeyEvent(display, one, 1, 0)
    xtst.XTestFakeKeyEvent(display, one, 0, 0)
    x11.XFlush(display)
    while time.monotonic() - start < 2:
        with lock:
            if sound_at:
                return (sound_at[0] - start) * 1000
        time.sleep(0.0002)
    return float("nan")

time.sleep(2)  # past the start-up's own quiet while
warm, cold = [], []
for _ in range(5):
    time.sleep(rest)
    cold.append(press())
    time.sleep(0.3)
    warm.append(press())

def shown(values):
    return "%6.1f ms (%.1f-%.1f)" % (statistics.median(values), min(values), max(values))
print("warm %s | after rest %s" % (shown(warm), shown(cold)), end="")
PYTHON
    stop_calculator
    wait 2>/dev/null || true
    rm -f "$scratch/audio"
}

programs=("$program")
[ -n "$before" ] && programs+=("$before")
echo "idle wake-ups of the whole program (all threads, voluntary + involuntary), after ${rest} s at rest, over ${seconds} s:"
for p in "${programs[@]}"; do
    echo "  $p: dummy audio: $(wakeups "$p" off);  dummy audio, Num Lock on: $(wakeups "$p" numlock)"
done
echo "  (figures measured before the device was closed at rest: ~900 /s with dummy audio; ~98 /s more with Num Lock on)"
echo "click: key press to its first sample at the audio driver (median (min-max) of 5):"
for p in "${programs[@]}"; do
    echo "  $p: $(click_delays "$p")"
done
