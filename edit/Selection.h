#pragma once
// Selection: the selected vertices and polygons, the current vertex, polygon, corner and edge,
// and the commands, keys and view picks that change them.
//
// Every function checks the indices it takes from the store: counts are clamped to the
// capacity, cursors outside their range count as none, and a corner that is not a vertex of
// the model is never followed. Commands end with a refresh request, as every command does.

#include "config/Settings.h"
#include "model/ModelStore.h"
#include "model/UserInterface.h"
#include "render/WireframeView.h"

#include <array>
#include <cstdint>
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
void SelectAllVertices(model::ModelStore& m, model::UserInterface& ui);
// Deselects every vertex slot of the capacity, also those above VertCount.
void DeselectAllVertices(model::ModelStore& m, model::UserInterface& ui);
// Inverts vertices 0 .. VertCount - 1 only.
void InvertVertexSelection(model::ModelStore& m, model::UserInterface& ui);
// Selects every polygon slot of the capacity (not the "none" slot at -1).
void SelectAllPolys(model::ModelStore& m, model::UserInterface& ui);
// Deselects every polygon slot of the capacity.
void DeselectAllPolys(model::ModelStore& m, model::UserInterface& ui);
// Inverts polygons 0 .. PolyCount - 1 only.
void InvertPolySelection(model::ModelStore& m, model::UserInterface& ui);

// ---- Linkage between the vertex and polygon selections ------------------------------------

// Selects every polygon with at least one selected corner vertex; deselects nothing.
void SelectPolysOfSelectedVerts(model::ModelStore& m, model::UserInterface& ui);
// Selects every corner vertex of every selected polygon; deselects nothing. Needs a polygon.
void SelectVertsOfSelectedPolys(model::ModelStore& m, model::UserInterface& ui);

// ---- Selection by attribute ---------------------------------------------------------------

// Selects every polygon whose texture is t. A negative t (no texture chosen in the list)
// selects nothing.
void SelectByTexture(model::ModelStore& m, model::UserInterface& ui, std::int32_t t);

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
void SelectBendedQuads(model::ModelStore& m, model::UserInterface& ui);

// ---- Selection box ------------------------------------------------------------------------

// Fills SelBoxMin, SelBoxMax, SelCenter and SelSize from the selected vertices 0 ..
// VertCount - 1. Returns false, keeping the previous values, when none is selected.
bool ComputeSelectionBox(model::ModelStore& m);

// ---- Cursors: keys TAB, SPACE, V, F, N, I, O, P -------------------------------------------

// CurVert steps forward through the vertices and then to none; Shift steps back. A cursor
// that is not a vertex counts as none. Shows the vertex or "Vertex: No selection". Needs a
// model.
void NextVertex(model::ModelStore& m, model::UserInterface& ui);
void PreviousVertex(model::ModelStore& m, model::UserInterface& ui);

// CurPoly steps the same way through the polygons; CurCorner becomes none, and CurEdge too
// when the new polygon has no such edge. Shows the polygon or "Polygon: No selection".
void NextPolygon(model::ModelStore& m, model::UserInterface& ui);
void PreviousPolygon(model::ModelStore& m, model::UserInterface& ui);

// The next selected polygon above SelCursor (the previous one below it; from the last polygon
// when SelCursor is none) becomes SelCursor and CurPoly; with none left both become none, so
// the next press starts over.
void NextSelectedPolygon(model::ModelStore& m, model::UserInterface& ui);
void PreviousSelectedPolygon(model::ModelStore& m, model::UserInterface& ui);

// Toggles the selection of the current vertex / polygon; nothing without one.
void ToggleCurrentVertex(model::ModelStore& m, model::UserInterface& ui);
void ToggleCurrentPolygon(model::ModelStore& m, model::UserInterface& ui);

// CurCorner steps through the corners of the current polygon, wrapping to 0 after the last;
// backwards it stops at none below corner 0. The corner's vertex becomes CurVert. Nothing
// without a current polygon.
void NextCorner(model::ModelStore& m, model::UserInterface& ui);
void PreviousCorner(model::ModelStore& m, model::UserInterface& ui);

// CurEdge steps through the edges of the current polygon, wrapping at both ends. Nothing
// without a current polygon.
void NextEdge(model::ModelStore& m, model::UserInterface& ui);
void PreviousEdge(model::ModelStore& m, model::UserInterface& ui);

