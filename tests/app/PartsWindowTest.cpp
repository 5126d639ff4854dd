#include "app/PartsWindow.h"
#include "app/FileDialogs.h"
#include "app/MainWindow.h"
#include "app/MenuCommands.h"
#include "edit/Parts.h"
#include "formats/PackageLists.h"
#include "tests/support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace zv::app {
namespace {

const QString kBox = QStringLiteral(ZV_SOURCE_DIR "/samples/box.vrl");

// A window with the box model, no parts and polygons 0 and 1 selected.
class PartsWindowTest : public ::testing::Test {
protected:
    PartsWindowTest() : config(dir.Write("ZV068.CFG", std::string(";\r\n"))), w({config, false}) {
        w.LoadFiles({kBox});
        edit::ClearParts(w.Ws().Model, w.Ws().Ui);
        model::DeselectAll(w.Ws().Model);
        w.Ws().Model.PolySel[0] = model::kTrue;
        w.Ws().Model.PolySel[1] = model::kTrue;
        form = FindPartsWindow(w);
        tree = w.findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
    }
    ~PartsWindowTest() override { SetFileChooser({}); }

    void Press(int button) {
        auto* b = w.findChild<QPushButton*>(QStringLiteral("Cmd_F_Group(%1)").arg(button));
        ASSERT_NE(b, nullptr);
        b->click();
    }
    // Every following dialog answers path and records what it was asked.
    void Answer(const QString& path) {
        SetFileChooser([this, path](const FileRequest& r) {
            asked = r;
            return QStringList{path};
        });
    }

    test::TempDir dir;
    std::string config;
    MainWindow w;
    PartsWindow* form = nullptr;
    QTreeWidget* tree = nullptr;
    FileRequest asked;
};

TEST_F(PartsWindowTest, FollowsTheStoreAndItsButtonsRunTheOperations) {
    ASSERT_NE(form, nullptr);
    ASSERT_NE(tree, nullptr);
    form->hide();
    Press(0);
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Obj001   p:2"));
    EXPECT_EQ(tree->topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Groups: 1"));
    EXPECT_TRUE(form->isVisible());

    const model::ModelStore& m = w.Ws().Model;
    Press(3); // Hide all
    for (int p = 0; p < m.PolyCount; ++p) {
        EXPECT_EQ(m.PolyFlag[p] & 1, 0) << p;
    }
    EXPECT_EQ(tree->topLevelItem(0)->checkState(0), Qt::Unchecked);

    // Checking the node shows its members only.
    tree->topLevelItem(0)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(m.PolyFlag[0] & 1, 1);
    EXPECT_EQ(m.PolyFlag[1] & 1, 1);
    EXPECT_EQ(m.PolyFlag[2] & 1, 0);
    EXPECT_TRUE(m.PartNodes[0].Checked);

    Press(2); // Show all
    EXPECT_EQ(m.PolyFlag[2] & 1, 1);

    Press(1); // Delete Group
    EXPECT_EQ(tree->topLevelItemCount(), 0);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Groups: 0"));
    Press(1); // with no part: nothing
    EXPECT_EQ(tree->topLevelItemCount(), 0);
}

TEST_F(PartsWindowTest, ClickingANodeSelectsItsPolygonsAndFillsTheBoxes) {
    Press(0);
    model::DeselectAll(w.Ws().Model);
    w.Ws().Model.PolySel[3] = model::kTrue;
    emit tree->itemClicked(tree->topLevelItem(0), 0);
    EXPECT_NE(w.Ws().Model.PolySel[0], model::kFalse);
    EXPECT_NE(w.Ws().Model.PolySel[1], model::kFalse);
    EXPECT_NE(w.Ws().Model.PolySel[3], model::kFalse); // kept
    EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("Txt_Partnr"))->text(), QStringLiteral("1"));
    EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("Text_Offset"))->text(), QStringLiteral("Obj001"));
}

