#!/usr/bin/env bash
# The browser build's tarno-keys under node against the native one, over many
# random key chains: the differential of the test suite
# (tests/web/keys_differential_test.cpp) at a larger count and any seed. It
# prints the sequences and traced lines compared and how many lines show a
# NaN of the other sign, and fails, naming them, when any other text differs.
#
#   bench/web_differential.sh [SEQUENCES [SEED]]     (default 2000 and 1)
#
# Run from the repository root after `./setup test` (which builds
# build/web_tests, build/tarno-keys and, as ./setup web does,
# build/web-obj/bin/tarno-keys.js). Needs node. Another test program can be
# named in TARNO_WEB_TESTS.
set -euo pipefail

TESTS=${TARNO_WEB_TESTS:-build/web_tests}
if [ ! -x "$TESTS" ] || [ ! -f build/web-obj/bin/tarno-keys.js ]; then
    echo "web_differential.sh: no $TESTS or build/web-obj/bin/tarno-keys.js; run ./setup test first, from the repository root" >&2
    exit 1
fi
start=$(date +%s)
status=0
TARNO_DIFFERENTIAL_SEQUENCES=${1:-2000} TARNO_DIFFERENTIAL_SEED=${2:-1} \
    "$TESTS" --gtest_filter='WebDifferential.*' >"${TMPDIR:-/tmp}/web_differential.$$" 2>&1 || status=$?
grep -E 'sequences,|natively|SKIPPED' "${TMPDIR:-/tmp}/web_differential.$$" || cat "${TMPDIR:-/tmp}/web_differential.$$"
rm -f "${TMPDIR:-/tmp}/web_differential.$$"
echo "$(($(date +%s) - start)) s"
exit "$status"
