// Texture mapping and assignment on small hand-made models: the six projection directions, the
// display scale of large textures, which polygons and corner slots the commands touch, the
// wet-surface angle at its limits, and the read-outs of the texture window.

#include "edit/TextureOps.h"

#include "tests/support/ModelBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace zv::edit {
namespace {

using model::kFalse;
using model::kTrue;
using test::AddPolygon;
using test::AddVertex;
using Ints = std::vector<int>;

class TextureOpsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::StartModel(*m);
        test::AddTexture(*m, "a");
        test::AddTexture(*m, "b");
        test::AddTexture(*m, "c");
    }
    // A unit square in the XY plane: vertices 0 (0,0) 1 (1,0) 2 (1,1) 3 (0,1).
    void Square() {
        AddVertex(*m, 0, 0, 0);
        AddVertex(*m, 1, 0, 0);
        AddVertex(*m, 1, 1, 0);
        AddVertex(*m, 0, 1, 0);
    }
    void Select(std::initializer_list<int> polygons) {
        for (const int p : polygons) {
            m->PolySel[p] = kTrue;
        }
    }
    Ints Textures() const {
        Ints out;
        for (int p = 0; p < m->PolyCount; ++p) {
            out.push_back(m->PolyTex[p]);
        }
        return out;
    }
    Ints Selected() const {
        Ints out;
        for (int p = 0; p < m->PolyCount; ++p) {
            if (m->PolySel[p] != kFalse) {
                out.push_back(p);
            }
        }
        return out;
    }

    std::unique_ptr<model::ModelStore> m = std::make_unique<model::ModelStore>();
    Recorder rec;
};

// ---- Planar mapping -----------------------------------------------------------------------

TEST_F(TextureOpsTest, MinusZMapsXToUAndMinusYToV) {
    Square();
    AddPolygon(*m, {{0}, {1}, {2}, {3}});
    AddPolygon(*m, {{0, 0.25f}, {1}, {2}}); // not selected
    AddPolygon(*m, {{0}, {1}, {9, 0.75f, 0.5f}});
    Select({0, 2});
    const PlanarView view = DirectionView(MapDirection::MinusZ, 10, 20);
    // 128 x 64: drawn at scale 2, 256 x 128.
    EXPECT_EQ(MapSelectedPlanar(*m, rec, view, 2, 128, 64), Change(Change::Polygons));
    EXPECT_EQ(Textures(), (Ints{2, 0, 2}));
    EXPECT_FLOAT_EQ(m->PolyTU(0, 0), 10.0f / 256);
    EXPECT_FLOAT_EQ(m->PolyTV(0, 0), 20.0f / 128);
    EXPECT_FLOAT_EQ(m->PolyTU(0, 2), 290.0f / 256) << "U grows with X";
    EXPECT_FLOAT_EQ(m->PolyTV(0, 2), -260.0f / 128) << "V grows with -Y";
    EXPECT_EQ(m->PolyTU(1, 0), 0.25f);
    EXPECT_EQ(m->PolyTU(2, 2), 0.75f) << "a corner that is no vertex keeps its coordinates";
    EXPECT_EQ(m->PolyTV(2, 2), 0.5f);
    EXPECT_EQ(PlanarUv(view, 128, 64, m->Vert[2]), (Uv{m->PolyTU(0, 2), m->PolyTV(0, 2)}));

    EXPECT_EQ(MapSelectedPlanar(*m, rec, view, 2, 128, 64), kNoChange) << "already mapped";
    for (const int tex : {-1, 3}) {
        EXPECT_EQ(MapSelectedPlanar(*m, rec, view, tex, 128, 64), kNoChange) << tex;
    }
}

TEST_F(TextureOpsTest, EachDirectionLooksAlongItsAxis) {
    struct Case {
        MapDirection Dir;
        model::VertRec P;
        double X, Y;
    };
    // Where a point one unit along an axis is drawn at zoom 280 around the origin.
    const Case cases[] = {
        {MapDirection::MinusZ, {1, 0, 0}, 280, 0},  {MapDirection::MinusZ, {0, 1, 0}, 0, -280},
        {MapDirection::Z, {1, 0, 0}, -280, 0},      {MapDirection::X, {0, 0, 1}, 280, 0},
        {MapDirection::MinusX, {0, 0, 1}, -280, 0}, {MapDirection::X, {0, 1, 0}, 0, -280},
        {MapDirection::Y, {1, 0, 0}, 0, -280},      {MapDirection::Y, {0, 0, 1}, -280, 0},
        {MapDirection::MinusY, {1, 0, 0}, 0, 280},  {MapDirection::MinusY, {0, 0, 1}, -280, 0},
    };
    for (const Case& c : cases) {
        const auto [x, y] = MapPoint(DirectionView(c.Dir), c.P);
        EXPECT_NEAR(x, c.X, 1e-3) << static_cast<int>(c.Dir);
        EXPECT_NEAR(y, c.Y, 1e-3) << static_cast<int>(c.Dir);
    }
    EXPECT_EQ(ParseMapDirection("-X"), MapDirection::MinusX);
    EXPECT_EQ(ParseMapDirection("z"), MapDirection::Z);
    EXPECT_FALSE(ParseMapDirection("w").has_value());
    EXPECT_FALSE(ParseMapDirection("--z").has_value());
}

