// The polygon commands on small hand-made models with parts: the corner rules, the order of
// part members after deletions and splits, the refusals, and the cursors and tables the
// classic commands left pointing past what they changed.

#include "edit/PolygonOps.h"

#include "model/Columns.h"
#include "model/Normals.h"
#include "tests/support/ModelBuilder.h"
#include "tests/support/RecordingUi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace zv::edit {
namespace {

using model::kFalse;
using model::kTrue;
using test::AddPolygon;
using test::AddVertex;
using Ints = std::vector<int>;
using Texts = std::vector<std::string>;

class PolygonOpsTest : public ::testing::Test {
protected:
    void SetUp() override { test::StartModel(*m); }

    // n vertices on a line, or a flat grid of columns x rows.
    void Vertices(int n) {
        for (int i = 0; i < n; ++i) {
            AddVertex(*m, static_cast<float>(i), static_cast<float>(i % 3), 0);
        }
    }
    void Grid(int columns, int rows) {
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < columns; ++x) {
                AddVertex(*m, static_cast<float>(x), static_cast<float>(y), 0);
            }
        }
    }
    // Polygons 0 .. n - 1 as triangles over the first vertices, numbered by their texture.
    void Triangles(int n) {
        for (int p = 0; p < n; ++p) {
            AddPolygon(*m, {{0}, {1}, {2}}, p);
        }
    }
    int Part(const Ints& members) {
        const int g = m->PartCount() + 1;
        m->PartNodes.push_back({"part" + std::to_string(g), true});
        m->GroupName[g] = "part" + std::to_string(g);
        m->GroupSize[g] = static_cast<int>(members.size());
        for (std::size_t i = 0; i < members.size(); ++i) {
            m->GroupPoly(g, static_cast<int>(i) + 1) = members[i];
        }
        return g;
    }
    Ints Members(int g) const {
        Ints out;
        for (int i = 1; i <= m->GroupSize[g]; ++i) {
            out.push_back(m->GroupPoly(g, i));
        }
        return out;
    }
    // The texture of every polygon: which polygons remain, in order.
    Ints Textures() const {
        Ints out;
        for (int p = 0; p < m->PolyCount; ++p) {
            out.push_back(m->PolyTex[p]);
        }
        return out;
    }
    Ints Corners(int p) const {
        Ints out;
        for (int k = 0; k < m->PolyVCount[p]; ++k) {
            out.push_back(m->PolyVert(p, k));
        }
        return out;
    }
    std::vector<float> Us(int p) const {
        std::vector<float> out;
        for (int k = 0; k < m->PolyVCount[p]; ++k) {
            out.push_back(m->PolyTU(p, k));
        }
        return out;
    }
    void Select(std::initializer_list<int> polygons) {
        for (const int p : polygons) {
            m->PolySel[p] = kTrue;
        }
    }
    // Every polygon and vertex row of the capacity, the parts and the counts, for checking that
    // a refused command wrote nothing.
    std::vector<std::byte> Everything() const {
        std::vector<std::byte> out;
        const auto whole = [&](const auto& table) {
            using Table = std::remove_cvref_t<decltype(table)>;
            const std::size_t row = sizeof(typename Table::Element) * Table::kPerRow / Table::kSlices;
            for (int s = 0; s < Table::kSlices; ++s) {
                const auto* bytes = reinterpret_cast<const std::byte*>(table.Slice(s, 0));
                out.insert(out.end(), bytes, bytes + row * static_cast<std::size_t>(table.Rows()));
            }
        };
        model::ForEachVertexColumn(*m, whole);
        model::ForEachPolygonColumn(*m, whole);
        for (int g = 1; g <= m->PartCount(); ++g) {
            for (const int q : Members(g)) {
                out.push_back(static_cast<std::byte>(q));
            }
        }
        for (const int v : {m->VertCount, m->PolyCount, m->CurPoly, m->CurCorner, m->CurEdge}) {
            out.push_back(static_cast<std::byte>(v));
        }
        return out;
    }

    std::unique_ptr<model::ModelStore> m = std::make_unique<model::ModelStore>();
    Recorder rec;
    test::RecordingUi ui;
};

