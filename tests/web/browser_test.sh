#!/usr/bin/env bash
# Runs the browser test against the printer application (or, where it is not
# built, a small PAPPL system serving the same pages) with a model 0 printer in
# a private state directory; screenshots go to SHOTDIR.
#   browser_test.sh APP SERVER LBLCTL SOURCEDIR SHOTDIR
# APP is lblprint, or "" for SERVER (lblweb_test_server). Exit 77 (skipped) when
# chromium, node or playwright-core is missing.
set -euo pipefail
app=$1 server=$2 lblctl=$3 src=$4 shots=$5
here="$src/tests/web"
[ -x /usr/bin/chromium ] || { echo "skipped: /usr/bin/chromium is not installed (scripts/setup.sh)"; exit 77; }
command -v node >/dev/null || { echo "skipped: node is not installed (scripts/setup.sh)"; exit 77; }
[ -d "$here/node_modules/playwright-core" ] || { echo "skipped: run npm ci in tests/web (scripts/setup.sh does)"; exit 77; }

dir=$(mktemp -d "${TMPDIR:-/tmp}/lblweb-XXXXXX")
pid=""
# How the server itself ends (its own leak report under the sanitizers) is not this test's to judge.
cleanup() { if [ -n "$pid" ]; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; fi; rm -rf "$dir"; }
trap cleanup EXIT
mkdir -p "$dir/state" "$dir/tmp" "$shots"
port=$(node -e 'const s=require("net").createServer().listen(0,"127.0.0.1",()=>{console.log(s.address().port);s.close();})')
up() { node -e "require('http').get('http://localhost:$port/',r=>process.exit(r.statusCode===200?0:1)).on('error',()=>process.exit(1))"; }
ipp() {  # ipptool on URI with a request file and -d NAME=VALUE pairs
  local uri=$1 file=$2; shift 2
  local defs=(); for d in "$@"; do defs+=(-d "$d"); done
  ipptool -tv -T 30 "${defs[@]}" "$uri" "$file"
}

if [ -n "$app" ] && [ -x "$app" ]; then
  spool="$dir/state/spool"
  TMPDIR="$dir/tmp" "$app" server -o "spool-directory=$dir/state" -o "server-port=$port" -o log-level=info \
    >"$dir/app.log" 2>&1 &
  pid=$!
  for _ in $(seq 100); do up && break; sleep 0.1; done
  : >"$dir/out.prn"
  cat >"$dir/create.test" <<'IPP'
{
OPERATION Create-Printer
GROUP operation-attributes-tag
ATTR charset attributes-charset utf-8
ATTR naturalLanguage attributes-natural-language en
ATTR uri system-uri $uri
ATTR keyword printer-service-type print
ATTR keyword smi55357-driver lbl-model0
ATTR uri smi55357-device-uri $device
GROUP printer-attributes-tag
ATTR name printer-name Demo
STATUS successful-ok
}
IPP
  ipp "ipp://localhost:$port/ipp/system" "$dir/create.test" "device=file://$dir/out.prn" >"$dir/create.out" ||
    { echo "not ok - the application did not create the printer"; cat "$dir/create.out"; exit 1; }
else
  spool="$dir/spool"
  "$lblctl" --spool "$spool" printer add Demo --ppd "$src/ppd/model0.ppd" --port "$dir/out.prn"
  "$server" "$spool" "$dir/state" "$port" Demo >"$dir/server.out" 2>&1 &
  pid=$!
  for _ in $(seq 100); do up && break; sleep 0.1; done
fi

status=0
(cd "$here" && node browser_test.mjs "http://localhost:$port" Demo "$shots") || status=1
labels=$("$lblctl" --spool "$spool" labels export Demo | grep -c '"szLabelName"' || true)
if [ "$labels" != 2 ]; then
  echo "not ok - the spool has $labels labels, not the standard one and the one added in the browser"
  status=1
elif ! "$lblctl" --spool "$spool" labels export Demo | grep -q '"szLabelName": "Web Label"'; then
  echo "not ok - the label added in the browser is not in lblctl labels export"
  status=1
else
  echo "ok - the label added in the browser is in lblctl labels export"
fi
if [ -n "$app" ] && [ -x "$app" ]; then
  cat >"$dir/media.test" <<'IPP'
{
OPERATION Get-Printer-Attributes
GROUP operation-attributes-tag
ATTR charset attributes-charset utf-8
ATTR naturalLanguage attributes-natural-language en
ATTR uri printer-uri $uri
ATTR keyword requested-attributes media-supported
STATUS successful-ok
EXPECT media-supported WITH-VALUE "om_web-label_50x30mm"
}
IPP
  # "Web Label", 50 x 30 mm, as the application names it.
  if ipp "ipp://localhost:$port/ipp/print/Demo" "$dir/media.test" >"$dir/media.out"; then
    echo "ok - media-supported has om_web-label_50x30mm"
  else
    echo "not ok - media-supported lacks om_web-label_50x30mm:"; grep -i "media-supported" "$dir/media.out" || true
    status=1
  fi
fi
[ $status -eq 0 ] || { tail -40 "$dir/app.log" "$dir/server.out" "$dir/state/"*.log 2>/dev/null || true; }
exit $status
