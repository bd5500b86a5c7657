#!/usr/bin/env bash
# Starts the wizard on freshly generated demo cards (a dX and a ZT4 card image)
# and a demo archive folder, all under ./demo.
set -euo pipefail
build=${1:-build}
scripts/demo.sh "$build" >/dev/null
echo "Wizard on demo cards: E: (dX) and F: (ZT4); demo archives in $(pwd)/demo/archives"
exec "$build/src/ui/tallyvault" --data-dir "$(pwd)/demo/data" \
    --card-image E="$(pwd)/demo/card-dx" --card-image F="$(pwd)/demo/card-zt4"
