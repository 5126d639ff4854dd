#include "workspace/WaypointGestures.h"

#include "config/ConfigFormat.h"
#include "render/CursorReadout.h"
#include "track/PathDrawing.h"
#include "track/Dummies.h"
#include "track/PathOps.h"
#include "waypoints/WaypointDrawing.h"
#include "waypoints/WaypointOps.h"
#include "waypoints/WaypointPicking.h"
#include "workspace/Commands.h"

#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zv {
namespace {

constexpr const char* kDragStep = "Move Waypoints";
constexpr const char* kNudgeStep = "Nudge Waypoints";
constexpr const char* kBezierStep = "Move Bezier Point";
constexpr const char* kDummyStep = "Move Dummies";

std::size_t AxisIndex(render::Axis a) {
    return static_cast<std::size_t>(a);
}

edit::Change Translate(Workspace& ws, const std::array<double, 3>& d, edit::CollateKey key) {
    const std::string name = key.Kind;
    return RunStep(
        ws, name,
        [&](edit::Recorder& rec) {
            return waypoints::TranslateWaypoints(ws.Waypoints, ws.WpDisplay, rec, static_cast<float>(d[0]),
                                                 static_cast<float>(d[1]), static_cast<float>(d[2]));
        },
        std::move(key));
}

// The model distance from the press point to (x, y) not yet moved by earlier steps, on the
// view's two axes; nullopt when there is none.
std::optional<std::array<double, 3>> DragDelta(const Workspace& ws, const GestureState& g, float x, float y) {
    const render::ModelUnderCursor from = render::ScreenToModel(ws.View1, g.PressX, g.PressY);
    const render::ModelUnderCursor to = render::ScreenToModel(ws.View1, x, y);
    const auto h = static_cast<float>(static_cast<double>(to.Horizontal) - from.Horizontal - g.WpMovedH);
    const auto v = static_cast<float>(static_cast<double>(to.Vertical) - from.Vertical - g.WpMovedV);
    if ((h == 0 && v == 0) || !std::isfinite(h) || !std::isfinite(v)) {
        return std::nullopt;
    }
    const render::ShownAxes axes = render::AxesOf(ws.View1.ViewOrient);
    std::array<double, 3> delta{0, 0, 0};
    delta[AxisIndex(axes.Horizontal)] = h;
    delta[AxisIndex(axes.Vertical)] = v;
    return delta;
}

// Counts a drag step as moved, so the next step adds only what is left.
void Moved(const Workspace& ws, GestureState& g, const std::array<double, 3>& d) {
    const render::ShownAxes axes = render::AxesOf(ws.View1.ViewOrient);
    g.WpMovedH += d[AxisIndex(axes.Horizontal)];
    g.WpMovedV += d[AxisIndex(axes.Vertical)];
}

// Moves the picked control point with the cursor; the curve follows (MoveBezierPoint).
edit::Change DragControlTo(Workspace& ws, GestureState& g, const render::ViewEffect& e) {
    const auto d = DragDelta(ws, g, e.Drag->ToX, e.Drag->ToY);
    if (!d) {
        return edit::kNoChange;
    }
    const edit::Change changed =
        RunStep(ws, kBezierStep,
                [&](edit::Recorder& rec) {
                    return track::MoveBezierPoint(ws.Path, ws.Waypoints, rec, g.DragControl,
                                                  static_cast<float>((*d)[0]), static_cast<float>((*d)[1]),
                                                  static_cast<float>((*d)[2]));
                },
                {kBezierStep, g.DragId});
    if (changed.Any()) {
        Moved(ws, g, *d);
    }
    return changed;
}

// Moves the selection so that it has travelled the model distance from the press point to
// (x, y); each step adds what the earlier steps have not moved yet.
edit::Change DragWaypointsTo(Workspace& ws, GestureState& g, float x, float y) {
    const auto d = DragDelta(ws, g, x, y);
    if (!d) {
        return edit::kNoChange;
    }
    const edit::Change changed = Translate(ws, *d, {kDragStep, g.DragId});
    if (changed.Any()) {
        Moved(ws, g, *d);
    }
    return changed;
}

std::string ControlPointText(const track::PathTable& p, int cp) {
    const track::Vec3& v = p.Bezier.CP[static_cast<std::size_t>(cp)];
    return "BezierCP: " + std::to_string(cp + 1) + "    x: " + config::FormatSingle(v[0]) +
           "  y: " + config::FormatSingle(v[1]) + "  z: " + config::FormatSingle(v[2]);
}

// Moves the selected dummies with the cursor as one collated step.
edit::Change DragDummiesTo(Workspace& ws, GestureState& g, float x, float y) {
    const auto d = DragDelta(ws, g, x, y);
    if (!d) {
        return edit::kNoChange;
    }
    const edit::Change changed = RunStep(
        ws, kDummyStep,
        [&](edit::Recorder& rec) {
            return track::TranslateSelectedDummies(ws.Dummies, rec, static_cast<float>((*d)[0]),
                                                   static_cast<float>((*d)[1]), static_cast<float>((*d)[2]));
        },
        {kDummyStep, g.DragId});
    if (changed.Any()) {
        Moved(ws, g, *d);
    }
    return changed;
}

// A press on dummy i: an unselected one becomes the only selected dummy (with Ctrl it joins).
edit::Change PressOnDummy(Workspace& ws, int i, bool add) {
    track::Dummy& picked = ws.Dummies.Items[static_cast<std::size_t>(i)];
    if (picked.Sel) {
        return edit::kNoChange;
    }
    if (!add) {
        for (track::Dummy& d : ws.Dummies.Items) {
            d.Sel = false;
        }
    }
    picked.Sel = true;
    return edit::Change::Dummies;
}

// Toggles the dummy under the cursor; the status text, "" when there is none.
std::string ToggleDummy(Workspace& ws, float x, float y) {
    const int i = track::PickDummy(ws.Dummies, ws.View1, x, y, render::kPickRadius);
    if (i < 0) {
        return {};
    }
    bool& sel = ws.Dummies.Items[static_cast<std::size_t>(i)].Sel;
    sel = !sel;
    return "Dummy Object " + std::to_string(i) + (sel ? " selected." : "  deselected.");
}

waypoints::WpPick PickAt(const Workspace& ws, float x, float y) {
    return waypoints::PickWaypointObject(ws.Waypoints, ws.WpDisplay, ws.View1, x, y, render::kPickRadius);
}

edit::Change Press(Workspace& ws, GestureState& g, const render::ClickAt& c) {
    // While Bezier editing, the control points come first: the first and the last lie on
    // waypoints and could never be picked otherwise.
    const int cp = track::PickControlPoint(ws.Path, ws.View1, c.X, c.Y, render::kPickRadius);
    const waypoints::WpPick pick = cp < 0 ? PickAt(ws, c.X, c.Y) : waypoints::WpPick{};
    const int dummy = cp < 0 && pick.Kind == waypoints::WpObject::None
                          ? track::PickDummy(ws.Dummies, ws.View1, c.X, c.Y, render::kPickRadius)
                          : -1;
    if (pick.Kind == waypoints::WpObject::None && cp < 0 && dummy < 0) {
        return edit::kNoChange;
    }
    ws.History.StopCollating();
    g.PressX = c.X;
    g.PressY = c.Y;
    g.WpMovedH = 0;
    g.WpMovedV = 0;
    g.DragId = g.NextGesture++;
    g.DragDummies = dummy >= 0;
    if (dummy >= 0) {
        ws.Ui.ShowProgress(track::DummyPickText(ws.Dummies, dummy));
        g.DragWaypoints = false;
        g.DragControl = -1;
        return PressOnDummy(ws, dummy, c.Mods.Ctrl);
    }
    if (cp >= 0) {
        ws.Ui.ShowProgress(ControlPointText(ws.Path, cp));
        g.DragControl = cp;
        g.DragWaypoints = false;
        ws.Path.Bezier.Current = cp;
        return edit::Change::Path; // the current control point is drawn apart
    }
    ws.Ui.ShowProgress(waypoints::PickText(ws.Waypoints, pick));
    g.DragWaypoints = true;
    g.DragControl = -1;
    return waypoints::PressOnObject(ws.Waypoints, pick, c.Mods.Ctrl);
}

} // namespace

