#include "render/Navigation.h"

#include "tests/support/ModelBuilder.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace zv::render {
namespace {

MouseEvent At(MouseButton b, float x, float y, bool shift = false) {
    return {b, {shift, false}, x, y};
}

struct Fixture : ::testing::Test {
    std::unique_ptr<model::ModelStore> Store = std::make_unique<model::ModelStore>();
    model::ModelStore& M = *Store;
    WireframeView View;
    MouseState Mouse;

    Fixture() {
        test::StartModel(M);
        View.ViewZoom = 10;
        View.ViewOffX = 200;
        View.ViewOffY = 150;
        View.ViewWidth = 400;
        View.ViewHeight = 300;
    }

    // Drag in camera mode from (x0, y0) to (x1, y1) with one move, then release there.
    ViewEffect CameraDrag(MouseButton b, float x0, float y0, float x1, float y1, bool shift = false) {
        View1ButtonDown(Mouse, View, M, ToolMode::Camera, At(b, x0, y0, shift));
        if (x1 != x0 || y1 != y0) {
            View1Move(Mouse, View, ToolMode::Camera, At(MouseButton::None, x1, y1, shift));
        }
        return View1ButtonUp(Mouse, View, ToolMode::Camera, At(b, x1, y1, shift));
    }

    // A vertex at a screen position; the shown bit of flags goes to the model, the rest to the
    // view as a redraw would leave it.
    int Vertex(float sx, float sy, std::uint8_t flags) {
        const int v = test::AddVertex(M, 0, 0, 0);
        View.ScrVert[v] = {sx, sy, 0};
        M.VertFlag[v] = static_cast<std::uint8_t>(flags & kFlagShown);
        View.VertView[v] = static_cast<std::uint8_t>(flags & ~kFlagShown);
        return v;
    }
};

using CameraModeTest = Fixture;

TEST_F(CameraModeTest, ClickWithoutMovementZoomsOneStep) {
    ViewEffect fx = CameraDrag(MouseButton::Left, 50, 60, 50, 60);
    EXPECT_FLOAT_EQ(View.ViewZoom, 11);
    EXPECT_TRUE(fx.RefreshZoomLabel && fx.RedrawWireframe);
    CameraDrag(MouseButton::Right, 50, 60, 50, 60);
    EXPECT_FLOAT_EQ(View.ViewZoom, 10);
    CameraDrag(MouseButton::Left, 50, 60, 50, 60, true);
    EXPECT_FLOAT_EQ(View.ViewZoom, 10.1f);

    // One pixel of travel before the release is a drag, not a click.
    View.ViewZoom = 10;
    fx = CameraDrag(MouseButton::Left, 50, 60, 51, 60);
    EXPECT_EQ(View.ViewZoom, 10);
    EXPECT_FALSE(fx.RefreshZoomLabel);
    EXPECT_EQ(Mouse.DragKind, kDragNone);
}

// The window gets press, release, double click, release for two quick clicks: both zoom.
TEST_F(CameraModeTest, QuickSecondClickZoomsToo) {
    CameraDrag(MouseButton::Left, 50, 60, 50, 60);
    View1DoubleClick(Mouse, View, M, ToolMode::Camera, At(MouseButton::Left, 50, 60));
    const ViewEffect fx = View1ButtonUp(Mouse, View, ToolMode::Camera, At(MouseButton::Left, 50, 60));
    EXPECT_FLOAT_EQ(View.ViewZoom, 10 * 1.1f * 1.1f);
    EXPECT_TRUE(fx.RefreshZoomLabel);
}

TEST_F(CameraModeTest, ZoomStopsAtItsLimits) {
    View.ViewZoom = 0.0105f / 15;
    CameraDrag(MouseButton::Right, 5, 5, 5, 5);
    EXPECT_FLOAT_EQ(View.ViewZoom, kMinZoom);
    View.ViewZoom = 999999.0f / 15;
    CameraDrag(MouseButton::Left, 5, 5, 5, 5);
    EXPECT_FLOAT_EQ(View.ViewZoom, kMaxZoom);
    EXPECT_EQ(ZoomStep(std::nanf(""), true, false), kDefaultZoom);
}

TEST_F(CameraModeTest, RotateWrapsAtTheEndsOfTheCircle) {
    SetOrientation(View, 5);
    View.ViewRotY = 358;
    CameraDrag(MouseButton::Left, 0, 0, 2 * kPixelsPerDegree, 0);
    EXPECT_EQ(View.ViewRotY, 0); // 360 becomes 0
    CameraDrag(MouseButton::Left, 10, 10, 10 - kPixelsPerDegree, 10);
    EXPECT_EQ(View.ViewRotY, 359); // -1 becomes 359
    CameraDrag(MouseButton::Left, 0, 0, 0, 3 * kPixelsPerDegree);
    EXPECT_FLOAT_EQ(View.ViewRotX, 3);
    EXPECT_EQ(WrapViewAngle(std::nanf("")), 0);
}

// A right drag of (zoom, 2 × zoom) pixels moves the centre by 1 and 2 model units on the two
// shown axes, in the directions of each orientation.
TEST_F(CameraModeTest, PanMovesTheCentreOnTheShownAxes) {
    const std::array<model::VertRec, 6> expected{{
        {0, -2, 1},
        {0, -2, -1},
        {2, 0, 1},
        {-2, 0, 1},
        {-1, -2, 0},
        {1, -2, 0},
    }};
    for (int orient = 0; orient < 6; ++orient) {
        SetOrientation(View, orient);
        View.ViewCenterX = View.ViewCenterY = View.ViewCenterZ = 0;
        const ViewEffect fx = CameraDrag(MouseButton::Right, 100, 100, 110, 120);
        const model::VertRec& e = expected[static_cast<std::size_t>(orient)];
        EXPECT_FLOAT_EQ(View.ViewCenterX, e.X) << orient;
        EXPECT_FLOAT_EQ(View.ViewCenterY, e.Y) << orient;
        EXPECT_FLOAT_EQ(View.ViewCenterZ, e.Z) << orient;
        EXPECT_EQ(View.ViewZoom, 10) << "a drag is no click";
        EXPECT_FALSE(fx.RefreshZoomLabel);
    }
}

TEST_F(CameraModeTest, MoveWithoutButtonOnlyReadsOut) {
    const ViewEffect fx = View1Move(Mouse, View, ToolMode::Camera, At(MouseButton::None, 210, 150));
    ASSERT_TRUE(fx.Readout.has_value());
    EXPECT_EQ(fx.Readout->Horizontal, "Z: 1.0000");
    EXPECT_FLOAT_EQ(Mouse.CursorModel.Horizontal, 1);
    EXPECT_FLOAT_EQ(Mouse.CursorModel.Vertical, 0);
    EXPECT_FALSE(fx.RedrawWireframe);
    EXPECT_EQ(View.ViewRotY, 270);
}

using PickingTest = Fixture;

TEST_F(PickingTest, ExactlyAtTheRadiusIsMissedAndTheLowerIndexWins) {
    constexpr float radius = 4;
    Vertex(104, 100, kFlagShown);                  // on the edge: missed
    Vertex(100, 96, kFlagShown);                   // on the edge: missed
    Vertex(100, 100, 0);                           // not shown
    const int near = Vertex(103, 102, kFlagShown); // hit
    Vertex(100.5f, 100, kFlagShown | kFlagInView); // hit, but later
    EXPECT_EQ(PickVertex(View, M, 100, 100, radius), near);
    EXPECT_EQ(PickVertex(View, M, 300, 300, radius), -1);

    M.VertCount = -1; // no model
    EXPECT_EQ(PickVertex(View, M, 100, 100, kPickRadius), -1);
}

TEST_F(PickingTest, EditModePressPicksAndReports) {
    M.Vert[Vertex(50, 50, kFlagShown)] = {1234.5678f, -2, 0.25f};
    ViewEffect fx = View1ButtonDown(Mouse, View, M, ToolMode::EditVertex, At(MouseButton::Left, 51, 49));
    EXPECT_EQ(fx.PickedVertex, 0);
    EXPECT_EQ(fx.Status, "Vertex: 0    x: 1234.5677  y: -2  z: .25"); // not 1234.567749
    fx = View1Move(Mouse, View, ToolMode::EditVertex, At(MouseButton::None, 55, 40));
    ASSERT_TRUE(fx.Drag.has_value());
    EXPECT_EQ(fx.Drag->FromX, 51);
    EXPECT_EQ(fx.Drag->ToY, 40);
    fx = View1ButtonUp(Mouse, View, ToolMode::EditVertex, At(MouseButton::Left, 51, 49));
    EXPECT_EQ(View.ViewZoom, 10) << "edit mode clicks never zoom";

    fx = View1DoubleClick(Mouse, View, M, ToolMode::EditVertex, At(MouseButton::Left, 80, 80));
    EXPECT_EQ(fx.PickedVertex, -1);
    fx = View1ButtonDown(Mouse, View, M, ToolMode::EditWaypoint, At(MouseButton::Left, 51, 49));
    EXPECT_FALSE(fx.PickedVertex.has_value()) << "waypoint mode picks its own objects";
    ASSERT_TRUE(fx.Click.has_value());
}

TEST_F(PickingTest, RubberBandNormalisesCornersDraggedAnyWay) {
    const PickRect want{10, 20, 30, 40};
    EXPECT_EQ(NormaliseRect(10, 20, 30, 40), want);
    EXPECT_EQ(NormaliseRect(30, 40, 10, 20), want);
    EXPECT_EQ(NormaliseRect(30, 20, 10, 40), want);
    EXPECT_EQ(NormaliseRect(10, 40, 30, 20), want);

    View1ButtonDown(Mouse, View, M, ToolMode::EditVertex, At(MouseButton::Right, 30, 40));
    ViewEffect fx = View1Move(Mouse, View, ToolMode::EditVertex, At(MouseButton::None, 10, 20));
    EXPECT_EQ(fx.Band, want);
    fx = View1ButtonUp(Mouse, View, ToolMode::EditVertex, At(MouseButton::Right, 10, 20));
    EXPECT_TRUE(fx.RemoveBand);
    EXPECT_EQ(fx.SelectRect, want);

    // The left button pressed during a band ends it; no band is left on the view.
    View1ButtonDown(Mouse, View, M, ToolMode::EditVertex, At(MouseButton::Right, 30, 40));
    fx = View1ButtonDown(Mouse, View, M, ToolMode::EditVertex, At(MouseButton::Left, 20, 30));
    EXPECT_TRUE(fx.RemoveBand);
    EXPECT_FALSE(Mouse.BandActive);
}

TEST_F(PickingTest, RubberBandTakesLeftAndTopEdgesAndOnlyVisibleVertices) {
    constexpr std::uint8_t both = kFlagShown | kFlagInView;
    const int topLeft = Vertex(10, 20, both);
    Vertex(30, 25, both); // right edge
    Vertex(15, 40, both); // bottom edge
    const int inside = Vertex(29.9f, 39.9f, both);
    Vertex(20, 30, kFlagShown);  // hidden by culling
    Vertex(20, 30, kFlagInView); // not shown
    // In view only by a bit in the store, which no redraw reads.
    M.VertFlag[Vertex(20, 30, kFlagShown)] = kFlagShown | kFlagInView;
    EXPECT_EQ(VerticesInRect(View, M, {10, 20, 30, 40}), (std::vector<int>{topLeft, inside}));
    EXPECT_TRUE(VerticesInRect(View, M, {10, 20, 10, 40}).empty());
    EXPECT_EQ(RectSelectText(2), "2 Vertices selected.");
}

// A band released where it started selects nothing, and its release is not a zoom click even
// in camera mode, which the mode may have switched to meanwhile.
TEST_F(PickingTest, EmptyBandSelectsNothingAndIsNoClick) {
    View1ButtonDown(Mouse, View, M, ToolMode::EditVertex, At(MouseButton::Right, 30, 40));
    const ViewEffect fx = View1ButtonUp(Mouse, View, ToolMode::Camera, At(MouseButton::Right, 30, 40));
    EXPECT_TRUE(fx.RemoveBand);
    EXPECT_FALSE(fx.SelectRect.has_value());
    EXPECT_EQ(View.ViewZoom, 10);
}

TEST(GlNavigationTest, DistanceStepsFollowTheDistance) {
    EXPECT_FLOAT_EQ(GlDistStep(9.99f), 0.01f);
    EXPECT_FLOAT_EQ(GlDistStep(-9.99f), 0.01f);
    EXPECT_FLOAT_EQ(GlDistStep(10), 0.25f);
    EXPECT_FLOAT_EQ(GlDistStep(149.9f), 0.25f);
    EXPECT_FLOAT_EQ(GlDistStep(150), 2);

    MouseState ms;
    gl::Camera cam;
    GlButtonDown(ms, At(MouseButton::Right, 0, 0));
    EXPECT_EQ(ms.GLDragKind, kGlDragZoom);
    GlMove(ms, cam, At(MouseButton::None, 0, 100)); // from 12: 100 × 0.25
    EXPECT_FLOAT_EQ(cam.GLDist, 37);
    cam.GLDist = 999990;
    GlMove(ms, cam, At(MouseButton::None, 0, 110));
    EXPECT_EQ(cam.GLDist, kMaxGlDist);
    cam.GLDist = 5;
    GlMove(ms, cam, At(MouseButton::None, 0, 10));
    EXPECT_FLOAT_EQ(cam.GLDist, 4);
    const ViewEffect fx = GlButtonUp(ms, At(MouseButton::Right, 0, 10));
    EXPECT_TRUE(fx.RebuildPointList && fx.RedrawGl);
    EXPECT_EQ(ms.GLDragKind, kGlDragNone);
}

TEST(GlNavigationTest, RotateAddsPixelsAsDegreesAndWraps) {
    MouseState ms;
    gl::Camera cam; // yaw 315, pitch 30
    GlButtonDown(ms, At(MouseButton::Left, 10, 10));
    const ViewEffect fx = GlMove(ms, cam, At(MouseButton::None, 56, -21));
    EXPECT_TRUE(fx.RedrawGl);
    EXPECT_EQ(cam.GLYaw, 0);     // 361
    EXPECT_EQ(cam.GLPitch, 360); // -1
    GlMove(ms, cam, At(MouseButton::None, 61, -21));
    EXPECT_EQ(cam.GLYaw, 5);
    EXPECT_FALSE(GlButtonUp(ms, {}).RebuildPointList);
    EXPECT_FALSE(GlMove(ms, cam, At(MouseButton::None, 0, 0)).RedrawGl) << "no button, no change";
    EXPECT_EQ(cam.GLYaw, 5);
}

using ViewCommandTest = Fixture;

TEST_F(ViewCommandTest, ResetToAxisFitsTheLargestBoundAroundTheOrigin) {
    SetOrientation(View, 5); // x right, y up
    test::AddVertex(M, -20, 5, 900);
    test::AddVertex(M, 10, -2, 0);
    View.ViewCenterX = 7;
    ResetViewToAxis(View, M);
    EXPECT_EQ(View.ViewCenterX, 0);
    EXPECT_FLOAT_EQ(View.ViewZoom, 300.0f / 40); // height over 2 × 20, z is not shown
    EXPECT_EQ(View.ViewOffX, 200);
    EXPECT_EQ(View.ViewOffY, 150);

    M.VertCount = 0;
    ResetViewToAxis(View, M);
    EXPECT_FLOAT_EQ(View.ViewZoom, kEmptyExtentZoom);

    View.ViewWidth = 0; // hidden view: the zoom stays
    View.ViewZoom = 3;
    ResetViewToAxis(View, M);
    EXPECT_EQ(View.ViewZoom, 3);
}

TEST_F(ViewCommandTest, CentreToExtentsAndToSelection) {
    SetOrientation(View, 0); // z right, y up
    test::AddVertex(M, 1, 0, 0);
    test::AddVertex(M, 3, 10, 20);
    test::AddVertex(M, 5, 2, 4);
    CenterToExtents(View, M);
    EXPECT_FLOAT_EQ(View.ViewCenterX, 3);
    EXPECT_FLOAT_EQ(View.ViewCenterY, 5);
    EXPECT_FLOAT_EQ(View.ViewCenterZ, 10);
    EXPECT_FLOAT_EQ(View.ViewZoom, 300.0f / 22);

    CenterToSelection(View, M); // nothing selected: the extents again
    EXPECT_FLOAT_EQ(View.ViewCenterZ, 10);
    M.VertSel[2] = model::kTrue;
    CenterToSelection(View, M); // one point: extent 0
    EXPECT_FLOAT_EQ(View.ViewCenterY, 2);
    EXPECT_FLOAT_EQ(View.ViewCenterZ, 4);
    EXPECT_FLOAT_EQ(View.ViewZoom, kEmptyExtentZoom);
}

TEST_F(ViewCommandTest, OrientationCycleAndRotationReset) {
    SetOrientation(View, 5);
    const ViewEffect fx = CycleOrientation(View);
    EXPECT_TRUE(fx.OrientationChanged);
    EXPECT_EQ(View.ViewOrient, 0);
    EXPECT_EQ(View.ViewRotY, 270);
    View.ViewRotX = 12;
    View.ViewRotY = 34;
    ResetRotation(View);
    EXPECT_EQ(View.ViewRotX, 0);
    EXPECT_EQ(View.ViewRotY, 270);
    View.ViewOrient = 9;
    CycleOrientation(View);
    EXPECT_EQ(View.ViewOrient, 0);
}

} // namespace
} // namespace zv::render
