// The View menu's OpenGL and wireframe submenus, the OpenGL state menu of the OpenGL view and
// the scene's camera display switch.

#include "app/GlViewWidget.h"
#include "app/MainWindow.h"
#include "app/MenuCommands.h"

#include <QAction>
#include <QMenu>

namespace zv::app {
namespace {

// Connects a check item to a switch; the item starts with the switch's value.
void Toggle(MainWindow& w, const std::string& menu, int index, bool initial,
            std::function<void(bool)> apply) {
    QAction* item = w.Item(menu, index);
    if (item == nullptr) {
        return;
    }
    item->setChecked(initial);
    QObject::connect(item, &QAction::toggled, &w, std::move(apply));
}

void ConnectGlStateMenu(MainWindow& w, GlViewWidget& gl) {
    constexpr render::gl::GlSwitch kSwitches[] = {
        render::gl::GlSwitch::Fog,        render::gl::GlSwitch::DepthTest, render::gl::GlSwitch::Normalize,
        render::gl::GlSwitch::AutoNormal, render::gl::GlSwitch::Dither,    render::gl::GlSwitch::Smooth,
        render::gl::GlSwitch::AlphaTest,  render::gl::GlSwitch::Blend};
    // The state the view starts with: depth test and blending on.
    for (int i = 0; i < 8; ++i) {
        const render::gl::GlSwitch which = kSwitches[i];
        const bool initial = which == render::gl::GlSwitch::DepthTest || which == render::gl::GlSwitch::Blend;
        Toggle(w, "mnu_Ogl", i, initial, [&gl, which](bool on) {
            gl.makeCurrent();
            gl.Renderer().SetGlSwitch(which, on);
            gl.doneCurrent();
            gl.update();
        });
    }
    if (auto* menu = w.findChild<QMenu*>(QStringLiteral("mnu_Ogl"))) {
        gl.setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(&gl, &QWidget::customContextMenuRequested, menu,
                         [menu, &gl](const QPoint& at) { menu->popup(gl.mapToGlobal(at)); });
    }
}

} // namespace

void ConnectViewCommands(MainWindow& w) {
    Workspace& ws = w.Ws();
    Toggle(w, "mnuView_wireframe", 0, ws.View1.CullPolys, [&w](bool on) {
        w.Ws().View1.CullPolys = on;
        w.Draw_All_Views();
    });
    // Hidden in the menu; the view orbits about its centre while it is checked.
    Toggle(w, "mnuView_wireframe", 3, ws.View1.AltCamera, [&w](bool on) {
        w.Ws().View1.AltCamera = on;
        w.Draw_All_Views();
    });
    Toggle(w, "mnuView_opengl", 0, ws.Settings.ViewAxis, [&w](bool on) {
        w.Ws().Settings.ViewAxis = on;
        w.RefreshAll();
    });
    Toggle(w, "mnuView_opengl", 1, ws.Settings.ViewGrid, [&w](bool on) {
        w.Ws().Settings.ViewGrid = on;
        w.RefreshAll();
    });
    auto* gl = w.findChild<GlViewWidget*>(QStringLiteral("PicView4"));
    if (gl == nullptr) {
        return;
    }
    render::gl::ViewSwitches& sw = gl->Renderer().Switches;
    Toggle(w, "mnuView_opengl", 2, sw.ShowEdges, [&w, &sw](bool on) {
        sw.ShowEdges = on;
        w.RefreshAll();
    });
    Toggle(w, "mnuView_opengl", 3, sw.ShowFloor, [&w, &sw](bool on) {
        sw.ShowFloor = on;
        w.RefreshAll();
    });
    Toggle(w, "mnuView_opengl", 5, sw.Rotate, [&w, &sw](bool on) {
        sw.Rotate = on;
        w.SetRotating(on);
    });
    if (QAction* reset = w.Item("mnuView_opengl", 7)) {
        QObject::connect(reset, &QAction::triggered, &w, [&w, gl] {
            gl->Renderer().ResetCamera();
            w.RefreshAll();
        });
    }
    Toggle(w, "mnuScene", 5, sw.DisplayCameras, [&w, &sw, gl](bool on) {
        sw.DisplayCameras = on;
        gl->MarkCameraListStale(); // built from the cameras as they are now, at the next paint
        w.Draw_All_Views();
    });
    ConnectGlStateMenu(w, *gl);
}

} // namespace zv::app
