#include "track/PathDrawing.h"

#include "render/Picking.h"

#include <cmath>
#include <vector>

namespace zv::track {
namespace {

// Marks further than this outside the view are skipped, as are lines wholly beyond it there.
constexpr float kMargin = 16;

bool Finite(const render::ScreenPos& p) {
    return std::isfinite(p.X) && std::isfinite(p.Y);
}

bool InView(const render::WireframeView& view, const render::ScreenPos& p) {
    return Finite(p) && p.X >= -kMargin && p.Y >= -kMargin && p.X < view.ViewWidth + kMargin &&
           p.Y < view.ViewHeight + kMargin;
}

// A segment both of whose ends lie beyond the same edge cannot show; a long path seen close up
// would otherwise hand the painter thousands of invisible lines.
bool MayShow(const render::WireframeView& view, const render::ScreenPos& a, const render::ScreenPos& b) {
    if (!Finite(a) || !Finite(b)) {
        return false;
    }
    const float right = view.ViewWidth + kMargin;
    const float bottom = view.ViewHeight + kMargin;
    return !((a.X < -kMargin && b.X < -kMargin) || (a.Y < -kMargin && b.Y < -kMargin) ||
             (a.X >= right && b.X >= right) || (a.Y >= bottom && b.Y >= bottom));
}

render::PixelPoint Pixel(const render::ScreenPos& p) {
    return {render::ToPixel(p.X), render::ToPixel(p.Y)};
}

// The polyline through the projected points, as segments that may show.
std::vector<render::Segment> Polyline(const render::WireframeView& view,
                                      const std::vector<render::ScreenPos>& s) {
    std::vector<render::Segment> out;
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (MayShow(view, s[i - 1], s[i])) {
            out.push_back({Pixel(s[i - 1]), Pixel(s[i])});
        }
    }
    return out;
}

void Mark(render::Canvas& canvas, const render::WireframeView& view, const render::ScreenPos& p, int width,
          render::Colour colour) {
    if (InView(view, p)) {
        canvas.WideDot(p.X, p.Y, width, colour);
    }
}

} // namespace

model::VertRec PointOf(const Vec3& p) {
    return {p[0], p[1], p[2]};
}

void PathOverlay::DrawPath(render::Canvas& canvas, const render::WireframeView& view) {
    const render::Projection project(view);
    std::vector<render::ScreenPos> screen;
    screen.reserve(p_.Pts.size());
    for (const Vec3& pt : p_.Pts) {
        screen.push_back(project(PointOf(pt)));
    }
    if (const std::vector<render::Segment> lines = Polyline(view, screen); !lines.empty()) {
        canvas.Lines(kPathColour, lines);
    }
    for (std::size_t i = 0; i < screen.size(); ++i) {
        const bool end = static_cast<int>(i) == p_.EndIndex;
        Mark(canvas, view, screen[i], end ? kPathMarkWidth + 2 : kPathMarkWidth,
             end ? kPathEndColour : kPathColour);
    }
    if (p_.Bezier.Mode) {
        DrawControlPoints(canvas, view);
    }
}

void PathOverlay::DrawControlPoints(render::Canvas& canvas, const render::WireframeView& view) const {
    const render::Projection project(view);
    std::vector<render::ScreenPos> screen;
    for (const Vec3& cp : p_.Bezier.CP) {
        screen.push_back(project(PointOf(cp)));
    }
    if (const std::vector<render::Segment> lines = Polyline(view, screen); !lines.empty()) {
        canvas.Lines(kControlLineColour, lines);
    }
    // The current point last, so a neighbour on top of it never hides it.
    for (int i = 0; i < 4; ++i) {
        if (i != p_.Bezier.Current) {
            Mark(canvas, view, screen[static_cast<std::size_t>(i)], kControlMarkWidth, kControlColour);
        }
    }
    if (p_.Bezier.Current >= 0 && p_.Bezier.Current < 4) {
        Mark(canvas, view, screen[static_cast<std::size_t>(p_.Bezier.Current)], kCurrentControlMarkWidth,
             kCurrentControlColour);
    }
}

int PickControlPoint(const PathTable& p, const render::WireframeView& view, float px, float py,
                     float radius) {
    if (!p.Bezier.Mode) {
        return -1;
    }
    const render::Projection project(view);
    return render::PickFirst(
        4, [&](int i) { return project(PointOf(p.Bezier.CP[static_cast<std::size_t>(i)])); },
        [](int) { return true; }, px, py, radius);
}

} // namespace zv::track
