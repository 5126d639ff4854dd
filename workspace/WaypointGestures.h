#pragma once
// The waypoint edit mode's part of the wireframe gestures and nudge keys, the distance read-out
// from the current waypoint and centring the wireframe view on it.

#include "edit/Change.h"
#include "render/Navigation.h"
#include "workspace/Gestures.h"
#include "workspace/Workspace.h"

#include <optional>
#include <string>

namespace zv {

// One wireframe event in waypoint edit mode. A left press on a waypoint makes it current; on an
// unselected waypoint, start or pit position it clears the three selections and selects it
// alone (with Ctrl it joins the selection); the press starts a drag that moves the selection
// (TranslateWaypoints) as one collated step. While Bezier editing is on, a press on none of
// these picks a control point ("BezierCP: " and its number from 1), makes it current, and its
// drag moves it (MoveBezierPoint) as one collated step. A press on none of these picks a dummy
// object ("Dummy Object "): an unselected one becomes the only selected dummy (Ctrl joins) and
// the drag moves the selected dummies as one collated step. A band selects the waypoints inside
// (never deselects), a double click toggles the object under the cursor (waypoints before
// dummies). The status line reports each.
edit::Change ApplyWaypointEffect(Workspace& ws, GestureState& g, const render::ViewEffect& e);

// The nudge keys in waypoint edit mode: "translate" moves the selection by the step along the
// key's axis, "scale" multiplies the axis coordinate of the selected waypoints (the minus key
// divides), "rotate" does nothing (the key is taken all the same). nullopt with no tool.
std::optional<edit::Change> NudgeWaypoints(Workspace& ws, NudgeKey key, bool shift, bool ctrl);

// In the top and bottom views (orientations 2 and 3): WpDist becomes the distance over x and z
// from the current waypoint to the model point under (px, py), and the text is "Dist: " and
// the first 9 characters of WpDist rounded to 2 decimals. nullopt in other views or without a
// current waypoint (WpDist is then left as it was).
std::optional<std::string> ShowWaypointDistance(Workspace& ws, float px, float py);

// The wireframe view's centre moves to the current waypoint; what to redraw (nothing without a
// current waypoint).
render::ViewEffect CenterOnWaypoint(Workspace& ws);

} // namespace zv
