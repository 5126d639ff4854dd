#pragma once
// The editor window with the sample box and a ring of five waypoints whose values do not survive
// the window's display masks (so a field written back would show), in waypoint edit mode.

#include "BoxWindowTest.h"

#include "waypoints/Waypoints.h"

namespace zv::app {

inline waypoints::WaypointTables WaypointRing(int n) {
    waypoints::WaypointTables t;
    t.WpCount = static_cast<std::int16_t>(n);
    for (int i = 0; i < n; ++i) {
        const float f = static_cast<float>(i);
        waypoints::WaypointRec& r = t.Wp[static_cast<std::size_t>(i)];
        r.pos = {1.123456789f + 10.1f * f, -0.987654321f * f, 12345.678f - f};
        r.ori = {0.1234567f, -0.7654321f};
        r.width = {3.14159265f, -2.718281f, 7.5f + f, 6.25f};
        r.score = {static_cast<float>(i % 2), 123.456789f * f, 0.333333f, -0.00004f};
        r.opt = {0.123456789012f, 1.5f - 3.14159265f, 0.18312345f};
        r.depth = "00FF80";
        r.ins = "ROAD" + std::to_string(i);
        r.ptrs = {static_cast<std::int16_t>((i + n - 1) % n), static_cast<std::int16_t>((i + 1) % n), -1, -2};
        r.key = 3;
        r.marks = -1;
        r.events = static_cast<std::int16_t>(12 + i);
    }
    return t;
}

class WaypointWindowFixture : public BoxWindowTest {
protected:
    WaypointWindowFixture() {
        w.Ws().Waypoints = WaypointRing(5);
        w.Button("edit_wp")->trigger();
        w.Apply(edit::Change::Waypoints);
    }

    waypoints::WaypointTables& T() { return w.Ws().Waypoints; }
};

} // namespace zv::app
