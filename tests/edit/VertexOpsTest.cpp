// The vertex commands on small hand-made models: the rules that decide which vertex wins, the
// refusals, and the renumbering of corners.

#include "edit/VertexOps.h"

#include "tests/support/ModelBuilder.h"
#include "tests/support/RecordingUi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace zv::edit {
namespace {

using model::kFalse;
using model::kTrue;
using test::AddPolygon;
using test::AddVertex;
using Ints = std::vector<int>;

class VertexOpsTest : public ::testing::Test {
protected:
    void SetUp() override { test::StartModel(*m); }

    void Select(std::initializer_list<int> vertices) {
        for (const int v : vertices) {
            m->VertSel[v] = kTrue;
        }
    }
    Ints Corners(int p) const {
        Ints out;
        for (int k = 0; k < m->PolyVCount[p]; ++k) {
            out.push_back(m->PolyVert(p, k));
        }
        return out;
    }
    float X(int i) const { return m->Vert[i].X; }

    std::unique_ptr<model::ModelStore> m = std::make_unique<model::ModelStore>();
    Recorder rec;
    test::RecordingUi ui;
};

// ---- Delete vertex ------------------------------------------------------------------------

TEST_F(VertexOpsTest, DeleteVertexRefusesAUsedVertexAndRenumbersAfterAnUnusedOne) {
    for (int i = 0; i < 5; ++i) {
        AddVertex(*m, static_cast<float>(i), 0, 0);
    }
    AddPolygon(*m, {{0}, {3}, {4}});
    m->VertSel[4] = kTrue;

    m->CurVert = 3;
    EXPECT_EQ(DeleteVertex(*m, rec, ui), kNoChange);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Delete Vertex");
    EXPECT_EQ(ui.Messages[0].Text, "Can't delete,\rcorresponding Polygon(s) !");
    EXPECT_EQ(m->VertCount, 5);

    m->CurVert = 1;
    EXPECT_TRUE(DeleteVertex(*m, rec, ui).Has(Change::Counts));
    EXPECT_EQ(m->VertCount, 4);
    EXPECT_EQ(m->CurVert, 1) << "the cursor now designates the vertex that followed";
    EXPECT_EQ((std::vector<float>{X(0), X(1), X(2), X(3)}), (std::vector<float>{0, 2, 3, 4}));
    EXPECT_EQ(Corners(0), (Ints{0, 2, 3}));
    EXPECT_EQ(m->VertSel[3], kTrue) << "the selection moves with its vertex";
    EXPECT_EQ(m->VertSel[2], kFalse);
}

TEST_F(VertexOpsTest, DeletingTheLastVertexLeavesNoCurrentVertex) {
    AddVertex(*m, 0, 0, 0);
    AddVertex(*m, 1, 0, 0);
    m->CurVert = 1;
    DeleteVertex(*m, rec, ui);
    EXPECT_EQ(m->VertCount, 1);
    EXPECT_EQ(m->CurVert, -1);
    EXPECT_EQ(DeleteVertex(*m, rec, ui), kNoChange) << "no current vertex, nothing to delete";
    EXPECT_EQ(m->VertCount, 1);
}

// ---- Delete all unused --------------------------------------------------------------------

TEST_F(VertexOpsTest, DeleteUnusedDropsAnUnusedLastVertexWithoutMovingAny) {
    for (int i = 0; i < 4; ++i) {
        AddVertex(*m, static_cast<float>(i), 0, 0);
    }
    AddPolygon(*m, {{0}, {1}, {2}});
    m->CurVert = 3;
    DeleteUnusedVertices(*m, rec);
    EXPECT_EQ(m->VertCount, 3);
    EXPECT_EQ((std::vector<float>{X(0), X(1), X(2)}), (std::vector<float>{0, 1, 2}));
    EXPECT_EQ(Corners(0), (Ints{0, 1, 2}));
    EXPECT_EQ(m->CurVert, -1) << "the current vertex was removed";
    EXPECT_EQ(DeleteUnusedVertices(*m, rec), kNoChange);
}

TEST_F(VertexOpsTest, DeleteUnusedFillsHolesFromTheEnd) {
    for (int i = 0; i < 7; ++i) {
        AddVertex(*m, static_cast<float>(i), 0, 0);
    }
    // Unused: 1, 3 and the last one, 6.
    AddPolygon(*m, {{0}, {2}, {4}});
    AddPolygon(*m, {{5}, {4}, {2}});
    m->VertSel[5] = kTrue;
    m->CurVert = 2;
    DeleteUnusedVertices(*m, rec);
    ASSERT_EQ(m->VertCount, 4);
    // Hole 1 takes vertex 5 (6 was unused and dropped), hole 3 takes vertex 4.
    EXPECT_EQ((std::vector<float>{X(0), X(1), X(2), X(3)}), (std::vector<float>{0, 5, 2, 4}));
    EXPECT_EQ(Corners(0), (Ints{0, 2, 3}));
    EXPECT_EQ(Corners(1), (Ints{1, 3, 2}));
    EXPECT_EQ(m->VertSel[1], kTrue) << "the selection moves with its vertex";
    EXPECT_EQ(m->CurVert, 2);
}

// ---- Cursors and limits that the classic commands left unchecked --------------------------

TEST_F(VertexOpsTest, StaleCursorsAndBadNumbersAreRefusedOrReset) {
    for (int i = 0; i < 3; ++i) {
        AddVertex(*m, static_cast<float>(i), 0, 0);
    }
    // Goto rounds first: 2.4 is vertex 2, 2.6 would be vertex 3, which does not exist.
    EXPECT_TRUE(GotoVertex(*m, ui, 2.4, "2.4").Any());
    EXPECT_EQ(m->CurVert, 2);
    EXPECT_FALSE(GotoVertex(*m, ui, 2.6, "2.6").Any());
    EXPECT_FALSE(GotoVertex(*m, ui, -0.6, "-0.6").Any());
    EXPECT_FALSE(GotoVertex(*m, ui, std::nan(""), "x").Any());
    ASSERT_EQ(ui.Messages.size(), 3u);
    EXPECT_EQ(ui.Messages[0].Title, "Goto Vertex ERROR");
    EXPECT_EQ(ui.Messages[0].Text, "Vertex 2.6 doesn't exist ! ");
    EXPECT_EQ(m->CurVert, 2);

    // A current vertex left past the count by an earlier deletion deletes nothing.
    m->CurVert = 3;
    EXPECT_FALSE(DeleteVertex(*m, rec, ui).Any());
    EXPECT_EQ(m->VertCount, 3);

    // Deleting the unused ones leaves no current vertex past the new count.
    m->CurVert = 2;
    DeleteUnusedVertices(*m, rec);
    EXPECT_EQ(m->VertCount, 0);
    EXPECT_EQ(m->CurVert, -1);
}

TEST_F(VertexOpsTest, AddVertexMakesAModelFirstAndStopsAtTheLimit) {
    m->VertCount = m->PolyCount = -1; // no model
    m->VertSel[0] = kTrue;            // stale flags of the slot it takes
    m->VertFlag[0] = 0;
    EXPECT_TRUE(edit::AddVertex(*m, rec, ui, {1, 2, 3}).Any());
    EXPECT_EQ(m->VertCount, 1);
    EXPECT_EQ(m->PolyCount, 0);
    EXPECT_EQ(m->CurVert, 0);
    EXPECT_EQ(m->VertSel[0], kFalse) << "a new vertex is not selected";
    EXPECT_EQ(m->VertFlag[0], 1) << "and shown";

    m->VertCount = kMaxVertices;
    EXPECT_FALSE(edit::AddVertex(*m, rec, ui, {1, 2, 3}).Any());
    EXPECT_FALSE(AddVertexAtPointer(*m, rec, {1, 2, 3}).Any());
    EXPECT_EQ(m->VertCount, kMaxVertices);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Text, "Can't add,\r80000 vertices is the limit !");
}

