// Selection commands, cursor keys and view picks on small hand-made models.

#include "edit/Selection.h"

#include "tests/support/ModelBuilder.h"
#include "tests/support/RecordingUi.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace zv::edit {
namespace {

using model::kFalse;
using model::kTrue;
using test::AddPolygon;
using test::AddVertex;

class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override { test::StartModel(*m); }

    // n vertices along the x axis.
    void Vertices(int n) {
        for (int i = 0; i < n; ++i) {
            AddVertex(*m, static_cast<float>(i), 0, 0);
        }
    }
    std::vector<int> SelectedPolys() const {
        std::vector<int> out;
        for (int p = 0; p < m->PolyCount; ++p) {
            if (m->PolySel[p] != kFalse) {
                out.push_back(p);
            }
        }
        return out;
    }
    std::vector<int> SelectedVerts() const {
        std::vector<int> out;
        for (int i = 0; i < m->VertCount; ++i) {
            if (m->VertSel[i] != kFalse) {
                out.push_back(i);
            }
        }
        return out;
    }
    bool Key(int key, bool shift = false, bool ctrl = false) {
        SelectionContext ctx{*m, settings, ui};
        return HandleSelectionKey(ctx, key, shift, ctrl).has_value();
    }
    const std::string& Status() const { return ui.Progress.back(); }

    std::unique_ptr<model::ModelStore> m = std::make_unique<model::ModelStore>();
    config::Settings settings;
    test::RecordingUi ui;
};

using Ints = std::vector<int>;

// ---- Whole-table commands -----------------------------------------------------------------

TEST_F(SelectionTest, WholeTableCommandsReachTheSlotsTheyShould) {
    Vertices(3);
    AddPolygon(*m, {{0}, {1}, {2}});
    AddPolygon(*m, {{0}, {2}, {1}});
    // Stale marks above the counts, as a deleting command may leave them.
    m->VertSel[5] = kTrue;
    m->PolySel[5] = kTrue;

    SelectAllVertices(*m, ui);
    EXPECT_EQ(SelectedVerts(), (Ints{0, 1, 2}));
    EXPECT_EQ(m->VertSel[3], kFalse) << "select all vertices stops at the count";

    m->VertSel[1] = kFalse;
    InvertVertexSelection(*m, ui);
    EXPECT_EQ(SelectedVerts(), (Ints{1}));
    EXPECT_EQ(m->VertSel[5], kTrue) << "invert leaves slots above the count";

    DeselectAllVertices(*m, ui);
    EXPECT_EQ(m->VertSel[1], kFalse);
    EXPECT_EQ(m->VertSel[5], kFalse) << "deselect clears the whole capacity";

    InvertPolySelection(*m, ui);
    EXPECT_EQ(SelectedPolys(), (Ints{0, 1}));
    EXPECT_EQ(m->PolySel[5], kTrue);

    DeselectAllPolys(*m, ui);
    EXPECT_EQ(m->PolySel[5], kFalse);
    EXPECT_EQ(m->PolySel[model::kPolygonCapacity - 1], kFalse);

    SelectAllPolys(*m, ui);
    EXPECT_EQ(m->PolySel[model::kPolygonCapacity - 1], kTrue) << "select all polygons fills the capacity";
    EXPECT_EQ(m->PolySel[-1], kFalse) << "the none slot must not read as a selected current polygon";
}

TEST_F(SelectionTest, WholeTableCommandsWithoutAModelTouchNoCountedSlot) {
    m->VertCount = -1;
    m->PolyCount = -1;
    SelectAllVertices(*m, ui);
    InvertVertexSelection(*m, ui);
    InvertPolySelection(*m, ui);
    EXPECT_EQ(m->VertSel[0], kFalse);
    EXPECT_EQ(m->PolySel[0], kFalse);
}

// ---- Linkage ------------------------------------------------------------------------------

