#pragma once
// The vertex commands and transforms written out literally, quadratic loops and all, to check
// the fast operations against on random models. Nothing here checks its input or shows a
// message: callers pass a sound model (every corner a vertex) and values the command accepts.

#include "model/ModelStore.h"

#include <array>

namespace zv::test {

using Triple = std::array<double, 3>;
using AxisSwitches = std::array<bool, 3>;

// Deletes the current vertex, moving one vertex at a time and rescanning every corner of every
// polygon for each moved vertex. Returns false, changing nothing, when a corner uses it.
bool LiteralDeleteVertex(model::ModelStore& m);

// Passes until one finds no unused vertex: VertUsed cleared over the whole capacity and marked
// from the corners, then each unused slot, examined again after every step, takes the last
// vertex (or the count drops when it is the last itself).
void LiteralDeleteUnusedVertices(model::ModelStore& m);

// Weld through a redirect table, then one rewrite of every corner.
void LiteralWeldVertices(model::ModelStore& m, double t);

// Join comparing every ordered pair, positions changing during the walk.
void LiteralJoinVertices(model::ModelStore& m, double t);

void LiteralSnapToGrid(model::ModelStore& m, double g);
void LiteralSnapToPosition(model::ModelStore& m, const Triple& value, const AxisSwitches& axes);
void LiteralMoveGroupToPosition(model::ModelStore& m, const model::Point3d& centre, const Triple& value,
                                const AxisSwitches& axes);

// Resize and translate act on the selected vertices or, without selectedOnly, on all of them.
void LiteralResize(model::ModelStore& m, const Triple& factors, bool selectedOnly);
void LiteralTranslate(model::ModelStore& m, const Triple& offsets, bool selectedOnly);

// Turns the selected vertices about X, then Y, then Z (degrees), about the centre of their
// box when aboutCentre is set.
void LiteralRotate(model::ModelStore& m, const Triple& degrees, bool aboutCentre);

} // namespace zv::test
