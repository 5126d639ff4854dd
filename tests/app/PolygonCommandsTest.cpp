// The Polygon menu in the window: the panels read their boxes as the commands expect, the keys
// reach their commands, and every command is one step that undo takes back.

#include "BoxWindowTest.h"

#include "app/InputPanel.h"
#include "app/PolygonCommands.h"
#include "app/SelectPanels.h"


#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace zv::app {
namespace {

class PolygonCommandsTest : public BoxWindowTest {
protected:
    PolygonCommands* commands = FindPolygonCommands(w);
};

TEST_F(PolygonCommandsTest, AddSkipsBoxesThatAreNoCornerAndStaysOpenWithTooFew) {
    ASSERT_NE(commands, nullptr);
    w.Item("mnuFace", 4)->trigger();
    InputPanel* p = commands->PolygonPanel();
    ASSERT_TRUE(p->isVisible());
    EXPECT_EQ(p->windowTitle(), QStringLiteral("Add Polygon"));
    const char* texts[] = {"0", "", "-1", "8", "x"};
    for (int i = 0; i < 5; ++i) {
        p->Box(i)->setText(QString::fromLatin1(texts[i]));
    }
    p->Ok()->click();
    EXPECT_TRUE(p->isVisible()) << "one corner only: the panel stays";
    EXPECT_EQ(M().PolyCount, 6);

    p->Box(1)->setText(QStringLiteral("2"));
    p->Box(4)->setText(QStringLiteral("3"));
    p->Ok()->click();
    EXPECT_FALSE(p->isVisible());
    ASSERT_EQ(M().PolyCount, 7);
    EXPECT_EQ(M().PolyVCount[6], 3);
    EXPECT_EQ(M().PolyVert(6, 1), 2);
    EXPECT_EQ(M().PolyVert(6, 2), 3);
    Undo();
    EXPECT_EQ(M().PolyCount, 6);
}

TEST_F(PolygonCommandsTest, ChangeShowsTheCurrentCornersAndDoubleClickTakesTheCurrentVertex) {
    M().CurPoly = 1;
    M().CurVert = 5;
    w.Item("mnuFace", 5)->trigger();
    InputPanel* p = commands->PolygonPanel();
    EXPECT_EQ(p->windowTitle(), QStringLiteral("Change Polygon"));
    EXPECT_EQ(p->Box(0)->text(), QStringLiteral("6"));
    EXPECT_EQ(p->Box(4)->text(), QString());
    QTest::mouseDClick(p->Box(3), Qt::LeftButton);
    EXPECT_EQ(p->Box(3)->text(), QStringLiteral("5"));
    p->Ok()->click();
    EXPECT_EQ(M().PolyVert(1, 3), 5);
    EXPECT_EQ(M().PolyCount, 6);
}

TEST_F(PolygonCommandsTest, KeysDeleteSplitAndExtrude) {
    M().CurPoly = 5;
    QTest::keyClick(view1, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(M().PolyCount, 5) << "Ctrl D";
    Undo();
    EXPECT_EQ(M().PolyCount, 6);

    M().CurPoly = 0;
    M().CurCorner = 0;
    QTest::keyClick(view1, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(M().PolyCount, 7) << "Ctrl NumPad + splits the quad into two triangles";
    Undo();
    EXPECT_EQ(M().PolyCount, 6);

    M().PolySelEdge[2] = 1;
    QTest::keyClick(view1, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(M().PolyCount, 7) << "Ctrl L";
    EXPECT_EQ(M().VertCount, 10);
    Undo();
    EXPECT_EQ(M().VertCount, 8);
}

TEST_F(PolygonCommandsTest, SurfacePanelCorrectsColoursAndSetsTheSelectedPolygons) {
    for (int p = 0; p < M().PolyCount; ++p) {
        M().PolySel[p] = p == 2 ? model::kTrue : model::kFalse;
    }
    w.Item("mnuTex", 1)->trigger();
    SurfacePanel* s = commands->Surface();
    ASSERT_TRUE(s->isVisible());
    s->Colour(0)->setFocus();
    s->Colour(0)->selectAll();
    QTest::keyClicks(s->Colour(0), QStringLiteral("300"));
    EXPECT_EQ(s->Colour(0)->text(), QStringLiteral("255"));
    s->Colour(1)->setText(QStringLiteral("7"));
    s->Option(1)->setChecked(true);
    s->Option(2)->setChecked(true);
    ASSERT_EQ(s->Textures()->count(), 2);
    s->Textures()->setCurrentRow(0);
    s->findChild<QPushButton*>(QStringLiteral("Cmd_FaceType(0)"))->click();
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(M().PolyR[2], 255);
    EXPECT_EQ(M().PolyG[2], 7);
    EXPECT_EQ(M().PolyTex[2], 0);
    EXPECT_EQ(M().PolyR[3], 220) << "not selected";
    Undo();
    EXPECT_EQ(M().PolyR[2], 220);
    EXPECT_EQ(M().PolyTex[2], 1);
}

TEST_F(PolygonCommandsTest, TextureMenuReplacesOnTheSelectedPolygonsAndSetsWetSurfaces) {
    for (int p = 0; p < M().PolyCount; ++p) {
        M().PolySel[p] = p == 2 || p == 5 ? model::kTrue : model::kFalse; // both BOXEND
    }
    auto* panel = w.findChild<TextureSelectPanel*>(QStringLiteral("Pic_TexReplace"));
    ASSERT_NE(panel, nullptr);
    bool shown = false;
    QTimer::singleShot(0, [&] {
        shown = panel->isVisible() && panel->NewList()->isVisible();
        EXPECT_EQ(panel->windowTitle(), QStringLiteral("Replace texture"));
        panel->List()->setCurrentIndex(1);
        panel->NewList()->setCurrentIndex(0);
        panel->findChild<QPushButton*>(QStringLiteral("Cmd_TexReplace(0)"))->click();
    });
    w.Item("mnuTex", 5)->trigger();
    EXPECT_TRUE(shown);
    EXPECT_EQ(M().PolyTex[2], 0);
    EXPECT_EQ(M().PolyTex[5], 0);
    EXPECT_EQ(M().PolyTex[3], 1) << "not selected";
    Undo();
    EXPECT_EQ(M().PolyTex[2], 1);

    // The wet rule takes the faces whose normal is vertical: the box's top and bottom.
    for (int p = 0; p < M().PolyCount; ++p) {
        M().PolySel[p] = model::kTrue;
    }
    w.Item("mnuTex", 2)->trigger();
    int wet = 0;
    for (int p = 0; p < M().PolyCount; ++p) {
        wet += M().PolyType[p] == 2100 ? 1 : 0;
    }
    EXPECT_EQ(wet, 2);
    Undo();
    for (int p = 0; p < M().PolyCount; ++p) {
        EXPECT_NE(M().PolyType[p], 2100);
    }
}

} // namespace
} // namespace zv::app
