#include "model/Columns.h"
#include "render/Overlays.h"
#include "render/WireframeView.h"
#include "tests/support/ModelBuilder.h"
#include "tests/support/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <vector>

namespace zv::render {
namespace {

using test::AddPolygon;
using test::AddVertex;
using test::CanvasOp;
using test::CanvasOpKind;

// Marks each hook in the recording by a text, so the order shows among the other primitives.
class MarkingOverlays : public Overlays {
public:
    void DrawWaypoints(Canvas& c, const WireframeView&) override { c.Text(0, 0, "waypoints", 0); }
    void DrawSlots(Canvas& c, const WireframeView&) override { c.Text(0, 0, "slots", 0); }
    void DrawDummies(Canvas& c, const WireframeView&) override { c.Text(0, 0, "dummies", 0); }
    void DrawPath(Canvas& c, const WireframeView&) override { c.Text(0, 0, "path", 0); }
    void DrawTrackBuilder(Canvas& c, const WireframeView&) override { c.Text(0, 0, "builder", 0); }
};

// Back view, zoom 1, the origin at (100, 100) of a 200 x 200 view.
class DrawView1Test : public ::testing::Test {
protected:
    DrawView1Test() {
        SetOrientation(view, 5);
        view.ViewZoom = 1;
        view.ViewWidth = 200;
        view.ViewHeight = 200;
        view.ViewOffX = 100;
        view.ViewOffY = 100;
        test::StartModel(m);
    }
    // A shown triangle at screen (x, y); facing the viewer unless away.
    int Triangle(int x, int y, bool away = false) {
        const float mx = static_cast<float>(x - 100);
        const float my = static_cast<float>(100 - y);
        const int a = AddVertex(m, mx, my, 0);
        const int b = AddVertex(m, mx + 10, my, 0);
        const int c = AddVertex(m, mx, my - 10, 0);
        const int p = away ? AddPolygon(m, {{a}, {c}, {b}}) : AddPolygon(m, {{a}, {b}, {c}});
        for (int v : {a, b, c}) {
            m.VertFlag[v] = kFlagShown;
        }
        m.PolyFlag[p] = kFlagShown;
        return p;
    }
    std::vector<CanvasOp> Draw() {
        canvas.Ops.clear();
        DrawView1(view, m, settings, canvas, &overlays);
        return canvas.Ops;
    }
    static std::vector<Segment> Outline(int x, int y, bool away = false) {
        const PixelPoint a{x, y}, b{x + 10, y}, c{x, y + 10};
        if (away) {
            return {{a, c}, {c, b}, {b, a}};
        }
        return {{a, b}, {b, c}, {c, a}};
    }
    const CanvasOp& LinesOf(Colour colour) {
        for (const CanvasOp& op : canvas.Ops) {
            if (op.Kind == CanvasOpKind::Lines && op.Colour == colour) {
                return op;
            }
        }
        ADD_FAILURE() << "no lines in colour " << colour;
        return canvas.Ops.front();
    }

