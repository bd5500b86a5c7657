#!/usr/bin/env bash
# Runs the test programs of the Windows build under wine.
#   scripts/windows-test.sh BUILD_WIN [JOBS]
set -euo pipefail
build=$(cd "$1" && pwd)
jobs=${2:-$(nproc)}
here=$(cd "$(dirname "$0")/.." && pwd)
export TV_WINEPREFIX="$build/wineprefix"
# The prefix is made once, before programs start side by side in it.
"$here/cmake/windows/wine-run.sh" cmd /c exit >/dev/null 2>&1 || true
cd "$build"
ctest --output-on-failure -j "$jobs"
