#!/usr/bin/env bash
# The main job on built-in defaults: builds the project, creates a demonstration printer
# in a temporary spool directory and shows its label database.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target lblctl lblrender lblui >/dev/null
lblctl="$root/build/release/tools/lblctl/lblctl"

out=$(mktemp -d /tmp/lbl-demo.XXXXXX)
spool="$out/spool"
printer="Demo Label Printer"
# The binary description file is written beside the description: use a copy.
cp ppd/model1.ppd "$out/model1.ppd"

echo "== lblctl printer add \"$printer\""
"$lblctl" --spool "$spool" printer add "$printer" --ppd "$out/model1.ppd" --port "$out/demo.prn"
echo
echo "== lblctl printer show \"$printer\""
"$lblctl" --spool "$spool" printer show "$printer"
echo
echo "== lblctl labels export \"$printer\""
"$lblctl" --spool "$spool" labels export "$printer" | tee "$out/labels.json"
echo
cat <<INFO
Where things are:
  lblctl               $lblctl
  spool directory      $spool (spooler database spool.db)
  printer description  $out/model1.ppd (binary description model1.BPD beside it)
  print jobs go to     $out/demo.prn
  label database JSON  $out/labels.json
Try:
  "$lblctl" --spool "$spool" labels import "$printer" "$out/labels.json"
  "$lblctl" --spool "$spool" printer set "$printer" spot.black=#FF0000
  man "$root/tools/lblctl/man/lblctl.1"
Remove everything with: rm -r "$out"
INFO
