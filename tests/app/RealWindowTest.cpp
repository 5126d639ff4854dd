// The real editor window on a display (a virtual X display in the test run), with its OpenGL
// view: open the sample and look at what both views show.

#include "app/GlViewWidget.h"
#include "app/MainWindow.h"
#include "app/PathCommands.h"
#include "app/WaypointCommands.h"
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QImage>
#include <QOpenGLWidget>
#include <QSurfaceFormat>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace zv::app {
namespace {

// Pixels of image (inside its centre half) that are neither the background nor black.
int DrawnPixels(const QImage& image, QRgb background) {
    int drawn = 0;
    for (int y = image.height() / 4; y < image.height() * 3 / 4; ++y) {
        for (int x = image.width() / 4; x < image.width() * 3 / 4; ++x) {
            const QRgb p = image.pixel(x, y) & 0xFFFFFF;
            drawn += p != (background & 0xFFFFFF) && p != 0 ? 1 : 0;
        }
    }
    return drawn;
}

TEST(RealWindow, OpensTheSampleInBothViews) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        if (std::getenv("CI") != nullptr) {
            FAIL() << "no X display for the real window test";
        }
        GTEST_SKIP() << "no X display (run the tests under xvfb-run)";
    }
    test::TempDir dir;
    MainWindow w({dir.Write("ZV068.CFG", std::string(";\r\n")), true});
    w.resize(1000, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.LoadFiles({QStringLiteral(ZV_SOURCE_DIR "/samples/box.vrl")});
    QTest::qWait(200);

    auto* gl = w.findChild<QOpenGLWidget*>(QStringLiteral("PicView4"));
    ASSERT_NE(gl, nullptr);
    ASSERT_TRUE(gl->isValid()) << "no OpenGL context";
    const QImage frame = gl->grabFramebuffer();
    ASSERT_FALSE(frame.isNull());
    // The textured box fills the middle of the 3D view.
    EXPECT_GT(DrawnPixels(frame, frame.pixel(2, 2)), frame.width() * frame.height() / 40);

    auto* wire = w.findChild<QWidget*>(QStringLiteral("PicView1"));
    ASSERT_NE(wire, nullptr);
    const QImage outline = wire->grab().toImage();
    // The loaded polygons are selected: their outlines are in the selected colour.
    EXPECT_GT(DrawnPixels(outline, 0), 20);
    if (const char* out = std::getenv("ZV_VIEW_IMAGES")) {
        frame.save(QString::fromLocal8Bit(out) + QStringLiteral("/window_gl.png"));
        outline.save(QString::fromLocal8Bit(out) + QStringLiteral("/window_wire.png"));
    }
    w.close();
}


// A ring of waypoints around the sample in the waypoint edit mode: both views show the spheres
// and marks in their colours.
TEST(RealWindow, ShowsAWaypointRingInBothViews) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        GTEST_SKIP() << "no X display (run the tests under xvfb-run)";
    }
    test::TempDir dir;
    std::string aiw = "[Waypoint]\r\nnumber_waypoints=12\r\nlap_length=50\r\n";
    for (int i = 0; i < 12; ++i) {
        const double a = i * 3.14159265 / 6;
        aiw += "wp_pos=(" + std::to_string(4 * std::cos(a)) + ",0," + std::to_string(6 * std::sin(a)) + ")\r\n";
        aiw += "wp_ori=(0,0)\r\nwp_width=(5,5,6,6)\r\nwp_score=(0,0,0,0)\r\nwp_opt=(0,0,0)\r\n";
        aiw += "wp_depth=80\r\nwp_ins=TRAK\r\n";
        aiw += "wp_ptrs=(" + std::to_string((i + 11) % 12) + "," + std::to_string((i + 1) % 12) + ",-1,-2)\r\n";
    }
    MainWindow w({dir.Write("ZV068.CFG", std::string(";\r\n")), true});
    w.resize(1000, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.LoadFiles({QStringLiteral(ZV_SOURCE_DIR "/samples/box.vrl")});
    FindWaypointCommands(w)->OpenFile(dir.Write("ring.aiw", aiw));
    ASSERT_EQ(w.Ws().Waypoints.WpCount, 12);
    w.Button("edit_wp")->trigger();
    w.Button("view1_orient")->trigger();
    w.Button("view1_orient")->trigger(); // from above, where the ring is a ring
    QTest::qWait(200);

    auto* gl = w.findChild<QOpenGLWidget*>(QStringLiteral("PicView4"));
    ASSERT_NE(gl, nullptr);
    const QImage frame = gl->grabFramebuffer();
    auto* wire = w.findChild<QWidget*>(QStringLiteral("PicView1"));
    const QImage marks = wire->grab().toImage();
    // Waypoint 0 is current: a white sphere and a white mark; the others are blue.
    const auto count = [](const QImage& image, auto wanted) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                n += wanted(QColor(image.pixel(x, y))) ? 1 : 0;
            }
        }
        return n;
    };
    const auto blue = [](const QColor& c) { return c.blue() > 150 && c.red() < 60 && c.green() > 60; };
    EXPECT_GT(count(frame, blue), 20);
    EXPECT_GT(count(marks, blue), 20);
    if (const char* out = std::getenv("ZV_VIEW_IMAGES")) {
        frame.save(QString::fromLocal8Bit(out) + QStringLiteral("/waypoints_gl.png"));
        marks.save(QString::fromLocal8Bit(out) + QStringLiteral("/waypoints_wire.png"));
    }
    w.close();
}


// A track generated along a drawn path shows in both views: the road's grey in the OpenGL view
// and the outlines in the wireframe view.
TEST(RealWindow, ShowsAGeneratedTrack) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        GTEST_SKIP() << "no X display (run the tests under xvfb-run)";
    }
    test::TempDir dir;
    std::string zvp = "number_points=8\r\n";
    for (const char* p : {"0,0,0", "40,0,0", "80,0,10", "100,0,50", "80,0,90", "40,0,100", "0,0,90", "-20,0,50"}) {
        zvp += std::string("PointPos=(") + p + ")\r\n";
    }
    MainWindow w({dir.Write("ZV068.CFG", std::string(";\r\n")), true});
    w.resize(1000, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    PathCommands* path = FindPathCommands(w);
    path->OpenFile(dir.Write("loop.zvp", zvp));
    path->CreateTrack();
    ASSERT_EQ(w.Ws().Model.PolyCount, 120);
    w.Button("view1_orient")->trigger();
    w.Button("view1_orient")->trigger(); // from above
    w.Button("reset_extents")->trigger();
    w.RefreshAll();
    QTest::qWait(300);

    auto* gl = w.findChild<QOpenGLWidget*>(QStringLiteral("PicView4"));
    ASSERT_NE(gl, nullptr);
    const QImage frame = gl->grabFramebuffer();
    const QImage outline = w.findChild<QWidget*>(QStringLiteral("PicView1"))->grab().toImage();
    EXPECT_GT(DrawnPixels(outline, 0), 200);
    if (const char* out = std::getenv("ZV_VIEW_IMAGES")) {
        frame.save(QString::fromLocal8Bit(out) + QStringLiteral("/track_gl.png"));
        outline.save(QString::fromLocal8Bit(out) + QStringLiteral("/track_wire.png"));
    }
    w.AskSaveChanges = [](const QString&) { return QMessageBox::Discard; };
    w.close();
}

} // namespace
} // namespace zv::app

int main(int argc, char** argv) {
    QSurfaceFormat::setDefaultFormat(zv::app::GlViewWidget::RequiredFormat());
    // A real display when there is one; otherwise the test skips.
    if (std::getenv("DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    } else {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
