#include "render/WireframeView.h"

#include "model/Numbers.h"
#include "render/Overlays.h"
#include "render/Trig.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

namespace zv::render {
namespace {

constexpr Colour kRed = config::Rgb(255, 0, 0);
constexpr Colour kWhite = config::Rgb(255, 255, 255);
constexpr Colour kBlack = 0;

const std::array<OrientationInfo, 6> kOrientations{{
    {"Right", 0, 270, "Z: ---", "Y: ---"},
    {"Left", 0, 90, "Z: ---", "Y: ---"},
    {"Top", 90, 270, "Z: ---", "X: ---"},
    {"Bottom", 270, 270, "Z: ---", "X: ---"},
    {"Front", 0, 180, "X: ---", "Y: ---"},
    {"Back", 0, 0, "X: ---", "Y: ---"},
}};

int ValidOrient(int orient) {
    return orient >= 0 && orient < static_cast<int>(kOrientations.size()) ? orient : 0;
}

// The used part of the tables; counts from a damaged model never reach past the capacity.
int UsedVerts(const model::ModelStore& m) {
    return std::clamp(m.VertCount, 0, model::kVertexCapacity);
}
int UsedPolys(const model::ModelStore& m) {
    return std::clamp(m.PolyCount, 0, model::kPolygonCapacity);
}
int Corners(const model::ModelStore& m, int p) {
    return std::clamp(m.PolyVCount[p], 0, model::kMaxCorners);
}

// The wide margin decides polygon visibility; the narrow one which vertices get marks. Both
// are written so that a NaN position is outside.
bool InWideMargin(const ScreenPos& s, float w, float h) {
    return s.X > -2 * w && s.X < 3 * w && s.Y > -2 * h && s.Y < 3 * h;
}
bool InNarrowMargin(const ScreenPos& s, float w, float h) {
    return s.X > -w && s.X < 2 * w && s.Y > -h && s.Y < 2 * h;
}

void SetBit(std::uint8_t& flags, std::uint8_t bit, bool on) {
    flags = static_cast<std::uint8_t>(on ? (flags | bit) : (flags & ~bit));
}

// Whether every corner of p is a vertex of the model.
bool CornersValid(const model::ModelStore& m, int p, int n, int vertCount) {
    for (int k = 0; k < n; ++k) {
        const std::int32_t v = m.PolyVert(p, k);
        if (v < 0 || v >= vertCount) {
            return false;
        }
    }
    return true;
}

void FlagPolygons(WireframeView& view, const model::ModelStore& m, int vertCount) {
    const int polyCount = UsedPolys(m);
    for (int p = 0; p < polyCount; ++p) {
        const int n = Corners(m, p);
        const bool valid = CornersValid(m, p, n, vertCount);
        bool inView = valid && n > 0;
        for (int k = 0; inView && k < n; ++k) {
            inView = (view.VertView[m.PolyVert(p, k)] & kFlagInView) != 0;
        }
        bool away = false;
        if (view.CullPolys && valid && n >= 3) {
            away = FacesAway(view.ScrVert[m.PolyVert(p, 0)], view.ScrVert[m.PolyVert(p, 1)],
                             view.ScrVert[m.PolyVert(p, 2)]);
        }
        view.PolyView[p] =
            static_cast<std::uint8_t>((inView ? kFlagInView : 0) | (away ? kFlagFacingAway : 0));
    }
}

// Hides the vertices that only polygons facing away use. A vertex it sets again that the wide
// test had left out is cleared by the narrow test that follows.
void HideBackVertices(WireframeView& view, const model::ModelStore& m, int vertCount) {
    const int polyCount = UsedPolys(m);
    for (int p = 0; p < polyCount; ++p) {
        const int n = Corners(m, p);
        for (int k = 0; k < n; ++k) {
            const std::int32_t v = m.PolyVert(p, k);
            if (v >= 0 && v < vertCount) {
                SetBit(view.VertView[v], kFlagInView, false);
            }
        }
    }
    for (int p = 0; p < polyCount; ++p) {
        if (view.PolyView[p] & kFlagFacingAway) {
            continue;
        }
        const int n = Corners(m, p);
        for (int k = 0; k < n; ++k) {
            const std::int32_t v = m.PolyVert(p, k);
            if (v >= 0 && v < vertCount) {
                SetBit(view.VertView[v], kFlagInView, true);
            }
        }
    }
}

// Appends the closed outline of p (corner 0, 1 .. n-1, back to 0).
void AppendOutline(const model::ModelStore& m, int p, const std::vector<PixelPoint>& px,
                   std::vector<Segment>& out) {
    const int n = Corners(m, p);
    for (int k = 0; k < n; ++k) {
        const int next = k + 1 < n ? k + 1 : 0;
        out.push_back({px[static_cast<std::size_t>(m.PolyVert(p, k))],
                       px[static_cast<std::size_t>(m.PolyVert(p, next))]});
    }
}

// The segment from corner k of p to the next one, or nothing when p has no corner k.
void AppendEdge(const model::ModelStore& m, int p, int k, const std::vector<PixelPoint>& px,
                std::vector<Segment>& out) {
    const int n = Corners(m, p);
    if (k < 0 || k >= n) {
        return;
    }
    const int next = k + 1 < n ? k + 1 : 0;
    out.push_back(
        {px[static_cast<std::size_t>(m.PolyVert(p, k))], px[static_cast<std::size_t>(m.PolyVert(p, next))]});
}

bool Selected(model::Bool16 b) {
    return b != model::kFalse;
}

void DrawOutlines(const WireframeView& view, const model::ModelStore& m, const config::Settings& s,
                  const std::vector<PixelPoint>& px, Canvas& canvas) {
    const int polyCount = UsedPolys(m);
    std::vector<Segment> segs;
    segs.reserve(static_cast<std::size_t>(polyCount) * 4);
    auto pass = [&](Colour colour, auto wanted) {
        segs.clear();
        for (int p = 0; p < polyCount; ++p) {
            if (wanted(PolygonFlags(view, m, p), Selected(m.PolySel[p]))) {
                AppendOutline(m, p, px, segs);
            }
        }
        canvas.Lines(colour, segs);
    };
    constexpr std::uint8_t kShownInView = kFlagShown | kFlagInView;
    pass(s.View1_CulledLineColor, [](std::uint8_t f, bool sel) {
        return !sel && (f & (kShownInView | kFlagFacingAway)) == (kShownInView | kFlagFacingAway);
    });
    pass(s.View1_LineColor, [](std::uint8_t f, bool sel) {
        return !sel && (f & (kShownInView | kFlagFacingAway)) == kShownInView;
    });
    pass(s.View1_SelLineColor, [](std::uint8_t f, bool sel) { return sel && (f & kFlagInView); });

    const int cur = m.CurPoly;
    if (cur >= 0 && cur < polyCount && (view.PolyView[cur] & kFlagInView)) {
        const int n = Corners(m, cur);
        auto corner = [&](int k) { return px[static_cast<std::size_t>(m.PolyVert(cur, k))]; };
        canvas.SetPen(s.View1_CurrLineColor);
        canvas.MoveTo(corner(0).X, corner(0).Y);
        for (int k = 1; k < n; ++k) {
            canvas.LineTo(corner(k).X, corner(k).Y);
        }
        canvas.LineTo(corner(0).X, corner(0).Y);
        if (m.CurEdge >= 0) {
            segs.clear();
            AppendEdge(m, cur, m.CurEdge, px, segs);
            canvas.Lines(s.View1_CurrEdgeColor, segs);
        }
    }

    segs.clear();
    for (int p = 0; p < polyCount; ++p) {
        if ((view.PolyView[p] & kFlagInView) && m.PolySelEdge[p] >= 0) {
            AppendEdge(m, p, m.PolySelEdge[p], px, segs);
        }
    }
    canvas.Lines(s.View1_SelEdgeColor, segs);
}

// The 2x2 mark of a vertex; the +1 is added before rounding.
void AppendMark(const ScreenPos& s, std::vector<PixelPoint>& out) {
    const std::int32_t x0 = ToPixel(s.X);
    const std::int32_t y0 = ToPixel(s.Y);
    const std::int32_t x1 = ToPixel(s.X + 1);
    const std::int32_t y1 = ToPixel(s.Y + 1);
    out.push_back({x0, y0});
    out.push_back({x1, y0});
    out.push_back({x1, y1});
    out.push_back({x0, y1});
}

void DrawVertexMarks(const WireframeView& view, const model::ModelStore& m, const config::Settings& s,
                     Canvas& canvas) {
    const int vertCount = UsedVerts(m);
    std::vector<PixelPoint> pts;
    auto pass = [&](Colour colour, bool selected) {
        pts.clear();
        for (int i = 0; i < vertCount; ++i) {
            if ((view.VertView[i] & kFlagInView) && Selected(m.VertSel[i]) == selected) {
                AppendMark(view.ScrVert[i], pts);
            }
        }
        canvas.Pixels(colour, pts);
    };
    if (view.ShowVertices) {
        pass(s.View1_VertColor, false);
    }
    pass(s.View1_SelVertColor, true);
    canvas.SetPen(kBlack);
}

std::string LabelText(const std::string& nodeText) {
    std::string label = nodeText.substr(0, nodeText.find(' '));
    for (char& c : label) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return label;
}

} // namespace

const OrientationInfo& Orientation(int orient) {
    return kOrientations[static_cast<std::size_t>(ValidOrient(orient))];
}

void SetOrientation(WireframeView& view, int orient) {
    const int o = ValidOrient(orient);
    view.ViewOrient = static_cast<std::int16_t>(o);
    view.ViewRotX = Orientation(o).RotX;
    view.ViewRotY = Orientation(o).RotY;
}

void ResetView(WireframeView& view, const config::Settings& settings) {
    view.ViewZoom = kDefaultZoom;
    view.ViewCenterX = 0;
    view.ViewCenterY = 0;
    view.ViewCenterZ = 0;
    view.CullPolys = true;
    SetOrientation(view, settings.View1_orient);
}

Projection::Projection(const WireframeView& view)
    : cosA_(CosDeg(view.ViewRotX)), sinA_(SinDeg(view.ViewRotX)), cosB_(CosDeg(view.ViewRotY)),
      sinB_(SinDeg(view.ViewRotY)), zoom_(view.ViewZoom), offX_(static_cast<float>(view.ViewOffX)),
      offY_(static_cast<float>(view.ViewOffY)), addX_(0), addY_(0), subX_(0), subY_(0), subZ_(0) {
    if (view.AltCamera) {
        subX_ = view.ViewCenterX;
        subY_ = view.ViewCenterY;
        subZ_ = view.ViewCenterZ;
        return;
    }
    const float cx = zoom_ * view.ViewCenterX;
    const float cy = zoom_ * view.ViewCenterY;
    const float cz = zoom_ * view.ViewCenterZ;
    switch (ValidOrient(view.ViewOrient)) {
    case 0:
        addX_ = -cz;
        addY_ = cy;
        break;
    case 1:
        addX_ = cz;
        addY_ = cy;
        break;
    case 2:
        addX_ = -cz;
        addY_ = -cx;
        break;
    case 3:
        addX_ = -cz;
        addY_ = cx;
        break;
    case 4:
        addX_ = cx;
        addY_ = cy;
        break;
    default:
        addX_ = -cx;
        addY_ = cy;
        break;
    }
}

ScreenPos Projection::operator()(const model::VertRec& p) const {
    const float x = p.X - subX_;
    const float y = p.Y - subY_;
    const float z = p.Z - subZ_;
    const float x1 = cosB_ * x - sinB_ * z;
    const float z1 = sinB_ * x + cosB_ * z;
    const float y2 = cosA_ * y + sinA_ * z1;
    const float sx = zoom_ * x1;
    const float sy = zoom_ * y2;
    const float sz = zoom_ * z1;
    return {offX_ + sx + addX_, offY_ - sy + addY_, sz};
}

ScreenPos Project(const WireframeView& view, const model::VertRec& p) {
    return Projection(view)(p);
}

bool FacesAway(const ScreenPos& p0, const ScreenPos& p1, const ScreenPos& p2) {
    const float c = (p0.Y - p1.Y) * (p2.X - p0.X) - (p0.X - p1.X) * (p2.Y - p0.Y);
    return c < 0;
}

std::int32_t ToPixel(float logical) {
    return model::RoundToInt32(static_cast<double>(logical));
}

void ProjectAndFlag(WireframeView& view, const model::ModelStore& m, const config::Settings& settings) {
    const int vertCount = UsedVerts(m);
    const float w = view.ViewWidth;
    const float h = view.ViewHeight;
    const Projection project(view);
    for (int i = 0; i < vertCount; ++i) {
        const ScreenPos s = project(m.Vert[i]);
        view.ScrVert[i] = s;
        view.VertView[i] = InWideMargin(s, w, h) ? kFlagInView : 0;
    }
    FlagPolygons(view, m, vertCount);
    if (settings.SelectFrontOnly && view.CullPolys) {
        HideBackVertices(view, m, vertCount);
    }
    for (int i = 0; i < vertCount; ++i) {
        if (!InNarrowMargin(view.ScrVert[i], w, h)) {
            SetBit(view.VertView[i], kFlagInView, false);
        }
    }
}

void DrawView1(WireframeView& view, const model::ModelStore& m, const config::Settings& settings,
               Canvas& canvas, Overlays* overlays) {
    canvas.Clear(settings.View1_BackColor);
    ProjectAndFlag(view, m, settings);
    if (m.PolyCount > 0) {
        const int vertCount = UsedVerts(m);
        std::vector<PixelPoint> px(static_cast<std::size_t>(vertCount));
        for (int i = 0; i < vertCount; ++i) {
            px[static_cast<std::size_t>(i)] = {ToPixel(view.ScrVert[i].X), ToPixel(view.ScrVert[i].Y)};
        }
        DrawOutlines(view, m, settings, px, canvas);
    }
    if (m.VertCount >= 0) {
        DrawVertexMarks(view, m, settings, canvas);
    }
    const int cur = m.CurVert;
    if (cur >= 0 && cur < UsedVerts(m) && (view.VertView[cur] & kFlagInView)) {
        canvas.WideDot(view.ScrVert[cur].X, view.ScrVert[cur].Y, 4, kRed);
        canvas.WideDot(view.ScrVert[cur].X, view.ScrVert[cur].Y, 2, kWhite);
    }
    Overlays none;
    Overlays& o = overlays ? *overlays : none;
    o.DrawWaypoints(canvas, view);
    o.DrawSlots(canvas, view);
    o.DrawDummies(canvas, view);
    o.DrawPath(canvas, view);
    if (view.ShowGroupNames) {
        DrawGroupNames(view, m, settings, canvas);
    }
    o.DrawTrackBuilder(canvas, view);
    canvas.Refresh();
}

void DrawGroupNames(const WireframeView& view, const model::ModelStore& m, const config::Settings& settings,
                    Canvas& canvas) {
    const int vertCount = UsedVerts(m);
    const int polyCount = UsedPolys(m);
    const int nodes = std::min(m.PartCount(), model::kMaxParts);
    for (int n = 1; n <= nodes; ++n) {
        const model::PartNode& node = m.PartNodes[static_cast<std::size_t>(n - 1)];
        if (!node.Checked) {
            continue;
        }
        const int size = std::clamp(m.GroupSize[n], 0, model::kMaxPartMembers);
        std::int64_t sumX = 0;
        std::int64_t sumY = 0;
        int count = 0;
        for (int k = 1; k <= size; ++k) {
            const std::int32_t q = m.GroupPoly(n, k);
            if (q < 0 || q >= polyCount || Corners(m, q) < 1) {
                continue;
            }
            const std::int32_t v = m.PolyVert(q, 0);
            if (v < 0 || v >= vertCount) {
                continue;
            }
            sumX += ToPixel(view.ScrVert[v].X);
            sumY += ToPixel(view.ScrVert[v].Y);
            ++count;
        }
        if (count == 0) {
            continue;
        }
        const std::int32_t x = model::RoundToInt32(static_cast<double>(sumX) / count);
        const std::int32_t y = model::RoundToInt32(static_cast<double>(sumY) / count);
        canvas.Text(x, y, LabelText(node.Text), settings.View1_PartnameColor);
    }
    canvas.Refresh();
}

} // namespace zv::render
