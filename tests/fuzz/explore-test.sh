#!/usr/bin/env bash
# .ci/fuzz-explore with stand-ins for the fuzz targets (ZK_FUZZ_BUILT): a
# fuzzer that writes a crash into its artifact folder and exits with status 0,
# as libFuzzer's fork mode can, fails the run, which names that input and
# still sums up the next kind. A second run whose fuzzers find nothing passes,
# although the first run's crash is still in the folder.
#
#   explore-test.sh
set -euo pipefail
sources="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$sources/fuzz/kinds.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/fuzz"

# A stand-in fuzzer that crashes when ZK_STANDIN_CRASH names it.
for target in "${fuzz_targets[@]}"; do
    cat >"$work/fuzz/$target" <<'EOF'
#!/usr/bin/env bash
for arg; do
    case "$arg" in -artifact_prefix=*) prefix="${arg#-artifact_prefix=}" ;; esac
done
if [ "${0##*/}" = "${ZK_STANDIN_CRASH:-}" ]; then
    printf x >"${prefix}crash-0123"
    echo "==1== ERROR: libFuzzer: deadly signal"
fi
echo "INFO: exiting: 0 time: 1s"
EOF
    chmod +x "$work/fuzz/$target"
done

failures=0

# check <crashing target> <expected status: pass|fail> <texts expected in the output...>
check() {
    local crashing="$1" expected="$2" result=pass output text
    shift 2
    output="$(ZK_FUZZ_BUILT="$work" ZK_STANDIN_CRASH="$crashing" "$sources/.ci/fuzz-explore" 1 state preset 2>&1)" ||
        result=fail
    local wrong=()
    [ "$result" = "$expected" ] || wrong+=("expected to $expected")
    for text; do
        [[ "$output" == *"$text"* ]] || wrong+=("expected \"$text\" in the output")
    done
    if [ ${#wrong[@]} -gt 0 ]; then
        echo "FAILED (crashing: ${crashing:-none}):"
        printf '    %s\n' "${wrong[@]}"
        echo "$output"
        failures=$((failures + 1))
    fi
}

check zk_fuzz_state fail "state: 1 failing inputs found in this run" "    $work/explore/state/crash-0123" \
    "preset: 0 failing inputs found in this run"
check "" pass "state: 0 failing inputs found in this run"
[ "$failures" -eq 0 ]
