#!/usr/bin/env bash
# The Windows command line on cards in a card reader, under wine, through the
# drive discovery a Windows computer has (no --card-image): a dX and a ZT4 card
# image are mounted with the card reader stand-in (FUSE), their mount points
# become removable drives of a wine prefix, and the Windows program lists,
# identifies and archives them. Its archives must verify and validate with the
# Linux program and equal what the Linux program writes for the same cards
# (ZT4: apart from the archive's own signature, which is new every time). A
# card behind a fixed drive must not be listed.
#
# usage: scripts/windows-card-drive-test.sh BUILD_LINUX BUILD_WIN
# Needs: the Linux build's tallyvault-cli and tv_card_reader, the Windows
# build's tallyvault-cli.exe, wine, FUSE (/dev/fuse, fusermount3).
set -uo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 BUILD_LINUX BUILD_WIN" >&2
    exit 2
fi
linux=$(realpath "$1")
win=$(realpath "$2")
cli="$linux/src/tallyvault-cli"
reader="$linux/tests/cardreader/tv_card_reader"
exe="$win/src/tallyvault-cli.exe"
[ -f "$exe" ] || exe=$(find "$win" -name tallyvault-cli.exe -print -quit 2>/dev/null)

die() {
    echo "card drives: $*" >&2
    failures=$((failures + 1))
    exit 1
}
failures=0
[ -x "$cli" ] || die "no Linux tallyvault-cli in $linux/src"
[ -x "$reader" ] || die "no card reader stand-in in $linux/tests/cardreader (FUSE 3 development files missing?)"
[ -n "$exe" ] && [ -f "$exe" ] || die "no tallyvault-cli.exe in $win"
command -v wine >/dev/null || die "wine is not installed"
[ -w /dev/fuse ] || die "/dev/fuse cannot be used here"

export WINEPREFIX="$win/wine-card-drives"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME="$WINEPREFIX/home"
mkdir -p "$HOME"
drives_key='HKLM\Software\Wine\Drives'

work=$(mktemp -d /tmp/tv-card-drives.XXXXXX)
readers=()
letters=()
started=$SECONDS

cleanup() {
    local pid mnt letter
    for pid in "${readers[@]}"; do
        kill -TERM "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    for mnt in "$work"/mnt-*; do
        [ -d "$mnt" ] || continue
        if mountpoint -q "$mnt"; then fusermount3 -u "$mnt" 2>/dev/null || umount -l "$mnt"; fi
    done
    if [ ${#letters[@]} -gt 0 ]; then
        for letter in "${letters[@]}"; do
            rm -f "$WINEPREFIX/dosdevices/$letter:"
            wine reg delete "$drives_key" /v "$letter:" /f >/dev/null 2>&1
        done
        wineserver -k 2>/dev/null
    fi
    if [ "$failures" -eq 0 ]; then rm -rf "$work"; else echo "card drives: the files are kept in $work" >&2; fi
}
trap cleanup EXIT
trap 'echo "card drives: interrupted" >&2; failures=$((failures + 1)); exit 1' INT TERM HUP

check() {  # check WHAT COMMAND...: one line for the check, the command's output on failure
    local what=$1 out
    shift
    if out=$("$@" 2>&1); then
        echo "ok    $what"
    else
        echo "FAIL  $what"
        printf '%s\n' "$out" | head -n 20 | sed 's/^/        /'
        failures=$((failures + 1))
    fi
}

# The Windows path of a path of this machine (wine's Z: is /).
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# win_cli NAME ARGS...: the Windows program, its output in NAME.out and
# NAME.err without the CR of its line ends; its exit status.
win_cli() {
    local name=$1
    shift
    # From the work folder, so that a relative path never lands anywhere else.
    (cd "$work" && timeout 600 wine "$exe" --data-dir "$(winpath "$work/data-win")" "$@") \
        >"$work/$name.out.crlf" 2>"$work/$name.err.crlf"
    local rc=$?
    tr -d '\r' <"$work/$name.out.crlf" >"$work/$name.out"
    tr -d '\r' <"$work/$name.err.crlf" >"$work/$name.err"
    return $rc
}

# ran RC NAME: a run of win_cli ended with status 0 (else what it said).
ran() {
    [ "$1" -eq 0 ] && return 0
    cat "$work/$2.out" "$work/$2.err"
    echo "exit status $1"
    return 1
}

linux_cli() { "$cli" --data-dir "$work/data-linux" "$@"; }

# Mounts a card image folder with the reader at mnt-NAME; extra reader options first.
mount_card() {
    local name=$1 image=$2 mnt="$work/mnt-$1"
    shift 2
    mkdir -p "$mnt"
    "$reader" "$@" "$image" "$mnt" >"$work/reader-$name.log" 2>&1 &
    readers+=($!)
    local i
    for i in $(seq 100); do
        mountpoint -q "$mnt" && return 0
        kill -0 "${readers[-1]}" 2>/dev/null || break
        sleep 0.1
    done
    cat "$work/reader-$name.log" >&2
    die "the card reader did not mount $image"
}

# Makes the folder drive LETTER: of the wine prefix, of the given wine drive
# type (floppy: removable; hd: fixed). Wine's mount manager reads the drive
# types when the prefix's server starts, so the server is restarted by the caller.
map_drive() {
    local letter=$1 folder=$2 type=$3
    letters+=("$letter")
    ln -sfn "$folder" "$WINEPREFIX/dosdevices/$letter:"
    wine reg add "$drives_key" /v "$letter:" /d "$type" /f >/dev/null 2>&1 || die "cannot set the type of drive $letter:"
}

# Archive files equal: the same names, the same bytes; ZT4 archives compared
# without the archive's own signature.
same_archives() {
    local a=$1 b=$2 f
    diff <(cd "$a" && find . -type f | sort) <(cd "$b" && find . -type f | sort) || return 1
    while IFS= read -r f; do
        case "$f" in
            *.xml) cmp <(sed 's#<digisign>[^<]*</digisign>#<digisign/>#' "$a/$f") \
                       <(sed 's#<digisign>[^<]*</digisign>#<digisign/>#' "$b/$f") || return 1 ;;
            *) cmp "$a/$f" "$b/$f" || return 1 ;;
        esac
    done < <(cd "$a" && find . -type f | sort)
}

