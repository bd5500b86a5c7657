#!/usr/bin/env bash
# Runs the benchmarks of the build.
set -euo pipefail
build=${1:-build}
found=0
for b in "$build"/bench/bench_*; do
    [ -x "$b" ] || continue
    found=1
    echo "== $(basename "$b")"
    "$b"
done
if [ "$found" -eq 0 ]; then
    echo "nothing to show yet: the benchmarks arrive with the archive and validation commands"
fi
