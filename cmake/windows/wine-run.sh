#!/usr/bin/env bash
# Runs a Windows program under wine for the tests: quiet, in the wine prefix
# TV_WINEPREFIX (default: wineprefix/ beside the program's build folder), with
# the program's exit status.
set -euo pipefail
prefix=${TV_WINEPREFIX:-}
if [ -z "$prefix" ]; then
    dir=$(cd "$(dirname "$1")" && pwd)
    while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
    prefix="$dir/wineprefix"
fi
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
# No Mono or Gecko installer, and no menu or file-type entries written for the
# desktop: wine keeps to its prefix, and its home folder lies inside it too.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME="$WINEPREFIX/home"
export WINEARCH=win64
mkdir -p "$HOME"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1 || true
    # A program that crashes ends at once instead of waiting for its crash
    # dialog to be closed.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
fi
exec wine "$@"
