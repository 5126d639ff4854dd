#pragma once
// What the mouse gestures of the wireframe view and the editing keys mean in each working mode,
// without any toolkit: the window turns its events into render::ViewEffect values and keys,
// and these functions apply them to the document and return what changed, so the window
// refreshes once per event.

#include "edit/Change.h"
#include "render/Navigation.h"
#include "workspace/Workspace.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace zv {

// The state of a gesture that spans several events: the vertex drag of edit mode and the
// waypoint drag of waypoint edit mode.
struct GestureState {
    std::uint64_t NextGesture = 1;
    int DragVertex = -1;        // the picked vertex being dragged, -1 none
    bool DragSelection = false; // it is selected: the whole selection moves with it
    model::VertRec DragStart;   // its position at the press
    float PressX = 0;           // the press point
    float PressY = 0;
    std::uint64_t DragId = 0; // collation key of the drag's one step
    bool DragWaypoints = false; // a waypoint, start or pit position was picked: the selection moves
    double WpMovedH = 0;        // model distance the waypoint drag has moved so far, on the
    double WpMovedV = 0;        // view's horizontal and vertical axes
    int DragControl = -1;       // the picked Bezier control point being dragged, -1 none
    bool DragDummies = false;   // a dummy object was picked: the selected dummies move
    bool Building = false;      // the track builder's left-button drag is on
    float BuilderPiece = 8;     // the track builder's piece length (its depth field)
    bool HasPick = false;       // a left press in an edit mode has given PickX, PickZ
    float PickX = 0;            // the ground point (x, z) of that press
    float PickZ = 0;
};

// Applies the picks, rubber band, double click and drag of one wireframe event in the working
// mode: picking makes a vertex current (and starts a drag of it), a polygon click or band selects
// polygons in polygon select mode, a band selects vertices, a double click toggles a vertex, and
// a drag step moves the picked vertex (with the selection when it is selected) as one collated
// step, snapped to the snap grid when "Snap Vertices" is on. A release ends the drag. In
// waypoint edit mode the same gestures pick, select, toggle and drag waypoints, start and pit
// positions (ApplyWaypointEffect).
edit::Change ApplyViewEffect(Workspace& ws, GestureState& g, const render::ViewEffect& e, bool release);

// The nudge keys: Insert / Delete along +X / -X, Home / End along +Y / -Y, Page Up / Page Down
// along +Z / -Z.
enum class NudgeKey { PlusX, MinusX, PlusY, MinusY, PlusZ, MinusZ };

// Steps of the nudge keys: plain, Shift, Ctrl, Shift and Ctrl.
inline constexpr double kNudgeSteps[4] = {0.005, 0.1, 5, 20};
// Degrees of one rotate nudge, and the factor of one scale nudge (its key's opposite divides).
inline constexpr double kNudgeDegrees[4] = {1, 5, 15, 90};
inline constexpr double kNudgeFactors[4] = {1.0204, 1.25, 1.005, 1.002};

// A nudge key. Outside waypoint edit mode, while "toggle_vert" is pressed, the selected vertices
// move by the step along the key's axis ("translate"), turn about the selection centre around
// it ("rotate"), or scale along it about the selection centre ("scale"). In waypoint edit mode
// (NudgeWaypoints) the selected waypoints, start and pit positions move ("translate") or the
// selected waypoints' coordinate of the axis is scaled ("scale"). A run of nudges is one
// step. nullopt when the key does nothing in the current state.
std::optional<edit::Change> Nudge(Workspace& ws, NudgeKey key, bool shift, bool ctrl);

// Ctrl V: a vertex at the model point under the cursor (the hidden axis at the view centre's
// value), made current. Nothing at the vertex limit.
edit::Change AddVertexAtCursor(Workspace& ws, const render::ModelUnderCursor& cursor);

// The ground point (x, z) under the cursor: the two shown axes from the cursor, the hidden one
// at the view centre's value.
std::array<float, 2> GroundUnderCursor(const Workspace& ws, const render::ModelUnderCursor& cursor);

// The track builder draws the path: edit mode with the "create_part" tool. Its press picks no
// vertex; a left-button drag extends the path by pieces of g.BuilderPiece (ExtendPath) as one
// collated step per drag.
bool TrackBuilderActive(const Workspace& ws);
// "Dist: " and the ground distance from the path's end point to the screen point, to 1 decimal;
// nullopt without a path.
std::optional<std::string> BuilderDistance(const Workspace& ws, float px, float py);

// Ctrl R: a new path of one point at the ground point under the cursor; the status text is
// "1st Point at  X: " x "  Z: " z (6 decimals, cut to 8 characters). Ctrl T: a point appended
// there. Each is one step.
edit::Change NewPathAtCursor(Workspace& ws, const render::ModelUnderCursor& cursor);
std::string FirstPointText(float x, float z);
edit::Change AppendPathAtCursor(Workspace& ws, const render::ModelUnderCursor& cursor);

// The working mode as the navigation functions know it.
render::ToolMode ToolModeOf(WorkMode mode);

} // namespace zv
