#!/usr/bin/env bash
# fuzz/replay.sh with stand-ins for the fuzz target and the input generator: a
# target that stops before its first input (as one that cannot start does),
# one that fails on the first input and one that passes every input. The
# script must fail for the first two, saying where the target failed, and
# pass the third.
#
#   replay-test.sh
set -euo pipefail
sources="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/fuzz"

cat >"$work/fuzz/zk_generate_fuzz_inputs" <<'EOF'
#!/usr/bin/env bash
mkdir -p "$2" && printf x >"$2/generated-0"
EOF
# What libFuzzer prints with -runs=1 for each file, as ZK_STANDIN says.
cat >"$work/fuzz/zk_fuzz_state" <<'EOF'
#!/usr/bin/env bash
[ "$ZK_STANDIN" = exit-early ] && exit 77
for arg; do
    case "$arg" in -*) continue ;; esac
    echo "Running: $arg"
    [ "$ZK_STANDIN" = crash ] && echo "==1== ERROR: libFuzzer: deadly signal" && exit 1
    echo "Executed $arg in 0 ms"
done
exit 0
EOF
chmod +x "$work/fuzz/"*

seeds=("$sources/fuzz/corpus/state"/*)
failures=0

# check <stand-in mode> <expected status: pass|fail> <text expected in the output>
check() {
    local result=pass output
    output="$(ZK_STANDIN="$1" "$sources/fuzz/replay.sh" "$work" state 1 2>&1)" || result=fail
    if [ "$result" != "$2" ] || [[ "$output" != *"$3"* ]]; then
        echo "FAILED: $1: expected to $2 saying \"$3\"; it did $result, output:"
        echo "$output"
        failures=$((failures + 1))
    fi
}

check exit-early fail "state: the target failed (status 77) outside any input of $sources/fuzz/corpus/state"
check crash fail "state: the target failed (status 1) on ${seeds[0]}"
check pass pass "state: $((${#seeds[@]} + 1)) inputs replayed"
[ "$failures" -eq 0 ]
