#!/usr/bin/env bash
# scenario-builder where no window can be shown: with no display named it must not even load
# the windowing libraries (their loading once cost more than the build), and with a display
# named that nobody serves it must still build every file, windowless, and end cleanly.
set -u
builder=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

run_in() {  # run_in DIR [VAR=VALUE...]: a fresh copy of the builder, run in its own directory
  local dir=$1
  shift
  mkdir -p "$dir"
  cp "$builder" "$dir/scenario-builder"
  (cd "$dir" && env -u DISPLAY "$@" ./scenario-builder >"$dir/stdout" 2>"$dir/stderr")
}

expect_six_files() {
  local count
  count=$(find "$1" -maxdepth 1 -type f -name 'MORENA LAGO - PIAN DI VALSO*' | wc -l)
  [ "$count" -eq 6 ] || fail "$2: $count files of the scenario, not 6"
}

run_in "$work/none" LD_DEBUG=files
status=$?
[ "$status" -eq 0 ] || fail "without a display the build ended with status $status"
expect_six_files "$work/none" "without a display"
if grep -Eq 'libX11|libXft' "$work/none/stderr"; then
  fail "a run without a display loaded the windowing libraries"
fi

# A display that no server answers: the libraries load, the display does not open.
run_in "$work/unserved" DISPLAY=:1999
status=$?
[ "$status" -eq 0 ] || fail "with an unserved display the build ended with status $status"
expect_six_files "$work/unserved" "with an unserved display"
[ ! -s "$work/unserved/stderr" ] || fail "a clean windowless build wrote: $(cat "$work/unserved/stderr")"
echo "windowless builds: none named and an unserved display both wrote their six files"