TEST_F(PartsWindowTest, ACheckBoxClickOnlyShowsOrHidesThePart) {
    model::ModelStore& m = w.Ws().Model;
    Press(0);
    model::DeselectAll(m);
    form->show();
    QTreeWidgetItem* item = tree->topLevelItem(0);
    QStyleOptionViewItem option;
    option.initFrom(tree->viewport());
    option.rect = tree->visualItemRect(item);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    const QRect box = tree->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, box.center());
    EXPECT_EQ(item->checkState(0), Qt::Unchecked);
    EXPECT_FALSE(m.PartNodes[0].Checked);
    EXPECT_EQ(m.PolyFlag[0] & 1, 0);
    EXPECT_EQ(m.PolySel[0], model::kFalse); // not a click on the part
    // The tree is not rebuilt under the item whose check mark Qt is still setting.
    item->setCheckState(0, Qt::Checked);
    EXPECT_EQ(tree->topLevelItem(0), item);
    EXPECT_EQ(m.PolyFlag[0] & 1, 1);
    QApplication::processEvents();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(item).center());
    EXPECT_NE(m.PolySel[0], model::kFalse); // a click on the text selects the part
}

TEST_F(PartsWindowTest, KeysReachTheWindowWhileTheTreeHasTheFocus) {
    model::ModelStore& m = w.Ws().Model;
    Press(0);
    model::DeselectAll(m);
    m.PolySel[2] = model::kTrue;
    Press(0);
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    // The arrow keys choose the part Delete Group removes.
    QTest::keyClick(tree, Qt::Key_Up);
    EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0));
    Press(1);
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(m.GroupSize[1], 1);
    EXPECT_EQ(m.GroupPoly(1, 1), 2);

    QTest::keyClick(tree, Qt::Key_W); // not the tree's type-ahead search
    EXPECT_EQ(m.PolySel[2], model::kFalse);
    form->show();
    QTest::keyClick(tree, Qt::Key_F2);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(PartsWindowTest, F2StoresThePlaceAndHides) {
    form->show();
    form->setGeometry(30, 40, 300, 350);
    QTest::keyClick(form, Qt::Key_F2);
    EXPECT_FALSE(form->isVisible());
    const config::WindowPosition& p = w.Ws().Settings.PolygonGroupWinPosition;
    EXPECT_EQ(QPoint(p.Left, p.Top), form->frameGeometry().topLeft()); // the frame's, as move() takes it
    EXPECT_EQ(p.Width, 300);
    EXPECT_EQ(p.Height, 350);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_F2); // the main window's F2 shows it again
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->geometry(), QRect(30, 40, 300, 350));
}

TEST_F(PartsWindowTest, SelectionKeysWorkInTheWindow) {
    model::ModelStore& m = w.Ws().Model;
    form->show();
    QTest::keyClick(form, Qt::Key_A); // the corners of polygons 0 and 1
    const int corner = m.PolyVert(0, 0);
    EXPECT_NE(m.VertSel[corner], model::kFalse);
    QTest::keyClick(form, Qt::Key_W);
    EXPECT_EQ(m.PolySel[0], model::kFalse);
    QTest::keyClick(form, Qt::Key_Q); // back from the selected vertices
    EXPECT_NE(m.PolySel[0], model::kFalse);
    QTest::keyClick(form, Qt::Key_S);
    EXPECT_EQ(m.VertSel[corner], model::kFalse);
}

TEST_F(PartsWindowTest, LoadTextureAddsTheChosenFile) {
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    const std::string bmp = dir.File("wood.bmp");
    ASSERT_TRUE(picture.save(QString::fromStdString(bmp), "BMP"));
    const int before = w.Ws().Model.TexCount;
    Answer(QString::fromStdString(bmp));
    w.Item("mnuTex", 4)->trigger();
    EXPECT_EQ(asked.Filter, QStringLiteral("BMP Format|*.bmp|ART Format|*.raw"));
    EXPECT_EQ(w.Ws().Model.TexCount, before + 1);
    // A step of its own: undo takes the name back, redo brings it again.
    w.UndoCommand();
    EXPECT_EQ(w.Ws().Model.TexCount, before);
    w.RedoCommand();
    EXPECT_EQ(w.Ws().Model.TexCount, before + 1);
    EXPECT_EQ(w.Ws().Model.TexName[before], "wood");
}

TEST_F(PartsWindowTest, HelpAndAboutMenusOpenTheirWindows) {
    emit w.findChild<QMenu*>(QStringLiteral("mnu_Info"))->aboutToShow();
    emit w.findChild<QMenu*>(QStringLiteral("mnu_about"))->aboutToShow();
    QApplication::processEvents();
    EXPECT_NE(w.findChild<QWidget*>(QStringLiteral("KeyHelp")), nullptr);
    EXPECT_NE(w.findChild<QWidget*>(QStringLiteral("Form4")), nullptr);
}

