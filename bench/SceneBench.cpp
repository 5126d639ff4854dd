// Open time of a track scene of 200 objects (each a small VRL of 50 quads) as "Open Scene" does
// it: the scene file read and parsed, then every object found in the folder and merged, as one
// step of the history.

#include "formats/SceneLoader.h"
#include "tests/support/SilentUi.h"
#include "tests/support/TempDir.h"
#include "tests/support/VrlBuilder.h"
#include "workspace/Commands.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace zv {
namespace {

constexpr int kObjects = 200;
constexpr int kQuads = 50;

test::VrlFileModel Object(int n) {
    test::VrlFileModel m;
    for (int q = 0; q < kQuads; ++q) {
        const float x = static_cast<float>(q);
        const float z = static_cast<float>(n) * 2;
        m.Vertices.insert(m.Vertices.end(),
                          {{x, 0, z}, {x + 1, 0, z}, {x + 1, 0.1f, z + 1}, {x, 0.1f, z + 1}});
        m.Polygons.push_back({{{4 * q, 0, 0}, {4 * q + 1, 1, 0}, {4 * q + 2, 1, 1}, {4 * q + 3, 0, 1}}});
        m.Polygons.back().Texture = q % 2;
    }
    m.TextureNames = {"ROADA", "GRASA"};
    return m;
}

// The objects and a scene file placing each once, written to a fresh folder. A scene names its
// objects in upper case; with lowerCaseFiles each one is found only by listing the folder.
struct SceneFiles {
    test::TempDir Dir;
    std::string Scene;
    explicit SceneFiles(bool lowerCaseFiles) {
        std::string text = "Group=~trkadba\r\n{\r\n";
        for (int n = 0; n < kObjects; ++n) {
            const std::string name = "trak" + std::to_string(1000 + n).substr(1);
            Dir.Write(lowerCaseFiles ? name + ".vrl" : "TRAK" + name.substr(4) + ".VRL",
                      test::BuildVrl(Object(n), formats::VrlVariant::Scgt));
            text += "  Instance=" + name + "\r\n  {\r\n    ObjFile=" + name +
                    ".vrl LODIn=(0.00) LODMid=(150.00) LODOut=(200.00)\r\n  }\r\n";
        }
        Scene = Dir.Write("track.scn", text + "}\r\n");
    }
};

void BM_OpenScene(benchmark::State& state) {
    const SceneFiles files(state.range(0) != 0);
    state.SetLabel(state.range(0) != 0 ? "files in lower case" : "files in upper case");
    test::SilentUi ui;
    auto ws = std::make_unique<Workspace>(ui);
    ws->Settings.LoadTexturesOnOpen = false; // the reading alone; textures have their own benchmark
    const std::string folder = files.Dir.Path().string();
    formats::SceneReport report;
    for (auto _ : state) {
        const std::optional<track::SceneContents> scene = formats::ReadSceneFile(ui, files.Scene);
        if (!scene) {
            state.SkipWithError("scene not read");
            break;
        }
        RunStep(*ws, "Open Scene",
                [&](edit::Recorder& rec) { return formats::LoadScene(*ws, rec, folder, *scene, &report); });
        state.PauseTiming();
        ws->History.Clear(); // every run starts from the same history
        state.ResumeTiming();
    }
    if (report.Loaded != kObjects || report.Any()) {
        state.SkipWithError("objects not loaded");
    }
    state.counters["polygons"] = ws->Model.PolyCount;
}
BENCHMARK(BM_OpenScene)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zv