// ---- Add, change, go to -------------------------------------------------------------------

TEST_F(PolygonOpsTest, AddCountsOnlyEntriesThatAreVertices) {
    Vertices(4);
    EXPECT_EQ(CountedCorners(*m, Texts{"0", "", "-1", "2", "3", "4", "x", " 1 ", "3.6", "-0.4", "2.4"}),
              (Ints{0, 2, 3, 1, 2}))
        << "4 is VertCount, and 3.6 rounds to it";
    EXPECT_EQ(AddPolygon(*m, rec, ui, Texts{"0", "", "-1", "2", "3"}),
              Change(Change::Polygons | Change::Counts));
    ASSERT_EQ(m->PolyCount, 1);
    EXPECT_EQ(Corners(0), (Ints{0, 2, 3}));
    EXPECT_EQ(m->PolyType[0], kTexturedType);
    EXPECT_EQ(m->PolyFlag[0], 1);
    EXPECT_EQ(m->PolySel[0], kFalse);
    EXPECT_EQ(m->PolyTU(0, 5), 1.0f) << "corner 5 is corner 1 of the pattern";
    EXPECT_EQ(m->PolyTV(0, 6), 1.0f);
    EXPECT_EQ(m->PolyTV(0, 1), 0.0f);
    EXPECT_NE(m->PolyNZ[0], 0.0f) << "the normal is computed";
    EXPECT_EQ(AddPolygon(*m, rec, ui, Texts{"0", "1", "9"}), kNoChange) << "two corners: the panel stays";

    m->PolyCount = kMaxPolygons;
    const auto before = Everything();
    EXPECT_EQ(AddPolygon(*m, rec, ui, Texts{"0", "1", "2"}), kNoChange);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Add Polygon");
    EXPECT_EQ(ui.Messages[0].Text, "Can't add,\r80000 polygons is the limit !");
    EXPECT_TRUE(Everything() == before);

    m->VertCount = m->PolyCount = -1;
    EXPECT_EQ(AddPolygon(*m, rec, ui, Texts{"0", "1", "2"}), kNoChange) << "no model";
}

TEST_F(PolygonOpsTest, ChangeKeepsCursorsAndSelectedEdgeWithinTheNewCorners) {
    Vertices(5);
    AddPolygon(*m, {{0, 0.5f}, {1}, {2}, {3}, {4}});
    m->CurPoly = 0;
    m->CurCorner = 4;
    m->CurEdge = 3;
    m->PolySelEdge[0] = 4;
    EXPECT_TRUE(ChangePolygon(*m, rec, Texts{"4", "3", "2", "1"}).Has(Change::Polygons));
    EXPECT_EQ(Corners(0), (Ints{4, 3, 2, 1}));
    EXPECT_EQ(m->PolyTU(0, 0), 0.5f) << "texture coordinates stay";
    EXPECT_EQ(m->CurCorner, -1);
    EXPECT_EQ(m->CurEdge, 3);
    EXPECT_EQ(m->PolySelEdge[0], -1);

    m->CurPoly = 1; // left past the count
    EXPECT_EQ(ChangePolygon(*m, rec, Texts{"0", "1", "2"}), kNoChange);
    m->CurPoly = -1;
    EXPECT_EQ(ChangePolygon(*m, rec, Texts{"0", "1", "2"}), kNoChange);
    EXPECT_EQ(Corners(0), (Ints{4, 3, 2, 1}));
}

TEST_F(PolygonOpsTest, GotoRoundsFirstAndDropsACornerThePolygonLacks) {
    Vertices(4);
    AddPolygon(*m, {{0}, {1}, {2}, {3}});
    AddPolygon(*m, {{0}, {1}, {2}});
    m->CurCorner = 3;
    EXPECT_EQ(GotoPolygon(*m, ui, 0.6, "0.6"), Change(Change::Selection));
    EXPECT_EQ(m->CurPoly, 1);
    EXPECT_EQ(m->CurCorner, -1);
    EXPECT_EQ(GotoPolygon(*m, ui, 1.6, "1.6"), kNoChange);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Goto Face ERROR");
    EXPECT_EQ(ui.Messages[0].Text, "Polygon 1.6 doesn't exist ! ");
    EXPECT_EQ(m->CurPoly, 1);
}

