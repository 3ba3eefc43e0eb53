#!/usr/bin/env bash
# The Debian package as a user gets it, without installing it on this machine: unpacked into a
# scratch directory, it holds scenario-tool on the search path and scenario-builder off it, the
# manual pages and the completion; the unpacked programs run, the tool compiles the built-in
# texts into the bytes the unpacked builder writes; lintian finds no error.
#
#   check_deb.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
begun=$EPOCHREALTIME

echo "== $(basename "$deb")"
dpkg-deb -f "$deb" Package Version Architecture Depends Recommends Section | sed 's/^/  /'
dpkg-deb -f "$deb" Depends | grep -q 'libc6' || fail "the package does not depend on libc6"

root=$work/root
dpkg-deb -x "$deb" "$root"
(cd "$root" && find . -type f | LC_ALL=C sort) >"$work/files"
sed 's/^/  /' "$work/files"
for expected in ./usr/bin/scenario-tool ./usr/lib/scenario-builder/scenario-builder \
    ./usr/share/man/man1/scenario-tool.1.gz ./usr/share/man/man1/scenario-builder.1.gz \
    ./usr/share/bash-completion/completions/scenario-tool \
    ./usr/share/doc/scenario-builder/copyright ./usr/share/doc/scenario-builder/changelog.gz \
    ./usr/share/doc/scenario-builder/README.md; do
    grep -qxF "$expected" "$work/files" || fail "the package has no $expected"
done
# Started from a directory on the search path the builder would write its scenario there.
[ "$(grep -c '^\./usr/bin/' "$work/files")" -eq 1 ] || fail "more than scenario-tool in /usr/bin"

tool=$root/usr/bin/scenario-tool
builder=$root/usr/lib/scenario-builder/scenario-builder
version=$(dpkg-deb -f "$deb" Version)
[ "$("$tool" --version)" = "scenario-tool $version" ] || fail "scenario-tool --version: $("$tool" --version)"
[ "$("$builder" --version)" = "scenario-builder $version" ] ||
    fail "scenario-builder --version: $("$builder" --version)"

# The built-in texts through the unpacked tool, and the unpacked builder copied where a user
# would put it: the same compact files, byte for byte.
title="MORENA LAGO - PIAN DI VALSO"
code=R10537
mkdir "$work/author" "$work/author/out" "$work/scenario"
(cd "$work/author" && "$tool" sources texts >/dev/null)
report=$(cd "$work/author" && "$tool" compile --line "texts/${title}_linea.txt" \
    --train "texts/${title}_${code}-.txt" --title "$title" --code "$code" --out out) ||
    fail "the unpacked scenario-tool did not compile the built-in texts: $report"
echo "  compile: $report"
cp "$builder" "$work/scenario/scenario-builder"
(cd "$work" && env -u DISPLAY "$work/scenario/scenario-builder") ||
    fail "the unpacked scenario-builder ended with status $?"
for name in "${title}_${code}.sim" "${title}_${code}.dat" "${title}_linea.dat"; do
    cmp "$work/author/out/$name" "$work/scenario/$name" ||
        fail "$name from the tool differs from the builder's"
done

# The manual pages as man shows them, and the installed path the builder's page gives.
for page in "$root"/usr/share/man/man*/*.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$root/usr/share/man/man1/scenario-builder.1.gz" 2>/dev/null |
    grep -q '/usr/lib/scenario-builder/scenario-builder' ||
    fail "the page of scenario-builder does not say where the program is"

elapsed=$(awk -v from="$begun" -v now="$EPOCHREALTIME" 'BEGIN { printf "%.1f", now - from }')
echo "  the unpacked programs run and agree ($elapsed s)"

command -v lintian >/dev/null || fail "lintian is not installed"
status=0
tags=$(lintian --fail-on error "$deb" 2>&1) || status=$?
grep -v 'root privileges' <<<"$tags" | sed 's/^/  /' || true
[ "$status" -eq 0 ] || fail "lintian reports errors"
echo "lintian: no error"
