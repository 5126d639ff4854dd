#include "edit/Parts.h"

#include "tests/support/RecordingUi.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

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
    // Appends a polygon with these corner vertices; the vertex count grows to cover them.
    int Poly(const std::vector<int>& corners) {
        const int p = m->PolyCount++;
        m->PolyVCount[p] = static_cast<int>(corners.size());
        for (std::size_t k = 0; k < corners.size(); ++k) {
            m->PolyVert(p, static_cast<int>(k)) = corners[k];
            m->VertCount = std::max(m->VertCount, corners[k] + 1);
        }
        return p;
    }
    // A part of exactly these polygons, made as "Add Group" makes it.
    int PartOf(const std::vector<int>& polygons, const std::string& name = "") {
        model::DeselectAll(*m);
        for (int p : polygons) {
            m->PolySel[p] = model::kTrue;
        }
        const int g = AddPart(*m, ui, name);
        model::DeselectAll(*m);
        return g;
    }
    std::vector<int> Members(int g) const {
        std::vector<int> out;
        for (int i = 1; i <= m->GroupSize[g]; ++i) {
            out.push_back(m->GroupPoly(g, i));
        }
        return out;
    }
    void ShowEverything() {
        m->PolyFlag.Fill(1);
        m->VertFlag.Fill(1);
    }
    bool Shown(const model::FlagTable<std::uint8_t>& flags, int i) const { return (flags[i] & 1) != 0; }

    std::unique_ptr<model::ModelStore> m = std::make_unique<model::ModelStore>();
    test::RecordingUi ui;
    config::Settings settings;
};

// Three parts over four quads that share vertices 2 and 3 between quads 0 and 1.
class ThreePartsTest : public PartsTest {
protected:
    void SetUp() override {
        PartsTest::SetUp();
        Poly({0, 1, 2, 3});
        Poly({2, 3, 4, 5});
        Poly({6, 7, 8});
        Poly({9, 10, 11});
        PartOf({0}, "body");
        PartOf({1, 2}, "wing");
        PartOf({3}, "wheel");
        ShowEverything();
        ui = test::RecordingUi{};
    }
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

TEST_F(ThreePartsTest, DeletingTheMiddlePartMovesTheLastOneDown) {
    m->PartNodes[2].Checked = false;
    m->SelectedPart = 2;
    EXPECT_TRUE(DeletePart(*m, ui));
    ASSERT_EQ(m->PartCount(), 2);
    EXPECT_EQ(Members(1), std::vector<int>{0});
    EXPECT_EQ(Members(2), std::vector<int>{3});
    EXPECT_EQ(m->GroupName[2], "wheel");
    EXPECT_EQ(m->PartNodes[1].Text, "wheel   p:1");
    EXPECT_FALSE(m->PartNodes[1].Checked);
    EXPECT_EQ(m->GroupSize[3], 0);
    EXPECT_EQ(m->SelectedPart, 2);
    EXPECT_EQ(ui.PartsCaption, "Groups: 2");
    EXPECT_EQ(ui.PartTreeChanges, 1);
    EXPECT_TRUE(Shown(m->PolyFlag, 1)); // the polygons of the deleted part stay as they were
}

TEST_F(ThreePartsTest, DeletingMovesTheSelectionToAPartThatExists) {
    m->SelectedPart = 3;
    DeletePart(*m, ui);
    EXPECT_EQ(m->SelectedPart, 2);
    DeletePart(*m, ui);
    DeletePart(*m, ui);
    EXPECT_EQ(m->SelectedPart, 0);
    EXPECT_EQ(ui.PartsCaption, "Groups: 0");
    ui = test::RecordingUi{};
    EXPECT_FALSE(DeletePart(*m, ui));
    EXPECT_EQ(ui.PartTreeChanges, 0);
}

TEST_F(ThreePartsTest, DeletingWithoutASelectedNodeDoesNothing) {
    for (int s : {0, 4, -1}) {
        m->SelectedPart = s;
        EXPECT_FALSE(DeletePart(*m, ui));
    }
    EXPECT_EQ(m->PartCount(), 3);
    EXPECT_EQ(ui.PartTreeChanges, 0);
}

TEST_F(ThreePartsTest, SelectingAPartAddsItsPolygonsToTheSelection) {
    m->PolySel[0] = model::kTrue;
    const auto shown = SelectPart(*m, ui, settings, 2);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->Number, 2);
    EXPECT_EQ(shown->BaseName, "wing");
    EXPECT_TRUE(m->PolySel[0] && m->PolySel[1] && m->PolySel[2]);
    EXPECT_FALSE(m->PolySel[3]);
    EXPECT_FALSE(m->VertSel[4]);

