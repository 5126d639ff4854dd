#include "formats/BinFormat.h"

#include "config/ConfigFormat.h"
#include "edit/Parts.h"
#include "formats/ByteReader.h"
#include "formats/ByteWriter.h"
#include "formats/FileBytes.h"
#include "model/FileLookup.h"
#include "model/FileReplace.h"
#include "model/Columns.h"
#include "model/ModelInfo.h"
#include "model/Normals.h"
#include "model/Numbers.h"
#include "model/Paths.h"
#include "workspace/Commands.h"
#include "workspace/ModelLifecycle.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>
#include <unistd.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zv::formats {
namespace {

using model::ModelStore;

// File layout. The file is a stream of tagged records; only the vertex count has a fixed place.
constexpr std::int32_t kFileTag = 20;
constexpr std::int32_t kHeaderWord1 = 65536;
constexpr std::int32_t kHeaderWord2 = 2;
constexpr std::size_t kHeaderSkip = 12; // the three header words the reader ignores
constexpr std::int32_t kSectionTag = 13;
constexpr std::int32_t kEndTag = 0;
constexpr std::int32_t kVertexNormalTag = 3;
constexpr std::size_t kNameFieldSize = 16;
constexpr std::size_t kMaxNameLength = kNameFieldSize - 5; // room for ".RAW" and a zero byte
constexpr std::int32_t kVertexNormalType = 41;             // a polygon type that needs vertex normals

// Fixed-point scales.
constexpr double kOpenCoordDivisor = 256;
constexpr double kOpenCoordFactor = 0.3048;
constexpr double kMergeCoordDivisor = 1024;
constexpr double kWriteCoordFactor = 1024;
constexpr double kNormalScale = 65536;
constexpr double kUvScale = 65536.0 * 256.0;

constexpr const char* kReadErrorTitle = "  bin_open ERROR";
constexpr const char* kSaveErrorTitle = "  Bin Save Error";

enum class Mode { Open, Merge };

std::string FilePosText(std::uint64_t position) {
    return "Error at Filepos. " + model::HexUpper(position);
}

void Warn(Workspace& ws, const std::string& title, const std::string& text) {
    ws.Ui.ShowMessage(title, text, model::MessageIcon::Warning, model::MessageButtons::Ok);
}

// Decodes one BIN image into the store at the current bases. Vertices and polygons are written
// into the slots above the counts and counted only once complete, so after a fault the counts
// describe a consistent model: every counted corner names a counted vertex.
class BinDecoder {
public:
    BinDecoder(std::span<const std::uint8_t> bytes, Mode mode, ModelStore& m)
        : r_(bytes), mode_(mode), m_(m), vertBase_(mode == Mode::Merge ? m.VertCount : 0),
          polyBase_(mode == Mode::Merge ? m.PolyCount : 0), texBase_(mode == Mode::Merge ? m.TexCount : 0) {
        for (int t = 0; t < texBase_; ++t) {
            texIndex_.try_emplace(m.TexName[t], t); // the first of equal names wins
        }
    }

    // Throws ReadError with the 1-based position of the faulty element.
    void Decode() {
        if (r_.I32() != kFileTag) {
            throw ReadError(1);
        }
        r_.Skip(kHeaderSkip);
        const std::uint64_t at = r_.Position();
        const std::int32_t nv = r_.I32();
        if (nv < 0 || nv > model::kVertexCapacity - vertBase_) {
            const bool full = vertBase_ > 0 && nv >= 0 && nv <= model::kVertexCapacity;
            throw ReadError(at,
                            full ? CapacityDetail("vertices", vertBase_, nv, model::kVertexCapacity) : "");
        }
        nv_ = nv;
        ReadVertices();
        std::int32_t tag = FirstSectionTag();
        while (tag == kSectionTag) {
            ReadSectionHeader();
            tag = ReadPolygons();
        }
    }

    // Complete vertices and polygons read so far.
    int Vertices() const { return vertices_; }
    int Polygons() const { return polygons_; }

    // The names first met in this file, in the order they take in the model's texture names.
    const std::vector<std::string>& NewNames() const { return newNames_; }

private:
    float Coordinate(std::int32_t v) const {
        const double x =
            mode_ == Mode::Open ? v / kOpenCoordDivisor * kOpenCoordFactor : v / kMergeCoordDivisor;
        return static_cast<float>(x);
    }
    float Normal(std::int32_t v) const {
        return static_cast<float>(mode_ == Mode::Open ? v / -kNormalScale : v / kNormalScale);
    }
    static float TexCoord(std::int32_t v) { return static_cast<float>(v / kUvScale); }

