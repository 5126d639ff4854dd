#pragma once
// The largest model a VRL file may hold, shared by the benchmarks and the file maker.

#include "tests/support/VrlBuilder.h"

#include <cstdio>

namespace zv::bench {

// 80000 vertices, 26667 triangles (80001 corners, the most a file may hold) and 500 names.
inline test::VrlFileModel LargestVrlModel() {
    constexpr int kVertices = 80000;
    constexpr int kTriangles = 26667;
    test::VrlFileModel m;
    m.Vertices.reserve(kVertices);
    for (int i = 0; i < kVertices; ++i) {
        const auto f = static_cast<float>(i);
        m.Vertices.push_back({f * 0.5f, f * -0.25f, f * 2.0f});
    }
    m.Polygons.reserve(kTriangles);
    for (int p = 0; p < kTriangles; ++p) {
        test::VrlPolygon poly;
        for (int k = 0; k < 3; ++k) {
            const int c = 3 * p + k;
            poly.Corners.push_back(
                {c % kVertices, static_cast<float>(k) * 0.5f, static_cast<float>(c % 7) * 0.1f});
        }
        poly.B = static_cast<std::uint8_t>(p);
        poly.SurfaceType = p % 37;
        poly.Texture = p % 500;
        m.Polygons.push_back(std::move(poly));
    }
    for (int t = 0; t < 500; ++t) {
        char name[16];
        std::snprintf(name, sizeof name, "tex%03d.raw", t);
        m.TextureNames.emplace_back(name);
    }
    return m;
}

} // namespace zv::bench
