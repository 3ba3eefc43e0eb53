#!/usr/bin/env bash
# The tests of the VS Code package with node: its grammars on the built-in texts of the tool
# under test, its manifest, and its client's search for the program. The tokenizer they need
# (pinned by package-lock.json here) is installed into WORKDIR, once per lock.
# Usage: run_editor_tests.sh SCENARIO_TOOL WORKDIR. Exit 77 (skipped) without node 18+ and npm,
# or when npm cannot reach its registry.
set -euo pipefail
tool=$1
work=$2
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  echo "node and npm are not installed: the VS Code package is not tested"
  exit 77
fi
if [ "$(node -p 'process.versions.node.split(".")[0]')" -lt 18 ]; then
  echo "node $(node --version) has no test runner: the VS Code package is not tested"
  exit 77
fi

here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work"
if [ ! -f "$work/node_modules/.package-lock.json" ] || ! cmp -s "$here/package-lock.json" "$work/package-lock.json"; then
  cp "$here/package.json" "$here/package-lock.json" "$work/"
  if ! (cd "$work" && npm ci --no-audit --no-fund --loglevel=error); then
    echo "npm could not install what the tests of the VS Code package need: they are not run"
    exit 77
  fi
fi

node "$here/grammar_test.mjs" "$tool" "$work"
node "$here/client_test.mjs" "$work"
