#!/usr/bin/env bash
# Set-up front for a fresh Debian 12 machine.
#   scripts/zv.sh run    build the editor and start it on the sample model
#   scripts/zv.sh test   build with sanitizers and run every test
#   scripts/zv.sh bench  build optimised and run the benchmarks
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

build_packages=(cmake ninja-build g++ nlohmann-json3-dev qt6-base-dev libgl-dev libglu1-mesa-dev libegl-dev)
test_packages=(googletest libgtest-dev libgl1-mesa-dri xvfb xauth locales)
bench_packages=(libbenchmark-dev)

# Installs the Debian packages that are missing (as root), or prints the line that would.
need_packages() {
    local missing=()
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
    else
        echo "Missing packages. Install them with:"
        echo "  sudo apt-get install -y ${missing[*]}"
        exit 1
    fi
}

jobs=$(nproc 2>/dev/null || echo 2)

case "${1:-}" in
run)
    need_packages "${build_packages[@]}"
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZV_BUILD_TESTS=OFF >/dev/null
    cmake --build build/release -j "$jobs" --target zorvane zorvane-cli
    shift
    if [ $# -eq 0 ]; then set -- samples/box.vrl; fi
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        echo "No display: showing the command-line report instead of the editor window."
        exec build/release/cli/zorvane-cli info "$@"
    fi
    exec build/release/app/zorvane "$@"
    ;;
test)
    need_packages "${build_packages[@]}" "${test_packages[@]}"
    cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZV_SANITIZE=ON >/dev/null
    cmake --build build/test -j "$jobs"
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
    export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    # Widget tests need no display; OpenGL tests make their own offscreen context.
    export QT_QPA_PLATFORM=offscreen
    # The configuration file's test under a decimal-comma locale needs one; make it when the
    # system has none installed (it is skipped otherwise).
    if command -v localedef >/dev/null 2>&1 && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
        mkdir -p build/test/locale
        if localedef -i de_DE -f UTF-8 build/test/locale/de_DE.UTF-8 >/dev/null 2>&1 ||
            [ -f build/test/locale/de_DE.UTF-8/LC_NUMERIC ]; then
            export LOCPATH="$root/build/test/locale"
        fi
    fi
    cd build/test
    # The real editor window with its OpenGL view runs on a virtual X display.
    if command -v xvfb-run >/dev/null 2>&1; then
        xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j "$jobs"
    else
        ctest --output-on-failure -j "$jobs"
    fi
    ;;
bench)
    need_packages "${build_packages[@]}" "${test_packages[@]}" "${bench_packages[@]}"
    cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZV_BUILD_TESTS=OFF -DZV_BUILD_BENCH=ON >/dev/null
    cmake --build build/bench -j "$jobs"
    for b in build/bench/bench/zv_*_bench; do "$b"; done
    ;;
*)
    echo "usage: scripts/zv.sh run [FILE...] | test | bench" >&2
    exit 2
    ;;
esac