TEST_F(SelectionTest, LinkageBetweenVertexAndPolygonSelectionsOnlyAdds) {
    Vertices(6);
    AddPolygon(*m, {{0}, {1}, {2}});
    AddPolygon(*m, {{2}, {3}, {4}});
    AddPolygon(*m, {{4}, {5}, {0}});
    AddPolygon(*m, {{1}, {3}, {5}});
    m->VertSel[2] = kTrue; // one corner is enough

    SelectPolysOfSelectedVerts(*m, ui);
    EXPECT_EQ(SelectedPolys(), (Ints{0, 1}));

    m->PolySel[0] = kFalse;
    SelectVertsOfSelectedPolys(*m, ui);
    EXPECT_EQ(SelectedVerts(), (Ints{2, 3, 4}));

    // Selecting polygons again from those vertices keeps 1 and brings in 2 and 3 (which touch
    // vertices 3 and 4), but never deselects.
    m->PolySel[0] = kTrue;
    m->VertSel[2] = kFalse;
    SelectPolysOfSelectedVerts(*m, ui);
    EXPECT_EQ(SelectedPolys(), (Ints{0, 1, 2, 3}));
}

TEST_F(SelectionTest, LinkageSkipsCornersThatAreNoVertexOfTheModel) {
    Vertices(3);
    AddPolygon(*m, {{0}, {1}, {90000}});
    AddPolygon(*m, {{0}, {-1}, {2}});
    m->PolySel[0] = kTrue;
    m->PolySel[1] = kTrue;
    SelectVertsOfSelectedPolys(*m, ui);
    EXPECT_EQ(SelectedVerts(), (Ints{0, 1, 2}));

    DeselectAllPolys(*m, ui);
    m->VertSel.Fill(kFalse);
    m->VertSel[-1] = kTrue; // a stale none slot must not pull in the polygon with corner -1
    SelectPolysOfSelectedVerts(*m, ui);
    EXPECT_EQ(SelectedPolys(), Ints{});
}

TEST_F(SelectionTest, VerticesOfSelectedPolygonsNeedAPolygon) {
    Vertices(3);
    m->PolySel[0] = kTrue;
    m->PolyVCount[0] = 3; // a stale polygon slot beyond PolyCount = 0
    EXPECT_FALSE(SelectVertsOfSelectedPolys(*m, ui).Any());
    EXPECT_EQ(SelectedVerts(), Ints{});
}

// ---- By attribute -------------------------------------------------------------------------

TEST_F(SelectionTest, SelectByTextureAddsTheMatchingPolygonsInUse) {
    Vertices(3);
    AddPolygon(*m, {{0}, {1}, {2}}, 1);
    AddPolygon(*m, {{0}, {1}, {2}}, 0);
    AddPolygon(*m, {{0}, {1}, {2}}, 1);
    m->PolyTex[3] = 1; // beyond the count
    m->PolySel[1] = kTrue;
    SelectByTexture(*m, ui, 1);
    EXPECT_EQ(SelectedPolys(), (Ints{0, 1, 2}));
    EXPECT_EQ(m->PolySel[3], kFalse);

    m->PolyTex[1] = -1;
    DeselectAllPolys(*m, ui);
    SelectByTexture(*m, ui, -1); // nothing chosen in the list
    EXPECT_EQ(SelectedPolys(), Ints{});
}

class FacingTest : public SelectionTest {
protected:
    void SetUp() override {
        SelectionTest::SetUp();
        AddVertex(*m, 0, 0, 0);
        AddVertex(*m, 1, 0, 0);
        AddVertex(*m, 0, 1, 0);
        AddVertex(*m, 0, 0, 1);
        down = AddPolygon(*m, {{0}, {1}, {2}}); // in the XY plane, stored normal -Z
        up = AddPolygon(*m, {{0}, {2}, {1}});   // the same turned over, +Z
        side = AddPolygon(*m, {{0}, {2}, {3}}); // in the YZ plane, -X
        AddPolygon(*m, {{0}, {1}, {99}});       // a corner that is no vertex
        east = AddPolygon(*m, {{0}, {3}, {2}}); // +X
        // Stale normals: the command must not trust them.
        for (int p = 0; p < 5; ++p) {
            m->PolyNX[p] = m->PolyNY[p] = m->PolyNZ[p] = -5;
        }
    }
    int down = 0, up = 0, side = 0, east = 0;
};

TEST_F(FacingTest, EachBoxSelectsPolygonsWhoseNormalPointsBeyondTheAngle) {
    // 30 degrees: c = cos 150 degrees, so box 4 asks for normals pointing down the Z axis.
    const double c = SelectByFacing(*m, ui, 30, {false, false, false, false, true, false});
    EXPECT_NEAR(c, -0.8660254, 1e-6);
    EXPECT_EQ(SelectedPolys(), Ints{down});
    EXPECT_FLOAT_EQ(m->PolyNZ[up], 1) << "normals are recomputed first";

    DeselectAllPolys(*m, ui);
    SelectByFacing(*m, ui, 30, {false, false, false, false, false, true});
    EXPECT_EQ(SelectedPolys(), Ints{up});
}

