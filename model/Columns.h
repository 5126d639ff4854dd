#pragma once
// The one list of the store's per-vertex and per-polygon columns, and everything that works on
// whole rows through it: moving and copying rows, setting up a fresh row, capturing a range of
// rows and swapping it back. Deletions, compaction, the edit history and the tests all go
// through these, so a column can never be forgotten by one of them.
//
// Also the range helpers every operation uses on indices taken from the store.

#include "model/ModelStore.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zv::model {

// Calls f(table) for every per-vertex column, in a fixed order.
template <class Store, class F> void ForEachVertexColumn(Store& m, F&& f) {
    f(m.Vert);
    f(m.VertSel);
    f(m.VertFlag);
    f(m.VertUsed);
}

// Calls f(table) for every per-polygon column, in a fixed order. The corner columns hold all
// 16 corners of a row.
template <class Store, class F> void ForEachPolygonColumn(Store& m, F&& f) {
    f(m.PolyVCount);
    f(m.PolyVert);
    f(m.PolyTU);
    f(m.PolyTV);
    f(m.PolyTex);
    f(m.PolyType);
    f(m.PolyR);
    f(m.PolyG);
    f(m.PolyB);
    f(m.PolyA);
    f(m.PolyNX);
    f(m.PolyNY);
    f(m.PolyNZ);
    f(m.PolyD);
    f(m.PolyCenter);
    f(m.PolySel);
    f(m.PolyFlag);
    f(m.PolySelEdge);
    f(m.PolyMark);
    f(m.PolyMark2);
}

// Bytes of one vertex row and of one polygon row over all columns.
std::size_t VertexRowBytes(const ModelStore& m);
std::size_t PolygonRowBytes(const ModelStore& m);

// Copies row from onto row to in every column (from and to inside the capacity).
void CopyVertexRow(ModelStore& m, int from, int to);
void CopyPolygonRow(ModelStore& m, int from, int to);

// Moves count rows starting at from to start at to (overlapping ranges allowed), every column.
void MoveVertexRows(ModelStore& m, int from, int to, int count);
void MovePolygonRows(ModelStore& m, int from, int to, int count);

// Packs the rows first .. end - 1 whose drop flag (drop[i] for row i) is clear down from row
// first, keeping their order, in every column; returns the row after the last packed one. Rows
// from there to end keep stale contents.
int CompactPolygonRows(ModelStore& m, int first, int end, std::span<const std::uint8_t> drop);

// Gives row i the values of a new element in every column: a vertex at the origin, shown, not
// selected, unmarked; a polygon with three corners at vertex 0, no texture coordinates, texture
// 0, type 0, colour 0, zero normal, plane and centre, shown, not selected, no selected edge,
// unmarked. A command that adds an element sets it up this way before filling it in.
void ClearVertexRow(ModelStore& m, int i);
void ClearPolygonRow(ModelStore& m, int p);

// A copy of rows First .. First + Count - 1 of every column of one kind, column after column.
struct RowBlock {
    int First = 0;
    int Count = 0;
    std::vector<std::byte> Bytes;
    std::size_t Size() const { return Bytes.size(); }
};

// Captures a range of rows; the range is clamped to the capacity.
RowBlock CaptureVertexRows(const ModelStore& m, int first, int count);
RowBlock CapturePolygonRows(const ModelStore& m, int first, int count);
// The corner vertex column alone (all 16 corners of each row), for commands that renumber
// corners and change nothing else of a polygon.
RowBlock CaptureCornerVertices(const ModelStore& m, int first, int count);

// Exchanges the block with the rows it was captured from: the store gets the block's values
// and the block the store's, so swapping again undoes the swap.
void SwapVertexRows(ModelStore& m, RowBlock& block);
void SwapPolygonRows(ModelStore& m, RowBlock& block);
void SwapCornerVertices(ModelStore& m, RowBlock& block);

// ---- Ranges of the model in use ------------------------------------------------------------

// The vertices and polygons in use, clamped to the capacity (0 without a model).
inline int UsedVertices(const ModelStore& m) {
    return m.VertCount < 0 ? 0 : m.VertCount > kVertexCapacity ? kVertexCapacity : m.VertCount;
}
inline int UsedPolygons(const ModelStore& m) {
    return m.PolyCount < 0 ? 0 : m.PolyCount > kPolygonCapacity ? kPolygonCapacity : m.PolyCount;
}
// v is a vertex of the model / p a polygon of the model.
inline bool IsVertex(const ModelStore& m, std::int32_t v) {
    return v >= 0 && v < UsedVertices(m);
}
inline bool IsPolygon(const ModelStore& m, std::int32_t p) {
    return p >= 0 && p < UsedPolygons(m);
}
// The corner count of polygon p clamped to 0 .. 16.
inline int CornerCount(const ModelStore& m, std::int32_t p) {
    const std::int32_t n = m.PolyVCount[p];
    return n < 0 ? 0 : n > kMaxCorners ? kMaxCorners : n;
}
// Every corner of p (its count clamped) is a vertex of the model.
bool CornersAreVertices(const ModelStore& m, std::int32_t p);
// At least three corners, at most 16, all of them vertices: the normal routines can run.
bool HasSoundCorners(const ModelStore& m, std::int32_t p);

// Calls f(v) for every corner vertex of polygon p that is a vertex of the model.
template <class F> void ForEachCornerVertex(const ModelStore& m, std::int32_t p, F&& f) {
    const int corners = CornerCount(m, p);
    for (int k = 0; k < corners; ++k) {
        const std::int32_t v = m.PolyVert(p, k);
        if (IsVertex(m, v)) {
            f(v);
        }
    }
}

} // namespace zv::model
