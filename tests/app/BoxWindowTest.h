#pragma once
// The editor window with the sample box loaded (8 vertices, 6 quads, textures BOXSIDE and
// BOXEND, not loaded), shown offscreen, the wireframe view focused.

#include "app/MainWindow.h"

#include "tests/support/TempDir.h"

#include <QAction>
#include <QApplication>

#include <gtest/gtest.h>

namespace zv::app {

class BoxWindowTest : public ::testing::Test {
protected:
    BoxWindowTest() : w({dir.Write("ZV068.CFG", std::string(";\r\n")), false}) {
        w.Ws().Settings.LoadTexturesOnOpen = false;
        w.AskSaveChanges = [](const QString&) { return QMessageBox::Discard; };
        w.resize(800, 600);
        w.show();
        w.LoadFiles({QStringLiteral(ZV_SOURCE_DIR "/samples/box.vrl")});
        view1 = w.findChild<QWidget*>(QStringLiteral("PicView1"));
        view1->setFocus();
        QApplication::processEvents();
    }

    model::ModelStore& M() { return w.Ws().Model; }
    void Undo() { w.Item("mnuEdit", 0)->trigger(); }

    test::TempDir dir;
    MainWindow w;
    QWidget* view1 = nullptr;
};

} // namespace zv::app