// ---- Deleting and the order of part members -----------------------------------------------

TEST_F(PolygonOpsTest, DeleteMovesRowsDownAndDropsTheCursorPastTheEnd) {
    Vertices(3);
    Triangles(4);
    m->PolySel[2] = kTrue;
    const int g = Part({3, 1, 2});
    m->CurPoly = 3;
    EXPECT_EQ(DeletePolygon(*m, rec, 1),
              Change(Change::Polygons | Change::Parts | Change::Counts | Change::Selection));
    EXPECT_EQ(Textures(), (Ints{0, 2, 3}));
    EXPECT_EQ(m->PolySel[1], kTrue) << "the selection moves with its polygon";
    EXPECT_EQ(Members(g), (Ints{2, 1}));
    EXPECT_EQ(m->CurPoly, -1) << "the current polygon was the last one";
    EXPECT_EQ(DeletePolygon(*m, rec, 2), Change(Change::Polygons | Change::Parts | Change::Counts));
    EXPECT_EQ(m->PolyCount, 2) << "deleting the last polygon lowers the count";
    EXPECT_EQ(DeletePolygon(*m, rec, 2), kNoChange);
}

TEST_F(PolygonOpsTest, DeletingSelectedPolygonsKeepsTheMemberOrderOfOneByOneDeletion) {
    Vertices(3);
    Triangles(10);
    const int g = Part({9, 1, 3, 4, 7});
    Select({3, 9});
    DeleteSelectedPolygons(*m, rec, ui);
    EXPECT_EQ(Members(g), (Ints{3, 1, 6})) << "not 6, 1, 3 as one renumbering would give";
    EXPECT_EQ(ui.BusyDepth, 0);

    // 1, 2, 3 selected: the first pass deletes 1 and 3 (2 moved into the gap of 1), the second
    // pass 2; in ascending order the part would end 2, 1, 0.
    m = std::make_unique<model::ModelStore>();
    SetUp();
    Vertices(3);
    Triangles(6);
    const int h = Part({3, 4, 1, 5, 0, 2});
    Select({1, 2, 3});
    DeleteSelectedPolygons(*m, rec, ui);
    EXPECT_EQ(Textures(), (Ints{0, 4, 5}));
    EXPECT_EQ(Members(h), (Ints{0, 1, 2}));
}

TEST_F(PolygonOpsTest, RemoveWrongDeletesRepeatedCornersOnly) {
    Vertices(8);
    AddPolygon(*m, {{5}, {5}, {7}}, 0);           // wrong
    AddPolygon(*m, {{1}, {2}, {1}, {2}}, 1);      // two pairs: wrong
    AddPolygon(*m, {{1}, {2}, {3}, {1}}, 2);      // one repeat: stays
    AddPolygon(*m, {{1}, {2}, {2}, {2}, {6}}, 3); // three on one vertex: wrong
    AddPolygon(*m, {{1}, {2}, {3}}, 4);
    AddPolygon(*m, {{1}, {2}}, 5); // no polygon at all
    EXPECT_TRUE(RemoveWrongPolygons(*m, rec, ui).Has(Change::Counts));
    EXPECT_EQ(Textures(), (Ints{2, 4}));
    EXPECT_EQ(RemoveWrongPolygons(*m, rec, ui), kNoChange);
}

// ---- Corners and texture coordinates ------------------------------------------------------