edit::Change ApplyWaypointEffect(Workspace& ws, GestureState& g, const render::ViewEffect& e) {
    edit::Change changed;
    if (e.Click && e.Click->Double) {
        const std::string text = waypoints::TogglePicked(ws.Waypoints, PickAt(ws, e.Click->X, e.Click->Y));
        if (!text.empty()) {
            ws.Ui.ShowProgress(text);
            changed |= edit::Change::Selection;
        } else if (const std::string dummy = ToggleDummy(ws, e.Click->X, e.Click->Y); !dummy.empty()) {
            ws.Ui.ShowProgress(dummy);
            changed |= edit::Change::Dummies;
        }
    } else if (e.Click) {
        changed |= Press(ws, g, *e.Click);
    }
    if (e.SelectRect) {
        const std::vector<int> inside =
            waypoints::WaypointsInRect(ws.Waypoints, ws.WpDisplay, ws.View1, *e.SelectRect);
        ws.Ui.ShowProgress(waypoints::SelectWaypoints(ws.Waypoints, inside));
        if (!inside.empty()) {
            changed |= edit::Change::Selection;
        }
    }
    if (e.Drag && g.DragDummies) {
        changed |= DragDummiesTo(ws, g, e.Drag->ToX, e.Drag->ToY);
    } else if (e.Drag && g.DragWaypoints) {
        changed |= DragWaypointsTo(ws, g, e.Drag->ToX, e.Drag->ToY);
    } else if (e.Drag && g.DragControl >= 0) {
        changed |= DragControlTo(ws, g, e);
    }
    return changed;
}

