#include "edit/History.h"
#include "waypoints/WaypointHistory.h"

#include <gtest/gtest.h>

namespace zv::waypoints {
namespace {

// A waypoint step swaps the whole waypoint part back and forth, and collated steps keep the
// state before their first change.
TEST(WaypointHistory, UndoAndRedoSwapTheTablesAndCollate) {
    model::ModelStore m;
    edit::History h;
    WaypointTables t;
    t.WpCount = 2;
    t.Wp[1].depth = "8080";
    const WaypointTables start = t;

    for (int i = 0; i < 3; ++i) {
        edit::Recorder rec = h.Begin(m, "Move", {"Move Waypoints", 7});
        RecordWaypoints(rec, t);
        RecordWaypoints(rec, t);
        t.Wp[1].pos[0] += 1;
        t.WpSel[1] = 1;
        h.End(edit::Change::Waypoints);
    }
    const WaypointTables moved = t;
    ASSERT_EQ(h.UndoCount(), 1);
    EXPECT_TRUE(h.Undo(m).Has(edit::Change::Waypoints));
    EXPECT_EQ(t, start);
    h.Redo(m);
    EXPECT_EQ(t, moved);
    EXPECT_GT(h.Bytes(), sizeof(WaypointRec) * kWaypointCapacity);
}

TEST(WaypointHistory, AStepThatChangedNothingIsDropped) {
    model::ModelStore m;
    edit::History h;
    WaypointTables t;
    edit::Recorder rec = h.Begin(m, "Insert");
    RecordWaypoints(rec, t);
    h.End(edit::kNoChange);
    EXPECT_FALSE(h.CanUndo());
}

} // namespace
} // namespace zv::waypoints
