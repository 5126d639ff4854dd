#include "workspace/ModelLifecycle.h"

#include "tests/support/RecordingUi.h"

#include <gtest/gtest.h>

#include <memory>

namespace zv {
namespace {

class ModelLifecycleTest : public ::testing::Test {
protected:
    ModelLifecycleTest() { ws->Settings.LoadTexturesOnOpen = false; } // the lists show "Nl: " entries
    // A model of n triangles over three vertices, as a reader leaves it before its tail.
    void ReadTriangles(int n, std::initializer_list<const char*> textures) {
        model::ModelStore& m = ws->Model;
        m.VertCount = 3;
        m.PolyCount += n;
        for (int p = m.PolyCount - n; p < m.PolyCount; ++p) {
            m.PolyVCount[p] = 3;
            for (int k = 0; k < 3; ++k) {
                m.PolyVert(p, k) = k;
            }
        }
        for (const char* name : textures) {
            m.TexName[m.TexCount++] = name;
        }
    }
    test::RecordingUi ui;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>(ui);
};

TEST_F(ModelLifecycleTest, NewModelIsTheNoModelState) {
    BeginOpen(*ws);
    ReadTriangles(2, {"A"});
    FinishOpen(*ws, "/x/car.vrl");
    ws->Model.CurVert = 1;
    ws->Model.PolySelEdge[1] = 2;
    NewModel(*ws);
    const model::ModelStore& m = ws->Model;
    EXPECT_EQ(m.VertCount, -1);
    EXPECT_EQ(m.PolyCount, -1);
    EXPECT_EQ(m.CurVert, -1);
    EXPECT_EQ(m.TexCount, 0);
    EXPECT_EQ(m.LoadCount, 1);
    EXPECT_EQ(m.PolySel[0], model::kFalse);
    EXPECT_EQ(m.PolySelEdge[1], -1);
    EXPECT_EQ(m.PartCount(), 0);
    EXPECT_EQ(ws->Textures.TexLoadCount, -1);
    EXPECT_TRUE(ui.TextureList.empty());
    EXPECT_EQ(ui.PartsCaption, "Groups: 0");
    EXPECT_EQ(ui.Caption, "Zorvane v0.681");
    EXPECT_FALSE(BeginMerge(*ws));
}

TEST_F(ModelLifecycleTest, OpenTailSelectsShowsAndMakesOnePart) {
    BeginOpen(*ws);
    ReadTriangles(3, {"ROAD", "GRASS"});
    ws->Model.VertFlag[2] = 0;
    FinishOpen(*ws, "C:\\cars\\my.car.vrl");
    const model::ModelStore& m = ws->Model;
    EXPECT_EQ(m.ModelDir, "C:\\cars");
    EXPECT_EQ(m.ModelFileName, "my.car.vrl");
    EXPECT_EQ(m.PolySel[2], model::kTrue);
    EXPECT_EQ(m.PolyFlag[2], 1);
    EXPECT_EQ(m.VertFlag[2] & 1, 1);
    EXPECT_EQ(m.VertFlag[-1] & 1, 1);
    ASSERT_EQ(m.PartCount(), 1);
    EXPECT_EQ(m.PartNodes[0].Text, "my.car   p:3");
    EXPECT_EQ(m.LoadCount, 2);
    EXPECT_EQ(ws->Textures.TexTable[1].Name, "GRASS");
    EXPECT_EQ(ws->Textures.TexTable[1].Width, 4);
    EXPECT_EQ(ws->Textures.TexTable[1].Slot, -1);
    EXPECT_EQ(ui.TextureList, (std::vector<std::string>{"Nl: ROAD", "Nl: GRASS"}));
    EXPECT_EQ(ui.Caption, "ZV0.681 [ my.car.vrl ]    v: 3  p: 3");
}

TEST_F(ModelLifecycleTest, EmptyModelMakesNoPart) {
    BeginOpen(*ws);
    FinishOpen(*ws, "/x/empty");
    EXPECT_EQ(ws->Model.PolyCount, 0);
    EXPECT_EQ(ws->Model.PartCount(), 0);
    EXPECT_TRUE(BeginMerge(*ws));
}

TEST_F(ModelLifecycleTest, MergeTailSelectsOnlyTheMergedPolygons) {
    BeginOpen(*ws);
    ReadTriangles(2, {"A"});
    FinishOpen(*ws, "/x/body.vrl");
    ASSERT_TRUE(BeginMerge(*ws));
    EXPECT_EQ(ws->Model.PolySel[0], model::kFalse);
    ws->Model.VertFlag[3] = 0; // a slot hidden before it held a vertex
    ReadTriangles(3, {"B"});
    ws->Model.VertCount = 5;
    FinishMerge(*ws, "/y/wheel.vrl");
    const model::ModelStore& m = ws->Model;
    EXPECT_EQ(m.VertFlag[3] & 1, 1) << "merged vertices are shown";
    EXPECT_EQ(m.VertFlag[4] & 1, 1);
    EXPECT_EQ(m.PolySel[1], model::kFalse);
    EXPECT_EQ(m.PolySel[2], model::kTrue);
    EXPECT_EQ(m.PolySel[4], model::kTrue);
    ASSERT_EQ(m.PartCount(), 2);
    EXPECT_EQ(m.PartNodes[1].Text, "wheel   p:3");
    EXPECT_EQ(m.GroupPoly(2, 1), 2);
    EXPECT_EQ(m.ModelDir, "/y");
    EXPECT_EQ(ui.TextureList, (std::vector<std::string>{"Nl: A", "Nl: B"}));
}

TEST_F(ModelLifecycleTest, FailedOpenLeavesAnEmptyModelWithoutParts) {
    BeginOpen(*ws);
    ReadTriangles(2, {"A"});
    FinishOpen(*ws, "/x/body.vrl");
    BeginOpen(*ws);
    ResetAfterFailedOpen(*ws);
    EXPECT_EQ(ws->Model.VertCount, 0);
    EXPECT_EQ(ws->Model.PolyCount, 0);
    EXPECT_EQ(ws->Model.TexCount, 0);
    EXPECT_EQ(ws->Model.LoadCount, 1);
    EXPECT_EQ(ws->Model.PartCount(), 0);
}

} // namespace
} // namespace zv
