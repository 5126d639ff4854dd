#include "app/InputPanel.h"
#include "app/MainWindow.h"
#include "app/VertexCommands.h"

#include "model/Tables.h"
#include "render/WireframeView.h"
#include "tests/support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace zv::app {
namespace {

class EditCommandsTest : public ::testing::Test {
protected:
    EditCommandsTest() : w({dir.Write("ZV068.CFG", std::string(";\r\n")), false}) {
        w.Ws().Settings.LoadTexturesOnOpen = false;
        w.AskSaveChanges = [this](const QString& text) {
            asked.push_back(text);
            return answer;
        };
        w.resize(800, 600);
        w.show();
        w.LoadFiles({QStringLiteral(ZV_SOURCE_DIR "/samples/box.vrl")});
        view1 = w.findChild<QWidget*>(QStringLiteral("PicView1"));
        view1->grab(); // a redraw, so the projected positions exist
        view1->setFocus();
        QApplication::processEvents();
        panels = FindVertexCommands(w);
    }

    model::ModelStore& M() { return w.Ws().Model; }

    std::vector<model::VertRec> Positions() { return {M().Vert.Data(), M().Vert.Data() + M().VertCount}; }

    static bool Same(const std::vector<model::VertRec>& a, const std::vector<model::VertRec>& b) {
        return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(a[0])) == 0;
    }

    void Type(InputPanel* p, std::initializer_list<const char*> texts) {
        int i = 0;
        for (const char* t : texts) {
            p->Box(i++)->setText(QString::fromLatin1(t));
        }
    }

    void SelectOnly(int v) {
        for (int i = 0; i < M().VertCount; ++i) {
            M().VertSel[i] = i == v ? model::kTrue : model::kFalse;
        }
    }

    test::TempDir dir;
    MainWindow w;
    QWidget* view1 = nullptr;
    VertexCommands* panels = nullptr;
    std::vector<QString> asked;
    QMessageBox::StandardButton answer = QMessageBox::Cancel;
};

TEST_F(EditCommandsTest, EveryKindOfCommandRefreshesOnce) {
    int before = w.RefreshCount();
    QTest::keyClick(view1, Qt::Key_Tab);
    EXPECT_EQ(w.RefreshCount(), before + 1) << "a selection key";

    before = w.RefreshCount();
    w.Item("mnuVertex", 6)->trigger(); // select all vertices
    EXPECT_EQ(w.RefreshCount(), before + 1) << "a menu command";

    w.Button("edit_vertex")->trigger();
    view1->grab();
    before = w.RefreshCount();
    const render::ScreenPos s = w.Ws().View1.ScrVert[0];
    QTest::mouseClick(view1, Qt::LeftButton, Qt::NoModifier, QPoint(qRound(s.X), qRound(s.Y)));
    EXPECT_EQ(w.RefreshCount(), before + 1) << "a click that picks a vertex";

    before = w.RefreshCount();
    panels->OpenMerge(MergeMode::Weld);
    Type(panels->MergePanel(), {"100"});
    panels->MergePanel()->Ok()->click();
    EXPECT_EQ(w.RefreshCount(), before + 1) << "a panel's OK";
}

TEST_F(EditCommandsTest, UndoAndRedoThroughTheEditMenuWithTheModifiedMark) {
    const auto start = Positions();
    EXPECT_FALSE(w.windowTitle().contains(QLatin1Char('*')));
    EXPECT_FALSE(w.Item("mnuEdit", 0)->isEnabled());

    panels->OpenTranslate(); // "toggle_vert" released: every vertex moves
    Type(panels->TranslatePanel(), {"1", "2", "3"});
    panels->TranslatePanel()->Ok()->click();
    EXPECT_FALSE(panels->TranslatePanel()->isVisible());
    EXPECT_FLOAT_EQ(M().Vert[7].Y, start[7].Y + 2);
    EXPECT_TRUE(w.windowTitle().contains(QStringLiteral("box.vrl*")));
    EXPECT_EQ(w.Item("mnuEdit", 0)->text(), QStringLiteral("&Undo Translate"));

    QTest::keyClick(view1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Same(Positions(), start)) << "Ctrl+Z";
    EXPECT_FALSE(w.windowTitle().contains(QLatin1Char('*')));
    EXPECT_EQ(w.Item("mnuEdit", 1)->text(), QStringLiteral("&Redo Translate"));
    QTest::keyClick(view1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(Same(Positions(), start)) << "Ctrl+Shift+Z";
    EXPECT_TRUE(w.windowTitle().contains(QLatin1Char('*')));
    w.Item("mnuEdit", 0)->trigger();
    QTest::keyClick(view1, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(Same(Positions(), start)) << "Ctrl+Y";
}

TEST_F(EditCommandsTest, UnsavedChangesAreAskedAboutBeforeTheyAreLost) {
    w.Item("mnuVertex", 6)->trigger();
    panels->OpenTranslate();
    Type(panels->TranslatePanel(), {"1", "0", "0"});
    panels->TranslatePanel()->Ok()->click();

    answer = QMessageBox::Cancel;
    w.Item("mnuFile", 0)->trigger(); // New
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], QStringLiteral("Save changes to box.vrl?"));
    EXPECT_EQ(M().VertCount, 8) << "cancel keeps the model";
    EXPECT_FALSE(w.close()) << "cancel keeps the window open";

    answer = QMessageBox::Discard;
    w.Item("mnuFile", 0)->trigger();
    EXPECT_EQ(M().VertCount, -1);
    EXPECT_FALSE(w.Item("mnuEdit", 0)->isEnabled()) << "New clears the history";
}

