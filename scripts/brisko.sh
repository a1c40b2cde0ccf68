#!/usr/bin/env bash
# Sets up a Debian 12 machine for Brisko, builds it, and then runs the demo race or every test.
#   scripts/brisko.sh run    install what is missing, build, open the demo race
#   scripts/brisko.sh test   install what is missing, build, run every test headless
#   scripts/brisko.sh build  install what is missing and build
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(cmake g++ make pkg-config qt6-base-dev qt6-multimedia-dev libgtest-dev libgmock-dev
          libbenchmark-dev fonts-noto-cjk mawk)
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

case "${1:-run}" in
    build) build ;;
    run)
        build
        exec "$BUILD_DIR/bin/brisko" --app-dir "$PWD/demo"
        ;;
    test)
        build
        cd "$BUILD_DIR"
        QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
        ;;
    *) echo "usage: $0 [run|test|build]" >&2; exit 2 ;;
esac
