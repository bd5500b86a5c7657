#!/usr/bin/env bash
# Shows the command line at work on a throw-away data folder and generated cards.
set -euo pipefail
build=${1:-build}
cli="$build/src/tallyvault-cli"
demo="$(pwd)/demo"
rm -rf "$demo"
mkdir -p "$demo"
data="--data-dir $demo/data"

echo "== Tallyvault demo (everything is in ./$demo)"
echo "-- first start: the configuration is created with its defaults"
$cli $data settings
echo
echo "-- two generated cards, a dX and a ZT4 one"
$cli $data make-card --family dx --out "$demo/card-dx" --days 5
$cli $data make-card --family zt4 --out "$demo/card-zt4" --days 5 --split-store
cards="--card-image E=$demo/card-dx --card-image F=$demo/card-zt4"
echo
echo "-- the card list"
$cli $data $cards cards
echo
echo "-- identification of each card"
$cli $data $cards identify --card E
$cli $data $cards identify --card F
echo
echo "-- the log ($demo/data/Tallyvault.log), last lines"
tail -n 8 "$demo/data/Tallyvault.log"
echo
echo "Archiving and verification of the cards arrive with the archive commands."
