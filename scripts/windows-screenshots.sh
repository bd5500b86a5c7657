#!/usr/bin/env bash
# PNGs of the Windows wizard's window under wine and Xvfb, in English and
# French, into BUILD_WIN/screenshots-win32/: the real pages on the ways through
# archives of generated dX and ZT4 cards, verifications and validations, a date
# range, with the settings dialog and the questions over the window (the face's
# test program walks them and saves each picture).
#   scripts/windows-screenshots.sh [BUILD_WIN]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build-win}" && pwd)
walker=$build/tests/ui-win32/tests_ui_win32.exe
out=$build/screenshots-win32

die() { echo "windows-screenshots: $*" >&2; exit 1; }
[[ -f $walker ]] || die "$walker not found: run 'make windows' first"
command -v xvfb-run >/dev/null || die "xvfb-run not found (Debian package xvfb)"
command -v convert >/dev/null || die "convert not found (Debian package imagemagick)"

# A prefix of the pictures' own, where wine draws the windows' title bars
# itself (Xvfb has no window manager to draw them).
export TV_WINEPREFIX="$build/wineprefix-shots"
"$here/cmake/windows/wine-run.sh" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f \
    >/dev/null 2>&1 || die "the wine prefix $TV_WINEPREFIX could not be set up"
# Its server, started without a display, ends before the windows need one.
WINEPREFIX="$TV_WINEPREFIX" wineserver -w
mkdir -p "$out"
rm -f "$out"/*.png
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT

for lang in en fr; do
    language=English
    [[ $lang == fr ]] && language=French
    rm -rf "${data:?}"/*
    xvfb-run -a -s "-screen 0 1000x720x24" env TV_SHOT_DIR="Z:${data//\//\\}" TV_SHOT_LANGUAGE=$language \
        "$here/cmake/windows/wine-run.sh" "$walker" --gtest_filter='Win32PageShots.*' >"$data/walk.log" 2>&1 ||
        { cat "$data/walk.log" >&2; die "the walk through the pages failed ($lang)"; }
    shopt -s nullglob
    bmps=("$data"/*.bmp)
    [[ ${#bmps[@]} -gt 0 ]] || { cat "$data/walk.log" >&2; die "no picture was taken ($lang)"; }
    for bmp in "${bmps[@]}"; do
        convert "$bmp" "$out/$(basename "${bmp%.bmp}").png"
        echo "$out/$(basename "${bmp%.bmp}").png"
    done
done
