#include "render/WireframeView.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

namespace zv::render {
namespace {

constexpr float kTol = 1e-3f;

struct Vec {
    float X, Y, Z;
};

Vec Add(Vec a, Vec b, float k) {
    return {a.X + k * b.X, a.Y + k * b.Y, a.Z + k * b.Z};
}

ScreenPos At(const WireframeView& v, Vec p) {
    return Project(v, {p.X, p.Y, p.Z});
}

TEST(ProjectionTest, BackViewAtTheOriginDrawsModelXYDirectly) {
    WireframeView v;
    SetOrientation(v, 5);
    v.ViewZoom = 1;
    v.ViewOffX = 400;
    v.ViewOffY = 300;
    const ScreenPos s = At(v, {12.5f, -7, 3});
    EXPECT_EQ(s.X, 412.5f);
    EXPECT_EQ(s.Y, 307.0f);
    EXPECT_EQ(s.Z, 3.0f);
}

// For every orientation: the centre point lands on the view centre, and one model unit along
// the axis the table names for screen right (up) moves zoom pixels right (up).
TEST(ProjectionTest, EveryOrientationShowsItsAxesAroundTheCentre) {
    struct Case {
        int Orient;
        Vec Right;
        Vec Up;
    };
    const std::array<Case, 6> cases{{
        {0, {0, 0, 1}, {0, 1, 0}},
        {1, {0, 0, -1}, {0, 1, 0}},
        {2, {0, 0, 1}, {-1, 0, 0}},
        {3, {0, 0, 1}, {1, 0, 0}},
        {4, {-1, 0, 0}, {0, 1, 0}},
        {5, {1, 0, 0}, {0, 1, 0}},
    }};
    const Vec centre{3, -2, 5};
    for (const Case& c : cases) {
        WireframeView v;
        SetOrientation(v, c.Orient);
        v.ViewZoom = 4;
        v.ViewCenterX = centre.X;
        v.ViewCenterY = centre.Y;
        v.ViewCenterZ = centre.Z;
        v.ViewOffX = 200;
        v.ViewOffY = 100;
        const ScreenPos mid = At(v, centre);
        EXPECT_NEAR(mid.X, 200, kTol) << c.Orient;
        EXPECT_NEAR(mid.Y, 100, kTol) << c.Orient;
        const ScreenPos right = At(v, Add(centre, c.Right, 1));
        EXPECT_NEAR(right.X, 204, kTol) << c.Orient;
        EXPECT_NEAR(right.Y, 100, kTol) << c.Orient;
        const ScreenPos up = At(v, Add(centre, c.Up, 1));
        EXPECT_NEAR(up.X, 200, kTol) << c.Orient;
        EXPECT_NEAR(up.Y, 96, kTol) << c.Orient;
    }
}

TEST(ProjectionTest, UnknownOrientationsFallBackToTheFirst) {
    EXPECT_EQ(Orientation(9).Caption, "Right");
    WireframeView v;
    SetOrientation(v, 3);
    SetOrientation(v, 7);
    EXPECT_EQ(v.ViewOrient, 0);
    EXPECT_EQ(v.ViewRotX, 0);
    EXPECT_EQ(v.ViewRotY, 270);
}

TEST(ProjectionTest, AlternateCameraOrbitsTheCentreWhateverTheOrientation) {
    WireframeView v;
    v.AltCamera = true;
    v.ViewRotX = 0;
    v.ViewRotY = 90;
    v.ViewZoom = 2;
    v.ViewCenterX = 1;
    v.ViewCenterY = 2;
    v.ViewCenterZ = 3;
    v.ViewOffX = 50;
    v.ViewOffY = 60;
    for (int orient : {0, 3, 5}) {
        v.ViewOrient = static_cast<std::int16_t>(orient);
        const ScreenPos c = At(v, {1, 2, 3});
        EXPECT_NEAR(c.X, 50, kTol);
        EXPECT_NEAR(c.Y, 60, kTol);
        // One unit along +Z from the centre: rotated 90 degrees about Y it points left.
        const ScreenPos s = At(v, {1, 2, 4});
        EXPECT_NEAR(s.X, 48, kTol);
        EXPECT_NEAR(s.Y, 60, kTol);
    }
    // Tilted about X, depth feeds the vertical position.
    v.ViewRotY = 0;
    v.ViewRotX = 90;
    const ScreenPos s = At(v, {1, 2, 4});
    EXPECT_NEAR(s.X, 50, kTol);
    EXPECT_NEAR(s.Y, 58, kTol);
    EXPECT_NEAR(s.Z, 2, kTol);
}

TEST(ProjectionTest, FixedCameraAppliesTheCentreAfterTheRotation) {
    // The same view as above with the fixed camera: with Y rotated by 90 degrees the centre
    // terms of orientation 0 no longer cancel the rotated centre.
    WireframeView v;
    v.ViewRotY = 90;
    v.ViewZoom = 2;
    v.ViewCenterZ = 3;
    v.ViewOffX = 50;
    const ScreenPos s = At(v, {0, 0, 3});
    EXPECT_NEAR(s.X, 50 - 6 - 6, kTol);
}

TEST(ProjectionTest, AnglesUseTheWholeDegreeEntries) {
    WireframeView a;
    WireframeView b;
    a.ViewRotY = 359.6f;
    b.ViewRotY = 360;
    a.ViewRotX = 0.5f;
    b.ViewRotX = 0;
    const model::VertRec p{1, 2, 3};
    EXPECT_EQ(Project(a, p).X, Project(b, p).X);
    EXPECT_EQ(Project(a, p).Y, Project(b, p).Y);
}

TEST(ProjectionTest, FacingTestUsesScreenWindingWithDegenerateFacing) {
    const ScreenPos p0{0, 0, 0}, p1{10, 0, 0}, p2{0, 10, 0};
    EXPECT_FALSE(FacesAway(p0, p1, p2));
    EXPECT_TRUE(FacesAway(p0, p2, p1));
    EXPECT_FALSE(FacesAway(p0, p1, {20, 0, 0}));
}

TEST(ProjectionTest, PixelsRoundHalvesToEvenAndClamp) {
    EXPECT_EQ(ToPixel(0.5f), 0);
    EXPECT_EQ(ToPixel(1.5f), 2);
    EXPECT_EQ(ToPixel(-2.5f), -2);
    EXPECT_EQ(ToPixel(1e20f), std::numeric_limits<std::int32_t>::max());
}

} // namespace
} // namespace zv::render
