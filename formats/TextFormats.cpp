#include "formats/TextFormats.h"

#include "formats/ByteReader.h"
#include "formats/TextLines.h"
#include "formats/VrlLayout.h"
#include "model/Paths.h"

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace zv::formats {
namespace {

using model::ModelStore;

// The name of the file without folder and extension: the NFS texture and unnamed parts.
std::string FileTitle(const DecodeJob& job) {
    return model::StripExtension(model::FileNameOf(job.Path));
}

float ToFloat(const TextLine& line, double value) {
    if (std::fabs(value) > std::numeric_limits<float>::max()) {
        throw ReadError(line.Position);
    }
    return static_cast<float>(value);
}

// A fault for more rows than the store has room for; in a merge the detail says why.
ReadError CapacityFault(std::uint64_t position, const char* what, int base, std::int64_t adding,
                        int capacity) {
    return ReadError(position,
                     base > 0 && adding <= capacity ? CapacityDetail(what, base, adding, capacity) : "");
}

// A triangle with the file's corners (and texture coordinates) in the model's order, the
// first file corner last.
void WriteTriangle(ModelStore& m, int q, const std::array<std::int32_t, 3>& v, const std::array<float, 3>& u,
                   const std::array<float, 3>& tv) {
    for (int k = 0; k < 3; ++k) {
        const auto f = static_cast<std::size_t>(2 - k);
        m.PolyVert(q, k) = v[f];
        m.PolyTU(q, k) = u[f];
        m.PolyTV(q, k) = tv[f];
    }
    m.PolyVCount[q] = 3;
    m.PolyTex[q] = 0;
    m.PolyType[q] = kTextPolyType;
    m.PolyFlag[q] = 1;
    m.PolyR[q] = m.PolyG[q] = m.PolyB[q] = m.PolyA[q] = 0; // neither format has colours
    m.PolySelEdge[q] = -1;
}

// ---- NFS text ----

constexpr std::string_view kNfsVertexCountKey = "Number of vertices:";
constexpr std::string_view kNfsTriangleCountKey = "Number of triangles:";
constexpr std::string_view kNfsVertexTableKey = "Table of vertices";
constexpr std::string_view kNfsTriangleTableKey = "Table of triangles";
constexpr int kNfsVertexLines = 4;   // X, Y, Z and a line not read
constexpr int kNfsTriangleLines = 9; // I1-I3, U1-U3, V1-V3
constexpr int kNfsFirstRecord = 2;   // the record lines start two lines below their header

// The list index of the first line holding each header; -1 where there is none.
struct NfsHeaders {
    std::int64_t VertexCount = -1;
    std::int64_t TriangleCount = -1;
    std::int64_t VertexTable = -1;
    std::int64_t TriangleTable = -1;
    // The search stops here, which in a usual file is at the triangle table, before most lines.
    bool AllFound() const {
        return VertexCount >= 0 && TriangleCount >= 0 && VertexTable >= 0 && TriangleTable >= 0;
    }
};

NfsHeaders FindNfsHeaders(const TextLines& lines) {
    NfsHeaders h;
    for (int i = 0; i < lines.Count() && !h.AllFound(); ++i) {
        const std::string_view t = lines.At(i).Text;
        for (auto [slot, key] : {std::pair{&h.VertexCount, kNfsVertexCountKey},
                                 std::pair{&h.TriangleCount, kNfsTriangleCountKey},
                                 std::pair{&h.VertexTable, kNfsVertexTableKey},
                                 std::pair{&h.TriangleTable, kNfsTriangleTableKey}}) {
            if (*slot < 0 && HasKey(t, key)) {
                *slot = i;
            }
        }
    }
    return h;
}

// The header's list index; a missing header is a fault at the end of the file.
std::int64_t RequireHeader(const TextLines& lines, std::int64_t header, std::string_view key) {
    if (header < 0) {
        throw ReadError(lines.EndPosition(), "No \"" + std::string(key) + "\" line");
    }
    return header;
}

// The count on the line below its header, within 0 .. room.
int NfsCount(const TextLines& lines, std::int64_t header, std::string_view key, const char* what, int base,
             int capacity) {
    const TextLine& line = lines.At(RequireHeader(lines, header, key) + 1);
    const std::int64_t n = IntegerAfter(line, {});
    if (n < 0) {
        throw ReadError(line.Position);
    }
    if (n > capacity - base) {
        throw CapacityFault(line.Position, what, base, n, capacity);
    }
    return static_cast<int>(n);
}

// The list index of the first record line of a table of count records, every read line of
// which is checked to be there (the last record's lines past lastRead are not read).
std::int64_t NfsTable(const TextLines& lines, std::int64_t header, std::string_view key, int count,
                      int height, int lastRead) {
    if (count == 0) {
        return 0;
    }
    const std::int64_t first = RequireHeader(lines, header, key) + kNfsFirstRecord;
    lines.Require(first + static_cast<std::int64_t>(count - 1) * height + lastRead);
    return first;
}

void ReadNfsVertices(DecodeJob& job, const TextLines& lines, std::int64_t first, int count) {
    for (int v = 0; v < count; ++v) {
        const std::int64_t at = first + static_cast<std::int64_t>(v) * kNfsVertexLines;
        const TextLine& lx = lines.At(at);
        const TextLine& ly = lines.At(at + 1);
        const TextLine& lz = lines.At(at + 2);
        job.Model.Vert[job.VertBase + v] = {ToFloat(lx, NumberAfter(lx, "X:")),
                                            ToFloat(ly, NumberAfter(ly, "Y:")),
                                            ToFloat(lz, NumberAfter(lz, "Z:"))};
        ++job.Vertices;
    }
}

void ReadNfsTriangles(DecodeJob& job, const TextLines& lines, std::int64_t first, int count, int vertices) {
    static constexpr std::array<std::string_view, 3> kIndexKeys{"I1:", "I2:", "I3:"};
    static constexpr std::array<std::string_view, 3> kUKeys{"U1:", "U2:", "U3:"};
    static constexpr std::array<std::string_view, 3> kVKeys{"V1:", "V2:", "V3:"};
    for (int t = 0; t < count; ++t) {
        const std::int64_t at = first + static_cast<std::int64_t>(t) * kNfsTriangleLines;
        std::array<std::int32_t, 3> v{};
        std::array<float, 3> u{};
        std::array<float, 3> tv{};
        for (std::size_t k = 0; k < 3; ++k) {
            const auto row = static_cast<std::int64_t>(k);
            const TextLine& li = lines.At(at + row);
            const std::int64_t index = IntegerAfter(li, kIndexKeys[k]);
            if (index < 0 || index >= vertices) {
                throw ReadError(li.Position);
            }
            v[k] = job.VertBase + static_cast<std::int32_t>(index);
            const TextLine& lu = lines.At(at + 3 + row);
            u[k] = ToFloat(lu, NumberAfter(lu, kUKeys[k]));
            const TextLine& lv = lines.At(at + 6 + row);
            tv[k] = ToFloat(lv, NumberAfter(lv, kVKeys[k]));
        }
        WriteTriangle(job.Model, job.PolyBase + t, v, u, tv);
        ++job.Polygons;
    }
}

// ---- 3D Studio ASCII ----

enum class AscLine { Other, Object, Vertex, Face };

constexpr std::string_view kAscObjectKey = "Named object:";

std::string_view SkipBlanks(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) {
        t.remove_prefix(1);
    }
    return t;
}

// A row line starts with its word and a blank ("Vertex 12:"); the list header "Vertex list:"
// does not count.
bool IsRow(std::string_view t, std::string_view word) {
    return t.size() > word.size() && t.starts_with(word) &&
           (t[word.size()] == ' ' || t[word.size()] == '\t') &&
           !SkipBlanks(t.substr(word.size())).starts_with("list:");
}

AscLine Classify(std::string_view text) {
    const std::string_view t = SkipBlanks(text);
    if (t.starts_with(kAscObjectKey)) {
        return AscLine::Object;
    }
    if (IsRow(t, "Vertex")) {
        return AscLine::Vertex;
    }
    if (IsRow(t, "Face")) {
        return AscLine::Face;
    }
    return AscLine::Other; // lists, materials, smoothing groups, lights, cameras
}

// The name in quotes after "Named object:" (the rest of the line when it has none).
std::string ObjectName(std::string_view text) {
    std::string_view t = SkipBlanks(text);
    t = SkipBlanks(t.substr(kAscObjectKey.size()));
    const std::size_t open = t.find('"');
    const std::size_t close = t.rfind('"');
    if (open != std::string_view::npos && close > open) {
        return std::string(t.substr(open + 1, close - open - 1));
    }
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) {
        t.remove_suffix(1);
    }
    return std::string(t);
}