    settings.VertexMark = true;
    SelectPart(*m, ui, settings, 3);
    for (int v = 0; v < m->VertCount; ++v) {
        EXPECT_EQ(m->VertSel[v] != 0, v >= 9) << "vertex " << v;
    }
}

TEST_F(ThreePartsTest, BadPartNumbersAndBadMembersAreSkipped) {
    EXPECT_FALSE(SelectPart(*m, ui, settings, 0));
    EXPECT_FALSE(SelectPart(*m, ui, settings, 4));
    ShowPart(*m, ui, 4, false);

    m->GroupPoly(3, 2) = m->PolyCount; // stale members beyond the model
    m->GroupPoly(3, 3) = -1;
    m->GroupSize[3] = 3;
    m->PolyVert(3, 1) = 5000; // and a corner beyond the vertices
    settings.VertexMark = true;
    SelectPart(*m, ui, settings, 3);
    ShowPart(*m, ui, 3, false);
    ShowPart(*m, ui, 3, true);
    EXPECT_FALSE(m->PolySel[m->PolyCount]);
    EXPECT_FALSE(m->PolySel[-1]);
    EXPECT_FALSE(m->VertSel[5000]);
    EXPECT_TRUE(m->PolySel[3] && m->VertSel[9] && m->VertSel[11]);
}

TEST_F(ThreePartsTest, HidingAPartKeepsVerticesOfShownPolygons) {
    ShowPart(*m, ui, 1, false);
    EXPECT_FALSE(Shown(m->PolyFlag, 0));
    EXPECT_FALSE(m->PartNodes[0].Checked);
    EXPECT_FALSE(Shown(m->VertFlag, 0));
    EXPECT_FALSE(Shown(m->VertFlag, 1));
    EXPECT_TRUE(Shown(m->VertFlag, 2)); // shared with quad 1
    EXPECT_TRUE(Shown(m->VertFlag, 3));
    EXPECT_TRUE(Shown(m->PolyFlag, 1));
    EXPECT_EQ(ui.PartTreeChanges, 1);

    ShowPart(*m, ui, 1, true);
    EXPECT_TRUE(Shown(m->PolyFlag, 0) && Shown(m->VertFlag, 0) && Shown(m->VertFlag, 1));
    EXPECT_TRUE(m->PartNodes[0].Checked);
}

TEST_F(ThreePartsTest, HidingKeepsTheOtherFlagBits) {
    m->PolyFlag[0] = 1 | 4;
    m->VertFlag[0] = 1 | 2;
    ShowPart(*m, ui, 1, false);
    EXPECT_EQ(m->PolyFlag[0], 4);
    EXPECT_EQ(m->VertFlag[0], 2);
}

TEST_F(ThreePartsTest, ShowAllHideAllAndShowSelected) {
    m->PolyFlag[m->PolyCount] = 0;
    HideAllParts(*m, ui);
    for (int p = 0; p < m->PolyCount; ++p) {
        EXPECT_FALSE(Shown(m->PolyFlag, p));
    }
    for (int v = 0; v < m->VertCount; ++v) {
        EXPECT_FALSE(Shown(m->VertFlag, v));
    }
    EXPECT_FALSE(m->PartNodes[0].Checked || m->PartNodes[1].Checked || m->PartNodes[2].Checked);

    m->PartNodes[1].Checked = true;
    ShowSelectedParts(*m, ui);
    EXPECT_FALSE(Shown(m->PolyFlag, 0));
    EXPECT_TRUE(Shown(m->PolyFlag, 1) && Shown(m->PolyFlag, 2));
    EXPECT_TRUE(Shown(m->VertFlag, 6)); // a shown polygon's corners are shown with it
    EXPECT_FALSE(Shown(m->VertFlag, 0));

    ShowAllParts(*m, ui);
    for (int p = 0; p < m->PolyCount; ++p) {
        EXPECT_TRUE(Shown(m->PolyFlag, p));
    }
    EXPECT_TRUE(Shown(m->VertFlag, 0) && Shown(m->VertFlag, 11));
    EXPECT_TRUE(m->PartNodes[0].Checked && m->PartNodes[2].Checked);
    EXPECT_FALSE(Shown(m->PolyFlag, m->PolyCount)); // nothing beyond the model
}

