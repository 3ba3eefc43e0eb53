#!/usr/bin/env bash
# scenario-builder.exe under wine leaves, in a fresh directory, exactly what the Linux build
# leaves: the same file names with the same bytes, and the same exit status. A message box
# that the run shows (a failed build) is read and closed by the box helper; the Linux build,
# run without a display, reports the same failure on standard error.
#
#   builder_matches_linux.sh LINUX_BUILDER WINDOWS_BUILD_DIR SESSION_DIR
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=wine_env.sh
. "$here/wine_env.sh"

linux_builder=$1
windows_build=$2
load_session "$3"

windows_builder=$windows_build/bin/scenario-builder.exe
box_closer=$windows_build/test-helpers/scenario-box-closer.exe
[ -f "$box_closer" ] || fail "no $box_closer: rebuild with cmake --workflow --preset windows"

work=$(mktemp -d)
closer_pid=""
cleanup() {
    [ -n "$closer_pid" ] && kill "$closer_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/linux" "$work/windows" "$work/elsewhere"

# Linux, windowless, started from another directory: the files land next to the executable.
cp "$linux_builder" "$work/linux/scenario-builder"
(cd "$work/elsewhere" && env -u DISPLAY "$work/linux/scenario-builder" \
    >"$work/linux.out" 2>"$work/linux.err")
linux_status=$?

cp "$windows_builder" "$work/windows/scenario-builder.exe"
"$WINE" "$box_closer" "$(wine_path "$work/windows")" --close --timeout 60 \
    </dev/null >"$work/box.txt" 2>/dev/null &
closer_pid=$!
begun=$EPOCHREALTIME
(cd "$work/elsewhere" && timeout 90 "$WINE" "$work/windows/scenario-builder.exe" \
    </dev/null >"$work/windows.out" 2>"$work/windows.err")
windows_status=$?
elapsed=$(seconds_since "$begun")
sleep 0.2
kill "$closer_pid" 2>/dev/null
wait "$closer_pid" 2>/dev/null
closer_pid=""

linux_report=$(head -c 300 "$work/linux.err")
echo "Linux build: exit $linux_status${linux_report:+; $linux_report}"
echo "under wine: exit $windows_status in $elapsed s"
if grep -q '^text:' "$work/box.txt"; then
    echo "under wine the run showed a box, closed by its OK button:"
    tr -d '\r' <"$work/box.txt" | sed -n 's/^/  /; /title:\|text:\|buttons:/p'
fi

failures=0
mismatch() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

[ "$windows_status" -ne 124 ] || mismatch "the run under wine did not end within 90 s"
[ "$windows_status" -eq "$linux_status" ] ||
    mismatch "exit status $windows_status under wine, $linux_status on Linux"

listing() { (cd "$1" && find . -mindepth 1 ! -name "$2" | LC_ALL=C sort); }
listing "$work/linux" scenario-builder >"$work/linux.files"
listing "$work/windows" scenario-builder.exe >"$work/windows.files"
if ! diff "$work/linux.files" "$work/windows.files" >"$work/names.diff"; then
    mismatch "the file names differ (< Linux, > wine):"
    sed 's/^/  /' "$work/names.diff"
fi
compared=0
while IFS= read -r name; do
    [ -f "$work/windows/$name" ] || continue
    compared=$((compared + 1))
    if ! difference=$(cmp "$work/linux/$name" "$work/windows/$name" 2>&1); then
        mismatch "${name#./} differs: $difference"
    fi
done <"$work/linux.files"

# A recorded fault is told on standard error by both builds; compare that line alone.
tr -d '\r' <"$work/windows.err" >"$work/windows.err.lf"
while IFS= read -r line; do
    case "$line" in
        "scenario-builder: error "*)
            grep -qxF -- "$line" "$work/windows.err.lf" ||
                mismatch "under wine standard error lacks: $line"
            ;;
    esac
done <"$work/linux.err"

if [ "$failures" -gt 0 ]; then
    if [ "$windows_builder" -ot "$linux_builder" ]; then
        echo "note: $windows_builder is older than the Linux build; rebuild it with" \
            "cmake --workflow --preset windows"
    fi
    exit 1
fi
echo "same exit status ($linux_status) and the same $compared files, byte for byte:"
sed 's|^\./|  |' "$work/linux.files"
