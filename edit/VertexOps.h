#pragma once
// The vertex commands: add, change, go to, delete, delete the unused ones, weld, join, snap to
// a position or the grid, move the selection to a position.
//
// Each takes the store and the recorder of the step it runs in, declares what it will change
// before changing it, and returns what changed (nothing when it was refused or found nothing
// to do). Only vertices 0 .. VertCount - 1 take part: selection flags above the count are
// ignored. Messages go through the user-interface port.

#include "edit/Change.h"
#include "edit/History.h"
#include "model/ModelStore.h"
#include "model/UserInterface.h"

#include <array>
#include <string_view>

namespace zv::edit {

// Which of X, Y, Z a snap or move applies to.
using Axes = std::array<bool, 3>;
using Vec3 = std::array<double, 3>;

// The most vertices a model can have; the table holds one slot more.
inline constexpr int kMaxVertices = 80000;

// Appends a vertex at p, shown and not selected, and makes it the current vertex. Without a
// model the store first becomes an empty model. At kMaxVertices it shows "Can't add," CR
// "80000 vertices is the limit !" (title "Add Vertex") and changes nothing.
Change AddVertex(model::ModelStore& m, Recorder& rec, model::UserInterface& ui, const model::VertRec& p);

// The same for Ctrl V (a vertex at the point under the mouse): at the limit it does nothing.
Change AddVertexAtPointer(model::ModelStore& m, Recorder& rec, const model::VertRec& p);

// Overwrites the position of the current vertex; nothing without one.
Change ChangeVertex(model::ModelStore& m, Recorder& rec, const model::VertRec& p);

// Makes vertex n (rounded half to even) the current vertex. A number that does not round to
// 0 .. VertCount - 1 shows "Vertex " text " doesn't exist ! " (title "Goto Vertex ERROR").
// A cursor move, not a step.
Change GotoVertex(model::ModelStore& m, model::UserInterface& ui, double n, std::string_view text);

// Deletes the current vertex. A vertex some corner uses is refused with "Can't delete," CR
// "corresponding Polygon(s) !" (title "Delete Vertex"). The vertices after it move down one
// slot with all their columns and every corner is renumbered; CurVert keeps its value (the
// vertex that followed), or becomes none when the last vertex was deleted. Nothing without a
// current vertex.
Change DeleteVertex(model::ModelStore& m, Recorder& rec, model::UserInterface& ui);

// Removes every vertex no corner uses: each hole, lowest first, is filled with the last used
// vertex (vertex order is not kept) and its corners follow. A current vertex past the new
// count becomes none.
Change DeleteUnusedVertices(model::ModelStore& m, Recorder& rec);

// Selected vertices are close when they differ by at most t on each axis. Weld: each selected
// vertex not yet redirected, in ascending order, takes every close selected vertex not yet
// redirected; corners of the taken vertices move to it (the taken vertices stay, unused).
// Join: each selected vertex in ascending order copies its position into every selected
// vertex close to it as positions stand at that moment; no corner changes. A negative or
// non-numeric t shows "Tolerance must be a number of 0 or more !" under title and changes
// nothing.
Change WeldVertices(model::ModelStore& m, Recorder& rec, model::UserInterface& ui, double t);
Change JoinVertices(model::ModelStore& m, Recorder& rec, model::UserInterface& ui, double t);

// Each selected vertex gets the value of each chosen axis.
Change SnapToPosition(model::ModelStore& m, Recorder& rec, const Vec3& value, const Axes& axes);

// Each selected vertex moves on each chosen axis by value - centre, so the centre of the
// selection box (as computed when the panel opened) lands on value.
Change MoveGroupToPosition(model::ModelStore& m, Recorder& rec, const model::Point3d& centre,
                           const Vec3& value, const Axes& axes);

// Moves each coordinate of each selected vertex to a line of the grid g: towards zero unless
// it lies at least 0.51 g beyond the nearer line. A g that is not a number above 0 shows
// "Snap grid size must be a number above 0 !" (title "Snap to Grid") and changes nothing.
Change SnapToGrid(model::ModelStore& m, Recorder& rec, model::UserInterface& ui, double g);

// One coordinate snapped to the grid g > 0 (the rule of SnapToGrid).
float SnapCoordinate(float c, double g);

} // namespace zv::edit
