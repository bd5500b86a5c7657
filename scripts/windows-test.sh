#!/usr/bin/env bash
# Runs the test programs of the Windows build under wine, then compares what
# the Windows and the Linux programs write for the same cards.
#   scripts/windows-test.sh BUILD_WIN BUILD_LINUX [JOBS]
set -euo pipefail
build=$(cd "$1" && pwd)
linux_build=$(cd "$2" && pwd)
jobs=${3:-$(nproc)}
here=$(cd "$(dirname "$0")/.." && pwd)
export TV_WINEPREFIX="$build/wineprefix"
# The prefix is made once, before programs start side by side in it.
"$here/cmake/windows/wine-run.sh" cmd /c exit >/dev/null 2>&1 || true
(cd "$build" && ctest --output-on-failure -j "$jobs")
echo "== the same archives from both programs"
"$here/scripts/windows-identity-test.sh" "$linux_build" "$build"