// Selects the current edge of the current polygon, or clears its selected edge when it has
// one. A current edge the polygon does not have becomes edge 0 first.
void ToggleEdgeSelection(model::ModelStore& m, model::UserInterface& ui);

// Clears the selected edge of every polygon slot.
void DeselectAllEdges(model::ModelStore& m, model::UserInterface& ui);

// ---- Key table ----------------------------------------------------------------------------

// Key codes independent of any toolkit: letters are their upper-case ASCII codes.
namespace keys {
inline constexpr int Tab = 9;
inline constexpr int Space = 32;
} // namespace keys

using SelectionOp = void (*)(SelectionContext&);

struct SelectionKey {
    int Key;
    bool Shift;
    bool Ctrl;
    SelectionOp Op;
    const char* Action; // the line of the key help
};

// Every selection key with its Shift and Ctrl state. Combinations not listed do nothing.
std::span<const SelectionKey> SelectionKeys();

// Runs the operation of the key; false when the combination is not a selection key.
bool HandleSelectionKey(SelectionContext& ctx, int key, bool shift, bool ctrl);

// ---- Picks of the view gestures -----------------------------------------------------------
// The screen positions are those of the last redraw (index = vertex); a vertex beyond them is
// never hit. Flag bits are those the redraw left: shown, in view and facing away.

inline constexpr float kPickRadius = 64;

// Selects every polygon drawn in view (shown and in view; not facing away while
// SelectFrontOnly is on) whose outline contains (px, py) by the crossing rule. Deselects
// nothing. Returns the number of polygons that contain the point.
int SelectPolygonsAtPoint(model::ModelStore& m, const config::Settings& settings,
                          std::span<const render::ScreenPos> screen, float px, float py);

// A rectangle between two corners in any order; Normalised() makes x1 <= x2 and y1 <= y2.
struct ScreenRect {
    float X1, Y1, X2, Y2;
    ScreenRect Normalised() const;
    bool Empty() const { return X1 == X2 || Y1 == Y2; }
};

// Adds every shown vertex in view whose position lies in [x1, x2) x [y1, y2) to the selection
// and shows the count followed by " Vertices selected.". An empty rectangle selects nothing
// and shows nothing. Returns the count.
int SelectVerticesInRect(model::ModelStore& m, model::UserInterface& ui,
                         std::span<const render::ScreenPos> screen, ScreenRect rect);

// Adds every polygon drawn in view (as for SelectPolygonsAtPoint) whose corners all lie in
// [x1, x2) x [y1, y2). An empty rectangle selects nothing. Returns the count.
int SelectPolygonsInRect(model::ModelStore& m, model::UserInterface& ui, const config::Settings& settings,
                         std::span<const render::ScreenPos> screen, ScreenRect rect);

// The first shown vertex, in index order, within the pick radius of (px, py) on both axes
// (strictly); -1 when none.
std::int32_t VertexAtPoint(const model::ModelStore& m, std::span<const render::ScreenPos> screen, float px,
                           float py);

// The edit-mode click on a vertex: the vertex under (px, py) becomes CurVert and is shown
// with its coordinates; with PolyMark on every polygon with a corner at it is selected too.
// Returns the vertex, or -1 changing nothing.
std::int32_t PickVertex(model::ModelStore& m, model::UserInterface& ui, const config::Settings& settings,
                        std::span<const render::ScreenPos> screen, float px, float py);

// The double click: toggles the selection of the vertex under (px, py) and reports it.
// Returns the vertex, or -1 changing nothing.
std::int32_t ToggleVertexAtPoint(model::ModelStore& m, model::UserInterface& ui,
                                 std::span<const render::ScreenPos> screen, float px, float py);

// The rectangle of the views: polygons in polygon mode, vertices otherwise. Returns the count.
int RectSelect(model::ModelStore& m, model::UserInterface& ui, const config::Settings& settings,
               std::span<const render::ScreenPos> screen, ScreenRect rect);

// The positions a view's last redraw left, as the picks take them.
std::span<const render::ScreenPos> ScreenPositions(const render::WireframeView& view);

// Status texts of the read-outs.
std::string VertexStatus(const model::ModelStore& m, std::int32_t v);
std::string PolygonStatus(const model::ModelStore& m, std::int32_t p);

} // namespace zv::edit
