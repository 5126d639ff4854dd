#include "formats/VrlWriter.h"

#include "edit/Parts.h"
#include "formats/ByteWriter.h"
#include "model/Columns.h"
#include "model/FileReplace.h"
#include "model/ModelInfo.h"
#include "model/Normals.h"
#include "model/Numbers.h"
#include "model/Paths.h"

#include <array>
#include <bit>
#include <cmath>
#include <set>
#include <unordered_map>

namespace zv::formats {
namespace {

using model::ModelStore;

constexpr int kF1MaxPolygons = 32767; // the game counts polygons in signed 16-bit counters

// What one write takes from the model, in file order.
struct VrlPlan {
    std::vector<int> NewVertex; // old vertex index -> new index, -1 when not written
    std::vector<int> Vertices;  // old indices of the written vertices
    std::vector<int> Polygons;  // old indices of the written polygons
    std::size_t Corners = 0;
    std::vector<int> TexNumber; // per written polygon
    std::vector<std::string> TexNames;
    std::vector<std::array<float, 3>> Normals;
    std::vector<int> NormalIndex;                 // per written polygon
    std::vector<int> FirstLink, LinkCount, Links; // per written vertex (SCGT)
};

std::string Refusal(const std::string& what, std::size_t count, std::size_t limit) {
    return "Too many " + what + " for a VRL file: " + std::to_string(count) + " (at most " +
           std::to_string(limit) + ", " + std::to_string(count - limit) + " too many)";
}

void SelectCornerVertices(ModelStore& m) {
    for (int p = 0; p < model::UsedPolygons(m); ++p) {
        if (m.PolySel[p] != model::kFalse) {
            model::ForEachCornerVertex(m, p, [&](std::int32_t v) { m.VertSel[v] = model::kTrue; });
        }
    }
}

void CollectGeometry(const ModelStore& m, VrlPlan& plan) {
    plan.NewVertex.assign(static_cast<std::size_t>(std::max(m.VertCount, 0)), -1);
    // Reserved whole: growing by doubling would copy and touch fresh pages again and again.
    plan.Vertices.reserve(static_cast<std::size_t>(model::UsedVertices(m)));
    plan.Polygons.reserve(static_cast<std::size_t>(model::UsedPolygons(m)));
    for (int v = 0; v < m.VertCount; ++v) {
        if (m.VertSel[v] != model::kFalse) {
            plan.NewVertex[static_cast<std::size_t>(v)] = static_cast<int>(plan.Vertices.size());
            plan.Vertices.push_back(v);
        }
    }
    for (int p = 0; p < m.PolyCount; ++p) {
        if (m.PolySel[p] != model::kFalse) {
            plan.Polygons.push_back(p);
            plan.Corners += static_cast<std::size_t>(m.PolyVCount[p]);
        }
    }
}

std::string TextureNameOf(const ModelStore& m, int p) {
    const int t = m.PolyTex[p];
    return t >= 0 && t < m.TexCount ? m.TexName[t] : std::string();
}

// Distinct texture indices numbered 0, 1, 2 ... in order of first use.
void NumberTextures(const ModelStore& m, VrlPlan& plan) {
    std::unordered_map<int, int> number;
    plan.TexNumber.reserve(plan.Polygons.size());
    for (const int p : plan.Polygons) {
        const auto [it, added] = number.try_emplace(m.PolyTex[p], static_cast<int>(plan.TexNames.size()));
        if (added) {
            plan.TexNames.push_back(TextureNameOf(m, p));
        }
        plan.TexNumber.push_back(it->second);
    }
}

std::optional<std::string> CheckLimits(const VrlPlan& plan, VrlVariant variant) {
    if (plan.Corners > static_cast<std::size_t>(kVrlMaxCorners)) {
        return Refusal("corners", plan.Corners, kVrlMaxCorners);
    }
    if (plan.TexNames.size() > static_cast<std::size_t>(kVrlMaxNames)) {
        return Refusal("textures", plan.TexNames.size(), kVrlMaxNames);
    }
    for (const std::string& name : plan.TexNames) {
        if (name.size() > static_cast<std::size_t>(kVrlNameSize)) {
            return "Texture name too long for a VRL file: " + name + " (" + std::to_string(name.size()) +
                   " characters, at most 12)";
        }
    }
    if (variant == VrlVariant::F1_2000 && plan.Polygons.size() > static_cast<std::size_t>(kF1MaxPolygons)) {
        return Refusal("polygons", plan.Polygons.size(), kF1MaxPolygons);
    }
    return std::nullopt;
}

// Key of a normal for finding exactly equal ones: -0 equals 0, as the comparison of values does.
struct NormalKey {
    std::array<std::uint32_t, 3> Bits;
    bool operator==(const NormalKey&) const = default;
};
struct NormalKeyHash {
    std::size_t operator()(const NormalKey& k) const {
        return (std::size_t{k.Bits[0]} * 0x9E3779B1u) ^ (std::size_t{k.Bits[1]} * 0x85EBCA77u) ^ k.Bits[2];
    }
};
NormalKey KeyOf(const std::array<float, 3>& n) {
    NormalKey k{};
    for (std::size_t i = 0; i < 3; ++i) {
        k.Bits[i] = n[i] == 0 ? 0u : std::bit_cast<std::uint32_t>(n[i]);
    }
    return k;
}

// SCGT: one rounded normal per polygon. F1 2000: unrounded, each distinct normal stored once.
void ComputeNormals(ModelStore& m, VrlPlan& plan, VrlVariant variant) {
    std::unordered_map<NormalKey, int, NormalKeyHash> seen;
    plan.NormalIndex.reserve(plan.Polygons.size());
    plan.Normals.reserve(variant == VrlVariant::Scgt ? plan.Polygons.size() : 0);
    for (const int p : plan.Polygons) {
        model::CalcPolyNormal(m, p);
        if (variant == VrlVariant::Scgt) {
            plan.NormalIndex.push_back(static_cast<int>(plan.Normals.size()));
            plan.Normals.push_back({m.NrmX[p], m.NrmY[p], m.NrmZ[p]});
            continue;
        }
        const std::array<float, 3> n{m.PolyNX[p], m.PolyNY[p], m.PolyNZ[p]};
        const bool comparable = !std::isnan(n[0]) && !std::isnan(n[1]) && !std::isnan(n[2]);
        const int next = static_cast<int>(plan.Normals.size());
        int index = next;
        if (comparable) {
            index = seen.try_emplace(KeyOf(n), next).first->second;
        }
        if (index == next) {
            plan.Normals.push_back(n);
        }
        plan.NormalIndex.push_back(index);
    }
    for (std::size_t i = 0; i < plan.Polygons.size(); ++i) {
        m.NrmIndex[plan.Polygons[i]] = plan.NormalIndex[i];
    }
    m.NrmCount = static_cast<std::int32_t>(plan.Normals.size());
}

// Per written vertex the normal indices of the polygons using it, polygons in file order; a
// polygon that uses a vertex twice is listed twice.
void BuildVertexLinks(const ModelStore& m, VrlPlan& plan) {
    const std::size_t nv = plan.Vertices.size();
    plan.LinkCount.assign(nv, 0);
    for (const int p : plan.Polygons) {
        for (int k = 0; k < m.PolyVCount[p]; ++k) {
            ++plan.LinkCount[static_cast<std::size_t>(
                plan.NewVertex[static_cast<std::size_t>(m.PolyVert(p, k))])];
        }
    }
    plan.FirstLink.assign(nv, 0);
    int total = 0;
    for (std::size_t v = 0; v < nv; ++v) {
        plan.FirstLink[v] = total;
        total += plan.LinkCount[v];
    }
    plan.Links.assign(static_cast<std::size_t>(total), 0);
    std::vector<int> fill = plan.FirstLink;
    for (std::size_t i = 0; i < plan.Polygons.size(); ++i) {
        const int p = plan.Polygons[i];
        for (int k = 0; k < m.PolyVCount[p]; ++k) {
            const auto v =
                static_cast<std::size_t>(plan.NewVertex[static_cast<std::size_t>(m.PolyVert(p, k))]);
            plan.Links[static_cast<std::size_t>(fill[v]++)] = plan.NormalIndex[i];
        }
    }
}

// Block offsets, laid out one after another from the end of the header.
class Layout {
public:
    explicit Layout(int header) : next_(header) {}
    std::int32_t Take(std::size_t bytes) {
        const int at = next_;
        next_ += static_cast<int>(bytes);
        return at;
    }

private:
    int next_;
};

void Put(ByteWriter& w, int headerOffset, std::int32_t value) {
    w.PatchI32(static_cast<std::size_t>(headerOffset), value);
}

void RepeatI32(ByteWriter& w, std::size_t count, std::int32_t value) {
    for (std::size_t i = 0; i < count; ++i) {
        w.I32(value);
    }
}

void RepeatBytes(ByteWriter& w, std::size_t count, std::array<std::uint8_t, 4> bytes) {
    for (std::size_t i = 0; i < count; ++i) {
        w.Bytes(bytes);
    }
}

void WriteVertices(ByteWriter& w, const ModelStore& m, const VrlPlan& plan) {
    for (const int v : plan.Vertices) {
        w.F32(m.Vert[v].X);
        w.F32(m.Vert[v].Y);
        w.F32(m.Vert[v].Z);
        w.I32(0);
    }
}

// The three corner blocks: corners of each polygon in reverse model order.
void WriteCorners(ByteWriter& w, const ModelStore& m, const VrlPlan& plan) {
    for (const int p : plan.Polygons) {
        for (int k = m.PolyVCount[p] - 1; k >= 0; --k) {
            w.I32(plan.NewVertex[static_cast<std::size_t>(m.PolyVert(p, k))]);
        }
    }
    for (const int p : plan.Polygons) {
        for (int k = m.PolyVCount[p] - 1; k >= 0; --k) {
            w.F32(m.PolyTU(p, k));
        }
    }
    for (const int p : plan.Polygons) {
        for (int k = m.PolyVCount[p] - 1; k >= 0; --k) {
            w.F32(m.PolyTV(p, k));
        }
    }
}

void WriteNormals(ByteWriter& w, const VrlPlan& plan) {
    for (const auto& n : plan.Normals) {
        w.F32(n[0]);
        w.F32(n[1]);
        w.F32(n[2]);
        w.I32(0);
    }
}

// Corner counts, first corners, normal indices, planes, zeros, colours, zeros, types, textures.
void WritePolygonBlocks(ByteWriter& w, const ModelStore& m, const VrlPlan& plan) {
    const std::size_t np = plan.Polygons.size();
    for (const int p : plan.Polygons) {
        w.I32(m.PolyVCount[p]);
    }
    std::int32_t first = 0;
    for (const int p : plan.Polygons) {
        w.I32(first);
        first += m.PolyVCount[p];
    }
    for (const int i : plan.NormalIndex) {
        w.I32(i);
    }
    for (const int p : plan.Polygons) {
        w.F32(m.PolyD[p]);
    }
    RepeatI32(w, np, 0);
    for (const int p : plan.Polygons) {
        w.Bytes(std::array<std::uint8_t, 4>{m.PolyB[p], m.PolyG[p], m.PolyR[p], m.PolyA[p]});
    }
    RepeatI32(w, np, 0);
    for (const int p : plan.Polygons) {
        w.I32(m.PolyType[p]);
    }
    for (const int t : plan.TexNumber) {
        w.I32(t);
    }
}

void WriteNames(ByteWriter& w, const VrlPlan& plan) {
    for (const std::string& name : plan.TexNames) {
        const std::string upper = model::UpperAscii(name);
        for (const char c : upper) {
            w.U8(static_cast<std::uint8_t>(c));
        }
        w.Zeros(static_cast<std::size_t>(kVrlNameSize) - upper.size());
    }
}

// Offsets of the nine per-polygon blocks, in header order, from one header field to the next.
void PlacePolygonBlocks(ByteWriter& w, Layout& at, int firstField, std::size_t np) {
    for (int i = 0; i < 9; ++i) {
        Put(w, firstField + 4 * i, at.Take(4 * np));
    }
}

void SerializeScgt(ByteWriter& w, const ModelStore& m, const VrlPlan& plan) {
    const std::size_t nv = plan.Vertices.size(), nc = plan.Corners, np = plan.Polygons.size();
    const std::size_t nn = plan.Normals.size(), nl = plan.Links.size();
    w.Reserve(172 + nv * 80 + nl * 4 + nc * 12 + nn * 16 + np * 36 + plan.TexNames.size() * 12);
    w.Zeros(172);
    Layout at(172);
    Put(w, 60, static_cast<std::int32_t>(nv));
    Put(w, 64, at.Take(16 * nv));
    Put(w, 68, at.Take(32 * nv));
    for (const int field : {72, 76, 80, 84, 88}) {
        Put(w, field, at.Take(4 * nv));
    }
    Put(w, 92, at.Take(4 * nl));
    Put(w, 96, static_cast<std::int32_t>(nc));
    for (const int field : {100, 104, 108}) {
        Put(w, field, at.Take(4 * nc));
    }
    Put(w, 112, static_cast<std::int32_t>(nn));
    Put(w, 116, at.Take(16 * nn));
    Put(w, 120, static_cast<std::int32_t>(np));
    PlacePolygonBlocks(w, at, 124, np);
    Put(w, 160, static_cast<std::int32_t>(plan.TexNames.size()));
    Put(w, 164, at.Take(12 * plan.TexNames.size()));

    WriteVertices(w, m, plan);
    w.Zeros(32 * nv);
    RepeatI32(w, nv, 15);
    RepeatI32(w, nv, 100);
    RepeatI32(w, nv, 0);
    for (const int f : plan.FirstLink) {
        w.I32(f);
    }
    for (const int c : plan.LinkCount) {
        w.I32(c);
    }
    for (const int l : plan.Links) {
        w.I32(l);
    }
    WriteCorners(w, m, plan);
    WriteNormals(w, plan);
    WritePolygonBlocks(w, m, plan);
    WriteNames(w, plan);
}

void SerializeF1(ByteWriter& w, const ModelStore& m, const VrlPlan& plan) {
    const std::size_t nv = plan.Vertices.size(), nc = plan.Corners, np = plan.Polygons.size();
    const std::size_t nn = plan.Normals.size();
    w.Reserve(200 + nv * 92 + nc * 20 + nn * 16 + np * 60 + plan.TexNames.size() * 12);
    w.Zeros(200);
    const float far = 100000000.0f;
    w.PatchI32(44, std::bit_cast<std::int32_t>(far));
    w.PatchI32(48, std::bit_cast<std::int32_t>(far));
    Layout at(200);
    Put(w, 60, static_cast<std::int32_t>(nv));
    Put(w, 64, at.Take(16 * nv));
    Put(w, 68, at.Take(32 * nv));
    Put(w, 72, at.Take(16 * nv));
    Put(w, 76, at.Take(16 * nv));
    for (const int field : {80, 84, 88}) {
        Put(w, field, at.Take(4 * nv));
    }
    Put(w, 92, static_cast<std::int32_t>(nc));
    for (const int field : {96, 100, 104, 108, 112}) {
        Put(w, field, at.Take(4 * nc));
    }
    Put(w, 116, static_cast<std::int32_t>(nn));
    Put(w, 120, at.Take(16 * nn));
    Put(w, 124, static_cast<std::int32_t>(np));
    PlacePolygonBlocks(w, at, 128, np);
    for (const int field : {164, 168, 172, 176, 180, 184}) {
        Put(w, field, at.Take(4 * np));
    }
    Put(w, 188, static_cast<std::int32_t>(plan.TexNames.size()));
    Put(w, 192, at.Take(12 * plan.TexNames.size()));

    WriteVertices(w, m, plan);
    w.Zeros(64 * nv);
    RepeatBytes(w, nv, {0xFF, 0xFF, 0xFF, 0x00});
    RepeatBytes(w, nv, {0x00, 0x00, 0x00, 0x00});
    RepeatBytes(w, nv, {0xFF, 0xFF, 0xFF, 0x00});
    WriteCorners(w, m, plan);
    w.Zeros(8 * nc);
    WriteNormals(w, plan);
    WritePolygonBlocks(w, m, plan);
    w.Zeros(24 * np);
    WriteNames(w, plan);
}

// ".VRL" replaced by ".vrl" in the upper-cased file name of an F1 2000 write.
std::string F1ModelFileName(const std::string& upperName) {
    const std::string stem = upperName.size() >= 4 && upperName.ends_with(".VRL")
                                 ? upperName.substr(0, upperName.size() - 4)
                                 : upperName;
    return stem + ".vrl";
}

void ShowSaveError(model::UserInterface& ui, const std::string& text) {
    ui.ShowMessage("  Vrl Save Error", text, model::MessageIcon::Warning, model::MessageButtons::Ok);
}

void SelectAllPolygons(ModelStore& m, model::Bool16 value) {
    for (int p = 0; p < m.PolyCount; ++p) {
        m.PolySel[p] = value;
    }
}

// Everything a write works out before the first byte: the refusal, or the plan.
std::variant<VrlPlan, VrlRefusal> PlanVrlFile(ModelStore& m, model::UserInterface& ui, VrlVariant variant) {
    ui.ShowProgress("Calculating geometry...");
    SelectCornerVertices(m);
    VrlPlan plan;
    CollectGeometry(m, plan);
    ui.ShowProgress("Checking textures...");
    NumberTextures(m, plan);
    if (auto refusal = CheckLimits(plan, variant)) {
        return VrlRefusal{*refusal};
    }
    ui.ShowProgress("Calculating normals...");
    ComputeNormals(m, plan, variant);
    ui.ShowProgress("Calculating normals list...");
    ui.ShowProgress("Calculating vertex normals...");
    if (variant == VrlVariant::Scgt) {
        BuildVertexLinks(m, plan);
        m.VertLinkCount = static_cast<std::int32_t>(plan.Links.size());
    }
    ui.ShowProgress("Writing...");
    return plan;
}

void Serialize(ByteWriter& w, const ModelStore& m, const VrlPlan& plan, VrlVariant variant) {
    variant == VrlVariant::Scgt ? SerializeScgt(w, m, plan) : SerializeF1(w, m, plan);
}

} // namespace

std::variant<std::vector<std::uint8_t>, VrlRefusal> BuildVrlFile(ModelStore& m, model::UserInterface& ui,
                                                                 VrlVariant variant) {
    auto planned = PlanVrlFile(m, ui, variant);
    if (auto* refusal = std::get_if<VrlRefusal>(&planned)) {
        return *refusal;
    }
    ByteWriter w;
    Serialize(w, m, std::get<VrlPlan>(planned), variant);
    return w.Release();
}

bool WriteVrl(Workspace& ws, const std::string& path, VrlVariant variant) {
    if (path.size() < 5) {
        return false;
    }
    ModelStore& m = ws.Model;
    std::string target = path;
    std::string fileName = model::FileNameOf(path);
    if (variant == VrlVariant::F1_2000) {
        fileName = model::UpperAscii(fileName);
        target = path.substr(0, path.size() - fileName.size()) + fileName;
    }
    bool written = false;
    {
        model::BusyPointer busy(ws.Ui);
        auto planned = PlanVrlFile(m, ws.Ui, variant);
        if (auto* refusal = std::get_if<VrlRefusal>(&planned)) {
            ShowSaveError(ws.Ui, refusal->Text);
        } else {
            // Streamed: the largest files are never held in memory whole.
            const auto fault = model::ReplaceFileWith(target, [&](const model::ChunkSink& sink) {
                ByteWriter w(sink, std::size_t{256} << 10);
                Serialize(w, m, std::get<VrlPlan>(planned), variant);
                return w.Finish();
            });
            if (fault) {
                ShowSaveError(ws.Ui, "Error at Filepos. " + model::HexUpper(*fault));
            } else {
                m.ModelFileName = variant == VrlVariant::Scgt ? fileName : F1ModelFileName(fileName);
                model::UpdateTitleLine(m, ws.Ui);
                written = true;
            }
        }
        ws.Ui.ShowProgress("Ready.");
    }
    return written;
}

bool SaveVrlModel(Workspace& ws, const std::string& path, VrlVariant variant) {
    SelectAllPolygons(ws.Model, model::kTrue);
    const bool ok = WriteVrl(ws, path, variant);
    SelectAllPolygons(ws.Model, model::kFalse);
    return ok;
}

bool SaveAllParts(Workspace& ws, const std::string& anyPathInFolder, VrlVariant variant) {
    ModelStore& m = ws.Model;
    if (m.PartCount() == 0) {
        ws.Ui.ShowMessage("Info:", "No groups to save !", model::MessageIcon::Information,
                          model::MessageButtons::Ok);
        return false;
    }
    const std::size_t cut = anyPathInFolder.find_last_of("/\\");
    const std::string folder = cut == std::string::npos ? std::string() : anyPathInFolder.substr(0, cut + 1);
    bool ok = true;
    std::set<std::string> taken;
    for (int g = 1; g <= m.PartCount() && ok; ++g) {
        model::DeselectAll(m);
        for (int k = 1; k <= m.GroupSize[g]; ++k) {
            const int p = m.GroupPoly(g, k);
            if (p >= 0 && p < m.PolyCount) {
                m.PolySel[p] = model::kTrue;
            }
        }
        // Two parts of the same name would overwrite each other's file: the later one gets a number.
        const std::string base = model::UpperAscii(edit::PartFileName(m, g));
        std::string name = base;
        for (int n = 2; !taken.insert(name).second; ++n) {
            name = base + "_" + std::to_string(n);
        }
        ok = WriteVrl(ws, folder + name + ".VRL", variant);
    }
    model::DeselectAll(m);
    return ok;
}

} // namespace zv::formats
