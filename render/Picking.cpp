#include "render/Picking.h"

#include "config/ConfigFormat.h"
#include "model/Columns.h"

#include <algorithm>
#include <array>

namespace zv::render {
namespace {

int UsedVerts(const model::ModelStore& m) {
    return model::UsedVertices(m);
}

using Outline = std::array<ScreenPos, model::kMaxCorners>;

// Polygon p as the last redraw drew it is open to picking: shown and in view, and not facing
// away while only front faces are picked.
bool IsPickable(const WireframeView& view, const model::ModelStore& m, bool frontOnly, int p) {
    constexpr std::uint8_t kDrawnInView = kFlagShown | kFlagInView;
    const std::uint8_t flag = PolygonFlags(view, m, p);
    return (flag & kDrawnInView) == kDrawnInView && !(frontOnly && (flag & kFlagFacingAway) != 0);
}

// The screen position of every corner of p, or false when a corner is no vertex.
bool CornerPositions(const WireframeView& view, const model::ModelStore& m, int p, Outline& out, int& n) {
    n = model::CornerCount(m, p);
    if (n == 0) {
        return false;
    }
    for (int k = 0; k < n; ++k) {
        const std::int32_t v = m.PolyVert(p, k);
        if (!model::IsVertex(m, v)) {
            return false;
        }
        out[static_cast<std::size_t>(k)] = view.ScrVert[v];
    }
    return true;
}

// Crossings of a ray from (px, py) towards +x with the closed outline; a horizontal edge never
// counts, and the upper end of each edge belongs to it so that a shared corner counts once.
bool OutlineContains(const Outline& pts, int n, double px, double py) {
    int crossings = 0;
    ScreenPos prev = pts[0];
    for (int k = 1; k <= n; ++k) {
        const ScreenPos cur = pts[static_cast<std::size_t>(k % n)];
        const double x1 = prev.X, y1 = prev.Y, x2 = cur.X, y2 = cur.Y;
        if (py > std::min(y1, y2) && py <= std::max(y1, y2) && px <= std::max(x1, x2) && y1 != y2) {
            const double xi = (py - y1) * (x2 - x1) / (y2 - y1) + x1;
            if (x1 == x2 || px <= xi) {
                ++crossings;
            }
        }
        prev = cur;
    }
    return crossings % 2 == 1;
}

// The pickable polygons whose outline passes the test, in index order.
template <class Test>
std::vector<int> PickablePolygons(const WireframeView& view, const model::ModelStore& m, bool frontOnly,
                                  Test test) {
    std::vector<int> found;
    Outline pts{};
    for (int p = 0; p < model::UsedPolygons(m); ++p) {
        int n = 0;
        if (IsPickable(view, m, frontOnly, p) && CornerPositions(view, m, p, pts, n) && test(pts, n)) {
            found.push_back(p);
        }
    }
    return found;
}

} // namespace

std::vector<int> PolygonsAtPoint(const WireframeView& view, const model::ModelStore& m, bool frontOnly,
                                 float px, float py) {
    return PickablePolygons(view, m, frontOnly,
                            [&](const Outline& pts, int n) { return OutlineContains(pts, n, px, py); });
}

std::vector<int> PolygonsInRect(const WireframeView& view, const model::ModelStore& m, bool frontOnly,
                                const PickRect& rect) {
    if (rect.Empty()) {
        return {};
    }
    return PickablePolygons(view, m, frontOnly, [&](const Outline& pts, int n) {
        return std::all_of(pts.begin(), pts.begin() + n,
                           [&](const ScreenPos& s) { return rect.Contains(s); });
    });
}

int PickVertex(const WireframeView& view, const model::ModelStore& m, float px, float py, float radius) {
    return PickFirst(
        UsedVerts(m), [&](int i) { return view.ScrVert[i]; },
        [&](int i) { return (m.VertFlag[i] & kFlagShown) != 0; }, px, py, radius);
}

PickRect NormaliseRect(float ax, float ay, float bx, float by) {
    return {std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)};
}

std::vector<int> VerticesInRect(const WireframeView& view, const model::ModelStore& m, const PickRect& rect) {
    std::vector<int> found;
    if (rect.Empty()) {
        return found;
    }
    constexpr std::uint8_t wanted = kFlagShown | kFlagInView;
    const int count = UsedVerts(m);
    for (int i = 0; i < count; ++i) {
        if ((VertexFlags(view, m, i) & wanted) == wanted && rect.Contains(view.ScrVert[i])) {
            found.push_back(i);
        }
    }
    return found;
}

std::string VertexPickText(const model::ModelStore& m, int v) {
    if (v < 0 || v >= UsedVerts(m)) {
        return {};
    }
    const model::VertRec& p = m.Vert[v];
    // The float's shortest form, as the double click shows it, not its binary noise.
    return "Vertex: " + std::to_string(v) + "    x: " + config::FormatSingle(p.X) +
           "  y: " + config::FormatSingle(p.Y) + "  z: " + config::FormatSingle(p.Z);
}

std::string RectSelectText(int count) {
    return std::to_string(count) + " Vertices selected.";
}

} // namespace zv::render