class AscDecoder {
public:
    AscDecoder(DecodeJob& job, const TextLines& lines) : job_(job), lines_(lines), title_(FileTitle(job)) {}

    void Run() {
        CheckCapacities();
        for (const TextLine& line : lines_) {
            switch (Classify(line.Text)) {
            case AscLine::Object:
                CloseObject();
                OpenObject(line);
                break;
            case AscLine::Vertex:
                ReadVertex(line);
                break;
            case AscLine::Face:
                ReadFace(line);
                break;
            case AscLine::Other:
                break;
            }
        }
        CloseObject();
        if (!named_) {
            job_.Parts.clear(); // no objects: the shared open names the one part after the file
        }
    }

private:
    // Counts the rows first so that a file too large for the store writes none of them; the
    // fault names the first row that does not fit.
    void CheckCapacities() const {
        const int vertexRoom = model::kVertexCapacity - job_.VertBase;
        const int polygonRoom = model::kPolygonCapacity - job_.PolyBase;
        std::int64_t vertices = 0;
        std::int64_t faces = 0;
        std::uint64_t vertexOver = 0;
        std::uint64_t faceOver = 0;
        for (const TextLine& line : lines_) {
            const AscLine kind = Classify(line.Text);
            if (kind == AscLine::Vertex && ++vertices == vertexRoom + 1) {
                vertexOver = line.Position;
            } else if (kind == AscLine::Face && ++faces == polygonRoom + 1) {
                faceOver = line.Position;
            }
        }
        if (vertexOver != 0) {
            throw CapacityFault(vertexOver, "vertices", job_.VertBase, vertices, model::kVertexCapacity);
        }
        if (faceOver != 0) {
            throw CapacityFault(faceOver, "polygons", job_.PolyBase, faces, model::kPolygonCapacity);
        }
    }

