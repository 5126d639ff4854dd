// The OpenGL view inside the real editor window (on a virtual X display in the test run): a
// change marks the view's lists, the next paint rebuilds them once, and a hidden view builds
// nothing until it is shown again.

#include "app/GlViewWidget.h"
#include "app/MainWindow.h"
#include "render/WireframeView.h"
#include "tests/support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QSurfaceFormat>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace zv::app {
namespace {

class GlViewWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
            if (std::getenv("CI") != nullptr) {
                FAIL() << "no X display for the OpenGL view";
            }
            GTEST_SKIP() << "no X display (run the tests under xvfb-run)";
        }
        w = std::make_unique<MainWindow>(
            MainWindow::Options{dir.Write("ZV068.CFG", std::string(";\r\n")), true});
        w->Ws().Settings.LoadTexturesOnOpen = false;
        w->Ws().Settings.RenderType = 1; // flat: selected polygons have a colour of their own
        w->resize(1000, 600);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        w->LoadFiles({QStringLiteral(ZV_SOURCE_DIR "/samples/box.vrl")});
        gl = w->findChild<GlViewWidget*>(QStringLiteral("PicView4"));
        ASSERT_NE(gl, nullptr);
        view1 = w->findChild<QWidget*>(QStringLiteral("PicView1"));
        w->activateWindow();
        view1->setFocus();
        Settle();
        ASSERT_TRUE(gl->isValid()) << "no OpenGL context";
        ASSERT_FALSE(gl->Renderer().ListsStale()) << "the first paint builds the lists";
    }

    void TearDown() override {
        if (w) {
            w->close();
        }
    }

    // Runs the event loop until every pending paint is done.
    static void Settle() {
        for (int i = 0; i < 5; ++i) {
            QTest::qWait(20);
        }
    }

    int Builds() const { return gl->Renderer().ModelListBuilds(); }

    void Layout(int menuItem) {
        w->Item("mnuView", menuItem)->trigger();
        Settle();
    }

    test::TempDir dir;
    std::unique_ptr<MainWindow> w;
    GlViewWidget* gl = nullptr;
    QWidget* view1 = nullptr;
};

TEST_F(GlViewWidgetTest, ChangesRebuildTheListsOnceAtTheNextPaint) {
    int before = Builds();
    QTest::keyClick(view1, Qt::Key_Tab);
    Settle();
    EXPECT_EQ(Builds(), before + 1) << "one selection key";

    // Keys show their status text at once, which paints the window between them, so several
    // refreshes within one command stand for changes that come faster than frames.
    before = Builds();
    w->RefreshAll();
    w->RefreshAll();
    w->RefreshAll();
    EXPECT_EQ(Builds(), before) << "a refresh only marks the lists";
    Settle();
    EXPECT_EQ(Builds(), before + 1) << "three refreshes before one paint";

    before = Builds();
    gl->update(); // a redraw without a change, as the rotation timer makes
    Settle();
    EXPECT_EQ(Builds(), before);
}

TEST_F(GlViewWidgetTest, HiddenViewBuildsNothingAndCatchesUpWhenShown) {
    const QImage selected = gl->grabFramebuffer();
    Layout(0); // the wireframe view alone
    ASSERT_FALSE(gl->isVisible());
    const int before = Builds();
    QTest::keyClick(view1, Qt::Key_W); // deselect every polygon
    QTest::keyClick(view1, Qt::Key_Tab);
    Settle();
    EXPECT_EQ(Builds(), before);
    EXPECT_TRUE(gl->Renderer().ListsStale());

    Layout(1); // both views
    ASSERT_TRUE(gl->isVisible());
    EXPECT_EQ(Builds(), before + 1) << "showing the view paints it with fresh lists";
    EXPECT_FALSE(gl->Renderer().ListsStale());
    EXPECT_NE(gl->grabFramebuffer(), selected) << "the box is no longer drawn selected";
    EXPECT_EQ(Builds(), before + 1);
}

TEST_F(GlViewWidgetTest, DrawModeCommandRebuildsInTheNewMode) {
    const int before = Builds();
    const QImage flat = gl->grabFramebuffer();
    w->Button("drawmode")->trigger(); // flat to textured
    Settle();
    EXPECT_EQ(w->Ws().Settings.RenderType, 2);
    EXPECT_EQ(Builds(), before + 1);
    EXPECT_NE(gl->grabFramebuffer(), flat);
}

TEST_F(GlViewWidgetTest, ZoomDragRebuildsOnlyThePointList) {
    const int before = Builds();
    const int points = gl->Renderer().PointListBuilds();
    const int refreshes = w->RefreshCount();
    const float dist = gl->Renderer().Cam.GLDist;
    const QPoint centre = gl->rect().center();
    QTest::mousePress(gl, Qt::RightButton, Qt::NoModifier, centre);
    QTest::mouseMove(gl, centre + QPoint(0, 40));
    QTest::mouseRelease(gl, Qt::RightButton, Qt::NoModifier, centre + QPoint(0, 40));
    if (QWidget* menu = QApplication::activePopupWidget()) {
        menu->close(); // the right button also asks for the OpenGL state menu
    }
    Settle();
    EXPECT_NE(gl->Renderer().Cam.GLDist, dist);
    EXPECT_EQ(Builds(), before);
    EXPECT_EQ(gl->Renderer().PointListBuilds(), points + 1);
    EXPECT_EQ(w->RefreshCount(), refreshes) << "the model did not change";
}

TEST_F(GlViewWidgetTest, WaypointPickRebuildsTheWaypointListOnce) {
    Workspace& ws = w->Ws();
    ws.Waypoints.WpCount = 2;
    ws.Waypoints.Wp[1].pos = {0, 0, 1};
    w->Button("edit_wp")->trigger();
    view1->grab();
    const int before = gl->Renderer().WaypointListBuilds();
    const render::ScreenPos p = render::Project(ws.View1, {0, 0, 1});
    QTest::mouseClick(view1, Qt::LeftButton, Qt::NoModifier, QPoint(qRound(p.X), qRound(p.Y)));
    Settle();
    EXPECT_EQ(ws.Waypoints.CurWp, 1);
    EXPECT_EQ(gl->Renderer().WaypointListBuilds(), before + 1);
    EXPECT_TRUE(gl->Renderer().WaypointsExist);
}

} // namespace
} // namespace zv::app

int main(int argc, char** argv) {
    QSurfaceFormat::setDefaultFormat(zv::app::GlViewWidget::RequiredFormat());
    // A real display when there is one; otherwise the tests skip.
    if (std::getenv("DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    } else {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
