#!/usr/bin/env bash
# scenario-tool.exe under wine writes the built-in texts and compiles them into the same files
# as the Linux scenario-tool: the same names and bytes, exit statuses and report.
#
#   tool_compiles_builtin_texts.sh LINUX_TOOL WINDOWS_BUILD_DIR SESSION_DIR
# LINUX_TOOL is empty where this build has no scenario-tool; the test then skips.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=wine_env.sh
. "$here/wine_env.sh"

linux_tool=$1
windows_tool=$2/bin/scenario-tool.exe
if [ -z "$linux_tool" ] || [ ! -x "$linux_tool" ]; then
    echo "skipped: this build has no scenario-tool"
    exit 77
fi
[ -f "$windows_tool" ] ||
    { echo "skipped: no $windows_tool: build it with cmake --workflow --preset windows"; exit 77; }
load_session "$3"

title="MORENA LAGO - PIAN DI VALSO"
code="R10537"
# Relative names with "/", which Windows takes as well, so that both reports name the same files.
compile=(compile --line "texts/${title}_linea.txt" --train "texts/${title}_${code}-.txt"
    --title "$title" --code "$code" --out out)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/linux/out" "$work/windows/out"

(cd "$work/linux" && "$linux_tool" sources texts >sources.out 2>sources.err)
linux_sources=$?
(cd "$work/linux" && "$linux_tool" "${compile[@]}" >compile.out 2>compile.err)
linux_compile=$?

cp "$windows_tool" "$work/scenario-tool.exe"
begun=$EPOCHREALTIME
(cd "$work/windows" && timeout 60 "$WINE" ../scenario-tool.exe sources texts \
    </dev/null >sources.out 2>sources.err)
windows_sources=$?
(cd "$work/windows" && timeout 60 "$WINE" ../scenario-tool.exe "${compile[@]}" \
    </dev/null >compile.out 2>compile.err)
windows_compile=$?
echo "under wine: sources exit $windows_sources, compile exit $windows_compile," \
    "both in $(seconds_since "$begun") s"
echo "Linux: sources exit $linux_sources, compile exit $linux_compile"
sed 's/^/  /' "$work/linux/compile.out" | head -20

failures=0
mismatch() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
[ "$windows_sources" -eq "$linux_sources" ] ||
    mismatch "sources: exit $windows_sources under wine, $linux_sources on Linux"
[ "$windows_compile" -eq "$linux_compile" ] ||
    mismatch "compile: exit $windows_compile under wine, $linux_compile on Linux"
if ! tr -d '\r' <"$work/windows/compile.out" | diff "$work/linux/compile.out" - >"$work/out.diff"; then
    mismatch "the compile reports differ (< Linux, > wine):"
    sed 's/^/  /' "$work/out.diff"
fi

listing() { (cd "$1" && find texts out -type f | LC_ALL=C sort); }
if ! diff <(listing "$work/linux") <(listing "$work/windows") >"$work/names.diff"; then
    mismatch "the file names differ (< Linux, > wine):"
    sed 's/^/  /' "$work/names.diff"
fi
compared=0
while IFS= read -r name; do
    [ -f "$work/windows/$name" ] || continue
    compared=$((compared + 1))
    difference=$(cmp "$work/linux/$name" "$work/windows/$name" 2>&1) ||
        mismatch "$name differs: $difference"
done < <(listing "$work/linux")

[ "$failures" -eq 0 ] || exit 1
echo "same exit statuses, report and $compared files, byte for byte"
