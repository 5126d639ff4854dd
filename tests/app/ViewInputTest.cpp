#include "app/MainWindow.h"
#include "app/SelectPanels.h"

#include "model/Tables.h"
#include "render/WireframeView.h"
#include "tests/support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace zv::app {
namespace {

class ViewInputTest : public ::testing::Test {
protected:
    ViewInputTest() : w({dir.Write("ZV068.CFG", std::string(";\r\n")), false}) {
        w.Ws().Settings.LoadTexturesOnOpen = false;
        w.resize(800, 600);
        w.show();
        w.LoadFiles({QStringLiteral(ZV_SOURCE_DIR "/samples/box.vrl")});
        view1 = w.findChild<QWidget*>(QStringLiteral("PicView1"));
        view1->grab(); // a redraw, so the projected positions exist
        w.activateWindow();
        view1->setFocus();
        QApplication::processEvents();
    }
    test::TempDir dir;
    MainWindow w;
    QWidget* view1 = nullptr;
};

TEST_F(ViewInputTest, SelectionKeysReachTheModel) {
    model::ModelStore& m = w.Ws().Model;
    ASSERT_EQ(m.PolySel[0], model::kTrue); // a load selects its polygons
    QTest::keyClick(view1, Qt::Key_W);     // deselect all polygons
    EXPECT_EQ(m.PolySel[0], model::kFalse);
    QTest::keyClick(view1, Qt::Key_Tab);
    EXPECT_EQ(m.CurVert, 0);
    QTest::keyClick(view1, Qt::Key_Tab);
    EXPECT_EQ(m.CurVert, 1);
    QTest::keyClick(view1, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(m.CurVert, 0);
    QTest::keyClick(view1, Qt::Key_V); // select the current vertex
    EXPECT_EQ(m.VertSel[0], model::kTrue);
}

TEST_F(ViewInputTest, CameraClickZoomsAndEditBandSelects) {
    const float zoom = w.Ws().View1.ViewZoom;
    QTest::mouseClick(view1, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_FLOAT_EQ(w.Ws().View1.ViewZoom, zoom * 1.1f);

    model::ModelStore& m = w.Ws().Model;
    for (int v = 0; v < m.VertCount; ++v) {
        m.VertSel[v] = model::kFalse;
    }
    w.Button("edit_vertex")->trigger();
    view1->grab();
    QTest::mousePress(view1, Qt::RightButton, Qt::NoModifier, QPoint(1, 1));
    QTest::mouseMove(view1, QPoint(view1->width() - 2, view1->height() - 2));
    QTest::mouseRelease(view1, Qt::RightButton, Qt::NoModifier,
                        QPoint(view1->width() - 2, view1->height() - 2));
    int selected = 0;
    for (int v = 0; v < m.VertCount; ++v) {
        selected += m.VertSel[v] != model::kFalse ? 1 : 0;
    }
    EXPECT_EQ(selected, m.VertCount);
}

TEST_F(ViewInputTest, SelectionPanelsOfThePolygonMenu) {
    model::ModelStore& m = w.Ws().Model;
    auto* byTexture = w.findChild<TextureSelectPanel*>(QStringLiteral("Pic_TexReplace"));
    ASSERT_NE(byTexture, nullptr);
    EXPECT_EQ(byTexture->windowTitle(), QStringLiteral("Select by texture"));
    ASSERT_EQ(byTexture->List()->count(), 2); // the port keeps it aligned with the slots
    QTest::keyClick(view1, Qt::Key_W);        // deselect all polygons
    byTexture->List()->setCurrentIndex(1);    // BOXEND
    byTexture->Apply();
    int selected = 0;
    for (int p = 0; p < m.PolyCount; ++p) {
        selected += m.PolySel[p] != model::kFalse ? 1 : 0;
        EXPECT_EQ(m.PolySel[p] != model::kFalse, m.PolyTex[p] == 1) << p;
    }
    EXPECT_EQ(selected, 3);

    auto* byFacing = w.findChild<FacingSelectPanel*>(QStringLiteral("Pic_TexFacing"));
    ASSERT_NE(byFacing, nullptr);
    byFacing->Angle()->setText(QStringLiteral("0"));
    byFacing->Apply();
    EXPECT_EQ(byFacing->Cosine()->text(), QStringLiteral("-1"));
}

TEST_F(ViewInputTest, SelectionPanelsApplyOnlyOnOkAndCloseOnBothButtons) {
    model::ModelStore& m = w.Ws().Model;
    const auto anySelected = [&m] {
        for (int p = 0; p < m.PolyCount; ++p) {
            if (m.PolySel[p] != model::kFalse) {
                return true;
            }
        }
        return false;
    };
    const auto press = [](QDialog* panel, const char* button) {
        panel->open();
        auto* b = panel->findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(b, nullptr) << button;
        b->click();
        EXPECT_FALSE(panel->isVisible()) << button;
    };
    QTest::keyClick(view1, Qt::Key_W); // deselect all polygons

    auto* byTexture = w.findChild<TextureSelectPanel*>(QStringLiteral("Pic_TexReplace"));
    ASSERT_NE(byTexture, nullptr);
    byTexture->List()->setCurrentIndex(1);
    press(byTexture, "Cmd_TexReplace(1)");
    EXPECT_FALSE(anySelected()) << "Cancel only closes";
    press(byTexture, "Cmd_TexReplace(0)");
    EXPECT_TRUE(anySelected());

    QTest::keyClick(view1, Qt::Key_W);
    auto* byFacing = w.findChild<FacingSelectPanel*>(QStringLiteral("Pic_TexFacing"));
    ASSERT_NE(byFacing, nullptr);
    byFacing->Angle()->setText(QStringLiteral("180")); // c = 1: every normal is below it
    byFacing->Box(0)->setChecked(true);
    press(byFacing, "Cmd_TexFacing(1)");
    EXPECT_FALSE(anySelected()) << "Cancel only closes";
    press(byFacing, "Cmd_TexFacing(0)");
    EXPECT_TRUE(anySelected());
    EXPECT_EQ(byFacing->Cosine()->text(), QStringLiteral("1"));
}

} // namespace
} // namespace zv::app
