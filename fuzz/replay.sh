#!/usr/bin/env bash
# Replays one fuzz target's seed corpus plus a fixed set of inputs generated
# from it (zk_generate_fuzz_inputs): the same inputs, in the same order, on
# every run of the same tree. Fails when the target fails on any of them.
#
#   fuzz/replay.sh <build folder> state|preset|properties [count]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$1"
kind="$2"
count="${3:-2000}"

case "$kind" in
    state) target=zk_fuzz_state max_len=16384 ;;
    preset) target=zk_fuzz_preset_file max_len=32768 ;;
    properties) target=zk_fuzz_properties max_len=16384 ;;
    *) echo "unknown kind: $kind" >&2; exit 2 ;;
esac

generated="$build/fuzz/generated/$kind"
"$build/fuzz/zk_generate_fuzz_inputs" "$here/corpus/$kind" "$generated" "$count" "$max_len" 1

# Each file once, seeds first; libFuzzer's line per file is left out.
files=("$here/corpus/$kind"/* "$generated"/*)
log="$build/fuzz/replay-$kind.log"
status=0
"$build/fuzz/$target" -runs=1 "${files[@]}" >"$log" 2>&1 || status=$?
grep -v -e '^Running: ' -e '^Executed ' "$log" || true
if [ "$status" -ne 0 ]; then
    echo "$kind: the target failed (status $status) on the input named last above" >&2
    grep '^Running: ' "$log" | tail -1 >&2
    exit 1
fi
echo "$kind: ${#files[@]} inputs replayed"
