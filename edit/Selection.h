#pragma once
// Selection: the selected vertices and polygons, the current vertex, polygon, corner and edge,
// and the commands, keys and view picks that change them.
//
// Every function checks the indices it takes from the store: counts are clamped to the
// capacity, cursors outside their range count as none, and a corner that is not a vertex of
// the model is never followed. Commands return what they changed; the caller refreshes. A
// selection change is not a step of the edit history.

#include "config/Settings.h"
#include "edit/Change.h"
#include "model/ModelStore.h"
#include "model/UserInterface.h"
#include "render/Picking.h"
#include "render/WireframeView.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace zv::edit {

// What the commands work on. The settings are read only.
struct SelectionContext {
    model::ModelStore& Model;
    const config::Settings& Settings;
    model::UserInterface& Ui;
};

// ---- Whole-table commands -----------------------------------------------------------------

// Selects vertices 0 .. VertCount - 1. Slots above stay as they are.
Change SelectAllVertices(model::ModelStore& m, model::UserInterface& ui);
// Deselects every vertex slot of the capacity, also those above VertCount.
Change DeselectAllVertices(model::ModelStore& m, model::UserInterface& ui);
// Inverts vertices 0 .. VertCount - 1 only.
Change InvertVertexSelection(model::ModelStore& m, model::UserInterface& ui);
// Selects every polygon slot of the capacity (not the "none" slot at -1).
Change SelectAllPolys(model::ModelStore& m, model::UserInterface& ui);
// Deselects every polygon slot of the capacity.
Change DeselectAllPolys(model::ModelStore& m, model::UserInterface& ui);
// Inverts polygons 0 .. PolyCount - 1 only.
Change InvertPolySelection(model::ModelStore& m, model::UserInterface& ui);

// ---- Linkage between the vertex and polygon selections ------------------------------------

// Selects every polygon with at least one selected corner vertex; deselects nothing.
Change SelectPolysOfSelectedVerts(model::ModelStore& m, model::UserInterface& ui);
// Selects every corner vertex of every selected polygon; deselects nothing. Needs a polygon.
Change SelectVertsOfSelectedPolys(model::ModelStore& m, model::UserInterface& ui);

// ---- Selection by attribute ---------------------------------------------------------------

// Selects every polygon whose texture is t. A negative t (no texture chosen in the list)
// selects nothing.
Change SelectByTexture(model::ModelStore& m, model::UserInterface& ui, std::int32_t t);

// Which normal component each of the six boxes tests: +X, -X, +Y, -Y, +Z, -Z.
using FacingBoxes = std::array<bool, 6>;

// Recomputes the normals, then selects every polygon whose normal component of a checked box
// is below c = cos(|180 - angle| degrees). Returns c, which the panel shows. Polygons with a
// corner that is not a vertex keep their normal and are not selected.
double SelectByFacing(model::ModelStore& m, model::UserInterface& ui, double angleDegrees,
                      const FacingBoxes& boxes);

// Selects every quad whose normals from corners 0, 1, 2 and from 1, 2, 3 differ by more than
// 0.0054 in the size of any component; both normals are computed into the quad, the second
// stays. Needs a polygon; quads with a corner that is not a vertex are skipped.
Change SelectBendedQuads(model::ModelStore& m, model::UserInterface& ui);

// ---- Selection box ------------------------------------------------------------------------

// Fills SelBoxMin, SelBoxMax, SelCenter and SelSize from the selected vertices 0 ..
// VertCount - 1. Returns false, keeping the previous values, when none is selected.
bool ComputeSelectionBox(model::ModelStore& m);

// ---- Cursors: keys TAB, SPACE, V, F, N, I, O, P -------------------------------------------

// CurVert steps forward through the vertices and then to none; Shift steps back, from none to
// the last vertex. A cursor past the last vertex steps forward to none and back to the last
// vertex. Shows the vertex or "Vertex: No selection". Needs a model.
Change NextVertex(model::ModelStore& m, model::UserInterface& ui);
Change PreviousVertex(model::ModelStore& m, model::UserInterface& ui);

// CurPoly steps the same way through the polygons; CurCorner becomes none, and CurEdge too
// when the new polygon has no such edge. Shows the polygon or "Polygon: No selection".
Change NextPolygon(model::ModelStore& m, model::UserInterface& ui);
Change PreviousPolygon(model::ModelStore& m, model::UserInterface& ui);

