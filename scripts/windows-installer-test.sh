#!/usr/bin/env bash
# Installs BUILD_DIR/tallyvault-<version>-setup.exe (default build-win) silently
# under wine, checks what it put in place, runs the installed command line,
# uninstalls it the way "Apps & features" does and checks what is left: the
# program, its Start-menu entries and its uninstall entry gone, the data folder
# and an archive in it untouched. Then once more on a French system, into a
# folder of the user's choice and updated there.
# One line a check; exits non-zero when any check fails.
#
# The wine prefix is BUILD_DIR/installer-test/wine, kept between runs (its first
# creation takes about half a minute); HOME points into the same folder, so
# that wine leaves the user's own files alone.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

build=${1:-build-win}
[[ -d $build ]] || { echo "installer test: no build folder $build" >&2; exit 1; }
build=$(cd "$build" && pwd)
cli=${CLI_EXE:-$build/src/tallyvault-cli.exe}
wizard=${WIZARD_EXE:-$build/src/ui-win32/tallyvault.exe}
version=$(sed -n 's/^project(Tallyvault VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
publisher=$(sed -n 's/^set(CPACK_PACKAGE_VENDOR "\(.*\)")$/\1/p' cmake/Packaging.cmake)
setup=$build/tallyvault-$version-setup.exe

work=$build/installer-test
export WINEPREFIX=$work/wine
export WINEARCH=win64 WINEDEBUG=-all
# No .NET or Gecko installers, and no desktop menu entries made from the links.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export HOME=$work/home
unset DISPLAY
drive_c=$WINEPREFIX/drive_c
install_dir=$drive_c/Program\ Files/Tallyvault
menu_dir=$drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Tallyvault
data_dir=$drive_c/ProgramData/HARLAN\ BRISTOW/Tallyvault
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tallyvault'
installed_cli='C:\Program Files\Tallyvault\tallyvault-cli.exe'
desktop_link=$drive_c/users/Public/Desktop/Tallyvault.lnk

failures=0
pass() { echo "ok    $1"; }
fail() { echo "FAIL  $1${2:+: $2}"; failures=$((failures + 1)); }
check() { # check DESCRIPTION COMMAND...: passes when the command succeeds
    local what=$1; shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}
fatal() { fail "$@"; echo "installer test: stopped, $failures check(s) failed" >&2; exit 1; }

# reg's answer (stdout and stderr, no CRs) to a query of the uninstall key with
# the options given. A query that prints nothing at all (seen once on a new
# prefix) is asked again.
query_key() {
    local out
    for _ in 1 2 3; do
        out=$(wine reg query "$uninstall_key" "$@" 2>&1 | tr -d '\r')
        [[ -n $out ]] && break
    done
    printf '%s\n' "$out"
}
# The value of one entry of the uninstall key, as reg prints it.
reg_value() { query_key /reg:64 /v "$1" | sed -n "s/^    $1    REG_[A-Z_]*    //p"; }
check_reg() { # check_reg NAME EXPECTED
    local got
    got=$(reg_value "$1")
    if [[ $got == "$2" ]]; then pass "registry $1 = $2"; else fail "registry $1 = $2" "found '$got'"; fi
}
# reg says the uninstall key does not exist in the registry view given (32 or 64).
key_absent() { query_key "/reg:$1" | grep -q 'Unable to find the specified registry key'; }
# Runs a Windows program and waits until every process of the prefix has ended
# (the uninstaller hands over to a copy of itself and returns at once).
# wine_locale, when set, holds the locale the programs see.
wine_locale=()
run_and_wait() { env "${wine_locale[@]}" wine "$@"; local status=$?; wineserver -w; return $status; }
# The files below the data folder with their digests, to see that nothing changed.
data_snapshot() { (cd "$data_dir" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum); }
# Uninstalls as "Apps & features" does, with the registered quiet command.
uninstall_quietly() {
    local quiet uninstaller
    quiet=$(reg_value QuietUninstallString)
    uninstaller=${quiet#\"}
    uninstaller=${uninstaller%%\"*}
    [[ $quiet == "\"$uninstaller\" /S" ]] || return 1
    run_and_wait "$uninstaller" /S
}
# The names in a folder, sorted, each followed by SEPARATOR.
names() { find "$1" -mindepth 1 -maxdepth 1 -printf '%f\0' 2>/dev/null | LC_ALL=C sort -z | tr '\0' "$2"; }
# check_links DESCRIPTION EXPECTED: the Start-menu folder holds exactly these links.
check_links() {
    local got
    got=$(names "$menu_dir" '|')
    if [[ $got == "$2" ]]; then pass "$1"; else fail "$1" "found '$got'"; fi
}
# uninstall_and_check LABEL PROGRAM_DIR: uninstalls, then checks that the
# program, its links and its key are gone and the data folder is as it was.
uninstall_and_check() {
    uninstall_quietly
    local status=$?
    check "${1}silent uninstall (QuietUninstallString), exit status 0" test $status = 0
    check "${1}program folder removed" test ! -e "$2"
    check "${1}Start-menu folder removed" test ! -e "$menu_dir"
    check "${1}desktop shortcut removed" test ! -e "$desktop_link"
    check "${1}uninstall registry key removed" key_absent 64
    check "${1}data folder, settings, log, profile and archive untouched" \
        test -n "$before" -a "$(data_snapshot 2>/dev/null)" = "$before"
}
# The installed command line, started from another folder than its own.
run_cli() { (cd "$work" && wine "$installed_cli" "$@"); }

[[ -f $setup ]] || fatal "setup program $setup" "missing: run scripts/windows-installer.sh"
[[ -f $cli ]] || fatal "command line $cli" "missing"
[[ -f $wizard ]] || fatal "wizard $wizard" "missing"
command -v wine >/dev/null || fatal "wine" "not installed (Debian package wine)"

# --- The setup program itself
# version_entry KEY VALUE: the setup's version resource holds KEY with VALUE.
version_entry() { strings -el "$setup" | grep -A1 -x "$1" | grep -qFx "$2"; }
check "setup's version information: ProductVersion $version" version_entry ProductVersion "$version"
check "setup's version information: CompanyName $publisher" version_entry CompanyName "$publisher"

# --- A prefix without any trace of an earlier run
mkdir -p "$work" "$HOME"
wineserver -k 2>/dev/null
if [[ ! -f $WINEPREFIX/system.reg ]]; then
    wine wineboot --init >/dev/null 2>&1
    wineserver -w
fi
[[ -f $WINEPREFIX/system.reg ]] || fatal "wine prefix $WINEPREFIX" "could not be created"
wine reg delete "$uninstall_key" /f >/dev/null 2>&1
rm -rf "$install_dir" "$menu_dir" "$drive_c/ProgramData/HARLAN BRISTOW"
export LC_ALL=C.UTF-8

# --- Install, English system
run_and_wait "$setup" /S
status=$?
[[ $status == 0 ]] || fatal "silent install" "exit status $status"
pass "silent install (/S), exit status 0"

check "tallyvault.exe installed, same bytes as the build's" cmp -s "$wizard" "$install_dir/tallyvault.exe"
check "tallyvault-cli.exe installed, same bytes as the build's" cmp -s "$cli" "$install_dir/tallyvault-cli.exe"
for page in FAQ_en.htm FAQ_fr.htm; do
    check "$page installed beside the program, same bytes" cmp -s "src/ui/help/$page" "$install_dir/$page"
done
check "uninstaller installed" test -f "$install_dir/Uninstall.exe"
check "nothing else in the program folder" \
    test "$(names "$install_dir" ' ')" = "FAQ_en.htm FAQ_fr.htm Uninstall.exe tallyvault-cli.exe tallyvault.exe "
check "installer created no data folder" test ! -e "$drive_c/ProgramData/HARLAN BRISTOW"

check_links "Start menu Tallyvault: the wizard, both help pages and the uninstaller, in English" \
    "Aide de Tallyvault (français).lnk|Tallyvault Help (English).lnk|Tallyvault.lnk|Uninstall Tallyvault.lnk|"
check "Start-menu link Tallyvault starts the installed wizard" \
    grep -qFx 'C:\Program Files\Tallyvault\tallyvault.exe' <(strings "$menu_dir/Tallyvault.lnk")
check "no desktop shortcut unless asked for" test ! -e "$desktop_link"
check "English help link opens the installed FAQ_en.htm" \
    grep -qFx 'C:\Program Files\Tallyvault\FAQ_en.htm' <(strings "$menu_dir/Tallyvault Help (English).lnk")
check "French help link opens the installed FAQ_fr.htm" \
    grep -qFx 'C:\Program Files\Tallyvault\FAQ_fr.htm' <(strings "$menu_dir/Aide de Tallyvault (français).lnk")

check_reg DisplayName Tallyvault
check_reg DisplayVersion "$version"
check_reg Publisher "$publisher"
check_reg InstallLocation 'C:\Program Files\Tallyvault'
check_reg UninstallString '"C:\Program Files\Tallyvault\Uninstall.exe"'
check_reg QuietUninstallString '"C:\Program Files\Tallyvault\Uninstall.exe" /S'
check_reg DisplayIcon 'C:\Program Files\Tallyvault\Uninstall.exe,0'
check_reg NoModify 0x1
check_reg NoRepair 0x1
size=$(reg_value EstimatedSize)
check "registry EstimatedSize ($size KiB) near the program folder's size" \
    test $((size)) -ge $(($(du -sk "$install_dir" | cut -f1) / 2)) -a $((size)) -gt 0
check "uninstall entry in the 64-bit registry view only" \
    key_absent 32
check "listed by wine's \"Apps & features\" (uninstaller --list)" \
    grep -q '|||Tallyvault$' <(wine uninstaller --list 2>/dev/null | tr -d '\r')

# --- The installed wizard: it finds its help pages beside itself, and the
# Start-menu link's program opens its window (seen in the log of its data folder).
out=$(cd "$work" && wine 'C:\Program Files\Tallyvault\tallyvault.exe' --help 2>&1 | tr -d '\r')
check "installed tallyvault.exe --help: both help pages found beside it" \
    test -n "$(grep -F 'C:\Program Files\Tallyvault\FAQ_en.htm' <<<"$out")" -a \
         -n "$(grep -F 'C:\Program Files\Tallyvault\FAQ_fr.htm' <<<"$out")" -a -z "$(grep -F '(missing)' <<<"$out")"
if command -v xvfb-run >/dev/null; then
    rm -rf "$work/wizard-data"
    mkdir -p "$work/wizard-data"
    target=$(strings "$menu_dir/Tallyvault.lnk" | grep -x 'C:\\.*tallyvault\.exe' | head -n 1)
    (cd "$work" && timeout 60 xvfb-run -a bash -c "wine '$target' --data-dir wizard-data >/dev/null 2>&1 & sleep 20; wineserver -k" ) >/dev/null 2>&1
    check "the Start-menu link's program opens the wizard's window" \
        grep -q 'Tallyvault .* application started' "$work/wizard-data/Tallyvault.log"
else
    fail "the Start-menu link's program opens the wizard's window" "xvfb-run not installed"
fi

# --- The installed command line
out=$(run_cli --help 2>&1)
status=$?
check "installed tallyvault-cli --help: exit status 0 and usage text" \
    test $status = 0 -a -n "$(grep 'Usage: tallyvault-cli' <<<"$out")"
out=$(run_cli --version 2>&1)
check "installed tallyvault-cli --version names $version" grep -q "$version" <<<"$out"
rm -rf "$work/own-data"
# A folder named relative to the current one (run_cli starts in $work).
run_cli --data-dir own-data settings >/dev/null 2>&1
status=$?
check "tallyvault-cli --data-dir own-data settings: exit status 0, Tallyvault.ini written there" \
    test $status = 0 -a -f "$work/own-data/Tallyvault.ini"
run_cli settings >/dev/null 2>&1
status=$?
check "tallyvault-cli settings: exit status 0, creates the data folder with Tallyvault.ini" \
    test $status = 0 -a -f "$data_dir/Tallyvault.ini"

# What the user has made by now: an archive and a card profile in the data folder.
mkdir -p "$data_dir/archives" "$data_dir/profiles"
printf 'ArchiveNo;Block\r\n1;1\r\n' >"$data_dir/archives/SMC_0001_2026_12_09_10_00_00.csv"
printf '[0001]\r\nLastArchivedBlockNum=1\r\n' >"$data_dir/profiles/SMCProfile.ini"
before=$(data_snapshot)

# --- Uninstall
uninstall_and_check "" "$install_dir"

# --- On a French system (a French locale is built here, since the machine may
# have none): installed into a folder of the user's choice, then updated.
mkdir -p "$work/locale"
if [[ -d $work/locale/fr_FR.UTF-8 ]] ||
    localedef -i fr_FR -f UTF-8 "$work/locale/fr_FR.UTF-8" 2>/dev/null; then
    wineserver -k 2>/dev/null
    wine_locale=(LOCPATH="$work/locale" LC_ALL=fr_FR.UTF-8)
    chosen_dir=$drive_c/Apps/Tallyvault
    rm -rf "$drive_c/Apps"
    run_and_wait "$setup" /S '/D=C:\Apps\Tallyvault'
    first=$?
    run_and_wait "$setup" /S /DESKTOP
    update=$?
    check "French system: install with /D=C:\Apps\Tallyvault, then an update without /D (with /DESKTOP): exit status 0" \
        test $first = 0 -a $update = 0
    check "French system: the update went into the chosen folder, none in Program Files" \
        test -f "$chosen_dir/tallyvault-cli.exe" -a -f "$chosen_dir/tallyvault.exe" -a ! -e "$install_dir"
    check "French system: /DESKTOP put the wizard's shortcut on the desktop" \
        grep -qFx 'C:\Apps\Tallyvault\tallyvault.exe' <(strings "$desktop_link")
    check_reg InstallLocation 'C:\Apps\Tallyvault'
    check_links "French system: the uninstaller's link named in French" \
        "Aide de Tallyvault (français).lnk|Désinstaller Tallyvault.lnk|Tallyvault Help (English).lnk|Tallyvault.lnk|"
    uninstall_and_check "French system: " "$chosen_dir"
    wineserver -k 2>/dev/null
else
    fail "French system" "localedef could not build fr_FR.UTF-8"
fi

if ((failures)); then
    echo "installer test: $failures check(s) failed" >&2
    exit 1
fi
echo "installer test: all checks passed"