TEST_F(FacingTest, NoBoxChangesNothingAndAStraightAngleTakesAllButTheExactAxis) {
    SelectByFacing(*m, ui, 30, {});
    EXPECT_EQ(SelectedPolys(), Ints{});

    // 180 degrees: c = 1, box 0 takes every normal whose X is below 1.
    SelectByFacing(*m, ui, 180, {true, false, false, false, false, false});
    EXPECT_FLOAT_EQ(m->PolyNX[side], -1);
    EXPECT_FLOAT_EQ(m->PolyNX[east], 1);
    EXPECT_EQ(SelectedPolys(), (Ints{down, up, side}));
    EXPECT_FLOAT_EQ(m->PolyNX[3], -5) << "the broken polygon is left alone";
}

TEST_F(SelectionTest, BendedQuadsAreTheNonPlanarOnes) {
    AddVertex(*m, 0, 0, 0);
    AddVertex(*m, 1, 0, 0);
    AddVertex(*m, 1, 1, 0);
    AddVertex(*m, 0, 1, 0);
    AddVertex(*m, 0, 1, 0.5f);            // lifts the fourth corner
    AddVertex(*m, 0, 1, 0.001f);          // too little to count
    AddPolygon(*m, {{0}, {1}, {2}, {3}}); // flat
    const int bent = AddPolygon(*m, {{0}, {1}, {2}, {4}});
    AddPolygon(*m, {{0}, {1}, {2}, {5}});  // nearly flat
    AddPolygon(*m, {{0}, {1}, {4}});       // a triangle, however bent its neighbours
    AddPolygon(*m, {{0}, {1}, {2}, {77}}); // a corner that is no vertex
    SelectBendedQuads(*m, ui);
    EXPECT_EQ(SelectedPolys(), Ints{bent});
}

TEST_F(SelectionTest, BendedQuadsNeedAPolygon) {
    EXPECT_FALSE(SelectBendedQuads(*m, ui).Any());
}

// ---- Selection box ------------------------------------------------------------------------

TEST_F(SelectionTest, SelectionBoxSpansTheSelectedVerticesOnly) {
    AddVertex(*m, 100, 100, 100);
    AddVertex(*m, 1, -2, 3);
    AddVertex(*m, -1, 4, 3);
    m->VertSel[1] = m->VertSel[2] = kTrue;
    m->Vert[3] = {500, 500, 500};
    m->VertSel[3] = kTrue; // beyond the count
    ASSERT_TRUE(ComputeSelectionBox(*m));
    const model::SelectionState& s = m->Selection;
    EXPECT_EQ(s.SelBoxMin.X, -1);
    EXPECT_EQ(s.SelBoxMin.Y, -2);
    EXPECT_EQ(s.SelBoxMax.X, 1);
    EXPECT_EQ(s.SelBoxMax.Y, 4);
    EXPECT_EQ(s.SelCenter.X, 0);
    EXPECT_EQ(s.SelCenter.Y, 1);
    EXPECT_EQ(s.SelCenter.Z, 3);
    EXPECT_EQ(s.SelSize.X, 2);
    EXPECT_EQ(s.SelSize.Y, 6);
    EXPECT_EQ(s.SelSize.Z, 0);

    m->VertSel.Fill(kFalse);
    EXPECT_FALSE(ComputeSelectionBox(*m));
    EXPECT_EQ(m->Selection.SelSize.Y, 6) << "no selection keeps the previous box";
}

// ---- Cursor cycling -----------------------------------------------------------------------

TEST_F(SelectionTest, TabCyclesThroughTheVerticesAndNone) {
    AddVertex(*m, 1.5f, -2, 0.25f);
    AddVertex(*m, 0, 0, 0);
    AddVertex(*m, 3, 3, 3);
    m->CurVert = 2;
    EXPECT_TRUE(Key(keys::Tab));
    EXPECT_EQ(m->CurVert, -1);
    EXPECT_EQ(Status(), "Vertex: No selection");
    Key(keys::Tab);
    EXPECT_EQ(m->CurVert, 0);
    EXPECT_EQ(Status(), "V: 0  x: 1.5  y: -2  z: .25");

    Key(keys::Tab, true);
    EXPECT_EQ(m->CurVert, -1);
    Key(keys::Tab, true);
    EXPECT_EQ(m->CurVert, 2) << "back from none goes to the last vertex";

    // A cursor left behind by a deletion is past the last vertex: forward it goes to none
    // (40 + 1 is above the last index), back to the last vertex.
    m->CurVert = 40;
    Key(keys::Tab, true);
    EXPECT_EQ(m->CurVert, 2);
    m->CurVert = 40;
    Key(keys::Tab);
    EXPECT_EQ(m->CurVert, -1);
    EXPECT_EQ(Status(), "Vertex: No selection");

    EXPECT_FALSE(Key(keys::Tab, false, true)) << "Ctrl TAB is no cycling key";
}

