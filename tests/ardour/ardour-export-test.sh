#!/usr/bin/env bash
# The plug-in in Ardour 7's headless Lua host (Debian's ardour package): a
# session on the dummy backend with one track that plays the backend's test
# tone through the plug-in, exported to WAV, must come out gated in time with
# the session tempo from its first sixteenth on, and Ardour must exit with
# status 0, both when the script closes the session and when it ends the process
# with the plug-in still open. The first of these runs in blocks of 512 samples,
# the second in the backend's default blocks of 1024 (with smaller ones,
# Ardour's own crashes at exit, described below, came more often). Ardour runs
# the plug-in with its transport stopped before the export starts, for a number
# of blocks that varies from run to run, so the stopped gate meets the start of
# playback at various points of its pattern.
#
#   ardour-export-test.sh <ZkOstinel.so> <zk_ardour_export_check> <work folder>
#
# Ardour 7.3's Lua host fails now and then on its own, with no plug-in on the
# track: heap corruption found by the C library while it builds or tears down
# its export graph, saves or closes the session, and segmentation faults in its
# signal dispatch; it has also hung. After os.exit its audio thread goes on
# processing while exit() destroys the host's data, and crashes there. So every
# run goes under gdb, and a run that crashes or hangs is judged by its
# backtrace: with no frame of the plug-in (its file, the framework it carries,
# its sources) in the thread that crashed (for a hang, the host's main thread;
# during exit, the innermost frame) the failure is Ardour's own and the run is
# tried again, as is a run that gdb loses at exit; anything else fails the test. A control run without the plug-in
# comes first: it gives the unprocessed export to compare with and shows that
# Ardour works here at all. When Ardour fails on its own in every try, the test
# is skipped (status 77), since it could not judge the plug-in.
#
# A plug-in built with AddressSanitizer is run with the sanitizer's runtime
# preloaded into Ardour; a sanitizer report aborts the run and is judged like
# any crash.
set -uo pipefail

