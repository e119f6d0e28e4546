#!/usr/bin/env bash
# The main job on built-in defaults: builds the project, creates a demonstration printer
# in a temporary spool directory and shows its label database.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target lblctl lblrender lblui >/dev/null
lblctl=build/release/tools/lblctl/lblctl
out=$(mktemp -d /tmp/lbl-demo.XXXXXX)
spool="$out/spool"
"$lblctl" --spool "$spool" printer add "Demo Label Printer" --ppd ppd/model1.ppd --port "$out/demo.prn"
"$lblctl" --spool "$spool" printer show "Demo Label Printer"
"$lblctl" --spool "$spool" labels export "Demo Label Printer"
echo "spool directory: $spool"