TEST_F(SelectionTest, CyclingNeedsAModel) {
    m->VertCount = -1;
    m->PolyCount = -1;
    Key(keys::Tab);
    Key(keys::Space);
    Key(keys::Space, false, true);
    EXPECT_EQ(m->CurVert, -1);
    EXPECT_EQ(m->CurPoly, -1);
    EXPECT_TRUE(ui.Progress.empty());

    // An empty model passes through none only.
    test::StartModel(*m);
    Key(keys::Tab);
    EXPECT_EQ(m->CurVert, -1);
    Key(keys::Space, true);
    EXPECT_EQ(m->CurPoly, -1);
}

TEST_F(SelectionTest, SpaceCyclesThroughPolygonsAndDropsTheCorner) {
    Vertices(4);
    m->TexCount = 1;
    m->TexName[0] = "ROAD.RAW";
    AddPolygon(*m, {{0}, {1}, {2}, {3}}, 0);
    AddPolygon(*m, {{0}, {1}, {2}}, 7); // a texture that does not exist
    m->CurPoly = 0;
    m->CurCorner = 2;
    m->CurEdge = 3;
    Key(keys::Space);
    EXPECT_EQ(m->CurPoly, 1);
    EXPECT_EQ(m->CurCorner, -1);
    EXPECT_EQ(m->CurEdge, -1) << "a triangle has no edge 3";
    EXPECT_EQ(Status(), "Polygon: 1  TEX: ");
    Key(keys::Space);
    EXPECT_EQ(m->CurPoly, -1);
    EXPECT_EQ(Status(), "Polygon: No selection");
    Key(keys::Space, true);
    EXPECT_EQ(m->CurPoly, 1);
    m->CurEdge = 2;
    Key(keys::Space, true);
    EXPECT_EQ(m->CurPoly, 0);
    EXPECT_EQ(m->CurEdge, 2) << "an edge the polygon has stays";
    EXPECT_EQ(Status(), "Polygon: 0  TEX: ROAD.RAW");
}

TEST_F(SelectionTest, CtrlSpaceVisitsTheSelectedPolygonsOnly) {
    Vertices(3);
    for (int p = 0; p < 6; ++p) {
        AddPolygon(*m, {{0}, {1}, {2}});
    }
    m->PolySel[1] = m->PolySel[4] = kTrue;
    std::vector<int> forward;
    for (int i = 0; i < 4; ++i) {
        Key(keys::Space, false, true);
        EXPECT_EQ(m->CurPoly, m->Selection.SelCursor);
        forward.push_back(m->CurPoly);
    }
    EXPECT_EQ(forward, (Ints{1, 4, -1, 1}));

    m->Selection.SelCursor = -1;
    std::vector<int> back;
    for (int i = 0; i < 4; ++i) {
        Key(keys::Space, true, true);
        back.push_back(m->CurPoly);
    }
    EXPECT_EQ(back, (Ints{4, 1, -1, 4}));

    // A cursor left past the end by a deletion starts the backward walk at the last polygon.
    m->Selection.SelCursor = 50;
    Key(keys::Space, true, true);
    EXPECT_EQ(m->CurPoly, 4);
    m->Selection.SelCursor = 50;
    Key(keys::Space, false, true);
    EXPECT_EQ(m->CurPoly, -1);

    DeselectAllPolys(*m, ui);
    Key(keys::Space, false, true);
    EXPECT_EQ(m->CurPoly, -1);
    EXPECT_EQ(m->Selection.SelCursor, -1);
}

