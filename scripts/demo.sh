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
echo "-- complete archive of the dX card into $demo/archives"
mkdir -p "$demo/archives"
$cli $data $cards archive complete --card E --to "$demo/archives"
echo
echo "-- the archive verified on its own, then against the card"
$cli $data verify "$demo/archives"
$cli $data $cards verify "$demo/archives" --card E
echo
echo "-- complete archive of the ZT4 card (its Archive.log is written on the card)"
$cli $data $cards identify --card F --purpose archive
$cli $data $cards archive complete --card F --to "$demo/archives"
echo
echo "-- each ZT4 archive file and the card's Archive.log validated"
for xml in "$demo"/archives/*/*.xml; do
    $cli $data validate "$xml"
done
$cli $data validate "$demo/card-zt4/Archive.log"
echo
echo "-- the card's Archive.log, first lines"
head -n 10 "$demo/card-zt4/Archive.log" | tr -d '\r'
echo
echo "-- the card's profile after the run: where a continue run starts"
$cli $data $cards profile --card E
echo
echo "-- the scale trades three more days; the card grows, the journal already there stays"
$cli $data make-card --extend "$demo/card-dx" --days 3
echo
echo "-- continue from the last archive: only the new days"
$cli $data $cards archive continue --card E --to "$demo/archives"
echo
echo "-- a date-based archive of two days into $demo/dated"
mkdir -p "$demo/dated"
$cli $data $cards archive date --card E --from 2015-12-21 --until 2015-12-22 --to "$demo/dated"
echo
echo "-- the ZT4 card grows too; continue from its last archive, then a date-based archive of two days"
$cli $data make-card --extend "$demo/card-zt4" --days 3
$cli $data $cards archive continue --card F --to "$demo/archives"
mkdir -p "$demo/dated-zt4"
$cli $data $cards archive date --card F --from 2015-12-21 --until 2015-12-22 --to "$demo/dated-zt4"
echo
echo "-- each ZT4 archive file and the card's Archive.log validated again"
for xml in "$demo"/archives/*/*.xml "$demo"/dated-zt4/*/*.xml; do
    $cli $data validate "$xml"
done
$cli $data validate "$demo/card-zt4/Archive.log"
echo
echo "-- every archive verified against the card"
$cli $data $cards verify "$demo/archives" --card E
$cli $data $cards verify "$demo/dated" --card E
echo
echo "-- what was written"
ls -lR "$demo/archives" "$demo/dated" "$demo/dated-zt4" "$demo/data/LastArchiveBackup"
echo
echo "-- the log ($demo/data/Tallyvault.log), last lines"
tail -n 12 "$demo/data/Tallyvault.log"
