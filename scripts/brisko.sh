#!/usr/bin/env bash
# Sets up a Debian 12 machine for Brisko, builds it, and then runs the demo race or every test.
#   scripts/brisko.sh run    install what is missing, build, open the demo race
#   scripts/brisko.sh test   install what is missing, build, run every test headless
#   scripts/brisko.sh build  install what is missing and build
#   scripts/brisko.sh fuzz [seconds]  build the readers' fuzz targets with clang and run each one
#                                     for the given time (60 s each by default)
#   scripts/brisko.sh sanitize address|undefined|thread
#                            build under that sanitizer in build-asan, build-ubsan or build-tsan
#                            and run every test there; any finding fails the run
#   scripts/brisko.sh mutate [FILE...] [--per-file N] [--minutes M] [--list] ...
#                            put small faults into C++ sources one at a time (those this branch
#                            changed by default), rebuild in build-mutate and tell which the tests
#                            catch; scripts/brisko.sh mutate --help lists the options
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(cmake g++ make pkg-config qt6-base-dev qt6-multimedia-dev libgtest-dev libgmock-dev
          libbenchmark-dev fonts-noto-cjk mawk clang libclang-rt-14-dev dpkg-dev libexpat1-dev libpugixml-dev)
BUILD_DIR=${BRISKO_BUILD_DIR:-build}

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        local SUDO=""
        [ "$(id -u)" -eq 0 ] || SUDO=sudo
        echo "Installing: ${missing[*]}"
        $SUDO apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
    fi
}

build() {
    install_missing
    if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
        local launcher=()
        # A compiler cache, when the machine has one, makes rebuilds across checkouts cheap.
        command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
        cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
    fi
    cmake --build "$BUILD_DIR" -j"$(nproc)"
}

# Runs every fuzz target over its seed corpus for $1 seconds. New inputs go to a scratch folder,
# so the corpus in the repository stays small; a crash, leak or slow input fails the run and
# leaves its reproducer in build-fuzz/artifacts/.
fuzz() {
    local seconds=${1:-60} dir=${BRISKO_FUZZ_BUILD_DIR:-build-fuzz}
    install_missing
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        local launcher=()
        command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
        CXX=clang++ CC=clang cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRISKO_FUZZ=ON \
            "${launcher[@]}"
    fi
    cmake --build "$dir" -j"$(nproc)"
    mkdir -p "$dir/artifacts"
    local failed=0
    for corpus in fuzz/corpus/*/; do
        local name scratch
        name=$(basename "$corpus")
        scratch=$(mktemp -d)
        echo "== $name: $seconds s"
        if ! "$dir/bin/$name" "$scratch" "$corpus" -max_total_time="$seconds" -timeout=1 \
                -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$dir/artifacts/$name-" \
                2>"$dir/$name.log"; then
            failed=1
            grep -v -E "^#[0-9]+" "$dir/$name.log" | tail -30
        fi
        grep -E "stat::number_of_executed_units|cov:" "$dir/$name.log" | tail -2 || true
        rm -rf "$scratch"
    done
    return $failed
}

# Builds the program and the tests under one sanitizer in a folder of its own and runs every
# test. The first finding stops the test that made it, so the run fails.
sanitize() {
    local kind=${1:-} dir
    case "$kind" in
        address) dir=build-asan ;;
        undefined) dir=build-ubsan ;;
        thread) dir=build-tsan ;;
        *) echo "usage: $0 sanitize address|undefined|thread" >&2; exit 2 ;;
    esac
    install_missing
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # The benchmarks measure speed, which a sanitizer makes meaningless: left out.
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRISKO_SANITIZE="$kind" \
        -DBRISKO_BUILD_BENCH=OFF "${launcher[@]}"
    cmake --build "$dir" -j"$(nproc)"
    local supp="$PWD/scripts/sanitize"
    export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
    export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$supp/tsan.supp"
    cd "$dir"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
}

case "${1:-run}" in
    build) build ;;
    run)
        build
        exec "$BUILD_DIR/bin/brisko" --app-dir "$PWD/demo"
        ;;
    test)
        build
        (cd "$BUILD_DIR" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")
        # The readers must survive their known inputs and a short search beyond them.
        fuzz 20
        ;;
    fuzz) fuzz "${2:-60}" ;;
    sanitize) sanitize "${2:-}" ;;
    mutate)
        shift
        install_missing
        command -v python3 >/dev/null || { echo "mutate needs python3" >&2; exit 2; }
        # File names are taken from where the script was started as well as from here.
        BRISKO_CALLER_DIR="$OLDPWD" exec python3 scripts/mutate.py "$@"
        ;;
    *) echo "usage: $0 [run|test|build|fuzz [seconds]|sanitize address|undefined|thread|mutate [FILE...]]" >&2; exit 2 ;;
esac