TEST_F(PolygonOpsTest, FlipMirrorAndRotateOnSelectedPolygons) {
    Vertices(5);
    AddPolygon(*m, {{0, 0}, {1, 1}, {2, 2}});
    AddPolygon(*m, {{0, 0}, {1, 1}, {2, 2}, {3, 3}});
    AddPolygon(*m, {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}});
    AddPolygon(*m, {{0}, {1}, {2}}); // not selected
    Select({0, 1, 2});
    EXPECT_EQ(FlipSelectedPolygons(*m, rec), Change(Change::Polygons));
    EXPECT_EQ(Corners(0), (Ints{1, 0, 2}));
    EXPECT_EQ(Corners(1), (Ints{2, 1, 0, 3}));
    EXPECT_EQ(Corners(2), (Ints{3, 2, 1, 0, 4}));
    EXPECT_EQ(Us(2), (std::vector<float>{3, 2, 1, 0, 4})) << "texture coordinates go with their corner";
    EXPECT_EQ(Corners(3), (Ints{0, 1, 2}));
    FlipSelectedPolygons(*m, rec);
    EXPECT_EQ(Corners(2), (Ints{0, 1, 2, 3, 4})) << "twice gives it back";

    EXPECT_EQ(MirrorSelectedTextures(*m, rec), Change(Change::Polygons));
    EXPECT_EQ(Us(0), (std::vector<float>{1, 0, 2}));
    EXPECT_EQ(Us(1), (std::vector<float>{1, 0, 3, 2}));
    EXPECT_EQ(Us(2), (std::vector<float>{0, 1, 2, 3, 4})) << "a pentagon stays";

    EXPECT_EQ(RotateSelectedTextures(*m, rec), Change(Change::Polygons));
    EXPECT_EQ(Us(0), (std::vector<float>{0, 2, 1}));
    EXPECT_EQ(Us(2), (std::vector<float>{1, 2, 3, 4, 0}));
    EXPECT_EQ(Corners(2), (Ints{0, 1, 2, 3, 4}));

    model::DeselectAll(*m);
    Select({3}); // all texture coordinates equal, no pair to flip apart
    m->PolyVert(3, 1) = 0;
    EXPECT_EQ(RotateSelectedTextures(*m, rec), kNoChange);
    EXPECT_EQ(MirrorSelectedTextures(*m, rec), kNoChange);
    EXPECT_EQ(FlipSelectedPolygons(*m, rec), kNoChange);
}

TEST_F(PolygonOpsTest, CopyToBacksideAppendsReversedCopiesInNoPart) {
    Grid(2, 2);
    AddPolygon(*m, {{0, 0.5f}, {1}, {3}, {2}}, 0, 7, 1, 2, 3, 4);
    AddPolygon(*m, {{0}, {1}, {2}}, 1);
    model::CalcPolyNormal(*m, 0);
    Part({0, 1});
    Select({0});
    EXPECT_EQ(CopyToBackside(*m, rec, ui), Change(Change::Polygons | Change::Counts));
    ASSERT_EQ(m->PolyCount, 3);
    EXPECT_EQ(Corners(2), (Ints{2, 3, 1, 0}));
    EXPECT_EQ(m->PolyTU(2, 3), 0.5f);
    EXPECT_EQ(m->PolyType[2], 7);
    EXPECT_EQ(m->PolyA[2], 4);
    EXPECT_EQ(m->PolySel[2], kFalse);
    EXPECT_EQ(m->PolyNZ[2], -m->PolyNZ[0]);
    EXPECT_NE(m->PolyNZ[2], 0.0f);
    EXPECT_EQ(Members(1), (Ints{0, 1}));

    m->PolyCount = kMaxPolygons; // the copy would be polygon 80001
    const auto before = Everything();
    EXPECT_EQ(CopyToBackside(*m, rec, ui), kNoChange);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Copy to Backside");
    EXPECT_TRUE(Everything() == before);
}

// ---- Splitting ----------------------------------------------------------------------------

