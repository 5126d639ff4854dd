#pragma once
// Picking on the wireframe view: the square pick rule around the cursor, the first shown
// vertex under it, and the rubber band rectangle with the vertices inside it. Everything reads
// the projected positions and flags the last redraw left; nothing changes the selection.

#include "model/ModelStore.h"
#include "render/WireframeView.h"

#include <cmath>
#include <string>
#include <vector>

namespace zv::render {

// True when a projected position is less than radius pixels from (px, py) on both axes (strict,
// so an object exactly at the radius is missed). NaN positions are never hit.
inline bool IsHit(const ScreenPos& s, float px, float py, float radius) {
    return std::abs(s.X - px) < radius && std::abs(s.Y - py) < radius;
}

// The first index 0 .. count - 1 whose object is shown (shown(i)) and hit by the pick rule at
// the position position(i); -1 when none. For waypoints, slots and other overlays.
template <typename PositionFn, typename ShownFn>
int PickFirst(int count, PositionFn position, ShownFn shown, float px, float py, float radius) {
    for (int i = 0; i < count; ++i) {
        if (shown(i) && IsHit(position(i), px, py, radius)) {
            return i;
        }
    }
    return -1;
}

// The first vertex with the shown flag (value 1) under (px, py) by its position in ScrVert;
// -1 when none or there is no model. VertCount is clamped to the capacity.
int PickVertex(const WireframeView& view, const model::ModelStore& m, float px, float py, float radius);

// A rectangle in pixels, normalised: X1 <= X2 and Y1 <= Y2.
struct PickRect {
    float X1 = 0;
    float Y1 = 0;
    float X2 = 0;
    float Y2 = 0;
    bool Empty() const { return !(X2 > X1) || !(Y2 > Y1); }
    // Half-open: the left and top edges are inside, the right and bottom edges are not.
    bool Contains(const ScreenPos& s) const { return s.X >= X1 && s.X < X2 && s.Y >= Y1 && s.Y < Y2; }
    friend bool operator==(const PickRect&, const PickRect&) = default;
};

// The rectangle between two corners dragged in any direction.
PickRect NormaliseRect(float ax, float ay, float bx, float by);

// Every vertex shown (value 1, from the model) and in view (value 2, from the last redraw)
// inside rect, in index order; none for an empty rectangle.
std::vector<int> VerticesInRect(const WireframeView& view, const model::ModelStore& m, const PickRect& rect);

// The polygons drawn in view (shown and in view; not facing away while frontOnly) whose
// outline contains (px, py) by the crossing rule, in index order. A polygon with a corner that
// is no vertex is never picked.
std::vector<int> PolygonsAtPoint(const WireframeView& view, const model::ModelStore& m, bool frontOnly,
                                 float px, float py);

// The polygons drawn in view (as for PolygonsAtPoint) whose corners all lie in the normalised,
// half-open rectangle; none for an empty one.
std::vector<int> PolygonsInRect(const WireframeView& view, const model::ModelStore& m, bool frontOnly,
                                const PickRect& rect);

// The status line of a picked vertex: "Vertex: " index, "    x: ", "  y: ", "  z: " and the
// coordinates in their shortest form. An index outside the model gives an empty text.
std::string VertexPickText(const model::ModelStore& m, int v);

// The status line after a rectangle selection: count and " Vertices selected.".
std::string RectSelectText(int count);

} // namespace zv::render
