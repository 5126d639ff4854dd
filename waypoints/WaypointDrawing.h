#pragma once
// How waypoints, start positions and pit positions look in both views (colour and size by role),
// and the wireframe overlay that draws them.

#include "model/ModelStore.h"
#include "render/Overlays.h"
#include "waypoints/Waypoints.h"

namespace zv::waypoints {

// The colour (0 .. 1 per channel) and sphere radius (model units) of one drawn object.
struct MarkStyle {
    float R = 0;
    float G = 0;
    float B = 0;
    float Radius = 0;
    friend bool operator==(const MarkStyle&, const MarkStyle&) = default;
};

// Waypoint i by the first role that fits: current, previous, next, branch, pit-slot link of the
// current waypoint, then selected or not.
MarkStyle WaypointStyle(const WaypointTables& t, int i);
// Start position and pit position of slot s.
MarkStyle StartStyle(const WaypointTables& t, int s);
MarkStyle PitStyle(const WaypointTables& t, int s);

// The model position of a waypoint, and of a slot's start and pit positions (their stored
// vectors negated).
model::VertRec WaypointPosition(const WaypointTables& t, int i);
model::VertRec StartPosition(const WaypointTables& t, int s);
model::VertRec PitPosition(const WaypointTables& t, int s);

// The slots in use (SlotCount clamped to the table).
int UsedSlots(const WaypointTables& t);

// Draws the waypoints (each a filled square in its colour, linked to its next waypoint by a dim
// line) and the slots over the wireframe view, as the display switches ask.
class WaypointOverlay : public render::Overlays {
public:
    WaypointOverlay(const WaypointTables& t, const WaypointDisplay& d) : t_(t), d_(d) {}
    void DrawWaypoints(render::Canvas& canvas, const render::WireframeView& view) override;
    void DrawSlots(render::Canvas& canvas, const render::WireframeView& view) override;

private:
    const WaypointTables& t_;
    const WaypointDisplay& d_;
};

// The canvas colour of a style.
render::Colour CanvasColour(const MarkStyle& s);

} // namespace zv::waypoints