    void ReadVertices() {
        for (int i = 0; i < nv_; ++i) {
            const float x = Coordinate(r_.I32());
            const float y = Coordinate(r_.I32());
            const float z = Coordinate(r_.I32());
            m_.Vert[vertBase_ + i] = {x, y, z};
            ++vertices_;
        }
    }

    // The tag after the vertices: 0 ends a file without polygons, 13 starts the first section,
    // anything else starts a vertex-normal record, which must be followed by one of the two.
    std::int32_t FirstSectionTag() {
        std::int32_t tag = r_.I32();
        if (tag == kSectionTag || tag == kEndTag) {
            return tag;
        }
        r_.Skip(8);
        r_.Require(static_cast<std::size_t>(nv_) * 3, 4);
        r_.Skip(static_cast<std::size_t>(nv_) * 12);
        const std::uint64_t at = r_.Position();
        tag = r_.I32();
        if (tag != kSectionTag && tag != kEndTag) {
            throw ReadError(at);
        }
        return tag;
    }

    void ReadSectionHeader() {
        r_.Skip(4);
        const std::uint64_t at = r_.Position();
        r_.Require(1, kNameFieldSize);
        std::string name;
        for (const std::uint8_t b : r_.Bytes(kNameFieldSize)) {
            if (b == 0) {
                break;
            }
            if (b >= 32 && b <= 127) {
                name.push_back(static_cast<char>(b));
            }
        }
        name.erase(std::min(name.find('.'), name.size())); // the extension is not kept
        const auto [it, added] = texIndex_.try_emplace(name, texBase_ + static_cast<int>(newNames_.size()));
        if (added) {
            if (it->second >= model::kTextureCapacity) {
                texIndex_.erase(it);
                throw ReadError(at, texBase_ > 0
                                        ? CapacityDetail("textures", texBase_,
                                                         static_cast<std::int64_t>(newNames_.size()) + 1,
                                                         model::kTextureCapacity)
                                        : "");
            }
            newNames_.push_back(name);
        }
        sectionTex_ = it->second;
    }

    // Polygons up to the next section or the end; returns the tag that ended them.
    std::int32_t ReadPolygons() {
        for (;;) {
            const std::uint64_t at = r_.Position();
            const std::int32_t tag = r_.I32();
            if (tag == kSectionTag || tag == kEndTag) {
                return tag;
            }
            ReadPolygon(at, tag);
        }
    }

    void ReadPolygon(std::uint64_t at, std::int32_t type) {
        const int q = polyBase_ + polygons_;
        if (q >= model::kPolygonCapacity) {
            throw ReadError(at, polyBase_ > 0 ? CapacityDetail("polygons", polyBase_, polygons_ + 1,
                                                               model::kPolygonCapacity)
                                              : "");
        }
        const std::uint64_t countAt = r_.Position();
        const std::int32_t n = r_.I32();
        if (n < 3 || n > model::kMaxCorners) {
            throw ReadError(countAt);
        }
        m_.PolyNX[q] = Normal(r_.I32());
        m_.PolyNY[q] = Normal(r_.I32());
        m_.PolyNZ[q] = Normal(r_.I32());
        r_.Skip(4);
        for (int k = 0; k < n; ++k) {
            const std::uint64_t vertexAt = r_.Position();
            const std::int32_t v = r_.I32();
            if (v < 0 || v >= nv_) {
                throw ReadError(vertexAt);
            }
            m_.PolyVert(q, k) = v + vertBase_;
            m_.PolyTU(q, k) = TexCoord(r_.I32());
            m_.PolyTV(q, k) = TexCoord(r_.I32());
        }
        m_.PolyType[q] = type;
        m_.PolyVCount[q] = n;
        m_.PolyTex[q] = sectionTex_;
        m_.PolyFlag[q] = 1;
        m_.PolyR[q] = m_.PolyG[q] = m_.PolyB[q] = m_.PolyA[q] = 0; // the format has no colours
        m_.PolySelEdge[q] = -1;
        ++polygons_;
    }