# An Archive.log without what differs from run to run: the archive folder, the
# run's times and its signature.
log_without_run() {
    [ -f "$1" ] || return 1
    tr -d '\r' <"$1" | grep -v -e '^Archive file path' -e 'date time' | sed '/^Digital Signature:/,$d'
}

# The card files of the images behind the reader as they were made.
same_card_files() {
    local card f
    for card in dx zt4; do
        for f in "$work/ref-$card"/WORM*.DAT; do
            cmp "$f" "$work/$card/$(basename "$f")" || return 1
        done
    done
}

contains() { grep -qF -- "$2" "$1"; }
# A card list with the removable drives' cards and without the fixed one's.
lists_removable_only() { contains "$1" "(R:)" && ! contains "$1" "(T:)"; }
# A card list without a card (an entry with its UID) at the drive letter.
lists_no_card_at() { contains "$2" "(R:)" && ! grep -q "^[^[:space:]]\+ ($1:)" "$2"; }
nonempty_tree() { [ -n "$(find "$1" -type f -print -quit)" ]; }

# --- the cards: generated, and copies for the Linux program's runs ------------
"$cli" make-card --family dx --out "$work/dx" --days 3 --seed 18 >/dev/null || die "make-card dx failed"
"$cli" make-card --family zt4 --out "$work/zt4" --days 3 --seed 18 --split-store >/dev/null || die "make-card zt4 failed"
cp -a "$work/dx" "$work/ref-dx"
cp -a "$work/zt4" "$work/ref-zt4"
cp -a "$work/dx" "$work/fixed-dx"
cp -a "$work/dx" "$work/bare-dx"
mkdir -p "$work/out-linux/dx" "$work/out-linux/zt4" "$work/out-win/dx" "$work/out-win/zt4"

# What the Linux program makes of the same cards through its emulator.
ref="--card-image R=$work/ref-dx --card-image S=$work/ref-zt4"
linux_cli $ref cards >"$work/cards-linux.txt" || die "the Linux program cannot list the cards"
grep -qF '(R:)' "$work/cards-linux.txt" && grep -qF '(S:)' "$work/cards-linux.txt" ||
    die "the Linux program does not list both cards"
linux_cli $ref identify --card R >"$work/identify-linux-R.txt" || die "the Linux program refuses the dX card"
linux_cli $ref identify --card S >"$work/identify-linux-S.txt" || die "the Linux program refuses the ZT4 card"
linux_cli $ref --yes archive complete --card R --to "$work/out-linux/dx" >/dev/null || die "the Linux dX archive run failed"
linux_cli $ref --yes archive complete --card S --to "$work/out-linux/zt4" >/dev/null || die "the Linux ZT4 archive run failed"

