#include "waypoints/WaypointDrawing.h"

#include "render/WireframeView.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zv::waypoints {
namespace {

constexpr MarkStyle kCurrent{1, 1, 1, 1.4f};
constexpr MarkStyle kPrevious{0, 1, 0, 1.1f};
constexpr MarkStyle kNext{0.8f, 0.6f, 0, 1.1f};
constexpr MarkStyle kBranch{0.7f, 0.5f, 0.9f, 1.0f};
constexpr MarkStyle kPitLink{0.9f, 0.5f, 0.7f, 1.0f};
constexpr MarkStyle kPlain{0, 0.5f, 0.9f, 0.7f};
constexpr MarkStyle kSelected{0.2f, 0.7f, 1, 0.7f};
constexpr MarkStyle kStart{0.7f, 0.7f, 0, 0.7f};
constexpr MarkStyle kStartSelected{1, 1, 0.5f, 0.8f};
constexpr MarkStyle kPit{0.1f, 0.9f, 0.1f, 0.7f};
constexpr MarkStyle kPitSelected{0.3f, 1, 0.3f, 0.8f};

// The driving line between waypoints: dim, so the marks stand out on it.
constexpr render::Colour kLinkColour = 0 + 256 * 70 + 65536 * 120;

// Marks further than this outside the view are not drawn; links are cut off there.
constexpr float kMargin = 16;

int HalfSize(const MarkStyle& s) {
    return static_cast<int>(std::lround(s.Radius * 3));
}

bool Finite(const render::ScreenPos& p) {
    return std::isfinite(p.X) && std::isfinite(p.Y);
}

bool InView(const render::WireframeView& view, const render::ScreenPos& p) {
    return Finite(p) && p.X >= -kMargin && p.Y >= -kMargin && p.X < view.ViewWidth + kMargin &&
           p.Y < view.ViewHeight + kMargin;
}

// The part of the segment a-b inside the view (grown by the margin), so that far-away ends
// neither cost the painter time nor turn the line when they are rounded to pixels. False when
// nothing of it is inside.
bool ClipToView(const render::WireframeView& view, render::ScreenPos& a, render::ScreenPos& b) {
    if (!Finite(a) || !Finite(b)) {
        return false;
    }
    const double dx = static_cast<double>(b.X) - a.X;
    const double dy = static_cast<double>(b.Y) - a.Y;
    double t0 = 0;
    double t1 = 1;
    // Each edge as p * t <= q (Liang and Barsky).
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {
        a.X + static_cast<double>(kMargin), view.ViewWidth + static_cast<double>(kMargin) - a.X,
        a.Y + static_cast<double>(kMargin), view.ViewHeight + static_cast<double>(kMargin) - a.Y};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) {
                return false;
            }
        } else if (p[k] < 0) {
            t0 = std::max(t0, q[k] / p[k]);
        } else {
            t1 = std::min(t1, q[k] / p[k]);
        }
    }
    if (t0 > t1) {
        return false;
    }
    const render::ScreenPos from = a;
    a = {static_cast<float>(from.X + t0 * dx), static_cast<float>(from.Y + t0 * dy)};
    b = {static_cast<float>(from.X + t1 * dx), static_cast<float>(from.Y + t1 * dy)};
    return true;
}

void Mark(render::Canvas& canvas, const render::WireframeView& view, const render::ScreenPos& p,
          const MarkStyle& s) {
    if (InView(view, p)) {
        canvas.WideDot(p.X, p.Y, 2 * HalfSize(s) + 1, CanvasColour(s));
    }
}

render::PixelPoint Pixel(const render::ScreenPos& p) {
    return {render::ToPixel(p.X), render::ToPixel(p.Y)};
}

} // namespace

MarkStyle WaypointStyle(const WaypointTables& t, int i) {
    if (i == t.CurWp) {
        return kCurrent;
    }
    if (IsWaypoint(t, t.CurWp)) {
        const auto& links = t.Wp[static_cast<std::size_t>(t.CurWp)].ptrs;
        const MarkStyle roles[] = {kPrevious, kNext, kBranch, kPitLink};
        for (std::size_t k = 0; k < links.size(); ++k) {
            if (links[k] == i) {
                return roles[k];
            }
        }
    }
    return IsWaypoint(t, i) && t.WpSel[static_cast<std::size_t>(i)] != 0 ? kSelected : kPlain;
}

MarkStyle StartStyle(const WaypointTables& t, int s) {
    return t.SlotSel[static_cast<std::size_t>(s)] != 0 ? kStartSelected : kStart;
}

MarkStyle PitStyle(const WaypointTables& t, int s) {
    return t.PitSel[static_cast<std::size_t>(s)] != 0 ? kPitSelected : kPit;
}

model::VertRec WaypointPosition(const WaypointTables& t, int i) {
    const auto& p = t.Wp[static_cast<std::size_t>(i)].pos;
    return {p[0], p[1], p[2]};
}

model::VertRec StartPosition(const WaypointTables& t, int s) {
    const auto& v = t.Slots[static_cast<std::size_t>(s)].AVPos;
    return {-v[0], -v[1], -v[2]};
}

model::VertRec PitPosition(const WaypointTables& t, int s) {
    const auto& v = t.Slots[static_cast<std::size_t>(s)].AVPitPos;
    return {-v[0], -v[1], -v[2]};
}

int UsedSlots(const WaypointTables& t) {
    return std::clamp(t.SlotCount, 0, kSlotCapacity);
}

render::Colour CanvasColour(const MarkStyle& s) {
    auto channel = [](float v) {
        return static_cast<render::Colour>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255));
    };
    return channel(s.R) + 256 * channel(s.G) + 65536 * channel(s.B);
}

void WaypointOverlay::DrawWaypoints(render::Canvas& canvas, const render::WireframeView& view) {
    const int count = std::clamp<int>(t_.WpCount, 0, kWaypointCapacity);
    if (!d_.ShowWaypoints || count == 0) {
        return;
    }
    const render::Projection project(view);
    std::vector<render::ScreenPos> screen(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        screen[static_cast<std::size_t>(i)] = project(WaypointPosition(t_, i));
    }
    std::vector<render::Segment> links;
    for (int i = 0; i < count; ++i) {
        const int next = t_.Wp[static_cast<std::size_t>(i)].ptrs[1];
        if (next < 0 || next >= count) {
            continue;
        }
        render::ScreenPos a = screen[static_cast<std::size_t>(i)];
        render::ScreenPos b = screen[static_cast<std::size_t>(next)];
        if (ClipToView(view, a, b)) {
            links.push_back({Pixel(a), Pixel(b)});
        }
    }
    if (!links.empty()) {
        canvas.Lines(kLinkColour, links);
    }
    // The current waypoint last, so its neighbours never hide it.
    for (int i = 0; i < count; ++i) {
        if (i != t_.CurWp) {
            Mark(canvas, view, screen[static_cast<std::size_t>(i)], WaypointStyle(t_, i));
        }
    }
    if (IsWaypoint(t_, t_.CurWp)) {
        Mark(canvas, view, screen[static_cast<std::size_t>(t_.CurWp)], kCurrent);
    }
}

void WaypointOverlay::DrawSlots(render::Canvas& canvas, const render::WireframeView& view) {
    if (!d_.ShowSlots) {
        return;
    }
    const render::Projection project(view);
    for (int s = 0; s < UsedSlots(t_); ++s) {
        Mark(canvas, view, project(StartPosition(t_, s)), StartStyle(t_, s));
        Mark(canvas, view, project(PitPosition(t_, s)), PitStyle(t_, s));
    }
}

} // namespace zv::waypoints