    ByteReader r_;
    Mode mode_;
    ModelStore& m_;
    int vertBase_;
    int polyBase_;
    int texBase_;
    int nv_ = 0;
    int vertices_ = 0;
    int polygons_ = 0;
    int sectionTex_ = 0;
    std::unordered_map<std::string, int> texIndex_;
    std::vector<std::string> newNames_;
};

// Missing-file handling shared by open and merge; true when the file is there.
bool FileIsThere(Workspace& ws, const std::string& path) {
    if (IsFile(path)) {
        return true;
    }
    Warn(ws, "Bin-File not found", model::UpperAscii(path));
    return false;
}

// What one decoding of a file gave.
struct Decoded {
    int Vertices = 0;
    int Polygons = 0;
    std::vector<std::string> NewNames;
    std::optional<std::uint64_t> Fault;
    std::string Detail; // the second line of a merge that would exceed a capacity
};

Decoded DecodeFile(ModelStore& m, const std::string& path, Mode mode) {
    const auto bytes = ReadFileBytes(path, kMaxModelFileBytes);
    if (!bytes) {
        return {0, 0, {}, 1, {}};
    }
    BinDecoder d(*bytes, mode, m);
    std::optional<std::uint64_t> fault;
    std::string detail;
    try {
        d.Decode();
    } catch (const ReadError& e) {
        fault = e.Position();
        detail = e.Detail();
    }
    if (!fault && bytes->Changed()) {
        fault = 1; // cut short by another program while it was read
    }
    return {d.Vertices(), d.Polygons(), d.NewNames(), fault, detail};
}

void AppendNames(ModelStore& m, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        m.TexName[m.TexCount] = name;
        ++m.TexCount;
    }
}

// ---- Part list ------------------------------------------------------------------------------

struct ListedPart {
    std::string Text;
    std::vector<std::int32_t> Members;
};

bool IsWritableFolder(const std::string& dir) {
    std::error_code ec;
    return std::filesystem::is_directory(dir, ec) && ::access(dir.c_str(), W_OK) == 0;
}

// The part list lives in the MTM2 model folder; without a usable one, beside the BIN file.
std::string PartListPath(const Workspace& ws, const std::string& binPath, const std::string& listName) {
    const std::string& modelDir = ws.Settings.Mtm2ModelPath;
    const std::string folder =
        !modelDir.empty() && IsWritableFolder(modelDir) ? modelDir : model::FolderOf(binPath);
    if (folder.empty()) {
        return listName;
    }
    const char last = folder.back();
    return last == '/' || last == '\\' ? folder + listName : folder + "/" + listName;
}

std::vector<std::string> SplitLines(std::span<const std::uint8_t> bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (const std::uint8_t b : bytes) {
        if (b == '\n') {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            lines.push_back(std::move(line));
            line.clear();
        } else {
            line.push_back(static_cast<char>(b));
        }
    }
    if (!line.empty()) {
        lines.push_back(std::move(line));
    }
    return lines;
}

