// The waypoint overlay of the wireframe view, the role colours, and picking waypoints, start and
// pit positions.

#include "waypoints/WaypointDrawing.h"
#include "render/WireframeView.h"
#include "tests/support/RecordingCanvas.h"
#include "waypoints/WaypointPicking.h"

#include <gtest/gtest.h>

#include <memory>

namespace zv::waypoints {
namespace {

using test::CanvasOpKind;

class WaypointView : public ::testing::Test {
protected:
    void SetUp() override {
        render::SetOrientation(view, 2); // top view: z to the right, x downwards
        view.ViewWidth = 200;
        view.ViewHeight = 200;
        view.ViewOffX = 100;
        view.ViewOffY = 100;
        view.ViewZoom = 10;
        // A ring of four around the origin, 0 current; slot 0 beside it.
        t->WpCount = 4;
        const float xs[] = {0, 2, 0, -2};
        const float zs[] = {2, 0, -2, 0};
        for (int i = 0; i < 4; ++i) {
            auto& w = t->Wp[static_cast<std::size_t>(i)];
            w.pos = {xs[i], 0, zs[i]};
            w.ptrs = {static_cast<std::int16_t>((i + 3) % 4), static_cast<std::int16_t>((i + 1) % 4), -1,
                      kNoPitSlot};
        }
        t->SlotCount = 1;
        t->Slots[0].AVPos = {-5, 0, -5};  // model (5, 0, 5)
        t->Slots[0].AVPitPos = {5, 0, 5}; // model (-5, 0, -5)
    }

    render::ScreenPos At(const model::VertRec& p) const { return render::Project(view, p); }

    std::unique_ptr<WaypointTables> t = std::make_unique<WaypointTables>();
    WaypointDisplay d;
    render::WireframeView view;
};

TEST_F(WaypointView, RolesOfTheCurrentWaypointComeFirst) {
    WaypointTables& w = *t;
    w.Wp[0].ptrs = {3, 1, 2, 3}; // branch to 2; pit-slot value 3 equals waypoint 3
    w.WpSel[1] = 1;
    EXPECT_EQ(WaypointStyle(w, 0), (MarkStyle{1, 1, 1, 1.4f}));
    EXPECT_EQ(WaypointStyle(w, 3), (MarkStyle{0, 1, 0, 1.1f})) << "previous before the pit-slot link";
    EXPECT_EQ(WaypointStyle(w, 1), (MarkStyle{0.8f, 0.6f, 0, 1.1f})) << "next, though selected";
    EXPECT_EQ(WaypointStyle(w, 2), (MarkStyle{0.7f, 0.5f, 0.9f, 1.0f}));
    w.Wp[0].ptrs = {-1, -1, -1, 3};
    EXPECT_EQ(WaypointStyle(w, 3), (MarkStyle{0.9f, 0.5f, 0.7f, 1.0f}));
    EXPECT_EQ(WaypointStyle(w, 1), (MarkStyle{0.2f, 0.7f, 1, 0.7f}));
    EXPECT_EQ(WaypointStyle(w, 2), (MarkStyle{0, 0.5f, 0.9f, 0.7f}));
    w.PitSel[0] = 1;
    EXPECT_EQ(StartStyle(w, 0), (MarkStyle{0.7f, 0.7f, 0, 0.7f}));
    EXPECT_EQ(PitStyle(w, 0), (MarkStyle{0.3f, 1, 0.3f, 0.8f}));
}

TEST_F(WaypointView, OverlayDrawsLinksThenMarksCurrentLast) {
    test::RecordingCanvas canvas;
    WaypointOverlay overlay(*t, d);
    overlay.DrawWaypoints(canvas, view);
    overlay.DrawSlots(canvas, view);
    ASSERT_FALSE(canvas.Ops.empty());
    EXPECT_EQ(canvas.Ops.front().Kind, CanvasOpKind::Lines);
    EXPECT_EQ(canvas.Ops.front().Segments.size(), 4u) << "one link per waypoint of the ring";
    const auto dots = canvas.OfKind(CanvasOpKind::WideDot);
    ASSERT_EQ(dots.size(), 6u);
    const render::ScreenPos cur = At({0, 0, 2});
    EXPECT_EQ(dots[3].DotX, cur.X);
    EXPECT_EQ(dots[3].DotY, cur.Y);
    EXPECT_EQ(dots[3].Colour, 0xFFFFFF);
    EXPECT_EQ(dots[3].Width, 9) << "half-size round(1.4 * 3)";
    const render::ScreenPos start = At({5, 0, 5});
    EXPECT_EQ(dots[4].DotX, start.X) << "slot vectors are drawn negated";
    EXPECT_EQ(dots[4].DotY, start.Y);

    canvas.Ops.clear();
    d.ShowWaypoints = false;
    d.ShowSlots = false;
    overlay.DrawWaypoints(canvas, view);
    overlay.DrawSlots(canvas, view);
    EXPECT_TRUE(canvas.Ops.empty());
}

TEST_F(WaypointView, FarWaypointsAreLeftOutAndTheirLinksCut) {
    t->Wp[2].pos = {0, 0, 5000}; // 50000 pixels to the right, on the centre row
    test::RecordingCanvas canvas;
    WaypointOverlay overlay(*t, d);
    overlay.DrawWaypoints(canvas, view);
    EXPECT_EQ(canvas.OfKind(CanvasOpKind::WideDot).size(), 3u);
    const auto lines = canvas.OfKind(CanvasOpKind::Lines);
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].Segments.size(), 4u);
    const render::Segment toFar = lines[0].Segments[1]; // waypoint 1 (below the centre) to 2
    EXPECT_EQ(toFar.A, (render::PixelPoint{100, 120}));
    EXPECT_EQ(toFar.B.X, 216) << "cut at the view's edge and margin";
    EXPECT_EQ(toFar.B.Y, 120) << "the line keeps its direction";
}

