#include "formats/NascarFormats.h"

#include "formats/ByteReader.h"
#include "model/Capacities.h"
#include "model/Paths.h"

#include <array>
#include <cstdint>
#include <string>

namespace zv::formats {
namespace {

// Header: int16 vertex count, int16 polygon count, 4 unused bytes, int32 offsets of the vertex
// and polygon blocks. Positions are 1-based, as errors give them.
constexpr std::uint64_t kVertexCountAt = 1;
constexpr std::uint64_t kPolygonCountAt = 3;
constexpr std::uint64_t kVertexOffsetAt = 9;
constexpr std::uint64_t kPolygonOffsetAt = 13;

constexpr std::size_t kObjVertexSize = 6;
constexpr std::size_t kObjPolygonSize = 24;
constexpr std::size_t kTrkVertexSize = 12;
constexpr std::size_t kTrkPolygonSize = 44;

constexpr float kObjCoordScale = 128;
constexpr float kObjUvScale = 256;
constexpr double kTrkCoordScale = 0.1;
constexpr int kFirstTextureCode = 66; // "B" is the first texture
constexpr int kTrackTexture = 1;
constexpr int kPolygonType = 52;

struct Header {
    int Vertices = 0;
    int Polygons = 0;
    std::int32_t VertexOffset = 0;
    std::int32_t PolygonOffset = 0;
};

// One polygon record: four corner indices (the fourth equal to the first marks a triangle) and
// the texture coordinates of the four corners.
struct Face {
    std::array<std::int16_t, 4> Index{};
    std::array<float, 4> U{};
    std::array<float, 4> V{};
    int Tex = 0;
};

int CheckedCount(std::int16_t n, std::uint64_t at, int base, int capacity, const char* what) {
    if (n < 0) {
        throw ReadError(at);
    }
    if (n > capacity - base) {
        throw ReadError(at, CapacityDetail(what, base, n, capacity));
    }
    return n;
}

Header ReadHeader(ByteReader& r, const DecodeJob& job) {
    Header h;
    h.Vertices = CheckedCount(r.I16(), kVertexCountAt, job.VertBase, model::kVertexCapacity, "vertices");
    h.Polygons = CheckedCount(r.I16(), kPolygonCountAt, job.PolyBase, model::kPolygonCapacity, "polygons");
    r.Skip(4);
    h.VertexOffset = r.I32();
    h.PolygonOffset = r.I32();
    return h;
}

model::VertRec ObjVertex(ByteReader& r) {
    const float a = r.I16();
    const float b = r.I16();
    const float c = r.I16();
    return {-a / kObjCoordScale, c / kObjCoordScale, -b / kObjCoordScale};
}

model::VertRec TrkVertex(ByteReader& r) {
    const double x = r.I32();
    const double y = r.I32();
    const double z = r.I32();
    return {static_cast<float>(x * kTrkCoordScale), static_cast<float>(y * kTrkCoordScale),
            static_cast<float>(z * kTrkCoordScale)};
}

Face ObjFace(ByteReader& r) {
    Face f;
    const int code = r.U8();
    f.Tex = code >= kFirstTextureCode ? code - kFirstTextureCode : 0;
    r.Skip(1);
    for (std::int16_t& i : f.Index) {
        i = r.I16();
    }
    r.Skip(2);
    for (std::size_t k = 0; k < 4; ++k) {
        f.U[k] = r.U8() / kObjUvScale;
        f.V[k] = r.U8() / kObjUvScale;
    }
    r.Skip(4);
    return f;
}

Face TrkFace(ByteReader& r) {
    Face f{{}, {0, 1, 1, 0}, {0, 0, 1, 1}, kTrackTexture};
    r.Skip(6);
    for (std::int16_t& i : f.Index) {
        i = r.I16();
    }
    r.Skip(6 + 24);
    return f;
}

struct Layout {
    std::size_t VertexSize;
    std::size_t PolygonSize;
    model::VertRec (*ReadVertex)(ByteReader&);
    Face (*ReadFace)(ByteReader&);
};

void WriteFace(DecodeJob& job, const Face& f, int corners) {
    model::ModelStore& m = job.Model;
    const int q = job.PolyBase + job.Polygons;
    for (int k = 0; k < corners; ++k) {
        const auto c = static_cast<std::size_t>(k);
        m.PolyVert(q, k) = job.VertBase + f.Index[c];
        m.PolyTU(q, k) = f.U[c];
        m.PolyTV(q, k) = f.V[c];
    }
    m.PolyVCount[q] = corners;
    m.PolyTex[q] = f.Tex;
    m.PolyType[q] = kPolygonType;
    m.PolyFlag[q] = 1;
    m.PolyNX[q] = m.PolyNY[q] = m.PolyNZ[q] = 0;
    m.PolyR[q] = m.PolyG[q] = m.PolyB[q] = m.PolyA[q] = 0; // the formats have no colours
    m.PolySelEdge[q] = -1;
}

// Vertices first, wherever their block lies, so that every corner can be checked against them.
void Decode(DecodeJob& job, const Layout& layout) {
    job.TextureNames = {"Tex001", "Tex002", "Tex003"};
    ByteReader r(job.Bytes);
    const Header h = ReadHeader(r, job);
    r.Seek(h.VertexOffset, kVertexOffsetAt);
    for (int i = 0; i < h.Vertices; ++i) {
        r.Require(1, layout.VertexSize);
        job.Model.Vert[job.VertBase + i] = layout.ReadVertex(r);
        ++job.Vertices;
    }
    r.Seek(h.PolygonOffset, kPolygonOffsetAt);
    for (int p = 0; p < h.Polygons; ++p) {
        const std::uint64_t at = r.Position();
        r.Require(1, layout.PolygonSize);
        const Face f = layout.ReadFace(r);
        const int corners = f.Index[3] != f.Index[0] ? 4 : 3;
        for (int k = 0; k < corners; ++k) {
            const int v = f.Index[static_cast<std::size_t>(k)];
            if (v < 0 || v >= h.Vertices) {
                throw ReadError(at);
            }
        }
        WriteFace(job, f, corners);
        ++job.Polygons;
    }
}

} // namespace

void DecodeNascarObj(DecodeJob& job) {
    Decode(job, {kObjVertexSize, kObjPolygonSize, ObjVertex, ObjFace});
}

void DecodeNascarTrk(DecodeJob& job) {
    Decode(job, {kTrkVertexSize, kTrkPolygonSize, TrkVertex, TrkFace});
}

std::string_view NascarFormatFor(std::string_view path) {
    const bool track = path.size() >= 3 && model::UpperAscii(path.substr(path.size() - 3)) == "TRK";
    return track ? "nrtrk" : "nrobj";
}

} // namespace zv::formats
