#include "edit/Selection.h"

#include "config/ConfigFormat.h"
#include "model/Normals.h"

#include <algorithm>
#include <cmath>

namespace zv::edit {
namespace {

using model::kFalse;
using model::kTrue;

constexpr std::uint8_t kDrawnInView = render::kFlagShown | render::kFlagInView;

std::int32_t UsedVertices(const model::ModelStore& m) {
    return std::clamp(m.VertCount, 0, model::kVertexCapacity);
}

std::int32_t UsedPolygons(const model::ModelStore& m) {
    return std::clamp(m.PolyCount, 0, model::kPolygonCapacity);
}

bool IsVertex(const model::ModelStore& m, std::int32_t v) {
    return v >= 0 && v < UsedVertices(m);
}

bool IsPolygon(const model::ModelStore& m, std::int32_t p) {
    return p >= 0 && p < UsedPolygons(m);
}

int CornerCount(const model::ModelStore& m, std::int32_t p) {
    return std::clamp(m.PolyVCount[p], 0, model::kMaxCorners);
}

model::Bool16 Not(model::Bool16 b) {
    return b != kFalse ? kFalse : kTrue;
}

// Calls f(v) for every corner vertex of polygon p that is a vertex of the model.
template <class F> void ForEachCornerVertex(const model::ModelStore& m, std::int32_t p, F f) {
    const int corners = CornerCount(m, p);
    for (int k = 0; k < corners; ++k) {
        const std::int32_t v = m.PolyVert(p, k);
        if (IsVertex(m, v)) {
            f(v);
        }
    }
}

// At least three corners, all of them vertices of the model: the normal routines can run.
bool HasSoundCorners(const model::ModelStore& m, std::int32_t p) {
    const int corners = CornerCount(m, p);
    if (corners < 3 || m.PolyVCount[p] > model::kMaxCorners) {
        return false;
    }
    for (int k = 0; k < corners; ++k) {
        if (!IsVertex(m, m.PolyVert(p, k))) {
            return false;
        }
    }
    return true;
}

// Polygon p as the last redraw drew it is open to picking.
bool IsPickable(const model::ModelStore& m, const config::Settings& settings, std::int32_t p) {
    const std::uint8_t flag = m.PolyFlag[p];
    if ((flag & kDrawnInView) != kDrawnInView) {
        return false;
    }
    return !(settings.SelectFrontOnly && (flag & render::kFlagFacingAway) != 0);
}

// The screen position of every corner of p, or false when a corner has none.
bool CornerPositions(const model::ModelStore& m, std::span<const render::ScreenPos> screen, std::int32_t p,
                     std::array<render::ScreenPos, model::kMaxCorners>& out, int& n) {
    n = CornerCount(m, p);
    if (n == 0) {
        return false;
    }
    for (int k = 0; k < n; ++k) {
        const std::int32_t v = m.PolyVert(p, k);
        if (!IsVertex(m, v) || static_cast<std::size_t>(v) >= screen.size()) {
            return false;
        }
        out[static_cast<std::size_t>(k)] = screen[static_cast<std::size_t>(v)];
    }
    return true;
}

// Crossings of a ray from (px, py) towards +x with the closed outline; a horizontal edge never
// counts, and the upper end of each edge belongs to it so that a shared corner counts once.
bool OutlineContains(const std::array<render::ScreenPos, model::kMaxCorners>& pts, int n, double px,
                     double py) {
    int crossings = 0;
    render::ScreenPos prev = pts[0];
    for (int k = 1; k <= n; ++k) {
        const render::ScreenPos cur = pts[static_cast<std::size_t>(k % n)];
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

std::string Coordinates(const model::VertRec& v, const char* firstGap) {
    return firstGap + std::string("x: ") + config::FormatSingle(v.X) + "  y: " + config::FormatSingle(v.Y) +
           "  z: " + config::FormatSingle(v.Z);
}

// The current polygon's edge is kept only while the polygon has it.
void FitEdgeToPolygon(model::ModelStore& m) {
    if (IsPolygon(m, m.CurPoly) && m.CurEdge >= CornerCount(m, m.CurPoly)) {
        m.CurEdge = -1;
    }
}

void SetCurrentPolygon(model::ModelStore& m, model::UserInterface& ui, std::int32_t p) {
    m.CurCorner = -1;
    m.CurPoly = p;
    FitEdgeToPolygon(m);
    ui.ShowProgress(PolygonStatus(m, p));
    ui.RequestRefresh();
}

// Steps a cursor through 0 .. count - 1 with "none" (-1) between the last and the first. A
// cursor left past the end by a deletion is past the last item: forward it becomes none,
// back the last item.
std::int32_t StepThroughNone(std::int32_t cursor, std::int32_t count, bool back) {
    const std::int32_t from = std::clamp(cursor, -1, count);
    if (back) {
        return from - 1 < -1 ? count - 1 : from - 1;
    }
    return from + 1 > count - 1 ? -1 : from + 1;
}

void CycleVertex(model::ModelStore& m, model::UserInterface& ui, bool back) {
    if (m.VertCount < 0) {
        return;
    }
    m.CurVert = StepThroughNone(m.CurVert, UsedVertices(m), back);
    ui.ShowProgress(VertexStatus(m, m.CurVert));
    ui.RequestRefresh();
}

void CyclePolygon(model::ModelStore& m, model::UserInterface& ui, bool back) {
    if (m.PolyCount < 0) {
        return;
    }
    SetCurrentPolygon(m, ui, StepThroughNone(m.CurPoly, UsedPolygons(m), back));
}

void CycleSelectedPolygon(model::ModelStore& m, model::UserInterface& ui, bool back) {
    if (m.PolyCount < 0) {
        return;
    }
    const std::int32_t used = UsedPolygons(m);
    std::int32_t& cursor = m.Selection.SelCursor;
    std::int32_t found = -1;
    if (back) {
        const std::int32_t start = cursor >= 0 && cursor < used ? cursor : used;
        for (std::int32_t p = start - 1; p >= 0 && found < 0; --p) {
            found = m.PolySel[p] != kFalse ? p : -1;
        }
    } else {
        const std::int32_t start = std::max(cursor, -1);
        for (std::int32_t p = start + 1; p < used && found < 0; ++p) {
            found = m.PolySel[p] != kFalse ? p : -1;
        }
    }
    cursor = found;
    SetCurrentPolygon(m, ui, found);
}

void StepCorner(model::ModelStore& m, model::UserInterface& ui, bool back) {
    if (!IsPolygon(m, m.CurPoly)) {
        return;
    }
    const int n = CornerCount(m, m.CurPoly);
    if (n == 0) {
        return;
    }
    const std::int32_t from = std::max(m.CurCorner, -1);
    std::int32_t c = back ? std::clamp(from - 1, -1, n - 1) : from + 1;
    if (c > n - 1) {
        c = 0;
    }
    m.CurCorner = c;
    if (c >= 0 && IsVertex(m, m.PolyVert(m.CurPoly, c))) {
        m.CurVert = m.PolyVert(m.CurPoly, c);
        ui.ShowProgress(VertexStatus(m, m.CurVert));
    }
    ui.RequestRefresh();
}

void StepEdge(model::ModelStore& m, model::UserInterface& ui, bool back) {
    if (!IsPolygon(m, m.CurPoly)) {
        return;
    }
    const int n = CornerCount(m, m.CurPoly);
    if (n == 0) {
        return;
    }
    std::int32_t e = back ? m.CurEdge - 1 : m.CurEdge + 1;
    if (back) {
        e = e < 0 || e > n - 1 ? n - 1 : e;
    } else {
        e = e < 0 || e > n - 1 ? 0 : e;
    }
    m.CurEdge = e;
    ui.RequestRefresh();
}

void SetVertexRange(model::ModelStore& m, std::int32_t end, model::Bool16 value) {
    for (std::int32_t i = 0; i < end; ++i) {
        m.VertSel[i] = value;
    }
}

void SetPolygonRange(model::ModelStore& m, std::int32_t end, model::Bool16 value) {
    for (std::int32_t p = 0; p < end; ++p) {
        m.PolySel[p] = value;
    }
}

} // namespace

// ---- Whole-table commands -----------------------------------------------------------------

void SelectAllVertices(model::ModelStore& m, model::UserInterface& ui) {
    SetVertexRange(m, UsedVertices(m), kTrue);
    ui.RequestRefresh();
}

void DeselectAllVertices(model::ModelStore& m, model::UserInterface& ui) {
    m.VertSel.Fill(kFalse);
    ui.RequestRefresh();
}

void InvertVertexSelection(model::ModelStore& m, model::UserInterface& ui) {
    for (std::int32_t i = 0; i < UsedVertices(m); ++i) {
        m.VertSel[i] = Not(m.VertSel[i]);
    }
    ui.RequestRefresh();
}

void SelectAllPolys(model::ModelStore& m, model::UserInterface& ui) {
    // The slot at -1 stays clear: it answers for "no current polygon".
    SetPolygonRange(m, model::kPolygonCapacity, kTrue);
    ui.RequestRefresh();
}

void DeselectAllPolys(model::ModelStore& m, model::UserInterface& ui) {
    m.PolySel.Fill(kFalse);
    ui.RequestRefresh();
}

void InvertPolySelection(model::ModelStore& m, model::UserInterface& ui) {
    for (std::int32_t p = 0; p < UsedPolygons(m); ++p) {
        m.PolySel[p] = Not(m.PolySel[p]);
    }
    ui.RequestRefresh();
}

// ---- Linkage ------------------------------------------------------------------------------

void SelectPolysOfSelectedVerts(model::ModelStore& m, model::UserInterface& ui) {
    for (std::int32_t p = 0; p < UsedPolygons(m); ++p) {
        ForEachCornerVertex(m, p, [&](std::int32_t v) {
            if (m.VertSel[v] != kFalse) {
                m.PolySel[p] = kTrue;
            }
        });
    }
    ui.RequestRefresh();
}

void SelectVertsOfSelectedPolys(model::ModelStore& m, model::UserInterface& ui) {
    if (m.PolyCount < 1) {
        return;
    }
    for (std::int32_t p = 0; p < UsedPolygons(m); ++p) {
        if (m.PolySel[p] != kFalse) {
            ForEachCornerVertex(m, p, [&](std::int32_t v) { m.VertSel[v] = kTrue; });
        }
    }
    ui.RequestRefresh();
}

// ---- By attribute -------------------------------------------------------------------------

void SelectByTexture(model::ModelStore& m, model::UserInterface& ui, std::int32_t t) {
    if (t < 0) {
        return;
    }
    for (std::int32_t p = 0; p < UsedPolygons(m); ++p) {
        if (m.PolyTex[p] == t) {
            m.PolySel[p] = kTrue;
        }
    }
    ui.RequestRefresh();
}

double SelectByFacing(model::ModelStore& m, model::UserInterface& ui, double angleDegrees,
                      const FacingBoxes& boxes) {
    const double c = std::cos(std::abs(180 - angleDegrees) * 0.017453292);
    for (std::int32_t p = 0; p < UsedPolygons(m); ++p) {
        if (!HasSoundCorners(m, p)) {
            continue;
        }
        model::CalcPolyNormal(m, p);
        const double n[3] = {m.PolyNX[p], m.PolyNY[p], m.PolyNZ[p]};
        for (std::size_t box = 0; box < boxes.size(); ++box) {
            const double component = box % 2 == 0 ? n[box / 2] : -n[box / 2];
            if (boxes[box] && component < c) {
                m.PolySel[p] = kTrue;
            }
        }
    }
    ui.RequestRefresh();
    return c;
}

void SelectBendedQuads(model::ModelStore& m, model::UserInterface& ui) {
    if (m.PolyCount < 1) {
        return;
    }
    const auto differs = [](float a, float b) { return std::fabs(std::fabs(a) - std::fabs(b)) > 0.0054f; };
    for (std::int32_t p = 0; p < UsedPolygons(m); ++p) {
        if (m.PolyVCount[p] != 4 || !HasSoundCorners(m, p)) {
            continue;
        }
        model::CalcPolyNormal(m, p);
        const float x = m.PolyNX[p], y = m.PolyNY[p], z = m.PolyNZ[p];
        model::CalcPolyNormal2(m, p);
        if (differs(x, m.PolyNX[p]) || differs(y, m.PolyNY[p]) || differs(z, m.PolyNZ[p])) {
            m.PolySel[p] = kTrue;
        }
    }
    ui.RequestRefresh();
}

// ---- Selection box ------------------------------------------------------------------------

bool ComputeSelectionBox(model::ModelStore& m) {
    bool any = false;
    model::Point3d lo, hi;
    for (std::int32_t i = 0; i < UsedVertices(m); ++i) {
        if (m.VertSel[i] == kFalse) {
            continue;
        }
        const model::VertRec& v = m.Vert[i];
        if (!any) {
            lo = hi = {v.X, v.Y, v.Z};
            any = true;
            continue;
        }
        lo = {std::min<double>(lo.X, v.X), std::min<double>(lo.Y, v.Y), std::min<double>(lo.Z, v.Z)};
        hi = {std::max<double>(hi.X, v.X), std::max<double>(hi.Y, v.Y), std::max<double>(hi.Z, v.Z)};
    }
    if (!any) {
        return false;
    }
    model::SelectionState& s = m.Selection;
    s.SelBoxMin = lo;
    s.SelBoxMax = hi;
    s.SelCenter = {(lo.X + hi.X) * 0.5, (lo.Y + hi.Y) * 0.5, (lo.Z + hi.Z) * 0.5};
    s.SelSize = {std::abs(hi.X - lo.X), std::abs(hi.Y - lo.Y), std::abs(hi.Z - lo.Z)};
    return true;
}

// ---- Cursors ------------------------------------------------------------------------------

void NextVertex(model::ModelStore& m, model::UserInterface& ui) {
    CycleVertex(m, ui, false);
}

void PreviousVertex(model::ModelStore& m, model::UserInterface& ui) {
    CycleVertex(m, ui, true);
}

void NextPolygon(model::ModelStore& m, model::UserInterface& ui) {
    CyclePolygon(m, ui, false);
}

void PreviousPolygon(model::ModelStore& m, model::UserInterface& ui) {
    CyclePolygon(m, ui, true);
}

void NextSelectedPolygon(model::ModelStore& m, model::UserInterface& ui) {
    CycleSelectedPolygon(m, ui, false);
}

void PreviousSelectedPolygon(model::ModelStore& m, model::UserInterface& ui) {
    CycleSelectedPolygon(m, ui, true);
}

void ToggleCurrentVertex(model::ModelStore& m, model::UserInterface& ui) {
    if (!IsVertex(m, m.CurVert)) {
        return;
    }
    m.VertSel[m.CurVert] = Not(m.VertSel[m.CurVert]);
    ui.RequestRefresh();
}

void ToggleCurrentPolygon(model::ModelStore& m, model::UserInterface& ui) {
    if (!IsPolygon(m, m.CurPoly)) {
        return;
    }
    m.PolySel[m.CurPoly] = Not(m.PolySel[m.CurPoly]);
    ui.RequestRefresh();
}

void NextCorner(model::ModelStore& m, model::UserInterface& ui) {
    StepCorner(m, ui, false);
}

void PreviousCorner(model::ModelStore& m, model::UserInterface& ui) {
    StepCorner(m, ui, true);
}

void NextEdge(model::ModelStore& m, model::UserInterface& ui) {
    StepEdge(m, ui, false);
}

void PreviousEdge(model::ModelStore& m, model::UserInterface& ui) {
    StepEdge(m, ui, true);
}

void ToggleEdgeSelection(model::ModelStore& m, model::UserInterface& ui) {
    if (!IsPolygon(m, m.CurPoly)) {
        return;
    }
    const int n = CornerCount(m, m.CurPoly);
    if (n == 0) {
        return;
    }
    // An edge the polygon does not have would send the edge commands past its corners.
    if (m.CurEdge < 0 || m.CurEdge >= n) {
        m.CurEdge = 0;
    }
    std::int16_t& selected = m.PolySelEdge[m.CurPoly];
    selected = selected >= 0 ? std::int16_t{-1} : static_cast<std::int16_t>(m.CurEdge);
    ui.RequestRefresh();
}

void DeselectAllEdges(model::ModelStore& m, model::UserInterface& ui) {
    m.PolySelEdge.Fill(-1);
    ui.RequestRefresh();
}

// ---- Keys ---------------------------------------------------------------------------------

namespace {

const SelectionKey kSelectionKeys[] = {
    {keys::Tab, false, false, [](SelectionContext& c) { NextVertex(c.Model, c.Ui); },
     "Cycle forward through vertices"},
    {keys::Tab, true, false, [](SelectionContext& c) { PreviousVertex(c.Model, c.Ui); },
     "Cycle back through vertices"},
    {'N', false, false, [](SelectionContext& c) { NextCorner(c.Model, c.Ui); },
     "Cycle through selected polygon-vertices"},
    {'N', true, false, [](SelectionContext& c) { PreviousCorner(c.Model, c.Ui); },
     "Cycle back through selected polygon-vertices"},
    {'V', false, false, [](SelectionContext& c) { ToggleCurrentVertex(c.Model, c.Ui); },
     "Select/unselect vertex"},
    {keys::Space, false, false, [](SelectionContext& c) { NextPolygon(c.Model, c.Ui); },
     "Cycle forward through polygons"},
    {keys::Space, true, false, [](SelectionContext& c) { PreviousPolygon(c.Model, c.Ui); },
     "Cycle back through polygons"},
    {keys::Space, false, true, [](SelectionContext& c) { NextSelectedPolygon(c.Model, c.Ui); },
     "Cycle through selected polygons"},
    {keys::Space, true, true, [](SelectionContext& c) { PreviousSelectedPolygon(c.Model, c.Ui); },
     "Cycle back through selected polygons"},
    {'F', false, false, [](SelectionContext& c) { ToggleCurrentPolygon(c.Model, c.Ui); },
     "Select/unselect polygon"},
    {'Q', false, false, [](SelectionContext& c) { SelectPolysOfSelectedVerts(c.Model, c.Ui); },
     "Select polygons corresponding to selected vertices"},
    {'W', false, false, [](SelectionContext& c) { DeselectAllPolys(c.Model, c.Ui); },
     "Deselect all polygons"},
    {'A', false, false, [](SelectionContext& c) { SelectVertsOfSelectedPolys(c.Model, c.Ui); },
     "Select vertices corresponding to selected polygons"},
    {'S', false, false, [](SelectionContext& c) { DeselectAllVertices(c.Model, c.Ui); },
     "Deselect all vertices"},
    {'I', false, false, [](SelectionContext& c) { NextEdge(c.Model, c.Ui); },
     "Cycle forward through current polygon edges"},
    {'I', true, false, [](SelectionContext& c) { PreviousEdge(c.Model, c.Ui); },
     "Cycle back through current polygon edges"},
    {'O', false, false, [](SelectionContext& c) { ToggleEdgeSelection(c.Model, c.Ui); },
     "Select/unselect polygon edge"},
    {'P', false, false, [](SelectionContext& c) { DeselectAllEdges(c.Model, c.Ui); }, "Deselect all edges"},
};

} // namespace

std::span<const SelectionKey> SelectionKeys() {
    return kSelectionKeys;
}

bool HandleSelectionKey(SelectionContext& ctx, int key, bool shift, bool ctrl) {
    for (const SelectionKey& k : kSelectionKeys) {
        if (k.Key == key && k.Shift == shift && k.Ctrl == ctrl) {
            k.Op(ctx);
            return true;
        }
    }
    return false;
}

// ---- Picks --------------------------------------------------------------------------------

int SelectPolygonsAtPoint(model::ModelStore& m, const config::Settings& settings,
                          std::span<const render::ScreenPos> screen, float px, float py) {
    std::array<render::ScreenPos, model::kMaxCorners> pts{};
    int hits = 0;
    for (std::int32_t p = 0; p < UsedPolygons(m); ++p) {
        int n = 0;
        if (!IsPickable(m, settings, p) || !CornerPositions(m, screen, p, pts, n)) {
            continue;
        }
        if (OutlineContains(pts, n, px, py)) {
            m.PolySel[p] = kTrue;
            ++hits;
        }
    }
    return hits;
}

int SelectPolygonsInRect(model::ModelStore& m, model::UserInterface& ui, const config::Settings& settings,
                         std::span<const render::ScreenPos> screen, const render::PickRect& rect) {
    if (rect.Empty()) {
        return 0;
    }
    std::array<render::ScreenPos, model::kMaxCorners> pts{};
    int count = 0;
    for (std::int32_t p = 0; p < UsedPolygons(m); ++p) {
        int n = 0;
        if (!IsPickable(m, settings, p) || !CornerPositions(m, screen, p, pts, n)) {
            continue;
        }
        const auto begin = pts.begin();
        if (std::all_of(begin, begin + n, [&](const render::ScreenPos& s) { return rect.Contains(s); })) {
            m.PolySel[p] = kTrue;
            ++count;
        }
    }
    ui.RequestRefresh();
    return count;
}

int SelectRectVertices(model::ModelStore& m, model::UserInterface& ui, std::span<const int> found) {
    int count = 0;
    for (const int v : found) {
        if (IsVertex(m, v)) {
            m.VertSel[v] = kTrue;
            ++count;
        }
    }
    ui.ShowProgress(std::to_string(count) + " Vertices selected.");
    ui.RequestRefresh();
    return count;
}

bool MakePickedVertexCurrent(model::ModelStore& m, model::UserInterface& ui, const config::Settings& settings,
                             std::int32_t v) {
    if (!IsVertex(m, v)) {
        return false;
    }
    m.CurVert = v;
    if (settings.PolyMark) {
        for (std::int32_t p = 0; p < UsedPolygons(m); ++p) {
            ForEachCornerVertex(m, p, [&](std::int32_t corner) {
                if (corner == v) {
                    m.PolySel[p] = kTrue;
                }
            });
        }
    }
    ui.RequestRefresh();
    return true;
}

bool ToggleVertexSelection(model::ModelStore& m, model::UserInterface& ui, std::int32_t v) {
    if (!IsVertex(m, v)) {
        return false;
    }
    m.VertSel[v] = Not(m.VertSel[v]);
    const std::string head = "Vertex " + std::to_string(v);
    ui.ShowProgress(m.VertSel[v] != kFalse ? head + " selected." + Coordinates(m.Vert[v], "    ")
                                           : head + "  deselected.");
    ui.RequestRefresh();
    return true;
}

std::span<const render::ScreenPos> ScreenPositions(const render::WireframeView& view) {
    return {view.ScrVert.Data(), static_cast<std::size_t>(view.ScrVert.Size())};
}

std::string VertexStatus(const model::ModelStore& m, std::int32_t v) {
    if (!IsVertex(m, v)) {
        return "Vertex: No selection";
    }
    return "V: " + std::to_string(v) + Coordinates(m.Vert[v], "  ");
}

std::string PolygonStatus(const model::ModelStore& m, std::int32_t p) {
    if (!IsPolygon(m, p)) {
        return "Polygon: No selection";
    }
    const std::int32_t t = m.PolyTex[p];
    const bool named = t >= 0 && t < std::min<std::int32_t>(m.TexCount, model::kTextureCapacity);
    return "Polygon: " + std::to_string(p) + "  TEX: " + (named ? m.TexName[t] : std::string());
}

} // namespace zv::edit
