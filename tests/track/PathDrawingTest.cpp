// The path overlay of the wireframe view and picking the Bezier control points.

#include "track/PathDrawing.h"

#include "tests/support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <limits>

namespace zv::track {
namespace {

using test::CanvasOpKind;

class PathView : public ::testing::Test {
protected:
    void SetUp() override {
        render::SetOrientation(view, 2); // top view
        view.ViewWidth = 200;
        view.ViewHeight = 200;
        view.ViewOffX = 100;
        view.ViewOffY = 100;
        view.ViewZoom = 10;
        path.Pts = {{0, 0, 0}, {0, 0, 4}, {4, 0, 4}};
        path.EndIndex = 2;
    }

    render::ScreenPos At(const Vec3& p) const { return render::Project(view, PointOf(p)); }

    test::RecordingCanvas Draw() {
        test::RecordingCanvas canvas;
        PathOverlay(path).DrawPath(canvas, view);
        return canvas;
    }

    render::WireframeView view;
    PathTable path;
};

TEST_F(PathView, LineThroughThePointsWithAMarkOnEach) {
    const test::RecordingCanvas canvas = Draw();
    const auto lines = canvas.OfKind(CanvasOpKind::Lines);
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].Segments.size(), 2u);
    const render::ScreenPos b = At({0, 0, 4});
    EXPECT_EQ(lines[0].Segments[0].B, (render::PixelPoint{render::ToPixel(b.X), render::ToPixel(b.Y)}));
    const auto dots = canvas.OfKind(CanvasOpKind::WideDot);
    ASSERT_EQ(dots.size(), 3u) << "no control points while Bezier editing is off";
    EXPECT_EQ(dots[2].Colour, kPathEndColour) << "the builder's end point stands out";
}

TEST_F(PathView, ControlPointsWhileBezierEditingWithCurrentOnTop) {
    path.Bezier.Mode = true;
    path.Bezier.CP = {Vec3{1, 0, 0}, Vec3{1, 0, 3}, Vec3{3, 0, 3}, Vec3{3, 0, 6}};
    path.Bezier.Current = 1;
    const test::RecordingCanvas canvas = Draw();
    const auto lines = canvas.OfKind(CanvasOpKind::Lines);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].Segments.size(), 3u) << "the control polygon";
    const auto dots = canvas.OfKind(CanvasOpKind::WideDot);
    ASSERT_EQ(dots.size(), 7u);
    EXPECT_EQ(dots.back().Colour, kCurrentControlColour);
    EXPECT_EQ(dots.back().DotX, At(path.Bezier.CP[1]).X);

    const render::ScreenPos p = At(path.Bezier.CP[3]);
    EXPECT_EQ(PickControlPoint(path, view, p.X + 2, p.Y - 2, 4), 3);
    EXPECT_EQ(PickControlPoint(path, view, p.X + 30, p.Y, 4), -1);
    path.Bezier.Mode = false;
    EXPECT_EQ(PickControlPoint(path, view, p.X, p.Y, 4), -1);
}

TEST_F(PathView, FarAndBrokenPointsAreLeftOut) {
    path.Pts = {{0, 0, 1000}, {0, 0, 2000}, {std::numeric_limits<float>::quiet_NaN(), 0, 0}, {0, 0, 0}};
    path.EndIndex = 0;
    const test::RecordingCanvas canvas = Draw();
    EXPECT_TRUE(canvas.OfKind(CanvasOpKind::Lines).empty());
    EXPECT_EQ(canvas.OfKind(CanvasOpKind::WideDot).size(), 1u);
    PathTable empty;
    test::RecordingCanvas none;
    PathOverlay(empty).DrawPath(none, view);
    EXPECT_TRUE(none.Ops.empty());
}

} // namespace
} // namespace zv::track
