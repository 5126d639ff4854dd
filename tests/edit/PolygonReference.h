#pragma once
// The polygon commands written out literally, one polygon at a time: every deletion moves the
// rows above it down one slot and rescans every part, passes repeat until no mark is left,
// merging compares every ordered pair. The fast commands must give exactly what these give.
//
// These follow the rules as the program keeps them (three different vertices to merge, texture
// coordinates of their own for split corners, no stale cursors) but check no capacity and show
// no message: callers pass models where everything fits.

#include "model/ModelStore.h"

#include <cstdint>

namespace zv::test {

void LiteralDeletePolygon(model::ModelStore& m, std::int32_t p);
void LiteralDeleteSelected(model::ModelStore& m);
void LiteralRemoveWrong(model::ModelStore& m);
void LiteralFlipSelected(model::ModelStore& m);
void LiteralMirrorSelected(model::ModelStore& m);
void LiteralRotateSelected(model::ModelStore& m);
void LiteralCopyToBackside(model::ModelStore& m);
// Returns false when the polygon cannot be split (it stays).
bool LiteralSplitPolygon(model::ModelStore& m, std::int32_t p, std::int32_t e);
void LiteralSplitSelected(model::ModelStore& m);
void LiteralMergeTriangles(model::ModelStore& m);
void LiteralExtrudeEdges(model::ModelStore& m);

} // namespace zv::test