TEST_F(TextureOpsTest, LargeTexturesScaleByTheFractionInsteadOfZero) {
    EXPECT_EQ(DisplayScale(128, 64), 2);
    EXPECT_EQ(DisplayScale(64, 64), 4);
    EXPECT_EQ(DisplayScale(384, 16), 1) << "0.67 rounds to 1";
    EXPECT_EQ(DisplayScale(512, 512), 0.5) << "0.5 would round to 0";
    EXPECT_EQ(DisplayScale(1024, 256), 0.25);
    EXPECT_EQ(DisplayScale(0, -3), 256) << "sizes below 1 count as 1";

    Square();
    AddPolygon(*m, {{0}, {1}, {2}, {3}});
    Select({0});
    EXPECT_TRUE(MapSelectedPlanar(*m, rec, DirectionView(MapDirection::MinusZ), 1, 1024, 512).Any());
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(std::isfinite(m->PolyTU(0, k)) && std::isfinite(m->PolyTV(0, k))) << k;
    }
    EXPECT_FLOAT_EQ(m->PolyTU(0, 1), 280.0f / 256) << "1024 pixels drawn 256 wide";
    EXPECT_FLOAT_EQ(m->PolyTV(0, 2), -280.0f / 128);
}

TEST_F(TextureOpsTest, ZoomStaysWithinItsLimits) {
    EXPECT_FLOAT_EQ(ZoomClick(280, true), 294);
    EXPECT_FLOAT_EQ(ZoomClick(294, false), 280);
    EXPECT_EQ(ZoomClick(9999, true), 10000);
    EXPECT_EQ(ZoomClick(5.1f, false), 5);
    EXPECT_FLOAT_EQ(ZoomDrag(100, true), 102);
    EXPECT_EQ(ZoomDrag(9900, true), 10000);
    EXPECT_EQ(ZoomDrag(0.0001f, false), 1) << "too small starts over at 1";

    const PlanarView view = DirectionView(MapDirection::Z, 100, 50);
    EXPECT_EQ(PanReadout(view, 30, 190), (std::array<std::string, 2>{"Z: 0.25", "Y: -0.5"}));
    EXPECT_EQ(PanReadout(view, 0, 50)[0], "Z: 0.357143") << "rounded to 6 decimals";
    EXPECT_EQ(PanReadout(view, -2.8e7, 50)[0], "Z: 100000.35714") << "cut to 15 characters";
}

// ---- Texture commands ---------------------------------------------------------------------

TEST_F(TextureOpsTest, ReplaceChangesOnlySelectedPolygonsWithTheOldTexture) {
    Square();
    AddPolygon(*m, {{0}, {1}, {2}}, 0);
    AddPolygon(*m, {{0}, {1}, {2}}, 1);
    AddPolygon(*m, {{0}, {1}, {2}}, 0);
    AddPolygon(*m, {{0}, {1}, {2}}, 0);
    Select({0, 1, 3});
    EXPECT_EQ(ReplaceTexture(*m, rec, 0, 2), Change(Change::Polygons));
    EXPECT_EQ(Textures(), (Ints{2, 1, 0, 2}));
    EXPECT_EQ(ReplaceTexture(*m, rec, 0, 2), kNoChange);
    for (const auto& [from, to] : {std::pair{-1, 2}, {1, -1}, {1, 3}, {1, 1}}) {
        EXPECT_EQ(ReplaceTexture(*m, rec, from, to), kNoChange) << from << " " << to;
    }
    EXPECT_EQ(Textures(), (Ints{2, 1, 0, 2}));
}

