#!/usr/bin/env bash
# The Windows zip as a user gets it: one folder with both programs, the README for Windows
# users (CR LF lines), the copyright and the runtime's notices. The .exe files from it, under
# wine, print their version and do what the Windows tests check of the build's own
# (tests/windows/): the builder writes the Linux builder's bytes, the tool compiles the
# built-in texts alike.
#
#   check_windows_zip.sh PACKAGE.zip WINDOWS_BUILD_DIR LINUX_BIN_DIR
# WINDOWS_BUILD_DIR lends the test helper that closes message boxes; LINUX_BIN_DIR holds the
# Linux scenario-builder and scenario-tool to compare with.
set -euo pipefail
zip=$(realpath "$1")
windows_build=$(realpath "$2")
linux_bin=$(realpath "$3")
windows_tests=$(cd "$(dirname "$0")/../windows" && pwd)
work=$(mktemp -d)
session=$work/session
cleanup() {
    bash "$windows_tests/wine_session.sh" stop "$session" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

echo "== $(basename "$zip")"
top=$(basename "$zip" .zip)
cmake -E tar tf "$zip" | LC_ALL=C sort | grep -v '/$' >"$work/files"
sed 's/^/  /' "$work/files"
printf '%s\n' "$top/COPYRIGHT.txt" "$top/MINGW-W64-RUNTIME.txt" "$top/README.txt" \
    "$top/scenario-builder.exe" "$top/scenario-tool.exe" | diff - "$work/files" >/dev/null ||
    fail "the zip does not hold exactly both programs, README.txt and the notices in $top/"

mkdir "$work/unzipped" "$work/from-zip"
(cd "$work/unzipped" && cmake -E tar xf "$zip")
grep -q $'\r$' "$work/unzipped/$top/README.txt" || fail "README.txt does not have CR LF lines"
# The layout of a Windows build directory, with the programs from the zip.
ln -s "$work/unzipped/$top" "$work/from-zip/bin"
ln -s "$windows_build/test-helpers" "$work/from-zip/test-helpers"

bash "$windows_tests/wine_session.sh" start "$session" "$work/from-zip"
[ ! -f "$session/skipped" ] || fail "no wine session: $(cat "$session/skipped")"
# shellcheck source=../windows/wine_env.sh
. "$windows_tests/wine_env.sh"
load_session "$session"
for program in scenario-builder scenario-tool; do
    mkdir "$work/$program"
    cp "$work/unzipped/$top/$program.exe" "$work/$program/"
    (cd "$work/$program" && timeout 60 "$WINE" "./$program.exe" --version \
        </dev/null >version.out 2>version.err) || fail "$program.exe --version ended with $?"
    windows_version=$(tr -d '\r' <"$work/$program/version.out")
    linux_version=$("$linux_bin/$program" --version)
    [ "$windows_version" = "$linux_version" ] ||
        fail "$program.exe --version: '$windows_version', not '$linux_version'"
    echo "  $program.exe --version: $windows_version"
done

bash "$windows_tests/tool_compiles_builtin_texts.sh" "$linux_bin/scenario-tool" "$work/from-zip" \
    "$session"
bash "$windows_tests/builder_matches_linux.sh" "$linux_bin/scenario-builder" "$work/from-zip" \
    "$session"
echo "the zip's programs run under wine as the build's own"
