#!/usr/bin/env bash
# The folders of scenario-tool stand on floors: a file includes headers of its own folder, of the
# folders on lower floors and of the core, never of a higher floor nor of another folder on its
# own floor; and no files include each other, directly or round a cycle (a header and its source
# count as one). This reads every #include "..." of tools/scenario-tool and fails, naming file
# and line, on each include that breaks the floors and on each cycle. The table below is the
# one of docs/architecture.md, which must hold it word for word.
#   tool_include_floors.sh SOURCE_DIR
set -euo pipefail
root=${1:?usage: tool_include_floors.sh SOURCE_DIR}
cd "$root"
tool=tools/scenario-tool

# One row per folder of the tool, "." for its root; core is src/, below them all.
table='floor  folder       holds
0      core         src/compiler, src/files, src/sources: the builder'\''s own compile
1      cli          exit statuses, option parsing, help texts
2      io           the author'\''s texts, output guards, safe names, text encoding, JSON
3      reading      the one reading of the texts as the author tools hear it, route facts
3      running_time the train'\''s fastest run along the line and the timetable set against it
4      diagnostics  the diagnostics of a reading, their text and JSON, the compile report
4      inspect      compact files decoded, dump, format reference
4      documents    train card, slowdown order and the forms they are printed in
5      view         the scenario view, the SVG plot and the route page
5      lsp          the language server: documents, positions, pairing, editor features
6      commands     one file per command: options in, parts called, exit status out
7      .            tool.cpp (the command table) and main.cpp'

declare -A floor_of=()
while read -r floor folder _; do
    floor_of[$folder]=$floor
done < <(tail -n +2 <<<"$table")
core_folders=(compiler files sources)

failures=0
fail() {
    echo "$1" >&2
    failures=$((failures + 1))
}

architecture=$(cat docs/architecture.md 2>/dev/null || true)
[[ "$architecture" == *"$table"* ]] ||
    fail "docs/architecture.md does not hold the floor table of $0 word for word"

# The folder of a path within the tool (its first directory, or "."), and its unit: a header
# and its source are one.
folder_of() {
    if [[ $1 == */* ]]; then folder=${1%%/*}; else folder=.; fi
}
unit_of() {
    unit=${1%.h}
    unit=${unit%.cpp}
}

edges=$(mktemp)
trap 'rm -f "$edges" "$edges.loops"' EXIT
arrows=0
while IFS= read -r -d '' path; do
    file=${path#"$tool"/}
    folder_of "$file"
    from=$folder
    unit_of "$file"
    from_unit=$unit
    from_floor=${floor_of[$from]:-}
    if [ -z "$from_floor" ]; then
        fail "$path: the folder '$from' has no floor in the table of $0"
        continue
    fi
    while IFS=: read -r line header; do
        where="$path:$line"
        if [ -f "$tool/$header" ]; then
            folder_of "$header"
            to=$folder
            to_floor=${floor_of[$to]:-}
            if [ -z "$to_floor" ]; then
                fail "$where: includes \"$header\", whose folder '$to' has no floor"
            elif [ "$to_floor" -gt "$from_floor" ]; then
                fail "$where: includes \"$header\" upwards: $to (floor $to_floor) above $from (floor $from_floor)"
            elif [ "$to_floor" -eq "$from_floor" ] && [ "$to" != "$from" ]; then
                fail "$where: includes \"$header\" of $to, a peer on floor $from_floor"
            fi
            unit_of "$header"
            if [ "$from_unit" != "$unit" ]; then
                echo "$from_unit $unit $where" >>"$edges"
                arrows=$((arrows + 1))
            fi
        elif [[ " ${core_folders[*]} " == *" ${header%%/*} "* ]] && [ -f "src/$header" ]; then
            :  # the core, floor 0
        else
            fail "$where: \"$header\" is no header of the tool (written from its root) nor of the core"
        fi
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$path" |
        sed -E 's/^([0-9]+):[^"]*"([^"]*)".*/\1:\2/')
done < <(find "$tool" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | LC_ALL=C sort -z)

# tsort names the units of each cycle; the includes between them are the ones to undo.
if ! cut -d' ' -f1,2 "$edges" | tsort >/dev/null 2>"$edges.loops"; then
    mapfile -t loop < <(sed -n 's/^tsort: \([^-].*\)$/\1/p' "$edges.loops")
    fail "the tool's includes form a cycle through ${loop[*]}:"
    while read -r a b where; do
        if [[ " ${loop[*]} " == *" $a "* && " ${loop[*]} " == *" $b "* ]]; then
            fail "  $where: $a -> $b"
        fi
    done <"$edges"
fi

if [ "$failures" -ne 0 ]; then
    echo "includes above break the floors of the tool (see docs/architecture.md)" >&2
    exit 1
fi
echo "$arrows includes between the tool's files, none upwards, none to a peer, no cycle"
