// Decode time of the largest text models: a 3D Studio ASCII export of 80000 vertices and 78000
// faces in eight objects, and an NFS text file of the same size, decoded from memory into the
// model store as the shared open does.

#include "config/Settings.h"
#include "formats/TextFormats.h"
#include "model/UserInterface.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <span>
#include <string>

namespace zv::formats {
namespace {

constexpr int kObjects = 8;
constexpr int kVertices = 80000 / kObjects;
constexpr int kFaces = 78000 / kObjects;

// A coordinate with the six decimals the exporter writes.
std::string Coord(int i, int axis) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", (i * 37 + axis * 11) % 5000 * 0.731 - 1500.0);
    return text;
}

std::string AscFile() {
    std::string s = "Ambient light color: Red=0.3 Green=0.3 Blue=0.3\r\n\r\n";
    for (int o = 0; o < kObjects; ++o) {
        s += "Named object: \"Object" + std::to_string(o) +
             "\"\r\nTri-mesh, Vertices: " + std::to_string(kVertices) +
             "     Faces: " + std::to_string(kFaces) + "\r\nVertex list:\r\n";
        for (int v = 0; v < kVertices; ++v) {
            s += "Vertex " + std::to_string(v) + ":  X: " + Coord(v, 0) + "     Y: " + Coord(v, 1) +
                 "     Z: " + Coord(v, 2) + "\r\n";
        }
        s += "Face list:\r\n";
        for (int f = 0; f < kFaces; ++f) {
            const int a = f % (kVertices - 2);
            s += "Face " + std::to_string(f) + ":    A:" + std::to_string(a) + " B:" + std::to_string(a + 1) +
                 " C:" + std::to_string(a + 2) + " AB:1 BC:1 CA:0\r\nSmoothing:  1\r\n";
        }
        s += "\r\n";
    }
    return s;
}

std::string NfsFile() {
    const int nv = kVertices * kObjects;
    const int nt = kFaces * kObjects;
    std::string s = "Number of vertices:\r\n" + std::to_string(nv) + "\r\nNumber of triangles:\r\n" +
                    std::to_string(nt) + "\r\nTable of vertices\r\n\r\n---\r\n";
    for (int v = 0; v < nv; ++v) {
        s += "X: " + Coord(v, 0) + "\r\nY: " + Coord(v, 1) + "\r\nZ: " + Coord(v, 2) + "\r\n---\r\n";
    }
    s += "Table of triangles\r\n---\r\n";
    for (int t = 0; t < nt; ++t) {
        const int a = t % (nv - 2);
        s += "I1: " + std::to_string(a) + "\r\nI2: " + std::to_string(a + 1) +
             "\r\nI3: " + std::to_string(a + 2) +
             "\r\nU1: 0.125\r\nU2: 0.25\r\nU3: 0.5\r\nV1: 0.75\r\nV2: 0.5\r\nV3: 0.25\r\n";
    }
    return s;
}

void Decode(benchmark::State& state, void (*decode)(DecodeJob&), const std::string& text, int polygons) {
    const auto store = std::make_unique<model::ModelStore>();
    model::QuietUserInterface ui;
    const config::Settings settings;
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    int decoded = 0;
    for (auto _ : state) {
        DecodeJob job{.Bytes = bytes,
                      .Path = "large.asc",
                      .Model = *store,
                      .Ui = ui,
                      .Settings = settings,
                      .Section = {},
                      .TextureNames = {},
                      .Parts = {},
                      .Normals = {}};
        decode(job);
        decoded = job.Polygons; // the decode is a call into the library: nothing to keep alive
    }
    if (decoded != polygons) {
        state.SkipWithError("decode failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text.size()));
}

void BM_DecodeAsc(benchmark::State& state) {
    static const std::string text = AscFile();
    Decode(state, DecodeAsc, text, kFaces * kObjects);
}
BENCHMARK(BM_DecodeAsc)->Unit(benchmark::kMillisecond);

void BM_DecodeNfsText(benchmark::State& state) {
    static const std::string text = NfsFile();
    Decode(state, DecodeNfsText, text, kFaces * kObjects);
}
BENCHMARK(BM_DecodeNfsText)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zv::formats