// A whole number on a line of its own; nullopt for a line without one.
std::optional<std::int64_t> WholeNumber(const std::string& line) {
    if (line.find_first_of("0123456789") == std::string::npos) {
        return std::nullopt;
    }
    const double v = config::ReadNumber(line);
    if (v != std::floor(v) || std::fabs(v) > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(v);
}

// The parts of a list up to its first malformed entry: a missing line, a count that is not a
// whole number, a negative part count or a member count outside 0 .. 1280. Member indices
// outside the polygons are dropped from their part. The second list at the end carries
// nothing the model holds, so it is not read.
std::vector<ListedPart> ParsePartList(const std::vector<std::string>& lines, int polyCount) {
    std::vector<ListedPart> parts;
    std::size_t next = 0;
    const auto number = [&]() -> std::optional<std::int64_t> {
        return next < lines.size() ? WholeNumber(lines[next++]) : std::nullopt;
    };
    const auto count = number();
    if (!count || *count < 0) {
        return parts;
    }
    const std::int64_t wanted = std::min<std::int64_t>(*count, model::kMaxParts);
    for (std::int64_t g = 0; g < wanted; ++g) {
        if (next >= lines.size()) {
            break;
        }
        ListedPart part{lines[next++], {}};
        const auto size = number();
        if (!size || *size < 0 || *size > model::kMaxPartMembers) {
            break;
        }
        bool complete = true;
        for (std::int64_t j = 0; j < *size && complete; ++j) {
            const auto member = number();
            complete = member.has_value();
            if (complete && *member >= 0 && *member < polyCount) {
                part.Members.push_back(static_cast<std::int32_t>(*member));
            }
        }
        if (!complete) {
            break;
        }
        parts.push_back(std::move(part));
    }
    return parts;
}

void AddListedParts(Workspace& ws, const std::vector<ListedPart>& parts) {
    ModelStore& m = ws.Model;
    for (const ListedPart& part : parts) {
        const int g = m.PartCount() + 1;
        if (g > model::kMaxParts) {
            break;
        }
        m.GroupName[g] = part.Text.substr(0, part.Text.find(' '));
        m.GroupSize[g] = static_cast<std::int32_t>(part.Members.size());
        for (std::size_t j = 0; j < part.Members.size(); ++j) {
            m.GroupPoly(g, static_cast<int>(j) + 1) = part.Members[j];
        }
        m.PartNodes.push_back({part.Text, true});
    }
    ws.Ui.PartTreeChanged();
    ws.Ui.SetPartsCaption("Groups: " + std::to_string(m.PartCount()));
}

void ReadPartList(Workspace& ws, const std::string& binPath) {
    const auto found = model::FindFileNoCase(PartListPath(ws, binPath, ws.Model.ModelFileName + ".info"));
    if (!found) {
        return;
    }
    const auto bytes = ReadFileBytes(*found, kMaxModelFileBytes);
    if (!bytes) {
        return;
    }
    const auto parts = ParsePartList(SplitLines(*bytes), ws.Model.PolyCount);
    if (!parts.empty() && !bytes->Changed()) {
        AddListedParts(ws, parts);
    }
}

std::string PartListText(const ModelStore& m) {
    std::string text;
    const auto line = [&text](const std::string& s) { text += s + "\r\n"; };
    line(config::NumberLine(std::int64_t{m.PartCount()}));
    for (int g = 1; g <= m.PartCount(); ++g) {
        std::string name = m.PartNodes[static_cast<std::size_t>(g - 1)].Text;
        for (char& c : name) {
            if (c == '\r' || c == '\n') {
                c = ' '; // a line break would split the entry
            }
        }
        line(name);
        line(config::NumberLine(std::int64_t{m.GroupSize[g]}));
        for (int j = 1; j <= m.GroupSize[g]; ++j) {
            line(config::NumberLine(std::int64_t{m.GroupPoly(g, j)}));
        }
    }
    line(config::NumberLine(std::int64_t{0}));
    return text;
}

// Writes the part list of the model, or removes a stale one when the model has no parts, so
// that the next open does not attach parts of an older model. False after a failed write.
bool WritePartList(Workspace& ws, const std::string& binPath, const std::string& base) {
    const std::string listPath = PartListPath(ws, binPath, base + ".bin.info");
    if (ws.Model.PartCount() == 0) {
        // The reader finds the list whatever the case of its name, so every variant goes.
        while (const auto stale = model::FindFileNoCase(listPath)) {
            std::error_code ec;
            if (!std::filesystem::remove(*stale, ec)) {
                break;
            }
        }
        return true;
    }
    if (const auto fault = model::ReplaceFile(listPath, PartListText(ws.Model))) {
        Warn(ws, kSaveErrorTitle, "Can't write " + listPath + "\r" + FilePosText(*fault));
        return false;
    }
    return true;
}

// ---- Writing --------------------------------------------------------------------------------

// True when the nearest whole number of x (ties to even) fits an int32; false for NaN.
bool FitsInt32(double x) {
    return x >= -2147483648.5 && x < 2147483647.5;
}

int WrittenCorners(const ModelStore& m, int p) {
    return std::min(m.PolyVCount[p], 4);
}

std::string PolygonText(int p) {
    return "Polygon " + std::to_string(p);
}

// Why polygon p cannot be written, or nullopt when it can.
std::optional<std::string> WhyNotStorable(const ModelStore& m, int p) {
    const int n = m.PolyVCount[p];
    bool cornersValid = n >= 3 && n <= model::kMaxCorners;
    for (int k = 0; cornersValid && k < n; ++k) {
        cornersValid = m.PolyVert(p, k) >= 0 && m.PolyVert(p, k) < m.VertCount;
    }
    if (!cornersValid) {
        return PolygonText(p) + " has a corner without a vertex";
    }
    const std::int32_t type = m.PolyType[p];
    if (type == kEndTag || type == kSectionTag) {
        return PolygonText(p) + " has surface type " + std::to_string(type) +
               ", which a BIN file cannot store";
    }
    const std::int32_t t = m.PolyTex[p];
    if (t < 0 || t >= m.TexCount) {
        return PolygonText(p) + " uses texture " + std::to_string(t) + ", which does not exist";
    }
    if (m.TexName[t].size() > kMaxNameLength) {
        return "Texture name too long for a BIN file: " + m.TexName[t];
    }
    for (int k = 0; k < WrittenCorners(m, p); ++k) {
        if (!FitsInt32(m.PolyTU(p, k) * kUvScale) || !FitsInt32(m.PolyTV(p, k) * kUvScale)) {
            return PolygonText(p) + " has a texture coordinate too large for a BIN file";
        }
    }
    return std::nullopt;
}

// Why the model cannot be written as BIN, or nullopt when it can.
std::optional<std::string> WhyNotStorable(const ModelStore& m) {
    for (int v = 0; v < m.VertCount; ++v) {
        const model::VertRec& r = m.Vert[v];
        if (!FitsInt32(r.X * kWriteCoordFactor) || !FitsInt32(r.Y * kWriteCoordFactor) ||
            !FitsInt32(r.Z * kWriteCoordFactor)) {
            return "Vertex " + std::to_string(v) + " lies too far out for a BIN file";
        }
    }
    for (int p = 0; p < m.PolyCount; ++p) {
        if (auto why = WhyNotStorable(m, p)) {
            return why;
        }
    }
    return std::nullopt;
}

// Cuts polygons of more than 4 corners to their first 4, as the file stores them. Returns the
// old corner counts so that a failed save can give them back.
std::vector<std::pair<int, int>> CutToQuads(ModelStore& m) {
    std::vector<std::pair<int, int>> cut;
    for (int p = 0; p < m.PolyCount; ++p) {
        if (m.PolyVCount[p] > 4) {
            cut.emplace_back(p, m.PolyVCount[p]);
            m.PolyVCount[p] = 4;
            if (m.PolySelEdge[p] >= 4) {
                m.PolySelEdge[p] = -1;
            }
            if (p == m.CurPoly) {
                m.CurCorner = m.CurCorner >= 4 ? -1 : m.CurCorner;
                m.CurEdge = m.CurEdge >= 4 ? -1 : m.CurEdge;
            }
        }
    }
    return cut;
}

void RestoreCornerCounts(ModelStore& m, const std::vector<std::pair<int, int>>& cut) {
    for (const auto& [p, n] : cut) {
        m.PolyVCount[p] = n;
    }
}

// Polygon normals always; vertex normals when a polygon type needs them. True in that case.
bool ComputeNormals(ModelStore& m) {
    bool vertexNormals = false;
    for (int p = 0; p < m.PolyCount; ++p) {
        model::CalcPolyNormal(m, p);
        vertexNormals = vertexNormals || m.PolyType[p] == kVertexNormalType;
    }
    if (vertexNormals) {
        model::CalcVertexNormals(m);
    }
    return vertexNormals;
}

// Nearest whole number of x * scale, ties to even, for values checked to fit an int32. Adding
// and taking away 1.5 * 2^52 rounds in the default rounding mode without a library call, which
// matters at several values per corner.
std::int32_t Fixed(double x, double scale) {
    constexpr double kRounder = 0x1.8p52;
    return static_cast<std::int32_t>((x * scale + kRounder) - kRounder);
}

void WriteNameField(ByteWriter& w, const std::string& name) {
    const std::string field = name + ".RAW";
    for (const char c : field) {
        w.U8(static_cast<std::uint8_t>(c));
    }
    w.Zeros(kNameFieldSize - field.size());
}

bool SameTextureName(const ModelStore& m, int p, int q) {
    return m.PolyTex[p] == m.PolyTex[q] || m.TexName[m.PolyTex[p]] == m.TexName[m.PolyTex[q]];
}

// Values go through a small buffer of int32 and into the writer a record at a time.
class RecordBuffer {
public:
    RecordBuffer& operator<<(std::int32_t v) {
        values_[size_++] = v;
        return *this;
    }
    void FlushTo(ByteWriter& w) {
        w.Bytes({reinterpret_cast<const std::uint8_t*>(values_.data()), size_ * sizeof(std::int32_t)});
        size_ = 0;
    }

private:
    std::array<std::int32_t, 6 + 3 * model::kMaxCorners> values_{};
    std::size_t size_ = 0;
};

ByteWriter BuildBin(const ModelStore& m, bool vertexNormals) {
    const auto nv = static_cast<std::size_t>(m.VertCount);
    const auto np = static_cast<std::size_t>(m.PolyCount);
    ByteWriter w;
    w.Reserve(24 + nv * 24 + 12 + np * (24 + 24 + 48));
    w.I32(kFileTag);
    w.I32(kHeaderWord1);
    w.I32(kHeaderWord2);
    w.I32(0);
    w.I32(m.VertCount);
    RecordBuffer r;
    for (int v = 0; v < m.VertCount; ++v) {
        const model::VertRec& p = m.Vert[v];
        r << Fixed(p.X, kWriteCoordFactor) << Fixed(p.Y, kWriteCoordFactor) << Fixed(p.Z, kWriteCoordFactor);
        r.FlushTo(w);
    }
    if (vertexNormals) {
        r << kVertexNormalTag << 0 << m.VertCount;
        r.FlushTo(w);
        for (int v = 0; v < m.VertCount; ++v) {
            r << Fixed(-m.NrmX[v], kNormalScale) << Fixed(-m.NrmY[v], kNormalScale)
              << Fixed(-m.NrmZ[v], kNormalScale);
            r.FlushTo(w);
        }
    }
    for (int p = 0; p < m.PolyCount; ++p) {
        if (p == 0 || !SameTextureName(m, p, p - 1)) {
            r << kSectionTag << 0;
            r.FlushTo(w);
            WriteNameField(w, m.TexName[m.PolyTex[p]]);
        }
        const int n = m.PolyVCount[p];
        r << m.PolyType[p] << n << Fixed(-m.PolyNX[p], kNormalScale) << Fixed(-m.PolyNY[p], kNormalScale)
          << Fixed(-m.PolyNZ[p], kNormalScale) << 0;
        for (int k = 0; k < n; ++k) {
            r << m.PolyVert(p, k) << Fixed(m.PolyTU(p, k), kUvScale) << Fixed(m.PolyTV(p, k), kUvScale);
        }
        r.FlushTo(w);
    }
    r << kEndTag;
    r.FlushTo(w);
    return w;
}

// The model state after an open, also after a failed one: parts cleared, everything shown.
void FinishBinOpen(Workspace& ws, const std::string& path, bool readPartList) {
    ModelStore& m = ws.Model;
    edit::ClearParts(m, ws.Ui);
    model::DeselectAll(m);
    model::ShowVertices(m, -1, model::UsedVertices(m));
    m.ModelDir = model::FolderOf(path);
    m.ModelFileName = model::FileNameOf(path);
    LoadModelTextures(ws, 0, TextureFiles::Raw);
    model::UpdateTitleLine(m, ws.Ui);
    if (readPartList) {
        ReadPartList(ws, path);
    }
}

} // namespace

