#include "app/MainWindow.h"

#include "app/FileDialogs.h"
#include "app/MenuTable.h"
#include "config/ConfigFile.h"
#include "render/CursorReadout.h"
#include "tests/support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "MessageCatcher.h"

#include <gtest/gtest.h>

#include <cmath>
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
        w.resize(700, 500);
        w.close();
    }
    config::Settings read;
    model::QuietUserInterface quiet;
    ASSERT_TRUE(config::LoadConfig(config, read, quiet));
    EXPECT_EQ(read.MaxTex, 123);
    // The window keeps its size for the next start.
    EXPECT_EQ(read.MainWinPosition.Width, 700);
    EXPECT_EQ(read.MainWinPosition.Height, 500);
    MainWindow again({config, false});
    EXPECT_EQ(again.width(), 700);
}

TEST(FitIntoScreenTest, APlaceOutOfReachIsMovedAndShrunkIntoTheScreen) {
    const QRect screen(0, 0, 1280, 1024);
    EXPECT_EQ(FitIntoScreen(QRect(40, 40, 800, 600), screen), QRect(40, 40, 800, 600));
    EXPECT_EQ(FitIntoScreen(QRect(40, 40, 1280, 800), screen), QRect(0, 40, 1280, 800));
    EXPECT_EQ(FitIntoScreen(QRect(3000, -50, 400, 300), screen), QRect(880, 0, 400, 300));
    EXPECT_EQ(FitIntoScreen(QRect(10, 10, 4000, 3000), screen), screen);
    EXPECT_EQ(FitIntoScreen(QRect(10, 10, 400, 300), QRect()), QRect(10, 10, 400, 300));
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
    w.AskSaveChanges = [](const QString&) { return QMessageBox::Discard; };
    w.LoadFiles({kBox, kBox});
    EXPECT_EQ(w.Ws().Model.PolyCount, 12);
    // The merge is a step of the history: the model differs from the one opened.
    EXPECT_EQ(w.windowTitle(), QStringLiteral("ZV0.681 [ box.vrl* ]    v: 16  p: 12"));
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

TEST_F(MainWindowTest, ImportItemsOpenThroughTheTableOfFormats) {
    MainWindow w({config, false});
    w.Ws().Settings.LoadTexturesOnOpen = false;
    std::vector<FileRequest> asked;
    SetFileChooser([&](const FileRequest& r) {
        asked.push_back(r);
        return QStringList{QStringLiteral(ZV_SOURCE_DIR "/tests/data/secondreality_TESTI.ASC")};
    });
    w.Item("mnuFile1", 7)->trigger(); // "&3DS Ascii (.asc)"
    SetFileChooser({});
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].Title, QStringLiteral("Open Model Asc-Format"));
    EXPECT_EQ(asked[0].Filter, QStringLiteral("3DS Ascii-Format|*.asc"));
    EXPECT_EQ(w.Ws().Model.PolyCount, 9);
    EXPECT_EQ(w.Ws().Model.PartCount(), 3);
    EXPECT_FALSE(w.Ws().History.CanUndo()) << "an open clears the history";
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
    QAction* alternate = w.Item("mnuView_wireframe", 3); // hidden, wired all the same
    alternate->setEnabled(true);
    alternate->trigger();
    EXPECT_TRUE(w.Ws().View1.AltCamera);
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


TEST_F(MainWindowTest, ToolbarModesAndViewCommands) {
    MainWindow w({config, false});
    for (const char* bar : {"Toolbar1", "Toolbar2", "Toolbar3", "Toolbar4"}) {
        EXPECT_NE(w.findChild<QToolBar*>(QString::fromLatin1(bar)), nullptr) << bar;
    }
    EXPECT_EQ(w.WorkingMode(), "view_mode");
    w.Button("edit_vertex")->trigger();
    EXPECT_EQ(w.WorkingMode(), "edit_vertex");
    const auto* view1 = w.findChild<QWidget*>(QStringLiteral("PicView1"));
    EXPECT_EQ(view1->cursor().shape(), Qt::CrossCursor);
    EXPECT_FALSE(w.Button("view_mode")->isChecked());
    EXPECT_EQ(w.Button("openbin")->toolTip(), QStringLiteral("Open model"));
    EXPECT_EQ(w.Ws().Mode, WorkMode::EditVertex);
    // The transform tools: at most one of translate, scale and rotate is pressed.
    w.Button("translate")->trigger();
    w.Button("rotate")->trigger();
    EXPECT_FALSE(w.Button("translate")->isChecked());
    EXPECT_EQ(w.Ws().Tools.Active, TransformTools::Tool::Rotate);
    w.Button("rotate")->trigger();
    EXPECT_EQ(w.Ws().Tools.Active, TransformTools::Tool::None);

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

    // A fit changes the zoom, and its read-out with it.
    w.Ws().Settings.LoadTexturesOnOpen = false;
    w.LoadFiles({kBox});
    w.Button("reset_extents")->trigger();
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("Label_Zoom"))->text().toStdString(),
              render::ZoomText(w.Ws().View1.ViewZoom));
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