TEST_F(ThreePartsTest, RenamingNumbersEveryNodeAndKeepsThePartNames) {
    struct TitledUi : test::RecordingUi {
        std::optional<std::string> InputBox(std::string_view prompt, std::string_view title,
                                            std::string_view defaultText) override {
            Title = title;
            Default = defaultText;
            return RecordingUi::InputBox(prompt, title, defaultText);
        }
        std::string Title;
        std::string Default = "unset";
    } asking;
    asking.Inputs.push_back("WHEEL_LEFT");
    EXPECT_TRUE(RenameParts(*m, asking));
    ASSERT_EQ(asking.Prompts.size(), 1u);
    EXPECT_EQ(asking.Prompts[0], "New name ?\r\n(max. 5 chars.)");
    EXPECT_EQ(asking.Title, "Rename Objects");
    EXPECT_EQ(asking.Default, "");
    EXPECT_EQ(m->PartNodes[0].Text, "WHEEL001");
    EXPECT_EQ(m->PartNodes[1].Text, "WHEEL002");
    EXPECT_EQ(m->PartNodes[2].Text, "WHEEL003");
    EXPECT_EQ(m->GroupName[1], "body");
    EXPECT_EQ(PartBaseName(*m, 2), "WHEEL002");
    EXPECT_EQ(asking.PartTreeChanges, 1);
}

TEST_F(ThreePartsTest, CancelOrAnEmptyNameRenamesNothing) {
    ui.Inputs.push_back(std::nullopt);
    ui.Inputs.push_back("");
    EXPECT_FALSE(RenameParts(*m, ui));
    EXPECT_FALSE(RenameParts(*m, ui));
    EXPECT_EQ(m->PartNodes[0].Text, "body   p:1");
    EXPECT_EQ(ui.PartTreeChanges, 0);
}

TEST_F(ThreePartsTest, RenamedNodesStayDistinctFileNames) {
    ui.Inputs.push_back("a b/c:d");
    RenameParts(*m, ui);
    EXPECT_EQ(PartBaseName(*m, 1), "a_b_c001");
    EXPECT_EQ(PartBaseName(*m, 3), "a_b_c003");
    ui.Inputs.push_back("\xC3\xA9t\xC3\xA9s\xC3\xA9!"); // the fifth character takes two bytes
    RenameParts(*m, ui);
    EXPECT_EQ(m->PartNodes[0].Text, "\xC3\xA9t\xC3\xA9s\xC3\xA9"
                                    "001");
}

TEST_F(PartsTest, RenamingNeedsAPartAndNumbersPastNinetyNine) {
    EXPECT_FALSE(RenameParts(*m, ui));
    EXPECT_TRUE(ui.Prompts.empty());
    Select(0, 1);
    for (int g = 1; g <= 100; ++g) {
        AddPart(*m, ui, "");
    }
    ui.Inputs.push_back("car");
    RenameParts(*m, ui);
    EXPECT_EQ(m->PartNodes[9].Text, "car010");
    EXPECT_EQ(m->PartNodes[99].Text, "car100");
}

TEST_F(PartsTest, BaseNameOfAMissingPartIsEmpty) {
    EXPECT_EQ(PartBaseName(*m, 1), "");
    Select(0, 1);
    AddPart(*m, ui, "");
    EXPECT_EQ(PartBaseName(*m, 1), "Obj001");
    EXPECT_EQ(PartBaseName(*m, 2), "");
    EXPECT_EQ(PartBaseName(*m, 0), "");
}

} // namespace
} // namespace zv::edit
