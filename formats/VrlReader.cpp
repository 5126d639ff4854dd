#include "formats/VrlReader.h"

#include "formats/ByteReader.h"
#include "formats/FileBytes.h"
#include "formats/ModelFormat.h"
#include "model/Numbers.h"
#include "model/Paths.h"
#include "workspace/ModelLifecycle.h"

#include <array>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace zv::formats {
namespace {

using model::ModelStore;

enum class Mode { Open, Merge };

// How the bytes of a 12-byte texture name become the stored name.
enum class NameBytes { DropBlanks, KeepBlanks };

constexpr int kNoTexture = -1;

std::uint64_t FieldPosition(int headerOffset) {
    return static_cast<std::uint64_t>(headerOffset) + 1;
}

// Decodes one VRL image into the model store at the given bases. Everything read is checked
// before use; the counts of the store are changed only by the caller once all went well.
// A work array every element of which is written before it is read, so it is not cleared
// first (the corner arrays of the largest file are almost a megabyte).
template <class T> class WorkArray {
public:
    void Resize(std::size_t n) { cells_ = std::make_unique_for_overwrite<T[]>(n); }
    T& operator[](std::size_t i) { return cells_[i]; }
    const T& operator[](std::size_t i) const { return cells_[i]; }

private:
    std::unique_ptr<T[]> cells_;
};

class VrlDecoder {
public:
    VrlDecoder(std::span<const std::uint8_t> bytes, VrlVariant variant, Mode mode, ModelStore& m)
        : r_(bytes), layout_(LayoutOf(variant)), mode_(mode), variant_(variant), m_(m),
          vertBase_(mode == Mode::Merge ? m.VertCount : 0), polyBase_(mode == Mode::Merge ? m.PolyCount : 0) {
    }

    void Decode() {
        ReadHeader();
        ReadVertices();
        ReadCorners();
        ReadPolygons();
        ReadNames();
    }

    int VertexCount() const { return nv_; }
    int PolygonCount() const { return np_; }
    int NormalCount() const { return nn_; }
    const std::vector<std::string>& Names() const { return names_; }
    std::uint64_t NamePosition(int t) const {
        return static_cast<std::uint64_t>(nameOffset_) + static_cast<std::uint64_t>(t) * kVrlNameSize + 1;
    }

private:
    std::int32_t Field(int headerOffset) {
        r_.Seek(headerOffset, FieldPosition(headerOffset));
        return r_.I32();
    }

    // A count from the header, refused when negative or above the limit. A count the empty model
    // could take but the merge's base leaves no room for says so.
    int Count(int headerOffset, int limit, int base = 0, int capacity = 0, const char* what = nullptr) {
        const std::int32_t n = Field(headerOffset);
        if (n < 0 || n > limit) {
            const bool full = what != nullptr && base > 0 && n >= 0 && n <= capacity;
            throw ReadError(FieldPosition(headerOffset), full ? CapacityDetail(what, base, n, capacity) : "");
        }
        return n;
    }

    void ReadHeader() {
        const VrlHeaderLayout& L = layout_;
        const bool merge = mode_ == Mode::Merge;
        nv_ = Count(L.VertexCount, model::kVertexCapacity - vertBase_, vertBase_, model::kVertexCapacity,
                    "vertices");
        vertexOffset_ = Field(L.VertexOffset);
        nc_ = Count(L.CornerCount, kVrlMaxCorners);
        cornerVertexOffset_ = Field(L.CornerVertexOffset);
        cornerUOffset_ = Field(L.CornerUOffset);
        cornerVOffset_ = Field(L.CornerVOffset);
        if (variant_ == VrlVariant::Scgt) {
            nn_ = Field(L.NormalCount);
        }
        np_ = Count(L.PolygonCount, model::kPolygonCapacity - polyBase_, polyBase_, model::kPolygonCapacity,
                    "polygons");
        cornerCountOffset_ = Field(L.CornerCountOffset);
        firstCornerOffset_ = Field(L.FirstCornerOffset);
        colourOffset_ = Field(L.ColourOffset);
        typeOffset_ = Field(L.SurfaceTypeOffset);
        if (merge) {
            textureIndexOffset_ = Field(L.TextureIndexOffset);
        }
        nt_ = Count(L.TextureCount, kVrlMaxNames);
        nameOffset_ = Field(L.TextureNameOffset);
    }