// ---- Weld and join ------------------------------------------------------------------------

TEST_F(VertexOpsTest, WeldRedirectsToTheLowerNumberedRepresentative) {
    AddVertex(*m, 0, 0, 0);
    AddVertex(*m, 2, 0, 0);
    AddVertex(*m, 1, 0, 0.5f); // within 1 of both 0 and 1, which are not close to each other
    AddPolygon(*m, {{2}, {1}, {0}});
    Select({0, 1, 2});
    EXPECT_EQ(WeldVertices(*m, rec, ui, 1), Change(Change::Polygons));
    EXPECT_EQ(Corners(0), (Ints{0, 1, 0}));
    EXPECT_EQ(m->VertCount, 3) << "welded-away vertices stay, unused";
    EXPECT_EQ(X(2), 1) << "weld moves no vertex";
}

TEST_F(VertexOpsTest, WeldLeavesUnselectedVerticesAloneAndZeroToleranceNeedsEqualPositions) {
    AddVertex(*m, 0, 0, 0);     // unselected
    AddVertex(*m, 0, 0, 0);     // takes 2
    AddVertex(*m, 0, 0, 0);     //
    AddVertex(*m, 0, 1e-6f, 0); // differs a little: stays with t = 0
    AddPolygon(*m, {{0}, {1}, {2}, {3}});
    Select({1, 2, 3});
    WeldVertices(*m, rec, ui, 0);
    EXPECT_EQ(Corners(0), (Ints{0, 1, 1, 3}));
    WeldVertices(*m, rec, ui, 1e-5);
    EXPECT_EQ(Corners(0), (Ints{0, 1, 1, 1}));
}

