// The Scene menu through its dialogs: a scene of many objects opened as one step with one
// refresh, the partial and dummy scene files written, the check parts hidden and shown again.

#include "BoxWindowTest.h"

#include "app/DummyWindow.h"
#include "app/FileDialogs.h"
#include "tests/support/VrlBuilder.h"

#include <QDate>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace zv::app {
namespace {

test::VrlImage Triangle(float x) {
    test::VrlFileModel m;
    m.Vertices = {{x, 0, 0}, {x + 1, 0, 0}, {x, 0, 1}};
    m.Polygons.push_back({{{0, 0, 0}, {1, 1, 0}, {2, 0, 1}}});
    m.TextureNames = {"ROADA"};
    return test::BuildVrl(m, formats::VrlVariant::Scgt);
}

class SceneCommandsTest : public BoxWindowTest {
protected:
    ~SceneCommandsTest() override { SetFileChooser({}); }

    // Answers the next dialogs in order; an empty answer cancels.
    void Answer(std::vector<std::string> files) {
        answers_ = std::move(files);
        asked.clear();
        SetFileChooser([this](const FileRequest& r) {
            asked.push_back(r);
            const std::size_t i = asked.size() - 1;
            return i < answers_.size() && !answers_[i].empty()
                       ? QStringList{QString::fromStdString(answers_[i])}
                       : QStringList{};
        });
    }
    // Presses button in the next message box, keeping its title and text.
    void PressInNextBox(QMessageBox::StandardButton button) {
        QTimer::singleShot(0, [this, button] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxTitle = box->windowTitle();
                boxText = box->text();
                box->button(button)->click();
            }
        });
    }
    int Steps() { return w.Ws().History.UndoCount(); }

    std::vector<FileRequest> asked;
    QString boxTitle, boxText;

private:
    std::vector<std::string> answers_;
};

TEST_F(SceneCommandsTest, OpenLoadsEveryObjectAsOneStepWithOneRefresh) {
    std::filesystem::create_directory(dir.Path() / "track");
    std::string text = "; by hand\r\nView=Camera\r\n  Start=(1,2,3)\r\n";
    for (int i = 0; i < 200; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "obj%03d.vrl", i);
        dir.Write(std::string("track/") + name, Triangle(static_cast<float>(i)));
        text += "Instance=i" + std::to_string(i) + "\r\n  InsStart=(0,0,0)\r\n  ObjFile=" + name + "\r\n";
    }
    text += "Instance=Marker\r\n  InsStart=(1,2,3)\r\n";
    const std::string scene = dir.Write("track.scn", text);
    w.Ws().Settings.ScgtScenePath = "start";
    const int steps = Steps();

    Answer({scene, ""}); // the folder dialog cancelled
    w.Item("mnuScene", 0)->trigger();
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(Steps(), steps);
    EXPECT_EQ(M().VertCount, 8);
    EXPECT_EQ(w.Ws().Settings.ScgtScenePath, "start");

    const int refreshes = w.RefreshCount();
    Answer({scene, dir.File("track/obj007.vrl")});
    w.Item("mnuScene", 0)->trigger();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].Start, QStringLiteral("start"));
    EXPECT_EQ(w.Ws().Settings.ScgtScenePath, dir.File("track"));
    EXPECT_EQ(w.RefreshCount(), refreshes + 1);
    EXPECT_EQ(Steps(), steps + 1);
    EXPECT_EQ(M().VertCount, 600);
    EXPECT_EQ(M().PolyCount, 200);
    EXPECT_EQ(M().PartCount(), 200);
    EXPECT_EQ(w.findChild<QWidget*>(QStringLiteral("Form3"))->windowTitle(), QStringLiteral("Groups: 200"));
    ASSERT_EQ(w.Ws().Cameras.Pos.size(), 1u);
    EXPECT_EQ(w.Ws().Cameras.Pos[0], (track::Vec3{-1, -2, -3}));
    ASSERT_EQ(w.Ws().Dummies.Count(), 1);
    QTreeWidget& dummies = *FindDummyWindow(w)->Tree();
    ASSERT_EQ(dummies.topLevelItemCount(), 1);
    EXPECT_EQ(dummies.topLevelItem(0)->text(0), QStringLiteral("Marker"));

    Undo();
    EXPECT_EQ(M().VertCount, 8);
    EXPECT_EQ(w.Ws().Dummies.Count(), 0);
    EXPECT_EQ(dummies.topLevelItemCount(), 0);
    EXPECT_TRUE(w.Ws().Cameras.Pos.empty());
}

TEST_F(SceneCommandsTest, SaveWritesThePartialAndTheDummySceneFiles) {
    const std::string partial = dir.File("side.txt");
    Answer({partial});
    PressInNextBox(QMessageBox::No);
    w.Item("mnuScene", 1)->trigger();
    EXPECT_EQ(boxTitle, QStringLiteral("Select object type to use"));
    EXPECT_EQ(boxText, QStringLiteral("Save as road ?\n(no for other)"));
    ASSERT_EQ(asked.size(), 1u);
    const std::string text = test::ReadText(partial);
    const QString date = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
    EXPECT_NE(text.find("//  Date: " + date.toStdString() + "\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Group=~sidadba\r\n"), std::string::npos) << text;

    FindDummyWindow(w)->AddButton()->click();
    const std::string dummies = dir.File("dummies.txt");
    Answer({dummies});
    w.Item("mnuScene", 2)->trigger();
    EXPECT_NE(test::ReadText(dummies).find("Group=~dummydba\r\n{\r\n  Instance=obj001\r\n"),
              std::string::npos);
}

TEST_F(SceneCommandsTest, HideCheckVrlsHidesAndShowsTheCheckPartsWithoutAStep) {
    M().PartNodes[0].Text = "xchk box";
    w.Apply(edit::Change::Parts);
    auto* tree = w.findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
    const int steps = Steps();
    QAction* hide = w.Item("mnuScene", 6);
    ASSERT_TRUE(hide->isCheckable());
    hide->trigger();
    EXPECT_FALSE(M().PartNodes[0].Checked);
    EXPECT_EQ(tree->topLevelItem(0)->checkState(0), Qt::Unchecked);
    hide->trigger();
    EXPECT_TRUE(M().PartNodes[0].Checked);
    EXPECT_EQ(tree->topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(Steps(), steps);
}

} // namespace
} // namespace zv::app