TEST_F(PolygonOpsTest, SplitTriangleAddsTheMiddleWithItsOwnTextureCoordinates) {
    AddVertex(*m, 0, 0, 0);
    AddVertex(*m, 2, 0, 0);
    AddVertex(*m, 0, 2, 0);
    AddPolygon(*m, {{0, 0, 0}, {1, 1, 0}, {2, 0, 1}}, 0, 9);
    AddPolygon(*m, {{0}, {1}, {2}}, 1);
    const int first = Part({0, 1});
    const int second = Part({1, 0});
    Select({0});
    m->CurPoly = 0;
    m->CurCorner = 2;
    EXPECT_TRUE(SplitSelectedPolygons(*m, rec, ui).Has(Change::Geometry | Change::Parts));
    ASSERT_EQ(m->VertCount, 4);
    EXPECT_EQ(m->Vert[3].X, 1);
    EXPECT_EQ(m->Vert[3].Y, 1);
    EXPECT_EQ(m->VertFlag[3], 1) << "shown";
    EXPECT_EQ(m->VertSel[3], kFalse);
    ASSERT_EQ(Textures(), (Ints{1, 0, 0}));
    EXPECT_EQ(Corners(1), (Ints{0, 1, 3}));
    EXPECT_EQ(Corners(2), (Ints{0, 3, 2}));
    EXPECT_EQ(Us(1), (std::vector<float>{0, 1, 0.5f})) << "each corner its own, the middle between";
    EXPECT_EQ(m->PolyTV(2, 2), 1.0f);
    EXPECT_EQ(m->PolyType[2], 9);
    EXPECT_EQ(m->PolySel[1], kFalse);
    EXPECT_EQ(Members(first), (Ints{0, 1, 2})) << "the halves take the split polygon's place";
    EXPECT_EQ(Members(second), (Ints{0})) << "only the first part gets them";
    EXPECT_EQ(m->CurCorner, 0);
    EXPECT_EQ(SplitSelectedPolygons(*m, rec, ui), kNoChange) << "the halves are not selected";
}

TEST_F(PolygonOpsTest, SplitQuadWithoutCornerAndRefusals) {
    Vertices(5);
    AddPolygon(*m, {{0}, {1}, {2}, {3}}, 0);
    AddPolygon(*m, {{0}, {1}, {2}, {3}}, 1);
    AddPolygon(*m, {{0}, {1}, {2}, {3}, {4}}, 2);
    AddPolygon(*m, {{0}, {1}, {2}}, 3);
    EXPECT_TRUE(SplitPolygon(*m, rec, ui, 0, -1).Any()) << "no current corner: the diagonal from 0";
    EXPECT_EQ(Corners(3), (Ints{0, 1, 2}));
    EXPECT_EQ(Corners(4), (Ints{0, 2, 3}));
    SplitPolygon(*m, rec, ui, 0, 3);
    EXPECT_EQ(Corners(4), (Ints{0, 1, 3}));
    EXPECT_EQ(Corners(5), (Ints{1, 2, 3}));
    EXPECT_EQ(m->VertCount, 5) << "a quad gets no new vertex";
    EXPECT_EQ(SplitPolygon(*m, rec, ui, 1, 3), kNoChange) << "a triangle has no corner 3";

    // A selected pentagon refuses the whole command (the passes would never end); without it
    // the triangle is split.
    model::DeselectAll(*m);
    Select({0, 1});
    EXPECT_EQ(SplitSelectedPolygons(*m, rec, ui), kNoChange);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Split to Triangles");
    EXPECT_EQ(ui.Messages[0].Text, "Only Polygons with 3 or 4 Vertices can be splitted atm.");
    m->PolySel[0] = kFalse;
    EXPECT_TRUE(SplitSelectedPolygons(*m, rec, ui).Any());
    EXPECT_EQ(Textures(), (Ints{2, 0, 0, 1, 1, 3, 3}));
}

TEST_F(PolygonOpsTest, SplitsThatDoNotFitAreRefusedWhole) {
    Vertices(3);
    Triangles(2);
    Select({0, 1});
    std::vector<int> full(model::kMaxPartMembers - 1, 1);
    full.push_back(0); // polygon 0 in a full part: its two halves would be one too many
    Part(full);
    const auto before = Everything();
    EXPECT_EQ(SplitSelectedPolygons(*m, rec, ui), kNoChange);
    EXPECT_EQ(SplitPolygon(*m, rec, ui, 0, 0), kNoChange);
    m->VertCount = 80000; // room for no middle vertex
    m->PartNodes.clear();
    EXPECT_EQ(SplitSelectedPolygons(*m, rec, ui), kNoChange);
    m->VertCount = 3;
    m->PolyCount = kMaxPolygons - 1; // room for one more polygon, two splits need two
    EXPECT_EQ(SplitSelectedPolygons(*m, rec, ui), kNoChange);
    ASSERT_EQ(ui.Messages.size(), 4u);
    EXPECT_EQ(ui.Messages[0].Text, "Can't split,\rpart part1 can't hold more than 1280 polygons !");
    EXPECT_EQ(ui.Messages[2].Text, "Can't split,\r80000 vertices is the limit !");
    EXPECT_EQ(ui.Messages[3].Text, "Can't split,\r80000 polygons is the limit !");
    m->PolyCount = 2;
    m->PartNodes.push_back({"part1", true});
    EXPECT_TRUE(Everything() == before);
}

