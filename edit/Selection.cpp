#include "edit/Selection.h"

#include "config/ConfigFormat.h"
#include "model/Columns.h"
#include "model/Normals.h"

#include <algorithm>
#include <cmath>

namespace zv::edit {
namespace {

using model::kFalse;
using model::kTrue;

using model::CornerCount;
using model::ForEachCornerVertex;
using model::HasSoundCorners;
using model::IsPolygon;
using model::IsVertex;
using model::UsedPolygons;
using model::UsedVertices;

model::Bool16 Not(model::Bool16 b) {
    return b != kFalse ? kFalse : kTrue;
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

Change SetCurrentPolygon(model::ModelStore& m, model::UserInterface& ui, std::int32_t p) {
    m.CurCorner = -1;
    m.CurPoly = p;
    FitEdgeToPolygon(m);
    ui.ShowProgress(PolygonStatus(m, p));
    return Change::Selection;
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

Change CycleVertex(model::ModelStore& m, model::UserInterface& ui, bool back) {
    if (m.VertCount < 0) {
        return kNoChange;
    }
    m.CurVert = StepThroughNone(m.CurVert, UsedVertices(m), back);
    ui.ShowProgress(VertexStatus(m, m.CurVert));
    return Change::Selection;
}

Change CyclePolygon(model::ModelStore& m, model::UserInterface& ui, bool back) {
    if (m.PolyCount < 0) {
        return kNoChange;
    }
    return SetCurrentPolygon(m, ui, StepThroughNone(m.CurPoly, UsedPolygons(m), back));
}

Change CycleSelectedPolygon(model::ModelStore& m, model::UserInterface& ui, bool back) {
    if (m.PolyCount < 0) {
        return kNoChange;
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
    return SetCurrentPolygon(m, ui, found);
}

Change StepCorner(model::ModelStore& m, model::UserInterface& ui, bool back) {
    if (!IsPolygon(m, m.CurPoly)) {
        return kNoChange;
    }
    const int n = CornerCount(m, m.CurPoly);
    if (n == 0) {
        return kNoChange;
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
    return Change::Selection;
}

Change StepEdge(model::ModelStore& m, model::UserInterface& /*ui*/, bool back) {
    if (!IsPolygon(m, m.CurPoly)) {
        return kNoChange;
    }
    const int n = CornerCount(m, m.CurPoly);
    if (n == 0) {
        return kNoChange;
    }
    std::int32_t e = back ? m.CurEdge - 1 : m.CurEdge + 1;
    if (back) {
        e = e < 0 || e > n - 1 ? n - 1 : e;
    } else {
        e = e < 0 || e > n - 1 ? 0 : e;
    }
    m.CurEdge = e;
    return Change::Selection;
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

Change SelectAllVertices(model::ModelStore& m, model::UserInterface& /*ui*/) {
    SetVertexRange(m, UsedVertices(m), kTrue);
    return Change::Selection;
}

Change DeselectAllVertices(model::ModelStore& m, model::UserInterface& /*ui*/) {
    m.VertSel.Fill(kFalse);
    return Change::Selection;
}

Change InvertVertexSelection(model::ModelStore& m, model::UserInterface& /*ui*/) {
    for (std::int32_t i = 0; i < UsedVertices(m); ++i) {
        m.VertSel[i] = Not(m.VertSel[i]);
    }
    return Change::Selection;
}

Change SelectAllPolys(model::ModelStore& m, model::UserInterface& /*ui*/) {
    // The slot at -1 stays clear: it answers for "no current polygon".
    SetPolygonRange(m, model::kPolygonCapacity, kTrue);
    return Change::Selection;
}

Change DeselectAllPolys(model::ModelStore& m, model::UserInterface& /*ui*/) {
    m.PolySel.Fill(kFalse);
    return Change::Selection;
}

Change InvertPolySelection(model::ModelStore& m, model::UserInterface& /*ui*/) {
    for (std::int32_t p = 0; p < UsedPolygons(m); ++p) {
        m.PolySel[p] = Not(m.PolySel[p]);
    }
    return Change::Selection;
}

// ---- Linkage ------------------------------------------------------------------------------

Change SelectPolysOfSelectedVerts(model::ModelStore& m, model::UserInterface& /*ui*/) {
    for (std::int32_t p = 0; p < UsedPolygons(m); ++p) {
        ForEachCornerVertex(m, p, [&](std::int32_t v) {
            if (m.VertSel[v] != kFalse) {
                m.PolySel[p] = kTrue;
            }
        });
    }
    return Change::Selection;
}

Change SelectVertsOfSelectedPolys(model::ModelStore& m, model::UserInterface& /*ui*/) {
    if (m.PolyCount < 1) {
        return kNoChange;
    }
    for (std::int32_t p = 0; p < UsedPolygons(m); ++p) {
        if (m.PolySel[p] != kFalse) {
            ForEachCornerVertex(m, p, [&](std::int32_t v) { m.VertSel[v] = kTrue; });
        }
    }
    return Change::Selection;
}

// ---- By attribute -------------------------------------------------------------------------

Change SelectByTexture(model::ModelStore& m, model::UserInterface& /*ui*/, std::int32_t t) {
    if (t < 0) {
        return kNoChange;
    }
    for (std::int32_t p = 0; p < UsedPolygons(m); ++p) {
        if (m.PolyTex[p] == t) {
            m.PolySel[p] = kTrue;
        }
    }
    return Change::Selection;
}

double SelectByFacing(model::ModelStore& m, model::UserInterface& /*ui*/, double angleDegrees,
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
    return c;
}

Change SelectBendedQuads(model::ModelStore& m, model::UserInterface& /*ui*/) {
    if (m.PolyCount < 1) {
        return kNoChange;
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
    return Change::Selection;
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

Change NextVertex(model::ModelStore& m, model::UserInterface& ui) {
    return CycleVertex(m, ui, false);
}

Change PreviousVertex(model::ModelStore& m, model::UserInterface& ui) {
    return CycleVertex(m, ui, true);
}

Change NextPolygon(model::ModelStore& m, model::UserInterface& ui) {
    return CyclePolygon(m, ui, false);
}

Change PreviousPolygon(model::ModelStore& m, model::UserInterface& ui) {
    return CyclePolygon(m, ui, true);
}

Change NextSelectedPolygon(model::ModelStore& m, model::UserInterface& ui) {
    return CycleSelectedPolygon(m, ui, false);
}

Change PreviousSelectedPolygon(model::ModelStore& m, model::UserInterface& ui) {
    return CycleSelectedPolygon(m, ui, true);
}

Change ToggleCurrentVertex(model::ModelStore& m, model::UserInterface& /*ui*/) {
    if (!IsVertex(m, m.CurVert)) {
        return kNoChange;
    }
    m.VertSel[m.CurVert] = Not(m.VertSel[m.CurVert]);
    return Change::Selection;
}

Change ToggleCurrentPolygon(model::ModelStore& m, model::UserInterface& /*ui*/) {
    if (!IsPolygon(m, m.CurPoly)) {
        return kNoChange;
    }
    m.PolySel[m.CurPoly] = Not(m.PolySel[m.CurPoly]);
    return Change::Selection;
}

Change NextCorner(model::ModelStore& m, model::UserInterface& ui) {
    return StepCorner(m, ui, false);
}

Change PreviousCorner(model::ModelStore& m, model::UserInterface& ui) {
    return StepCorner(m, ui, true);
}

Change NextEdge(model::ModelStore& m, model::UserInterface& ui) {
    return StepEdge(m, ui, false);
}

Change PreviousEdge(model::ModelStore& m, model::UserInterface& ui) {
    return StepEdge(m, ui, true);
}

Change ToggleEdgeSelection(model::ModelStore& m, model::UserInterface& /*ui*/) {
    if (!IsPolygon(m, m.CurPoly)) {
        return kNoChange;
    }
    const int n = CornerCount(m, m.CurPoly);
    if (n == 0) {
        return kNoChange;
    }
    // An edge the polygon does not have would send the edge commands past its corners.
    if (m.CurEdge < 0 || m.CurEdge >= n) {
        m.CurEdge = 0;
    }
    std::int16_t& selected = m.PolySelEdge[m.CurPoly];
    selected = selected >= 0 ? std::int16_t{-1} : static_cast<std::int16_t>(m.CurEdge);
    return Change::Selection;
}

Change DeselectAllEdges(model::ModelStore& m, model::UserInterface& /*ui*/) {
    m.PolySelEdge.Fill(-1);
    return Change::Selection;
}

// ---- Keys ---------------------------------------------------------------------------------

namespace {

const SelectionKey kSelectionKeys[] = {
    {keys::Tab, false, false, [](SelectionContext& c) { return NextVertex(c.Model, c.Ui); },
     "Cycle forward through vertices"},
    {keys::Tab, true, false, [](SelectionContext& c) { return PreviousVertex(c.Model, c.Ui); },
     "Cycle back through vertices"},
    {'N', false, false, [](SelectionContext& c) { return NextCorner(c.Model, c.Ui); },
     "Cycle through selected polygon-vertices"},
    {'N', true, false, [](SelectionContext& c) { return PreviousCorner(c.Model, c.Ui); },
     "Cycle back through selected polygon-vertices"},
    {'V', false, false, [](SelectionContext& c) { return ToggleCurrentVertex(c.Model, c.Ui); },
     "Select/unselect vertex"},
    {keys::Space, false, false, [](SelectionContext& c) { return NextPolygon(c.Model, c.Ui); },
     "Cycle forward through polygons"},
    {keys::Space, true, false, [](SelectionContext& c) { return PreviousPolygon(c.Model, c.Ui); },
     "Cycle back through polygons"},
    {keys::Space, false, true, [](SelectionContext& c) { return NextSelectedPolygon(c.Model, c.Ui); },
     "Cycle through selected polygons"},
    {keys::Space, true, true, [](SelectionContext& c) { return PreviousSelectedPolygon(c.Model, c.Ui); },
     "Cycle back through selected polygons"},
    {'F', false, false, [](SelectionContext& c) { return ToggleCurrentPolygon(c.Model, c.Ui); },
     "Select/unselect polygon"},
    {'Q', false, false, [](SelectionContext& c) { return SelectPolysOfSelectedVerts(c.Model, c.Ui); },
     "Select polygons corresponding to selected vertices"},
    {'W', false, false, [](SelectionContext& c) { return DeselectAllPolys(c.Model, c.Ui); },
     "Deselect all polygons"},
    {'A', false, false, [](SelectionContext& c) { return SelectVertsOfSelectedPolys(c.Model, c.Ui); },
     "Select vertices corresponding to selected polygons"},
    {'S', false, false, [](SelectionContext& c) { return DeselectAllVertices(c.Model, c.Ui); },
     "Deselect all vertices"},
    {'I', false, false, [](SelectionContext& c) { return NextEdge(c.Model, c.Ui); },
     "Cycle forward through current polygon edges"},
    {'I', true, false, [](SelectionContext& c) { return PreviousEdge(c.Model, c.Ui); },
     "Cycle back through current polygon edges"},
    {'O', false, false, [](SelectionContext& c) { return ToggleEdgeSelection(c.Model, c.Ui); },
     "Select/unselect polygon edge"},
    {'P', false, false, [](SelectionContext& c) { return DeselectAllEdges(c.Model, c.Ui); },
     "Deselect all edges"},
};

} // namespace

std::span<const SelectionKey> SelectionKeys() {
    return kSelectionKeys;
}

std::optional<Change> HandleSelectionKey(SelectionContext& ctx, int key, bool shift, bool ctrl) {
    for (const SelectionKey& k : kSelectionKeys) {
        if (k.Key == key && k.Shift == shift && k.Ctrl == ctrl) {
            return k.Op(ctx);
        }
    }
    return std::nullopt;
}

// ---- Picks --------------------------------------------------------------------------------

int SelectPolygonsAtPoint(model::ModelStore& m, const config::Settings& settings,
                          const render::WireframeView& view, float px, float py) {
    const std::vector<int> found = render::PolygonsAtPoint(view, m, settings.SelectFrontOnly, px, py);
    for (const int p : found) {
        m.PolySel[p] = kTrue;
    }
    return static_cast<int>(found.size());
}

int SelectPolygonsInRect(model::ModelStore& m, model::UserInterface& /*ui*/, const config::Settings& settings,
                         const render::WireframeView& view, const render::PickRect& rect) {
    const std::vector<int> found = render::PolygonsInRect(view, m, settings.SelectFrontOnly, rect);
    for (const int p : found) {
        m.PolySel[p] = kTrue;
    }
    return static_cast<int>(found.size());
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
    return count;
}

bool MakePickedVertexCurrent(model::ModelStore& m, model::UserInterface& /*ui*/,
                             const config::Settings& settings, std::int32_t v) {
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
