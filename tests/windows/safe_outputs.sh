#!/usr/bin/env bash
# The outputs of the Windows programs under wine stay whole where Windows makes it hard:
#  1. a compact file held open by another program: the builder names it, says nothing was
#     changed and leaves every old file as it was (exit 3);
#  2. Ctrl-C while a temporary is still open: the handler removes it;
#  3. a folder whose path is longer than 260 characters: the builder writes its six files there;
#  4. a Windows device name as an output or a title of scenario-tool: refused, nothing written;
#  5. wide arguments: a title with an accented letter names its files and shows in the output,
#     one with a letter Windows-1252 cannot hold is refused as on Linux (no nearest letter).
#
#   safe_outputs.sh WINDOWS_BUILD_DIR SESSION_DIR
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=wine_env.sh
. "$here/wine_env.sh"

windows_build=$1
load_session "$2"
builder=$windows_build/bin/scenario-builder.exe
tool=$windows_build/bin/scenario-tool.exe
helpers=$windows_build/test-helpers
for program in "$builder" "$tool" "$helpers/scenario-file-holder.exe" \
    "$helpers/scenario-interrupted-writer.exe" "$helpers/scenario-box-closer.exe"; do
    [ -f "$program" ] ||
        { echo "skipped: no $program: build it with cmake --workflow --preset windows"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
title="MORENA LAGO - PIAN DI VALSO"
code=R10537
compact=("${title}_linea.dat" "${title}_${code}.sim" "${title}_${code}.dat")
failures=0
mismatch() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# 1. A held cell file.
mkdir -p "$work/held"
cp "$builder" "$work/held/"
for name in "${compact[@]}"; do printf 'old %s' "$name" >"$work/held/$name"; done
"$WINE" "$helpers/scenario-file-holder.exe" "$(wine_path "$work/held")\\${compact[2]}" 30 \
    </dev/null >"$work/holder.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q held "$work/holder.out" && break; sleep 0.1; done
grep -q held "$work/holder.out" || mismatch "the holder did not open the cell file: $(cat "$work/holder.out")"
"$WINE" "$helpers/scenario-box-closer.exe" "$(wine_path "$work/held")" --close --timeout 60 \
    </dev/null >"$work/box.txt" 2>/dev/null &
closer=$!
(cd "$work/held" && timeout 90 "$WINE" ./scenario-builder.exe </dev/null >/dev/null 2>"$work/held.err")
status=$?
sleep 0.2
kill "$closer" 2>/dev/null
wait "$closer" 2>/dev/null
message=$(tr -d '\r' <"$work/box.txt" | sed -n 's/^text: //p')
[ -n "$message" ] || message=$(tr -d '\r' <"$work/held.err")
echo "held cell file: exit $status; $message"
[ "$status" -eq 3 ] || mismatch "held cell file: exit $status, expected 3"
case "$message" in
    *"${compact[2]}"*"another program has it open"*"nothing was"*) ;;
    *) mismatch "held cell file: the message does not name the file held and say nothing was changed" ;;
esac
for name in "${compact[@]}"; do
    [ "$(cat "$work/held/$name")" = "old $name" ] || mismatch "held cell file: $name was changed"
done
ls -A "$work/held" | grep -q '^\.scenario-' && mismatch "held cell file: temporaries left: $(ls -A "$work/held")"

# 2. Ctrl-C with a temporary open. Wine delivers console events to a program on a terminal:
#    `script` gives it one.
mkdir -p "$work/interrupted"
(cd "$work" && timeout 60 script -qec "'$WINE' '$helpers/scenario-interrupted-writer.exe' \
    '$(wine_path "$work/interrupted")'" /dev/null </dev/null >"$work/interrupted.raw" 2>&1)
status=$?
sed 's/\x1b\[[0-9;?]*[a-zA-Z]//g' "$work/interrupted.raw" | tr -d '\r' >"$work/interrupted.out"
echo "Ctrl-C with the temporary open: exit $status; left: $(ls -A "$work/interrupted" | tr '\n' ' ')"
grep -q written "$work/interrupted.out" || mismatch "Ctrl-C: the writer did not write: $(cat "$work/interrupted.out")"
[ "$status" -ne 77 ] || mismatch "Ctrl-C: no console to interrupt: $(cat "$work/interrupted.out")"
[ "$status" -ne 1 ] || mismatch "Ctrl-C: the writer was not interrupted"
[ -z "$(ls -A "$work/interrupted")" ] || mismatch "Ctrl-C: the temporary is left"

