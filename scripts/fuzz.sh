#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang (ASan + UBSan), generates
# their seed corpora and runs each for the given seconds. Fails on any finding.
# usage: scripts/fuzz.sh BUILD-DIR SECONDS [JOBS]
# One harness, longer:  build-fuzz/fuzz/DxVerifierFuzzer -max_total_time=3600 \
#                         build-fuzz/corpus/DxVerifierFuzzer build-fuzz/fuzz/seeds/DxVerifierFuzzer
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
seconds=${2:-60}
jobs=${3:-2}

scripts/deps.sh --fuzz
if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTV_FUZZ=ON
fi
cmake --build "$build" -j "$jobs"

# The harnesses write each input to a file (the parsers read files) and flush INI
# files: in memory that is many times faster.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$build/findings"
failed=()
for fuzzer in DxVerifierFuzzer DxCardVerifierFuzzer XmlReaderFuzzer Zt4ValidationFuzzer CardIdentityFuzzer \
              IniConfigFuzzer ArchiveLogRecordsFuzzer; do
    corpus="$build/corpus/$fuzzer"
    mkdir -p "$corpus"
    echo "fuzz: $fuzzer for ${seconds}s"
    if ! "$build/fuzz/$fuzzer" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
            -print_final_stats=1 -artifact_prefix="$build/findings/$fuzzer-" \
            "$corpus" "$build/fuzz/seeds/$fuzzer" >"$build/findings/$fuzzer.log" 2>&1; then
        echo "fuzz: $fuzzer FOUND A PROBLEM (see $build/findings/$fuzzer.log)"
        tail -n 40 "$build/findings/$fuzzer.log"
        failed+=("$fuzzer")
    else
        grep -E "^stat::number_of_executed_units" "$build/findings/$fuzzer.log" || true
    fi
done
if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzz: findings in ${failed[*]}"
    exit 1
fi
echo "fuzz: no findings"