bool OpenBin(Workspace& ws, const std::string& path) {
    if (path.size() < 5 || !FileIsThere(ws, path)) {
        return false;
    }
    ModelStore& m = ws.Model;
    BeginOpen(ws);
    ws.Ui.ShowProgress("Loading Model: " + path);
    Decoded d;
    {
        model::BusyPointer busy(ws.Ui);
        d = DecodeFile(m, path, Mode::Open);
        m.VertCount = d.Vertices;
        m.PolyCount = d.Polygons;
        AppendNames(m, d.NewNames);
        FinishBinOpen(ws, path, !d.Fault);
    }
    if (d.Fault) {
        Warn(ws, kReadErrorTitle, FilePosText(*d.Fault));
        return false;
    }
    return true;
}

bool MergeBin(Workspace& ws, const std::string& path) {
    ModelStore& m = ws.Model;
    if (!m.HasModel() || path.size() < 5 || !FileIsThere(ws, path)) {
        return false;
    }
    BeginMerge(ws);
    ws.Ui.ShowProgress("Merging Model: " + path);
    Decoded d;
    {
        model::BusyPointer busy(ws.Ui);
        d = DecodeFile(m, path, Mode::Merge);
        if (!d.Fault) {
            AppendNames(m, d.NewNames);
            m.VertCount += d.Vertices;
            m.PolyCount += d.Polygons;
            for (int v = m.MergeVertBase; v < m.VertCount; ++v) {
                m.VertFlag[v] = static_cast<std::uint8_t>(m.VertFlag[v] | 1);
                m.VertSel[v] = model::kTrue;
            }
            FinishMerge(ws, path, TextureFiles::Raw);
        }
    }
    if (d.Fault) {
        Warn(ws, kReadErrorTitle,
             FilePosText(*d.Fault) + (d.Detail.empty() ? std::string() : "\r" + d.Detail));
        return false;
    }
    return true;
}

