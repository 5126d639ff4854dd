#pragma once
// How the path and the Bezier control points look over the wireframe view, and picking the
// control points there.

#include "render/Overlays.h"
#include "render/WireframeView.h"
#include "track/Path.h"

namespace zv::track {

// The path's look: the line through its points, a small mark on every point, and, while Bezier
// editing is on, the control polygon and its four points with the current one larger.
inline constexpr render::Colour kPathColour = 255 + 256 * 200;          // amber
inline constexpr render::Colour kPathEndColour = 255 + 256 * 80;        // the builder's end point
inline constexpr render::Colour kControlColour = 255 + 65536 * 255;     // magenta
inline constexpr render::Colour kCurrentControlColour = 0xFFFFFF;       // white
inline constexpr render::Colour kControlLineColour = 160 + 65536 * 160; // dim magenta
inline constexpr int kPathMarkWidth = 3;
inline constexpr int kControlMarkWidth = 7;
inline constexpr int kCurrentControlMarkWidth = 9;

// The model position of a path point or control point as the projection takes it.
model::VertRec PointOf(const Vec3& p);

// Draws the path (and the control points while Bezier editing is on) over the wireframe view.
class PathOverlay : public render::Overlays {
public:
    explicit PathOverlay(const PathTable& p) : p_(p) {}
    void DrawPath(render::Canvas& canvas, const render::WireframeView& view) override;

private:
    void DrawControlPoints(render::Canvas& canvas, const render::WireframeView& view) const;
    const PathTable& p_;
};

// The first control point (0 .. 3) under (px, py) by the square pick rule while Bezier editing
// is on; -1 when none is hit or editing is off.
int PickControlPoint(const PathTable& p, const render::WireframeView& view, float px, float py, float radius);

} // namespace zv::track
