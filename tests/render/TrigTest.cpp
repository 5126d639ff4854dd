#include "render/Trig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zv::render {
namespace {

TEST(TrigTest, AnglesRoundToTheNearestWholeDegreeWithHalvesToEven) {
    EXPECT_EQ(DegreeIndex(359.6), 360);
    EXPECT_EQ(DegreeIndex(0.5), 0);
    EXPECT_EQ(DegreeIndex(1.5), 2);
    EXPECT_EQ(DegreeIndex(2.5), 2);
    EXPECT_EQ(DegreeIndex(-0.6), -1);
    EXPECT_EQ(DegreeIndex(89.4), 89);
}

TEST(TrigTest, AnglesOutsideTheTablesAreClamped) {
    EXPECT_EQ(DegreeIndex(-7), -1);
    EXPECT_EQ(DegreeIndex(361.4), 361);
    EXPECT_EQ(DegreeIndex(1e30), 361);
    EXPECT_EQ(DegreeIndex(-1e30), -1);
    EXPECT_EQ(DegreeIndex(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(CosTab(400), CosTab(361));
    EXPECT_EQ(SinTab(-5), SinTab(-1));
}

TEST(TrigTest, EntriesHoldTheWholeDegreeValues) {
    for (int d : {-1, 0, 45, 90, 180, 270, 359, 360, 361}) {
        EXPECT_EQ(CosTab(d), static_cast<float>(std::cos(d * 0.017453292))) << d;
        EXPECT_EQ(SinTab(d), static_cast<float>(std::sin(d * 0.017453292))) << d;
    }
    EXPECT_EQ(CosTab(0), 1.0f);
    EXPECT_EQ(SinTab(0), 0.0f);
    EXPECT_NEAR(SinTab(270), -1.0f, 1e-7);
}

TEST(TrigTest, LookUpByAngleUsesTheRoundedEntry) {
    EXPECT_EQ(SinDeg(359.6), SinTab(360));
    EXPECT_NE(SinDeg(359.6), SinTab(359));
    EXPECT_EQ(CosDeg(0.5), CosTab(0));
}

} // namespace
} // namespace zv::render
