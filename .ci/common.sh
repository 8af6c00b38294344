# Shared settings of the build scripts (sourced, not run).
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="$(nproc)"
export CCACHE_DIR="${CCACHE_DIR:-$root/.cache/ccache}"
export CCACHE_BASEDIR="$root"
export CCACHE_NOHASHDIR=1
export CCACHE_MAXSIZE=5G

# configure_and_build <build folder> [cmake options...]
configure_and_build() {
    local dir="$1"; shift
    cmake -S "$root" -B "$root/$dir" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache "$@"
    cmake --build "$root/$dir" -j "$jobs"
}