// The next selected polygon above SelCursor (the previous one below it; from the last polygon
// when SelCursor is none) becomes SelCursor and CurPoly; with none left both become none, so
// the next press starts over.
Change NextSelectedPolygon(model::ModelStore& m, model::UserInterface& ui);
Change PreviousSelectedPolygon(model::ModelStore& m, model::UserInterface& ui);

// Toggles the selection of the current vertex / polygon; nothing without one.
Change ToggleCurrentVertex(model::ModelStore& m, model::UserInterface& ui);
Change ToggleCurrentPolygon(model::ModelStore& m, model::UserInterface& ui);

// CurCorner steps through the corners of the current polygon, wrapping to 0 after the last;
// backwards it stops at none below corner 0. The corner's vertex becomes CurVert. Nothing
// without a current polygon.
Change NextCorner(model::ModelStore& m, model::UserInterface& ui);
Change PreviousCorner(model::ModelStore& m, model::UserInterface& ui);

// CurEdge steps through the edges of the current polygon, wrapping at both ends. Nothing
// without a current polygon.
Change NextEdge(model::ModelStore& m, model::UserInterface& ui);
Change PreviousEdge(model::ModelStore& m, model::UserInterface& ui);

// Selects the current edge of the current polygon, or clears its selected edge when it has
// one. A current edge the polygon does not have becomes edge 0 first.
Change ToggleEdgeSelection(model::ModelStore& m, model::UserInterface& ui);

// Clears the selected edge of every polygon slot.
Change DeselectAllEdges(model::ModelStore& m, model::UserInterface& ui);

// ---- Key table ----------------------------------------------------------------------------

// Key codes independent of any toolkit: letters are their upper-case ASCII codes.
namespace keys {
inline constexpr int Tab = 9;
inline constexpr int Space = 32;
} // namespace keys

using SelectionOp = Change (*)(SelectionContext&);

struct SelectionKey {
    int Key;
    bool Shift;
    bool Ctrl;
    SelectionOp Op;
    const char* Action; // the line of the key help
};

// Every selection key with its Shift and Ctrl state. Combinations not listed do nothing.
std::span<const SelectionKey> SelectionKeys();

// Runs the operation of the key and returns what changed; nullopt when the combination is not
// a selection key.
std::optional<Change> HandleSelectionKey(SelectionContext& ctx, int key, bool shift, bool ctrl);

// ---- Picks of the view gestures -----------------------------------------------------------
// What lies under the cursor is found by render/Picking.h; these apply a pick to the
// selection. Screen positions are those the view's last redraw left (index = vertex); a corner
// that is no vertex keeps its polygon out of every pick. Flag bits combine the model's shown
// flag with the in-view and facing-away flags of that redraw.

// Selects every polygon drawn in view (shown and in view; not facing away while
// SelectFrontOnly is on) whose outline contains (px, py) by the crossing rule. Deselects
// nothing; the caller redraws. Returns the number of polygons that contain the point.
int SelectPolygonsAtPoint(model::ModelStore& m, const config::Settings& settings,
                          const render::WireframeView& view, float px, float py);

// Adds every polygon drawn in view (as for SelectPolygonsAtPoint) whose corners all lie in the
// normalised, half-open rectangle. An empty rectangle selects nothing. Returns the count.
int SelectPolygonsInRect(model::ModelStore& m, model::UserInterface& ui, const config::Settings& settings,
                         const render::WireframeView& view, const render::PickRect& rect);

// Adds the vertices a rubber band found to the selection and shows their count followed by
// " Vertices selected.". Indices that are no vertex are skipped and not counted. Returns the
// count.
int SelectRectVertices(model::ModelStore& m, model::UserInterface& ui, std::span<const int> found);

// The edit-mode click picked vertex v: it becomes CurVert; with PolyMark on, every polygon
// with a corner at v is selected too. Returns false, changing nothing, when v is no vertex.
bool MakePickedVertexCurrent(model::ModelStore& m, model::UserInterface& ui, const config::Settings& settings,
                             std::int32_t v);

// The double click on vertex v: toggles its selection and reports "Vertex " v " selected."
// with its coordinates, or "  deselected.". Returns false, changing nothing, when v is no
// vertex.
bool ToggleVertexSelection(model::ModelStore& m, model::UserInterface& ui, std::int32_t v);

// The positions a view's last redraw left, as the picks take them.
std::span<const render::ScreenPos> ScreenPositions(const render::WireframeView& view);

// Status texts of the read-outs.
std::string VertexStatus(const model::ModelStore& m, std::int32_t v);
std::string PolygonStatus(const model::ModelStore& m, std::int32_t p);

} // namespace zv::edit
