#!/usr/bin/env bash
# Rebuilds samples/track/ from nothing with zorvane-cli: a path drawn with the track builder's
# steps, the track generated along it, an AI line taken from the path and put onto the track,
# and small BMP textures for the track's texture names.
#   bash scripts/make-samples.sh [BUILD_DIR]    (default build/release; zorvane-cli is built
#                                                there when missing)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build=${1:-build/release}
cli="$build/cli/zorvane-cli"
if [ ! -x "$cli" ]; then
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZV_BUILD_TESTS=OFF >/dev/null
    fi
    cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" --target zorvane-cli
fi
# A sanitizer build must not fail the run over leaks of the process's last moments.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"

out=samples/track
rm -rf "$out"
mkdir -p "$out"

# The builder steps towards points on an arc: centre (cx, cz), radius r, from angle a0 to a1
# (degrees, counter-clockwise from +x towards +z) in steps of about 15 degrees, the end included.
arc() {
    LC_ALL=C awk -v cx="$1" -v cz="$2" -v r="$3" -v a0="$4" -v a1="$5" 'BEGIN {
        n = int((a1 - a0) / 15 + 0.5); pi = atan2(0, -1)
        for (i = 1; i <= n; i++) {
            a = (a0 + (a1 - a0) * i / n) * pi / 180
            printf "--toward %.1f,%.1f\n", cx + r * cos(a), cz + r * sin(a)
        }
    }'
}

# About 450 m in pieces of 10 m around the origin (where the 3D view turns): a straight, a turn,
# a back straight with an S-bend, a turn back towards the start. The path ends less than a piece
# short of the start: the track closes the ring.
# shellcheck disable=SC2046
"$cli" path build --piece 10 --start -50,-40 --toward 50,-40 \
    $(arc 50 0 40 -90 90) \
    --toward 30,40 --toward 10,34 --toward -10,34 --toward -30,40 --toward -50,40 \
    $(arc -50 0 40 90 270) \
    "$out/ring.zvp"

# Strips narrower than the builder's default (the turns are tight), its texture names (ROADA,
# DIRTL, GRASA ... CONCT).
"$cli" track --widths 3,2,0.5,6,1,12,1,6,0.5,2,3 "$out/ring.zvp" "$out/ring.vrl" >/dev/null
# The builder draws on flat ground: a hill over the S-bend (the 16 vertices of each section of
# path points 22 to 34 raised in three steps) gives the AI line heights to follow.
"$cli" edit "$out/ring.vrl" "$out/ring.vrl" --select-vertices 352-559 --translate 0,1.5,0 --deselect-all \
    --select-vertices 384-527 --translate 0,1.5,0 --deselect-all \
    --select-vertices 416-495 --translate 0,1.5,0 >/dev/null
"$cli" aiw from-path "$out/ring.zvp" "$out/ring.aiw"
"$cli" aiw edit "$out/ring.aiw" "$out/ring.aiw" --select-all --adjust-height "$out/ring.vrl" >/dev/null

# 32 x 32 24-bit BMP textures for the names the track uses; the dirt's grain comes from a fixed
# pseudo-random sequence, so every run writes the same bytes.
python3 - "$out" <<'PY'
import struct, sys

folder = sys.argv[1]
seed = 12345

def noise():
    global seed
    seed = (seed * 1103515245 + 12345) % 2**31
    return seed / 2**31 - 0.5

def bmp(name, texel):
    rows = b""
    for y in range(32):  # bottom row first
        for x in range(32):
            r, g, b = (max(0, min(255, int(c))) for c in texel(x, y))
            rows += bytes((b, g, r))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(rows), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, 32, 32, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    with open(f"{folder}/{name}.BMP", "wb") as f:
        f.write(header + info + rows)

def shade(base, amount):
    def texel(x, y):
        n = noise() * amount
        return tuple(c + n for c in base)
    return texel

def lawn(base):  # mown stripes across, flat colours: the pictures of the track stay small
    return lambda x, y: tuple(c + (8 if y < 16 else -8) for c in base)

def road(x, y):
    line = 15 <= x <= 16 and y < 16  # a dashed centre line, the texture repeating along
    return (235, 235, 225) if line else (88, 90, 94)

def kerb(x, y):
    return (200, 40, 35) if (y // 8) % 2 else (235, 235, 235)

bmp("ROADA", road)
bmp("DIRTL", shade((150, 115, 75), 8))
bmp("DIRTR", shade((150, 115, 75), 8))
bmp("GRASA", lawn((70, 140, 55)))
bmp("GRASB", lawn((60, 125, 50)))
bmp("GRASC", lawn((52, 110, 45)))
for name in ("CONCRI", "CONCRO", "CONCLI", "CONCLO"):
    bmp(name, kerb)
bmp("CONCT", lambda x, y: (180, 180, 175))
PY

# Every texture name of the track has its file.
if "$cli" info --textures "$out/ring.vrl" 2>&1 | grep -q 'Not found: '; then
    echo "a texture of the track has no file in $out" >&2
    exit 1
fi
"$cli" info "$out/ring.vrl" | head -1
echo "$out: $(cd "$out" && echo *)"