    // Positions the reader at a block of count elements and checks that they all fit.
    void Block(std::int32_t offset, int headerOffset, int count, std::size_t elemSize) {
        r_.Seek(offset, FieldPosition(headerOffset));
        r_.Require(static_cast<std::size_t>(count), elemSize);
    }

    void ReadVertices() {
        Block(vertexOffset_, layout_.VertexOffset, nv_, kVrlVertexSize);
        for (int i = 0; i < nv_; ++i) {
            model::VertRec& v = m_.Vert[vertBase_ + i];
            v.X = r_.F32();
            v.Y = r_.F32();
            v.Z = r_.F32();
            r_.Skip(4);
        }
    }

    void ReadCorners() {
        const auto n = static_cast<std::size_t>(nc_);
        cornerVertex_.Resize(n);
        cornerU_.Resize(n);
        cornerV_.Resize(n);
        Block(cornerVertexOffset_, layout_.CornerVertexOffset, nc_, 4);
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint64_t at = r_.Position();
            const std::int32_t v = r_.I32();
            if (v < 0 || v >= nv_) {
                throw ReadError(at);
            }
            cornerVertex_[i] = v;
        }
        Block(cornerUOffset_, layout_.CornerUOffset, nc_, 4);
        for (std::size_t i = 0; i < n; ++i) {
            cornerU_[i] = r_.F32();
        }
        Block(cornerVOffset_, layout_.CornerVOffset, nc_, 4);
        for (std::size_t i = 0; i < n; ++i) {
            cornerV_[i] = r_.F32();
        }
    }

    void ReadPolygons() {
        first_.Resize(static_cast<std::size_t>(np_));
        Block(cornerCountOffset_, layout_.CornerCountOffset, np_, 4);
        for (int p = 0; p < np_; ++p) {
            const std::uint64_t at = r_.Position();
            const int corners = r_.I32() & 0xFF; // only the low byte counts
            if (corners < 3 || corners > model::kMaxCorners) {
                throw ReadError(at);
            }
            m_.PolyVCount[polyBase_ + p] = corners;
        }
        Block(firstCornerOffset_, layout_.FirstCornerOffset, np_, 4);
        for (int p = 0; p < np_; ++p) {
            const std::uint64_t at = r_.Position();
            const std::int64_t first = r_.I32();
            if (first < 0 || first + m_.PolyVCount[polyBase_ + p] > nc_) {
                throw ReadError(at);
            }
            first_[static_cast<std::size_t>(p)] = static_cast<int>(first);
        }
        Block(colourOffset_, layout_.ColourOffset, np_, 4);
        for (int p = 0; p < np_; ++p) {
            const int q = polyBase_ + p;
            m_.PolyB[q] = r_.U8();
            m_.PolyG[q] = r_.U8();
            m_.PolyR[q] = r_.U8();
            m_.PolyA[q] = r_.U8();
        }
        Block(typeOffset_, layout_.SurfaceTypeOffset, np_, 4);
        for (int p = 0; p < np_; ++p) {
            m_.PolyType[polyBase_ + p] = r_.I32();
        }
        // An open takes the texture indices straight after the surface types; a merge seeks
        // them at their own offset.
        if (mode_ == Mode::Merge) {
            Block(textureIndexOffset_, layout_.TextureIndexOffset, np_, 4);
        } else {
            r_.Require(static_cast<std::size_t>(np_), 4);
        }
        for (int p = 0; p < np_; ++p) {
            m_.PolyTex[polyBase_ + p] = r_.I32();
        }
        FillCorners();
    }

