#!/usr/bin/env bash
# Starts the printer application on http://localhost:PORT (default 8631) with a
# demonstration printer "Demo" (model 1) writing each job to a file, and says
# where to point a browser and how to add the printer to CUPS. Ctrl-C stops it.
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8631}
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target lblprint lblctl >/dev/null
lblprint="$PWD/build/release/tools/lblprint/lblprint"
state=${LBLPRINT_STATE:-$(mktemp -d /tmp/lblprint-demo.XXXXXX)}
# The subcommands reach the server through a socket in TMPDIR.
export TMPDIR="$state"
output="$state/demo.prn"
touch "$output"
"$lblprint" server -o spool-directory="$state" -o server-port="$port" &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null || true' EXIT INT TERM
for _ in $(seq 50); do
  "$lblprint" printers >/dev/null 2>&1 && break
  sleep 0.2
done
"$lblprint" printers | grep -qx Demo || "$lblprint" add -d Demo -m lbl-model1 -v "file://$output"
cat <<MSG

lblprint is running (state in $state).
  Browser:  http://localhost:$port/
  Print:    $lblprint submit -d Demo samples/sample-label.png    (the job goes to $output)
  lblctl:   build/release/tools/lblctl/lblctl --spool $state/spool printer show Demo
  CUPS:     lpadmin -p Demo -E -v ipp://localhost:$port/ipp/print/Demo -m everywhere
Ctrl-C stops it.
MSG
wait $server
