#include "render/ViewLayout.h"

#include <gtest/gtest.h>

namespace zv::render {
namespace {

const ViewLayout kCurrent{true, false, {1, 2, 3, 4}, {5, 6, 7, 8}, 9, 10};

TEST(ViewLayoutTest, EachLayoutPlacesTheViewsAndTheCentre) {
    const LayoutResult only = LayOutViews(0, 800, 600, true, kCurrent);
    EXPECT_TRUE(only.Changed);
    EXPECT_EQ(only.Layout, (ViewLayout{true, false, {0, 0, 800, 600}, {5, 6, 7, 8}, 400, 300}));
    EXPECT_FALSE(only.SetGlViewport);
    EXPECT_EQ(only.Timer, RotationTimer::Disable);

    const LayoutResult side = LayOutViews(1, 801, 600, true, kCurrent);
    EXPECT_EQ(side.Layout, (ViewLayout{true, true, {0, 0, 400, 600}, {400, 0, 401, 600}, 200, 300}));
    EXPECT_TRUE(side.SetGlViewport);
    EXPECT_EQ(side.Timer, RotationTimer::Enable);

    const LayoutResult stacked = LayOutViews(2, 800, 601, false, kCurrent);
    EXPECT_EQ(stacked.Layout, (ViewLayout{true, true, {0, 0, 800, 300}, {0, 300, 800, 301}, 400, 150}));
    EXPECT_EQ(stacked.Timer, RotationTimer::Disable);

    const LayoutResult gl = LayOutViews(4, 800, 600, true, kCurrent);
    EXPECT_EQ(gl.Layout, (ViewLayout{false, true, {1, 2, 3, 4}, {0, 0, 800, 600}, 9, 10}));
    EXPECT_TRUE(gl.SetGlViewport);
    EXPECT_EQ(gl.Timer, RotationTimer::Enable);
}

TEST(ViewLayoutTest, OffsetsRoundHalvesToEven) {
    EXPECT_EQ(LayOutViews(1, 102, 101, false, kCurrent).Layout.ViewOffX, 26); // 25.5
    EXPECT_EQ(LayOutViews(1, 98, 101, false, kCurrent).Layout.ViewOffX, 24);  // 24.5
    EXPECT_EQ(LayOutViews(1, 98, 101, false, kCurrent).Layout.ViewOffY, 50);  // 50.5
}

TEST(ViewLayoutTest, NarrowAreasAndLayoutThreeKeepTheCurrentLayout) {
    const LayoutResult narrow = LayOutViews(0, kMinLayoutWidth - 1, 600, true, kCurrent);
    EXPECT_FALSE(narrow.Changed);
    EXPECT_EQ(narrow.Layout, kCurrent);
    EXPECT_EQ(narrow.Timer, RotationTimer::Unchanged);
    EXPECT_TRUE(LayOutViews(0, kMinLayoutWidth, 600, true, kCurrent).Changed);

    const LayoutResult three = LayOutViews(3, 800, 600, true, kCurrent);
    EXPECT_FALSE(three.Changed);
    EXPECT_FALSE(three.SetGlViewport);
    EXPECT_EQ(three.Layout, kCurrent);
    EXPECT_FALSE(LayOutViews(1, 800, -1, true, kCurrent).Changed);
}

TEST(ViewLayoutTest, UnknownLayoutsAreLaidOutSideBySide) {
    EXPECT_EQ(LayOutViews(9, 800, 600, false, kCurrent).Layout,
              LayOutViews(1, 800, 600, false, kCurrent).Layout);
}

} // namespace
} // namespace zv::render
