#pragma once
// Polygon normals, plane constants, polygon centres and vertex normals.

#include "model/ModelStore.h"

namespace zv::model {

// Normal and plane constant of polygon p from corners 0, 1, 2 (Newell sum in double
// precision). The stored normal is the negated unit Newell normal; collinear corners give a
// zero normal and plane constant 0. NrmX/Y/Z(p) get the components rounded to 6 decimals.
void CalcPolyNormal(ModelStore& m, int p);
// The same from corners 1, 2, 3 (for quads). A triangle wraps to corners 1, 2, 0, since it
// has no corner 3.
void CalcPolyNormal2(ModelStore& m, int p);
// PolyCenter of every polygon: the centre of its corners' bounding box.
void CalcPolyCenters(ModelStore& m);
// NrmX/Y/Z(v) of every vertex: the mean of the polygon normals over the corners that use v;
// (0, 0, 0) for a vertex no polygon uses.
// Corners that are no vertex of the model are skipped.
void CalcVertexNormals(ModelStore& m);
// The normal of every polygon whose corners are all vertices of the model, then the vertex
// normals. Returns the number of polygons left out.
int RecalcNormals(ModelStore& m);

} // namespace zv::model