    // File corners are stored in reverse: model corner k is file entry first + n - 1 - k.
    void FillCorners() {
        for (int p = 0; p < np_; ++p) {
            const int q = polyBase_ + p;
            const int n = m_.PolyVCount[q];
            const auto last = static_cast<std::size_t>(first_[static_cast<std::size_t>(p)] + n - 1);
            for (int k = 0; k < n; ++k) {
                const std::size_t e = last - static_cast<std::size_t>(k);
                m_.PolyVert(q, k) = cornerVertex_[e] + vertBase_;
                m_.PolyTU(q, k) = cornerU_[e];
                m_.PolyTV(q, k) = cornerV_[e];
            }
            m_.PolyNX[q] = 0;
            m_.PolyNY[q] = 0;
            m_.PolyNZ[q] = 0;
        }
    }

    void ReadNames() {
        const NameBytes rule = mode_ == Mode::Merge && variant_ == VrlVariant::Scgt ? NameBytes::KeepBlanks
                                                                                    : NameBytes::DropBlanks;
        Block(nameOffset_, layout_.TextureNameOffset, nt_, kVrlNameSize);
        names_.clear();
        names_.reserve(static_cast<std::size_t>(nt_));
        for (int t = 0; t < nt_; ++t) {
            std::string name;
            for (const std::uint8_t b : r_.Bytes(kVrlNameSize)) {
                if (rule == NameBytes::KeepBlanks ? b != 0 : b > 32) {
                    name.push_back(static_cast<char>(b));
                }
            }
            names_.push_back(model::UpperAscii(name));
        }
    }

    ByteReader r_;
    const VrlHeaderLayout& layout_;
    Mode mode_;
    VrlVariant variant_;
    ModelStore& m_;
    int vertBase_;
    int polyBase_;

    int nv_ = 0, nc_ = 0, nn_ = 0, np_ = 0, nt_ = 0;
    std::int32_t vertexOffset_ = 0, cornerVertexOffset_ = 0, cornerUOffset_ = 0, cornerVOffset_ = 0;
    std::int32_t cornerCountOffset_ = 0, firstCornerOffset_ = 0, colourOffset_ = 0, typeOffset_ = 0;
    std::int32_t textureIndexOffset_ = 0, nameOffset_ = 0;

    WorkArray<int> cornerVertex_;
    WorkArray<float> cornerU_, cornerV_;
    WorkArray<int> first_;
    std::vector<std::string> names_;
};

std::string FilePosText(std::uint64_t position) {
    return "Error at Filepos. " + model::HexUpper(position);
}

// Missing-file handling shared by open and merge; true when the file is there.
bool FileIsThere(Workspace& ws, const std::string& path) {
    if (IsFile(path)) {
        return true;
    }
    ws.Ui.ShowMessage("Vrl-File not found", model::UpperAscii(path), model::MessageIcon::Warning,
                      model::MessageButtons::Ok);
    return false;
}

// Maps the file's texture names onto the model's, appending the new ones once. Throws when the
// names would not fit the table.
std::array<int, kVrlMaxNames> MergeTextureNames(ModelStore& m, const VrlDecoder& d) {
    std::array<int, kVrlMaxNames> map;
    map.fill(kNoTexture);
    std::unordered_map<std::string, int> known;
    for (int t = m.TexCount - 1; t >= 0; --t) {
        known[m.TexName[t]] = t; // the first of equal names wins
    }
    int count = m.TexCount;
    const auto& names = d.Names();
    std::vector<int> appended;
    for (std::size_t t = 0; t < names.size(); ++t) {
        const auto found = known.find(names[t]);
        if (found != known.end()) {
            map[t] = found->second;
            continue;
        }
        if (count >= model::kTextureCapacity) {
            // Every name the file would add, for the message.
            std::unordered_map<std::string, int> added(known.begin(), known.end());
            std::int64_t adding = static_cast<std::int64_t>(appended.size());
            for (std::size_t u = t; u < names.size(); ++u) {
                adding += added.emplace(names[u], 0).second ? 1 : 0;
            }
            throw ReadError(d.NamePosition(static_cast<int>(t)),
                            CapacityDetail("textures", m.TexCount, adding, model::kTextureCapacity));
        }
        known.emplace(names[t], count);
        map[t] = count++;
        appended.push_back(static_cast<int>(t));
    }
    for (const int t : appended) {
        m.TexName[map[static_cast<std::size_t>(t)]] = names[static_cast<std::size_t>(t)];
    }
    m.TexCount = static_cast<std::int16_t>(count);
    return map;
}

