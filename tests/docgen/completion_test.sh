#!/usr/bin/env bash
# bash completes scenario-tool with the script the build made: command words, each command's
# options, the values of options (the warning names after -Wno-) and its file and directory
# arguments. Run in a directory with a file, an SVG picture and a directory in it.
#
#   completion_test.sh COMPLETION_SCRIPT
set -u
script=$1
loader=/usr/share/bash-completion/bash_completion
[ -f "$loader" ] || { echo "skipped: bash-completion is not installed"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/texts"
touch "$work/line.txt" "$work/line.svg"
cd "$work" || exit 1

# The words bash offers for the line up to its end, sorted, on one line.
complete_line() {
    bash --norc --noprofile -c '
        . "$1" && . "$2" || exit 1
        compopt() { :; }  # the options of a completion outside a real one
        read -ra COMP_WORDS <<<"$3"
        [[ $3 == *" " ]] && COMP_WORDS+=("")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_LINE=$3
        COMP_POINT=${#3}
        _scenario_tool scenario-tool "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        ((${#COMPREPLY[@]} == 0)) || printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "
    ' bash "$loader" "$script" "$1"
}

failures=0
while IFS='|' read -r line expected; do
    [ -n "$line" ] || continue
    got=$(complete_line "$line")
    if [ "$got" != "$expected" ]; then
        echo "FAIL: '$line' completes to '$got', not '$expected'"
        failures=$((failures + 1))
    fi
done <<'CASES'
scenario-tool comp|compile 
scenario-tool --v|--version 
scenario-tool sources |texts 
scenario-tool sources --f|--force 
scenario-tool compile --li|--line 
scenario-tool compile --line |line.svg line.txt texts 
scenario-tool compile --out |texts 
scenario-tool compile --code |
scenario-tool compile --no|--no-lock --no-plan 
scenario-tool compile --no-p|--no-plan 
scenario-tool documents --no|--no-lock 
scenario-tool check --col|--color= 
scenario-tool check --color=a|always auto 
scenario-tool check -W|-Wno- 
scenario-tool check -Wno-out-of-o|-Wno-out-of-order 
scenario-tool check --json -Wno-lone|-Wno-lone-cr 
scenario-tool dump --as |cells plan scenario 
scenario-tool dump --as c|cells 
scenario-tool dump l|line.svg line.txt 
scenario-tool plot texts --out |line.svg texts 
scenario-tool help comp|compile 
CASES
[ "$failures" -eq 0 ] || exit 1
echo "every case completes as expected"
