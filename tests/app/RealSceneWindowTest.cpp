// The real window's OpenGL view with the scene cameras and the dummy objects (run under a
// virtual X display; skipped without one).

#include "app/MainWindow.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QImage>
#include <QOpenGLWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace zv::app {
namespace {

// Scene cameras show in the OpenGL view once "Display &Cameras (OpenGL)" is ticked; a dummy
// shows as its number in the wireframe view and as a cross in the OpenGL view.
TEST(RealWindow, ShowsSceneCamerasAndDummies) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        GTEST_SKIP() << "no X display (run the tests under xvfb-run)";
    }
    test::TempDir dir;
    MainWindow w({dir.Write("ZV068.CFG", std::string(";\r\n")), true});
    w.resize(1000, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.Ws().Cameras.Pos = {{0, 0, 0}};
    w.Ws().Dummies.Items = {{"Obj001", {0, 0, 0}, false}};
    w.Apply(edit::Change::Cameras | edit::Change::Dummies);
    QTest::qWait(200);
    auto* gl = w.findChild<QOpenGLWidget*>(QStringLiteral("PicView4"));
    ASSERT_NE(gl, nullptr);
    const auto count = [](const QImage& image, auto wanted) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                n += wanted(QColor(image.pixel(x, y))) ? 1 : 0;
            }
        }
        return n;
    };
    const auto orange = [](const QColor& c) {
        return c.red() > 200 && c.green() > 80 && c.green() < 140 && c.blue() < 40;
    };
    const auto lightBlue = [](const QColor& c) { return c.blue() > 200 && c.green() > 180 && c.red() < 120; };
    EXPECT_EQ(count(gl->grabFramebuffer(), orange), 0) << "cameras are off at the start";
    EXPECT_GT(count(gl->grabFramebuffer(), lightBlue), 5);
    EXPECT_GT(count(w.findChild<QWidget*>(QStringLiteral("PicView1"))->grab().toImage(), lightBlue), 5);

    w.Item("mnuScene", 5)->trigger();
    QTest::qWait(200);
    const QImage frame = gl->grabFramebuffer();
    EXPECT_GT(count(frame, orange), 30);
    if (const char* out = std::getenv("ZV_VIEW_IMAGES")) {
        frame.save(QString::fromLocal8Bit(out) + QStringLiteral("/scene_gl.png"));
    }
    w.close();
}

} // namespace
} // namespace zv::app
