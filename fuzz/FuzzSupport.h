#pragma once
// Shared pieces of the fuzz targets: a scratch folder for the readers that take paths, and the
// store's invariants, checked after every parse (a broken one aborts, so the fuzzer reports it).

#include "model/Capacities.h"
#include "model/Columns.h"
#include "model/ModelStore.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <unistd.h>

namespace zv::fuzz {

// A folder of this process for the files the readers open; in memory where the system offers
// it, as a disk file rewritten for every input makes the file system flush it each time.
inline const std::filesystem::path& Scratch() {
    static const std::filesystem::path dir = [] {
        std::error_code ec;
        const auto base = std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0
                              ? std::filesystem::path("/dev/shm")
                              : std::filesystem::temp_directory_path();
        auto d = base / ("zv-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

inline std::string WriteScratch(const std::string& name, std::span<const std::uint8_t> bytes) {
    const std::string path = (Scratch() / name).string();
    ::unlink(path.c_str()); // a fresh file, not a truncated one the file system must flush
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

inline void Require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Counts within the capacity, every corner a vertex below the count, every part member a polygon
// below the count, texture names no longer than maxName.
inline void CheckStore(const model::ModelStore& m, std::size_t maxName) {
    Require(m.VertCount >= -1 && m.VertCount <= model::kVertexCapacity, "vertex count");
    Require(m.PolyCount >= -1 && m.PolyCount <= model::kPolygonCapacity, "polygon count");
    Require(m.TexCount >= 0 && m.TexCount <= model::kTextureCapacity, "texture count");
    for (int p = 0; p < model::UsedPolygons(m); ++p) {
        Require(m.PolyVCount[p] >= 3 && m.PolyVCount[p] <= model::kMaxCorners, "corner count");
        for (int k = 0; k < m.PolyVCount[p]; ++k) {
            Require(model::IsVertex(m, m.PolyVert(p, k)), "corner vertex");
        }
    }
    Require(m.PartCount() <= model::kMaxParts, "part count");
    for (int g = 1; g <= m.PartCount(); ++g) {
        Require(m.GroupSize[g] >= 0 && m.GroupSize[g] <= model::kMaxPartMembers, "part size");
        for (int k = 1; k <= m.GroupSize[g]; ++k) {
            Require(model::IsPolygon(m, m.GroupPoly(g, k)), "part member");
        }
    }
    for (int t = 0; t < m.TexCount; ++t) {
        Require(m.TexName[t].size() <= maxName, "texture name length");
    }
}

} // namespace zv::fuzz