    void OpenObject(const TextLine& line) {
        named_ = true;
        name_ = ObjectName(line.Text);
        if (name_.empty()) {
            name_ = title_;
        }
        objectAt_ = line.Position;
        firstVertex_ = job_.Vertices;
        firstPolygon_ = job_.Polygons;
    }

    // An object with faces becomes a part; lights, cameras and empty meshes do not.
    void CloseObject() {
        const int count = job_.Polygons - firstPolygon_;
        if (count == 0) {
            return;
        }
        if (static_cast<int>(job_.Parts.size()) >= model::kMaxParts) {
            throw ReadError(objectAt_, "Too many objects for the model (at most " +
                                           std::to_string(model::kMaxParts) + ")");
        }
        job_.Parts.push_back({name_, firstPolygon_, count});
    }

    void ReadVertex(const TextLine& line) {
        const float x = ToFloat(line, NumberBetween(line, "X:", "Y:"));
        const float z = ToFloat(line, NumberBetween(line, "Y:", "Z:"));
        const float y = ToFloat(line, NumberAfter(line, "Z:"));
        job_.Model.Vert[job_.VertBase + job_.Vertices] = {x, y, z};
        ++job_.Vertices;
    }

    void ReadFace(const TextLine& line) {
        const std::array<std::int32_t, 3> v{Corner(line, IntegerBetween(line, "A:", "B:")),
                                            Corner(line, IntegerBetween(line, "B:", "C:")),
                                            Corner(line, IntegerBetween(line, "C:", "AB:"))};
        WriteTriangle(job_.Model, job_.PolyBase + job_.Polygons, v, {}, {});
        ++job_.Polygons;
    }

    // The store index of the object's vertex n; n must be a vertex of this object read so far.
    std::int32_t Corner(const TextLine& line, std::int64_t n) const {
        if (n < 0 || n >= job_.Vertices - firstVertex_) {
            throw ReadError(line.Position);
        }
        return job_.VertBase + firstVertex_ + static_cast<std::int32_t>(n);
    }

    DecodeJob& job_;
    const TextLines& lines_;
    std::string title_;
    bool named_ = false;
    std::string name_ = title_; // rows before the first named object form an object of their own
    std::uint64_t objectAt_ = 1;
    int firstVertex_ = 0;
    int firstPolygon_ = 0;
};

} // namespace

void DecodeNfsText(DecodeJob& job) {
    const TextLines lines(job.Bytes);
    const NfsHeaders h = FindNfsHeaders(lines);
    const int nv =
        NfsCount(lines, h.VertexCount, kNfsVertexCountKey, "vertices", job.VertBase, model::kVertexCapacity);
    const int nt = NfsCount(lines, h.TriangleCount, kNfsTriangleCountKey, "polygons", job.PolyBase,
                            model::kPolygonCapacity);
    const std::int64_t vertexTable =
        NfsTable(lines, h.VertexTable, kNfsVertexTableKey, nv, kNfsVertexLines, 2);
    const std::int64_t triangleTable =
        NfsTable(lines, h.TriangleTable, kNfsTriangleTableKey, nt, kNfsTriangleLines, kNfsTriangleLines - 1);
    ReadNfsVertices(job, lines, vertexTable, nv);
    ReadNfsTriangles(job, lines, triangleTable, nt, nv);
    // The file's name as the one texture, within what a VRL name field holds so it can be saved.
    job.TextureNames = {FileTitle(job).substr(0, kVrlNameSize)};
}

bool SniffNfsText(std::span<const std::uint8_t> head) {
    return HasKey({reinterpret_cast<const char*>(head.data()), head.size()}, kNfsVertexCountKey);
}

void DecodeAsc(DecodeJob& job) {
    const TextLines lines(job.Bytes);
    AscDecoder(job, lines).Run();
}

} // namespace zv::formats
