#!/usr/bin/env bash
# Starts the wizard on freshly generated demo cards, all under ./demo/wizard:
#   E: a dX card and F: a ZT4 card, never archived (complete or date-based archive);
#   G: a dX card and H: a ZT4 card archived once before, with three days traded
#      since (continue from last archive).
set -euo pipefail
build=${1:-build}
w="$(pwd)/demo/wizard"
rm -rf "$w"
mkdir -p "$w/archives" "$w/earlier"
cli=("$build/src/tallyvault-cli" --data-dir "$w/data")
quiet() { "$@" >/dev/null; }

quiet "${cli[@]}" settings
quiet "${cli[@]}" make-card --family dx --out "$w/card-dx" --days 5
quiet "${cli[@]}" make-card --family zt4 --out "$w/card-zt4" --days 5 --split-store
quiet "${cli[@]}" make-card --family dx --out "$w/card-dx-earlier" --days 5 --seed 7
quiet "${cli[@]}" make-card --family zt4 --out "$w/card-zt4-earlier" --days 5 --seed 7
earlier=(--card-image G="$w/card-dx-earlier" --card-image H="$w/card-zt4-earlier")
quiet "${cli[@]}" "${earlier[@]}" archive complete --card G --to "$w/earlier"
quiet "${cli[@]}" "${earlier[@]}" archive complete --card H --to "$w/earlier"
quiet "${cli[@]}" make-card --extend "$w/card-dx-earlier" --days 3
quiet "${cli[@]}" make-card --extend "$w/card-zt4-earlier" --days 3

cat <<TEXT
Wizard on demo cards:
  E: dX card, F: ZT4 card         never archived: complete or date-based archive
  G: dX card, H: ZT4 card         archived once (into $w/earlier), three new days since:
                                  continue from last archive
Archive folder to enter on the archive path page: $w/archives
TEXT
exec "$build/src/ui/tallyvault" --data-dir "$w/data" \
    --card-image E="$w/card-dx" --card-image F="$w/card-zt4" "${earlier[@]}"