TEST_F(PartsWindowTest, ThePlaceOfTheWindowOutlivesTheSession) {
    form->show();
    form->setGeometry(50, 60, 280, 320);
    w.close();
    MainWindow again({config, false});
    PartsWindow& kept = *FindPartsWindow(again);
    EXPECT_FALSE(kept.isVisible());
    kept.ToggleVisible();
    EXPECT_EQ(kept.geometry(), QRect(50, 60, 280, 320));
}

TEST_F(PartsWindowTest, ListsReachTheClipboardAndThePackageFiles) {
    Press(0);
    w.Item("mnuSpecial", 8)->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              formats::PartListClipboardText(w.Ws().Model));
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(QStringLiteral("OBJ001.VRL")));
    w.Item("mnuSpecial", 9)->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              formats::TextureListClipboardText(w.Ws().Model));

    const std::string pck = dir.File("parts.pck");
    Answer(QString::fromStdString(pck));
    w.Item("mnuSpecial", 1)->trigger();
    EXPECT_EQ(asked.Title, QStringLiteral("Save Parts PCK File"));
    EXPECT_EQ(asked.Filter, QStringLiteral("Pck-Format|*.pck"));
    EXPECT_TRUE(asked.Save);
    EXPECT_EQ(test::ReadText(pck), " 1 \r\nOBJ001.VRL\r\n");
}

TEST_F(PartsWindowTest, SaveAllPartsWritesOneFilePerPart) {
    Press(0);
    Answer(QString::fromStdString(dir.File("any.vrl")));
    w.Item("mnuParts", 0)->trigger();
    EXPECT_EQ(asked.Title, QStringLiteral("Save all parts (select folder - click on any file)"));
    EXPECT_EQ(asked.Filter, QStringLiteral("All files|*.*"));
    EXPECT_TRUE(std::filesystem::exists(dir.File("OBJ001.VRL")));
}

TEST_F(PartsWindowTest, BackgroundItemLoadsAndRemovesThePicture) {
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    const std::string bmp = dir.File("back.bmp");
    ASSERT_TRUE(picture.save(QString::fromStdString(bmp), "BMP"));
    QAction* item = w.Item("mnuSpecial", 6);
    EXPECT_EQ(item->text(), QStringLiteral("Load Background Picture"));

    Answer(QString::fromStdString(dir.File("missing.bmp")));
    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            box->close();
        }
    });
    item->trigger(); // unreadable: told, and the caption stays
    EXPECT_EQ(item->text(), QStringLiteral("Load Background Picture"));

    Answer(QString::fromStdString(bmp));
    item->trigger();
    EXPECT_EQ(asked.Title, QStringLiteral("Open Background Bitmap"));
    EXPECT_EQ(item->text(), QStringLiteral("Remove Background Picture"));
    item->trigger();
    EXPECT_EQ(item->text(), QStringLiteral("Load Background Picture"));
}

TEST(AboutWindowTest, ShowsTheVersionAndCapacitiesAndClosesOnAnyKey) {
    QWidget owner;
    QPointer<QWidget> about = ShowAboutWindow(&owner);
    EXPECT_EQ(about->objectName(), QStringLiteral("Form4"));
    EXPECT_EQ(about->findChild<QLabel*>()->text(), QStringLiteral("v. 0.681"));
    EXPECT_EQ(
        about->findChild<QPlainTextEdit*>(QStringLiteral("txtZvInfo"))->toPlainText(),
        QStringLiteral("Version Info:\nMax. number of Vertices: 80000\nMax. number of Poygons: 80000\n\n"
                       "Max. number of Parts/Groups: 800\nMax. number of Polygons in a Group: 1280\n\n"
                       "Max. number of Textures: 500"));
    QTest::keyClick(about, Qt::Key_X);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull());
}

TEST(KeyHelpTest, ThreePagesNameTheKeys) {
    EXPECT_TRUE(
        KeyHelpPage(1).contains(QStringLiteral("Q\tSelect polygons corresponding to selected vertices")));
    EXPECT_TRUE(KeyHelpPage(2).contains(QStringLiteral("F2\tToggle parts / polygon group display")));
    EXPECT_TRUE(KeyHelpPage(3).startsWith(QStringLiteral("In 'WAYPOINT EDIT MODE':")));
    EXPECT_TRUE(KeyHelpPage(4).isEmpty());
}

} // namespace
} // namespace zv::app
