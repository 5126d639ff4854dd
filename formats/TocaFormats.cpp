#include "formats/TocaFormats.h"

#include "config/ConfigFormat.h"
#include "model/Paths.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace zv::formats {
namespace {

// Object records, shared by the models and the track sections.
constexpr std::size_t kObjectNameSize = 8;
constexpr std::size_t kObjectHeaderSize = 44; // name, 2 words, the two counts, 6 words
constexpr std::size_t kVertexSize = 32;
constexpr std::size_t kFaceSize = 24;
constexpr double kFixedOne = 65536; // 16 fractional bits

// Placement records of the track sections: a type word, then a record of 40 or 42 words.
constexpr std::int16_t kSkippedPlacementType = 80;
constexpr std::size_t kSkippedPlacementSize = 80;
constexpr std::size_t kPlacementXOffset = 58;      // words 30, 32 and 34 counting the type as 1
constexpr std::size_t kPlacementObjectOffset = 80; // word 41
constexpr std::size_t kPlacementSize = 84;

constexpr std::size_t kTrackNameSize = 12;

constexpr int kModelPolygonType = 24;
constexpr int kTrackTexturedType = 52;
constexpr int kTrackUntexturedType = 36;
constexpr int kModelUntexturedIndex = 1;

constexpr std::array<float, 3> kDefaultU{0, 0, 1};
constexpr std::array<float, 3> kDefaultV{0, 1, 0};

enum class Style { Model, Track };

using Moves = std::vector<std::optional<model::VertRec>>;

// A count field that may not read negative or above most; the fault names the field.
int CheckedCount(std::int64_t value, std::int64_t most, std::uint64_t at) {
    if (value < 0 || value > most) {
        throw ReadError(at);
    }
    return static_cast<int>(value);
}

// An object count: each object becomes a part, so more objects than parts is a fault too.
int ObjectCount(std::int16_t value, std::uint64_t at) {
    if (value > model::kMaxParts) {
        throw ReadError(at, "Too many objects: " + std::to_string(value) + " (at most " +
                                std::to_string(model::kMaxParts) + ")");
    }
    return CheckedCount(value, model::kMaxParts, at);
}

// Reads object records into the job's rows. Each object is counted (Vertices, Polygons, a part)
// only once it is complete, so after a fault the job describes whole objects.
class ObjectReader {
public:
    ObjectReader(DecodeJob& job, ByteReader& r, Style style) : job_(job), r_(r), style_(style) {}

    void ReadAll(int count, const Moves& moves) {
        for (int o = 0; o < count; ++o) {
            const auto& move = o < static_cast<int>(moves.size()) ? moves[static_cast<std::size_t>(o)]
                                                                  : std::optional<model::VertRec>{};
            ReadObject(move);
        }
    }

private:
    void ReadObject(const std::optional<model::VertRec>& move) {
        r_.Require(1, kObjectHeaderSize);
        std::string name;
        for (const std::uint8_t b : r_.Bytes(kObjectNameSize)) {
            if (b >= 32 && b <= 127) {
                name.push_back(static_cast<char>(b));
            }
        }
        r_.Skip(8);
        const std::uint64_t nvAt = r_.Position();
        const std::int16_t nv = r_.I16();
        const std::uint64_t nfAt = r_.Position();
        const std::int16_t nf = r_.I16();
        CheckRoom(nv, nvAt, "vertices", job_.VertBase, job_.Vertices, model::kVertexCapacity);
        CheckRoom(nf, nfAt, "polygons", job_.PolyBase, job_.Polygons, model::kPolygonCapacity);
        r_.Skip(24);
        ReadVertices(nv, move);
        r_.Skip(4);
        ReadFaces(nv, nf);
        job_.Parts.push_back({std::move(name), job_.Polygons, nf});
        job_.Vertices += nv;
        job_.Polygons += nf;
    }

    // A negative count, or one the store has no room for, is a fault of the count field.
    static void CheckRoom(std::int16_t n, std::uint64_t at, const char* what, int base, int done,
                          int capacity) {
        if (n < 0) {
            throw ReadError(at);
        }
        if (n > capacity - base - done) {
            throw ReadError(at, base > 0 ? CapacityDetail(what, base, done + n, capacity) : "");
        }
    }

