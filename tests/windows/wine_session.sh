#!/usr/bin/env bash
# The wine session the Windows tests share: a virtual X server on a display of its own and a
# fresh wine prefix, made once per test run and removed at its end.
#
#   wine_session.sh start SESSION_DIR WINDOWS_BUILD_DIR
#   wine_session.sh stop  SESSION_DIR
#
# When wine, Xvfb or the Windows programs are missing, start records why in SESSION_DIR/skipped
# and succeeds, and every test of the session skips with that reason.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=wine_env.sh
. "$here/wine_env.sh"

display_number=97

start() {
    local session=$1 windows_build=$2
    # A run that was cut short left its session behind: end it before starting afresh.
    (stop "$session" >/dev/null)
    rm -rf "$session"
    mkdir -p "$session"
    local reason=""
    if [ -z "$(find_wine)" ]; then
        reason="wine64 is not installed"
    elif ! command -v Xvfb >/dev/null; then
        reason="Xvfb is not installed"
    elif [ ! -f "$windows_build/bin/scenario-builder.exe" ]; then
        reason="no $windows_build/bin/scenario-builder.exe: build it with cmake --workflow --preset windows"
    fi
    if [ -n "$reason" ]; then
        echo "$reason" >"$session/skipped"
        echo "wine session not started: $reason"
        return 0
    fi

    local begun=$EPOCHREALTIME
    local display=":$display_number"
    local socket=/tmp/.X11-unix/X$display_number
    if [ -e "/tmp/.X$display_number-lock" ]; then
        local holder
        holder=$(tr -d ' ' <"/tmp/.X$display_number-lock")
        if kill -0 "$holder" 2>/dev/null; then
            echo "FAIL: display $display is taken by process $holder"
            return 1
        fi
    fi
    # Detached from the test's output, so that the test ends while the server runs on.
    setsid Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp \
        </dev/null >"$session/xvfb.log" 2>&1 &
    local xvfb_pid=$!
    for _ in $(seq 1 100); do
        [ -S "$socket" ] && break
        sleep 0.1
    done
    if [ ! -S "$socket" ]; then
        kill "$xvfb_pid" 2>/dev/null
        echo "FAIL: Xvfb did not start on $display"
        cat "$session/xvfb.log"
        return 1
    fi

    {
        echo "WINE=$(find_wine)"
        echo "WINESERVER=$(find_wineserver)"
        echo "WINEPREFIX=$session/prefix"
        echo "DISPLAY=$display"
        echo "XVFB_PID=$xvfb_pid"
    } >"$session/session.env"
    load_session "$session"

    # A persistent server, so that the tests do not pay for its start again and again.
    setsid "$WINESERVER" -p </dev/null >"$session/wineserver.log" 2>&1
    if ! "$WINE" wineboot --init </dev/null >"$session/wineboot.log" 2>&1; then
        echo "FAIL: wineboot --init failed"
        cat "$session/wineboot.log"
        return 1
    fi
    # Without a window manager, a managed window waits for one before it shows.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        </dev/null >>"$session/wineboot.log" 2>&1 || {
        echo "FAIL: cannot set the X11 driver's Managed key"
        return 1
    }
    echo "wine session on $display, prefix $WINEPREFIX, ready in $(seconds_since "$begun") s"
}

stop() {
    local session=$1
    [ -f "$session/session.env" ] || return 0
    load_session "$session"
    "$WINESERVER" -k </dev/null >/dev/null 2>&1
    "$WINESERVER" -w </dev/null >/dev/null 2>&1
    if [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null; then
        for _ in $(seq 1 50); do
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
    fi
    rm -rf "$WINEPREFIX" "$session/session.env"
    echo "wine session stopped"
}

if [ "${1:-}" = start ] && [ $# -eq 3 ]; then
    start "$2" "$3"
elif [ "${1:-}" = stop ] && [ $# -eq 2 ]; then
    stop "$2"
else
    echo "usage: $0 start SESSION_DIR WINDOWS_BUILD_DIR | stop SESSION_DIR" >&2
    exit 64
fi
