# shellcheck shell=bash
# Shared by the Windows tests (sourced): finding wine, joining the session, wine paths.
# Every wine program runs with its standard streams on files: wine's helper processes outlive
# the program, and must not hold the test's own output open.

# The wine64 loader: Debian's wine64 package has no `wine` wrapper on the PATH.
find_wine() {
    local candidate
    for candidate in /usr/lib/wine/wine64 "$(command -v wine64)" "$(command -v wine)"; do
        [ -n "$candidate" ] && [ -x "$candidate" ] && { echo "$candidate"; return; }
    done
}

find_wineserver() {
    local candidate
    for candidate in /usr/lib/wine/wineserver64 "$(command -v wineserver64)" \
        "$(command -v wineserver)"; do
        [ -n "$candidate" ] && [ -x "$candidate" ] && { echo "$candidate"; return; }
    done
}

# Exports the session's settings; exits 77 when the session was skipped.
load_session() {
    local session=$1
    if [ -f "$session/skipped" ]; then
        echo "skipped: $(cat "$session/skipped")"
        exit 77
    fi
    if [ ! -f "$session/session.env" ]; then
        echo "FAIL: no wine session in $session"
        exit 1
    fi
    set -a
    # shellcheck disable=SC1091
    . "$session/session.env"
    set +a
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
}

# The name wine gives a Unix path: drive Z: is the root of the Unix tree.
wine_path() {
    local path
    path=$(cd "$1" && pwd -P)
    echo "Z:${path//\//\\}"
}

# Seconds, with milliseconds, since a value of EPOCHREALTIME.
seconds_since() {
    awk -v from="$1" -v now="$EPOCHREALTIME" 'BEGIN { printf "%.2f", now - from }'
}

fail() {
    echo "FAIL: $*"
    exit 1
}