TEST_F(TextureOpsTest, CopyUvFillsEverySlotOfTheSelectedPolygons) {
    Square();
    const int quad = AddPolygon(*m, {{0, 0, 0}, {1, 1, 0}, {2, 1, 1}, {3, 0, 1}});
    for (int k = 4; k < model::kMaxCorners; ++k) {
        m->PolyTU(quad, k) = static_cast<float>(k);
    }
    AddPolygon(*m, {{0}, {1}, {2}});
    AddPolygon(*m, {{0, 0.5f}, {1}, {2}}); // not selected
    Select({0, 1});
    EXPECT_EQ(CopyUvToSelected(*m, rec, quad), Change(Change::Polygons));
    for (int k = 0; k < model::kMaxCorners; ++k) {
        EXPECT_EQ(m->PolyTU(1, k), m->PolyTU(0, k)) << k;
        EXPECT_EQ(m->PolyTV(1, k), m->PolyTV(0, k)) << k;
    }
    EXPECT_EQ(m->PolyTU(1, 3), 0.0f);
    EXPECT_EQ(m->PolyTV(1, 3), 1.0f) << "the triangle's unused slot 3 too";
    EXPECT_EQ(m->PolyTU(2, 0), 0.5f);
    EXPECT_EQ(CopyUvToSelected(*m, rec, quad), kNoChange);
    EXPECT_EQ(CopyUvToSelected(*m, rec, -1), kNoChange);
    EXPECT_EQ(CopyUvToSelected(*m, rec, 3), kNoChange);
}

TEST_F(TextureOpsTest, SelectByTextureAndColourOfTheCurrentPolygon) {
    Square();
    AddPolygon(*m, {{0}, {1}, {2}}, 1, 0, 1, 2, 3, 4);
    AddPolygon(*m, {{0}, {1}, {2}}, 1, 0, 1, 2, 3, 5);
    AddPolygon(*m, {{0}, {1}, {2}}, 0, 0, 1, 2, 3, 4);
    AddPolygon(*m, {{0}, {1}, {2}}, 2);
    Select({3});
    EXPECT_EQ(SelectSameTexture(*m), kNoChange) << "no current polygon";
    m->CurPoly = 0;
    EXPECT_EQ(SelectSameTexture(*m), Change(Change::Selection));
    EXPECT_EQ(Selected(), (Ints{0, 1, 3})) << "nothing is deselected";
    EXPECT_EQ(SelectSameTexture(*m), kNoChange);
    EXPECT_EQ(SelectSameColour(*m), Change(Change::Selection));
    EXPECT_EQ(Selected(), (Ints{0, 1, 2, 3}));
    m->CurPoly = 4; // left past the count
    EXPECT_EQ(SelectSameColour(*m), kNoChange);
}

TEST_F(TextureOpsTest, ApplyWithoutPolygonOrTextureWritesNothingOutsideTheTables) {
    Square();
    AddPolygon(*m, {{0}, {1}, {2}}, 1);
    const std::array<double, 4> colour{1, 2, 3, 4};
    EXPECT_EQ(ApplyToCurrentPolygon(*m, rec, 2, 5, colour), kNoChange) << "no current polygon";
    m->CurPoly = 0;
    EXPECT_EQ(ApplyToCurrentPolygon(*m, rec, -1, 5, colour), Change(Change::Polygons));
    EXPECT_EQ(m->PolyTex[0], 1) << "no list entry: the texture stays";
    EXPECT_EQ(m->PolyType[0], 5);
    EXPECT_EQ(m->PolyA[0], 4);
    EXPECT_EQ(ApplyToCurrentPolygon(*m, rec, 2, 0x8000, colour), Change(Change::Polygons));
    EXPECT_EQ(m->PolyTex[0], 2);
    EXPECT_EQ(m->PolyType[0], -32768);
}

// ---- Wet surfaces -------------------------------------------------------------------------