TEST_F(EditCommandsTest, VertexPanelsCheckTheirNumbersAndRunTheirCommands) {
    panels->OpenAdd();
    Type(panels->AddPanel(), {"1.5", "x", "0"});
    panels->AddPanel()->Ok()->click();
    EXPECT_TRUE(panels->AddPanel()->isVisible()) << "a box that is not numeric keeps the panel open";
    EXPECT_EQ(M().VertCount, 8);
    Type(panels->AddPanel(), {"1.5", "2", "-3"});
    panels->AddPanel()->Ok()->click();
    EXPECT_FALSE(panels->AddPanel()->isVisible());
    ASSERT_EQ(M().VertCount, 9);
    EXPECT_EQ(M().CurVert, 8);
    EXPECT_FLOAT_EQ(M().Vert[8].Z, -3);
    EXPECT_EQ(M().VertSel[8], model::kFalse);

    panels->OpenGoto();
    Type(panels->GotoPanel(), {"2.6"});
    panels->GotoPanel()->Ok()->click();
    EXPECT_FALSE(panels->GotoPanel()->isVisible());
    EXPECT_EQ(M().CurVert, 3);

    // The new vertex is unused: Delete removes it and leaves no current vertex.
    M().CurVert = 8;
    w.Item("mnuVertex", 3)->trigger();
    EXPECT_EQ(M().VertCount, 8);
    EXPECT_EQ(M().CurVert, -1);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("ZV0.681 [ box.vrl* ]    v: 8  p: 6"));

    // Move the selection's centre to a position, on X only.
    SelectOnly(0);
    const model::VertRec v0 = M().Vert[0];
    panels->OpenSnap(MergeMode::MoveToPosition);
    EXPECT_EQ(panels->SnapPanel()->windowTitle(), QStringLiteral("Move to position"));
    Type(panels->SnapPanel(), {"7", "7", "7"});
    panels->SnapPanel()->Check(1)->setChecked(false);
    panels->SnapPanel()->Check(2)->setChecked(false);
    panels->SnapPanel()->Ok()->click();
    EXPECT_FLOAT_EQ(M().Vert[0].X, 7);
    EXPECT_FLOAT_EQ(M().Vert[0].Y, v0.Y);
}

TEST_F(EditCommandsTest, ResizePanelKeepsProportions) {
    panels->OpenResize(); // "toggle_vert" released: the box of every vertex
    InputPanel* p = panels->ResizePanel();
    const double oldX = p->Box(0)->text().toDouble();
    ASSERT_GT(oldX, 0);
    p->findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(true);
    p->Box(3)->setText(QString::number(oldX * 2));
    emit p->Box(3)->editingFinished();
    for (int a = 0; a < 3; ++a) {
        EXPECT_EQ(p->findChild<QLineEdit*>(QStringLiteral("Text_Size_Factor(%1)").arg(a))->text(),
                  QStringLiteral("2"));
    }
    const auto start = Positions();
    p->Ok()->click();
    for (std::size_t i = 0; i < start.size(); ++i) {
        EXPECT_FLOAT_EQ(Positions()[i].Y, start[i].Y * 2);
    }
}

TEST_F(EditCommandsTest, NudgesAndDragsAreOneStepEach) {
    SelectOnly(0);
    const model::VertRec v0 = M().Vert[0];
    QTest::keyClick(view1, Qt::Key_Insert);
    EXPECT_FLOAT_EQ(M().Vert[0].X, v0.X) << "without toggle_vert and a tool the keys do nothing";
    w.Button("toggle_vert")->setChecked(true);
    w.Button("translate")->setChecked(true);
    QTest::keyClick(view1, Qt::Key_Insert);
    QTest::keyClick(view1, Qt::Key_Insert);
    QTest::keyClick(view1, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_NEAR(M().Vert[0].X, v0.X + 0.01, 1e-6);
    EXPECT_NEAR(M().Vert[0].Y, v0.Y + 5, 1e-5);
    EXPECT_EQ(w.Ws().History.UndoCount(), 1);
    w.Item("mnuEdit", 0)->trigger();
    EXPECT_FLOAT_EQ(M().Vert[0].X, v0.X);
    EXPECT_FLOAT_EQ(M().Vert[0].Y, v0.Y);

    // A drag of the selected vertex from press to release: one step.
    w.Button("edit_vertex")->trigger();
    view1->grab();
    const render::ScreenPos s = w.Ws().View1.ScrVert[0];
    const QPoint from(qRound(s.X), qRound(s.Y));
    QTest::mousePress(view1, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(view1, from + QPoint(10, 0));
    QTest::mouseMove(view1, from + QPoint(20, 0));
    QTest::mouseRelease(view1, Qt::LeftButton, Qt::NoModifier, from + QPoint(20, 0));
    EXPECT_NE(M().Vert[0].Z, v0.Z) << "the view shows Z to the right";
    EXPECT_EQ(w.Ws().History.UndoCount(), 1);
    EXPECT_EQ(w.Ws().History.UndoName(), "Move Vertices");
}

} // namespace
} // namespace zv::app
