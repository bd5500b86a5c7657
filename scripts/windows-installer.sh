#!/usr/bin/env bash
# Builds the Windows installer tallyvault-<version>-setup.exe into BUILD_DIR
# (default build-win) with NSIS, from the cross-built wizard
# BUILD_DIR/src/ui-win32/tallyvault.exe (WIZARD_EXE=...) and command line
# BUILD_DIR/src/tallyvault-cli.exe (CLI_EXE=... names another one) and the help
# pages. The version is the project's (CMakeLists.txt), the publisher the
# vendor of the Debian package (cmake/Packaging.cmake). Prints the setup's path.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

build=${1:-build-win}
mkdir -p "$build"
build=$(cd "$build" && pwd)
cli=${CLI_EXE:-$build/src/tallyvault-cli.exe}
wizard=${WIZARD_EXE:-$build/src/ui-win32/tallyvault.exe}

die() { echo "windows-installer: $*" >&2; exit 1; }
command -v makensis >/dev/null || die "makensis not found (Debian package nsis)"
[[ -f $cli ]] || die "$cli not found: run 'make windows' first"
[[ -f $wizard ]] || die "$wizard not found: run 'make windows' first"

version=$(sed -n 's/^project(Tallyvault VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || die "no three-number project version in CMakeLists.txt"
publisher=$(sed -n 's/^set(CPACK_PACKAGE_VENDOR "\(.*\)")$/\1/p' cmake/Packaging.cmake)
[[ -n $publisher ]] || die "no CPACK_PACKAGE_VENDOR in cmake/Packaging.cmake"

# The readme page: UTF-8 with a byte-order mark and CRLF line ends, as the
# installer's text box wants them.
stage=$build/installer
mkdir -p "$stage"
for lang in en fr; do
    {
        printf '\xef\xbb\xbf'
        sed -e "s/@VERSION@/$version/g" -e "s/@PUBLISHER@/$publisher/g" -e 's/$/\r/' \
            "packaging/windows/readme_$lang.txt"
    } >"$stage/readme_$lang.txt"
done

setup=$build/tallyvault-$version-setup.exe
makensis -V2 -WX -INPUTCHARSET UTF8 \
    -DVERSION="$version" \
    -DPUBLISHER="$publisher" \
    -DWIZARD_EXE="$wizard" \
    -DCLI_EXE="$cli" \
    -DHELP_DIR="$root/src/ui/help" \
    -DREADME_EN="$stage/readme_en.txt" \
    -DREADME_FR="$stage/readme_fr.txt" \
    -DOUT_FILE="$setup" \
    packaging/windows/Tallyvault.nsi
echo "installer: $setup"
