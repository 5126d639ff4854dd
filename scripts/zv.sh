#!/usr/bin/env bash
# Set-up front for a fresh Debian 12 machine.
#   scripts/zv.sh run    build the editor and start it on the sample model
#   scripts/zv.sh test   build with sanitizers and run every test
#   scripts/zv.sh bench  build optimised and run the benchmarks
#   scripts/zv.sh fuzz [SECONDS]  build the fuzz targets with clang and run each for SECONDS
#   scripts/zv.sh install [PREFIX]  build optimised and install into PREFIX (default /usr/local)
#   scripts/zv.sh package  build optimised and make the Debian package
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

build_packages=(cmake ninja-build g++ nlohmann-json3-dev libstb-dev libassimp-dev qt6-base-dev libgl-dev libglu1-mesa-dev libegl-dev
    librsvg2-bin help2man)
test_packages=(googletest libgtest-dev libgl1-mesa-dri xvfb xauth locales clang libclang-rt-14-dev
    desktop-file-utils libxml2-utils shared-mime-info xdg-utils libfile-mimeinfo-perl dpkg-dev lintian)
bench_packages=(libbenchmark-dev hyperfine time assimp-utils)

# The Khronos glTF validator for the export test: installed once into build/test/node, and
# only when npm can reach its registry; without it that test is skipped. npm comes from Debian
# unless the machine has one (a Node.js from elsewhere conflicts with Debian's package).
gltf_validator() {
    local prefix=build/test/node
    if ! command -v npm >/dev/null 2>&1; then
        (need_packages npm) >/dev/null 2>&1 || echo "npm not installed; the glTF validator test is skipped."
    fi
    if [ ! -f "$prefix/node_modules/gltf-validator/package.json" ] && command -v npm >/dev/null 2>&1; then
        mkdir -p "$prefix"
        timeout 300 npm install --prefix "$prefix" --no-audit --no-fund --loglevel=error gltf-validator \
            >/dev/null 2>&1 || echo "gltf-validator not installed (npm offline?); its test is skipped."
    fi
    if [ -f "$prefix/node_modules/gltf-validator/package.json" ] && command -v node >/dev/null 2>&1; then
        export NODE_PATH="$root/$prefix/node_modules"
        export ZV_GLTF_VALIDATOR="$root/tests/interchange/validate_gltf.js"
    fi
}

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

fuzz_targets=(vrl bin config bmp raw aiw path scene nascar m3d bfp asc nfs)

# Builds the libFuzzer targets with clang in build/fuzz.
build_fuzz() {
    CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DZV_BUILD_TESTS=OFF -DZV_BUILD_FUZZ=ON >/dev/null
    cmake --build build/fuzz -j "$jobs" --target "${fuzz_targets[@]/#/zv_fuzz_}"
}

# Runs every target from a copy of its seed corpus, two at a time: "runs N" for a fixed number
# of inputs (the same ones on every machine), "time S" for S seconds.
run_fuzz() {
    local how=$1 amount=$2 pids=() failed=0
    for t in "${fuzz_targets[@]}"; do
        local work="build/fuzz/run/$t"
        rm -rf "$work" && mkdir -p "$work/corpus" && cp fuzz/corpus/"$t"/* "$work/corpus/"
        local limit="-runs=$amount"
        [ "$how" = time ] && limit="-max_total_time=$amount"
        (cd "$work" && "$root/build/fuzz/fuzz/zv_fuzz_$t" -seed=1 "$limit" -print_final_stats=1 corpus \
            >log.txt 2>&1 && echo "fuzz $t: $(grep -m1 number_of_executed_units log.txt | awk '{print $2}') runs, no finding" ||
            { echo "fuzz $t FAILED:"; tail -30 log.txt; exit 1; }) &
        pids+=($!)
        if [ ${#pids[@]} -ge 2 ]; then
            wait "${pids[0]}" || failed=1
            pids=("${pids[@]:1}")
        fi
    done
    for p in "${pids[@]}"; do wait "$p" || failed=1; done
    return $failed
}

# The optimised build in build/release with the desktop data, for install and package.
build_release() {
    need_packages "${build_packages[@]}"
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZV_BUILD_TESTS=OFF >/dev/null
    cmake --build build/release -j "$jobs"
}

# Outside /usr no dpkg trigger refreshes the caches of file types, programs and icons.
refresh_desktop_caches() {
    local share=$1/share
    command -v update-mime-database >/dev/null 2>&1 && update-mime-database "$share/mime"
    command -v update-desktop-database >/dev/null 2>&1 && update-desktop-database "$share/applications"
    if command -v gtk-update-icon-cache >/dev/null 2>&1 && [ -f "$share/icons/hicolor/index.theme" ]; then
        gtk-update-icon-cache -q "$share/icons/hicolor"
    fi
    return 0
}

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
    gltf_validator
    # Every reader meets a fixed set of fuzzed inputs, so a change that crashes on them fails.
    build_fuzz
    run_fuzz runs 3000
    cd build/test
    # The real editor window with its OpenGL view runs on a virtual X display.
    if command -v xvfb-run >/dev/null 2>&1; then
        xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j "$jobs"
    else
        ctest --output-on-failure -j "$jobs"
    fi
    ;;
fuzz)
    need_packages "${build_packages[@]}" clang libclang-rt-14-dev
    build_fuzz
    run_fuzz time "${2:-600}"
    ;;
bench)
    need_packages "${build_packages[@]}" "${test_packages[@]}" "${bench_packages[@]}"
    cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DZV_BUILD_TESTS=OFF -DZV_BUILD_BENCH=ON >/dev/null
    cmake --build build/bench -j "$jobs"
    for b in build/bench/bench/zv_*_bench; do "$b"; done
    bash bench/cli-vs-assimp build/bench
    ;;
install)
    prefix=${2:-/usr/local}
    build_release
    if [ "$(id -u)" -eq 0 ]; then
        cmake --install build/release --prefix "$prefix" --strip
        refresh_desktop_caches "$prefix"
    else
        echo "Install (as root) with:"
        echo "  sudo cmake --install $root/build/release --prefix $prefix --strip"
        echo "  sudo update-mime-database $prefix/share/mime"
        echo "  sudo update-desktop-database $prefix/share/applications"
    fi
    ;;
package)
    need_packages dpkg-dev
    build_release
    (cd build/release && cpack -G DEB >/dev/null)
    ls "$root"/build/release/zorvane_*.deb
    ;;
*)
    echo "usage: scripts/zv.sh run [FILE...] | test | bench | fuzz [SECONDS] | install [PREFIX] | package" >&2
    exit 2
    ;;
esac
