#!/usr/bin/env bash
# tarno-keys on long input: the peak memory (resident set, from GNU time)
# and the time of one run over 5 MB and over 50 MB of tokens on standard
# input, without and with --trace (its lines to /dev/null). Targets: the
# same memory for both lengths, under 10 MB, and under 2 s for 50 MB
# without --trace; the figures from before the tokens were run as they are
# read are printed beside them.
#
# usage: bench/keys_stream.sh [PROGRAM]     (PROGRAM defaults to build/tarno-keys)
# Run from the repository root after a build. Needs GNU time (/usr/bin/time,
# Debian's package "time").
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/tarno-keys}
[ -x "$program" ] || { echo "keys_stream: no program at $program (build it first)" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "keys_stream: needs GNU time at /usr/bin/time (apt-get install time)" >&2; exit 2; }

# 50 MB without --trace and with it, when every token was kept in memory
# until the last had been read (commit 8eb40ec, same input, measured on a
# 2-core x86-64 machine).
BEFORE_PLAIN="589 MB, 5.7 s"
BEFORE_TRACE="734 MB, 10.4 s"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# A mix of keys and taps, 44 bytes a line, 11 tokens: digits, an
# operation, equals, a tap on the 7, a tap on no key, shift on and off.
line='61 62 74 63 54 51 85 180,200 100,100 15 15'
for megabytes in 5 50; do
    awk -v n=$((megabytes * 1000000 / (${#line} + 1))) -v line="$line" \
        'BEGIN { for (i = 0; i < n; i++) print line }' >"$scratch/$megabytes"
done

# run MEGABYTES [OPTION]: "<peak MB>, <seconds> s" of one run.
run() {
    local input=$scratch/$1
    shift
    /usr/bin/time -f '%M %e' -o "$scratch/time" "$program" "$@" <"$input" >/dev/null
    awk '{ printf "%.1f MB, %.2f s", $1 / 1024, $2 }' "$scratch/time"
}

tokens=$(($(wc -w <"$scratch/50")))
echo "tarno-keys over standard input ($tokens tokens in 50 MB), peak memory and time:"
echo "  5 MB:            $(run 5)"
echo "  50 MB:           $(run 50)    (before: $BEFORE_PLAIN)"
echo "  5 MB, --trace:   $(run 5 --trace)"
echo "  50 MB, --trace:  $(run 50 --trace)    (before: $BEFORE_TRACE)"
