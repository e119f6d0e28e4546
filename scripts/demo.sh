#!/usr/bin/env bash
# The main job on built-in defaults: builds the project, creates demonstration printers
# of model 1 (monochrome, 203 dpi) and model 0 (colour, 300 dpi) in a temporary spool
# directory, shows a label database and prints the bundled sample label on both,
# keeping the printer streams and their previews in a folder it names.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target lblctl lblrender lblui >/dev/null
lblctl="$root/build/release/tools/lblctl/lblctl"
sample="$root/samples/sample-label.png"

out=$(mktemp -d /tmp/lbl-demo.XXXXXX)
spool="$out/spool"
printer="Demo Label Printer"
colour="Demo Colour Printer"
# printer add installs a copy of each description in the spool's driver directory.
cp ppd/model1.ppd "$out/model1.ppd"
cp ppd/model0.ppd "$out/model0.ppd"

echo "== lblctl printer add \"$printer\" (model 1)"
"$lblctl" --spool "$spool" printer add "$printer" --ppd "$out/model1.ppd" --port "$out/demo.prn"
echo "== lblctl printer add \"$colour\" (model 0)"
"$lblctl" --spool "$spool" printer add "$colour" --ppd "$out/model0.ppd" --port "$out/colour.prn"
echo
echo "== lblctl printer show \"$printer\""
"$lblctl" --spool "$spool" printer show "$printer"
echo
echo "== lblctl labels export \"$printer\""
"$lblctl" --spool "$spool" labels export "$printer" | tee "$out/labels.json"
echo
echo "== lblctl print \"$printer\" samples/sample-label.png"
"$lblctl" --spool "$spool" print "$printer" "$sample" --preview "$out/model1-preview.png"
echo "== lblctl print \"$colour\" samples/sample-label.png (4 colour, error diffusion)"
"$lblctl" --spool "$spool" print "$colour" "$sample" --color 4color --halftone diffusion \
    --preview "$out/model0-preview.png"
echo "== lblctl print \"$colour\" samples/sample-label.png (monochrome, landscape) --output model0-mono.prn"
"$lblctl" --spool "$spool" print "$colour" "$sample" --color mono --orientation landscape \
    --output "$out/model0-mono.prn" --preview "$out/model0-mono-preview.png"
echo
echo "== lblctl inspect demo.prn"
"$lblctl" inspect "$out/demo.prn"
echo
cat <<INFO
Where things are:
  lblctl               $lblctl
  spool directory      $spool (spooler database spool.db)
  printer descriptions $out/model1.ppd, $out/model0.ppd (installed copies and binary descriptions in $spool/drivers)
  label database JSON  $out/labels.json
  printer streams      $out/demo.prn (model 1), $out/colour.prn (model 0, colour),
                       $out/model0-mono.prn (model 0, monochrome landscape)
  previews             $out/model1-preview.png, $out/model0-preview.png, $out/model0-mono-preview.png
Try:
  "$lblctl" --spool "$spool" print "$printer" "$sample" --copies 3 --halftone diffusion
  "$lblctl" inspect "$out/colour.prn" --png "$out/colour.png"
  "$lblctl" --spool "$spool" labels import "$printer" "$out/labels.json"
  man "$root/tools/lblctl/man/lblctl-print.1"
Remove everything with: rm -r "$out"
INFO
