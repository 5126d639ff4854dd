#include "model/ModelInfo.h"

#include "tests/support/RecordingUi.h"

#include <gtest/gtest.h>

#include <memory>

namespace zv::model {
namespace {

TEST(TitleLine, NameAndCounts) {
    auto m = std::make_unique<ModelStore>();
    m->ModelFileName = "car.vrl";
    m->VertCount = 120;
    m->PolyCount = 96;
    test::RecordingUi ui;
    UpdateTitleLine(*m, ui);
    EXPECT_EQ(ui.Caption, "ZV0.681 [ car.vrl ]    v: 120  p: 96");
    EXPECT_EQ(ProductCaption(), "Zorvane v0.681");
}

TEST(ModelInfo, ReportTextByteForByte) {
    auto m = std::make_unique<ModelStore>();
    m->VertCount = 3;
    m->PolyCount = 1;
    m->TexCount = 2;
    m->Vert[0] = {-0.5f, 2, 1234.5f};
    m->Vert[1] = {1, -3, 0};
    m->Vert[2] = {0.25f, 0, 7};
    m->Vert[3] = {-100, -100, -100}; // beyond the count: not part of the model
    const std::string rule(66, '-');
    const std::string expected = "General:\r" + rule +
                                 "\rVertices: 3\rPolygons: 1\rTextures: 2\rLoaded Textures: 5\r\rSize:\r" +
                                 rule +
                                 "\rMinX: -0.50000000      MaxX: 1.00000000"
                                 "\rMinY: -3.00000000      MaxY: 2.00000000"
                                 "\rMinZ: 0.00000000      MaxZ: 1234.50000000";
    EXPECT_EQ(ModelInfoText(*m, 5), expected);
    EXPECT_DOUBLE_EQ(m->ExtSizeX, 1.5);
    EXPECT_DOUBLE_EQ(m->ExtSizeY, 5.0);
    EXPECT_DOUBLE_EQ(m->ExtSizeZ, 1234.5);

    test::RecordingUi ui;
    ShowModelInfo(*m, 5, ui);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Model Info");
    EXPECT_EQ(ui.Messages[0].Text, expected);
}

TEST(ModelInfo, NoModelShowsMinusOneCountsAndZeroTextures) {
    auto m = std::make_unique<ModelStore>();
    m->TexCount = 0;
    const std::string text = ModelInfoText(*m, -1);
    EXPECT_NE(text.find("Vertices: -1\rPolygons: -1\rTextures: 0\rLoaded Textures: 0\r"), std::string::npos);
}

TEST(ModelInfo, OneVertexHasNoSize) {
    auto m = std::make_unique<ModelStore>();
    m->VertCount = 1;
    m->Vert[0] = {4, 5, 6};
    m->Vert[1] = {-9, -9, -9};
    CalcExtents(*m);
    EXPECT_EQ(m->ExtMinX, 4);
    EXPECT_EQ(m->ExtMaxX, 4);
    EXPECT_EQ(m->ExtSizeX, 0);
    EXPECT_EQ(m->ExtSizeZ, 0);
}

} // namespace
} // namespace zv::model
