#!/usr/bin/env bash
# The notice window and the error box of scenario-builder on a virtual X server.
# A build whose notes file cannot be created keeps the window up behind its error box: the test
# finds the window, checks its client size and that its label is drawn, finds the box, closes
# it with Return and checks that the program then ends with the failure status.
# Exits 77 (skipped) when Xvfb, xdotool or ImageMagick is missing.
set -u
builder=$1
display=:93
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
xvfb_pid=""
builder_pid=""
cleanup() {
  [ -n "$builder_pid" ] && kill "$builder_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 1 100); do
  xdotool getdisplaygeometry >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool getdisplaygeometry >/dev/null 2>&1 || fail "Xvfb did not answer on $display"

cp "$builder" "$work/scenario-builder"
# A directory in place of the notes file: the third text cannot be written.
mkdir "$work/MORENA LAGO - PIAN DI VALSO_R10537_note.txt"
(cd "$work" && exec ./scenario-builder 2>"$work/stderr") &
builder_pid=$!

notice=$(timeout 20 xdotool search --sync --classname '^scenario-builder$' | head -n 1)
[ -n "$notice" ] || fail "the notice window did not appear"
geometry=$(xdotool getwindowgeometry "$notice" | awk '/Geometry/ {print $2}')
[ "$geometry" = "280x179" ] || fail "client area is $geometry, not 280x179"

box=$(timeout 20 xdotool search --sync --classname '^scenario-builder-message$' | head -n 1)
[ -n "$box" ] || fail "the error box did not appear"
[ "$(xdotool getwindowname "$box")" = "scenario-builder" ] || fail "the box's title is not the program's name"

import -window "$notice" "$work/notice.png" || fail "no screenshot of the window"
darkest() { convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:minima]' info:; }
label=$(darkest "$work/notice.png" 177x53+64+64)
margin=$(darkest "$work/notice.png" 60x60+0+0)
awk -v l="$label" -v m="$margin" 'BEGIN { exit !(l < 0.3 && m > 0.8) }' ||
  fail "label area darkest $label, margin darkest $margin: the label is not drawn"
import -window "$box" "$work/box.png" || fail "no screenshot of the box"
[ "$(darkest "$work/box.png" 100x20+20+20)" != "1" ] || fail "the box shows no text"

# Still waiting for the box: the program must not have ended.
kill -0 "$builder_pid" 2>/dev/null || fail "the program ended before its box was closed"
xdotool key Return
for _ in $(seq 1 100); do
  kill -0 "$builder_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$builder_pid" 2>/dev/null && fail "Return did not close the box"
wait "$builder_pid"
status=$?
builder_pid=""
[ "$status" -eq 3 ] || fail "exit status $status, expected 3"
xdotool search --classname '^scenario-builder' >/dev/null 2>&1 && fail "a window stayed open"
echo "notice window 280x179 with its label drawn (darkest $label); error box closed by Return; exit $status"
