#include "track/TrackGenerator.h"

#include "edit/Parts.h"
#include "model/Columns.h"
#include "model/ModelInfo.h"
#include "track/PathOps.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace zv::track {
namespace {

constexpr float kWallHeight = 1.0f;
constexpr std::int32_t kSurfaceType = 52;
constexpr int kTrackOrders = 7; // orders 0 .. 6 of a segment belong to the "Trak" parts
constexpr int kSideOrders = 4;
constexpr const char* kTitle = "Create Track";

enum class Uv { Across, AcrossReversed, AlongNegative, AlongPositive };

struct Quad {
    int K; // between section vertices K and K + 1
    int Tex;
    std::uint8_t R, G, B;
    Uv Pattern;
};

// In the order the quadrilaterals of a segment are added.
constexpr Quad kQuads[kSectionPolygons] = {
    {7, 0, 160, 160, 160, Uv::Across},         {6, 1, 160, 150, 50, Uv::AlongNegative},
    {8, 2, 160, 150, 50, Uv::AlongPositive},   {5, 3, 0, 200, 0, Uv::AlongNegative},
    {9, 3, 0, 200, 0, Uv::AlongPositive},      {4, 4, 180, 180, 250, Uv::AlongNegative},
    {10, 6, 180, 180, 250, Uv::AlongPositive}, {3, 8, 200, 200, 255, Uv::AcrossReversed},
    {11, 8, 200, 200, 255, Uv::Across},        {2, 5, 160, 160, 250, Uv::AlongPositive},
    {12, 7, 160, 160, 250, Uv::AlongNegative}, {1, 9, 0, 160, 0, Uv::AlongNegative},
    {13, 9, 0, 160, 0, Uv::AlongPositive},     {0, 10, 160, 60, 0, Uv::AlongNegative},
    {14, 10, 160, 60, 0, Uv::AlongPositive},
};
constexpr int kNegativeSide[kSideOrders] = {7, 9, 11, 13};
constexpr int kPositiveSide[kSideOrders] = {8, 10, 12, 14};
constexpr int kTrackSide[kTrackOrders] = {0, 1, 2, 3, 4, 5, 6};

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

float Distance(const Vec3& a, const Vec3& b) {
    const float dx = a[0] - b[0];
    const float dy = a[1] - b[1];
    const float dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// What the generator computes before it touches the model, so a refusal writes nothing.
struct Plan {
    int N = 0;
    std::vector<float> SegLen;  // entry 0: the closing segment
    std::vector<float> Heading; // per point
    std::vector<std::uint8_t> Split;
    int SplitCount = 0;
    int LongestStretch = 0; // segments between split points
};

Plan MakePlan(const PathTable& p, float splitDistance) {
    Plan plan;
    const int n = p.Count();
    plan.N = n;
    const auto size = static_cast<std::size_t>(n);
    plan.SegLen.resize(size);
    plan.Heading.resize(size);
    plan.Split.resize(size);
    for (int i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(i);
        plan.SegLen[at] = Distance(p.Pts[i == 0 ? size - 1 : at - 1], p.Pts[at]);
        const Vec3& from = p.Pts[i == n - 1 ? size - 2 : at];
        const Vec3& to = p.Pts[i == n - 1 ? 0 : at + 1];
        // The z difference goes first: the heading rule with its components swapped.
        plan.Heading[at] = HeadingDeg(to[2] - from[2], to[0] - from[0]);
    }
    float running = 0;
    int stretch = 0;
    for (int i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(i);
        running += plan.SegLen[at];
        ++stretch;
        if (splitDistance < running || i == n - 1) {
            plan.Split[at] = 1;
            ++plan.SplitCount;
            plan.LongestStretch = std::max(plan.LongestStretch, stretch);
            running = 0;
            stretch = 0;
        }
    }
    return plan;
}

std::string Number(float v) {
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (!s.empty() && s.back() == '.') {
        s.pop_back();
    }
    return s;
}

// The reason the track cannot be made, or "" when it fits.
std::string Refusal(const TrackSection& s, const Plan& plan) {
    const bool finite =
        std::all_of(s.Widths.begin(), s.Widths.end(), [](float w) { return std::isfinite(w); });
    if (!finite || !std::isfinite(s.SplitDistance)) {
        return "The strip widths and the split distance must be numbers.";
    }
    const long long vertices = static_cast<long long>(plan.N) * kSectionVertices;
    const long long polygons = static_cast<long long>(plan.N) * kSectionPolygons;
    if (vertices > model::kUserMaxVertices || polygons > model::kUserMaxPolygons) {
        return "A path of " + std::to_string(plan.N) + " points gives " + std::to_string(vertices) +
               " vertices and " + std::to_string(polygons) + " polygons; the model holds at most " +
               std::to_string(model::kUserMaxVertices) + " vertices and " +
               std::to_string(model::kUserMaxPolygons) + " polygons.";
    }
    const long long parts = 3LL * plan.SplitCount;
    if (parts > model::kMaxParts) {
        return "The split distance " + Number(s.SplitDistance) + " gives " + std::to_string(parts) +
               " parts, more than the " + std::to_string(model::kMaxParts) +
               " a model holds. Raise the split distance.";
    }
    const int most = model::kMaxPartMembers / kTrackOrders;
    if (plan.LongestStretch > most) {
        return "The split distance " + Number(s.SplitDistance) + " puts " +
               std::to_string(plan.LongestStretch) + " segments into one part; a part holds at most " +
               std::to_string(model::kMaxPartMembers) + " polygons (" + std::to_string(most) +
               " segments). Lower the split distance.";
    }
    return {};
}

// Section offsets in vertex order, and whether the vertex is on the wall top.
struct Section {
    std::array<float, kSectionVertices> Lateral{};
    std::array<bool, kSectionVertices> Raised{};
};

Section SectionOf(const std::array<float, kStrips>& w) {
    const float r0 = w[5] / 2;
    const float r1 = r0 + w[6], r2 = r1 + w[7], r3 = r2 + w[8], r4 = r3 + w[9], r5 = r4 + w[10];
    const float l1 = r0 + w[4], l2 = l1 + w[3], l3 = l2 + w[2], l4 = l3 + w[1], l5 = l4 + w[0];
    Section s;
    s.Lateral = {-l5, -l4, -l3, -l3, -l2, -l2, -l1, -r0, r0, r1, r2, r2, r3, r3, r4, r5};
    s.Raised[3] = s.Raised[4] = s.Raised[11] = s.Raised[12] = true;
    return s;
}

void WriteVertices(model::ModelStore& m, const PathTable& p, const Plan& plan, const Section& sec) {
    constexpr double kRadians = 0.017453292;
    for (int i = 0; i < plan.N; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const double a = plan.Heading[at] * kRadians;
        const double c = (at < p.Camber.size() ? p.Camber[at] : 0.0f) * kRadians;
        const Vec3& pt = p.Pts[at];
        for (int k = 0; k < kSectionVertices; ++k) {
            const double lateral = sec.Lateral[static_cast<std::size_t>(k)];
            const double x1 = -std::sin(a) * lateral;
            const double z = std::cos(a) * lateral;
            const double x = std::cos(c) * x1;
            const double y =
                std::sin(c) * x1 + (sec.Raised[static_cast<std::size_t>(k)] ? kWallHeight : 0.0f);
            const int v = kSectionVertices * i + k;
            model::ClearVertexRow(m, v);
            m.Vert[v] = {static_cast<float>(pt[0] + x), static_cast<float>(pt[1] + y),
                         static_cast<float>(pt[2] + z)};
        }
    }
}

// Texture coordinates of corners 0 .. 3 for a repeat count r.
std::array<std::array<float, 2>, 4> UvOf(Uv pattern, float r) {
    switch (pattern) {
    case Uv::Across:
        return {{{0, 0}, {1, 0}, {1, r}, {0, r}}};
    case Uv::AcrossReversed:
        return {{{1, r}, {0, r}, {0, 0}, {1, 0}}};
    case Uv::AlongNegative:
        return {{{r, 0}, {r, 1}, {0, 1}, {0, 0}}};
    case Uv::AlongPositive:
        break;
    }
    return {{{0, 1}, {0, 0}, {r, 0}, {r, 1}}};
}

void WritePolygons(model::ModelStore& m, const Plan& plan) {
    for (int s = 0; s < plan.N; ++s) {
        const int j = s + 1 == plan.N ? 0 : s + 1;
        const float len = plan.SegLen[static_cast<std::size_t>(j)];
        const float r = len / 2 >= 1 ? std::nearbyint(len / 8) : 0.0f; // halves to the even neighbour
        for (int o = 0; o < kSectionPolygons; ++o) {
            const Quad& q = kQuads[o];
            const int p = kSectionPolygons * s + o;
            const std::int32_t corners[4] = {kSectionVertices * s + q.K, kSectionVertices * s + q.K + 1,
                                             kSectionVertices * j + q.K + 1, kSectionVertices * j + q.K};
            const auto uv = UvOf(q.Pattern, r);
            model::ClearPolygonRow(m, p);
            m.PolyVCount[p] = 4;
            for (int c = 0; c < 4; ++c) {
                m.PolyVert(p, c) = corners[c];
                m.PolyTU(p, c) = uv[static_cast<std::size_t>(c)][0];
                m.PolyTV(p, c) = uv[static_cast<std::size_t>(c)][1];
            }
            m.PolyTex[p] = q.Tex;
            m.PolyType[p] = kSurfaceType;
            m.PolyR[p] = q.R;
            m.PolyG[p] = q.G;
            m.PolyB[p] = q.B;
        }
    }
}

// Keeps the parts tree notices of the many AddPart calls back and passes the last of each on
// once, so a view rebuilds its tree once rather than once per part.
class BatchedPartNotices : public model::UserInterface {
public:
    explicit BatchedPartNotices(model::UserInterface& ui) : ui_(ui) {}
    model::MessageAnswer ShowMessage(std::string_view title, std::string_view text, model::MessageIcon icon,
                                     model::MessageButtons buttons) override {
        return ui_.ShowMessage(title, text, icon, buttons);
    }
    std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override {
        return ui_.InputBox(prompt, title, defaultText);
    }
    void ShowProgress(std::string_view text) override { ui_.ShowProgress(text); }
    void SetCaption(std::string_view text) override { ui_.SetCaption(text); }
    void PushBusyPointer() override { ui_.PushBusyPointer(); }
    void PopBusyPointer() override { ui_.PopBusyPointer(); }
    void ClearTextureLists() override { ui_.ClearTextureLists(); }
    void AppendTextureList(std::string_view text) override { ui_.AppendTextureList(text); }
    void PartTreeChanged() override { treeChanged_ = true; }
    void SetPartsCaption(std::string_view text) override { caption_ = text; }
    void ShowPartsWindow() override { showWindow_ = true; }

    void Flush() {
        if (treeChanged_) {
            ui_.PartTreeChanged();
        }
        if (caption_) {
            ui_.SetPartsCaption(*caption_);
        }
        if (showWindow_) {
            ui_.ShowPartsWindow();
        }
    }

private:
    model::UserInterface& ui_;
    bool treeChanged_ = false;
    bool showWindow_ = false;
    std::optional<std::string> caption_;
};

std::string ThreeDigits(int counter) {
    const int n = counter % 1000;
    return std::string{static_cast<char>('0' + n / 100), static_cast<char>('0' + n / 10 % 10),
                       static_cast<char>('0' + n % 10)};
}

// One pass: the orders of each segment gathered until a split point, then made a part.
template <std::size_t Count>
void MakeParts(model::ModelStore& m, model::UserInterface& ui, const Plan& plan, const char* name,
               const int (&orders)[Count]) {
    int counter = 0;
    int first = 0; // first segment of the stretch
    for (int s = 0; s < plan.N; ++s) {
        for (const int o : orders) {
            m.PolySel[kSectionPolygons * s + o] = model::kTrue;
        }
        if (plan.Split[static_cast<std::size_t>(s)] == 0) {
            continue;
        }
        edit::AddPart(m, ui, name + ThreeDigits(counter));
        ++m.LoadCount;
        ++counter;
        std::fill_n(m.PolySel.RowsForWrite(kSectionPolygons * first, kSectionPolygons * (s + 1 - first)),
                    kSectionPolygons * (s + 1 - first), model::kFalse);
        first = s + 1;
    }
}

void WriteTextures(model::ModelStore& m, model::UserInterface& ui, const TrackSection& s) {
    const std::string names[] = {Upper(s.Textures[5]),
                                 Upper(s.Textures[6]),
                                 Upper(s.Textures[4]),
                                 Upper(s.Textures[3]),
                                 "CONCRI",
                                 "CONCRO",
                                 "CONCLI",
                                 "CONCLO",
                                 "CONCT",
                                 "GRASB",
                                 "GRASC"};
    ui.ClearTextureLists();
    m.TexCount = 0;
    for (const std::string& name : names) {
        m.TexName[m.TexCount++] = name;
        ui.AppendTextureList("Nl: " + name);
    }
}

} // namespace

edit::Change GenerateTrack(model::UserInterface& ui, model::ModelStore& m, PathTable& p,
                           const TrackSection& s, edit::Recorder& rec) {
    if (p.Count() < 2) {
        return edit::kNoChange;
    }
    const Plan plan = MakePlan(p, s.SplitDistance);
    if (const std::string why = Refusal(s, plan); !why.empty()) {
        ui.ShowMessage(kTitle, why, model::MessageIcon::Warning, model::MessageButtons::Ok);
        return edit::kNoChange;
    }
    model::BusyPointer busy(ui);
    const int vertices = kSectionVertices * plan.N;
    const int polygons = kSectionPolygons * plan.N;
    rec.Vertices(0, std::max(model::UsedVertices(m), vertices));
    rec.Polygons(0, std::max(model::UsedPolygons(m), polygons));
    rec.Parts();
    rec.Textures();
    RecordPath(rec, p);

    const auto size = static_cast<std::size_t>(plan.N);
    p.SegLen = plan.SegLen;
    p.Heading = plan.Heading;
    p.Camber.resize(size);

    m.CurVert = m.CurPoly = m.CurCorner = m.CurEdge = -1;
    m.Selection.SelCursor = -1;
    model::DeselectAll(m);
    WriteVertices(m, p, plan, SectionOf(s.Widths));
    WritePolygons(m, plan);
    m.VertCount = vertices;
    m.PolyCount = polygons;

    BatchedPartNotices notices(ui);
    edit::ClearParts(m, notices);
    m.LoadCount = 1;
    MakeParts(m, notices, plan, "Trak", kTrackSide);
    MakeParts(m, notices, plan, "Sidr", kNegativeSide);
    MakeParts(m, notices, plan, "Sidl", kPositiveSide);
    notices.Flush();

    WriteTextures(m, ui, s);
    model::UpdateTitleLine(m, ui);
    using C = edit::Change;
    return C::Geometry | C::Polygons | C::Selection | C::Parts | C::Textures | C::Counts | C::Path;
}

} // namespace zv::track