TEST_F(VertexOpsTest, WeldAndJoinRefuseABadTolerance) {
    AddVertex(*m, 0, 0, 0);
    AddVertex(*m, 0, 0, 0);
    AddPolygon(*m, {{0}, {1}, {1}});
    Select({0, 1});
    for (const double t : {-0.5, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(WeldVertices(*m, rec, ui, t), kNoChange);
        EXPECT_EQ(JoinVertices(*m, rec, ui, t), kNoChange);
    }
    ASSERT_EQ(ui.Messages.size(), 4u);
    EXPECT_EQ(ui.Messages[0].Title, "Weld close vertices");
    EXPECT_EQ(ui.Messages[1].Title, "Join close vertices");
    EXPECT_EQ(ui.Messages[0].Text, "Tolerance must be a number of 0 or more !");
    EXPECT_EQ(Corners(0), (Ints{0, 1, 1}));
}

TEST_F(VertexOpsTest, JoinCopiesFromTheLowerNumberedAndSeesMovedPositions) {
    AddVertex(*m, 0, 0, 0);
    AddVertex(*m, 0.75f, 0, 0);
    AddVertex(*m, 1.5f, 0, 0); // close to 1 where it started, not where 0 put it
    AddVertex(*m, 0.5f, 0, 0); // unselected: never moves, never moves another
    AddPolygon(*m, {{0}, {1}, {2}});
    Select({0, 1, 2});
    EXPECT_EQ(JoinVertices(*m, rec, ui, 1), Change(Change::Geometry));
    EXPECT_EQ((std::vector<float>{X(0), X(1), X(2), X(3)}), (std::vector<float>{0, 0, 1.5f, 0.5f}));
    EXPECT_EQ(Corners(0), (Ints{0, 1, 2})) << "join changes no corner";
    EXPECT_EQ(JoinVertices(*m, rec, ui, 1), kNoChange);
}

// ---- Snapping and moving ------------------------------------------------------------------

TEST_F(VertexOpsTest, SnapToGridMovesAwayFromZeroOnlyPastHalfAStepAndAHundredth) {
    const std::vector<std::pair<float, float>> cases = {{0.5f, 0},  {0.6f, 1}, {-0.5f, 0},  {-0.6f, -1},
                                                        {2.49f, 2}, {2.6f, 3}, {0.505f, 0}, {0.515f, 1}};
    for (const auto& [from, to] : cases) {
        EXPECT_EQ(SnapCoordinate(from, 1), to) << from;
    }
    EXPECT_FLOAT_EQ(SnapCoordinate(1.3f, 0.25), 1.25f);
    EXPECT_FLOAT_EQ(SnapCoordinate(-1.3f, 0.25), -1.25f);
}

TEST_F(VertexOpsTest, SnapToGridTouchesSelectedVerticesAndRefusesABadGrid) {
    AddVertex(*m, 0.6f, -0.6f, 2.49f);
    AddVertex(*m, 0.6f, 0.6f, 0.6f);
    Select({0});
    EXPECT_EQ(SnapToGrid(*m, rec, ui, 0), kNoChange);
    EXPECT_EQ(SnapToGrid(*m, rec, ui, -1), kNoChange);
    ASSERT_EQ(ui.Messages.size(), 2u);
    EXPECT_EQ(ui.Messages[0].Title, "Snap to Grid");
    EXPECT_EQ(ui.Messages[0].Text, "Snap grid size must be a number above 0 !");
    EXPECT_EQ(SnapToGrid(*m, rec, ui, 1), Change(Change::Geometry));
    EXPECT_EQ(m->Vert[0].X, 1);
    EXPECT_EQ(m->Vert[0].Y, -1);
    EXPECT_EQ(m->Vert[0].Z, 2);
    EXPECT_EQ(m->Vert[1].X, 0.6f);
    EXPECT_EQ(ui.BusyDepth, 0);
    EXPECT_EQ(SnapToGrid(*m, rec, ui, 1), kNoChange) << "already on the grid";
}

TEST_F(VertexOpsTest, MoveGroupToPositionWithOnlyXChecked) {
    AddVertex(*m, 1, 5, 7);
    AddVertex(*m, 3, 6, 8);
    AddVertex(*m, 100, 100, 100);
    Select({0, 1});
    const model::Point3d centre{2, 5.5, 7.5};
    EXPECT_EQ(MoveGroupToPosition(*m, rec, centre, {10, 0, 0}, {true, false, false}),
              Change(Change::Geometry));
    EXPECT_EQ(m->Vert[0].X, 9);
    EXPECT_EQ(m->Vert[1].X, 11);
    EXPECT_EQ(m->Vert[0].Y, 5);
    EXPECT_EQ(m->Vert[1].Z, 8);
    EXPECT_EQ(m->Vert[2].X, 100);
    SnapToPosition(*m, rec, {0, -1, 0}, {false, true, false});
    EXPECT_EQ(m->Vert[0].Y, -1);
    EXPECT_EQ(m->Vert[1].Y, -1);
    EXPECT_EQ(m->Vert[1].X, 11);
}

} // namespace
} // namespace zv::edit