# 3. A folder path over 260 characters.
deep=$work/deep
for _ in 1 2 3 4 5 6; do deep="$deep/a-folder-with-a-long-name-for-the-long-path-test"; done
mkdir -p "$deep"
cp "$builder" "$deep/"
(cd "$work" && timeout 90 "$WINE" "$(wine_path "$deep")\\scenario-builder.exe" \
    </dev/null >/dev/null 2>"$work/deep.err")
status=$?
written=$(find "$deep" -maxdepth 1 -type f ! -name '*.exe' | wc -l)
echo "a path of $(wine_path "$deep" | wc -c) characters: exit $status, $written files"
[ "$status" -eq 0 ] || mismatch "long path: exit $status: $(tr -d '\r' <"$work/deep.err")"
[ "$written" -eq 6 ] || mismatch "long path: $written files written, not 6"

# 4. A device name as an output.
mkdir -p "$work/device"
(cd "$work/device" && timeout 60 "$WINE" "$tool" sources texts </dev/null >/dev/null 2>&1 &&
    timeout 60 "$WINE" "$tool" compile --line "texts/${title}_linea.txt" \
        --train "texts/${title}_${code}-.txt" --title "$title" --code "$code" --out . \
        </dev/null >/dev/null 2>&1 &&
    timeout 60 "$WINE" "$tool" plot . --out nul.svg </dev/null >/dev/null 2>"$work/device.err")
status=$?
echo "plot --out nul.svg: exit $status; $(tr -d '\r' <"$work/device.err")"
[ "$status" -eq 2 ] || mismatch "device name: exit $status, expected 2"
grep -q "device" "$work/device.err" || mismatch "device name: the message does not say why"

(cd "$work/device" && timeout 60 "$WINE" "$tool" compile --line "texts/${title}_linea.txt" \
    --train "texts/${title}_${code}-.txt" --title Nul --code "$code" --out . \
    </dev/null >/dev/null 2>"$work/device-title.err")
status=$?
echo "compile --title Nul: exit $status; $(tr -d '\r' <"$work/device-title.err")"
[ "$status" -eq 2 ] || mismatch "device title: exit $status, expected 2"
ls "$work/device" | grep -qi '^nul' && mismatch "device title: a file was written: $(ls "$work/device")"

# 5. Wide arguments.
mkdir -p "$work/wide"
(cd "$work/wide" && timeout 60 "$WINE" "$tool" sources "Città" </dev/null >sources.out 2>&1)
status=$?
echo "sources Città: exit $status; $(head -n 1 "$work/wide/sources.out" | tr -d '\r')"
[ "$status" -eq 0 ] || mismatch "sources Città: exit $status"
grep -q "Città" "$work/wide/sources.out" || mismatch "sources Città: the folder is not shown as Città"
[ -f "$work/wide/Città/${title}_linea.txt" ] || mismatch "sources Città: no texts in Città"
for case in "Città:0" "Москва:2" "Straße:0" "Ωmega:2"; do
    name=${case%:*}
    expected=${case#*:}
    (cd "$work/wide" && timeout 60 "$WINE" "$tool" compile --line "Città/${title}_linea.txt" \
        --train "Città/${title}_${code}-.txt" --title "$name" --code "$code" --out . --no-plan \
        </dev/null >/dev/null 2>"$work/wide.err")
    status=$?
    echo "compile --title $name: exit $status $(tr -d '\r' <"$work/wide.err" | head -c 200)"
    [ "$status" -eq "$expected" ] || mismatch "--title $name: exit $status, expected $expected"
    if [ "$expected" -eq 0 ]; then
        [ -f "$work/wide/${name}_${code}.sim" ] || mismatch "--title $name: no ${name}_${code}.sim"
    else
        grep -q "Windows-1252" "$work/wide.err" || mismatch "--title $name: the refusal does not say why"
    fi
done

[ "$failures" -eq 0 ] || exit 1
echo "every case as expected"
