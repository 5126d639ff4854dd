// Read and write time of the largest AIW file: 3001 waypoints and 33 slots in the F1CS dialect,
// through the files as the editor opens and saves them.

#include "edit/History.h"
#include "tests/support/SilentUi.h"
#include "tests/support/TempDir.h"
#include "waypoints/AiwFile.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace zv::waypoints {
namespace {

// Values with many digits, as a recorded driving line has.
std::unique_ptr<WaypointTables> Largest() {
    auto t = std::make_unique<WaypointTables>();
    t->SlotCount = kSlotCapacity;
    for (int s = 0; s < kSlotCapacity; ++s) {
        const float f = static_cast<float>(s) * 3.7f;
        t->Slots[static_cast<std::size_t>(s)] = {
            {-f, 0.25f, f * 1.3f}, {0, 1, 0}, {f + 0.125f, 0, -f}, {0, 0, 1}};
    }
    t->WpCount = kWaypointCapacity;
    t->LapLength = 4713.2846f;
    for (int i = 0; i < kWaypointCapacity; ++i) {
        WaypointRec& w = t->Wp[static_cast<std::size_t>(i)];
        const float f = static_cast<float>(i);
        w.pos = {f * 1.618034f - 2400, f * 0.0137f, 1200 - f * 0.771f};
        w.ori = {0.0123f * f, -0.5f};
        w.width = {7.25f, 7.25f, 11.3333f, 10.875f};
        w.score = {static_cast<float>(i / 100), f * 1.5708f, 0, 0};
        w.opt = {0.98765432f, 1.5f - f * 1e-4f, 0.453125f};
        w.depth = "80808080808080808080";
        w.ptrs = {static_cast<std::int16_t>(i - 1), static_cast<std::int16_t>(i + 1), -1, kNoPitSlot};
        w.key = static_cast<std::int16_t>(i % 7);
        w.marks = static_cast<std::int16_t>(i % 3);
    }
    return t;
}

void BM_WriteAiw(benchmark::State& state) {
    test::SilentUi ui;
    const auto t = Largest();
    test::TempDir dir;
    const std::string path = dir.File("largest.aiw");
    for (auto _ : state) {
        if (!WriteAiw(ui, *t, Dialect::F1cs, path)) {
            state.SkipWithError("write failed");
        }
    }
}
BENCHMARK(BM_WriteAiw)->Unit(benchmark::kMillisecond);

void BM_OpenAiw(benchmark::State& state) {
    test::SilentUi ui;
    test::TempDir dir;
    const std::string path = dir.File("largest.aiw");
    WriteAiw(ui, *Largest(), Dialect::F1cs, path);
    auto t = std::make_unique<WaypointTables>();
    edit::Recorder none;
    for (auto _ : state) {
        OpenAiw(ui, none, *t, path);
        benchmark::DoNotOptimize(t->WpCount);
    }
    if (t->WpCount != kWaypointCapacity) {
        state.SkipWithError("read failed");
    }
}
BENCHMARK(BM_OpenAiw)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zv::waypoints
