#!/usr/bin/env bash
# The calculator's CPU use while nobody touches it: starts it under an X
# server of its own, lets the start-up pass, then reads the CPU time of all
# its threads from /proc over 10 seconds and prints it as a percentage of
# one core. The target is under 2 %.
#
# usage: bench/idle_cpu.sh [PROGRAM]     (PROGRAM defaults to build/tarno)
# The sound goes to SDL's dummy audio driver, which paces its thread like a
# real device; SDL_AUDIODRIVER in the environment chooses another.
set -euo pipefail
cd "$(dirname "$0")/.."
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

Xvfb -displayfd 3 -screen 0 320x240x16 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$scratch/display" ] && break
    sleep 0.1
done
[ -s "$scratch/display" ] || { echo "idle_cpu: Xvfb did not start" >&2; exit 1; }

DISPLAY=":$(head -n1 "$scratch/display")" SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} \
    "$program" 2>"$scratch/stderr" &
calculator_pid=$!
sleep 1

# utime and stime, fields 14 and 15 of a stat file, in clock ticks.
cpu_ticks() {
    local fields
    read -r -a fields <"$1"
    echo $((fields[13] + fields[14]))
}
process_before=$(cpu_ticks "/proc/$calculator_pid/stat")
loop_before=$(cpu_ticks "/proc/$calculator_pid/task/$calculator_pid/stat")
sleep "$seconds"
process_after=$(cpu_ticks "/proc/$calculator_pid/stat")
loop_after=$(cpu_ticks "/proc/$calculator_pid/task/$calculator_pid/stat")

# The whole program, and its main thread alone: the rest are SDL's own
# threads (the timer thread, the audio thread).
awk -v all=$((process_after - process_before)) -v loop=$((loop_after - loop_before)) \
    -v hz="$(getconf CLK_TCK)" -v s="$seconds" -v threads="$(ls "/proc/$calculator_pid/task" | wc -l)" 'BEGIN {
        printf "idle CPU: %.2f %% of one core over %d s (main loop %.2f %%, %d threads in all)\n",
               100 * all / hz / s, s, 100 * loop / hz / s, threads
    }'
