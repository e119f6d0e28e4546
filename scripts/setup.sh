#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and runs with, when any is missing.
set -euo pipefail
packages=(
  build-essential cmake pkg-config ccache clang libclang-rt-14-dev
  libsqlite3-dev libpng-dev libpoppler-cpp-dev libcli11-dev nlohmann-json3-dev libssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev cups-client
  cups-filters  # real-world description files for the reader tests
  libpappl-dev cups cups-ipp-utils  # the printer application, its IPP tools
  chromium nodejs  # the browser tests of the application's web pages
  zint zbar-tools ghostscript  # bar codes made, printed and scanned by the tests
  netpbm imagemagick hyperfine  # the peers and the runner of bench/compare.sh
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}" >&2
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# npm comes with some builds of nodejs; Debian's own nodejs needs the npm package.
if ! command -v npm >/dev/null; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends npm >/dev/null
fi
# The browser tests' driver, as locked in tests/web/package-lock.json; the
# browser is Debian's chromium, never a download.
if [ ! -d "$(dirname "$0")/../tests/web/node_modules/playwright-core" ]; then
  (cd "$(dirname "$0")/../tests/web" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --silent)
fi
