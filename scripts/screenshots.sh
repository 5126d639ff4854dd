#!/usr/bin/env bash
# Remakes the README's pictures in docs/images/: builds the tour program (scripts/tour) and
# runs it on a virtual display, where it opens the samples in the editor's real main window.
#   bash scripts/screenshots.sh [BUILD_DIR]    (default build/tour; needs xvfb-run and the
#                                               samples of scripts/make-samples.sh)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build=${1:-build/tour}
if [ ! -f samples/track/ring.aiw ]; then
    echo "samples/track is missing: run bash scripts/make-samples.sh first" >&2
    exit 1
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZV_BUILD_TESTS=OFF >/dev/null
fi
cmake -S . -B "$build" -DZV_BUILD_TOUR=ON >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target zorvane-tour
# A sanitizer build must not fail the run over the OpenGL driver's leaks.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
mkdir -p docs/images
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1000x24" \
    "$build/scripts/tour/zorvane-tour" samples docs/images
if command -v optipng >/dev/null 2>&1; then
    optipng -quiet -o2 docs/images/tour-*.png
fi
