# Shared settings of the build scripts (sourced, not run).
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc)"
export CCACHE_DIR="${CCACHE_DIR:-$root/.cache/ccache}"
export CCACHE_BASEDIR="$root"
export CCACHE_NOHASHDIR=1
export CCACHE_MAXSIZE=5G

# configure_and_build <build folder> [cmake options...] [--target targets...]
configure_and_build() {
    local dir="$1"; shift
    local options=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--target" ]; do options+=("$1"); shift; done
    [ $# -gt 0 ] && shift && targets=(--target "$@")
    cmake -S "$root" -B "$root/$dir" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "${options[@]}"
    cmake --build "$root/$dir" -j "$jobs" "${targets[@]}"
}

# format_duration <seconds>: "12 min 5 s".
format_duration() {
    echo "$(($1 / 60)) min $(($1 % 60)) s"
}

# timed <label> <command...>: runs the command and prints how long it took.
timed() {
    local label="$1"; shift
    local began=$SECONDS
    "$@"
    echo "::: $label: $(format_duration $((SECONDS - began)))"
}

# build_fuzz_targets: the fuzz targets (those of fuzz/kinds.txt) and the input
# generator in build-fuzz/, built with clang, libFuzzer and the address and
# undefined-behaviour sanitizers.
build_fuzz_targets() {
    source "$root/fuzz/kinds.sh"
    timed "build (build-fuzz)" configure_and_build build-fuzz \
        -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
        -DZK_BUILD_FUZZ=ON -DZK_SANITIZE=address,undefined -DZK_BUILD_TESTS=OFF -DZK_BUILD_BENCH=OFF \
        --target "${fuzz_targets[@]}" zk_generate_fuzz_inputs
}