    void ReadVertices(int nv, const std::optional<model::VertRec>& move) {
        r_.Require(static_cast<std::size_t>(nv), kVertexSize);
        u_.resize(static_cast<std::size_t>(nv));
        v_.resize(static_cast<std::size_t>(nv));
        // Track corners take the vertex coordinates divided once more.
        const double uvDivisor = style_ == Style::Track ? kFixedOne * kFixedOne : kFixedOne;
        const model::VertRec shift = move.value_or(model::VertRec{});
        for (int i = 0; i < nv; ++i) {
            r_.Skip(4);
            model::VertRec& v = job_.Model.Vert[job_.VertBase + job_.Vertices + i];
            v.X = static_cast<float>(r_.I32() / kFixedOne) + shift.X;
            v.Y = static_cast<float>(r_.I32() / kFixedOne) + shift.Y;
            v.Z = static_cast<float>(r_.I32() / kFixedOne) + shift.Z;
            u_[static_cast<std::size_t>(i)] = static_cast<float>(r_.I32() / uvDivisor);
            v_[static_cast<std::size_t>(i)] = static_cast<float>(r_.I32() / uvDivisor);
            r_.Skip(8);
        }
    }

    void ReadFaces(int nv, int nf) {
        r_.Require(static_cast<std::size_t>(nf), kFaceSize);
        model::ModelStore& m = job_.Model;
        const int vertBase = job_.VertBase + job_.Vertices;
        for (int j = 0; j < nf; ++j) {
            const std::uint64_t at = r_.Position();
            r_.Skip(2);
            std::array<int, 3> corner{};
            for (int& c : corner) {
                c = r_.I16();
                if (c < 0 || c >= nv) {
                    throw ReadError(at);
                }
            }
            const int tex = r_.I16();
            r_.Skip(14);
            const int q = job_.PolyBase + job_.Polygons + j;
            const bool textured = tex >= 0;
            for (int k = 0; k < 3; ++k) {
                const auto c = static_cast<std::size_t>(corner[static_cast<std::size_t>(k)]);
                const auto d = static_cast<std::size_t>(k);
                m.PolyVert(q, k) = vertBase + static_cast<int>(c);
                m.PolyTU(q, k) = textured ? u_[c] : kDefaultU[d];
                m.PolyTV(q, k) = textured ? v_[c] : kDefaultV[d];
            }
            if (style_ == Style::Model) {
                m.PolyTex[q] = textured ? tex : kModelUntexturedIndex;
                m.PolyType[q] = kModelPolygonType;
            } else {
                m.PolyTex[q] = tex;
                m.PolyType[q] = textured ? kTrackTexturedType : kTrackUntexturedType;
            }
            m.PolyVCount[q] = 3;
            m.PolyFlag[q] = 1;
            m.PolyR[q] = m.PolyG[q] = m.PolyB[q] = m.PolyA[q] = 0; // the formats have no colours
            m.PolyNX[q] = m.PolyNY[q] = m.PolyNZ[q] = 0;
            m.PolySelEdge[q] = -1;
        }
    }

    DecodeJob& job_;
    ByteReader& r_;
    Style style_;
    std::vector<float> u_, v_; // the current object's vertex texture coordinates
};

bool HeadIs(std::span<const std::uint8_t> head, const char (&tag)[5]) {
    return std::memcmp(head.data(), tag, 4) == 0;
}

// Placements: where each object goes. Only the first placement of an object counts.
Moves ReadPlacements(ByteReader& r, int placements, int objects) {
    Moves moves(static_cast<std::size_t>(objects));
    for (int i = 0; i < placements; ++i) {
        if (r.I16() == kSkippedPlacementType) {
            r.Skip(kSkippedPlacementSize - 2);
            continue;
        }
        r.Skip(kPlacementXOffset - 2);
        const auto x = static_cast<float>(r.I16());
        r.Skip(2);
        const auto y = static_cast<float>(r.I16());
        r.Skip(2);
        const auto z = static_cast<float>(r.I16());
        r.Skip(kPlacementObjectOffset - kPlacementXOffset - 10);
        const std::uint64_t objectAt = r.Position();
        const int object = CheckedCount(r.I16(), objects, objectAt);
        r.Skip(kPlacementSize - kPlacementObjectOffset - 2);
        if (object > 0 && !moves[static_cast<std::size_t>(object - 1)]) {
            moves[static_cast<std::size_t>(object - 1)] = model::VertRec{x, y, z};
        }
    }
    return moves;
}

// The start of section n of a BFP chain; every size on the way must fit the file.
std::size_t FindSection(ByteReader& r, int n) {
    std::size_t pos = 0;
    for (int index = 0;; ++index) {
        if (pos == r.Size()) {
            throw ReadError(pos + 1, "section " + std::to_string(n) + " not found (" + std::to_string(index) +
                                         " sections)");
        }
        r.Seek(static_cast<std::int64_t>(pos), pos + 1);
        const std::uint64_t at = r.Position();
        const std::int32_t size = r.I32();
        if (size < 0 || static_cast<std::size_t>(size) > r.Remaining()) {
            throw ReadError(at);
        }
        if (index == n) {
            return pos;
        }
        pos = r.Tell() + static_cast<std::size_t>(size);
    }
}

// The user's section number (its numeric value, 0 .. 255); nullopt when cancelled.
std::optional<int> ChooseSection(DecodeJob& job) {
    const auto answer = job.Ui.InputBox("Enter section number", "Toca2 Track", "0");
    if (!answer) {
        return std::nullopt;
    }
    return std::clamp<std::int32_t>(config::ReadLong(*answer), 0, 255);
}

// The counts of a track section header, positioned at the placements.
struct TrackHeader {
    int Placements = 0;
    int Objects = 0;
    int Textures = 0;
    std::int64_t ObjectStart = 0;
    std::uint64_t OffsetAt = 0;
};

std::int16_t ReadCount16(ByteReader& r, std::uint64_t& at) {
    at = r.Position();
    return r.I16();
}

// Placements, then the objects, moved to their places.
void ReadTrackBody(DecodeJob& job, ByteReader& r, const TrackHeader& h) {
    const Moves moves = ReadPlacements(r, h.Placements, h.Objects);
    r.Seek(h.ObjectStart, h.OffsetAt);
    ObjectReader(job, r, Style::Track).ReadAll(h.Objects, moves);
}

} // namespace