# --- the card reader and the wine drives --------------------------------------
mount_card dx "$work/dx"
mount_card zt4 "$work/zt4" --busy-cycles 3
mount_card fixed "$work/fixed-dx"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || die "the wine prefix $WINEPREFIX cannot be made"
fi
map_drive r "$work/mnt-dx" floppy
map_drive s "$work/mnt-zt4" floppy
map_drive t "$work/mnt-fixed" hd
map_drive u "$work/bare-dx" floppy
wineserver -k 2>/dev/null
wineserver -w
echo "card drives: R: dX and S: ZT4 as removable drives, T: a dX card as a fixed drive," \
    "U: a bare image folder (no reader) as a removable drive"

# --- the Windows program on them -------------------------------------------
win_cli cards cards
check "cards runs" ran $? cards
check "cards lists the dX card at R: as the Linux program does" \
    contains "$work/cards.out" "$(grep -F '(R:)' "$work/cards-linux.txt")"
check "cards lists the ZT4 card at S: as the Linux program does" \
    contains "$work/cards.out" "$(grep -F '(S:)' "$work/cards-linux.txt")"
check "cards does not list the card behind the fixed drive T:" lists_removable_only "$work/cards.out"
check "cards takes no bare image folder at U: for a card (nothing answers its command sector)" \
    lists_no_card_at U "$work/cards.out"
win_cli identify-U identify --card U
check "identify --card U refuses the bare image folder" test $? -eq 1

for letter in R S; do
    win_cli identify-$letter identify --card $letter
    check "identify --card $letter accepts the card" ran $? identify-$letter
    check "identify --card $letter says what the Linux program says" \
        diff "$work/identify-linux-$letter.txt" "$work/identify-$letter.out"
done

win_cli archive-R --yes archive complete --card R --to "$(winpath "$work/out-win/dx")"
check "archive complete --card R" ran $? archive-R
win_cli archive-S --yes archive complete --card S --to "$(winpath "$work/out-win/zt4")"
check "archive complete --card S" ran $? archive-S

# --- the Windows program's archives, checked by the Linux program ---------------
check "dX archive written" nonempty_tree "$work/out-win/dx"
check "dX archive byte for byte the Linux program's" same_archives "$work/out-linux/dx" "$work/out-win/dx"
check "dX archive verifies with the Linux program" linux_cli verify "$work/out-win/dx"
check "dX archive verifies against the card with the Linux program" \
    linux_cli --card-image R="$work/ref-dx" verify "$work/out-win/dx" --card R
check "ZT4 archive written" nonempty_tree "$work/out-win/zt4"
check "ZT4 archive equal to the Linux program's but for its signature" \
    same_archives "$work/out-linux/zt4" "$work/out-win/zt4"
while IFS= read -r xml; do
    check "ZT4 archive $(basename "$xml") validates with the Linux program" linux_cli validate "$xml"
done < <(find "$work/out-win/zt4" -name '*.xml' | sort)
check "the card's Archive.log written through the reader validates with the Linux program" \
    linux_cli validate "$work/zt4/Archive.log"
check "the card's Archive.log tells what the Linux program's tells" \
    diff <(log_without_run "$work/ref-zt4/Archive.log") <(log_without_run "$work/zt4/Archive.log")
# (Blank lines aside: wine's WritePrivateProfileStringW puts none between sections.)
check "SMCProfile.ini holds what the Linux program's holds" \
    diff <(grep -v $'^\r*$' "$work/data-linux/SMCProfile.ini") <(grep -v $'^\r*$' "$work/data-win/SMCProfile.ini")
check "the card files of both images are unchanged" same_card_files

# And the other way round: the Linux program's archives checked by the Windows
# program, the dX one against the card in the reader.
win_cli verify-R verify "$(winpath "$work/out-linux/dx")" --card R
check "the Linux program's dX archive verifies against the card at R: with the Windows program" ran $? verify-R
while IFS= read -r xml; do
    win_cli validate-linux validate "$(winpath "$xml")"
    check "the Linux program's ZT4 archive $(basename "$xml") validates with the Windows program" ran $? validate-linux
done < <(find "$work/out-linux/zt4" -name '*.xml' | sort)

echo "card drives: $failures failed, $((SECONDS - started)) s"
[ "$failures" -eq 0 ]