TEST_F(SelectionTest, VAndFToggleTheCurrentItemWhenThereIsOne) {
    Vertices(3);
    AddPolygon(*m, {{0}, {1}, {2}});
    Key('V');
    Key('F');
    EXPECT_EQ(m->VertSel[-1], kFalse);
    EXPECT_EQ(m->PolySel[-1], kFalse);
    m->CurVert = 3; // not a vertex
    m->CurPoly = 1;
    Key('V');
    Key('F');
    EXPECT_EQ(m->VertSel[3], kFalse);
    EXPECT_EQ(m->PolySel[1], kFalse);

    m->CurVert = 2;
    m->CurPoly = 0;
    Key('V');
    Key('F');
    EXPECT_EQ(SelectedVerts(), Ints{2});
    EXPECT_EQ(SelectedPolys(), Ints{0});
    Key('V');
    Key('F');
    EXPECT_EQ(SelectedVerts(), Ints{});
    EXPECT_EQ(SelectedPolys(), Ints{});
}

TEST_F(SelectionTest, NStepsThroughTheCornersOfTheCurrentPolygon) {
    Vertices(8);
    AddPolygon(*m, {{5}, {6}, {7}});
    Key('N');
    EXPECT_EQ(m->CurCorner, -1) << "needs a current polygon";
    m->CurPoly = 0;
    std::vector<int> corners, vertices;
    for (int i = 0; i < 4; ++i) {
        Key('N');
        corners.push_back(m->CurCorner);
        vertices.push_back(m->CurVert);
    }
    EXPECT_EQ(corners, (Ints{0, 1, 2, 0}));
    EXPECT_EQ(vertices, (Ints{5, 6, 7, 5}));
    EXPECT_EQ(Status(), "V: 5  x: 5  y: 0  z: 0");

    Key('N', true);
    EXPECT_EQ(m->CurCorner, -1);
    EXPECT_EQ(m->CurVert, 5) << "none keeps the vertex";
    Key('N', true);
    EXPECT_EQ(m->CurCorner, -1) << "backwards stops at none";

    m->CurCorner = 9; // left from a larger polygon
    Key('N', true);
    EXPECT_EQ(m->CurCorner, 2);

    m->PolyVert(0, 1) = 1234; // a broken corner is reached but not followed
    m->CurCorner = 0;
    Key('N');
    EXPECT_EQ(m->CurCorner, 1);
    EXPECT_EQ(m->CurVert, 7);
}

TEST_F(SelectionTest, EdgeKeysWrapToggleAndClear) {
    Vertices(4);
    AddPolygon(*m, {{0}, {1}, {2}, {3}});
    AddPolygon(*m, {{0}, {1}, {2}});
    Key('I');
    EXPECT_EQ(m->CurEdge, -1) << "needs a current polygon";
    m->CurPoly = 0;
    std::vector<int> edges;
    for (int i = 0; i < 5; ++i) {
        Key('I');
        edges.push_back(m->CurEdge);
    }
    EXPECT_EQ(edges, (Ints{0, 1, 2, 3, 0}));
    Key('I', true);
    EXPECT_EQ(m->CurEdge, 3);
    m->CurEdge = -1;
    Key('I', true);
    EXPECT_EQ(m->CurEdge, 3);

    Key('O');
    EXPECT_EQ(m->PolySelEdge[0], 3);
    Key('O');
    EXPECT_EQ(m->PolySelEdge[0], -1);

    // An edge beyond the polygon's corners is never stored as its selected edge.
    m->CurPoly = 1;
    Key('O');
    EXPECT_EQ(m->CurEdge, 0);
    EXPECT_EQ(m->PolySelEdge[1], 0);
    m->CurEdge = 9;
    Key('I', true);
    EXPECT_EQ(m->CurEdge, 2);

    m->PolySelEdge[model::kPolygonCapacity - 1] = 2;
    Key('P');
    EXPECT_EQ(m->PolySelEdge[1], -1);
    EXPECT_EQ(m->PolySelEdge[model::kPolygonCapacity - 1], -1);
}

TEST_F(SelectionTest, KeyTableHasEachCombinationOnceAndRunsIt) {
    const auto table = SelectionKeys();
    EXPECT_EQ(table.size(), 18u);
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_NE(table[i].Op, nullptr);
        for (std::size_t j = i + 1; j < table.size(); ++j) {
            EXPECT_FALSE(table[i].Key == table[j].Key && table[i].Shift == table[j].Shift &&
                         table[i].Ctrl == table[j].Ctrl)
                << table[i].Action;
        }
    }
    Vertices(2);
    AddPolygon(*m, {{0}, {1}, {0}});
    m->PolySel[0] = kTrue;
    EXPECT_TRUE(Key('A'));
    EXPECT_EQ(SelectedVerts(), (Ints{0, 1}));
    EXPECT_TRUE(Key('S'));
    EXPECT_EQ(SelectedVerts(), Ints{});
    EXPECT_TRUE(Key('W'));
    EXPECT_EQ(SelectedPolys(), Ints{});
    EXPECT_FALSE(Key('Z'));
    EXPECT_FALSE(Key('Q', false, true));
}

