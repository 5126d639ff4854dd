// Write time of the largest model a BIN file is asked to hold: 80000 quads over 80001 vertices.

#include "formats/BinFormat.h"
#include "model/FileReplace.h"
#include "tests/support/SilentUi.h"
#include "tests/support/TempDir.h"
#include "workspace/ModelLifecycle.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

namespace zv {
namespace {

using test::SilentUi;

constexpr int kVertices = 80001;
constexpr int kQuads = 80000;
constexpr int kTextures = 100;

constexpr int kRow = 283; // vertices per grid row

// A grid of vertices and quads over neighbouring grid points; the texture changes every 64
// quads so that the file has many sections.
void BuildLargest(Workspace& ws, int type) {
    BeginOpen(ws);
    model::ModelStore& m = ws.Model;
    for (int i = 0; i < kVertices; ++i) {
        m.Vert[i] = {static_cast<float>(i % kRow) * 0.5f, static_cast<float>(i / kRow) * 0.5f,
                     static_cast<float>(i % 7) * 0.01f};
    }
    for (int t = 0; t < kTextures; ++t) {
        m.TexName[t] = "tex" + std::to_string(t);
    }
    for (int p = 0; p < kQuads; ++p) {
        const int corners[4] = {p, p + 1, (p + kRow + 1) % kVertices, (p + kRow) % kVertices};
        m.PolyVCount[p] = 4;
        for (int k = 0; k < 4; ++k) {
            m.PolyVert(p, k) = corners[k];
            m.PolyTU(p, k) = static_cast<float>(k & 1);
            m.PolyTV(p, k) = static_cast<float>(k >> 1);
        }
        m.PolyTex[p] = (p / 64) % kTextures;
        m.PolyType[p] = type;
    }
    m.VertCount = kVertices;
    m.PolyCount = kQuads;
    m.TexCount = kTextures;
}

void WriteLargest(benchmark::State& state, int type) {
    SilentUi ui;
    auto ws = std::make_unique<Workspace>(ui);
    BuildLargest(*ws, type);
    test::TempDir dir;
    const std::string path = dir.File("largest.bin");
    for (auto _ : state) {
        if (!formats::WriteBin(*ws, path)) {
            state.SkipWithError("write failed");
            break;
        }
    }
    state.counters["polygons"] = ws->Model.PolyCount;
}

// The floor set by the safe save alone: the same number of bytes through model::ReplaceFile.
void ReplaceFileOfTheSameSize(benchmark::State& state) {
    SilentUi ui;
    auto ws = std::make_unique<Workspace>(ui);
    BuildLargest(*ws, 7);
    test::TempDir dir;
    const std::string path = dir.File("largest.bin");
    if (!formats::WriteBin(*ws, path)) {
        state.SkipWithError("write failed");
        return;
    }
    const std::string bytes(static_cast<std::size_t>(std::filesystem::file_size(path)), 'x');
    for (auto _ : state) {
        if (model::ReplaceFile(path, bytes)) {
            state.SkipWithError("replace failed");
            break;
        }
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
}

BENCHMARK_CAPTURE(WriteLargest, Plain, 7)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WriteLargest, VertexNormals, 41)->Unit(benchmark::kMillisecond);
BENCHMARK(ReplaceFileOfTheSameSize)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zv
