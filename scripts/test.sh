#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite. Usage: scripts/test.sh [preset]  (default, asan, release)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
bash scripts/setup.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
ctest --preset "$preset"
