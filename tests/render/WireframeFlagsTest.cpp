#include "render/WireframeView.h"
#include "tests/support/ModelBuilder.h"

#include <gtest/gtest.h>

#include <limits>

namespace zv::render {
namespace {

using test::AddPolygon;
using test::AddVertex;

// A 100 x 100 view looking at the back, zoom 1, centre offset 0: model (x, y) is screen (x, -y).
class WireframeFlagsTest : public ::testing::Test {
protected:
    WireframeFlagsTest() {
        SetOrientation(view, 5);
        view.ViewZoom = 1;
        view.ViewWidth = 100;
        view.ViewHeight = 100;
        test::StartModel(m);
    }
    bool VertInView(int i) const { return (view.VertView[i] & kFlagInView) != 0; }
    bool PolyInView(int p) const { return (view.PolyView[p] & kFlagInView) != 0; }
    bool PolyAway(int p) const { return (view.PolyView[p] & kFlagFacingAway) != 0; }
    // A triangle facing the viewer (clockwise on the screen) at screen x0, y0.
    int Front(float x0, float y0) {
        const int a = AddVertex(m, x0, -y0, 0);
        const int b = AddVertex(m, x0 + 10, -y0, 0);
        const int c = AddVertex(m, x0, -y0 - 10, 0);
        return AddPolygon(m, {{a}, {b}, {c}});
    }
    void Run() { ProjectAndFlag(view, m, settings); }

    WireframeView view;
    model::ModelStore m;
    config::Settings settings;
};

TEST_F(WireframeFlagsTest, VertexAtTwiceTheWidthShowsItsPolygonButGetsNoMark) {
    const int a = AddVertex(m, 10, -10, 0);
    const int edge = AddVertex(m, 200, -10, 0);
    const int c = AddVertex(m, 10, -20, 0);
    const int p = AddPolygon(m, {{a}, {edge}, {c}});
    Run();
    EXPECT_TRUE(PolyInView(p));
    EXPECT_FALSE(VertInView(edge));
    EXPECT_TRUE(VertInView(a));

    // Three widths out, or exactly two widths to the left, the polygon is out of view.
    m.Vert[edge] = {300, -10, 0};
    Run();
    EXPECT_FALSE(PolyInView(p));
    m.Vert[edge] = {-200, -10, 0};
    Run();
    EXPECT_FALSE(PolyInView(p));
    m.Vert[edge] = {-199.5f, -10, 0};
    Run();
    EXPECT_TRUE(PolyInView(p));
    EXPECT_FALSE(VertInView(edge));
    // Just inside the narrow margin on the vertical axis.
    m.Vert[edge] = {10, 99.5f, 0};
    Run();
    EXPECT_TRUE(VertInView(edge));
}

TEST_F(WireframeFlagsTest, RedrawReplacesTheViewFlagsAndCombinesWithTheShownOnes) {
    const int p = Front(10, 10);
    m.VertFlag[0] = kFlagShown;
    m.PolyFlag[p] = kFlagShown;
    view.PolyView[p] = kFlagFacingAway; // left by an earlier redraw
    Run();
    EXPECT_EQ(view.VertView[0], kFlagInView);
    EXPECT_EQ(view.PolyView[p], kFlagInView);
    EXPECT_EQ(VertexFlags(view, m, 0), kFlagShown | kFlagInView);
    EXPECT_EQ(PolygonFlags(view, m, p), kFlagShown | kFlagInView);
    EXPECT_EQ(m.VertFlag[0], kFlagShown);
    EXPECT_EQ(m.PolyFlag[p], kFlagShown);

    m.Vert[0] = {-500, 0, 0};
    m.PolyFlag[p] = 0;
    Run();
    EXPECT_EQ(VertexFlags(view, m, 0), kFlagShown);
    EXPECT_EQ(PolygonFlags(view, m, p), 0) << "hidden by the model, out of view by the redraw";

    // Only the shown bit of the store counts; the view's bits come from the view alone.
    m.VertFlag[0] = kFlagShown | kFlagInView;
    view.VertView[0] = kFlagFacingAway;
    EXPECT_EQ(VertexFlags(view, m, 0), kFlagShown | kFlagFacingAway);
}

TEST_F(WireframeFlagsTest, PolygonsWithoutUsableCornersAreNotInView) {
    Front(10, 10);
    const int empty = AddPolygon(m, {});
    const int broken = AddPolygon(m, {{0}, {1}, {77}});
    const int line = AddPolygon(m, {{0}, {1}});
    view.PolyView[empty] = kFlagInView | kFlagFacingAway;
    view.PolyView[broken] = kFlagInView | kFlagFacingAway;
    Run();
    EXPECT_EQ(view.PolyView[empty], 0);
    EXPECT_EQ(view.PolyView[broken], 0);
    EXPECT_TRUE(PolyInView(line));
    EXPECT_FALSE(PolyAway(line));
}

TEST_F(WireframeFlagsTest, CullingFlagsPolygonsFacingAwayOnlyWhileOn) {
    const int front = Front(10, 10);
    const int back = AddPolygon(m, {{0}, {2}, {1}});
    const int flat = AddPolygon(m, {{0}, {0}, {1}});
    Run();
    EXPECT_FALSE(PolyAway(front));
    EXPECT_TRUE(PolyAway(back));
    EXPECT_FALSE(PolyAway(flat));
    EXPECT_TRUE(PolyInView(back));

    view.CullPolys = false;
    Run();
    EXPECT_FALSE(PolyAway(back));
}

TEST_F(WireframeFlagsTest, FrontOnlyHidesVerticesUsedOnlyByPolygonsFacingAway) {
    const int front = Front(10, 10);                    // vertices 0 1 2
    const int lone = AddVertex(m, 40, -40, 0);          // used only by the back polygon
    const int back = AddPolygon(m, {{0}, {lone}, {1}}); // shares 0 and 1 with the front one
    const int free = AddVertex(m, 50, -50, 0);          // in no polygon
    settings.SelectFrontOnly = true;
    Run();
    ASSERT_TRUE(PolyAway(back));
    ASSERT_FALSE(PolyAway(front));
    EXPECT_TRUE(VertInView(0));
    EXPECT_TRUE(VertInView(1));
    EXPECT_FALSE(VertInView(lone));
    EXPECT_TRUE(VertInView(free));

    // Without culling the rule never applies.
    view.CullPolys = false;
    Run();
    EXPECT_TRUE(VertInView(lone));

    // Off by itself: nothing hidden either.
    view.CullPolys = true;
    settings.SelectFrontOnly = false;
    Run();
    EXPECT_TRUE(VertInView(lone));
}

TEST_F(WireframeFlagsTest, FrontOnlyNeverRevealsAVertexOutOfView) {
    const int a = AddVertex(m, 10, -10, 0);
    const int b = AddVertex(m, 20, -10, 0);
    const int far = AddVertex(m, std::numeric_limits<float>::quiet_NaN(), 0, 0);
    AddPolygon(m, {{a}, {b}, {far}});
    settings.SelectFrontOnly = true;
    Run();
    EXPECT_FALSE(VertInView(far));
    EXPECT_TRUE(VertInView(a));
}

TEST_F(WireframeFlagsTest, ScrVertHoldsTheProjectionOfEveryVertex) {
    view.ViewOffX = 7;
    AddVertex(m, 3, 4, 5);
    Run();
    EXPECT_EQ(view.ScrVert[0].X, 10);
    EXPECT_EQ(view.ScrVert[0].Y, -4);
    EXPECT_EQ(view.ScrVert[0].Z, 5);
}

} // namespace
} // namespace zv::render
