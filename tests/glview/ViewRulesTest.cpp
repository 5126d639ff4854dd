#include "render/gl/ViewRules.h"
#include "render/gl/GlView.h" // UploadTexture

#include <gtest/gtest.h>

#include <memory>

namespace zv::render::gl {
namespace {

// A store with one polygon of `corners` corners over vertices 0 .. corners-1, shown.
std::unique_ptr<model::ModelStore> OnePolygon(int corners) {
    auto m = std::make_unique<model::ModelStore>();
    m->VertCount = corners;
    m->PolyCount = 1;
    m->PolyVCount[0] = corners;
    for (int k = 0; k < corners; ++k)
        m->PolyVert(0, k) = k;
    m->PolyFlag[0] = 1;
    return m;
}

void ExpectColour(const Colour& c, float r, float g, float b, float a = 1) {
    EXPECT_FLOAT_EQ(c.R, r);
    EXPECT_FLOAT_EQ(c.G, g);
    EXPECT_FLOAT_EQ(c.B, b);
    EXPECT_FLOAT_EQ(c.A, a);
}

TEST(ViewRules, ClearColourScalesEachChannelByBrightness) {
    ExpectColour(ClearColour(config::Rgb(255, 255, 255), 65536), 255 / 256.0f, 255 / 256.0f, 255 / 256.0f);
    ExpectColour(ClearColour(config::Rgb(200, 100, 50), 32768), 100 / 256.0f, 50 / 256.0f, 25 / 256.0f);
    ExpectColour(ClearColour(config::Rgb(0, 0, 128), 65536), 0, 0, 0.5f);
}

TEST(ViewRules, PointSizeStepsWithDistance) {
    EXPECT_EQ(PointSize(9.9f), 5);
    EXPECT_EQ(PointSize(10), 2);
    EXPECT_EQ(PointSize(499.9f), 2);
    EXPECT_EQ(PointSize(500), 1.5f);
    EXPECT_EQ(PointSize(1000), 1);
}

TEST(ViewRules, RotationWrapsAndDrawModeCycles) {
    EXPECT_EQ(NextYaw(359), 0);
    EXPECT_EQ(NextYaw(359.5f), 0);
    EXPECT_EQ(NextYaw(358.5f), 359.5f);
    EXPECT_EQ(NextRenderType(0), 1);
    EXPECT_EQ(NextRenderType(2), 0);
    EXPECT_EQ(NextRenderType(7), 0);
}

TEST(ViewRules, TexturedAlphaDependsOnCornerCount) {
    for (int corners : {3, 4, 5}) {
        auto m = OnePolygon(corners);
        m->PolyA[0] = 0;
        const float opaque = corners == 4 ? 255 / 256.0f : 1.0f;
        ExpectColour(TexturedColour(*m, 0, corners), 1, 1, 1, opaque);
        m->PolyA[0] = 128;
        const float half = corners == 3 ? 0.5f : corners == 4 ? 127 / 256.0f : 1.0f;
        EXPECT_FLOAT_EQ(TexturedColour(*m, 0, corners).A, half) << corners << " corners";
    }
}

TEST(ViewRules, TexturedColourOfSelectedAndUntexturedTypes) {
    auto m = OnePolygon(3);
    m->PolyR[0] = 128;
    m->PolyG[0] = 64;
    m->PolyB[0] = 32;
    ExpectColour(TexturedColour(*m, 0, 3), 1, 1, 1);
    m->PolyType[0] = 36;
    ExpectColour(TexturedColour(*m, 0, 3), 0.5f, 0.25f, 0.125f);
    m->PolySel[0] = model::kTrue;
    ExpectColour(TexturedColour(*m, 0, 3), 1, 0.85f, 0.85f);
    EXPECT_TRUE(IsUntexturedType(25));
    EXPECT_FALSE(IsUntexturedType(24));
}

TEST(ViewRules, FlatColourOfSelectedAndCurrentPolygons) {
    auto tri = OnePolygon(3);
    tri->PolyNY[0] = -0.8f;
    tri->PolySel[0] = model::kTrue;
    ExpectColour(FlatColour(*tri, 0, 3, 1), 0.8f, 0.4f, 0.8f);
    auto quad = OnePolygon(4);
    quad->PolyNY[0] = 0.8f;
    quad->PolySel[0] = model::kTrue;
    ExpectColour(FlatColour(*quad, 0, 4, 1), 0.4f, 0.2f, 0.4f);
    quad->PolySel[0] = model::kFalse;
    quad->CurPoly = 0;
    ExpectColour(FlatColour(*quad, 0, 4, 8), 0.7f, 0.7f, 1.0f);
    EXPECT_FALSE(UsesCornerColour(*quad, 0, 8));
}

TEST(ViewRules, FlatColourModes) {
    auto m = OnePolygon(4);
    m->PolyR[0] = 64;
    m->PolyG[0] = 128;
    m->PolyB[0] = 255;
    m->PolyNX[0] = -0.6f;
    m->PolyNY[0] = 0.3f;
    m->PolyNZ[0] = -0.9f;
    ExpectColour(FlatColour(*m, 0, 4, 1), 0.25f, 0.5f, 255 / 256.0f);
    ExpectColour(FlatColour(*m, 0, 4, 2), 0, 0.3f, 0);
    ExpectColour(FlatColour(*m, 0, 4, 3), 0.6f, 0, 0);
    ExpectColour(FlatColour(*m, 0, 4, 4), 0, 0.3f, 0);
    ExpectColour(FlatColour(*m, 0, 4, 5), 0.9f, 0, 0);
    ExpectColour(FlatColour(*m, 0, 4, 6), 0.6f, 0.6f, 0.6f);
    ExpectColour(FlatColour(*m, 0, 4, 7), 0.3f, 0.9f, 0.6f);
    EXPECT_TRUE(UsesCornerColour(*m, 0, 8));
    ExpectColour(CornerColour(0.05f), 0.5f, 0, 0.5f);
    ExpectColour(FlatColour(*m, 0, 4, 0), 0.25f, 0.5f, 255 / 256.0f);
}

TEST(ViewRules, WireColourPrefersSelectionOverCurrent) {
    auto m = OnePolygon(3);
    ExpectColour(WireColour(*m, 0), 0, 0, 0);
    m->CurPoly = 0;
    ExpectColour(WireColour(*m, 0), 1, 1, 1);
    m->PolySel[0] = model::kTrue;
    ExpectColour(WireColour(*m, 0), 0.3f, 0.3f, 1);
}

TEST(ViewRules, DamagedPolygonsAreNotDrawable) {
    auto m = OnePolygon(3);
    EXPECT_EQ(DrawableCorners(*m, 0), 3);
    m->PolyVert(0, 2) = 3; // beyond VertCount
    EXPECT_EQ(DrawableCorners(*m, 0), 0);
    m->PolyVert(0, 2) = -1;
    EXPECT_EQ(DrawableCorners(*m, 0), 0);
    m->PolyVert(0, 2) = 2;
    m->PolyVCount[0] = 17;
    EXPECT_EQ(DrawableCorners(*m, 0), 0);
}

TEST(ViewRules, ShownIsBitZeroOfThePolygonFlag) {
    auto m = OnePolygon(3);
    m->PolyFlag[0] = 1;
    EXPECT_TRUE(IsShown(*m, 0));
    m->PolyFlag[0] = 0;
    EXPECT_FALSE(IsShown(*m, 0));
    m->PolyFlag[0] = 6; // other bits are not the shown flag
    EXPECT_FALSE(IsShown(*m, 0));
    m->PolyFlag[0] = 7;
    EXPECT_TRUE(IsShown(*m, 0));
}

TEST(ViewRules, UploadRefusesBadArgumentsWithoutTouchingOpenGl) {
    GlView view;
    const std::uint8_t pixel[4] = {1, 2, 3, 4};
    EXPECT_FALSE(view.UploadTexture(-1, 1, 1, pixel));
    EXPECT_FALSE(view.UploadTexture(model::kTextureCapacity, 1, 1, pixel));
    EXPECT_FALSE(view.UploadTexture(0, 0, 1, pixel));
    EXPECT_FALSE(view.UploadTexture(0, 1, 1, static_cast<const std::uint8_t*>(nullptr)));
    EXPECT_FALSE(view.UploadTexture(0, 2, 1, std::span<const std::uint8_t>(pixel, 4)));
    EXPECT_EQ(view.TexGL(0), 0u);
}

} // namespace
} // namespace zv::render::gl
