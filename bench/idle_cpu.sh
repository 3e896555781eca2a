#!/usr/bin/env bash
# The calculator's CPU use while nobody touches it: starts it under an X
# server of its own, lets the start-up pass, then reads the CPU time of each
# of its threads from /proc over 10 seconds and prints it as a percentage of
# one core: the whole program, the main thread (the main loop; target: under
# 0.05 %, with its wakeups a second) and the audio thread, SDL_mixer's.
#
# usage: bench/idle_cpu.sh [PROGRAM]     (PROGRAM defaults to build/tarno)
# The sound goes to SDL's dummy audio driver, which paces its thread like a
# real device; SDL_AUDIODRIVER in the environment chooses another.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/xvfb.sh
program=${1:-build/tarno}
seconds=10
[ -x "$program" ] || { echo "idle_cpu: no program at $program (build it first)" >&2; exit 2; }

scratch=$(mktemp -d)
xvfb_pid=
calculator_pid=
finish() {
    [ -n "$calculator_pid" ] && kill "$calculator_pid" 2>/dev/null && wait "$calculator_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$scratch"
}
trap finish EXIT

start_xvfb 320x240x16 idle_cpu

DISPLAY=$xvfb_display SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} \
    "$program" 2>"$scratch/stderr" &
calculator_pid=$!
sleep 1

# One line per thread: its id, its CPU time in nanoseconds (the first field
# of schedstat) and its voluntary context switches, its wakeups.
threads() {
    local task
    for task in /proc/"$calculator_pid"/task/*; do
        local ns wakeups
        read -r ns _ <"$task/schedstat" || continue
        wakeups=$(awk '/^voluntary_ctxt_switches/ { print $2 }' "$task/status")
        echo "${task##*/} $ns $wakeups"
    done
}
threads >"$scratch/before"
sleep "$seconds"
threads >"$scratch/after"

# The calculator has two threads: the main one and SDL's audio thread (it
# starts no SDL timer, so SDL starts no timer thread). Both carry the
# program's name, so they are told apart by elimination: the main thread is
# the process itself; the audio thread is the busiest other one, and any
# further thread, which would be news, is listed by its id.
awk -v main="$calculator_pid" -v s="$seconds" '
    NR == FNR { ns[$1] = $2; wakeups[$1] = $3; next }
    {
        used = $2 - ns[$1]
        all += used
        n++
        if ($1 == main) { main_ns = used; main_wakeups = $3 - wakeups[$1] }
        else {
            others = others sprintf(" %d:%.3f%%", $1, 100 * used / 1e9 / s)
            if (used > audio_ns) { audio_ns = used; audio = $1 }
        }
    }
    END {
        printf "idle CPU over %d s, %% of one core: whole program %.3f %%, main thread %.3f %% (%.1f wakeups/s), audio thread %.3f %%; %d threads (others by id:%s)\n",
               s, 100 * all / 1e9 / s, 100 * main_ns / 1e9 / s, main_wakeups / s, 100 * audio_ns / 1e9 / s, n, others
    }' "$scratch/before" "$scratch/after"
