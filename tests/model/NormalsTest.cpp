#include "model/Normals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>

namespace zv::model {
namespace {

class NormalsTest : public ::testing::Test {
protected:
    int AddVertex(float x, float y, float z) {
        m->Vert[++m->VertCount - 1] = {x, y, z};
        return m->VertCount - 1;
    }
    int AddPolygon(std::initializer_list<int> corners) {
        const int p = m->PolyCount++;
        int k = 0;
        for (const int v : corners) {
            m->PolyVert(p, k++) = v;
        }
        m->PolyVCount[p] = k;
        return p;
    }
    void SetUp() override {
        m->VertCount = 0;
        m->PolyCount = 0;
    }
    std::unique_ptr<ModelStore> m = std::make_unique<ModelStore>();
};

TEST_F(NormalsTest, StoredNormalIsTheNegatedUnitNewellNormal) {
    const int a = AddVertex(0, 0, 2), b = AddVertex(1, 0, 2), c = AddVertex(0, 1, 2);
    const int p = AddPolygon({a, b, c});
    CalcPolyNormal(*m, p);
    EXPECT_EQ(m->PolyNZ[p], -1.0f);
    EXPECT_EQ(m->PolyD[p], 2.0f);
    // The zero components are negated zeros, as a writer stores them.
    EXPECT_EQ(m->PolyNX[p], 0.0f);
    EXPECT_TRUE(std::signbit(m->PolyNX[p]));
    EXPECT_TRUE(std::signbit(m->NrmY[p]));
    EXPECT_EQ(m->NrmZ[p], -1.0f);
}

TEST_F(NormalsTest, NormalTablesHoldSixDecimals) {
    const int a = AddVertex(1, 0, 0), b = AddVertex(0, 1, 0), c = AddVertex(0, 0, 1);
    const int p = AddPolygon({a, b, c});
    CalcPolyNormal(*m, p);
    const double unit = 1 / std::sqrt(3.0);
    EXPECT_EQ(m->PolyNX[p], static_cast<float>(-unit));
    EXPECT_EQ(m->NrmX[p], static_cast<float>(-0.57735));
    EXPECT_EQ(m->NrmY[p], static_cast<float>(-0.57735));
    EXPECT_EQ(m->NrmZ[p], static_cast<float>(-0.57735));
    EXPECT_FLOAT_EQ(m->PolyD[p], static_cast<float>(unit));
}

TEST_F(NormalsTest, CollinearCornersGiveZeroNormalAndPlane) {
    const int a = AddVertex(0, 0, 0), b = AddVertex(1, 1, 1), c = AddVertex(2, 2, 2);
    const int p = AddPolygon({a, b, c});
    m->PolyD[p] = 99;
    CalcPolyNormal(*m, p);
    EXPECT_EQ(m->PolyNX[p], 0.0f);
    EXPECT_EQ(m->PolyNY[p], 0.0f);
    EXPECT_EQ(m->PolyNZ[p], 0.0f);
    EXPECT_EQ(m->PolyD[p], 0.0f);
}

TEST_F(NormalsTest, SecondNormalUsesCornersOneToThree) {
    // Corners 0..2 are collinear; corners 1..3 span the plane x = 0 facing +x.
    const int a = AddVertex(0, 0, 0), b = AddVertex(0, 1, 0), c = AddVertex(0, 2, 0), d = AddVertex(0, 2, 1);
    const int quad = AddPolygon({a, b, c, d});
    CalcPolyNormal(*m, quad);
    EXPECT_EQ(m->PolyNX[quad], 0.0f);
    CalcPolyNormal2(*m, quad);
    EXPECT_EQ(std::fabs(m->PolyNX[quad]), 1.0f);

    // A triangle has no corner 3: it wraps to corner 0 and gives its own plane.
    const int tri = AddPolygon({b, c, d});
    CalcPolyNormal(*m, tri);
    const float first = m->PolyNX[tri];
    m->PolyVert(tri, 3) = 123456; // stale slot above the corner count must not be read
    CalcPolyNormal2(*m, tri);
    EXPECT_EQ(m->PolyNX[tri], first);
}

TEST_F(NormalsTest, PolygonCentreIsTheMiddleOfTheBoundingBox) {
    const int a = AddVertex(-1, 5, 0), b = AddVertex(3, 1, 0), c = AddVertex(0, 2, 8);
    const int p = AddPolygon({a, b, c});
    CalcPolyCenters(*m);
    EXPECT_EQ(m->PolyCenter[p].X, 1.0f);
    EXPECT_EQ(m->PolyCenter[p].Y, 3.0f);
    EXPECT_EQ(m->PolyCenter[p].Z, 4.0f);
}

TEST_F(NormalsTest, VertexNormalIsTheMeanOverCornersThatUseIt) {
    for (int i = 0; i < 5; ++i) {
        AddVertex(static_cast<float>(i), 0, 0);
    }
    const int p = AddPolygon({0, 1, 2});
    const int q = AddPolygon({0, 2, 0, 3}); // uses vertex 0 twice
    m->PolyNX[p] = 1;
    m->PolyNY[p] = 0;
    m->PolyNZ[p] = 0;
    m->PolyNX[q] = 0;
    m->PolyNY[q] = 1;
    m->PolyNZ[q] = 0;
    CalcVertexNormals(*m);
    EXPECT_FLOAT_EQ(m->NrmX[0], 1.0f / 3);
    EXPECT_FLOAT_EQ(m->NrmY[0], 2.0f / 3);
    EXPECT_EQ(m->NrmX[1], 1.0f);
    EXPECT_EQ(m->NrmY[3], 1.0f);
    EXPECT_EQ(m->NrmX[4], 0.0f); // no polygon uses it
    EXPECT_EQ(m->NrmY[4], 0.0f);
}

TEST_F(NormalsTest, RecalcLeavesOutPolygonsWithCornersThatAreNoVertex) {
    const int a = AddVertex(0, 0, 0), b = AddVertex(1, 0, 0), c = AddVertex(0, 1, 0);
    const int good = AddPolygon({a, b, c});
    const int bad = AddPolygon({a, b, 7}); // vertex 7 does not exist
    m->PolyNX[bad] = 0.25f;
    EXPECT_EQ(RecalcNormals(*m), 1);
    EXPECT_EQ(m->PolyNZ[good], -1.0f);
    EXPECT_EQ(m->PolyNX[bad], 0.25f); // kept as it was
    // Vertex a's normal averages both polygons that use it, and nothing is written for 7.
    EXPECT_FLOAT_EQ(m->NrmX[a], 0.125f);
    EXPECT_FLOAT_EQ(m->NrmX[c], 0.0f);
}

} // namespace
} // namespace zv::model