// ---- Picks --------------------------------------------------------------------------------

class PickTest : public SelectionTest {
protected:
    // A vertex at a screen position, shown by the model and in view by the last redraw.
    int At(float x, float y) {
        const int v = AddVertex(*m, x, y, 0);
        view->ScrVert[v] = {x, y, 0};
        m->VertFlag[v] = render::kFlagShown;
        view->VertView[v] = render::kFlagInView;
        return v;
    }
    // A polygon shown by the model, in view and with the extra view flags of the last redraw.
    int Drawn(std::initializer_list<test::Corner> corners, std::uint8_t extra = 0) {
        const int p = AddPolygon(*m, corners);
        m->PolyFlag[p] = render::kFlagShown;
        view->PolyView[p] = static_cast<std::uint8_t>(render::kFlagInView | extra);
        return p;
    }
    int PointPick(float x, float y) { return SelectPolygonsAtPoint(*m, settings, *view, x, y); }
    int RectPick(const render::PickRect& rect) { return SelectPolygonsInRect(*m, ui, settings, *view, rect); }

    std::unique_ptr<render::WireframeView> view = std::make_unique<render::WireframeView>();
};

TEST_F(PickTest, PointSelectsEveryDrawnPolygonContainingIt) {
    const int a = At(0, 0), b = At(10, 0), c = At(10, 10), d = At(0, 10), e = At(20, 10), f = At(5, -10);
    const int square = Drawn({{a}, {b}, {c}, {d}});
    const int wedge = Drawn({{f}, {e}, {d}}); // overlaps the square around (6, 4)
    EXPECT_EQ(PointPick(6, 4), 2);
    EXPECT_EQ(SelectedPolys(), (Ints{square, wedge}));

    DeselectAllPolys(*m, ui);
    EXPECT_EQ(PointPick(-1, 5), 0);
    EXPECT_EQ(PointPick(1, 1), 1);
    EXPECT_EQ(SelectedPolys(), Ints{square});
    EXPECT_EQ(PointPick(15, 0), 0) << "nothing is deselected by a miss";
    EXPECT_EQ(SelectedPolys(), Ints{square});
}

TEST_F(PickTest, PointOnAHorizontalEdge) {
    const int a = At(0, 0), b = At(10, 0), c = At(10, 10), d = At(0, 10);
    Drawn({{a}, {b}, {c}, {d}});
    EXPECT_EQ(PointPick(5, 0), 0) << "the upper edge does not count";
    EXPECT_EQ(PointPick(5, 10), 1) << "the lower end of the sides belongs to them";
}

TEST_F(PickTest, OnlyPolygonsDrawnInViewAndFacingTheScreenArePicked) {
    const int a = At(0, 0), b = At(10, 0), c = At(10, 10);
    const int away = Drawn({{a}, {b}, {c}}, render::kFlagFacingAway);
    const int hidden = Drawn({{a}, {b}, {c}});
    m->PolyFlag[hidden] = 0;
    const int offView = Drawn({{a}, {b}, {c}});
    view->PolyView[offView] = 0;
    // In view and facing the screen only by bits in the store, which no redraw reads.
    const int stale = Drawn({{a}, {b}, {c}});
    view->PolyView[stale] = 0;
    m->PolyFlag[stale] = render::kFlagShown | render::kFlagInView;

    settings.SelectFrontOnly = true;
    EXPECT_EQ(PointPick(8, 2), 0);
    settings.SelectFrontOnly = false;
    EXPECT_EQ(PointPick(8, 2), 1);
    EXPECT_EQ(SelectedPolys(), Ints{away});
}

