#include "render/CursorReadout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zv::render {
namespace {

// Projecting a model point and reading it back under its pixel gives its two shown
// coordinates, in every orientation and with either camera, off-centre and zoomed.
TEST(CursorReadoutTest, ScreenToModelInvertsTheProjection) {
    const model::VertRec p{1.5f, -2.25f, 4.0f};
    for (bool alt : {false, true}) {
        for (int orient = 0; orient < 6; ++orient) {
            WireframeView v;
            SetOrientation(v, orient);
            v.AltCamera = alt;
            v.ViewZoom = 7.5f;
            v.ViewCenterX = -3;
            v.ViewCenterY = 2;
            v.ViewCenterZ = 0.5f;
            v.ViewOffX = 320;
            v.ViewOffY = 200;
            const ScreenPos s = Project(v, p);
            const ModelUnderCursor at = ScreenToModel(v, s.X, s.Y);
            const ShownAxes ax = AxesOf(orient);
            EXPECT_NEAR(at.Horizontal, Component(p, ax.Horizontal), 1e-3) << orient << " alt " << alt;
            EXPECT_NEAR(at.Vertical, Component(p, ax.Vertical), 1e-3) << orient << " alt " << alt;
        }
    }
}

TEST(CursorReadoutTest, PointFourFormDropsTheLeadingZero) {
    EXPECT_EQ(FormatPointFour(0.5), ".5000");
    EXPECT_EQ(FormatPointFour(-0.5), "-.5000");
    EXPECT_EQ(FormatPointFour(0), ".0000");
    EXPECT_EQ(FormatPointFour(-0.00001), ".0000"); // rounds to zero: no sign
    EXPECT_EQ(FormatPointFour(12.34567), "12.3457");
    EXPECT_EQ(FormatPointFour(-1234.5), "-1234.5000");
    EXPECT_EQ(FormatPointFour(10.0), "10.0000");
    EXPECT_EQ(FormatPointFour(std::numeric_limits<double>::infinity()), "---");
}

TEST(CursorReadoutTest, GeneralFormDropsTrailingZeros) {
    EXPECT_EQ(FormatGeneral(0.5, 6), "0.5");
    EXPECT_EQ(FormatGeneral(-3, 6), "-3");
    EXPECT_EQ(FormatGeneral(1.23456789, 6), "1.234568");
    EXPECT_EQ(FormatGeneral(-0.0000001, 6), "0");
    EXPECT_EQ(FormatGeneral(100, 2), "100");
    EXPECT_EQ(FormatGeneral(33.333333, 2), "33.33");
    EXPECT_EQ(FormatGeneral(std::nan(""), 6), "---");
}

TEST(CursorReadoutTest, LabelsCutTheValueToEightCharacters) {
    WireframeView v;
    SetOrientation(v, 2); // Z right, X down
    v.ViewZoom = 2;
    v.ViewOffX = 100;
    v.ViewOffY = 100;
    v.ViewCenterZ = 123456.78f;
    CursorReadout r = ReadOut(v, 100, 101);
    EXPECT_EQ(r.Horizontal, "Z: 123456.7");
    EXPECT_EQ(r.Vertical, "X: 0.5");
    EXPECT_EQ(r.Zoom, "Zf: 2");

    SetOrientation(v, 4); // -X right, Y up
    v.ViewCenterZ = 0;
    v.ViewCenterY = -1.0f / 3;
    v.ViewZoom = kDefaultZoom;
    r = ReadOut(v, 100, 100);
    EXPECT_EQ(r.Horizontal, "X: .0000");
    EXPECT_EQ(r.Vertical, "Y: -0.33333"); // "-0.333333" cut
    EXPECT_EQ(r.Zoom, "Zf: 33.33");
}

} // namespace
} // namespace zv::render
