#!/usr/bin/env bash
# The Windows program writes the same archives as the Linux one: for the same
# cards, the dX archives are byte for byte the same and the ZT4 archives the
# same but for the random signature values; and each program verifies and
# validates what the other wrote. One line a check; non-zero on a failure.
#   scripts/windows-identity-test.sh BUILD_LINUX BUILD_WIN
set -euo pipefail
linux_cli=$(cd "$1" && pwd)/src/tallyvault-cli
win_build=$(cd "$2" && pwd)
win_cli=$win_build/src/tallyvault-cli.exe
wine_run=$(cd "$(dirname "$0")/.." && pwd)/cmake/windows/wine-run.sh
export TV_WINEPREFIX=${TV_WINEPREFIX:-$win_build/wineprefix}
for program in "$linux_cli" "$win_cli"; do
    [ -x "$program" ] || { echo "identity: $program is missing (make build windows)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tallyvault-identity-XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check "what" command...
    local what=$1
    shift
    if "$@" >"$work/last.out" 2>&1; then
        echo "ok    $what"
    else
        echo "FAIL  $what"
        sed 's/^/      /' "$work/last.out"
        failures=$((failures + 1))
    fi
}
winpath() { local p=$1; echo "Z:${p//\//\\}"; }
win() { "$wine_run" "$win_cli" "$@" | tr -d '\r'; }
lin() { "$linux_cli" "$@"; }

# The same archive run by both programs, each on its own copy of the card
# (a ZT4 run writes Archive.log onto the card).
run_both() {  # run_both NAME archive-args...
    local name=$1
    shift
    for side in linux windows; do
        mkdir -p "$work/$name/$side/out" "$work/$name/$side/data"
        cp -r "$work/$name/card" "$work/$name/$side/card"
    done
    lin --data-dir "$work/$name/linux/data" --card-image "E=$work/$name/linux/card" --yes \
        archive "$@" --card E --to "$work/$name/linux/out" >"$work/$name/linux.txt"
    win --data-dir "$(winpath "$work/$name/windows/data")" \
        --card-image "E=$(winpath "$work/$name/windows/card")" --yes \
        archive "$@" --card E --to "$(winpath "$work/$name/windows/out")" >"$work/$name/windows.txt"
}

# The archives of two folders, alike: the same names, the same bytes (the
# signature values of ZT4 archives left out).
same_archives() {
    local a=$1 b=$2
    diff <(cd "$a" && find . -type f | sort) <(cd "$b" && find . -type f | sort) || return 1
    [ -n "$(cd "$a" && find . -type f)" ] || { echo "no archive written"; return 1; }
    while IFS= read -r f; do
        case "$f" in
        *.xml) cmp <(sed -E 's#<digisign>[^<]*</digisign>#<digisign/>#' "$a/$f") \
                   <(sed -E 's#<digisign>[^<]*</digisign>#<digisign/>#' "$b/$f") || return 1 ;;
        *) cmp "$a/$f" "$b/$f" || return 1 ;;
        esac
    done < <(cd "$a" && find . -type f)
}

each_file() {  # each_file FOLDER PATTERN command... (the file's path appended)
    local folder=$1 pattern=$2
    shift 2
    local found=0
    while IFS= read -r f; do
        found=1
        "$@" "$f" || return 1
    done < <(find "$folder" -type f -name "$pattern")
    [ "$found" -eq 1 ]
}
lin_validate() { lin --data-dir "$work/v" validate "$1" >/dev/null; }
win_validate() { win --data-dir "$(winpath "$work/v")" validate "$(winpath "$1")" >/dev/null; }

cards=(
    "dx-plain|--family dx --days 12"
    "dx-shapes|--family dx --days 9 --split-store --origin-incident C --closure-sectors 3 --incident-after-closures"
    "zt4-plain|--family zt4 --days 12"
    "zt4-year-end|--family zt4 --start 2016-12-25 --days 12 --split-store --closure-sectors 2"
)
for entry in "${cards[@]}"; do
    name=${entry%%|*}
    # shellcheck disable=SC2086
    lin make-card --out "$work/$name/card" ${entry#*|} >/dev/null
    run_both "$name" complete
    check "$name: complete archives alike" same_archives "$work/$name/linux/out" "$work/$name/windows/out"
    check "$name: SMCProfile.ini alike" cmp "$work/$name/linux/data/SMCProfile.ini" \
        "$work/$name/windows/data/SMCProfile.ini"
    case "$name" in
    dx-*)
        check "$name: Linux verifies the Windows archives" lin --data-dir "$work/v" verify "$work/$name/windows/out"
        check "$name: Windows verifies the Linux archives" \
            win --data-dir "$(winpath "$work/v")" verify "$(winpath "$work/$name/linux/out")"
        ;;
    zt4-*)
        check "$name: Linux validates the Windows archives" each_file "$work/$name/windows/out" '*.xml' lin_validate
        check "$name: Windows validates the Linux archives" each_file "$work/$name/linux/out" '*.xml' win_validate
        check "$name: Linux validates the Windows Archive.log" lin_validate "$work/$name/windows/card/Archive.log"
        check "$name: Windows validates the Linux Archive.log" win_validate "$work/$name/linux/card/Archive.log"
        ;;
    esac
done

# A date-based run as well, of one card of each family.
for name in dx-plain zt4-plain; do
    mkdir -p "$work/$name-date"
    cp -r "$work/$name/card" "$work/$name-date/card"
    run_both "$name-date" date --from 2015-12-23 --until 2015-12-27
    check "$name: date-based archives alike" same_archives "$work/$name-date/linux/out" \
        "$work/$name-date/windows/out"
done

if [ "$failures" -gt 0 ]; then
    echo "identity: $failures check(s) failed" >&2
    exit 1
fi
echo "identity: every check passed"
