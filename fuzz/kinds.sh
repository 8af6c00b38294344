# The kinds of fuzz input, for fuzz/replay.sh and .ci/fuzz-explore (sourced,
# not run). fuzz_kind <kind> sets target, the libFuzzer target in
# <build>/fuzz/, and max_len, the largest input in bytes that the generated
# set and the fuzzer make; it fails on a kind not in the table.
fuzz_kinds=(state preset properties)

fuzz_kind() {
    case "$1" in
        state) target=zk_fuzz_state max_len=16384 ;;
        preset) target=zk_fuzz_preset_file max_len=32768 ;;
        properties) target=zk_fuzz_properties max_len=16384 ;;
        *)
            echo "unknown kind: $1 (known: ${fuzz_kinds[*]})" >&2
            return 2
            ;;
    esac
}
