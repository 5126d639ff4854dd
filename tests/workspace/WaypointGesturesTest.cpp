// The waypoint edit mode's gestures and nudge keys on a workspace, without a window.

#include "workspace/WaypointGestures.h"

#include "tests/support/RecordingUi.h"
#include "workspace/Commands.h"

#include <gtest/gtest.h>

#include <memory>

namespace zv {
namespace {

class WaypointGestures : public ::testing::Test {
protected:
    void SetUp() override {
        ws.Mode = WorkMode::EditWaypoint;
        render::SetOrientation(ws.View1, 2); // top view: z to the right, x downwards
        ws.View1.ViewOffX = 100;
        ws.View1.ViewOffY = 100;
        ws.View1.ViewZoom = 10;
        waypoints::WaypointTables& t = ws.Waypoints;
        t.WpCount = 4;
        for (int i = 0; i < 4; ++i) {
            t.Wp[static_cast<std::size_t>(i)].pos = {0, 1, static_cast<float>(4 * i)};
        }
        t.SlotCount = 1;
        t.Slots[0].AVPos = {-2, 0, 0}; // model (2, 0, 0)
        t.CurWp = 0;
    }

    render::ScreenPos At(float x, float z) const { return render::Project(ws.View1, {x, 0, z}); }

    edit::Change Press(const render::ScreenPos& p, bool ctrl = false, bool twice = false) {
        render::ViewEffect e;
        e.Click = render::ClickAt{render::MouseButton::Left, {false, ctrl}, p.X, p.Y, twice};
        return ApplyViewEffect(ws, g, e, false);
    }

    edit::Change DragTo(float x, float y, bool release = false) {
        render::ViewEffect e;
        e.Drag = render::DragStep{0, 0, x, y};
        return ApplyViewEffect(ws, g, e, release);
    }

