#!/usr/bin/env bash
# The route page in Debian's chromium, driven by playwright-core.
#   run.sh prepare WORKDIR TOOL DENSE_WRITER   the pages under WORKDIR/pages, node_modules
#   run.sh check NAME WORKDIR                  one check of route_page.test.cjs
# Exits 77 (skipped) where node, npm or chromium is missing.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
page_dir="$here/../../tools/scenario-tool/view/page"
chromium="${CHROMIUM:-/usr/bin/chromium}"

for tool in node npm python3; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed"
    exit 77
  fi
done
if [ ! -x "$chromium" ]; then
  echo "skipped: no chromium at $chromium"
  exit 77
fi

step="${1:?prepare or check}"
case "$step" in
  prepare)
    work="${2:?WORKDIR}"
    tool="${3:?TOOL}"
    dense_writer="${4:?DENSE_WRITER}"
    mkdir -p "$work"
    work="$(cd "$work" && pwd)"
    # The test's own modules live in the build tree, from the committed lock file.
    if [ ! -d "$work/node_modules/playwright-core" ] ||
       ! cmp -s "$here/package-lock.json" "$work/package-lock.json"; then
      cp "$here/package.json" "$here/package-lock.json" "$work/"
      (cd "$work" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
    fi
    python3 "$here/make_fixture.py" --tool "$tool" --dense-writer "$dense_writer" \
      --out "$work/fixtures"
    mkdir -p "$work/pages" "$work/screenshots"
    for name in builtin mistake dense; do
      python3 "$here/build_page.py" "$page_dir" "$work/fixtures/$name.json" "$work/pages/$name.html"
    done
    # A page written as `view --watch` writes it: its data names the watch script beside it.
    python3 -c 'import json, sys; d = json.load(open(sys.argv[1])); d["watch"] = "watch.html.watch.js"; json.dump(d, open(sys.argv[2], "w"))' \
      "$work/fixtures/builtin.json" "$work/fixtures/watch.json"
    python3 "$here/build_page.py" "$page_dir" "$work/fixtures/watch.json" "$work/pages/watch.html"
    ;;
  check)
    name="${2:?NAME}"
    work="${3:?WORKDIR}"
    work="$(cd "$work" && pwd)"
    export VIEW_WORK="$work" CHROMIUM="$chromium"
    exec node --test --test-reporter=spec --test-name-pattern="^$name\$" "$here/route_page.test.cjs"
    ;;
  *)
    echo "run.sh: unknown step $step" >&2
    exit 64
    ;;
esac