void RemapPolygonTextures(ModelStore& m, int first, int count, const std::array<int, kVrlMaxNames>& map) {
    for (int p = first; p < first + count; ++p) {
        const int t = m.PolyTex[p];
        if (t >= 0 && t < kVrlMaxNames && map[static_cast<std::size_t>(t)] != kNoTexture) {
            m.PolyTex[p] = map[static_cast<std::size_t>(t)];
        }
    }
}

// Reads and decodes the file with the busy pointer shown, then hands the decoder to commit.
// Returns the fault, if any.
template <class Commit>
std::optional<ReadError> DecodeFile(Workspace& ws, const std::string& path, VrlVariant variant, Mode mode,
                                    Commit commit) {
    model::BusyPointer busy(ws.Ui);
    try {
        const auto bytes = ReadFileBytes(path, kMaxModelFileBytes);
        if (!bytes) {
            throw ReadError(1);
        }
        VrlDecoder d(*bytes, variant, mode, ws.Model);
        d.Decode();
        if (bytes->Changed()) {
            throw ReadError(1); // cut short by another program while it was read
        }
        commit(d);
    } catch (const ReadError& e) {
        return e;
    }
    return std::nullopt;
}

void DecodeVrl(DecodeJob& job, VrlVariant variant) {
    VrlDecoder d(job.Bytes, variant, Mode::Open, job.Model);
    d.Decode();
    job.Vertices = d.VertexCount();
    job.Polygons = d.PolygonCount();
    if (variant == VrlVariant::Scgt) {
        job.Normals = d.NormalCount();
    }
    job.TextureNames = d.Names();
}

} // namespace

void DecodeScgtVrl(DecodeJob& job) {
    DecodeVrl(job, VrlVariant::Scgt);
}

void DecodeF1Vrl(DecodeJob& job) {
    DecodeVrl(job, VrlVariant::F1_2000);
}

bool OpenVrl(Workspace& ws, const std::string& path, VrlVariant variant) {
    return OpenModelFile(ws, *FindFormat(variant == VrlVariant::Scgt ? "scgt" : "f1"), path);
}

bool MergeVrl(Workspace& ws, const std::string& path, VrlVariant variant) {
    ModelStore& m = ws.Model;
    if (!m.HasModel() || path.size() < 5 || !FileIsThere(ws, path)) {
        return false;
    }
    BeginMerge(ws);
    const auto fault = DecodeFile(ws, path, variant, Mode::Merge, [&](const VrlDecoder& d) {
        const auto map = MergeTextureNames(m, d);
        RemapPolygonTextures(m, m.PolyCount, d.PolygonCount(), map);
        m.VertCount += d.VertexCount();
        m.PolyCount += d.PolygonCount();
        FinishMerge(ws, path);
    });
    if (fault) {
        const char* title = variant == VrlVariant::Scgt ? "  Vrl merge error" : "F1 2000 Vrl merge error";
        const std::string detail = fault->Detail().empty() ? std::string() : "\r" + fault->Detail();
        ws.Ui.ShowMessage(
            title, "Can't open" + model::FileNameOf(path) + "\r" + FilePosText(fault->Position()) + detail,
            model::MessageIcon::Warning, model::MessageButtons::Ok);
        return false;
    }
    return true;
}

} // namespace zv::formats