    test::RecordingUi ui;
    Workspace ws{ui};
    GestureState g;
};

TEST_F(WaypointGestures, PressSelectsAloneAndDragMovesSelectionAsOneStep) {
    ws.Waypoints.WpSel[3] = 1;
    ws.Waypoints.SlotSel[0] = 1;
    const render::ScreenPos p = At(0, 4);
    EXPECT_TRUE(Press(p).Any());
    EXPECT_EQ(ws.Waypoints.CurWp, 1);
    EXPECT_EQ(ws.Waypoints.WpSel[1], 1);
    EXPECT_EQ(ws.Waypoints.WpSel[3], 0);
    EXPECT_EQ(ws.Waypoints.SlotSel[0], 0);
    EXPECT_EQ(ui.Progress.back(), "Waypoint: 1    x: 0  y: 1  z: 4");

    DragTo(p.X + 10, p.Y);
    DragTo(p.X + 20, p.Y + 5, true); // 2 units along z, 0.5 along x
    EXPECT_FLOAT_EQ(ws.Waypoints.Wp[1].pos[2], 6);
    EXPECT_FLOAT_EQ(ws.Waypoints.Wp[1].pos[0], 0.5f);
    EXPECT_FLOAT_EQ(ws.Waypoints.Wp[1].pos[1], 1);
    EXPECT_EQ(ws.History.UndoCount(), 1);
    EXPECT_EQ(ws.History.UndoName(), "Move Waypoints");
    Undo(ws);
    EXPECT_FLOAT_EQ(ws.Waypoints.Wp[1].pos[2], 4);
    EXPECT_TRUE(DragTo(p.X + 30, p.Y).Bits == 0) << "the release ended the drag";
}

TEST_F(WaypointGestures, CtrlAddsAndStartPositionsMoveMirrored) {
    ws.Waypoints.WpSel[2] = 1;
    Press(At(2, 0), true);
    EXPECT_EQ(ui.Progress.back(), "Start Position: 0    x: 2  y: 0  z: 0");
    EXPECT_EQ(ws.Waypoints.SlotSel[0], 1);
    EXPECT_EQ(ws.Waypoints.WpSel[2], 1) << "Ctrl keeps the selection";
    EXPECT_EQ(ws.Waypoints.CurWp, 0);
    const render::ScreenPos s = At(2, 0);
    DragTo(s.X, s.Y + 10, true);
    EXPECT_FLOAT_EQ(ws.Waypoints.Slots[0].AVPos[0], -3);
    EXPECT_FLOAT_EQ(ws.Waypoints.Wp[2].pos[0], 1);
}

TEST_F(WaypointGestures, BandAddsAndDoubleClickToggles) {
    ws.Waypoints.WpSel[0] = 1;
    render::ViewEffect band;
    const render::ScreenPos a = At(-1, 3);
    const render::ScreenPos b = At(1, 9);
    band.SelectRect = render::NormaliseRect(a.X, a.Y, b.X, b.Y);
    EXPECT_TRUE(ApplyViewEffect(ws, g, band, true).Any());
    EXPECT_EQ(ui.Progress.back(), "2 points selected.");
    EXPECT_EQ(ws.Waypoints.WpSel[0] + ws.Waypoints.WpSel[1] + ws.Waypoints.WpSel[2], 3);

    Press(At(0, 8), false, true);
    EXPECT_EQ(ui.Progress.back(), "Waypoint 2  deselected.");
    EXPECT_EQ(ws.Waypoints.WpSel[2], 0);
    EXPECT_EQ(ws.Waypoints.CurWp, 0) << "a double click only toggles";
    Press(At(50, 50), false, true);
    EXPECT_EQ(ui.Progress.back(), "Waypoint 2  deselected.") << "nothing under the cursor";
}

TEST_F(WaypointGestures, NudgesTranslateOrScaleTheSelection) {
    ws.Waypoints.WpSel[1] = 1;
    ws.Waypoints.SlotSel[0] = 1;
    EXPECT_FALSE(Nudge(ws, NudgeKey::PlusX, false, false)) << "no tool pressed";
    ws.Tools.Active = TransformTools::Tool::Translate;
    Nudge(ws, NudgeKey::PlusX, false, false);
    Nudge(ws, NudgeKey::PlusX, false, true);
    EXPECT_FLOAT_EQ(ws.Waypoints.Wp[1].pos[0], 5.005f);
    EXPECT_FLOAT_EQ(ws.Waypoints.Slots[0].AVPos[0], -7.005f);
    EXPECT_EQ(ws.History.UndoCount(), 1) << "a run of nudges";

    ws.Tools.Active = TransformTools::Tool::Scale;
    Nudge(ws, NudgeKey::PlusZ, true, false);
    EXPECT_FLOAT_EQ(ws.Waypoints.Wp[1].pos[2], 5);
    Nudge(ws, NudgeKey::MinusZ, true, false);
    EXPECT_FLOAT_EQ(ws.Waypoints.Wp[1].pos[2], 4);

    ws.Tools.Active = TransformTools::Tool::Rotate;
    const auto turned = Nudge(ws, NudgeKey::PlusY, false, false);
    ASSERT_TRUE(turned);
    EXPECT_FALSE(turned->Any());
}

TEST_F(WaypointGestures, DistanceInTopViewsAndCentring) {
    const render::ScreenPos p = At(3, 4); // 3 and 4 away from waypoint 0 at (0, 1, 0)
    EXPECT_EQ(ShowWaypointDistance(ws, p.X, p.Y), "Dist: 5");
    EXPECT_FLOAT_EQ(ws.WpDisplay.WpDist, 5);
    const render::ScreenPos q = At(1.0f / 3, 0);
    EXPECT_EQ(ShowWaypointDistance(ws, q.X, q.Y), "Dist: 0.33");
    render::SetOrientation(ws.View1, 0);
    EXPECT_FALSE(ShowWaypointDistance(ws, p.X, p.Y));
    EXPECT_NEAR(ws.WpDisplay.WpDist, 1.0 / 3, 1e-6) << "kept outside the top views";

    ws.Waypoints.CurWp = 2;
    EXPECT_TRUE(CenterOnWaypoint(ws).RedrawWireframe);
    EXPECT_EQ(ws.View1.ViewCenterZ, 8);
    EXPECT_EQ(ws.View1.ViewCenterY, 1);
    ws.Waypoints.CurWp = 7;
    EXPECT_FALSE(CenterOnWaypoint(ws).RedrawWireframe);
}

} // namespace
} // namespace zv

namespace zv {
namespace {

TEST_F(WaypointGestures, ASingleDummyIsPickedToggledAndDraggedAsOneStep) {
    ws.Dummies.Items = {{"m", {6, 0, 20}, false}};
    const render::ScreenPos p = At(6, 20);
    EXPECT_TRUE(Press(p).Has(edit::Change::Dummies));
    EXPECT_TRUE(ws.Dummies.Items[0].Sel);
    EXPECT_EQ(ui.Progress.back(), "Dummy Object 0    x: 6  y: 0  z: 20");
    DragTo(p.X + 10, p.Y);
    DragTo(p.X + 20, p.Y, true); // 2 units along z
    EXPECT_FLOAT_EQ(ws.Dummies.Items[0].Pos[2], 22);
    EXPECT_EQ(ws.History.UndoCount(), 1);
    EXPECT_EQ(ws.History.UndoName(), "Move Dummies");
    Undo(ws);
    EXPECT_FLOAT_EQ(ws.Dummies.Items[0].Pos[2], 20);

    Press(p, false, true);
    EXPECT_EQ(ui.Progress.back(), "Dummy Object 0  deselected.");
    // A waypoint under the cursor comes first.
    ws.Dummies.Items[0].Pos = {0, 1, 4};
    Press(At(0, 4), false, true);
    EXPECT_EQ(ws.Waypoints.WpSel[1], 1);
    EXPECT_FALSE(ws.Dummies.Items[0].Sel);
}

} // namespace
} // namespace zv
