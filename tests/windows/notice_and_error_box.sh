#!/usr/bin/env bash
# scenario-builder.exe under wine on the virtual X server. A directory in place of the train
# card stops the build at its fifth text, behind a message box, with the notice window still up:
# the box helper reads the window's client area and label and the box's text and buttons, a
# screenshot shows the label drawn, and Return, pressed on the X server, closes the box and ends
# the program with the failure status, before any compact file is written.
#
#   notice_and_error_box.sh WINDOWS_BUILD_DIR SESSION_DIR SCREENSHOT_DIR
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=wine_env.sh
. "$here/wine_env.sh"

windows_build=$1
load_session "$2"
screenshots=$3
for tool in xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
box_closer=$windows_build/test-helpers/scenario-box-closer.exe
[ -f "$box_closer" ] || fail "no $box_closer: rebuild with cmake --workflow --preset windows"

title="MORENA LAGO - PIAN DI VALSO"
card="${title}_R10537_scheda_treno.txt"

work=$(mktemp -d)
builder_pid=""
cleanup() {
    [ -n "$builder_pid" ] && kill "$builder_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
# A directory name beyond ASCII: the program finds its own directory and names its files in it.
run="$work/Città"
mkdir -p "$run" "$screenshots"
cp "$windows_build/bin/scenario-builder.exe" "$run/"
mkdir "$run/$card"

begun=$EPOCHREALTIME
(cd "$run" && exec "$WINE" ./scenario-builder.exe </dev/null >"$work/out" 2>"$work/err") &
builder_pid=$!
"$WINE" "$box_closer" "$(wine_path "$run")" --timeout 60 </dev/null 2>/dev/null |
    tr -d '\r' >"$work/box.txt"
echo "box up after $(seconds_since "$begun") s:"
sed 's/^/  /' "$work/box.txt"
field() { sed -n "s/^$1: //p" "$work/box.txt"; }

[ -n "$(field text)" ] || fail "no message box appeared"
kill -0 "$builder_pid" 2>/dev/null || fail "the program ended before its box was closed"
case "$(field text)" in
    "cannot replace "*"\\Città\\$card: it is a directory; nothing was written") ;;
    *) fail "the box does not name the train card in Città, behind a backslash: $(field text)" ;;
esac
[ "$(field buttons)" = "1" ] || fail "the box's buttons are '$(field buttons)', not IDOK (1) alone"
[ "$(field icon)" = "no" ] || fail "the box shows an icon"
[ "$(field title)" = "Error" ] || fail "the box has the title '$(field title)', not the system's own"
[ "$(field notice)" = "scenario-builder" ] || fail "the box's owner is not the notice window"
[ "$(field client)" = "280x179" ] || fail "the client area is $(field client), not 280x179"
[ "$(field label)" = "Attendere" ] || fail "the label reads '$(field label)'"
[ "$(field 'label at')" = "64 64 177 53" ] || fail "the label lies at $(field 'label at')"

# The picture: some dark text inside the label, the plain face colour above it, and glyphs of a
# 24 pt face (a cap height of about 23 pixels at 96 dpi), not of the small dialog font.
shot=$screenshots/notice-and-box.png
import -window root "$shot" || fail "no screenshot"
read -r lx ly lw lh <<<"$(field 'label on screen')"
darkest() { convert "$shot" -crop "$1" +repage -colorspace Gray -format '%[fx:minima]' info:; }
label_dark=$(darkest "${lw}x${lh}+${lx}+${ly}")
margin_dark=$(darkest "${lw}x40+${lx}+$((ly - 50))")
awk -v l="$label_dark" -v m="$margin_dark" 'BEGIN { exit !(l < 0.3 && m > 0.6) }' ||
    fail "label darkest $label_dark, margin darkest $margin_dark: the label is not drawn"
glyphs=$(convert "$shot" -crop "${lw}x${lh}+${lx}+${ly}" +repage -colorspace Gray \
    -threshold 50% -trim -format '%w %h' info:)
read -r glyphs_w glyphs_h <<<"$glyphs"
if [ "$glyphs_h" -lt 18 ] || [ "$glyphs_h" -gt 40 ] || [ "$glyphs_w" -lt 100 ]; then
    fail "the label's text is ${glyphs_w}x${glyphs_h} pixels, not of a 24 pt face"
fi

# Return on the X server reaches the box, which holds the keyboard focus.
focused=$(xdotool getwindowfocus getwindowname 2>/dev/null)
[ "$focused" = "Error" ] || fail "the box does not hold the focus ('$focused' does)"
xdotool key Return
for _ in $(seq 1 100); do
    kill -0 "$builder_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$builder_pid" 2>/dev/null && fail "Return did not close the box"
wait "$builder_pid"
status=$?
builder_pid=""
echo "ended $(seconds_since "$begun") s after its start, exit $status"
[ "$status" -eq 3 ] || fail "exit status $status, expected 3 (a file could not be written)"
for compact in "${title}_R10537.sim" "${title}_R10537.dat" "${title}_linea.dat"; do
    [ ! -e "$run/$compact" ] || fail "$compact was written after the failure"
done
# The train card's name is checked with every other name before anything is written.
for text in "${title}_R10537_rallentamenti.txt" "${title}_linea.txt" "${title}_R10537-.txt"; do
    [ ! -e "$run/$text" ] || fail "$text was written although an output name was unusable"
done
sleep 0.3
xdotool search --name '^(scenario-builder|Error)$' >/dev/null 2>&1 && fail "a window stayed open"
echo "notice 280x179 with 'Attendere' drawn (${glyphs_w}x${glyphs_h} px glyphs), box" \
    "'$(field text | cut -c1-40)...' closed by Return; screenshot $shot"