TEST_F(WaypointView, PickTriesWaypointsThenStartsThenPits) {
    const render::ScreenPos w1 = At({2, 0, 0});
    EXPECT_EQ(PickWaypointObject(*t, d, view, w1.X + 4, w1.Y - 4, 4.5f), (WpPick{WpObject::Waypoint, 1}));
    EXPECT_EQ(PickWaypointObject(*t, d, view, w1.X + 4.5f, w1.Y, 4.5f).Kind, WpObject::None) << "strict";
    // A start position on top of the pit position: the start wins; hidden ones are skipped.
    t->Slots[0].AVPitPos = t->Slots[0].AVPos;
    const render::ScreenPos s = At({5, 0, 5});
    EXPECT_EQ(PickWaypointObject(*t, d, view, s.X, s.Y, 4), (WpPick{WpObject::Start, 0}));
    t->Slots[0].AVPos = {0, 0, 0};
    EXPECT_EQ(PickWaypointObject(*t, d, view, s.X, s.Y, 4), (WpPick{WpObject::Pit, 0}));
    d.ShowSlots = false;
    EXPECT_EQ(PickWaypointObject(*t, d, view, s.X, s.Y, 4).Kind, WpObject::None);
}

TEST_F(WaypointView, StatusTexts) {
    t->Wp[1].pos = {2.5f, -1, 0.1f};
    EXPECT_EQ(PickText(*t, {WpObject::Waypoint, 1}), "Waypoint: 1    x: 2.5  y: -1  z: .1");
    EXPECT_EQ(PickText(*t, {WpObject::Pit, 0}), "Pit Position: 0    x: -5  y: 0  z: -5");
    EXPECT_EQ(PickText(*t, {WpObject::Start, 1}), "") << "slot 1 is not in use";
    EXPECT_EQ(TogglePicked(*t, {WpObject::Start, 0}), "Start Position 0 selected.");
    EXPECT_EQ(t->SlotSel[0], 1);
    EXPECT_EQ(TogglePicked(*t, {WpObject::Start, 0}), "Start Position 0  deselected.");
    EXPECT_EQ(t->SlotSel[0], 0);
}

TEST_F(WaypointView, BandIsHalfOpenAndOnlyAdds) {
    const render::ScreenPos w0 = At({0, 0, 2});
    const render::ScreenPos w1 = At({2, 0, 0});
    // Waypoint 1 on the band's left edge (inside), waypoint 0 on its right edge (outside).
    ASSERT_GT(w0.X, w1.X);
    const render::PickRect band{w1.X, w0.Y, w0.X, w1.Y + 50};
    EXPECT_EQ(WaypointsInRect(*t, d, view, band), std::vector<int>{1});
    t->WpSel[3] = 1;
    EXPECT_EQ(SelectWaypoints(*t, {1}), "1 points selected.");
    EXPECT_EQ(t->WpSel[1], 1);
    EXPECT_EQ(t->WpSel[3], 1);
}

} // namespace
} // namespace zv::waypoints
