#include "app/MainWindow.h"
#include "app/SelectPanels.h"
#include "app/StatusPanels.h"

#include "model/Tables.h"
#include "render/Navigation.h"
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

#include <cmath>

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

    int SelectedVertices() {
        const model::ModelStore& m = w.Ws().Model;
        int n = 0;
        for (int v = 0; v < m.VertCount; ++v) {
            n += m.VertSel[v] != model::kFalse ? 1 : 0;
        }
        return n;
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
    EXPECT_EQ(SelectedVertices(), m.VertCount);
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

// Qt replaces the press of a quick second click by a double click; it must zoom like the first.
TEST_F(ViewInputTest, QuickClicksInCameraModeEachZoom) {
    const float zoom = w.Ws().View1.ViewZoom;
    QTest::mouseClick(view1, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseDClick(view1, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseRelease(view1, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_FLOAT_EQ(w.Ws().View1.ViewZoom, zoom * 1.1f * 1.1f);
}

TEST_F(ViewInputTest, WaypointBandLeavesTheModelSelectionAlone) {
    model::ModelStore& m = w.Ws().Model;
    for (int v = 0; v < m.VertCount; ++v) {
        m.VertSel[v] = model::kFalse;
    }
    w.Button("edit_wp")->trigger();
    const QPoint far(view1->width() - 2, view1->height() - 2);
    QTest::mousePress(view1, Qt::RightButton, Qt::NoModifier, QPoint(1, 1));
    QTest::mouseMove(view1, far);
    QTest::mouseRelease(view1, Qt::RightButton, Qt::NoModifier, far);
    EXPECT_EQ(SelectedVertices(), 0);
}

TEST_F(ViewInputTest, WaypointDragMovesItAndTopViewShowsTheDistance) {
    Workspace& ws = w.Ws();
    ws.Waypoints.WpCount = 2;
    ws.Waypoints.Wp[0].pos = {0, 0, 0};
    ws.Waypoints.Wp[1].pos = {0, 0, 5};
    ws.Waypoints.CurWp = 1;
    w.Button("edit_wp")->trigger();
    const render::ScreenPos p = render::Project(ws.View1, {0, 0, 0});
    const QPoint from(qRound(p.X), qRound(p.Y));
    QTest::mousePress(view1, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(view1, from + QPoint(20, 0));
    QTest::mouseRelease(view1, Qt::LeftButton, Qt::NoModifier, from + QPoint(20, 0));
    EXPECT_EQ(ws.Waypoints.CurWp, 0);
    EXPECT_GT(ws.Waypoints.Wp[0].pos[2], 0) << "the side view shows Z to the right";
    EXPECT_EQ(ws.History.UndoName(), "Move Waypoints");
    EXPECT_TRUE(w.Panels().State()->text().startsWith(QStringLiteral("Waypoint: 0")));

    render::SetOrientation(ws.View1, 2);
    QTest::mouseMove(view1, QPoint(30, 40));
    EXPECT_TRUE(w.Panels().Distance()->text().startsWith(QStringLiteral("Dist: ")));
}

// In polygon select mode a click a pixel or two inside a corner selects the polygon, although
// the corner's vertex is within the pick radius.
TEST_F(ViewInputTest, PolygonClickNextToAVertexSelectsThePolygon) {
    model::ModelStore& m = w.Ws().Model;
    const render::WireframeView& view = w.Ws().View1;
    w.Button("edit_vertex")->trigger();
    w.Button("SelectPolygons")->trigger();
    int target = -1;
    QPoint at;
    for (int p = 0; p < m.PolyCount && target < 0; ++p) {
        if ((render::PolygonFlags(view, m, p) & 7) != 3) {
            continue; // shown, in view and facing the screen only
        }
        float cx = 0;
        float cy = 0;
        const int n = m.PolyVCount[p];
        for (int k = 0; k < n; ++k) {
            cx += view.ScrVert[m.PolyVert(p, k)].X / static_cast<float>(n);
            cy += view.ScrVert[m.PolyVert(p, k)].Y / static_cast<float>(n);
        }
        float area = 0; // twice the signed area: edge-on polygons have none
        for (int k = 0; k < n; ++k) {
            const render::ScreenPos& a = view.ScrVert[m.PolyVert(p, k)];
            const render::ScreenPos& b = view.ScrVert[m.PolyVert(p, (k + 1) % n)];
            area += a.X * b.Y - b.X * a.Y;
        }
        const render::ScreenPos c0 = view.ScrVert[m.PolyVert(p, 0)];
        const float len = std::hypot(cx - c0.X, cy - c0.Y);
        if (len > 20 && std::abs(area) > 400) {
            // Three pixels towards the centre; the rounding keeps it within the pick radius.
            at = QPoint(static_cast<int>(std::lround(c0.X + 3 * (cx - c0.X) / len)),
                        static_cast<int>(std::lround(c0.Y + 3 * (cy - c0.Y) / len)));
            target = p;
        }
    }
    ASSERT_GE(target, 0);
    ASSERT_LT(std::abs(view.ScrVert[m.PolyVert(target, 0)].X - static_cast<float>(at.x())),
              render::kPickRadius);
    ASSERT_LT(std::abs(view.ScrVert[m.PolyVert(target, 0)].Y - static_cast<float>(at.y())),
              render::kPickRadius);
    for (int p = 0; p < m.PolyCount; ++p) {
        m.PolySel[p] = model::kFalse;
    }
    QTest::mouseClick(view1, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(m.PolySel[target], model::kTrue);
}

} // namespace
} // namespace zv::app
