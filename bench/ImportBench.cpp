// Decode times of the imported model formats, from bytes in memory into a model store.

#include "config/Settings.h"
#include "formats/TocaFormats.h"
#include "model/UserInterface.h"
#include "tests/formats/TocaBuilder.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace zv::formats {
namespace {

// A full model: 800 objects (as many as the parts hold) of 100 vertices in a strip and 98 faces
// each, 80000 vertices in all.
std::vector<std::uint8_t> LargeM3d() {
    std::vector<test::TocaObject> objects(model::kMaxParts);
    for (std::size_t o = 0; o < objects.size(); ++o) {
        test::TocaObject& obj = objects[o];
        obj.Name = "OBJ" + std::to_string(o);
        for (std::int32_t i = 0; i < 100; ++i) {
            obj.Verts.push_back(
                {i * 65536, (i % 2) * 65536, static_cast<std::int32_t>(o) * 65536, i * 800, 0});
        }
        for (std::int16_t j = 0; j < 98; ++j) {
            obj.Faces.push_back({j, static_cast<std::int16_t>(j + 1), static_cast<std::int16_t>(j + 2),
                                 static_cast<std::int16_t>(j % 7 == 0 ? -1 : 0)});
        }
    }
    return test::TocaModel(test::TocaHeader::M3d, objects);
}

void BM_DecodeM3d800Objects(benchmark::State& state) {
    const std::vector<std::uint8_t> bytes = LargeM3d();
    const auto store = std::make_unique<model::ModelStore>();
    model::QuietUserInterface ui;
    const config::Settings settings;
    int polygons = 0;
    for (auto _ : state) {
        DecodeJob job{bytes,        "large.m3d", *store, 0,  0,  ui,    settings,
                      std::nullopt, 0,           0,      {}, {}, false, std::nullopt};
        DecodeTocaModel(job);
        // No DoNotOptimize: the decode writes the store, and GCC 12 miscompiles its int form here.
        polygons = job.Polygons;
    }
    if (polygons != 800 * 98) {
        state.SkipWithError("decode failed");
    }
}
BENCHMARK(BM_DecodeM3d800Objects)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zv::formats
