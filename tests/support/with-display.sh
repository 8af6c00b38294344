#!/usr/bin/env bash
# Runs a command under a virtual X display: starts Xvfb on a free display
# number (1920 x 1080, 24 bit) and matchbox-window-manager on it, runs the
# command with DISPLAY set, stops both and exits with the command's status.
#
#   tests/support/with-display.sh ctest --test-dir build --output-on-failure
set -euo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 command [arguments...]" >&2
    exit 2
fi

workdir="$(mktemp -d)"
xvfb_pid=""
wm_pid=""

cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
    rm -rf "$workdir"
}
trap cleanup EXIT

# Xvfb picks a free display number and writes it to the pipe once it accepts
# connections, so several runs on one machine do not collide.
mkfifo "$workdir/displayfd"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$workdir/displayfd" >"$workdir/xvfb.log" 2>&1 &
xvfb_pid=$!

display_number=""
if ! read -r -t 30 display_number <"$workdir/displayfd" || [ -z "$display_number" ]; then
    echo "Xvfb did not start:" >&2
    cat "$workdir/xvfb.log" >&2
    exit 1
fi
export DISPLAY=":$display_number"

# JUCE windows need a window manager (without one the process exits on an X error).
matchbox-window-manager -use_titlebar no >"$workdir/wm.log" 2>&1 &
wm_pid=$!
# On a loaded machine the window manager can take seconds to come up; windows
# opened before it has would fail, so wait for it (up to a minute) or give up.
if command -v xprop >/dev/null; then
    wm_ready=""
    for _ in $(seq 1 1200); do
        if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
            wm_ready=yes
            break
        fi
        if ! kill -0 "$wm_pid" 2>/dev/null; then
            break
        fi
        sleep 0.05
    done
    if [ -z "$wm_ready" ]; then
        echo "matchbox-window-manager did not start:" >&2
        cat "$workdir/wm.log" >&2
        exit 1
    fi
else
    sleep 1
fi

status=0
"$@" || status=$?
exit "$status"
