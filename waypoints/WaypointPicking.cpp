#include "waypoints/WaypointPicking.h"

#include "config/ConfigFormat.h"
#include "waypoints/WaypointDrawing.h"
#include "waypoints/WaypointOps.h"

#include <algorithm>

namespace zv::waypoints {
namespace {

std::uint8_t& SelectionFlag(WaypointTables& t, const WpPick& p) {
    const auto i = static_cast<std::size_t>(p.Index);
    switch (p.Kind) {
    case WpObject::Start:
        return t.SlotSel[i];
    case WpObject::Pit:
        return t.PitSel[i];
    default:
        return t.WpSel[i];
    }
}

const char* NameOf(WpObject kind) {
    switch (kind) {
    case WpObject::Waypoint:
        return "Waypoint";
    case WpObject::Start:
        return "Start Position";
    case WpObject::Pit:
        return "Pit Position";
    default:
        return "";
    }
}

bool Valid(const WaypointTables& t, const WpPick& p) {
    switch (p.Kind) {
    case WpObject::Waypoint:
        return IsWaypoint(t, p.Index);
    case WpObject::Start:
    case WpObject::Pit:
        return p.Index >= 0 && p.Index < UsedSlots(t);
    default:
        return false;
    }
}

model::VertRec PositionOf(const WaypointTables& t, const WpPick& p) {
    switch (p.Kind) {
    case WpObject::Start:
        return StartPosition(t, p.Index);
    case WpObject::Pit:
        return PitPosition(t, p.Index);
    default:
        return WaypointPosition(t, p.Index);
    }
}

} // namespace

WpPick PickWaypointObject(const WaypointTables& t, const WaypointDisplay& d,
                          const render::WireframeView& view, float px, float py, float radius) {
    const render::Projection project(view);
    const auto shown = [](int) { return true; };
    if (d.ShowWaypoints) {
        const int i = render::PickFirst(
            std::clamp<int>(t.WpCount, 0, kWaypointCapacity),
            [&](int k) { return project(WaypointPosition(t, k)); }, shown, px, py, radius);
        if (i >= 0) {
            return {WpObject::Waypoint, i};
        }
    }
    if (d.ShowSlots) {
        const int slots = UsedSlots(t);
        if (const int s = render::PickFirst(
                slots, [&](int k) { return project(StartPosition(t, k)); }, shown, px, py, radius);
            s >= 0) {
            return {WpObject::Start, s};
        }
        if (const int s = render::PickFirst(
                slots, [&](int k) { return project(PitPosition(t, k)); }, shown, px, py, radius);
            s >= 0) {
            return {WpObject::Pit, s};
        }
    }
    return {};
}

std::string PickText(const WaypointTables& t, const WpPick& p) {
    if (!Valid(t, p)) {
        return {};
    }
    const model::VertRec v = PositionOf(t, p);
    return std::string(NameOf(p.Kind)) + ": " + std::to_string(p.Index) +
           "    x: " + config::FormatSingle(v.X) + "  y: " + config::FormatSingle(v.Y) +
           "  z: " + config::FormatSingle(v.Z);
}

std::vector<int> WaypointsInRect(const WaypointTables& t, const WaypointDisplay& d,
                                 const render::WireframeView& view, const render::PickRect& rect) {
    std::vector<int> inside;
    if (!d.ShowWaypoints || rect.Empty()) {
        return inside;
    }
    const render::Projection project(view);
    for (int i = 0; i < std::clamp<int>(t.WpCount, 0, kWaypointCapacity); ++i) {
        if (rect.Contains(project(WaypointPosition(t, i)))) {
            inside.push_back(i);
        }
    }
    return inside;
}

std::string SelectWaypoints(WaypointTables& t, const std::vector<int>& which) {
    for (const int i : which) {
        t.WpSel[static_cast<std::size_t>(i)] = 1;
    }
    return std::to_string(which.size()) + " points selected.";
}

std::string TogglePicked(WaypointTables& t, const WpPick& p) {
    if (!Valid(t, p)) {
        return {};
    }
    std::uint8_t& flag = SelectionFlag(t, p);
    flag = flag != 0 ? 0 : 1;
    return std::string(NameOf(p.Kind)) + " " + std::to_string(p.Index) +
           (flag != 0 ? " selected." : "  deselected.");
}

edit::Change PressOnObject(WaypointTables& t, const WpPick& p, bool add) {
    if (!Valid(t, p)) {
        return edit::kNoChange;
    }
    edit::Change changed;
    if (p.Kind == WpObject::Waypoint) {
        changed |= SetCurrentWaypoint(t, p.Index);
    }
    if (SelectionFlag(t, p) == 0) {
        if (!add) {
            changed |= DeselectAllWaypoints(t);
        }
        SelectionFlag(t, p) = 1;
        changed |= edit::Change::Selection;
    }
    return changed;
}

} // namespace zv::waypoints