// ---- Merging ------------------------------------------------------------------------------

TEST_F(PolygonOpsTest, MergeJoinsCoplanarNeighboursWithTheSameTexture) {
    Grid(3, 2); // 0 1 2 / 3 4 5
    AddPolygon(*m, {{0, 0.1f}, {1, 0.2f}, {4, 0.3f}}, 0);
    AddPolygon(*m, {{4}, {3, 0.9f}, {0}}, 0); // shares 0-4 with 0
    AddPolygon(*m, {{1}, {2}, {5}}, 1);       // shares 1 only
    AddPolygon(*m, {{1}, {5}, {4}}, 2);       // shares 1-4 with 0, other texture
    const int g = Part({3, 1, 0});
    test::SelectAll(*m);
    EXPECT_TRUE(MergeTrianglesToQuads(*m, rec, ui).Has(Change::Counts));
    ASSERT_EQ(Textures(), (Ints{0, 1, 2}));
    EXPECT_EQ(Corners(0), (Ints{0, 1, 4, 3})) << "corner 0 stays, 3 comes between 4 and 0";
    EXPECT_EQ(Us(0), (std::vector<float>{0.1f, 0.2f, 0.3f, 0.9f}));
    EXPECT_EQ(Members(g), (Ints{2, 0}));
    EXPECT_EQ(MergeTrianglesToQuads(*m, rec, ui), kNoChange);
}

TEST_F(PolygonOpsTest, MergeLeavesRepeatedVerticesDuplicatesAndBentPairs) {
    Grid(3, 2);
    AddVertex(*m, 0, 1, 1); // 6: lifts a triangle out of the plane
    AddPolygon(*m, {{0}, {1}, {4}});
    AddPolygon(*m, {{4}, {1}, {0}}); // the same triangle
    AddPolygon(*m, {{0}, {0}, {4}}); // a repeated vertex
    AddPolygon(*m, {{4}, {6}, {0}}); // shares 0-4 but bends
    test::SelectAll(*m);
    EXPECT_EQ(MergeTrianglesToQuads(*m, rec, ui), kNoChange);
    EXPECT_EQ(m->PolyCount, 4);
}

// ---- Edges --------------------------------------------------------------------------------

