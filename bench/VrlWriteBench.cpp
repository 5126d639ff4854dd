// Write times of the largest model a VRL file may hold, and of the direct quadratic rules the
// tests check the writer against.

#include "formats/VrlWriter.h"
#include "tests/support/ModelBuilder.h"
#include "tests/support/SilentUi.h"
#include "tests/support/TempDir.h"
#include "tests/support/VrlReferenceWriter.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace zv {
namespace {

using formats::VrlVariant;

// 80000 vertices and 26667 triangles (80001 corners, the most a file may hold) over 500
// textures; neighbouring triangles share vertices as a real mesh does.
void LargestModel(model::ModelStore& m) {
    test::StartModel(m);
    for (int i = 0; i < 80000; ++i) {
        test::AddVertex(m, static_cast<float>(i % 400) * 0.5f, static_cast<float>(i / 400) * 0.25f,
                        static_cast<float>(i % 13) * 0.1f);
    }
    for (int t = 0; t < 500; ++t) {
        test::AddTexture(m, "TEX" + std::to_string(t));
    }
    for (int p = 0; p < 26667; ++p) {
        const int a = (3 * p) % 80000;
        test::AddPolygon(m, {{a, 0, 0}, {(a + 1) % 80000, 1, 0}, {(a + 400) % 80000, 0, 1}}, p % 500, 1);
    }
    test::SelectAll(m);
}

void WriteLargest(benchmark::State& state, VrlVariant variant) {
    test::SilentUi ui;
    auto ws = std::make_unique<Workspace>(ui);
    LargestModel(ws->Model);
    test::TempDir dir;
    const std::string path = dir.File("LARGEST.VRL");
    for (auto _ : state) {
        if (!formats::WriteVrl(*ws, path, variant)) {
            state.SkipWithError("write failed");
        }
    }
}

void BuildLargest(benchmark::State& state, VrlVariant variant) {
    test::SilentUi ui;
    auto m = std::make_unique<model::ModelStore>();
    LargestModel(*m);
    for (auto _ : state) {
        auto bytes = formats::BuildVrlFile(*m, ui, variant);
        benchmark::DoNotOptimize(bytes);
    }
}

void DirectRulesLargestScgt(benchmark::State& state) {
    auto m = std::make_unique<model::ModelStore>();
    LargestModel(*m);
    for (auto _ : state) {
        auto bytes = test::ReferenceVrlBytes(*m, VrlVariant::Scgt);
        benchmark::DoNotOptimize(bytes);
    }
}

BENCHMARK_CAPTURE(WriteLargest, Scgt, VrlVariant::Scgt)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WriteLargest, F1_2000, VrlVariant::F1_2000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildLargest, Scgt, VrlVariant::Scgt)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildLargest, F1_2000, VrlVariant::F1_2000)->Unit(benchmark::kMillisecond);
BENCHMARK(DirectRulesLargestScgt)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
} // namespace zv
