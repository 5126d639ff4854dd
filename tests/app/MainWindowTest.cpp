#include "app/MainWindow.h"

#include "app/FileDialogs.h"
#include "app/MenuTable.h"
#include "config/ConfigFile.h"
#include "tests/support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <filesystem>

namespace zv::app {
namespace {

const QString kBox = QStringLiteral(ZV_SOURCE_DIR "/samples/box.vrl");

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() {
        // An existing (empty) file, so start-up shows no "not found" box.
        config = dir.Write("ZV068.CFG", std::string(";\r\n"));
    }
    test::TempDir dir;
    std::string config;
};

TEST_F(MainWindowTest, StartsInOrderAndSavesTheConfigurationWhenClosed) {
    {
        MainWindow w({config, false});
        EXPECT_EQ(w.objectName(), QStringLiteral("Form1"));
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Zorvane v0.681"));
        EXPECT_EQ(w.CurrentFileName(), "Test.vrl");
        const auto* status = w.findChild<QLabel*>(QStringLiteral("StatusBar1_Panel1"));
        ASSERT_NE(status, nullptr);
        EXPECT_EQ(status->text(), QStringLiteral("Ready."));
        EXPECT_NE(w.findChild<QWidget*>(QStringLiteral("PicView1")), nullptr);
        // The configured layout (1: side by side) is checked in the view menu.
        EXPECT_TRUE(w.Item("mnuView", 1)->isChecked());
        EXPECT_FALSE(w.Item("mnuView", 0)->isChecked());
        w.Ws().Settings.MaxTex = 123;
        w.resize(900, 700);
        w.close();
    }
    config::Settings read;
    model::QuietUserInterface quiet;
    ASSERT_TRUE(config::LoadConfig(config, read, quiet));
    EXPECT_EQ(read.MaxTex, 123);
    // The window keeps its size for the next start.
    EXPECT_EQ(read.MainWinPosition.Width, 900);
    EXPECT_EQ(read.MainWinPosition.Height, 700);
    MainWindow again({config, false});
    EXPECT_EQ(again.width(), 900);
}

TEST_F(MainWindowTest, MenusFollowTheTableWithHiddenItemsHidden) {
    MainWindow w({config, false});
    EXPECT_EQ(w.Item("mnuFile", 13)->text(), QStringLiteral("&Quit"));
    EXPECT_TRUE(w.Item("mnuFile", 3)->isSeparator());
    EXPECT_FALSE(w.Item("mnuFile", 5)->isVisible());  // "Merge MTM2-Model (.bin)"
    EXPECT_FALSE(w.Item("mnuFile1", 4)->isVisible()); // "&NICE2 Model (.oif)"
    EXPECT_EQ(w.Item("mnuFile1", 2)->text(), QStringLiteral("&MTM Model (.bin)"));
    EXPECT_EQ(w.Item("mnuFile", 1)->menu()->objectName(), QStringLiteral("mnuFile1"));
    EXPECT_TRUE(w.Item("mnuTex", 7)->isCheckable());
    for (const MenuDef& def : MainMenus()) {
        for (std::size_t i = 0; i < def.Items.size(); ++i) {
            ASSERT_NE(w.Item(std::string(def.Name), static_cast<int>(i)), nullptr) << def.Name << " " << i;
        }
    }
}

TEST_F(MainWindowTest, FilesGivenToTheWindowOpenAndMerge) {
    MainWindow w({config, false});
    w.Ws().Settings.LoadTexturesOnOpen = false;
    w.LoadFiles({kBox, kBox});
    EXPECT_EQ(w.Ws().Model.PolyCount, 12);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("ZV0.681 [ box.vrl ]    v: 16  p: 12"));
    EXPECT_EQ(w.CurrentFileName(), "box.vrl");
    w.Item("mnuFace", 14)->trigger(); // deselect all polygons
    EXPECT_EQ(w.Ws().Model.PolySel[0], model::kFalse);
    w.Item("mnuVertex", 6)->trigger(); // select all vertices
    EXPECT_EQ(w.Ws().Model.VertSel[15], model::kTrue);
    w.Item("mnuFile", 0)->trigger(); // New
    EXPECT_EQ(w.Ws().Model.VertCount, -1);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Zorvane v0.681"));
}

