#include "track/TrackGenerator.h"

#include "edit/Parts.h"
#include "tests/support/ModelBuilder.h"
#include "tests/support/RecordingUi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <sstream>
#include <vector>

namespace zv::track {
namespace {

PathTable PathOf(const std::vector<Vec3>& pts, float camber = 0) {
    PathTable p;
    p.Pts = pts;
    p.SegLen.assign(pts.size(), 99.0f); // stale: the generator measures again
    p.Heading.assign(pts.size(), 0.0f);
    p.Camber.assign(pts.size(), camber);
    return p;
}

PathTable Square(float side) {
    return PathOf({{0, 0, 0}, {side, 0, 0}, {side, 0, side}, {0, 0, side}});
}

// Everything of the model a user can see, as text, so two states compare with a readable diff.
std::string Dump(const model::ModelStore& m) {
    std::ostringstream o;
    o << "v " << m.VertCount << " p " << m.PolyCount << " t " << m.TexCount << " load " << m.LoadCount
      << " cur " << m.CurVert << ' ' << m.CurPoly << '\n';
    for (int v = 0; v < model::UsedVertices(m); ++v) {
        o << m.Vert[v].X << ',' << m.Vert[v].Y << ',' << m.Vert[v].Z << ' ' << m.VertSel[v] << ' '
          << int{m.VertFlag[v]} << '\n';
    }
    for (int p = 0; p < model::UsedPolygons(m); ++p) {
        o << m.PolyVCount[p] << ':';
        for (int k = 0; k < model::CornerCount(m, p); ++k) {
            o << ' ' << m.PolyVert(p, k) << '/' << m.PolyTU(p, k) << '/' << m.PolyTV(p, k);
        }
        o << " tex " << m.PolyTex[p] << " type " << m.PolyType[p] << " rgb " << int{m.PolyR[p]} << ','
          << int{m.PolyG[p]} << ',' << int{m.PolyB[p]} << " sel " << m.PolySel[p] << " flag "
          << int{m.PolyFlag[p]} << '\n';
    }
    for (int g = 1; g <= m.PartCount(); ++g) {
        o << m.PartNodes[static_cast<std::size_t>(g - 1)].Text << ':';
        for (int i = 1; i <= m.GroupSize[g]; ++i) {
            o << ' ' << m.GroupPoly(g, i);
        }
        o << '\n';
    }
    for (int t = 0; t < m.TexCount; ++t) {
        o << m.TexName[t] << '\n';
    }
    return o.str();
}

struct Fixture {
    std::unique_ptr<model::ModelStore> M = std::make_unique<model::ModelStore>();
    test::RecordingUi Ui;
    edit::Recorder None;
    edit::Change Run(PathTable& p, const TrackSection& s = {}) { return GenerateTrack(Ui, *M, p, s, None); }
};

TEST(TrackGenerator, SectionFollowsHeadingAndCamber) {
    Fixture f;
    PathTable along = PathOf({{0, 0, 0}, {25, 0, 0}, {50, 0, 0}});
    ASSERT_TRUE(f.Run(along).Any());
    // Heading 0 along +x: the section lies along z, negative side first.
    const float z[16] = {-27.5f, -23.5f, -19.5f, -19.5f, -19,   -19,   -9,    -8,
                         8,      9,      19,     19,     19.5f, 19.5f, 23.5f, 27.5f};
    const bool raised[16] = {false, false, false, true, true, false, false, false,
                             false, false, false, true, true, false, false, false};
    for (int k = 0; k < 16; ++k) {
        SCOPED_TRACE(k);
        EXPECT_FLOAT_EQ(f.M->Vert[k].Z, z[k]);
        EXPECT_NEAR(f.M->Vert[k].X, 0, 1e-6);
        EXPECT_FLOAT_EQ(f.M->Vert[k].Y, raised[k] ? 1.0f : 0.0f);
        EXPECT_FLOAT_EQ(f.M->Vert[16 + k].X, 25);
    }
    EXPECT_FLOAT_EQ(along.Heading[0], 0);

    // Along +z the heading is 90 (z difference first), the negative side at +x; a camber of 90
    // turns the lateral offset upwards.
    PathTable up = PathOf({{0, 0, 0}, {0, 0, 25}, {0, 0, 50}}, 90);
    ASSERT_TRUE(f.Run(up).Any());
    EXPECT_FLOAT_EQ(up.Heading[0], 90);
    EXPECT_NEAR(f.M->Vert[0].X, 0, 1e-4);
    EXPECT_NEAR(f.M->Vert[0].Y, 27.5, 1e-4);
    EXPECT_NEAR(f.M->Vert[0].Z, 0, 1e-4);
    EXPECT_NEAR(f.M->Vert[3].Y, 20.5, 1e-4); // wall top: offset 19.5 plus the wall height
}

TEST(TrackGenerator, RepeatCountsAndQuadLayout) {
    Fixture f;
    PathTable p = PathOf({{0, 0, 0}, {1.5f, 0, 0}, {21.5f, 0, 0}, {49.5f, 0, 0}});
    ASSERT_TRUE(f.Run(p).Any());
    EXPECT_FLOAT_EQ(p.SegLen[0], 49.5f); // the closing segment, measured
    EXPECT_FLOAT_EQ(p.SegLen[2], 20);
    const float repeats[4] = {0, 2, 4, 6}; // 1.5 short, 20/8 = 2.5 to 2, 28/8 = 3.5 to 4, 49.5/8 to 6
    for (int s = 0; s < 4; ++s) {
        EXPECT_FLOAT_EQ(f.M->PolyTV(15 * s, 2), repeats[s]) << s;
    }
    // Segment 1 (R = 2), one quad of each pattern: order, corners, texture coordinates, texture, colour.
    struct Expect {
        int Order;
        int Corners[4];
        float Uv[4][2];
        int Tex;
        int R, G, B;
    };
    const Expect cases[] = {
        {0, {23, 24, 40, 39}, {{0, 0}, {1, 0}, {1, 2}, {0, 2}}, 0, 160, 160, 160},
        {7, {19, 20, 36, 35}, {{1, 2}, {0, 2}, {0, 0}, {1, 0}}, 8, 200, 200, 255},
        {1, {22, 23, 39, 38}, {{2, 0}, {2, 1}, {0, 1}, {0, 0}}, 1, 160, 150, 50},
        {2, {24, 25, 41, 40}, {{0, 1}, {0, 0}, {2, 0}, {2, 1}}, 2, 160, 150, 50},
    };
    for (const Expect& e : cases) {
        SCOPED_TRACE(e.Order);
        const int q = 15 + e.Order;
        EXPECT_EQ(f.M->PolyVCount[q], 4);
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(f.M->PolyVert(q, c), e.Corners[c]);
            EXPECT_FLOAT_EQ(f.M->PolyTU(q, c), e.Uv[c][0]);
            EXPECT_FLOAT_EQ(f.M->PolyTV(q, c), e.Uv[c][1]);
        }
        EXPECT_EQ(f.M->PolyTex[q], e.Tex);
        EXPECT_EQ(f.M->PolyType[q], 52);
        EXPECT_EQ(int{f.M->PolyR[q]}, e.R);
        EXPECT_EQ(int{f.M->PolyG[q]}, e.G);
        EXPECT_EQ(int{f.M->PolyB[q]}, e.B);
    }
    // The closing segment joins the last point to the first.
    EXPECT_EQ(f.M->PolyVert(45, 2), 8);
}

TEST(TrackGenerator, ClosedSquareMakesOneClearModel) {
    Fixture f;
    test::StartModel(*f.M);
    test::AddVertex(*f.M, 1, 2, 3);
    f.M->VertSel[0] = model::kTrue;
    f.M->PolySel[70] = model::kTrue; // stale selection beyond the old model
    f.M->ModelFileName = "old.vrl";
    PathTable p = Square(25);
    TrackSection s;
    s.SplitDistance = 1000;
    s.Textures[5] = "road2";
    EXPECT_EQ(f.Run(p, s), edit::Change(edit::Change::Geometry | edit::Change::Polygons |
                                        edit::Change::Selection | edit::Change::Parts |
                                        edit::Change::Textures | edit::Change::Counts | edit::Change::Path));
    const model::ModelStore& m = *f.M;
    EXPECT_EQ(m.VertCount, 64);
    EXPECT_EQ(m.PolyCount, 60);
    ASSERT_EQ(m.PartCount(), 3);
    EXPECT_EQ(m.PartNodes[0].Text, "Trak000   p:28");
    EXPECT_EQ(m.PartNodes[1].Text, "Sidr000   p:16");
    EXPECT_EQ(m.PartNodes[2].Text, "Sidl000   p:16");
    EXPECT_EQ(m.LoadCount, 4);
    const std::vector<std::string> names{"ROAD2",  "DIRTR",  "DIRTL", "GRASA", "CONCRI", "CONCRO",
                                         "CONCLI", "CONCLO", "CONCT", "GRASB", "GRASC"};
    ASSERT_EQ(m.TexCount, 11);
    for (int t = 0; t < 11; ++t) {
        EXPECT_EQ(m.TexName[t], names[static_cast<std::size_t>(t)]);
        EXPECT_EQ(f.Ui.TextureList[static_cast<std::size_t>(t)], "Nl: " + names[static_cast<std::size_t>(t)]);
    }
    for (int v = -1; v < model::kVertexCapacity; ++v) {
        ASSERT_EQ(m.VertSel[v], model::kFalse) << v;
    }
    for (int q = -1; q < model::kPolygonCapacity; ++q) {
        ASSERT_EQ(m.PolySel[q], model::kFalse) << q;
    }
    for (int v = 0; v < 64; ++v) {
        EXPECT_EQ(m.VertFlag[v] & 1, 1);
    }
    EXPECT_EQ(f.Ui.Caption, "ZV0.681 [ old.vrl ]    v: 64  p: 60");
    EXPECT_EQ(f.Ui.PartsCaption, "Groups: 3");
}

TEST(TrackGenerator, SplitPointsNumberPartsPerPass) {
    Fixture f;
    PathTable p = Square(25);
    ASSERT_TRUE(f.Run(p).Any()); // split distance 40: points 1 and 3 end a part
    std::vector<std::string> nodes;
    for (const model::PartNode& n : f.M->PartNodes) {
        nodes.push_back(n.Text.substr(0, 7));
    }
    EXPECT_EQ(nodes,
              (std::vector<std::string>{"Trak000", "Trak001", "Sidr000", "Sidr001", "Sidl000", "Sidl001"}));
    std::vector<int> members;
    for (int i = 1; i <= f.M->GroupSize[4]; ++i) {
        members.push_back(f.M->GroupPoly(4, i));
    }
    EXPECT_EQ(members, (std::vector<int>{37, 39, 41, 43, 52, 54, 56, 58}));
}

TEST(TrackGenerator, RefusalsChangeNothing) {
    auto refuse = [](PathTable p, TrackSection s, const std::string& phrase) {
        Fixture f;
        test::StartModel(*f.M);
        test::AddVertex(*f.M, 1, 2, 3);
        const std::string before = Dump(*f.M);
        const PathTable pathBefore = p;
        EXPECT_EQ(f.Run(p, s), edit::kNoChange);
        EXPECT_EQ(Dump(*f.M), before);
        EXPECT_EQ(p, pathBefore);
        ASSERT_EQ(f.Ui.Messages.size(), 1u);
        EXPECT_EQ(f.Ui.Messages[0].Title, "Create Track");
        EXPECT_NE(f.Ui.Messages[0].Text.find(phrase), std::string::npos) << f.Ui.Messages[0].Text;
    };
    auto line = [](int n, float step) {
        std::vector<Vec3> pts;
        for (int i = 0; i < n; ++i) {
            pts.push_back({step * static_cast<float>(i), 0, 0});
        }
        return PathOf(pts);
    };
    TrackSection s;
    refuse(line(5001, 8), s, "at most 80000 vertices");
    s.SplitDistance = 1e6f;
    refuse(line(200, 1), s, "Lower the split distance");
    s.SplitDistance = 0.5f;
    refuse(line(300, 1), s, "Raise the split distance");
    s.SplitDistance = std::numeric_limits<float>::infinity();
    refuse(Square(25), s, "must be numbers");
    s.SplitDistance = 40;
    s.Widths[3] = std::numeric_limits<float>::quiet_NaN();
    refuse(Square(25), s, "must be numbers");

    Fixture f;
    PathTable one = PathOf({{0, 0, 0}});
    EXPECT_EQ(f.Run(one), edit::kNoChange);
    EXPECT_TRUE(f.Ui.Messages.empty());
}

TEST(TrackGenerator, UndoRestoresThePreviousModelAndRedoTheTrack) {
    Fixture f;
    model::ModelStore& m = *f.M;
    test::StartModel(m);
    for (int i = 0; i < 100; ++i) { // more vertices than the track has, fewer polygons
        test::AddVertex(m, static_cast<float>(i), 1, 2);
    }
    for (int i = 0; i < 20; ++i) {
        test::AddPolygon(m, {{i, 0.5f, 0.25f}, {i + 1}, {i + 2}}, i % 2, 7);
    }
    test::AddTexture(m, "OLDA");
    test::AddTexture(m, "OLDB");
    m.PolySel[3] = model::kTrue;
    edit::AddPart(m, f.Ui, "Body");
    m.VertSel[5] = model::kTrue;
    const std::string before = Dump(m);
    PathTable p = Square(25);
    const PathTable pathBefore = p;

    edit::History h;
    edit::Recorder rec = h.Begin(m, "Create Track");
    h.End(GenerateTrack(f.Ui, m, p, {}, rec));
    const std::string after = Dump(m);
    const PathTable pathAfter = p;
    ASSERT_NE(after, before);

    h.Undo(m);
    EXPECT_EQ(Dump(m), before);
    EXPECT_EQ(p, pathBefore);
    h.Redo(m);
    EXPECT_EQ(Dump(m), after);
    EXPECT_EQ(p, pathAfter);
}

} // namespace
} // namespace zv::track
