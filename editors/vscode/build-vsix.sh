#!/usr/bin/env bash
# Packs the extension: OUTDIR/scenario-text-<version>.vsix, with its runtime dependency
# vscode-languageclient inside (vsce takes the production dependencies from node_modules), and
# checks that the package holds what the editor loads.
set -euo pipefail
out=${1:?usage: build-vsix.sh OUTDIR}
mkdir -p "$out"
out=$(cd "$out" && pwd)
cd "$(dirname "$0")"

# node_modules as the lock file pins it; installed anew when the lock is newer.
if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  npm ci --no-audit --no-fund
fi
version=$(node -p "require('./package.json').version")
vsix="$out/scenario-text-$version.vsix"
npx --no-install vsce package --allow-missing-repository --out "$vsix"

contents=$(cmake -E tar tf "$vsix")
for file in extension.js find-program.js sections.js package.json language-configuration.json \
            syntaxes/scenario-line.tmLanguage.json syntaxes/scenario-train.tmLanguage.json \
            readme.md LICENSE.txt node_modules/vscode-languageclient/node.js \
            node_modules/vscode-languageserver-protocol/package.json node_modules/vscode-jsonrpc/package.json; do
  grep -qxF "extension/$file" <<<"$contents" || { echo "$vsix lacks extension/$file" >&2; exit 1; }
done
echo "$vsix"
