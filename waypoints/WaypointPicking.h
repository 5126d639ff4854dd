#pragma once
// Picking waypoints, start positions and pit positions on the wireframe view by the square pick
// rule, the rubber band over waypoints, the double-click toggle, and their status-line texts.

#include "edit/Change.h"
#include "render/Picking.h"
#include "render/WireframeView.h"
#include "waypoints/Waypoints.h"

#include <string>
#include <vector>

namespace zv::waypoints {

enum class WpObject { None, Waypoint, Start, Pit };

struct WpPick {
    WpObject Kind = WpObject::None;
    int Index = -1;
    friend bool operator==(const WpPick&, const WpPick&) = default;
};

// The first shown object under (px, py): waypoints (while shown), then start positions, then pit
// positions (while slots are shown), each in index order. Kind None when nothing is hit.
WpPick PickWaypointObject(const WaypointTables& t, const WaypointDisplay& d,
                          const render::WireframeView& view, float px, float py, float radius);

// "Waypoint: ", "Start Position: " or "Pit Position: " with the index, then "    x: ", "  y: ",
// "  z: " and the model coordinates; empty for no object.
std::string PickText(const WaypointTables& t, const WpPick& p);

// The shown waypoints whose projection lies in the half-open rectangle, in index order.
std::vector<int> WaypointsInRect(const WaypointTables& t, const WaypointDisplay& d,
                                 const render::WireframeView& view, const render::PickRect& rect);
// Selects them (never deselects) and returns the status text: count and " points selected.".
std::string SelectWaypoints(WaypointTables& t, const std::vector<int>& which);

// Toggles the selection of the picked object; returns "Waypoint ", "Start Position " or
// "Pit Position " with the index and " selected." or "  deselected."; empty for no object.
std::string TogglePicked(WaypointTables& t, const WpPick& p);

// Makes the picked object the one a drag moves: a waypoint becomes current; an unselected
// object becomes the only selected one (with add, it joins the selection). Returns what
// changed (Selection), nothing for no object.
edit::Change PressOnObject(WaypointTables& t, const WpPick& p, bool add);

} // namespace zv::waypoints