TEST_F(PolygonOpsTest, ExtrudeAddsAQuadPerSelectedEdge) {
    Vertices(4); // a b c d
    AddPolygon(*m, {{0, 0.1f}, {1, 0.2f}, {2, 0.3f}, {3, 0.4f}}, 5);
    AddPolygon(*m, {{0, 0.1f}, {1, 0.2f}, {2, 0.3f}}, 6);
    AddPolygon(*m, {{0}, {1}, {2}}, 7);
    m->PolySelEdge[0] = 1;
    m->PolySelEdge[1] = 2;
    m->PolySelEdge[2] = 3;    // stale: the triangle has no edge 3
    m->PolySelEdge[7] = -102; // a pending mark becomes edge 2
    m->VertSel[0] = kTrue;
    EXPECT_TRUE(ExtrudeSelectedEdges(*m, rec, ui).Has(Change::Geometry | Change::Counts));
    ASSERT_EQ(m->VertCount, 8);
    ASSERT_EQ(m->PolyCount, 5);
    EXPECT_EQ(Corners(3), (Ints{1, 4, 5, 2})) << "(b, b', c', c)";
    EXPECT_EQ(m->Vert[5].X, m->Vert[2].X);
    EXPECT_EQ(Corners(4), (Ints{0, 2, 6, 7})) << "edge 2 of a triangle joins c and a";
    EXPECT_EQ(Us(4), (std::vector<float>{0.1f, 0.2f, 0.3f, 0.1f})) << "corner 3 repeats corner 0";
    EXPECT_EQ(m->PolyTex[4], 6);
    for (int v = 0; v < 8; ++v) {
        EXPECT_EQ(m->VertSel[v], v >= 4 ? kTrue : kFalse) << v;
    }
    EXPECT_EQ(m->PolySelEdge[0], -1);
    EXPECT_EQ(m->PolySelEdge[2], -1);
    EXPECT_EQ(m->PolySelEdge[7], 2);
    ASSERT_FALSE(ui.Progress.empty());
    EXPECT_EQ(ui.Progress.back(), "Part added (vert:4  poly: 2)");
    EXPECT_EQ(ExtrudeSelectedEdges(*m, rec, ui), kNoChange);

    m->PolySelEdge[0] = 0;
    m->VertCount = 79999;
    const auto before = Everything();
    EXPECT_EQ(ExtrudeSelectedEdges(*m, rec, ui), kNoChange);
    EXPECT_EQ(ui.Messages.at(0).Text, "Can't add,\r80000 vertices is the limit !");
    EXPECT_TRUE(Everything() == before);
}

// ---- Surface ------------------------------------------------------------------------------

TEST_F(PolygonOpsTest, SurfaceWritesWhatIsCheckedAndNothingOutsideTheTables) {
    Vertices(3);
    test::AddTexture(*m, "a");
    test::AddTexture(*m, "b");
    Triangles(3);
    Select({0, 2});
    SurfaceSettings s;
    s.Type = SurfaceTypeFromBits(0x8001);
    s.Colour = std::array<double, 4>{300, -4, 2.5, 3.5};
    s.Texture = 1;
    EXPECT_EQ(SetSurface(*m, rec, s), Change(Change::Polygons));
    EXPECT_EQ(m->PolyType[0], -32767);
    EXPECT_EQ((Ints{m->PolyR[2], m->PolyG[2], m->PolyB[2], m->PolyA[2]}), (Ints{255, 0, 2, 4}));
    EXPECT_EQ(Textures(), (Ints{1, 1, 1}));
    EXPECT_EQ(m->PolyType[1], 0);
    EXPECT_EQ(SetSurface(*m, rec, s), kNoChange);
    for (const int list : {-1, 2}) {
        EXPECT_EQ(SetSurface(*m, rec, {std::nullopt, std::nullopt, list}), kNoChange) << list;
    }
    EXPECT_EQ(Textures(), (Ints{1, 1, 1}));

    // The current polygon alone: none, or one left past the count, writes nothing.
    const SurfaceSettings red{1, std::array<double, 4>{255, 0, 0, 0}, -1};
    EXPECT_FALSE(CurrentSurface(*m).has_value());
    EXPECT_EQ(SetCurrentSurface(*m, rec, red), kNoChange);
    m->CurPoly = 3;
    EXPECT_FALSE(CurrentSurface(*m).has_value());
    EXPECT_EQ(SetCurrentSurface(*m, rec, red), kNoChange);
    m->CurPoly = 1;
    EXPECT_EQ(SetCurrentSurface(*m, rec, red), Change(Change::Polygons));
    ASSERT_TRUE(CurrentSurface(*m).has_value());
    EXPECT_EQ(CurrentSurface(*m)->Colour[0], 255);
    EXPECT_EQ(CurrentSurface(*m)->Type, 1);
    EXPECT_EQ(CurrentSurface(*m)->Texture, 1);
    EXPECT_EQ(m->PolyType[2], -32767);

    EXPECT_EQ(CorrectColourText("300"), "255");
    EXPECT_EQ(CorrectColourText("-1"), "0");
    EXPECT_EQ(CorrectColourText("abc"), "0");
    EXPECT_EQ(CorrectColourText("12"), "12");
    EXPECT_EQ(SurfacePresets()[2].Type, 2100);
}

} // namespace
} // namespace zv::edit