TEST_F(MainWindowTest, FileMenuDialogsOpenAndSave) {
    MainWindow w({config, false});
    w.Ws().Settings.LoadTexturesOnOpen = false;
    std::vector<FileRequest> asked;
    QString answer = kBox;
    SetFileChooser([&](const FileRequest& r) {
        asked.push_back(r);
        return QStringList{answer};
    });
    w.Item("mnuFile1", 0)->trigger(); // Open SCGT
    EXPECT_EQ(w.Ws().Model.PolyCount, 6);
    answer = QString::fromStdString(dir.File("saved.vrl"));
    w.Item("mnuFile2", 0)->trigger(); // Save as SCGT
    SetFileChooser({});
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].Title, QStringLiteral("Open SCGT-Model"));
    EXPECT_EQ(asked[1].Title, QStringLiteral("Save SCGT-Model"));
    EXPECT_EQ(asked[1].Filter, QStringLiteral("Cube Vrl-Format|*.vrl"));
    EXPECT_TRUE(asked[1].Save);
    EXPECT_TRUE(std::filesystem::exists(dir.File("saved.vrl")));
    EXPECT_EQ(w.Ws().Model.PolySel[0], model::kFalse); // saving the whole model deselects

    // Saving the selection writes only the selected polygons.
    w.Ws().Model.PolySel[2] = model::kTrue;
    SetFileChooser([&](const FileRequest& r) {
        asked.push_back(r);
        return QStringList{QString::fromStdString(dir.File("part.vrl"))};
    });
    w.Item("mnuFace", 0)->trigger();
    SetFileChooser({});
    EXPECT_EQ(asked.back().Title, QStringLiteral("Save selection as SCGT-Model"));
    w.LoadFiles({QString::fromStdString(dir.File("part.vrl"))});
    EXPECT_EQ(w.Ws().Model.PolyCount, 1);
}

TEST_F(MainWindowTest, ViewSubmenusSwitchTheViews) {
    MainWindow w({config, false});
    EXPECT_TRUE(w.Item("mnuView_wireframe", 0)->isChecked()); // culling starts on
    w.Item("mnuView_wireframe", 0)->trigger();
    EXPECT_FALSE(w.Ws().View1.CullPolys);
    EXPECT_EQ(w.Item("mnuView_opengl", 0)->isChecked(), w.Ws().Settings.ViewAxis);
    w.Item("mnuView_opengl", 0)->trigger();
    EXPECT_EQ(w.Item("mnuView_opengl", 0)->isChecked(), w.Ws().Settings.ViewAxis);
    w.Item("mnuView", 5)->trigger(); // vertices as points
    EXPECT_TRUE(w.Ws().View1.ShowVertices);
}

TEST_F(MainWindowTest, LayoutItemsSwitchTheViews) {
    MainWindow w({config, false});
    w.resize(800, 600);
    w.Item("mnuView", 0)->trigger(); // wireframe only
    EXPECT_EQ(w.Ws().Settings.ViewType, 0);
    EXPECT_TRUE(w.Item("mnuView", 0)->isChecked());
    EXPECT_FALSE(w.Item("mnuView", 1)->isChecked());
    const auto* view1 = w.findChild<QWidget*>(QStringLiteral("PicView1"));
    EXPECT_EQ(view1->width(), w.centralWidget()->width());
    w.Item("mnuView", 1)->trigger();
    EXPECT_EQ(view1->width(), w.centralWidget()->width() / 2);
}

// Closes the next modal message box once it shows, keeping its title and text.
struct MessageCatcher {
    QString Title, Text;
    void Arm() {
        QTimer::singleShot(0, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                Title = box->windowTitle();
                Text = box->text();
                box->accept();
            }
        });
    }
};

TEST_F(MainWindowTest, ToolbarModesAndViewCommands) {
    MainWindow w({config, false});
    for (const char* bar : {"Toolbar1", "Toolbar2", "Toolbar3", "Toolbar4"}) {
        EXPECT_NE(w.findChild<QToolBar*>(QString::fromLatin1(bar)), nullptr) << bar;
    }
    EXPECT_EQ(w.WorkingMode(), "view_mode");
    w.Button("edit_vertex")->trigger();
    EXPECT_EQ(w.WorkingMode(), "edit_vertex");
    EXPECT_FALSE(w.Button("view_mode")->isChecked());
    EXPECT_EQ(w.Button("openbin")->toolTip(), QStringLiteral("Open model"));
    EXPECT_FALSE(w.Button("translate")->isEnabled()); // its tool comes later

    EXPECT_TRUE(w.Ws().Settings.SelectFrontOnly); // SelectAllPolygons starts released
    w.Button("SelectAllPolygons")->trigger();
    EXPECT_FALSE(w.Ws().Settings.SelectFrontOnly);
    w.Button("SelectPolygons")->trigger();
    EXPECT_EQ(w.Ws().Settings.SelectMode, 1);
    w.Button("poly_mark")->trigger();
    EXPECT_TRUE(w.Ws().Settings.PolyMark);

    const int orient = w.Ws().View1.ViewOrient;
    w.Button("view1_orient")->trigger();
    EXPECT_EQ(w.Ws().View1.ViewOrient, (orient + 1) % 6);
    w.Ws().Settings.RenderType = 2;
    w.Button("drawmode")->trigger();
    EXPECT_EQ(w.Ws().Settings.RenderType, 0);
}

TEST_F(MainWindowTest, SavingAnEmptyModelSaysSo) {
    MainWindow w({config, false});
    MessageCatcher catcher;
    catcher.Arm();
    w.Button("save_model")->trigger();
    EXPECT_EQ(catcher.Title, QStringLiteral("Save Vrl-Model"));
    EXPECT_EQ(catcher.Text, QStringLiteral("Nothing to save !"));
    catcher.Arm();
    w.Item("mnuFile2", 1)->trigger();
    EXPECT_EQ(catcher.Title, QStringLiteral("Save F1 2000 Model"));
}

} // namespace
} // namespace zv::app
