#!/usr/bin/env bash
# Runs a command under a virtual X display: starts Xvfb on a free display
# number (1920 x 1080, 24 bit) and matchbox-window-manager on it, runs the
# command with DISPLAY set, stops both and exits with the command's status.
# A display that does not come up (as can happen while other X servers start
# and stop on the machine) is tried again with a new server and window
# manager, three times in all; each failed try shows both of their logs.
#
#   tests/support/with-display.sh ctest --test-dir build --output-on-failure
set -euo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 command [arguments...]" >&2
    exit 2
fi

tries=3
workdir="$(mktemp -d)"
xvfb_pid=""
wm_pid=""

stop_display() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
    wm_pid=""
    xvfb_pid=""
}

cleanup() {
    stop_display
    rm -rf "$workdir"
}
trap cleanup EXIT

# start_display <try>: starts Xvfb and the window manager, logging to
# xvfb-<try>.log and wm-<try>.log, and sets DISPLAY; says what did not come up
# and fails otherwise.
start_display() {
    local try="$1"
    # Xvfb picks a free display number and writes it to the pipe once it
    # accepts connections, so several runs on one machine do not collide.
    mkfifo "$workdir/displayfd-$try"
    Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp \
        3>"$workdir/displayfd-$try" >"$workdir/xvfb-$try.log" 2>&1 &
    xvfb_pid=$!

    local display_number=""
    if ! read -r -t 30 display_number <"$workdir/displayfd-$try" || [ -z "$display_number" ]; then
        echo "display try $try of $tries: Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$display_number"

    # JUCE windows need a window manager (without one the process exits on an X error).
    matchbox-window-manager -use_titlebar no >"$workdir/wm-$try.log" 2>&1 &
    wm_pid=$!
    # On a loaded machine the window manager can take seconds to come up;
    # windows opened before it has would fail, so wait for it (up to a minute).
    if ! command -v xprop >/dev/null; then
        sleep 1
        return 0
    fi
    for _ in $(seq 1 1200); do
        if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
            return 0
        fi
        if ! kill -0 "$wm_pid" 2>/dev/null; then
            break
        fi
        sleep 0.05
    done
    if kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "display try $try of $tries: matchbox-window-manager did not start on $DISPLAY" >&2
    else
        echo "display try $try of $tries: matchbox-window-manager did not start on $DISPLAY, where Xvfb has exited" >&2
    fi
    return 1
}

# show_logs <try>: both logs of a try.
show_logs() {
    local try="$1"
    echo "--- Xvfb's log:" >&2
    cat "$workdir/xvfb-$try.log" >&2
    echo "--- matchbox-window-manager's log:" >&2
    if [ -f "$workdir/wm-$try.log" ]; then
        cat "$workdir/wm-$try.log" >&2
    else
        echo "(not started)" >&2
    fi
    echo "---" >&2
}

for try in $(seq 1 "$tries"); do
    if start_display "$try"; then
        break
    fi
    stop_display
    show_logs "$try"
    if [ "$try" -eq "$tries" ]; then
        echo "no display after $tries tries; giving up" >&2
        exit 1
    fi
    echo "trying again with a new X server and window manager" >&2
done

status=0
"$@" || status=$?
exit "$status"
