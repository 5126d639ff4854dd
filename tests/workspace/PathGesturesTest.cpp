// The track builder, the path keys and dragging Bezier control points on a workspace, without a
// window.

#include "workspace/Gestures.h"

#include "tests/support/RecordingUi.h"
#include "track/PathOps.h"
#include "workspace/Commands.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

class PathGestures : public ::testing::Test {
protected:
    void SetUp() override {
        render::SetOrientation(ws.View1, 2); // top view
        ws.View1.ViewOffX = 100;
        ws.View1.ViewOffY = 100;
        ws.View1.ViewZoom = 10;
    }

    render::ScreenPos At(float x, float z) const { return render::Project(ws.View1, {x, 0, z}); }
    render::ModelUnderCursor CursorAt(float x, float z) const {
        const render::ScreenPos p = At(x, z);
        return render::ScreenToModel(ws.View1, p.X, p.Y);
    }

    edit::Change Press(float x, float z) {
        const render::ScreenPos p = At(x, z);
        render::ViewEffect e;
        e.Click = render::ClickAt{render::MouseButton::Left, {}, p.X, p.Y, false};
        e.PickedVertex = -1;
        return ApplyViewEffect(ws, g, e, false);
    }

    edit::Change DragTo(float x, float z, bool release = false) {
        const render::ScreenPos p = At(x, z);
        render::ViewEffect e;
        e.Drag = render::DragStep{0, 0, p.X, p.Y};
        return ApplyViewEffect(ws, g, e, release);
    }

    test::RecordingUi ui;
    Workspace ws{ui};
    GestureState g;
};

TEST_F(PathGestures, PathKeysStartAndExtendAtTheCursor) {
    ws.Mode = WorkMode::EditVertex;
    EXPECT_TRUE(NewPathAtCursor(ws, CursorAt(2, 3)).Has(edit::Change::Path));
    ASSERT_EQ(ws.Path.Count(), 1);
    EXPECT_FLOAT_EQ(ws.Path.Pts[0][0], 2);
    EXPECT_FLOAT_EQ(ws.Path.Pts[0][2], 3);
    AppendPathAtCursor(ws, CursorAt(5, 7));
    ASSERT_EQ(ws.Path.Count(), 2);
    EXPECT_NEAR(ws.Path.SegLen[1], 5, 1e-4);
    EXPECT_NEAR(ws.Path.PathLength, 5, 1e-4);
    EXPECT_EQ(FirstPointText(1.23456789f, -20), "1st Point at  X: 1.234568  Z: -20");
    EXPECT_EQ(FirstPointText(-12345.678f, 0), "1st Point at  X: -12345.6  Z: 0") << "cut to 8 characters";
    Undo(ws);
    EXPECT_EQ(ws.Path.Count(), 1) << "each key is a step";
}

TEST_F(PathGestures, TrackBuilderDragExtendsThePathAsOneStep) {
    ws.Mode = WorkMode::EditVertex;
    ws.Sub = SubMode::TrackBuilder;
    NewPathAtCursor(ws, CursorAt(0, 0));
    g.BuilderPiece = 8;
    EXPECT_EQ(BuilderDistance(ws, At(0, 20).X, At(0, 20).Y), "Dist: 20");
    Press(0, 0);
    EXPECT_TRUE(g.HasPick);
    EXPECT_TRUE(DragTo(0, 20).Has(edit::Change::Path));
    EXPECT_EQ(ws.Path.Count(), 2) << "two pieces fit: one is drawn";
    EXPECT_NEAR(ws.Path.Pts[1][2], 8, 1e-4);
    DragTo(0, 40, true);
    EXPECT_EQ(ws.Path.Count(), 5);
    EXPECT_NEAR(ws.Path.Pts[4][2], 32, 1e-3);
    EXPECT_FALSE(g.Building);
    Undo(ws);
    EXPECT_EQ(ws.Path.Count(), 1) << "the whole drag is one step";
    EXPECT_TRUE(Undo(ws).Has(edit::Change::Path));
    EXPECT_EQ(ws.Path.Count(), 0);

    ws.Sub = SubMode::Select; // outside the tool a drag draws nothing
    NewPathAtCursor(ws, CursorAt(0, 0));
    Press(0, 0);
    DragTo(0, 40, true);
    EXPECT_EQ(ws.Path.Count(), 1);
}

TEST_F(PathGestures, ControlPointDragReshapesTheWaypoints) {
    ws.Mode = WorkMode::EditWaypoint;
    waypoints::WaypointTables& t = ws.Waypoints;
    t.WpCount = 5;
    for (int i = 0; i < 5; ++i) {
        t.Wp[static_cast<std::size_t>(i)].pos = {0, 0, static_cast<float>(4 * i)};
        t.WpSel[static_cast<std::size_t>(i)] = 1;
    }
    RunStep(ws, "Edit Bezier", [&](edit::Recorder& rec) { return track::StartBezier(ws.Path, t, rec); });
    ASSERT_TRUE(ws.Path.Bezier.Mode);
    const waypoints::WaypointTables straight = t;
    const track::Vec3 cp = ws.Path.Bezier.CP[1];
    EXPECT_TRUE(Press(cp[0], cp[2]).Has(edit::Change::Path));
    EXPECT_EQ(ws.Path.Bezier.Current, 1);
    EXPECT_EQ(ui.Progress.back().substr(0, 16), "BezierCP: 2    x");
    DragTo(cp[0] + 1, cp[2]);
    EXPECT_TRUE(DragTo(cp[0] + 3, cp[2], true).Has(edit::Change::Waypoints));
    EXPECT_NEAR(ws.Path.Bezier.CP[1][0], cp[0] + 3, 1e-3);
    EXPECT_GT(t.Wp[1].pos[0], 0.5f) << "the curve bends towards the moved point";
    EXPECT_EQ(t.Wp[0].pos, straight.Wp[0].pos) << "the ends stay";
    EXPECT_EQ(t.Wp[4].pos, straight.Wp[4].pos);
    Undo(ws);
    EXPECT_TRUE(t.Wp == straight.Wp) << "the drag is one step";
    EXPECT_EQ(ws.Path.Bezier.CP[1], cp);
}

} // namespace
} // namespace zv
