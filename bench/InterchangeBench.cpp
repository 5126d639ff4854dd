// The interchange front ends: batch conversion to glTF binary with two jobs, export of the largest
// VRL mesh to .glb and its import back, and, as whole processes, zorvane-cli's conversion of that
// model next to Assimp's own converter on the same mesh.
//
// The mesh is LargestVrlModel's with one texture, type and colour: as LargestVrlModel stands, every
// triangle has a material of its own (26667), and Assimp's glTF writer takes minutes over that
// many meshes and materials.

#include "bench/LargestVrl.h"
#include "cli/Cli.h"
#include "formats/ModelFormat.h"
#include "interchange/Interchange.h"
#include "tests/support/SilentUi.h"
#include "tests/support/TempDir.h"
#include "tests/support/VrlBuilder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace zv {
namespace {

// Called first by every benchmark: the table must have the interchange formats before its
// first use, as in the programs.
void Install() {
    interchange::InstallFormats();
}

// 1000 quads in a 40 x 25 grid, ten textures and a few surface types and colours.
test::VrlFileModel ThousandQuads() {
    test::VrlFileModel m;
    constexpr int kColumns = 40, kRows = 25;
    for (int y = 0; y <= kRows; ++y) {
        for (int x = 0; x <= kColumns; ++x) {
            m.Vertices.push_back(
                {static_cast<float>(x), static_cast<float>((x * y) % 5) * 0.1f, static_cast<float>(y)});
        }
    }
    for (int y = 0; y < kRows; ++y) {
        for (int x = 0; x < kColumns; ++x) {
            const int v = y * (kColumns + 1) + x;
            test::VrlPolygon p;
            p.Corners = {{v, 0, 0}, {v + 1, 1, 0}, {v + kColumns + 2, 1, 1}, {v + kColumns + 1, 0, 1}};
            p.Texture = (x + y) % 10;
            p.SurfaceType = x % 3;
            p.R = static_cast<std::uint8_t>(40 * (y % 4));
            m.Polygons.push_back(std::move(p));
        }
    }
    for (int t = 0; t < 10; ++t) {
        m.TextureNames.push_back("TEX" + std::to_string(t));
    }
    return m;
}

void BM_BatchConvert100ToGlbTwoJobs(benchmark::State& state) {
    Install();
    test::TempDir dir;
    const test::VrlImage image = test::BuildVrl(ThousandQuads(), formats::VrlVariant::Scgt);
    std::vector<std::string> args{"convert", "--to", "glb", "--out-dir", dir.File("out"), "--jobs", "2"};
    for (int i = 0; i < 100; ++i) {
        args.push_back(dir.Write("model" + std::to_string(i) + ".vrl", image));
    }
    for (auto _ : state) {
        std::ostringstream out, err;
        if (cli::RunCli(args, "", out, err) != cli::kOk) {
            state.SkipWithError(err.str().c_str());
            break;
        }
    }
    state.counters["files/s"] =
        benchmark::Counter(100.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BatchConvert100ToGlbTwoJobs)->Unit(benchmark::kMillisecond)->UseRealTime();

test::VrlFileModel LargestOneMaterial() {
    test::VrlFileModel m = bench::LargestVrlModel();
    for (test::VrlPolygon& p : m.Polygons) {
        p.Texture = 0;
        p.SurfaceType = 0;
        p.B = 0;
    }
    return m;
}

// The largest mesh, opened once, and its .glb and binary PLY (for Assimp), written once.
struct Largest {
    Largest() : Ws(std::make_unique<Workspace>(Ui)) {
        Install();
        Vrl = Dir.Write("largest.vrl", test::BuildVrl(LargestOneMaterial(), formats::VrlVariant::Scgt));
        Glb = Dir.File("largest.glb");
        Ply = Dir.File("largest.ply");
        Ws->Settings.LoadTexturesOnOpen = false;
        formats::OpenModelFile(*Ws, *formats::FindFormat("scgt"), Vrl);
        Ok = interchange::ExportModel(*Ws, Glb, {}).Ok && interchange::ExportModel(*Ws, Ply, {"plyb"}).Ok;
    }
    test::TempDir Dir;
    test::SilentUi Ui;
    std::unique_ptr<Workspace> Ws;
    std::string Vrl, Glb, Ply;
    bool Ok = false;
};

Largest& TheLargest() {
    static Largest largest;
    return largest;
}

void BM_ExportLargestToGlb(benchmark::State& state) {
    Largest& l = TheLargest();
    const std::string out = l.Dir.File("again.glb");
    for (auto _ : state) {
        if (!interchange::ExportModel(*l.Ws, out, {}).Ok) {
            state.SkipWithError("export failed");
            break;
        }
    }
}
BENCHMARK(BM_ExportLargestToGlb)->Unit(benchmark::kMillisecond);

void BM_ImportLargestGlb(benchmark::State& state) {
    Largest& l = TheLargest();
    test::SilentUi ui;
    auto ws = std::make_unique<Workspace>(ui);
    ws->Settings.LoadTexturesOnOpen = false;
    const formats::ModelFormat* glb = formats::FormatForFile(l.Glb);
    for (auto _ : state) {
        if (!l.Ok || glb == nullptr || !formats::OpenModelFile(*ws, *glb, l.Glb)) {
            state.SkipWithError("import failed");
            break;
        }
    }
    state.counters["polygons"] = ws->Model.PolyCount;
}
BENCHMARK(BM_ImportLargestGlb)->Unit(benchmark::kMillisecond);

// A whole process timed from outside.
void TimeCommand(benchmark::State& state, const std::string& command) {
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system((command + " >/dev/null 2>&1").c_str());
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (status != 0) {
            state.SkipWithError(("failed: " + command).c_str());
            break;
        }
    }
}

void BM_ProcessZorvaneCliVrlToGlb(benchmark::State& state) {
    Largest& l = TheLargest();
    TimeCommand(state, std::string(ZV_CLI) + " convert " + l.Vrl + " " + l.Dir.File("cli.glb"));
}
BENCHMARK(BM_ProcessZorvaneCliVrlToGlb)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

// Assimp's converter writing the same mesh as glTF binary, from a binary PLY.
void BM_ProcessAssimpExportPlyToGlb(benchmark::State& state) {
    Largest& l = TheLargest();
    TimeCommand(state, "assimp export " + l.Ply + " " + l.Dir.File("assimp.glb") + " -fglb2");
}
BENCHMARK(BM_ProcessAssimpExportPlyToGlb)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

} // namespace
} // namespace zv
