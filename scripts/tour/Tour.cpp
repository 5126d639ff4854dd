// zorvane-tour SAMPLES_DIR OUT_DIR: opens the samples in the editor's main window through its
// own commands, as a user would, and saves what the window shows as the README's pictures.
// Exits 1 when a picture could not be made.

#include "app/GlViewWidget.h"
#include "app/MainWindow.h"
#include "app/MapTextureWindow.h"
#include "app/WaypointCommands.h"
#include "interchange/Interchange.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QOpenGLWidget>
#include <QPainter>
#include <QPixmap>
#include <QSurfaceFormat>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

using zv::app::MainWindow;

// Lets the window lay out and paint; the OpenGL view draws on its own frame.
void Wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Trigger(QAction* action, const char* what) {
    if (action == nullptr) {
        std::fprintf(stderr, "zorvane-tour: no %s in the window\n", what);
        return false;
    }
    action->trigger();
    return true;
}

// A mouse gesture on a widget as the user makes it: press, `steps` moves, release (a click when
// from and to are the same and steps is 0).
void Drag(QWidget* view, Qt::MouseButton button, QPoint from, QPoint to, int steps = 10) {
    const auto send = [view](QEvent::Type type, QPoint at, Qt::MouseButton b, Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(at), view->mapToGlobal(QPointF(at)), b, held, Qt::NoModifier);
        QApplication::sendEvent(view, &e);
    };
    send(QEvent::MouseButtonPress, from, button, button);
    for (int k = 1; k <= steps; ++k) {
        send(QEvent::MouseMove, from + (to - from) * k / steps, Qt::NoButton, button);
    }
    send(QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

QWidget* Widget(QWidget& parent, const char* name) {
    return parent.findChild<QWidget*>(QString::fromLatin1(name));
}

// PNG at the strongest compression (quality 0), so the README stays light.
bool Save(const QImage& image, const QString& path) {
    const bool ok = image.convertToFormat(QImage::Format_RGB888).save(path, "PNG", 0);
    std::fprintf(stderr, "zorvane-tour: %s %s\n", ok ? "wrote" : "cannot write", qPrintable(path));
    return ok;
}

// The model in the default layout (wireframe beside the OpenGL view), the wireframe turned.
bool ModelShot(MainWindow& w, const QString& samples, const QString& out) {
    w.LoadFiles({samples + QStringLiteral("/box.vrl")});
    if (!Trigger(w.Item("mnuView", 1), "view layout item") ||
        !Trigger(w.Button("reset_extents"), "Extents")) {
        return false;
    }
    // Camera mode: a left drag turns the wireframe so it shows the box's depth, a right click
    // zooms out a step.
    QWidget* wire = Widget(w, "PicView1");
    Drag(wire, Qt::LeftButton, {300, 300}, {340, 330});
    Drag(wire, Qt::RightButton, {300, 300}, {300, 300}, 0);
    Wait(400);
    return Save(w.grab().toImage(), out + QStringLiteral("/tour-model.png"));
}

// The mapping window over the main window, on the box's polygons (all selected after opening):
// the projection zoomed (left drag) and moved (right drag) onto the texture.
bool MappingShot(MainWindow& w, const QString& out) {
    if (!Trigger(w.Item("mnuTex", 0), "mapping item")) {
        return false;
    }
    auto* map = dynamic_cast<zv::app::MapTextureWindow*>(Widget(w, "FrmMapTex"));
    if (map == nullptr || !map->isVisible()) {
        std::fprintf(stderr, "zorvane-tour: the mapping window did not open\n");
        return false;
    }
    map->resize(480, 560);
    map->move(w.geometry().topLeft() + QPoint(30, 110)); // over the wireframe, beside the 3D box
    Wait(200);
    QWidget* picture = map->Picture();
    Drag(picture, Qt::LeftButton, {100, 100}, {100, 155}, 55);
    // The 64-pixel texture shows 256 pixels wide from the picture's corner: centre the outline on it.
    const QPoint centre(static_cast<int>(map->View().CentreX), static_cast<int>(map->View().CentreY));
    Drag(picture, Qt::RightButton, centre, {128, 128});
    Wait(400);
    QImage shot = w.grab().toImage();
    QPainter painter(&shot);
    const QPoint at = map->geometry().topLeft() - w.geometry().topLeft();
    painter.drawPixmap(at, map->grab());
    painter.setPen(QColor(90, 90, 90)); // the virtual display has no window frames
    painter.drawRect(QRect(at, map->size()).adjusted(-1, -1, 0, 0));
    painter.end();
    map->close();
    return Save(shot, out + QStringLiteral("/tour-mapping.png"));
}

// The generated track with its AI line in the waypoint edit mode, the wireframe from above.
bool WaypointShot(MainWindow& w, const QString& samples, const QString& out) {
    w.LoadFiles({samples + QStringLiteral("/track/ring.vrl")});
    if (zv::app::WaypointCommands* waypoints = zv::app::FindWaypointCommands(w)) {
        waypoints->OpenFile((samples + QStringLiteral("/track/ring.aiw")).toStdString()); // the menu's Open
    }
    if (w.Ws().Waypoints.WpCount == 0) {
        std::fprintf(stderr, "zorvane-tour: the sample AI line did not load\n");
        return false;
    }
    const bool ok =
        Trigger(w.Button("edit_wp"), "waypoint mode") && Trigger(w.Button("view1_orient"), "Direction") &&
        Trigger(w.Button("view1_orient"), "Direction") && Trigger(w.Button("reset_extents"), "Extents");
    if (!ok) {
        return false;
    }
    // The 3D view drawn back (right drags) until the whole track shows, and tipped down.
    QWidget* gl = Widget(w, "PicView4");
    Drag(gl, Qt::RightButton, {300, 100}, {300, 700});
    Drag(gl, Qt::RightButton, {300, 100}, {300, 200});
    Drag(gl, Qt::LeftButton, {300, 300}, {300, 320});
    Wait(400);
    return Save(w.grab().toImage(), out + QStringLiteral("/tour-waypoints.png"));
}

} // namespace

int main(int argc, char** argv) {
    zv::interchange::InstallFormats(); // as the editor: the table of formats is fixed from its first use
    QSurfaceFormat::setDefaultFormat(zv::app::GlViewWidget::RequiredFormat());
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: zorvane-tour SAMPLES_DIR OUT_DIR\n");
        return 2;
    }
    const QString samples = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    // A configuration of its own, so the pictures show the defaults and the user's file stays.
    QTemporaryDir config;
    const QString cfg = config.filePath(QStringLiteral("ZV068.CFG"));
    if (QFile f(cfg); !f.open(QIODevice::WriteOnly) || f.write(";\r\n") != 3) {
        std::fprintf(stderr, "zorvane-tour: cannot write %s\n", qPrintable(cfg));
        return 1;
    }
    MainWindow w({cfg.toStdString(), true});
    w.AskSaveChanges = [](const QString&) { return QMessageBox::Discard; };
    w.resize(1200, 750);
    w.show();
    Wait(500);
    // Without an OpenGL context the 3D view would be a black box in every picture.
    if (auto* gl = w.findChild<QOpenGLWidget*>(QStringLiteral("PicView4")); gl == nullptr || !gl->isValid()) {
        std::fprintf(stderr, "zorvane-tour: no OpenGL context for the 3D view\n");
        return 1;
    }
    const bool ok = ModelShot(w, samples, out) && MappingShot(w, out) && WaypointShot(w, samples, out);
    w.close();
    return ok ? 0 : 1;
}
