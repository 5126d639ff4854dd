// Times of the waypoint operations that scale with the track: dropping 3001 waypoints onto a
// track of 80000 polygons, naming their track parts, and deleting 3000 selected waypoints of
// 3001, alone and as a step of the edit history.

#include "edit/History.h"
#include "tests/support/ModelBuilder.h"
#include "waypoints/WaypointOps.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <memory>

namespace zv {
namespace {

using edit::Change;
using edit::Recorder;
using waypoints::WaypointTables;

constexpr int kColumns = 400;
constexpr int kRows = 200;
constexpr int kPolygons = 80000;
constexpr int kPartSize = 1280;

// A bumpy 400 x 200 grid of vertices with quads over its cells (some cells twice), in parts of
// 1280 polygons.
const model::ModelStore& Track() {
    static const std::unique_ptr<model::ModelStore> m = [] {
        auto s = std::make_unique<model::ModelStore>();
        test::StartModel(*s);
        for (int i = 0; i < kColumns * kRows; ++i) {
            const float x = static_cast<float>(i % kColumns);
            const float z = static_cast<float>(i / kColumns);
            test::AddVertex(*s, x, std::sin(x * 0.05f) + std::cos(z * 0.07f), z);
        }
        const int cells = (kColumns - 1) * (kRows - 1);
        for (int p = 0; p < kPolygons; ++p) {
            const int c = p % cells;
            const int a = c / (kColumns - 1) * kColumns + c % (kColumns - 1);
            test::AddPolygon(*s, {{a}, {a + 1}, {a + kColumns + 1}, {a + kColumns}});
        }
        const int parts = (kPolygons + kPartSize - 1) / kPartSize;
        s->PartNodes.resize(static_cast<std::size_t>(parts));
        for (int p = 0; p < kPolygons; ++p) {
            const int g = 1 + p / kPartSize;
            s->GroupPoly(g, ++s->GroupSize[g]) = p;
            s->GroupName[g] = "part" + std::to_string(g);
        }
        return s;
    }();
    return *m;
}

// 3001 waypoints on an ellipse over the track, all selected, and 33 selected slots.
const WaypointTables& Waypoints() {
    static const std::unique_ptr<WaypointTables> t = [] {
        auto w = std::make_unique<WaypointTables>();
        const int n = waypoints::kWaypointCapacity;
        w->WpCount = static_cast<std::int16_t>(n);
        for (int i = 0; i < n; ++i) {
            const double a = 2 * 3.14159265358979 * i / n;
            auto& r = w->Wp[static_cast<std::size_t>(i)];
            r.pos = {static_cast<float>(200 + 180 * std::cos(a)), 5,
                     static_cast<float>(100 + 90 * std::sin(a))};
            r.ptrs = {static_cast<std::int16_t>((i + n - 1) % n), static_cast<std::int16_t>((i + 1) % n), -1,
                      waypoints::kNoPitSlot};
            w->WpSel[static_cast<std::size_t>(i)] = 1;
        }
        w->SlotCount = waypoints::kSlotCapacity;
        for (int s = 0; s < waypoints::kSlotCapacity; ++s) {
            w->Slots[static_cast<std::size_t>(s)].AVPos = {-static_cast<float>(10 + s), 0, -50};
            w->Slots[static_cast<std::size_t>(s)].AVPitPos = {-static_cast<float>(10 + s), 0, -40};
            w->SlotSel[static_cast<std::size_t>(s)] = w->PitSel[static_cast<std::size_t>(s)] = 1;
        }
        return w;
    }();
    return *t;
}

using Op = std::function<Change(WaypointTables&, Recorder&)>;

// The operation on a fresh copy of the tables each time, alone or as a history step.
void Run(benchmark::State& state, const Op& op, bool asStep, bool keepOne) {
    Track(); // built once, outside the timings
    auto work = std::make_unique<WaypointTables>();
    auto doc = std::make_unique<model::ModelStore>();
    for (auto _ : state) {
        *work = Waypoints();
        if (keepOne) {
            work->WpSel[1500] = 0;
        }
        edit::History history;
        const auto t0 = std::chrono::steady_clock::now();
        if (asStep) {
            Recorder rec = history.Begin(*doc, "op");
            history.End(op(*work, rec));
        } else {
            Recorder rec;
            benchmark::DoNotOptimize(op(*work, rec));
        }
        const auto t1 = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
}

Change Height(WaypointTables& t, Recorder& r) {
    return waypoints::AdjustHeight(Track(), t, r);
}
Change Parts(WaypointTables& t, Recorder& r) {
    return waypoints::CalcTrackParts(Track(), t, r);
}
Change DeleteSelected(WaypointTables& t, Recorder& r) {
    return waypoints::DeleteSelectedWaypoints(t, r);
}

#define ZV_WAYPOINT_BENCH(name, op, keepOne)                                                                 \
    BENCHMARK_CAPTURE(Run, name, op, false, keepOne)->UseManualTime()->Unit(benchmark::kMillisecond);        \
    BENCHMARK_CAPTURE(Run, name##_AsStep, op, true, keepOne)->UseManualTime()->Unit(benchmark::kMillisecond)

ZV_WAYPOINT_BENCH(AdjustHeight3001On80000, Height, false);
ZV_WAYPOINT_BENCH(CalcTrackParts3001On80000, Parts, false);
ZV_WAYPOINT_BENCH(DeleteSelected3000Of3001, DeleteSelected, true);

} // namespace
} // namespace zv
