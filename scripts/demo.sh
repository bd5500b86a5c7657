#!/usr/bin/env bash
# Shows the command line at work on a throw-away data folder.
set -euo pipefail
build=${1:-build}
cli="$build/src/tallyvault-cli"
demo=demo
rm -rf "$demo"
mkdir -p "$demo"

echo "== Tallyvault demo (data folder: $demo/data)"
echo "-- first start: the configuration is created with its defaults"
"$cli" --data-dir "$demo/data" settings
echo
echo "-- a damaged configuration is backed up and replaced"
sed -i 's/^MaxSizeOfArchiveFileInMB=.*/MaxSizeOfArchiveFileInMB=4096\r/' "$demo/data/Tallyvault.ini"
"$cli" --data-dir "$demo/data" settings >/dev/null
ls "$demo/data"
echo
echo "-- the log"
cat "$demo/data/Tallyvault.log"
echo
echo "Card generation, archiving and verification arrive with the card and archive commands."
