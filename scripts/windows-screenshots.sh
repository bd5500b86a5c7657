#!/usr/bin/env bash
# PNGs of the Windows wizard's window under wine and Xvfb, in English and
# French, into BUILD_WIN/screenshots-win32/: the real pages on the way through
# an archive of a generated card, a verification of it and a date range (the
# face's test program walks them and saves each page), and the settings dialog
# (on the stand-in demo).
#   scripts/windows-screenshots.sh [BUILD_WIN]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build-win}" && pwd)
demo=$build/tests/ui-win32/win32_face_demo.exe
walker=$build/tests/ui-win32/tests_ui_win32.exe
out=$build/screenshots-win32
wait_seconds=${TV_SCREENSHOT_WAIT:-12}

die() { echo "windows-screenshots: $*" >&2; exit 1; }
[[ -f $demo && -f $walker ]] || die "$demo or $walker not found: run 'make windows' first"
command -v xvfb-run >/dev/null || die "xvfb-run not found (Debian package xvfb)"
command -v import >/dev/null || die "import not found (Debian package imagemagick)"

# The prefix of the window tests (see tests/ui-win32/CMakeLists.txt).
export TV_WINEPREFIX="$build/wineprefix-gui"
mkdir -p "$out"
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT

# One picture: the program started, given time to draw, the screen taken.
shoot() {
    local png=$1
    shift
    xvfb-run -a -s "-screen 0 1000x720x24" bash -c '
        png=$1; wait_seconds=$2; shift 2
        "$@" >/dev/null 2>&1 &
        pid=$!
        sleep "$wait_seconds"
        import -window root "$png"
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true' shoot "$png" "$wait_seconds" "$here/cmake/windows/wine-run.sh" "$demo" "$@"
    echo "$png"
}

for lang in en fr; do
    flags=()
    language=English
    [[ $lang == fr ]] && flags=(--french) && language=French
    rm -rf "${data:?}"/*
    xvfb-run -a -s "-screen 0 1000x720x24" env TV_SHOT_DIR="Z:${data//\//\\}" TV_SHOT_LANGUAGE=$language \
        "$here/cmake/windows/wine-run.sh" "$walker" --gtest_filter='*PicturesOfThePages' >"$data/walk.log" 2>&1 ||
        { cat "$data/walk.log" >&2; die "the walk through the pages failed"; }
    for bmp in "$data"/*.bmp; do
        convert "$bmp" "$out/$(basename "${bmp%.bmp}").png"
        echo "$out/$(basename "${bmp%.bmp}").png"
    done
    rm -rf "${data:?}"/*
    shoot "$out/settings-$lang.png" --settings "${flags[@]}" "Z:${data//\//\\}"
done