// The part list is replaced before the model and put back when the model cannot be written, so
// a model never meets the part list of another one. The old list waits beside the new one.
class PartListExchange {
public:
    PartListExchange(Workspace& ws, const std::string& binPath, const std::string& base)
        : ws_(ws), binPath_(binPath), base_(base) {
        if (const auto found = model::FindFileNoCase(PartListPath(ws, binPath, base + ".bin.info"))) {
            old_ = *found;
            aside_ = *found + ".old";
            std::error_code ec;
            std::filesystem::rename(old_, aside_, ec);
            moved_ = !ec;
        }
    }
    // Writes the new list (or removes a stale one); a failure puts the old one back.
    bool Write() {
        written_ = WritePartList(ws_, binPath_, base_);
        if (!written_) {
            PutBack();
        }
        return written_;
    }
    // The model was written: the old list goes.
    void Keep() {
        if (moved_) {
            std::error_code ec;
            std::filesystem::remove(aside_, ec);
        }
    }
    // The model was not written: the new list goes and the old one returns.
    void PutBack() {
        std::error_code ec;
        if (written_) {
            std::filesystem::remove(PartListPath(ws_, binPath_, base_ + ".bin.info"), ec);
        }
        if (moved_) {
            std::filesystem::rename(aside_, old_, ec);
        }
    }

private:
    Workspace& ws_;
    std::string binPath_;
    std::string base_;
    std::string old_;
    std::string aside_;
    bool moved_ = false;
    bool written_ = false;
};

