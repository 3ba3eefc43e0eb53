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
    # The pages `scenario-tool view` writes: the built-in texts, the same with two mistakes
    # (a misspelt gradient keyword, a signal on a sign board's cell), the dense line.
    texts="$work/texts"
    rm -rf "$texts" "$work/pages"
    mkdir -p "$texts/builtin" "$texts/mistake" "$texts/dense" "$work/pages" "$work/screenshots"
    "$tool" sources "$texts/builtin" >/dev/null
    line="MORENA LAGO - PIAN DI VALSO_linea.txt"
    train="MORENA LAGO - PIAN DI VALSO_R10537-.txt"
    sed 's/^pendenza,  8450,/pendneza,  8450,/' "$texts/builtin/$line" >"$texts/mistake/$line"
    sed 's/^segnale,    8050,/segnale,    8300,/' "$texts/builtin/$train" >"$texts/mistake/$train"
    "$dense_writer" 1000000 "$texts/dense/LINEA DENSA_linea.txt" "$texts/dense/LINEA DENSA_D1000-.txt"
    view() {
      local status=0
      (cd "$texts" && "$tool" view --line "$1" --train "$2" --out "$work/pages/$3.html" >/dev/null) ||
        status=$?
      if [ "$status" -ne "$4" ]; then
        echo "scenario-tool view of $3 ended with $status, not $4" >&2
        exit 1
      fi
    }
    view "builtin/$line" "builtin/$train" builtin 0
    view "mistake/$line" "mistake/$train" mistake 1
    view "dense/LINEA DENSA_linea.txt" "dense/LINEA DENSA_D1000-.txt" dense 0
    # The page of a compiled directory, drawn from its compact files alone.
    mkdir -p "$texts/compiled"
    (cd "$texts/builtin" && "$tool" compile --out "$texts/compiled" >/dev/null)
    "$tool" view "$texts/compiled" --out "$work/pages/compiled.html" >/dev/null
    # The built-in page's own data written as `view --watch` writes a page, with a stamp the
    # tests set.
    mkdir -p "$work/fixtures"
    python3 "$here/make_fixture.py" "$work/pages/builtin.html" "$work/fixtures/fixture.json" \
      --watch fixture.html.watch.js --stamp "fixture#builtin"
    python3 "$here/build_page.py" "$page_dir" "$work/fixtures/fixture.json" "$work/pages/fixture.html"
    echo 'window.routeWatchStamp = "fixture#builtin";' >"$work/pages/fixture.html.watch.js"
    ;;
  check)
    name="${2:?NAME}"
    work="${3:?WORKDIR}"
    work="$(cd "$work" && pwd)"
    export VIEW_WORK="$work" CHROMIUM="$chromium"
    # A name that matches no check would pass with nothing run: exactly one must pass.
    log="$(mktemp)"
    trap 'rm -f "$log"' EXIT
    status=0
    node --test --test-reporter=tap --test-name-pattern="^$name\$" "$here/route_page.test.cjs" \
      >"$log" 2>&1 || status=$?
    cat "$log"
    if [ "$status" -eq 0 ] && ! grep -q '^# pass 1$' "$log"; then
      echo "run.sh: no check is named '$name'" >&2
      exit 1
    fi
    exit "$status"
    ;;
  *)
    echo "run.sh: unknown step $step" >&2
    exit 64
    ;;
esac
