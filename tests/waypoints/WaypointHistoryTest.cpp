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

// The model and the waypoints are saved to different files: each has its own saved mark, and
// opening another model (which clears the history) keeps unsaved waypoint changes known.
TEST(WaypointHistory, ModelAndWaypointsHaveTheirOwnSavedMark) {
    model::ModelStore m;
    edit::History h;
    WaypointTables t;
    const auto waypointStep = [&] {
        edit::Recorder rec = h.Begin(m, "Insert");
        RecordWaypoints(rec, t);
        ++t.WpCount;
        h.End(edit::Change::Waypoints);
    };
    const auto modelStep = [&] {
        edit::Recorder rec = h.Begin(m, "Move");
        rec.Vertices(0, 1);
        m.Vert[0].X += 1;
        h.End(edit::Change::Geometry);
    };
    waypointStep();
    EXPECT_FALSE(h.IsModified());
    EXPECT_TRUE(h.IsModified(&t));
    h.MarkClean(&t);
    modelStep();
    EXPECT_TRUE(h.IsModified());
    EXPECT_FALSE(h.IsModified(&t));
    h.Undo(m);
    h.Undo(m);
    EXPECT_FALSE(h.IsModified());
    EXPECT_TRUE(h.IsModified(&t)) << "the saved waypoints were undone";
    h.Redo(m);
    EXPECT_FALSE(h.IsModified(&t));

    waypointStep(); // replaces the redo list
    h.Clear();
    EXPECT_FALSE(h.IsModified());
    EXPECT_TRUE(h.IsModified(&t));
    h.MarkClean(&t);
    EXPECT_FALSE(h.IsModified(&t));
}

} // namespace
} // namespace zv::waypoints
