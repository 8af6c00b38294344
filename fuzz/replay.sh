#!/usr/bin/env bash
# Replays one fuzz target's seed corpus plus a fixed set of inputs generated
# from it (zk_generate_fuzz_inputs): the same inputs, in the same order, on
# every run of the same tree. Fails when the target fails on any of them or
# spends longer than a time limit on one (a hang), and names that input.
#
#   fuzz/replay.sh <build folder> <kind: state|preset|properties> [count]
#
# The build folder holds the targets and the generator in fuzz/ (a test gives
# one with stand-ins for them).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/kinds.sh"
if [ $# -lt 2 ]; then
    echo "usage: $0 <build folder> <kind: ${fuzz_kinds[*]}> [count]" >&2
    exit 2
fi
build="$(cd "$1" && pwd)"
kind="$2"
count="${3:-2000}"
fuzz_kind "$kind"

# Seconds an input may take. One takes milliseconds, under the sanitizers too,
# so this fails a hang early and still leaves a loaded machine ample room.
input_seconds=10

generated="$build/fuzz/generated/$kind"
if ! "$build/fuzz/zk_generate_fuzz_inputs" "$here/corpus/$kind" "$generated" "$count" "$max_len" 1; then
    echo "$kind: the inputs could not be generated in $generated" >&2
    exit 1
fi

replayed=0

# replay <name> <folder>: each file in the folder once, in name order. The
# target runs inside the folder and is given the names relative to it ("./"
# keeps a name that starts with "-" from reading as a flag), so that its
# command line does not grow with the folder's path. libFuzzer's lines per
# file are left out of what is shown; the whole output is in the log.
replay() {
    local name="$1" folder="$2" status=0 files last
    local log="$build/fuzz/replay-$kind-$name.log"
    cd "$folder"
    files=(./*)
    if [ ! -f "${files[0]}" ]; then
        echo "$kind: no inputs in $folder" >&2
        exit 1
    fi
    "$build/fuzz/$target" -runs=1 -timeout="$input_seconds" -artifact_prefix="$build/fuzz/replay-$kind-" \
        "${files[@]}" >"$log" 2>&1 || status=$?
    cd "$build"
    grep -v -e '^Running: ' -e '^Executed ' "$log" || true
    if [ "$status" -ne 0 ]; then
        # An input that was started and not finished is the one that failed.
        # A target that stopped before its first input has neither line.
        last="$(awk '/^(Running: |Executed )/ { last = $0 } END { print last }' "$log")"
        case "$last" in
            "Running: "*) echo "$kind: the target failed (status $status) on $folder/${last#Running: ./}" >&2 ;;
            *) echo "$kind: the target failed (status $status) outside any input of $folder" >&2 ;;
        esac
        exit 1
    fi
    replayed=$((replayed + ${#files[@]}))
}

replay seeds "$here/corpus/$kind"
replay generated "$generated"
echo "$kind: $replayed inputs replayed"
