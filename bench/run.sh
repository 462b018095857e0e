#!/bin/sh
# Runs every benchmark of a build folder (default: build) on one core.
set -eu
build="${1:-build}"
status=0
for bench in "$build"/bench/*_bench; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    taskset -c 0 "$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true || status=1
done
exit $status
