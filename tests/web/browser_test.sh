#!/usr/bin/env bash
# Runs the browser test against a PAPPL system serving a model 0 printer's pages
# in a private spool and state directory; screenshots go to SHOTDIR.
#   browser_test.sh SERVER LBLCTL SOURCEDIR SHOTDIR
# Exit 77 (skipped) when chromium, node or playwright-core is missing.
set -euo pipefail
server=$1 lblctl=$2 src=$3 shots=$4
here="$src/tests/web"
[ -x /usr/bin/chromium ] || { echo "skipped: /usr/bin/chromium is not installed (scripts/setup.sh)"; exit 77; }
command -v node >/dev/null || { echo "skipped: node is not installed (scripts/setup.sh)"; exit 77; }
[ -d "$here/node_modules/playwright-core" ] || { echo "skipped: run npm ci in tests/web (scripts/setup.sh does)"; exit 77; }

dir=$(mktemp -d "${TMPDIR:-/tmp}/lblweb-XXXXXX")
pid=""
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; rm -rf "$dir"; }
trap cleanup EXIT
mkdir -p "$dir/state" "$shots"
"$lblctl" --spool "$dir/spool" printer add Demo --ppd "$src/ppd/model0.ppd" --port "$dir/out.prn"

# A free loopback port: the first the kernel hands out.
port=$(node -e 'const s=require("net").createServer().listen(0,"127.0.0.1",()=>{console.log(s.address().port);s.close();})')
"$server" "$dir/spool" "$dir/state" "$port" Demo >"$dir/server.out" 2>&1 &
pid=$!
for _ in $(seq 50); do
  node -e "require('http').get('http://localhost:$port/',r=>process.exit(r.statusCode===200?0:1)).on('error',()=>process.exit(1))" && break
  sleep 0.1
done

status=0
(cd "$here" && node browser_test.mjs "http://localhost:$port" Demo "$shots") || status=1
labels=$("$lblctl" --spool "$dir/spool" labels export Demo | grep -c '"szLabelName"' || true)
if [ "$labels" != 2 ]; then
  echo "not ok - the spool has $labels labels, not the standard one and the one added in the browser"
  status=1
elif ! "$lblctl" --spool "$dir/spool" labels export Demo | grep -q '"szLabelName": "Web Label"'; then
  echo "not ok - the label added in the browser is not in lblctl labels export"
  status=1
else
  echo "ok - the label added in the browser is in lblctl labels export"
fi
[ $status -eq 0 ] || tail -20 "$dir/state/log" || true
exit $status
