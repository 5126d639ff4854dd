// Open and merge times of the largest model a VRL file may hold.

#include "formats/VrlReader.h"
#include "tests/support/SilentUi.h"
#include "tests/support/TempDir.h"
#include "bench/LargestVrl.h"
#include "tests/support/VrlBuilder.h"
#include "workspace/ModelLifecycle.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace zv {
namespace {

using formats::VrlVariant;

using test::SilentUi;

// The files are written once per variant and shared by every benchmark.
class Files {
public:
    static const std::string& Largest(VrlVariant v) { return Instance().Get("largest", v); }
    static const std::string& Empty(VrlVariant v) { return Instance().Get("empty", v); }

private:
    static Files& Instance() {
        static Files files;
        return files;
    }
    const std::string& Get(const std::string& kind, VrlVariant v) {
        const std::string name = kind + (v == VrlVariant::Scgt ? "_scgt.vrl" : "_f1.vrl");
        auto it = paths_.find(name);
        if (it == paths_.end()) {
            const test::VrlFileModel m = kind == "empty" ? test::VrlFileModel{} : bench::LargestVrlModel();
            it = paths_.emplace(name, dir_.Write(name, test::BuildVrl(m, v))).first;
        }
        return it->second;
    }

    test::TempDir dir_;
    std::map<std::string, std::string> paths_;
};

void OpenLargest(benchmark::State& state, VrlVariant variant) {
    SilentUi ui;
    auto ws = std::make_unique<Workspace>(ui);
    ws->Settings.LoadTexturesOnOpen = false; // the reading alone; textures have their own benchmark
    const std::string& path = Files::Largest(variant);
    for (auto _ : state) {
        if (!formats::OpenVrl(*ws, path, variant)) {
            state.SkipWithError("open failed");
            break;
        }
        benchmark::DoNotOptimize(ws->Model.PolyCount);
    }
    state.counters["polygons"] = ws->Model.PolyCount;
}

void MergeLargestIntoEmpty(benchmark::State& state, VrlVariant variant) {
    SilentUi ui;
    auto ws = std::make_unique<Workspace>(ui);
    ws->Settings.LoadTexturesOnOpen = false;
    const std::string& empty = Files::Empty(variant);
    const std::string& path = Files::Largest(variant);
    for (auto _ : state) {
        state.PauseTiming();
        const bool opened = formats::OpenVrl(*ws, empty, variant);
        state.ResumeTiming();
        if (!opened || !formats::MergeVrl(*ws, path, variant)) {
            state.SkipWithError("open or merge failed");
            break;
        }
        benchmark::DoNotOptimize(ws->Model.PolyCount);
    }
    state.counters["polygons"] = ws->Model.PolyCount;
}

BENCHMARK_CAPTURE(OpenLargest, Scgt, VrlVariant::Scgt)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenLargest, F1_2000, VrlVariant::F1_2000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MergeLargestIntoEmpty, Scgt, VrlVariant::Scgt)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MergeLargestIntoEmpty, F1_2000, VrlVariant::F1_2000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zv