bool WriteBin(Workspace& ws, const std::string& path) {
    ModelStore& m = ws.Model;
    if (path.size() < 5 || !m.HasModel()) {
        return false;
    }
    const std::string fileName = model::FileNameOf(path);
    const std::string base = model::StripExtension(fileName);
    ws.Ui.ShowProgress("Saving Model " + fileName);
    std::optional<std::string> refusal;
    std::optional<std::uint64_t> fault;
    bool listWritten = false;
    {
        model::BusyPointer busy(ws.Ui);
        refusal = WhyNotStorable(m);
        std::optional<PartListExchange> list;
        if (!refusal) {
            list.emplace(ws, path, base);
            listWritten = list->Write();
        }
        if (!refusal && listWritten) {
            // Cutting polygons to quads changes the model: one step of the history.
            int first = -1, last = -1;
            for (int p = 0; p < m.PolyCount; ++p) {
                if (m.PolyVCount[p] > 4) {
                    first = first < 0 ? p : first;
                    last = p;
                }
            }
            RunStep(ws, "Save as MTM", [&](edit::Recorder& rec) {
                if (first >= 0) {
                    rec.Polygons(first, last + 1);
                }
                const auto cut = CutToQuads(m);
                const bool vertexNormals = ComputeNormals(m);
                fault = model::ReplaceFile(path, BuildBin(m, vertexNormals).View());
                if (fault) {
                    RestoreCornerCounts(m, cut);
                }
                return !fault && !cut.empty() ? edit::Change(edit::Change::Polygons) : edit::kNoChange;
            });
            if (fault) {
                list->PutBack();
            } else {
                list->Keep();
            }
        }
    }
    if (refusal) {
        Warn(ws, kSaveErrorTitle, *refusal);
        return false;
    }
    if (!listWritten) {
        return false; // WritePartList has said why
    }
    if (fault) {
        Warn(ws, kSaveErrorTitle, FilePosText(*fault));
        return false;
    }
    m.ModelFileName = base + ".bin";
    model::UpdateTitleLine(m, ws.Ui);
    return true;
}

} // namespace zv::formats
