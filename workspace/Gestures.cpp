#include "workspace/Gestures.h"

#include "edit/Selection.h"
#include "edit/Transforms.h"
#include "edit/VertexOps.h"
#include "model/Columns.h"
#include "render/CursorReadout.h"
#include "render/Picking.h"
#include "track/PathOps.h"
#include "workspace/Commands.h"
#include "workspace/WaypointGestures.h"

#include <cmath>

namespace zv {
namespace {

constexpr const char* kDragStep = "Move Vertices";
constexpr const char* kNudgeStep = "Nudge";
constexpr const char* kBuildStep = "Draw Path";

float& Coordinate(model::VertRec& v, render::Axis a) {
    return a == render::Axis::X ? v.X : a == render::Axis::Y ? v.Y : v.Z;
}

// The position the dragged vertex should have under the cursor: its start moved by the model
// distance from the press point, on the two axes the view shows, snapped when asked.
model::VertRec DragTarget(const Workspace& ws, const GestureState& g, float x, float y) {
    const render::ModelUnderCursor from = render::ScreenToModel(ws.View1, g.PressX, g.PressY);
    const render::ModelUnderCursor to = render::ScreenToModel(ws.View1, x, y);
    const render::ShownAxes axes = render::AxesOf(ws.View1.ViewOrient);
    model::VertRec target = g.DragStart;
    float& h = Coordinate(target, axes.Horizontal);
    float& v = Coordinate(target, axes.Vertical);
    h = static_cast<float>(static_cast<double>(h) + (static_cast<double>(to.Horizontal) - from.Horizontal));
    v = static_cast<float>(static_cast<double>(v) + (static_cast<double>(to.Vertical) - from.Vertical));
    const double grid = ws.Settings.Grid.SnapGridSize;
    if (ws.Settings.Grid.SnapVertices && grid > 0 && std::isfinite(grid)) {
        h = static_cast<float>(std::round(h / grid) * grid);
        v = static_cast<float>(std::round(v / grid) * grid);
    }
    return target;
}

edit::Change DragTo(Workspace& ws, GestureState& g, float x, float y) {
    model::ModelStore& m = ws.Model;
    if (!model::IsVertex(m, g.DragVertex)) {
        g.DragVertex = -1;
        return edit::kNoChange;
    }
    const model::VertRec target = DragTarget(ws, g, x, y);
    const model::VertRec now = m.Vert[g.DragVertex];
    const edit::Vec3 offset{static_cast<double>(target.X) - now.X, static_cast<double>(target.Y) - now.Y,
                            static_cast<double>(target.Z) - now.Z};
    if (offset == edit::Vec3{0, 0, 0} || !std::isfinite(offset[0] + offset[1] + offset[2])) {
        return edit::kNoChange;
    }
    return RunStep(ws, kDragStep,
                   [&](edit::Recorder& rec) {
                       if (g.DragSelection) {
                           return edit::MoveSelected(m, rec, offset);
                       }
                       const int keep = m.CurVert;
                       m.CurVert = g.DragVertex;
                       const edit::Change c = edit::ChangeVertex(m, rec, target);
                       m.CurVert = keep;
                       return c;
                   },
                   {kDragStep, g.DragId});
}

// The track builder's part of one event: a left press starts a drag, each drag step extends
// the path towards the cursor.
edit::Change BuildPath(Workspace& ws, GestureState& g, const render::ViewEffect& e) {
    if (e.Click && !e.Click->Double && e.Click->Button == render::MouseButton::Left) {
        ws.History.StopCollating();
        g.Building = true;
        g.DragId = g.NextGesture++;
    }
    if (!e.Drag || !g.Building) {
        return edit::kNoChange;
    }
    const std::array<float, 2> to =
        GroundUnderCursor(ws, render::ScreenToModel(ws.View1, e.Drag->ToX, e.Drag->ToY));
    return RunStep(ws, kBuildStep,
                   [&](edit::Recorder& rec) {
                       return track::ExtendPath(ws.Ui, ws.Path, rec, to[0], to[1], g.BuilderPiece);
                   },
                   {kBuildStep, g.DragId});
}

int StepIndex(bool shift, bool ctrl) {
    return (shift ? 1 : 0) + (ctrl ? 2 : 0);
}

} // namespace

render::ToolMode ToolModeOf(WorkMode mode) {
    switch (mode) {
    case WorkMode::Camera:
        return render::ToolMode::Camera;
    case WorkMode::EditWaypoint:
        return render::ToolMode::EditWaypoint;
    default:
        return render::ToolMode::EditVertex;
    }
}

edit::Change ApplyViewEffect(Workspace& ws, GestureState& g, const render::ViewEffect& e, bool release) {
    model::ModelStore& m = ws.Model;
    edit::Change changed;
    const bool modelMode = ToolModeOf(ws.Mode) == render::ToolMode::EditVertex;
    const bool twice = e.Click && e.Click->Double;
    if (e.Click && !twice && e.Click->Button == render::MouseButton::Left) {
        const std::array<float, 2> at =
            GroundUnderCursor(ws, render::ScreenToModel(ws.View1, e.Click->X, e.Click->Y));
        g.HasPick = true;
        g.PickX = at[0];
        g.PickZ = at[1];
    }
    if (TrackBuilderActive(ws)) {
        changed |= BuildPath(ws, g, e);
    } else if (e.PickedVertex && *e.PickedVertex >= 0 && modelMode) {
        const int v = *e.PickedVertex;
        if (twice) {
            changed |= edit::ToggleVertexSelection(m, ws.Ui, v) ? edit::Change::Selection : 0u;
        } else if (edit::MakePickedVertexCurrent(m, ws.Ui, ws.Settings, v)) {
            changed |= edit::Change::Selection;
            ws.History.StopCollating();
            g.DragVertex = ws.Settings.SelectMode == 0 ? v : -1;
            g.DragSelection = m.VertSel[v] != model::kFalse;
            g.DragStart = m.Vert[v];
            g.PressX = e.Click ? e.Click->X : 0;
            g.PressY = e.Click ? e.Click->Y : 0;
            g.DragId = g.NextGesture++;
        }
    }
    // Polygons are the target of the click even next to a vertex, or small ones could never be
    // picked; the press of a double click has picked them already.
    if (e.Click && !twice && ws.Settings.SelectMode == 1 && modelMode && !TrackBuilderActive(ws)) {
        if (edit::SelectPolygonsAtPoint(m, ws.Settings, ws.View1, e.Click->X, e.Click->Y) > 0) {
            changed |= edit::Change::Selection;
        }
    }
    // The waypoint mode's band selects waypoints, never the model's vertices or polygons.
    if (e.SelectRect && modelMode) {
        if (ws.Settings.SelectMode == 1) {
            edit::SelectPolygonsInRect(m, ws.Ui, ws.Settings, ws.View1, *e.SelectRect);
        } else {
            edit::SelectRectVertices(m, ws.Ui, render::VerticesInRect(ws.View1, m, *e.SelectRect));
        }
        changed |= edit::Change::Selection;
    }
    if (e.Drag && modelMode && g.DragVertex >= 0 && !TrackBuilderActive(ws)) {
        changed |= DragTo(ws, g, e.Drag->ToX, e.Drag->ToY);
    }
    if (ws.Mode == WorkMode::EditWaypoint) {
        changed |= ApplyWaypointEffect(ws, g, e);
    }
    if (release) {
        g.DragVertex = -1;
        g.DragWaypoints = false;
        g.DragControl = -1;
        g.DragDummies = false;
        g.Building = false;
        ws.History.StopCollating();
    }
    return changed;
}

std::optional<edit::Change> Nudge(Workspace& ws, NudgeKey key, bool shift, bool ctrl) {
    if (ws.Mode == WorkMode::EditWaypoint) {
        return NudgeWaypoints(ws, key, shift, ctrl);
    }
    if (!ws.Tools.SelectedOnly || ws.Tools.Active == TransformTools::Tool::None) {
        return std::nullopt;
    }
    const int axis = static_cast<int>(key) / 2;
    const bool minus = static_cast<int>(key) % 2 == 1;
    const int i = StepIndex(shift, ctrl);
    model::ModelStore& m = ws.Model;
    return RunStep(ws, kNudgeStep,
                   [&](edit::Recorder& rec) {
                       switch (ws.Tools.Active) {
                       case TransformTools::Tool::Translate: {
                           edit::Vec3 offset{0, 0, 0};
                           offset[static_cast<std::size_t>(axis)] = minus ? -kNudgeSteps[i] : kNudgeSteps[i];
                           return edit::MoveSelected(m, rec, offset);
                       }
                       case TransformTools::Tool::Rotate:
                           return edit::RotateSelectedAbout(m, rec, axis,
                                                            minus ? -kNudgeDegrees[i] : kNudgeDegrees[i]);
                       case TransformTools::Tool::Scale:
                           return edit::ScaleSelectedAlong(m, rec, axis,
                                                           minus ? 1 / kNudgeFactors[i] : kNudgeFactors[i]);
                       default:
                           return edit::kNoChange;
                       }
                   },
                   {kNudgeStep, 0});
}

edit::Change AddVertexAtCursor(Workspace& ws, const render::ModelUnderCursor& cursor) {
    const render::ShownAxes axes = render::AxesOf(ws.View1.ViewOrient);
    model::VertRec p{ws.View1.ViewCenterX, ws.View1.ViewCenterY, ws.View1.ViewCenterZ};
    Coordinate(p, axes.Horizontal) = cursor.Horizontal;
    Coordinate(p, axes.Vertical) = cursor.Vertical;
    return RunStep(ws, "Add Vertex",
                   [&](edit::Recorder& rec) { return edit::AddVertexAtPointer(ws.Model, rec, p); });
}

std::array<float, 2> GroundUnderCursor(const Workspace& ws, const render::ModelUnderCursor& cursor) {
    const render::ShownAxes axes = render::AxesOf(ws.View1.ViewOrient);
    model::VertRec p{ws.View1.ViewCenterX, ws.View1.ViewCenterY, ws.View1.ViewCenterZ};
    Coordinate(p, axes.Horizontal) = cursor.Horizontal;
    Coordinate(p, axes.Vertical) = cursor.Vertical;
    return {p.X, p.Z};
}

bool TrackBuilderActive(const Workspace& ws) {
    return ws.Mode == WorkMode::EditVertex && ws.Sub == SubMode::TrackBuilder;
}

std::optional<std::string> BuilderDistance(const Workspace& ws, float px, float py) {
    if (ws.Path.Pts.empty()) {
        return std::nullopt;
    }
    const std::array<float, 2> at = GroundUnderCursor(ws, render::ScreenToModel(ws.View1, px, py));
    return "Dist: " + render::FormatGeneral(track::DistanceFromEnd(ws.Path, at[0], at[1]), 1);
}

edit::Change NewPathAtCursor(Workspace& ws, const render::ModelUnderCursor& cursor) {
    const std::array<float, 2> at = GroundUnderCursor(ws, cursor);
    return RunStep(ws, "New Path",
                   [&](edit::Recorder& rec) { return track::NewPath(ws.Path, rec, at[0], at[1]); });
}

std::string FirstPointText(float x, float z) {
    return "1st Point at  X: " + render::CutTo(render::FormatGeneral(x, 6), 8) +
           "  Z: " + render::CutTo(render::FormatGeneral(z, 6), 8);
}

edit::Change AppendPathAtCursor(Workspace& ws, const render::ModelUnderCursor& cursor) {
    const std::array<float, 2> at = GroundUnderCursor(ws, cursor);
    return RunStep(ws, "Add Path Point", [&](edit::Recorder& rec) {
        return track::AppendPathPoint(ws.Ui, ws.Path, rec, at[0], at[1]);
    });
}

} // namespace zv
