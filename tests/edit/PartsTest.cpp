#include "edit/Parts.h"

#include "tests/support/RecordingUi.h"

#include <gtest/gtest.h>

#include <memory>

namespace zv::edit {
namespace {

class PartsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m->VertCount = 0;
        m->PolyCount = 0;
    }
    void Select(int first, int count) {
        m->PolyCount = std::max(m->PolyCount, first + count);
        for (int p = first; p < first + count; ++p) {
            m->PolySel[p] = model::kTrue;
        }
    }
    std::unique_ptr<model::ModelStore> m = std::make_unique<model::ModelStore>();
    test::RecordingUi ui;
};

TEST(DefaultPartName, ThreeDigitsThenPlainNumber) {
    EXPECT_EQ(DefaultPartName(3), "Obj003");
    EXPECT_EQ(DefaultPartName(42), "Obj042");
    EXPECT_EQ(DefaultPartName(100), "Obj100");
    EXPECT_EQ(DefaultPartName(800), "Obj800");
}

TEST_F(PartsTest, PartTakesTheSelectedPolygonsInOrder) {
    m->PolyCount = 6;
    m->PolySel[4] = model::kTrue;
    m->PolySel[1] = model::kTrue;
    m->PolySel[6] = model::kTrue; // beyond the count
    EXPECT_EQ(AddPart(*m, ui, "wheel"), 1);
    EXPECT_EQ(m->GroupSize[1], 2);
    EXPECT_EQ(m->GroupPoly(1, 1), 1);
    EXPECT_EQ(m->GroupPoly(1, 2), 4);
    EXPECT_EQ(m->GroupName[1], "wheel");
    ASSERT_EQ(m->PartCount(), 1);
    EXPECT_EQ(m->PartNodes[0].Text, "wheel   p:2");
    EXPECT_TRUE(m->PartNodes[0].Checked);
    EXPECT_EQ(m->SelectedPart, 1);
    EXPECT_EQ(ui.PartsCaption, "Groups: 1");
    EXPECT_TRUE(ui.PartsWindowShown);
}

TEST_F(PartsTest, EmptyNamesNumberThePartsAndNoSelectionMakesNone) {
    Select(0, 1);
    AddPart(*m, ui, "");
    AddPart(*m, ui, "");
    AddPart(*m, ui, "");
    EXPECT_EQ(m->GroupName[3], "Obj003");
    model::DeselectAll(*m);
    EXPECT_EQ(AddPart(*m, ui, "x"), 0);
    EXPECT_EQ(m->PartCount(), 3);
}

TEST_F(PartsTest, LimitsOfPartsAndMembers) {
    Select(0, 1500);
    AddPart(*m, ui, "big");
    EXPECT_EQ(m->GroupSize[1], 1280);
    EXPECT_EQ(m->GroupPoly(1, 1280), 1279);
    EXPECT_EQ(m->PartNodes[0].Text, "big   p:1280");
    for (int g = 2; g <= 800; ++g) {
        ASSERT_EQ(AddPart(*m, ui, ""), g);
    }
    EXPECT_EQ(AddPart(*m, ui, "one too many"), 0);
    EXPECT_EQ(m->PartCount(), 800);
    EXPECT_EQ(ui.PartsCaption, "Groups: 800");
}

TEST_F(PartsTest, ClearingRemovesEveryNode) {
    Select(0, 2);
    AddPart(*m, ui, "a");
    AddPart(*m, ui, "b");
    ClearParts(*m, ui);
    EXPECT_EQ(m->PartCount(), 0);
    EXPECT_EQ(m->SelectedPart, 0);
    EXPECT_EQ(ui.PartsCaption, "Groups: 0");
    AddPart(*m, ui, "");
    EXPECT_EQ(m->GroupName[1], "Obj001");
}

} // namespace
} // namespace zv::edit
