#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, only those that
# are missing, and says what it installs.
set -euo pipefail

packages=(cmake ninja-build g++ make pkg-config qt6-base-dev qt6-svg-dev qt6-translations-l10n libssl-dev
          libgtest-dev libgmock-dev poppler-utils nlohmann-json3-dev appstream)
# --fuzz: what the libFuzzer harnesses need as well (clang and its fuzzer runtime).
if [ "${1:-}" = "--fuzz" ]; then
    packages+=(clang libclang-rt-dev)
fi
# --windows: the cross-build, wine for its tests, NSIS for its installer, and
# the source entries that Debian's openssl source is fetched through; FUSE 3 for
# the card reader stand-in that shows card images to wine as removable drives;
# rsvg-convert and Python for the pictures of the Windows wizard, ImageMagick for
# its screenshots.
if [ "${1:-}" = "--windows" ]; then
    packages=(cmake ninja-build make mingw-w64 wine wine64 nsis xvfb dpkg-dev googletest fuse3 libfuse3-dev
              nlohmann-json3-dev librsvg2-bin python3 imagemagick)
fi
# --package: what the Debian package is built and checked with.
if [ "${1:-}" = "--package" ]; then
    packages=(dpkg-dev file desktop-file-utils)
fi

# Source entries beside the binary ones, for `apt-get source`.
add_source_entries() {
    local list=/etc/apt/sources.list.d/tallyvault-deb-src.sources
    if apt-cache showsrc openssl 2>/dev/null | grep -q '^Version:' || [ -f "$list" ]; then
        return 0
    fi
    echo "deps: adding Debian's source entries ($list)"
    local entries=""
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && grep -q 'deb.debian.org\|debian-security' "$f" &&
            entries+=$(sed 's/^Types: deb$/Types: deb-src/' "$f")$'\n\n'
    done
    if [ -f /etc/apt/sources.list ]; then
        entries+=$(sed -n 's/^deb \(.*debian.*\)/deb-src \1/p' /etc/apt/sources.list)$'\n'
    fi
    $sudo tee "$list" >/dev/null <<<"$entries"
    sources_added=1
}

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
sources_added=0
if [ "${1:-}" = "--windows" ]; then add_source_entries; fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    if [ "$sources_added" -eq 1 ]; then $sudo apt-get update -qq; fi
    exit 0
fi

echo "deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