void DecodeTocaModel(DecodeJob& job) {
    ByteReader r(job.Bytes);
    const auto head = r.Bytes(4);
    std::uint64_t countAt = 0;
    std::int16_t count = 0;
    std::int64_t start = 0;
    std::uint64_t offsetAt = 0;
    if (HeadIs(head, "CMPR")) {
        r.Skip(18);
        count = ReadCount16(r, countAt);
        r.Skip(8);
        offsetAt = r.Position();
        start = std::int64_t{r.I32()} + 8;
    } else if (HeadIs(head, "M3D\0")) {
        r.Skip(10);
        count = ReadCount16(r, countAt);
        r.Skip(8);
        offsetAt = r.Position();
        start = r.I32();
    } else {
        r.Skip(12);
        count = ReadCount16(r, countAt);
        r.Skip(10);
        offsetAt = r.Position();
        start = std::int64_t{r.I32()} + 4;
    }
    const int objects = ObjectCount(count, countAt);
    r.Seek(start, offsetAt);
    job.TextureNames = {"Tex0"};
    ObjectReader(job, r, Style::Model).ReadAll(objects, {});
}

void CheckBfpTrack(DecodeJob& job) {
    if (!job.Section) {
        job.Section = ChooseSection(job);
        if (!job.Section) {
            job.Cancelled = true;
            return;
        }
    }
    ByteReader r(job.Bytes);
    FindSection(r, *job.Section);
}

void DecodeBfpTrack(DecodeJob& job) {
    if (!job.Section) {
        CheckBfpTrack(job);
        if (job.Cancelled) {
            return;
        }
    }
    ByteReader r(job.Bytes);
    const std::size_t sectionStart = FindSection(r, *job.Section);
    r.Seek(static_cast<std::int64_t>(sectionStart) + 4, sectionStart + 1);
    TrackHeader h;
    std::uint64_t at = 0;
    r.Skip(12);
    h.Placements = CheckedCount(ReadCount16(r, at), std::numeric_limits<std::int16_t>::max(), at);
    h.Objects = ObjectCount(ReadCount16(r, at), at);
    at = r.Position();
    h.Textures = CheckedCount(r.I32(), model::kTextureCapacity, at);
    r.Skip(4);
    h.OffsetAt = r.Position();
    h.ObjectStart = std::int64_t{r.I32()} + static_cast<std::int64_t>(sectionStart) + 4;
    r.Skip(4);
    ReadTrackBody(job, r, h);

    r.Require(static_cast<std::size_t>(h.Textures), kTrackNameSize);
    job.TextureNames.clear();
    for (int t = 0; t < h.Textures; ++t) {
        std::string name;
        for (const std::uint8_t b : r.Bytes(kTrackNameSize)) {
            if (b != 0) {
                name.push_back(static_cast<char>(b));
            }
        }
        job.TextureNames.push_back(model::UpperAscii(name));
    }
}

void DecodeC3dTrack(DecodeJob& job) {
    ByteReader r(job.Bytes);
    TrackHeader h;
    std::uint64_t at = 0;
    r.Skip(20);
    h.Placements = CheckedCount(ReadCount16(r, at), std::numeric_limits<std::int16_t>::max(), at);
    h.Objects = ObjectCount(ReadCount16(r, at), at);
    h.Textures = CheckedCount(ReadCount16(r, at), model::kTextureCapacity, at);
    r.Skip(6);
    h.OffsetAt = r.Position();
    h.ObjectStart = std::int64_t{r.I32()} + 8;
    r.Skip(4);
    ReadTrackBody(job, r, h);
    job.TextureNames.clear();
    for (int t = 0; t < h.Textures; ++t) {
        job.TextureNames.push_back("Tex" + std::to_string(t));
    }
}

} // namespace zv::formats
