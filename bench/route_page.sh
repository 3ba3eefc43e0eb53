#!/usr/bin/env bash
# The route page's figures for bench/RESULTS.md: the size of the page `scenario-tool view`
# writes and the time from navigation to the page's own "route-ready" mark in headless
# chromium (median of 5 loads, each in a fresh tab), for the built-in line and the dense
# 1,000,000 m line.
#   bench/route_page.sh [SCENARIO_TOOL [WRITE_DENSE_LINE]]   (default: the test build's)
# Needs node, npm (once, for playwright-core from tests/view/package-lock.json) and
# /usr/bin/chromium. Nothing is asserted.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tool=${1:-$root/build/test/bin/scenario-tool}
dense_writer=${2:-$root/build/test/bin/write-dense-line}
modules=$root/build/bench/route-page
mkdir -p "$modules"
if [ ! -d "$modules/node_modules/playwright-core" ]; then
  cp "$root/tests/view/package.json" "$root/tests/view/package-lock.json" "$modules/"
  (cd "$modules" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$tool" sources "$work" >/dev/null
"$dense_writer" 1000000 "$work/LINEA DENSA_linea.txt" "$work/LINEA DENSA_D1000-.txt"
cd "$work"
"$tool" view --line "MORENA LAGO - PIAN DI VALSO_linea.txt" \
  --train "MORENA LAGO - PIAN DI VALSO_R10537-.txt" --out builtin.html >/dev/null
start=$(date +%s%N)
"$tool" view --line "LINEA DENSA_linea.txt" --train "LINEA DENSA_D1000-.txt" --out dense.html >/dev/null
echo "scenario-tool view of the dense line: $((($(date +%s%N) - start) / 1000000)) ms"
NODE_PATH="$modules/node_modules" node "$root/bench/route_page_load.cjs" builtin.html dense.html
