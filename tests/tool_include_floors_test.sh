#!/usr/bin/env bash
# The floor guard of the tool's includes, on copies of the tree with one bad include each: it
# must refuse each, naming the file and line, and pass the tree as it is.
#   tool_include_floors_test.sh SOURCE_DIR
set -euo pipefail
source_dir=$(realpath "${1:?usage: tool_include_floors_test.sh SOURCE_DIR}")
guard=$source_dir/tests/tool_include_floors.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# A copy of what the guard reads, with LINE appended to FILE of the tool when given.
copy_tree() {
    rm -rf "$work/tree"
    mkdir -p "$work/tree/tools" "$work/tree/docs"
    ln -s "$source_dir/src" "$work/tree/src"
    cp -r "$source_dir/tools/scenario-tool" "$work/tree/tools/"
    cp "$source_dir/docs/architecture.md" "$work/tree/docs/"
}

# expect_refused NAME FILE LINE EXPECTED...: the guard fails and prints each EXPECTED text.
expect_refused() {
    local name=$1 file=$2 line=$3 bad=0
    shift 3
    copy_tree
    echo "$line" >>"$work/tree/tools/scenario-tool/$file"
    local status=0
    bash "$guard" "$work/tree" >"$work/out" 2>&1 || status=$?
    if [ "$status" -eq 0 ]; then
        echo "FAIL $name: the guard passed"
        bad=1
    fi
    for expected in "$@"; do
        if ! grep -qF -- "$expected" "$work/out"; then
            echo "FAIL $name: no '$expected' in:"
            sed 's/^/    /' "$work/out"
            bad=1
        fi
    done
    [ "$bad" -eq 0 ] && echo "ok $name" || failed=1
}

lines_of() { wc -l <"$source_dir/tools/scenario-tool/$1" | tr -d ' '; }

# Each bad include is appended, so it stands on the line after the file's last one.
expect_refused upwards io/json.cpp '#include "diagnostics/diagnostic.h"' \
    "io/json.cpp:$(($(lines_of io/json.cpp) + 1)): includes \"diagnostics/diagnostic.h\" upwards"
expect_refused root_upwards commands/check_command.cpp '#include "tool.h"' \
    "commands/check_command.cpp:$(($(lines_of commands/check_command.cpp) + 1)): includes \"tool.h\" upwards"
expect_refused peer documents/train_card.cpp '#include "inspect/compact_file.h"' \
    "documents/train_card.cpp:$(($(lines_of documents/train_card.cpp) + 1)): includes \"inspect/compact_file.h\" of inspect, a peer"
expect_refused not_from_root view/svg_plot.cpp '#include "svg_canvas.h"' \
    "view/svg_plot.cpp:$(($(lines_of view/svg_plot.cpp) + 1)): \"svg_canvas.h\" is no header"
expect_refused outside_core view/svg_plot.cpp '#include "platform/platform.h"' \
    "\"platform/platform.h\" is no header of the tool"
# json.cpp already includes text_encoding.h: the header's source back to it closes a cycle.
expect_refused cycle io/text_encoding.cpp '#include "io/json.h"' \
    "cycle through" "io/text_encoding.cpp:$(($(lines_of io/text_encoding.cpp) + 1)): io/text_encoding -> io/json"

copy_tree
sed -i "s/^7      \\./7      root/" "$work/tree/docs/architecture.md"
if bash "$guard" "$work/tree" >"$work/out" 2>&1 || ! grep -q 'word for word' "$work/out"; then
    echo "FAIL table: the guard passed a docs/architecture.md whose table differs"
    failed=1
else
    echo "ok table"
fi

if ! bash "$guard" "$source_dir" >"$work/out" 2>&1; then
    echo "FAIL tree: the guard refuses the tree as it is:"
    sed 's/^/    /' "$work/out"
    failed=1
else
    echo "ok tree: $(cat "$work/out")"
fi
exit "$failed"
