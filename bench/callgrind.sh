#!/usr/bin/env bash
# Instructions per call of GenerateSolutionVector on the three small cases, counted by callgrind
# inside that function only (--toggle-collect) and taken as the difference between a run of
# SHORT calls and one of LONG calls, so that lazy binding and other first-call costs cancel.
#
# usage: bench/callgrind.sh [path/to/korvan_call_counts]   (default: the bench preset's build)
set -euo pipefail
cd "$(dirname "$0")/.."
program="${1:-build/bench/bench/korvan_call_counts}"
short=10
long=110
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

instructions() {  # case calls -> total instructions collected
    valgrind --tool=callgrind --toggle-collect=GenerateSolutionVector \
        --callgrind-out-file="$work/out" "$program" "$1" "$2" >/dev/null 2>"$work/log"
    sed -n 's/^summary: *//p' "$work/out"
}

printf '%-18s %12s\n' case instructions/call
for name in three_points seven_points ratio_1700_to_1; do
    first=$(instructions "$name" "$short")
    second=$(instructions "$name" "$long")
    printf '%-18s %12d\n' "$name" $(((second - first) / (long - short)))
done
