#!/usr/bin/env bash
# Runs the benchmarks of the build and gathers their targets into one table.
# A Windows build (build-win) runs under wine; its programs compare with their
# own SHA-256 of the same bytes, Windows having no sha256sum.
#   TV_BENCH_1GB=1   also measures the peak memory of a complete archive of a 1 GB card
#   TV_BENCH_AUDIT_MB=N   megabytes of dX archives for the report's cost (default 1024)
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
exe=""
runner=()
if [ -f "$build/bench/bench_dx_archive.exe" ]; then
    exe=.exe
    export TV_WINEPREFIX=${TV_WINEPREFIX:-$(cd "$build" && pwd)/wineprefix}
    runner=("$here/cmake/windows/wine-run.sh")
fi
has() { [ -f "$build/bench/$1$exe" ]; }
rows=$(mktemp)
out=$(mktemp)
trap 'rm -f "$rows" "$out"' EXIT
found=0
run() {
    found=1
    echo "== $*"
    # Summary rows ("| ...") go to the table; everything else is shown as it comes.
    "${runner[@]}" "$build/bench/$1$exe" "${@:2}" >"$out" || echo "   (failed: $*)"
    grep -v '^| ' "$out" || true
    grep '^| ' "$out" >>"$rows" || true
}
if has bench_signature; then
    run bench_signature 300
    if [ -z "$exe" ] && command -v openssl >/dev/null; then
        echo "== openssl speed ecdsap521 (the same library, for comparison)"
        openssl speed -seconds 1 ecdsap521 2>/dev/null | grep -E '^ *521 bits' || true
    fi
fi
has bench_zt4_validate && run bench_zt4_validate 200
has bench_card_read && run bench_card_read 100
if has bench_dx_archive; then
    run bench_dx_archive 100 2000   # a busy scale: a closure group every 1.3 MB
    run bench_dx_archive 100 400    # a quiet one: a closure group every 0.3 MB
    sizes="1 10 100"
    if [ "${TV_BENCH_1GB:-0}" = 1 ]; then sizes="$sizes 1024"; fi
    for mb in $sizes; do run bench_dx_archive "$mb" 2000 --memory; done
fi
has bench_zt4_archive && run bench_zt4_archive 100 2000
has bench_dx_continue && run bench_dx_continue 100 2000
has bench_dx_continue && run bench_dx_continue 100 2000 zt4
has bench_dx_audit && run bench_dx_audit "${TV_BENCH_AUDIT_MB:-1024}"
if [ "$found" -eq 0 ]; then
    echo "nothing to show yet: the benchmarks arrive with the archive and validation commands"
    exit 0
fi
echo
echo "== targets ($(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), $(nproc) cores)"
echo "| measure | figures (wall; cpu = user + system time) | ratio | target | |"
echo "|---|---|---|---|---|"
cat "$rows"
