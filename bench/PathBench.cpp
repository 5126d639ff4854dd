// Read and write time of a path file of 50000 points, through the files as the editor opens
// and saves them.

#include "edit/History.h"
#include "tests/support/SilentUi.h"
#include "tests/support/TempDir.h"
#include "track/PathOps.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

namespace zv::track {
namespace {

constexpr int kPoints = 50000;

// A winding line with many digits, as a recorded or generated centre line has.
PathTable Winding() {
    PathTable p;
    for (int i = 0; i < kPoints; ++i) {
        const float f = static_cast<float>(i);
        p.Pts.push_back({f * 1.618034f - 40000, std::sin(f * 0.01f) * 12.3456f, 1200 - f * 0.771f});
    }
    p.SegLen.resize(p.Pts.size());
    p.Heading.resize(p.Pts.size());
    p.Camber.resize(p.Pts.size());
    return p;
}

void BM_WritePath(benchmark::State& state) {
    test::SilentUi ui;
    const PathTable p = Winding();
    test::TempDir dir;
    const std::string path = dir.File("large.zvp");
    for (auto _ : state) {
        if (!WritePath(ui, p, path)) {
            state.SkipWithError("write failed");
        }
    }
}
BENCHMARK(BM_WritePath)->Unit(benchmark::kMillisecond);

void BM_OpenPath(benchmark::State& state) {
    test::SilentUi ui;
    test::TempDir dir;
    const std::string path = dir.File("large.zvp");
    WritePath(ui, Winding(), path);
    edit::Recorder none;
    int count = 0;
    for (auto _ : state) {
        PathTable p; // opening appends: start empty every time
        OpenPath(ui, none, p, path);
        count = p.Count();
        benchmark::DoNotOptimize(count);
    }
    if (count != kPoints) {
        state.SkipWithError("read failed");
    }
}
BENCHMARK(BM_OpenPath)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zv::track
