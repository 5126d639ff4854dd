// Resize, translate and rotate on hand-made models, and the arithmetic of the resize panel.

#include "edit/Transforms.h"

#include "tests/support/ModelBuilder.h"

#include <gtest/gtest.h>

#include <memory>

namespace zv::edit {
namespace {

using model::kFalse;
using model::kTrue;
using test::AddVertex;

class TransformsTest : public ::testing::Test {
protected:
    void SetUp() override { test::StartModel(*m); }

    void ExpectAt(int i, float x, float y, float z) const {
        EXPECT_NEAR(m->Vert[i].X, x, 1e-6) << "vertex " << i;
        EXPECT_NEAR(m->Vert[i].Y, y, 1e-6) << "vertex " << i;
        EXPECT_NEAR(m->Vert[i].Z, z, 1e-6) << "vertex " << i;
    }

    std::unique_ptr<model::ModelStore> m = std::make_unique<model::ModelStore>();
    Recorder rec;
};

TEST_F(TransformsTest, RotationsTurnTheWayTheAxesSay) {
    AddVertex(*m, 0, 1, 0);
    AddVertex(*m, 0, 0, 1);
    AddVertex(*m, 1, 0, 0);
    for (int i = 0; i < 3; ++i) {
        m->VertSel[i] = kTrue;
    }
    Rotate(*m, rec, {90, 0, 0}, false);
    ExpectAt(0, 0, 0, -1);
    ExpectAt(1, 0, 1, 0);
    ExpectAt(2, 1, 0, 0);

    m->Vert[2] = {1, 0, 0};
    Rotate(*m, rec, {0, 90, 0}, false);
    ExpectAt(2, 0, 0, 1);

    m->Vert[2] = {1, 0, 0};
    Rotate(*m, rec, {0, 0, 90}, false);
    ExpectAt(2, 0, -1, 0);
}

TEST_F(TransformsTest, RotationActsOnTheSelectionOnlyAndKeepsItsCentre) {
    AddVertex(*m, 1, 1, 1);
    AddVertex(*m, 3, 3, 3);
    AddVertex(*m, 2, 2, 2); // the centre of the selection box
    AddVertex(*m, 9, 9, 9);
    EXPECT_EQ(Rotate(*m, rec, {45, 30, 60}, false), kNoChange) << "nothing selected";
    EXPECT_EQ(Rotate(*m, rec, {45, 30, 60}, true), kNoChange);
    for (int i = 0; i < 3; ++i) {
        m->VertSel[i] = kTrue;
    }
    EXPECT_EQ(Rotate(*m, rec, {0, 0, 180}, true), Change(Change::Geometry));
    ExpectAt(0, 3, 3, 1);
    ExpectAt(1, 1, 1, 3);
    ExpectAt(2, 2, 2, 2);
    ExpectAt(3, 9, 9, 9);
}

TEST_F(TransformsTest, ResizeScalesAboutTheOriginAndTranslateAdds) {
    AddVertex(*m, 10, 1, 1);
    AddVertex(*m, 12, 2, 2);
    m->VertSel[1] = kTrue;
    Resize(*m, rec, {2, 1, 1}, Affected::All);
    ExpectAt(0, 20, 1, 1);
    ExpectAt(1, 24, 2, 2);
    Resize(*m, rec, {1, 3, 1}, Affected::Selected);
    ExpectAt(0, 20, 1, 1);
    ExpectAt(1, 24, 6, 2);
    Translate(*m, rec, {0.5, 0, -2}, Affected::Selected);
    ExpectAt(0, 20, 1, 1);
    ExpectAt(1, 24.5f, 6, 0);
    Translate(*m, rec, {1, 1, 1}, Affected::All);
    ExpectAt(0, 21, 2, 2);
    EXPECT_EQ(Resize(*m, rec, {1, 1, 1}, Affected::All), kNoChange);
}

TEST_F(TransformsTest, ResizePanelKeepsProportionsAndNeverDividesByZero) {
    AddVertex(*m, 0, 0, 5);
    AddVertex(*m, 4, 2, 5);
    AddVertex(*m, 100, 0, 5);
    m->VertSel[0] = m->VertSel[1] = kTrue;

    ResizeForm f = OpenResize(*m, true);
    EXPECT_EQ(f.Old, (Vec3{4, 2, 0}));
    EXPECT_EQ(f.New, f.Old);
    EXPECT_EQ(f.Factor, (Vec3{1, 1, 1}));
    EXPECT_EQ(OpenResize(*m, false).Old, (Vec3{100, 2, 0}));

    f.New[0] = 8;
    NewSizeEdited(f, 0);
    EXPECT_EQ(f.Factor, (Vec3{2, 1, 1})) << "without Keep Proportions only X follows";
    f.KeepProportions = true;
    NewSizeEdited(f, 0);
    EXPECT_EQ(f.Factor, (Vec3{2, 2, 2}));
    EXPECT_EQ(f.New, (Vec3{8, 4, 0}));

    f.New[2] = 7; // the old Z size is 0: that factor stays 1 before proportions apply
    NewSizeEdited(f, 2);
    EXPECT_EQ(f.Factor, (Vec3{1, 1, 1}));

    f.Factor = {1, 3, 1};
    FactorEdited(f, 1);
    EXPECT_EQ(f.Factor, (Vec3{3, 3, 3}));
    EXPECT_EQ(f.New, (Vec3{12, 6, 0}));
    f.KeepProportions = false;
    f.Factor = {0.5, 3, 1};
    FactorEdited(f, 0);
    EXPECT_EQ(f.New, (Vec3{2, 6, 0}));

    OldValues(f);
    EXPECT_EQ(f.New, f.Old);
    EXPECT_EQ(f.Factor, (Vec3{1, 1, 1}));

    // No selection, or no vertices at all: sizes of 0, not the box some earlier command left.
    m->VertSel[0] = m->VertSel[1] = kFalse;
    EXPECT_EQ(OpenResize(*m, true).Old, (Vec3{0, 0, 0}));
    m->VertCount = 0;
    EXPECT_EQ(OpenResize(*m, false).Old, (Vec3{0, 0, 0}));
}

} // namespace
} // namespace zv::edit