QString LabelText(const MainWindow& w, const char* name) {
    const auto* label = w.findChild<QLabel*>(QString::fromLatin1(name));
    return label != nullptr ? label->text() : QStringLiteral("<missing>");
}

TEST_F(MainWindowTest, OrientationIndicatorFollowsTheDirectionButton) {
    MainWindow w({config, false});
    // Start-up labels the view for the configured orientation, 0.
    EXPECT_EQ(LabelText(w, "Label_Orient"), QStringLiteral("Right"));
    EXPECT_EQ(LabelText(w, "Label_Horizontal"), QStringLiteral("Z: ---"));
    EXPECT_EQ(LabelText(w, "Label_Vertical"), QStringLiteral("Y: ---"));
    const char* captions[] = {"Left", "Top", "Bottom", "Front", "Back", "Right"};
    const char* vertical[] = {"Y: ---", "X: ---", "X: ---", "Y: ---", "Y: ---", "Y: ---"};
    for (int i = 0; i < 6; ++i) {
        w.Button("view1_orient")->trigger();
        EXPECT_EQ(LabelText(w, "Label_Orient"), QLatin1String(captions[i])) << i;
        EXPECT_EQ(LabelText(w, "Label_Vertical"), QLatin1String(vertical[i])) << i;
    }
    EXPECT_EQ(w.Ws().Settings.View1_orient, 0); // six presses come back
}

TEST_F(MainWindowTest, SnapPanelsFollowTheSettingsBothWays) {
    MainWindow w({config, false});
    auto* snap = w.findChild<QToolButton*>(QStringLiteral("button_snap"));
    auto* snapRot = w.findChild<QToolButton*>(QStringLiteral("button_snaprot"));
    ASSERT_NE(snap, nullptr);
    ASSERT_NE(snapRot, nullptr);
    EXPECT_EQ(LabelText(w, "info_snap"), QStringLiteral("Snap: 5"));
    EXPECT_FALSE(snap->isChecked());
    snap->click();
    EXPECT_TRUE(w.Ws().Settings.Grid.SnapVertices);
    snapRot->click();
    EXPECT_TRUE(w.Ws().Settings.SnapRotation);
    // The options window's OK applies through ApplyViewSettings.
    w.Ws().Settings.Grid.SnapVertices = false;
    w.Ws().Settings.Grid.SnapGridSize = 0.25f;
    w.ApplyViewSettings();
    EXPECT_FALSE(snap->isChecked());
    EXPECT_EQ(LabelText(w, "info_snap"), QStringLiteral("Snap: .25"));
}

TEST_F(MainWindowTest, FunctionKeysOutsideTheWaypointMode) {
    MainWindow w({config, false});
    w.Ws().Settings.LoadTexturesOnOpen = false;
    w.show();
    w.LoadFiles({kBox});
    auto* toolbar2 = w.findChild<QToolBar*>(QStringLiteral("Toolbar2"));
    const bool shown = toolbar2->isVisible();
    QTest::keyClick(&w, Qt::Key_F1);
    EXPECT_NE(toolbar2->isVisible(), shown);

    // F9 recomputes the normals and steps the draw mode.
    model::ModelStore& m = w.Ws().Model;
    m.PolyNX[0] = m.PolyNY[0] = m.PolyNZ[0] = 0;
    w.Ws().Settings.RenderType = 1;
    QTest::keyClick(&w, Qt::Key_F9);
    EXPECT_EQ(w.Ws().Settings.RenderType, 2);
    EXPECT_FLOAT_EQ(std::abs(m.PolyNX[0]) + std::abs(m.PolyNY[0]) + std::abs(m.PolyNZ[0]), 1.0f);

    MessageCatcher catcher;
    catcher.Arm();
    QTest::keyClick(&w, Qt::Key_F12);
    EXPECT_EQ(catcher.Title, QStringLiteral("Model Info"));

    // The waypoint edit mode keeps F1 for itself.
    w.Button("edit_wp")->trigger();
    QTest::keyClick(&w, Qt::Key_F1);
    EXPECT_NE(toolbar2->isVisible(), shown);
}

