#!/usr/bin/env bash
# Builds OpenSSL's libcrypto for Windows x64 (mingw-w64) from Debian's own
# openssl source package, as a static library with its headers, into
# OUT/install. Built once: a later run with the same version does nothing.
#   scripts/windows-openssl.sh OUT
set -euo pipefail
out=$(mkdir -p "$1" && cd "$1" && pwd)
jobs=${JOBS:-$(nproc)}
stamp="$out/install/built-from"

# The version the Linux build links against; when Debian no longer serves
# that source, the newest source of the same upstream series it does serve.
linux_version=$(dpkg-query -W -f='${Version}' libssl-dev)
if [ -f "$stamp" ] && [ -f "$out/install/lib/libcrypto.a" ]; then
    echo "openssl for Windows: $(cat "$stamp") (built before)"
    exit 0
fi

src="$out/src"
rm -rf "$src" "$out/install"
mkdir -p "$src"
cd "$src"
fetched=""
candidates=$( (echo "$linux_version"
               apt-cache showsrc openssl | sed -n 's/^Version: //p' | sort -r -V) | awk '!seen[$0]++')
series=${linux_version%.*}
for v in $candidates; do
    case "$v" in "$series"*) ;; *) continue ;; esac
    # apt-get source checks the .dsc against the signed Release file, and
    # dpkg-source the upstream tarball's signature.
    if apt-get source -qq "openssl=$v" >"$src/fetch.log" 2>&1; then
        fetched=$v
        break
    fi
    rm -rf "$src"/openssl*
done
if [ -z "$fetched" ]; then
    echo "openssl for Windows: no openssl source of the $series series can be fetched" >&2
    echo "(is there a deb-src entry? make windows-deps adds it)" >&2
    cat "$src/fetch.log" >&2 || true
    exit 1
fi
if [ "$fetched" != "$linux_version" ]; then
    echo "openssl for Windows: source $fetched (the Linux build's $linux_version is no longer served)"
fi

tree=$(find "$src" -maxdepth 1 -type d -name 'openssl-*' | head -n 1)
cd "$tree"
echo "openssl for Windows: building libcrypto $fetched for mingw64 (a few minutes, once)"
start=$(date +%s)
# enable-ec_nistp_64_gcc_128: the constant-time 64-bit P-521 code.
./Configure mingw64 no-shared no-module no-tests no-engine no-dso no-ui-console \
    enable-ec_nistp_64_gcc_128 --cross-compile-prefix=x86_64-w64-mingw32- \
    --prefix="$out/install" --libdir=lib >"$src/configure.log" 2>&1 ||
    { cat "$src/configure.log" >&2; exit 1; }
make -j "$jobs" build_generated >"$src/build.log" 2>&1 &&
    make -j "$jobs" libcrypto.a >>"$src/build.log" 2>&1 ||
    { tail -n 40 "$src/build.log" >&2; exit 1; }
mkdir -p "$out/install/lib" "$out/install/include"
cp libcrypto.a "$out/install/lib/"
cp -r include/openssl "$out/install/include/"
echo "openssl $fetched" >"$stamp"
echo "openssl for Windows: built in $(( $(date +%s) - start )) s"