if [ $# -ne 3 ]; then
    echo "usage: $0 <ZkOstinel.so> <zk_ardour_export_check> <work folder>" >&2
    exit 2
fi

plugin="$(realpath "$1")"
checker="$2"
work="$3"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
sources="$(cd "$here/../.." && pwd)"
script="$here/render-session.lua"

skipped=77
ardour_lib=/usr/lib/ardour7
luasession="$ardour_lib/luasession"
scanner="$ardour_lib/ardour-vst-scanner"
plugin_id=1516982131 # the plug-in's VST unique id, as Ardour names it
seconds=4            # two bars at the session's default tempo
bpm=120
attempts=5
run_limit=120 # [s] per run; the runs take a few seconds

if ! command -v ardour7-lua >/dev/null || [ ! -x "$luasession" ] || [ ! -x "$scanner" ]; then
    echo "SKIPPED: ardour7-lua is not installed (Debian package ardour, which .ci/deps installs)"
    exit "$skipped"
fi
if ! command -v gdb >/dev/null; then
    echo "SKIPPED: gdb is not installed; it tells Ardour's own crashes from the plug-in's (.ci/deps installs it)"
    exit "$skipped"
fi

rm -rf "$work"
mkdir -p "$work/home" "$work/vst"
cp "$plugin" "$work/vst/ZkOstinel.so"
# Ardour takes a cache entry only when it is newer than the plug-in's file, to
# the second; a copy made in the same second as the scan would be scanned
# again (which the headless host does not do) and not be found.
touch -d "1 hour ago" "$work/vst/ZkOstinel.so"

# Nothing from the user's set-up: a private home, configuration and cache, and
# only this plug-in on the VST search path. The rest is what Debian's
# ardour7-lua wrapper sets.
export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache" XDG_DATA_HOME="$HOME/.local/share"
export LXVST_PATH="$work/vst" VST_PATH="$work/vst"
export LD_LIBRARY_PATH="$ardour_lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
export ARDOUR_DATA_PATH=/usr/share/ardour7 ARDOUR_CONFIG_PATH=/etc/ardour7 ARDOUR_DLL_PATH="$ardour_lib"
export VAMP_PATH="$ardour_lib/vamp"
export LIBC_FATAL_STDERR_=1 # the C library's heap messages to stderr, not the terminal
# The host shows no window, but the plug-in's framework connects to the X
# display all the same: the one the test runs under (tests/support/
# with-display.sh), or, without one, a display name that no server answers
# (the framework's own fallback, ":0.0", may reach a server that is not ours).
export DISPLAY="${DISPLAY:-:4093}"

sanitizer_preload=""
asan_runtime="$(ldd "$plugin" | awk '/libasan\.so/ { print $3 }')"
if [ -n "$asan_runtime" ]; then
    # The runtime must come first in the process, but a preloaded library is
    # initialised after the host's own libraries; libp11-kit's and
    # libgpg-error's initialisers allocate while they hold a C library lock,
    # and the sanitizer, starting up inside that allocation, leaves the lock
    # broken (the host then hangs). Preloaded ahead of the runtime, those two
    # are initialised after it.
    for early in libp11-kit.so.0 libgpg-error.so.0; do
        path="$(ldd "$luasession" | awk -v lib="$early" '$1 == lib { print $3 }')"
        [ -n "$path" ] && sanitizer_preload+="$path "
    done
    sanitizer_preload+="$asan_runtime"
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0:verify_asan_link_order=0:abort_on_error=1"
    echo "the plug-in is built with AddressSanitizer: preloading $sanitizer_preload"
fi

with_sanitizer() {
    if [ -n "$sanitizer_preload" ]; then
        LD_PRELOAD="$sanitizer_preload" "$@"
    else
        "$@"
    fi
}

# Ardour's VST cache, which the host reads instead of loading unknown files.
if ! with_sanitizer timeout "$run_limit" "$scanner" -f -q "$work/vst/ZkOstinel.so" >"$work/scan.log" 2>&1; then
    echo "FAIL: Ardour's VST scanner could not index the plug-in:"
    cat "$work/scan.log"
    exit 1
fi

plugin_frames="ZkOstinel|juce::|Zk[A-Z]|Cvo[A-Z]|$sources/(engine|editor|plugin|vst)/"

# run_once <folder> <plugin id | none> <close | exit> [block size]: one run of
# the session script under gdb. Sets verdict to "ok", "ardour" (Ardour's own failure) or
# "plugin" (a failure to blame on the plug-in), and reason.
run_once() {
    local dir="$1" id="$2" ending="$3" block="${4:-}"
    rm -rf "$dir"
    mkdir -p "$dir"

    # On a hang, timeout interrupts gdb, which stops Ardour and prints the
    # backtraces like on a crash; gdb kills Ardour when it quits.
    timeout -s INT -k 30 "$run_limit" gdb -q -batch -nx \
        -ex "set pagination off" -ex "set confirm off" -ex "set print thread-events off" \
        -ex "handle SIGPIPE SIGUSR1 SIGUSR2 SIG32 SIG33 SIG34 SIG35 nostop noprint pass" \
        ${sanitizer_preload:+-ex "set environment LD_PRELOAD $sanitizer_preload"} \
        -ex run \
        -ex "echo ZK-GDB-CRASHED-THREAD\n" -ex "bt 60" \
        -ex "echo ZK-GDB-ALL-THREADS\n" -ex "thread apply all bt 40" \
        --args "$luasession" "$script" "$dir/session" "$id" "$seconds" "$ending" ${block:+"$block"} \
        >"$dir/gdb.log" 2>"$dir/stderr.log" </dev/null

    judge_run "$dir" "$ending"
}

# judge_run <folder> <close | exit>: the verdict on a run from its gdb.log and
# stderr.log.
judge_run() {
    local dir="$1" ending="$2"
    local signal
    signal="$(sed -n 's/.* received signal \(SIG[A-Z0-9]*\).*/\1/p' "$dir/gdb.log" | head -n 1)"
    local last_stage
    last_stage="$(grep -o '^ZK-[A-Z]*' "$dir/stderr.log" | tail -n 1)"

    if [ -n "$signal" ]; then
        local frames
        if [ "$signal" = SIGINT ]; then
            # A hang: judged by the host's main thread, where the script runs.
            frames="$(sed -n '/^ZK-GDB-ALL-THREADS/,$p' "$dir/gdb.log" | sed -n '/^Thread 1 /,/^$/p')"
            reason="hung after ${last_stage:-the start} (no end within $run_limit s)"
        else
            frames="$(sed -n '/^ZK-GDB-CRASHED-THREAD/,/^ZK-GDB-ALL-THREADS/p' "$dir/gdb.log")"
            local message
            message="$(grep -E -m 1 'free\(\)|malloc|corruption|invalid pointer|ERROR: AddressSanitizer|runtime error' "$dir/stderr.log")"
            reason="$signal after ${last_stage:-the start}${message:+: $message}"
            if [ "$last_stage" = ZK-EXITING ] && ! grep -m 1 '^#0 ' <<<"$frames" | grep -E -q "$plugin_frames"; then
                # Ardour keeps its audio thread processing while exit()
                # destroys its static data, and the thread then crashes in
                # Ardour's code (its tempo map, read when a plug-in asks for
                # the time) or in a plug-in library already torn down; a
                # Debian gate plug-in does the same. Only a crash inside the
                # plug-in's own code counts against it here.
                verdict=ardour
                reason+="; the process was exiting and the crash is outside the plug-in: $(grep -m 1 '^#0 ' <<<"$frames" | cut -c1-120)"
                return
            fi
        fi
        if grep -E -q "$plugin_frames" <<<"$frames"; then
            verdict=plugin
            reason+="; the plug-in is in the backtrace"
        else
            verdict=ardour
            reason+="; no frame of the plug-in: $(grep -E -o 'in [A-Za-z_:~]+' <<<"$frames" | grep -v -E '__|raise|abort|malloc|free' | head -n 3 | tr '\n' ' ')"
        fi
        return
    fi

    local status
    if grep -q 'exited normally' "$dir/gdb.log"; then
        status=0
    elif ! grep -q 'exited with code' "$dir/gdb.log"; then
        # gdb now and then loses a process whose threads are ending at exit
        # and returns with neither a signal nor an exit status.
        verdict=ardour
        reason="gdb lost the process after ${last_stage:-the start}, with no exit status and no signal"
        return
    else
        status="$(sed -n 's/.*exited with code \([0-9]*\).*/\1/p' "$dir/gdb.log" | head -n 1)"
        status=$((10#${status:-255}))
    fi
    local expected=ZK-CLOSED
    [ "$ending" = exit ] && expected=ZK-EXITING
    if [ "$status" -eq 0 ] && [ "$last_stage" = "$expected" ]; then
        verdict=ok
        reason="exit status 0"
    else
        verdict=plugin
        reason="exit status $status after ${last_stage:-the start}: $(grep -E -m 2 'Error|ERROR' "$dir/stderr.log" | tr '\n' ' ')"
    fi
}

# render <name> <plugin id | none> <close | exit> [block size]: runs until a run ends well or
# fails through the plug-in, at most $attempts times. Returns 0 for a good run
# (its folder is $work/<name>), 1 for the plug-in's failure, 2 when Ardour
# failed on its own every time.
render() {
    local name="$1" id="$2" ending="$3" block="${4:-}" attempt
    for attempt in $(seq 1 "$attempts"); do
        run_once "$work/$name.$attempt" "$id" "$ending" "$block"
        echo "$name, run $attempt: $verdict ($reason)"
        case "$verdict" in
            ok)
                rm -rf "$work/$name"
                mv "$work/$name.$attempt" "$work/$name"
                return 0
                ;;
            plugin)
                echo "--- the host's output and gdb's backtraces ($work/$name.$attempt):"
                tail -n 40 "$work/$name.$attempt/stderr.log"
                sed -n '/^ZK-GDB-CRASHED-THREAD/,/^ZK-GDB-ALL-THREADS/p' "$work/$name.$attempt/gdb.log" | head -n 60
                return 1
                ;;
        esac
    done
    return 2
}

render control none close
case $? in
    1)
        echo "FAIL: the session without the plug-in does not render; see above"
        exit 1
        ;;
    2)
        echo "SKIPPED: Ardour failed on its own in all $attempts runs without the plug-in"
        exit "$skipped"
        ;;
esac

failed=0
for ending in close exit; do
    block=""
    [ "$ending" = close ] && block=512
    render "plugin-$ending" "$plugin_id" "$ending" "$block"
    case $? in
        0)
            if ! "$checker" "$work/control/session/out.wav" "$work/plugin-$ending/session/out.wav" "$bpm"; then
                echo "FAIL: the export with the plug-in (session $ending, ${block:-the default} samples a block) is not gated at $bpm BPM from its start"
                failed=1
            fi
            ;;
        1)
            echo "FAIL: the plug-in failed in Ardour (session $ending)"
            failed=1
            ;;
        2)
            echo "SKIPPED: Ardour failed on its own in all $attempts runs with the plug-in (session $ending)"
            [ "$failed" -eq 0 ] && exit "$skipped"
            ;;
    esac
done

if [ "$failed" -ne 0 ]; then
    exit 1
fi
echo "PASSED: the plug-in renders gated audio in Ardour from the first sixteenth on, and Ardour exits with status 0 after closing the session and after os.exit"