TEST_F(PickTest, PolygonsWithCornersThatAreNoVertexAreSkipped) {
    const int a = At(0, 0), b = At(10, 0);
    const int gone = At(10, 10);
    Drawn({{a}, {b}, {15}}); // vertex 15 has a screen slot but is no vertex
    Drawn({{a}, {b}, {400}});
    Drawn({{a}, {b}, {gone}});
    Drawn({{a}, {b}, {-1}});
    m->VertCount = gone; // deleted since the redraw, which left its position behind
    EXPECT_EQ(PointPick(8, 2), 0);
    m->PolyVCount[0] = 0;
    EXPECT_EQ(PointPick(0, 0), 0);
}

TEST_F(PickTest, RubberBandVerticesAreAddedAndCounted) {
    Vertices(3);
    m->VertSel[0] = kTrue;
    const std::vector<int> found{1, 2, 5, -1}; // 5 and -1 are no vertices of the model
    EXPECT_EQ(SelectRectVertices(*m, ui, found), 2);
    EXPECT_EQ(SelectedVerts(), (Ints{0, 1, 2}));
    EXPECT_EQ(m->VertSel[5], kFalse);
    EXPECT_EQ(m->VertSel[-1], kFalse);
    EXPECT_EQ(Status(), "2 Vertices selected.");
}

TEST_F(PickTest, PolygonRectangleTakesPolygonsWhollyInsideAndIsHalfOpen) {
    const int a = At(1, 1), b = At(5, 1), c = At(5, 5), e = At(12, 3), edge = At(10, 4);
    const int inside = Drawn({{a}, {b}, {c}});
    Drawn({{a}, {c}, {e}});                          // one corner outside
    Drawn({{a}, {c}, {edge}});                       // one corner on the right edge
    Drawn({{a}, {b}, {c}}, render::kFlagFacingAway); // skipped while front only
    settings.SelectFrontOnly = true;
    EXPECT_EQ(RectPick({0, 0, 10, 10}), 1);
    EXPECT_EQ(SelectedPolys(), Ints{inside});
    EXPECT_EQ(SelectedVerts(), Ints{}) << "polygons only";

    settings.SelectFrontOnly = false;
    EXPECT_EQ(RectPick({1, 1, 1, 10}), 0) << "no width";
    EXPECT_EQ(RectPick({1, 1, 10.5f, 10}), 3) << "the left edge is inside";
}

TEST_F(PickTest, PickedVertexBecomesCurrentAndMayMarkItsPolygons) {
    const int a = At(0, 0), b = At(200, 0), c = At(200, 200), d = At(0, 200);
    Drawn({{a}, {b}, {c}});
    Drawn({{b}, {c}, {d}});
    Drawn({{b}, {c}, {900}}); // a broken corner never matches
    EXPECT_TRUE(MakePickedVertexCurrent(*m, ui, settings, a));
    EXPECT_EQ(m->CurVert, a);
    EXPECT_EQ(SelectedPolys(), Ints{});

    settings.PolyMark = true;
    EXPECT_TRUE(MakePickedVertexCurrent(*m, ui, settings, d));
    EXPECT_EQ(SelectedPolys(), Ints{1});
    EXPECT_EQ(SelectedVerts(), Ints{}) << "the pick itself selects no vertex";

    EXPECT_FALSE(MakePickedVertexCurrent(*m, ui, settings, -1));
    EXPECT_FALSE(MakePickedVertexCurrent(*m, ui, settings, 4));
    EXPECT_EQ(m->CurVert, d);
}

TEST_F(PickTest, DoubleClickTogglesTheVertexAndReportsIt) {
    At(0, 0);
    const int v = At(100, 100.5f);
    EXPECT_TRUE(ToggleVertexSelection(*m, ui, v));
    EXPECT_EQ(Status(), "Vertex 1 selected.    x: 100  y: 100.5  z: 0");
    EXPECT_TRUE(ToggleVertexSelection(*m, ui, v));
    EXPECT_EQ(Status(), "Vertex 1  deselected.");
    EXPECT_EQ(SelectedVerts(), Ints{});
    EXPECT_FALSE(ToggleVertexSelection(*m, ui, 2));
    EXPECT_FALSE(ToggleVertexSelection(*m, ui, -1));
    EXPECT_EQ(m->VertSel[-1], kFalse);
}

TEST_F(PickTest, ScreenPositionsCoverTheWholeProjection) {
    view->ScrVert[7] = {3, 4, 5};
    const auto positions = ScreenPositions(*view);
    EXPECT_EQ(positions.size(), static_cast<std::size_t>(model::kVertexCapacity));
    EXPECT_EQ(positions[7].Y, 4);
}

} // namespace
} // namespace zv::edit
