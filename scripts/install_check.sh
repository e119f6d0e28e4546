#!/usr/bin/env bash
# Installs a build tree into a temporary prefix and prints the sample label with
# the installed lblctl through a temporary spool and a file port, after asking the
# installed UI library for the printer's capabilities.
# Usage: scripts/install_check.sh [BUILD_DIR]  (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
lblctl=("$tmp/prefix/bin/lblctl" --spool "$tmp/spool")
"${lblctl[@]}" printer add "CI Label" --ppd "$tmp/prefix/share/lbl/ppd/model1.ppd" --port "$tmp/label.prn"
"${lblctl[@]}" caps "CI Label" --json > "$tmp/caps.json"
grep -q '"DC_PAPERNAMES"' "$tmp/caps.json" && grep -q '"CI Label Standard Label"' "$tmp/caps.json" ||
    { echo "install check: the installed UI library answered no capabilities" >&2; exit 1; }
"${lblctl[@]}" print "CI Label" samples/sample-label.png
test -s "$tmp/label.prn" || { echo "install check: the installed lblctl printed nothing" >&2; exit 1; }
echo "install check: $(stat -c %s "$tmp/label.prn") bytes printed by the installed tree"