    WireframeView view;
    model::ModelStore m;
    config::Settings settings;
    test::RecordingCanvas canvas;
    MarkingOverlays overlays;
};

std::vector<CanvasOpKind> Kinds(const std::vector<CanvasOp>& ops) {
    std::vector<CanvasOpKind> out;
    for (const CanvasOp& op : ops) {
        out.push_back(op.Kind);
    }
    return out;
}

TEST_F(DrawView1Test, EveryPassDrawsInItsColourAndOrder) {
    const int culled = Triangle(10, 10, true);
    const int plain = Triangle(40, 10);
    const int selAway = Triangle(70, 10, true);
    const int hidden = Triangle(100, 10);
    const int current = Triangle(130, 10);
    m.PolySel[selAway] = model::kTrue;
    m.PolyFlag[hidden] = 0;
    m.CurPoly = current;
    m.CurEdge = 2;
    m.PolySelEdge[plain] = 1;
    m.CurVert = 4;
    m.VertSel[7] = model::kTrue;
    view.ShowGroupNames = true;
    (void)culled;

    const std::vector<CanvasOp> ops = Draw();
    using K = CanvasOpKind;
    const std::vector<K> expected{K::Clear,  K::Lines,   K::Lines,   K::Lines,  K::SetPen, K::MoveTo,
                                  K::LineTo, K::LineTo,  K::LineTo,  K::Lines,  K::Lines,  K::Pixels,
                                  K::SetPen, K::WideDot, K::WideDot, K::Text,   K::Text,   K::Text,
                                  K::Text,   K::Refresh, K::Text,    K::Refresh};
    ASSERT_EQ(Kinds(ops), expected);
    EXPECT_EQ(ops[0].Colour, settings.View1_BackColor);
    EXPECT_EQ(ops[1].Colour, settings.View1_CulledLineColor);
    EXPECT_EQ(ops[1].Segments, Outline(10, 10, true));
    EXPECT_EQ(ops[2].Colour, settings.View1_LineColor);
    std::vector<Segment> plainOnes = Outline(40, 10);
    const std::vector<Segment> currentOne = Outline(130, 10);
    plainOnes.insert(plainOnes.end(), currentOne.begin(), currentOne.end());
    EXPECT_EQ(ops[2].Segments, plainOnes);
    // The selected polygon facing away is drawn in the selected colour only.
    EXPECT_EQ(ops[3].Colour, settings.View1_SelLineColor);
    EXPECT_EQ(ops[3].Segments, Outline(70, 10, true));
    EXPECT_EQ(ops[4].Colour, settings.View1_CurrLineColor);
    EXPECT_EQ(ops[5].X, 130);
    EXPECT_EQ(ops[8].X, 130);
    EXPECT_EQ(ops[8].Colour, settings.View1_CurrLineColor);
    EXPECT_EQ(ops[9].Colour, settings.View1_CurrEdgeColor);
    EXPECT_EQ(ops[9].Segments, (std::vector<Segment>{{{130, 20}, {130, 10}}}));
    EXPECT_EQ(ops[10].Colour, settings.View1_SelEdgeColor);
    EXPECT_EQ(ops[10].Segments, (std::vector<Segment>{{{50, 10}, {40, 20}}}));
    // Points are off, yet the selected vertex is marked; then the pen goes back to black.
    EXPECT_EQ(ops[11].Colour, settings.View1_SelVertColor);
    EXPECT_EQ(ops[11].Points.size(), 4u);
    EXPECT_EQ(ops[12].Colour, 0);
    EXPECT_EQ(ops[13].Width, 4);
    EXPECT_EQ(ops[13].Colour, 255);
    EXPECT_EQ(ops[13].DotX, 50);
    EXPECT_EQ(ops[14].Width, 2);
    EXPECT_EQ(ops[14].Colour, 0xFFFFFF);
    EXPECT_EQ(ops[15].Text, "waypoints");
    EXPECT_EQ(ops[18].Text, "path");
    EXPECT_EQ(ops[20].Text, "builder");
}

TEST_F(DrawView1Test, VertexMarksAddTheOffsetBeforeRounding) {
    AddVertex(m, -99.5f, 99.5f, 0); // screen (0.5, 0.5)
    AddVertex(m, 0, 0, 0);
    m.VertSel[1] = model::kTrue;
    view.ShowVertices = true;
    Draw();
    const std::vector<CanvasOp> marks = canvas.OfKind(CanvasOpKind::Pixels);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0].Colour, settings.View1_VertColor);
    EXPECT_EQ(marks[0].Points, (std::vector<PixelPoint>{{0, 0}, {2, 0}, {2, 2}, {0, 2}}));
    EXPECT_EQ(marks[1].Colour, settings.View1_SelVertColor);
    EXPECT_EQ(marks[1].Points, (std::vector<PixelPoint>{{100, 100}, {101, 100}, {101, 101}, {100, 101}}));
}

TEST_F(DrawView1Test, EmptyModelDrawsNoOutlinesAndNoModelDrawsNoMarks) {
    Draw();
    EXPECT_TRUE(canvas.OfKind(CanvasOpKind::Lines).empty());
    EXPECT_EQ(canvas.OfKind(CanvasOpKind::Pixels).size(), 1u);
    m.VertCount = -1;
    m.PolyCount = -1;
    Draw();
    EXPECT_TRUE(canvas.OfKind(CanvasOpKind::Pixels).empty());
    EXPECT_EQ(canvas.Ops.back().Kind, CanvasOpKind::Refresh);
}