TEST_F(TextureOpsTest, WetTransparencyBelowSixDegrees) {
    // Triangles in the XZ plane tilted about X by t degrees, facing up; the raised corner
    // rounds upwards, so 6 degrees is 6 or just above, never just below.
    const auto tilted = [&](double degrees, int type) {
        const double r = degrees * 3.14159265358979 / 180;
        const int v = AddVertex(*m, 0, 0, 0);
        float y = static_cast<float>(std::sin(r));
        const float z = static_cast<float>(std::cos(r));
        while (degrees > 0 && AngleFromUp({0, 0, 0}, {0, y, z}, {1, 0, 0}) < degrees) {
            y = std::nextafter(y, 1.0f);
        }
        AddVertex(*m, 0, y, z);
        AddVertex(*m, 1, 0, 0);
        return AddPolygon(*m, {{v}, {v + 1}, {v + 2}}, 0, type);
    };
    const int flat = tilted(0, 7), three = tilted(3, 7), six = tilted(6, 7), steep = tilted(30, 7);
    const int notSelected = tilted(0, 7);
    EXPECT_EQ(AngleFromUp(m->Vert[0], m->Vert[1], m->Vert[2]), 0);
    EXPECT_NEAR(AngleFromUp(m->Vert[6], m->Vert[7], m->Vert[8]), 6, 1e-5);
    test::SelectAll(*m);
    m->PolySel[notSelected] = kFalse;

    EXPECT_EQ(WetSurfaceTransparency(*m, rec), Change(Change::Polygons));
    EXPECT_EQ(m->PolyType[flat], kWetType);
    EXPECT_EQ(m->PolyA[flat], 14) << "6 x 2.35 = 14.1";
    EXPECT_EQ(m->PolyType[three], kWetType);
    EXPECT_EQ(m->PolyA[three], 7) << "3 x 2.35 = 7.05";
    EXPECT_EQ(m->PolyType[six], 7);
    EXPECT_EQ(m->PolyA[six], 40);
    EXPECT_EQ(m->PolyType[steep], 7);
    EXPECT_EQ(m->PolyType[notSelected], 7);
    EXPECT_EQ(WetSurfaceTransparency(*m, rec), kNoChange);
}

TEST_F(TextureOpsTest, WetAngleOfANormalComponentRoundedPastOne) {
    EXPECT_EQ(WetAngle(1 + 1e-7), 0) << "not NaN";
    EXPECT_EQ(WetAngle(1), 0);
    EXPECT_EQ(WetAngle(-1 - 1e-7), 0) << "facing down counts as on the axis";
    EXPECT_NEAR(WetAngle(std::cos(6 * 3.14159265358979 / 180)), 6, 1e-6);
    EXPECT_NEAR(AngleFromUp({0, 0, 0}, {1, 0, 0}, {2, 0, 0}), 90, 1e-6) << "degenerate: no normal";
    EXPECT_EQ(AngleFromUp({0, 0, 0}, {1, 0, 0}, {0, 0, 1}), 0) << "facing down";
}

// ---- The texture window -------------------------------------------------------------------

TEST_F(TextureOpsTest, MouseAndBoxesOfTheTextureWindow) {
    // 128 x 64 is drawn 256 x 128.
    EXPECT_EQ(UvFromPoint(256, 64, 128, 64), (Uv{1, 0.5f}));
    EXPECT_EQ(UvFromPoint(300, -5, 128, 64), (Uv{1, 0})) << "clamped to the texture";
    EXPECT_EQ(UvFromPoint(128, 200, 1024, 512), (Uv{0.5f, 1})) << "drawn at a quarter";
    EXPECT_EQ(DisplayPoint({1, 0.5f}, 128, 64), (std::array<double, 2>{256, 64})) << "the outline's corner";

    EXPECT_EQ(CoordinateText(0.5f, 64, true), "32");
    EXPECT_EQ(CoordinateText(0.5f, 64, false), "0.5");
    EXPECT_EQ(CoordinateText(0.1234567f, 64, false), "0.123457");
    EXPECT_EQ(CoordinateText(-2, 64, false), "-2");
    EXPECT_EQ(StoredCoordinate(32, 64, true), 0.5f) << "pixels are stored normalised";
    EXPECT_EQ(StoredCoordinate(0.25, 64, false), 0.25f);

    Square();
    AddPolygon(*m, {{0}, {1}, {2}});
    EXPECT_EQ(SetCurrentCornerUv(*m, rec, {0.5f, 0.25f}), kNoChange) << "no current polygon";
    m->CurPoly = 0;
    m->CurCorner = 3; // a corner the triangle does not have
    EXPECT_EQ(SetCurrentCornerUv(*m, rec, {0.5f, 0.25f}), kNoChange);
    m->CurCorner = 2;
    EXPECT_EQ(SetCurrentCornerUv(*m, rec, {0.5f, 0.25f}), Change(Change::Polygons));
    EXPECT_EQ(m->PolyTU(0, 2), 0.5f);
    EXPECT_EQ(m->PolyTV(0, 2), 0.25f);
    EXPECT_EQ(SetCurrentCornerUv(*m, rec, {0.5f, 0.25f}), kNoChange);
}

} // namespace
} // namespace zv::edit
