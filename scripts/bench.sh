#!/usr/bin/env bash
# Runs the benchmarks of the build.
set -euo pipefail
build=${1:-build}
found=0
run() {
    found=1
    echo "== $*"
    "$build/bench/$@"
}
[ -x "$build/bench/bench_zt4_validate" ] && run bench_zt4_validate 200
[ -x "$build/bench/bench_card_read" ] && run bench_card_read 100
if [ -x "$build/bench/bench_dx_archive" ]; then
    run bench_dx_archive 100 2000   # a busy scale: a closure group every 1.3 MB
    run bench_dx_archive 100 400    # a quiet one: a closure group every 0.3 MB
fi
[ -x "$build/bench/bench_zt4_archive" ] && run bench_zt4_archive 100 2000
[ -x "$build/bench/bench_dx_continue" ] && run bench_dx_continue 100 2000
[ -x "$build/bench/bench_dx_continue" ] && run bench_dx_continue 100 2000 zt4
if [ "$found" -eq 0 ]; then
    echo "nothing to show yet: the benchmarks arrive with the archive and validation commands"
fi
