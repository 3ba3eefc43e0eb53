#!/usr/bin/env bash
# The manual pages of the build set without a warning from groff (as lintian and man show them),
# each with its NAME, and their compressed copies hold the same text.
#
#   manual_pages_test.sh MAN_DIR
set -u
man_dir=$1
command -v groff >/dev/null || { echo "skipped: groff is not installed"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

pages=("$man_dir"/*.[1-9])
[ -e "${pages[0]}" ] || fail "no manual page in $man_dir"
for page in "${pages[@]}"; do
    name=$(basename "$page")
    warnings=$(LC_ALL=C.UTF-8 groff -t -man -Tutf8 -ww -z "$page" 2>&1)
    [ -z "$warnings" ] || fail "$name: groff warns: $warnings"
    head -1 "$page" | grep -q "^\.TH ${name%.*}" -i || fail "$name: its title is not its name"
    text=$(LC_ALL=C.UTF-8 groff -t -man -Tutf8 "$page" 2>/dev/null | col -bx)
    grep -q '^NAME' <<<"$text" || fail "$name: no NAME section"
    # The programs' pages fit a terminal of 80 columns as their help texts do; the example
    # records of the format page are as wide as the records they show.
    if [[ $name == *.1 ]]; then
        long=$(awk 'length > 80' <<<"$text")
        [ -z "$long" ] || fail "$name: lines wider than the terminal: $long"
    fi
    gzip -dc "$page.gz" | cmp -s - "$page" || fail "$name.gz does not hold $name"
    echo "$name: $(wc -l <<<"$text") lines, no warning"
done
