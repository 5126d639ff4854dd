#pragma once
// Hooks through which the waypoint, dummy, path and track-builder code draws over the
// wireframe view. Each hook decides itself whether it has anything to show; the defaults draw
// nothing.

#include "render/Canvas.h"

namespace zv::render {

struct WireframeView;

class Overlays {
public:
    virtual ~Overlays() = default;
    // AI waypoints, when they are to be displayed.
    virtual void DrawWaypoints(Canvas&, const WireframeView&) {}
    // Start and pit slots, when they are to be displayed.
    virtual void DrawSlots(Canvas&, const WireframeView&) {}
    // Dummy objects, when any exist.
    virtual void DrawDummies(Canvas&, const WireframeView&) {}
    // The path, when one exists.
    virtual void DrawPath(Canvas&, const WireframeView&) {}
    // The track-builder overlay, while the builder is active.
    virtual void DrawTrackBuilder(Canvas&, const WireframeView&) {}
};

} // namespace zv::render
