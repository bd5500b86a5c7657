#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, only those that
# are missing, and says what it installs.
set -euo pipefail

packages=(cmake ninja-build g++ make pkg-config qt6-base-dev qt6-svg-dev qt6-translations-l10n libssl-dev
          libgtest-dev libgmock-dev)
# --fuzz: what the libFuzzer harnesses need as well (clang and its fuzzer runtime).
if [ "${1:-}" = "--fuzz" ]; then
    packages+=(clang libclang-rt-dev)
fi
# --windows: what the Windows build and its tests under wine need as well (the
# card reader stand-in mounts card images with FUSE 3).
if [ "${1:-}" = "--windows" ]; then
    packages+=(fuse3 libfuse3-dev)
fi
# --package: what the Debian package is built and checked with.
if [ "${1:-}" = "--package" ]; then
    packages=(dpkg-dev file desktop-file-utils)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "deps: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