TEST_F(MainWindowTest, PathFlagAndSubModeFollowTheirToolbars) {
    MainWindow w({config, false});
    EXPECT_EQ(w.Ws().Settings.PathDrawFlag, 0);
    w.Button("Draw")->trigger();
    EXPECT_EQ(w.Ws().Settings.PathDrawFlag, 1);
    w.Button("Edit")->trigger();
    EXPECT_EQ(w.Ws().Settings.PathDrawFlag, 0);
    EXPECT_EQ(w.EditSubMode(), "edit_vert");
    w.Button("create_poly")->trigger();
    EXPECT_EQ(w.EditSubMode(), "create_poly");
}

TEST_F(MainWindowTest, CurrentTexturePreviewAndTextureExport) {
    MainWindow w({config, false});
    w.LoadFiles({kBox}); // with its two BMP textures
    auto* preview = w.findChild<QLabel*>(QStringLiteral("Pic_Texture"));
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->pixmap().isNull()); // no current polygon yet
    QTest::keyClick(&w, Qt::Key_Space);      // polygon 0 becomes current
    ASSERT_EQ(w.Ws().Model.CurPoly, 0);
    ASSERT_FALSE(preview->pixmap().isNull());
    EXPECT_EQ(preview->pixmap().size(), QSize(32, 32));

    // The hidden "Save Textures as Bmps" writes the loaded images beside the configuration.
    QAction* save = w.Item("mnuTex", 9);
    EXPECT_FALSE(save->isVisible());
    save->setEnabled(true); // hidden items are disabled too; their commands are wired all the same
    save->trigger();
    const std::filesystem::path folder = std::filesystem::path(config).parent_path() / "textures";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files += entry.path().extension() == ".BMP" ? 1 : 0;
    }
    EXPECT_EQ(files, 2);
    EXPECT_EQ(LabelText(w, "StatusBar1_Panel1"), QStringLiteral("2 textures saved."));
}

TEST_F(MainWindowTest, AFailedOpenRefreshesTheViewsOfTheEmptiedModel) {
    MainWindow w({config, false});
    w.LoadFiles({kBox});
    QTest::keyClick(&w, Qt::Key_Space); // polygon 0 current: its texture in the preview
    auto* preview = w.findChild<QLabel*>(QStringLiteral("Pic_Texture"));
    ASSERT_FALSE(preview->pixmap().isNull());
    const std::string damaged = dir.Write("damaged.vrl", std::string(40, '\x7f'));
    SetFileChooser([&](const FileRequest&) { return QStringList{QString::fromStdString(damaged)}; });
    MessageCatcher catcher;
    catcher.Arm();
    w.Item("mnuFile1", 0)->trigger();
    SetFileChooser({});
    EXPECT_EQ(catcher.Title, QStringLiteral("  Vrl open error"));
    EXPECT_EQ(w.Ws().Model.VertCount, 0);
    EXPECT_TRUE(preview->pixmap().isNull()); // the views no longer show the old model
    EXPECT_EQ(w.CurrentFileName(), "box.vrl");
}

TEST_F(MainWindowTest, AMessageDuringABusyOperationShowsTheNormalPointer) {
    MainWindow w({config, false});
    Qt::CursorShape during = Qt::BlankCursor;
    {
        model::BusyPointer busy(w.Ws().Ui);
        QTimer::singleShot(0, [&] {
            during = QApplication::overrideCursor()->shape();
            QApplication::activeModalWidget()->close();
        });
        w.Ws().Ui.ShowMessage("Title", "Text", model::MessageIcon::Warning, model::MessageButtons::Ok);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(during, Qt::ArrowCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace zv::app
