#!/usr/bin/env bash
# Every fault number the programs record or show, and every one a test expects, comes from the
# catalogue (compiler/model/diagnostic_catalogue.h) by name. This lists the places that record,
# compare or expect a fault by its bare number instead, and fails when there is any.
#   no_bare_fault_numbers.sh SOURCE_DIR
set -euo pipefail
root=${1:?usage: no_bare_fault_numbers.sh SOURCE_DIR}
cd "$root"

# A number from 1 up where a fault goes; 0 means "no fault" and stays as it is.
n='[1-9][0-9]*'
s='[[:space:]]*'
patterns=(
    # state.errorNumber = 16; EXPECT_EQ(state.errorNumber, 16); result.fatalError == 1250
    "\\b(errorNumber|fatalError)$s(=|==|!=|,)$s$n\\b"
    # expect_fault(25, ...), expect_fault_at(16, ...), expect_error(state, 13, ...)
    "\\bexpect_(fault|error)[a-z_]*\\($s([A-Za-z_][A-Za-z0-9_.]*$s,$s)?$n\\b"
    # record_fault<16>, Fault{16}, static_cast<Fault>(16)
    "\\brecord_[a-z_]*fault$s<$s$n\\b"
    "\\bFault$s\\{$s$n\\b"
    "static_cast<$s([A-Za-z_]+::)*Fault$s>$s\\($s$n\\b"
    # error_meaning(16), error_sets_position(16), find_fault(16)
    "\\b(error_meaning|error_sets_position|find_fault)\\($s$n\\b"
    # "errorNumber":16 in an expected JSON report
    "errorNumber\\\\?\"$s:$s$n\\b"
)

found=0
for pattern in "${patterns[@]}"; do
    if grep -rnE --include='*.h' --include='*.cpp' "$pattern" src tools tests |
        grep -v '^src/compiler/model/diagnostic_catalogue\.h:'; then
        found=1
    fi
done
if [ "$found" -ne 0 ]; then
    echo "bare fault numbers above: name them by the catalogue (number_of(Fault::...))" >&2
    exit 1
fi
echo "no bare fault number in src/, tools/ or tests/"
