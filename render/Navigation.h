#pragma once
// Mouse navigation of the two views as plain functions over the view state: the gestures of
// the wireframe view in each toolbar mode, the camera drags of the OpenGL view and the view
// commands of the main toolbar. Nothing here draws or changes the selection; every function
// returns what the window has to do (redraw, show a rectangle, apply a pick).
//
// Positions are device pixels. The constants below are the classic logical-unit values
// divided by 15 logical units per pixel.

#include "model/ModelStore.h"
#include "render/CursorReadout.h"
#include "render/Picking.h"
#include "render/WireframeView.h"
#include "render/gl/ViewRules.h"

#include <cstdint>
#include <optional>
#include <string>

namespace zv::render {

// Half the side of the pick square: 64 logical units.
inline constexpr float kPickRadius = 64.0f / 15.0f;
// Mouse travel per degree of rotation: 32 logical units.
inline constexpr float kPixelsPerDegree = 32.0f / 15.0f;
// Zoom limits, in pixels per model unit: 0.01 and 1000000 logical units per model unit.
inline constexpr float kMinZoom = 0.01f / 15.0f;
inline constexpr float kMaxZoom = 1000000.0f / 15.0f;
// Zoom of the fit commands when the extent is 0: 50 logical units per model unit.
inline constexpr float kEmptyExtentZoom = 50.0f / 15.0f;
// Zoom factor of one click, and with Shift.
inline constexpr float kZoomStep = 1.1f;
inline constexpr float kFineZoomStep = 1.01f;
// Limit of the OpenGL camera distance (either sign).
inline constexpr float kMaxGlDist = 1000000.0f;

enum class MouseButton { None, Left, Right, Middle };

struct Modifiers {
    bool Shift = false;
    bool Ctrl = false;
};

// The mode buttons of the main toolbar.
enum class ToolMode { Camera, EditVertex, EditWaypoint };

// Drag kinds of the wireframe view (DragKind) and of the OpenGL view (GLDragKind).
inline constexpr int kDragNone = 0;
inline constexpr int kDragLeft = 1;  // rotate (camera) or pick and move (edit)
inline constexpr int kDragRight = 2; // pan (camera) or rubber band (edit)
inline constexpr int kGlDragNone = 0;
inline constexpr int kGlDragRotate = 1;
inline constexpr int kGlDragZoom = 2;

// Mouse state of both views.
struct MouseState {
    float MouseX = 0; // position of the last press, the reference for the click test
    float MouseY = 0;
    float DragLastX = 0; // position at the previous drag step
    float DragLastY = 0;
    int DragKind = kDragNone;
    float PickRadius = kPickRadius;
    int GLDragKind = kGlDragNone;
    float GLLastX = 0;
    float GLLastY = 0;
    // True while a rubber band is being dragged; its release is never a click.
    bool BandActive = false;
    // The model coordinates under the cursor on the two shown axes, as of the last move.
    ModelUnderCursor CursorModel;
};

// A press, move, release or double click on a view.
struct MouseEvent {
    MouseButton Button = MouseButton::None;
    Modifiers Mods;
    float X = 0;
    float Y = 0;
};

// One drag step of an edit mode: the caller moves the picked object by the difference.
struct DragStep {
    float FromX = 0;
    float FromY = 0;
    float ToX = 0;
    float ToY = 0;
};

// A click of an edit mode at a position, for the caller's own picks (waypoints, polygons).
struct ClickAt {
    MouseButton Button = MouseButton::None;
    Modifiers Mods;
    float X = 0;
    float Y = 0;
    bool Double = false;
};

// What the window does after one event or command.
struct ViewEffect {
    bool RedrawWireframe = false; // DrawView1
    bool RedrawAll = false;       // Draw_All_Views
    bool RedrawGl = false;        // Display
    bool RefreshZoomLabel = false;
    bool RebuildPointList = false;   // the vertex points, whose size follows GLDist
    bool OrientationChanged = false; // caption, indicator and reset coordinate labels
    std::optional<CursorReadout> Readout;
    std::optional<std::string> Status;
    // Edit modes: the vertex the press or double click picked (-1: none), vertex mode only.
    std::optional<int> PickedVertex;
    std::optional<ClickAt> Click;
    std::optional<DragStep> Drag;
    // The rubber band to show now (press point to cursor), replacing the one shown before.
    std::optional<PickRect> Band;
    bool RemoveBand = false;
    // The released rubber band, when it is not empty; the caller selects what is inside.
    std::optional<PickRect> SelectRect;
};

// ---- Wireframe view ------------------------------------------------------------------------

// Button press: remembers the position; the left button starts drag kind 1, the right kind 2,
// others nothing. Edit modes: the left button picks (vertex mode: the first shown vertex under
// the cursor, reported in the status line); the right button starts a rubber band.
ViewEffect View1ButtonDown(MouseState& ms, WireframeView& view, const model::ModelStore& m, ToolMode mode,
                           const MouseEvent& e);

// Move: always the cursor read-out and CursorModel. Camera mode: drag kind 1 rotates (ViewRotY with x,
// ViewRotX with y, wrapped to 0 .. 359), kind 2 pans the centre on the shown axes. Edit modes: kind 1 gives a
// drag step, kind 2 the rubber band to show.
ViewEffect View1Move(MouseState& ms, WireframeView& view, ToolMode mode, const MouseEvent& e);

// Release: ends the drag. Camera mode: a release of the pressing button exactly at the press
// point zooms in (left) or out (right) by kZoomStep (kFineZoomStep with Shift) within
// kMinZoom .. kMaxZoom. Edit modes: a rubber band ends and, when not empty, is returned for
// selecting.
ViewEffect View1ButtonUp(MouseState& ms, WireframeView& view, ToolMode mode, const MouseEvent& e);

// Double click: in the edit modes, the object under the cursor is the caller's to toggle
// (vertex mode: PickedVertex). Camera mode: a press, as the double click stands in for the
// second click's press, so its release zooms again.
ViewEffect View1DoubleClick(MouseState& ms, WireframeView& view, const model::ModelStore& m, ToolMode mode,
                            const MouseEvent& e);

// An angle after a rotate step: below 0 becomes 359, above 359 becomes 0, NaN becomes 0.
float WrapViewAngle(float degrees);

// The zoom after one click step; stays within kMinZoom .. kMaxZoom (NaN gives the default).
float ZoomStep(float zoom, bool zoomIn, bool fine);

// ---- OpenGL view ---------------------------------------------------------------------------

// Press: left starts rotating, right zooming; remembers the position.
ViewEffect GlButtonDown(MouseState& ms, const MouseEvent& e);

// Move: rotating adds dx to GLYaw and dy to GLPitch (pixels as degrees, wrapped to 0 .. 360);
// zooming adds dy times the step of GlDistStep to GLDist, kept within ±kMaxGlDist.
ViewEffect GlMove(MouseState& ms, gl::Camera& cam, const MouseEvent& e);

// Release: ends the drag; after zooming the vertex point list is rebuilt.
ViewEffect GlButtonUp(MouseState& ms, const MouseEvent& e);

// GLDist change per pixel: 0.01 while |GLDist| < 10, 0.25 while below 150, 2 beyond.
float GlDistStep(float glDist);

// A camera angle after a step: below 0 becomes 360, above 360 becomes 0, NaN becomes 0.
float WrapGlAngle(float degrees);

// ---- View commands of the main toolbar ------------------------------------------------------

// "Reset view to axis": centre at the origin, the view fitted to twice the largest absolute
// coordinate on each shown axis, offsets at the middle of the view. A view without area keeps
// its zoom; NaN and infinite coordinates are ignored.
ViewEffect ResetViewToAxis(WireframeView& view, const model::ModelStore& m);

// "Center view to extents": centre and fit to the bounding box of all vertices (times 1.1). No
// vertices: as ResetViewToAxis.
ViewEffect CenterToExtents(WireframeView& view, const model::ModelStore& m);

// "Center view to selection": the same for the selected vertices; none selected: as
// CenterToExtents.
ViewEffect CenterToSelection(WireframeView& view, const model::ModelStore& m);

// "Reset View Rotation": the angles of the current orientation.
ViewEffect ResetRotation(WireframeView& view);

// "Window1 View Direction": the next orientation (5 is followed by 0) with its angles.
ViewEffect CycleOrientation(WireframeView& view);

} // namespace zv::render
