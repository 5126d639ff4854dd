// Time of "Create" on the largest path the model store takes: 5000 points give 80000 vertices
// and 75000 polygons, in 3 x 126 parts.

#include "edit/History.h"
#include "tests/support/SilentUi.h"
#include "track/TrackGenerator.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace zv::track {
namespace {

constexpr int kPoints = 5000;

// A closed loop with a wave in height, segments of about 8.
PathTable Loop() {
    PathTable p;
    const double radius = kPoints * 8 / (2 * 3.14159265358979);
    for (int i = 0; i < kPoints; ++i) {
        const double t = 2 * 3.14159265358979 * i / kPoints;
        p.Pts.push_back({static_cast<float>(radius * std::cos(t)), static_cast<float>(3 * std::sin(20 * t)),
                         static_cast<float>(radius * std::sin(t))});
        p.Camber.push_back(static_cast<float>(5 * std::sin(7 * t)));
    }
    p.SegLen.resize(p.Pts.size());
    p.Heading.resize(p.Pts.size());
    return p;
}

TrackSection Section() {
    TrackSection s;
    s.SplitDistance = 310; // 38 or 39 segments a part: within the member limit and the part table
    return s;
}

void Check(benchmark::State& state, const model::ModelStore& m) {
    if (m.VertCount != 80000 || m.PolyCount != 75000 || m.PartCount() > model::kMaxParts ||
        m.PartCount() == 0) {
        state.SkipWithError("unexpected track");
    }
}

void BM_GenerateTrack(benchmark::State& state) {
    test::SilentUi ui;
    auto m = std::make_unique<model::ModelStore>();
    PathTable p = Loop();
    edit::Recorder none;
    for (auto _ : state) {
        benchmark::DoNotOptimize(GenerateTrack(ui, *m, p, Section(), none));
    }
    Check(state, *m);
    state.counters["parts"] = m->PartCount();
}
BENCHMARK(BM_GenerateTrack)->Unit(benchmark::kMillisecond);

// The same as one history step, as the editor runs it.
void BM_GenerateTrackWithHistory(benchmark::State& state) {
    test::SilentUi ui;
    auto m = std::make_unique<model::ModelStore>();
    PathTable p = Loop();
    edit::History h;
    for (auto _ : state) {
        edit::Recorder rec = h.Begin(*m, "Create Track");
        h.End(GenerateTrack(ui, *m, p, Section(), rec));
    }
    Check(state, *m);
}
BENCHMARK(BM_GenerateTrackWithHistory)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zv::track
