#!/usr/bin/env bash
# The Debian copyright file, which the zip carries too as COPYRIGHT.txt, gives the licence of
# LICENSE word for word, with its holder and year, in the form Debian reads: License: Expat.
#   copyright_test.sh SOURCE_DIR
set -euo pipefail
cd "${1:?usage: copyright_test.sh SOURCE_DIR}"
fail() { echo "FAIL: $*"; exit 1; }

holder=$(sed -n 's/^Copyright (c) //p' LICENSE)
[ -n "$holder" ] || fail "LICENSE names no holder"
grep -qxF "Copyright: $holder" packaging/copyright ||
    fail "packaging/copyright does not name the holder of LICENSE, '$holder'"
# A licence text in the copyright file is indented by one blank, an empty line written ".".
text=$(sed -n '/^Permission/,$p' LICENSE | sed 's/^$/./; s/^/ /')
[ -n "$text" ] || fail "LICENSE holds no licence text"
copyright=$(cat packaging/copyright)
[[ "$copyright" == *$'License: Expat\n'"$text"* ]] ||
    fail "packaging/copyright does not give the text of LICENSE under 'License: Expat'"
echo "packaging/copyright gives the licence of LICENSE: $holder, Expat"