std::optional<edit::Change> NudgeWaypoints(Workspace& ws, NudgeKey key, bool shift, bool ctrl) {
    const auto axis = static_cast<std::size_t>(key) / 2;
    const bool minus = static_cast<int>(key) % 2 == 1;
    const int i = (shift ? 1 : 0) + (ctrl ? 2 : 0);
    switch (ws.Tools.Active) {
    case TransformTools::Tool::Translate: {
        std::array<double, 3> delta{0, 0, 0};
        delta[axis] = minus ? -kNudgeSteps[i] : kNudgeSteps[i];
        return Translate(ws, delta, {kNudgeStep, 0});
    }
    case TransformTools::Tool::Scale: {
        const auto factor = static_cast<float>(minus ? 1 / kNudgeFactors[i] : kNudgeFactors[i]);
        return RunStep(ws, kNudgeStep,
                       [&](edit::Recorder& rec) {
                           return waypoints::ScaleWaypoints(ws.Waypoints, ws.WpDisplay, rec,
                                                            static_cast<int>(axis), factor);
                       },
                       {kNudgeStep, 0});
    }
    case TransformTools::Tool::Rotate:
        return edit::kNoChange;
    default:
        return std::nullopt;
    }
}

std::optional<std::string> ShowWaypointDistance(Workspace& ws, float px, float py) {
    const int orient = ws.View1.ViewOrient;
    const waypoints::WaypointTables& t = ws.Waypoints;
    if ((orient != 2 && orient != 3) || !waypoints::IsWaypoint(t, t.CurWp)) {
        return std::nullopt;
    }
    const render::ModelUnderCursor at = render::ScreenToModel(ws.View1, px, py);
    const render::ShownAxes axes = render::AxesOf(orient);
    std::array<double, 3> point{0, 0, 0};
    point[AxisIndex(axes.Horizontal)] = at.Horizontal;
    point[AxisIndex(axes.Vertical)] = at.Vertical;
    const auto& wp = t.Wp[static_cast<std::size_t>(t.CurWp)].pos;
    ws.WpDisplay.WpDist = static_cast<float>(std::hypot(point[0] - wp[0], point[2] - wp[2]));
    return "Dist: " + render::CutTo(render::FormatGeneral(ws.WpDisplay.WpDist, 2), 9);
}

render::ViewEffect CenterOnWaypoint(Workspace& ws) {
    const waypoints::WaypointTables& t = ws.Waypoints;
    render::ViewEffect fx;
    if (!waypoints::IsWaypoint(t, t.CurWp)) {
        return fx;
    }
    const model::VertRec p = waypoints::WaypointPosition(t, t.CurWp);
    ws.View1.ViewCenterX = p.X;
    ws.View1.ViewCenterY = p.Y;
    ws.View1.ViewCenterZ = p.Z;
    fx.RedrawWireframe = true;
    return fx;
}

} // namespace zv
