# The kinds of fuzz input, read from the table in fuzz/kinds.txt (sourced, not
# run). fuzz_kinds lists the kinds and fuzz_targets their targets, in the
# table's order. fuzz_kind <kind> sets target, the libFuzzer target in
# <build>/fuzz/, max_len, the largest input in bytes that the generated set and
# the fuzzer make, ci_count, the number of generated inputs that .ci/fuzz
# replays, and title, the kind's words in the scripts' output; it fails on a
# kind not in the table. A malformed table fails the sourcing, naming the line.
fuzz_kinds=()
fuzz_targets=()
fuzz_max_lens=()
fuzz_ci_counts=()
fuzz_titles=()

fuzz_read_table() {
    local table number=0 kind target max_len ci_count title
    table="$(dirname "${BASH_SOURCE[0]}")/kinds.txt"
    while IFS=$' \t' read -r kind target _ max_len ci_count title || [ -n "$kind" ]; do
        number=$((number + 1))
        case "$kind" in '' | '#'*) continue ;; esac
        if [ -z "$title" ] || [[ ! "$max_len" =~ ^[1-9][0-9]*$ ]] || [[ ! "$ci_count" =~ ^[1-9][0-9]*$ ]]; then
            echo "$table:$number: expected: kind target source max_len ci_count title" >&2
            return 2
        fi
        fuzz_kinds+=("$kind")
        fuzz_targets+=("$target")
        fuzz_max_lens+=("$max_len")
        fuzz_ci_counts+=("$ci_count")
        fuzz_titles+=("$title")
    done <"$table"
}

fuzz_kind() {
    local i
    for i in "${!fuzz_kinds[@]}"; do
        if [ "${fuzz_kinds[$i]}" = "$1" ]; then
            target="${fuzz_targets[$i]}"
            max_len="${fuzz_max_lens[$i]}"
            ci_count="${fuzz_ci_counts[$i]}"
            title="${fuzz_titles[$i]}"
            return 0
        fi
    done
    echo "unknown kind: $1 (known: ${fuzz_kinds[*]})" >&2
    return 2
}

fuzz_read_table || return
