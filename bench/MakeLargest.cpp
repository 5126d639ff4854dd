// Writes the files of the whole-process comparison: the largest VRL a game reads (SCGT variant)
// and a binary PLY of the same mesh (same vertices, same triangles) for a general-purpose tool.
//   zv_make_largest FOLDER  ->  FOLDER/largest.vrl, FOLDER/largest.ply

#include "bench/LargestVrl.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

template <class T> void Put(std::ofstream& out, T value) {
    out.write(reinterpret_cast<const char*>(&value), sizeof value);
}

bool WritePly(const zv::test::VrlFileModel& m, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "ply\nformat binary_little_endian 1.0\n"
        << "element vertex " << m.Vertices.size() << "\nproperty float x\nproperty float y\nproperty float z\n"
        << "element face " << m.Polygons.size() << "\nproperty list uchar int vertex_indices\nend_header\n";
    for (const auto& v : m.Vertices) {
        for (const float c : v) {
            Put(out, c);
        }
    }
    for (const auto& p : m.Polygons) {
        Put(out, static_cast<std::uint8_t>(p.Corners.size()));
        for (const auto& c : p.Corners) {
            Put(out, static_cast<std::int32_t>(c.Vertex));
        }
    }
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zv_make_largest FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    const zv::test::VrlFileModel m = zv::bench::LargestVrlModel();
    const auto vrl = zv::test::BuildVrl(m, zv::formats::VrlVariant::Scgt);
    std::ofstream out(dir + "/largest.vrl", std::ios::binary);
    out.write(reinterpret_cast<const char*>(vrl.data()), static_cast<std::streamsize>(vrl.size()));
    if (!out || !WritePly(m, dir + "/largest.ply")) {
        std::fprintf(stderr, "cannot write into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