TEST_F(DrawView1Test, CurrentItemsOutOfViewOrOutOfRangeAreNotDrawn) {
    const int p = Triangle(10, 10);
    m.Vert[0] = {1000, 0, 0};
    m.CurPoly = p;
    m.CurVert = 0;
    Draw();
    EXPECT_TRUE(canvas.OfKind(CanvasOpKind::MoveTo).empty());
    EXPECT_TRUE(canvas.OfKind(CanvasOpKind::WideDot).empty());
    m.Vert[0] = {-90, 90, 0};
    m.CurPoly = 99;
    m.CurVert = 99;
    Draw();
    EXPECT_TRUE(canvas.OfKind(CanvasOpKind::MoveTo).empty());
    EXPECT_TRUE(canvas.OfKind(CanvasOpKind::WideDot).empty());
    // An edge number beyond the polygon's corners draws no edge.
    m.CurPoly = p;
    m.CurEdge = 5;
    m.PolySelEdge[p] = 3;
    Draw();
    EXPECT_TRUE(LinesOf(settings.View1_CurrEdgeColor).Segments.empty());
    EXPECT_TRUE(LinesOf(settings.View1_SelEdgeColor).Segments.empty());
}

TEST_F(DrawView1Test, GroupNamesSitAtTheMeanFirstCornerOfCheckedParts) {
    const int a = Triangle(10, 10);
    const int b = Triangle(41, 20);
    const int c = Triangle(150, 150);
    m.PartNodes = {{"Wheel_FL (2 polygons)", true}, {"HIDDEN", false}, {"Empty", true}, {"Body", true}};
    m.GroupSize[1] = 2;
    m.GroupPoly(1, 1) = a;
    m.GroupPoly(1, 2) = b;
    m.GroupSize[2] = 1;
    m.GroupPoly(2, 1) = c;
    m.GroupSize[3] = 0;
    m.GroupSize[4] = 1;
    m.GroupPoly(4, 1) = c;
    ProjectAndFlag(view, m, settings);
    DrawGroupNames(view, m, settings, canvas);
    const std::vector<CanvasOp> texts = canvas.OfKind(CanvasOpKind::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].Text, "wheel_fl");
    EXPECT_EQ(texts[0].X, 26); // (10 + 41) / 2 = 25.5, halves to even
    EXPECT_EQ(texts[0].Y, 15);
    EXPECT_EQ(texts[0].Colour, settings.View1_PartnameColor);
    EXPECT_EQ(texts[1].Text, "body");
    EXPECT_EQ(canvas.Ops.back().Kind, CanvasOpKind::Refresh);
}

// Drawing is no edit: every column of the store keeps its bytes, whatever the view flags, so
// a redraw can never mark the document changed or slip into the edit history.
TEST_F(DrawView1Test, RedrawLeavesEveryColumnOfTheModelUntouched) {
    const int front = Triangle(10, 10);
    const int away = Triangle(40, 10, true);
    const int hidden = Triangle(70, 10);
    const int offView = Triangle(100, 10);
    m.PolyFlag[hidden] = 0;
    m.Vert[3 * offView] = {5000, 0, 0};
    // Bits a redraw once kept in the store stay as they are, even where they are now wrong.
    m.VertFlag[3 * offView] = kFlagShown | kFlagInView;
    m.PolyFlag[front] = kFlagShown | kFlagFacingAway;
    m.PolySel[away] = model::kTrue;
    m.VertSel[1] = model::kTrue;
    m.CurPoly = front;
    m.CurEdge = 1;
    m.CurVert = 2;
    settings.SelectFrontOnly = true;
    view.ShowVertices = true;
    view.ShowGroupNames = true;
    const int vertCount = m.VertCount;
    const int polyCount = m.PolyCount;
    const model::RowBlock verts = model::CaptureVertexRows(m, 0, model::kVertexCapacity);
    const model::RowBlock polys = model::CapturePolygonRows(m, 0, model::kPolygonCapacity);

    Draw();

    // The redraw did its work, in the view.
    EXPECT_EQ(view.PolyView[front], kFlagInView);
    EXPECT_EQ(view.PolyView[away], kFlagInView | kFlagFacingAway);
    EXPECT_EQ(view.VertView[3 * offView], 0);
    EXPECT_EQ(m.VertCount, vertCount);
    EXPECT_EQ(m.PolyCount, polyCount);
    EXPECT_TRUE(model::CaptureVertexRows(m, 0, model::kVertexCapacity).Bytes == verts.Bytes);
    EXPECT_TRUE(model::CapturePolygonRows(m, 0, model::kPolygonCapacity).Bytes == polys.Bytes);
}

} // namespace
} // namespace zv::render
