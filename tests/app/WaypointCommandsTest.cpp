// The Waypoint menu and the keys of the waypoint edit mode: each change is one undoable step,
// cursor keys are none, and AIW files go through the dialogs.

#include "WaypointTestTables.h"

#include "app/FileDialogs.h"
#include "app/StatusPanels.h"
#include "app/WaypointWindow.h"
#include "waypoints/AiwFile.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace zv::app {
namespace {

class WaypointCommandsTest : public WaypointWindowFixture {
protected:
    void Menu(int index) { w.Item("mnuWaypoint", index)->trigger(); }
};

TEST_F(WaypointCommandsTest, InsertDeleteAndReverseAreStepsThatUndo) {
    const waypoints::WaypointTables ring = WaypointRing(5);
    T().CurWp = 1;
    Menu(3);
    EXPECT_EQ(T().WpCount, 6);
    EXPECT_EQ(T().CurWp, 2);
    EXPECT_EQ(w.Item("mnuEdit", 0)->text(), QStringLiteral("&Undo Insert Waypoint"));
    Menu(4);
    EXPECT_EQ(T().WpCount, 5);
    T().CurWp = 4;
    Menu(16);
    EXPECT_EQ(T().Wp[0].pos, ring.Wp[4].pos);
    EXPECT_EQ(T().Wp[0].width[2], ring.Wp[4].width[3]) << "sides swapped";
    for (int i = 0; i < 3; ++i) {
        Undo();
    }
    EXPECT_TRUE(T().Wp == ring.Wp);
    EXPECT_EQ(T().WpCount, 5);
    EXPECT_FALSE(w.Ws().History.CanUndo());
}

TEST_F(WaypointCommandsTest, KeysOfTheWaypointEditMode) {
    QTest::keyClick(view1, Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_EQ(T().CurWp, 4) << "wraps below 0";
    EXPECT_EQ(w.Panels().Info()->text(), QStringLiteral("Waypoint: 4"));
    QTest::keyClick(view1, Qt::Key_F6);
    EXPECT_EQ(T().WpSel[4], 1);
    EXPECT_FALSE(w.Ws().History.CanUndo()) << "cursor and selection keys are no steps";
    w.Ws().WpDisplay.WpDist = 4.25f;
    QTest::keyClick(view1, Qt::Key_F1);
    EXPECT_EQ(T().Wp[4].width[2], 4.25f) << "F1 is the third width";
    EXPECT_EQ(FindWaypointWindow(w)->Field(waypoints::WpField::Width3)->text(), QStringLiteral("4.2500"));
    QTest::keyClick(view1, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(T().WpCount, 6);
    QTest::keyClick(view1, Qt::Key_D, Qt::ControlModifier);
    QTest::keyClick(view1, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(T().WpCount, 4);
    EXPECT_EQ(w.Ws().Model.PolyCount, 6) << "Ctrl D deletes no polygon in this mode";
    EXPECT_EQ(T().CurWp, 3);

    w.Button("edit_vertex")->trigger();
    QTest::keyClick(view1, Qt::Key_F5);
    EXPECT_EQ(T().CurWp, 3) << "F5 is the texture window's outside the waypoint mode";
}

TEST_F(WaypointCommandsTest, DisplaySwitchesFollowTheirTicks) {
    QAction* slotItem = w.Item("mnuWaypoint", 10);
    EXPECT_TRUE(slotItem->isChecked());
    slotItem->trigger();
    EXPECT_FALSE(w.Ws().WpDisplay.ShowSlots);
    T().CurWp = 3;
    w.Item("mnuWaypoint", 22)->trigger();
    EXPECT_TRUE(w.Ws().WpDisplay.CenterOnWaypoint);
    EXPECT_EQ(w.Ws().View1.ViewCenterX, T().Wp[3].pos[0]);
    QTest::keyClick(view1, Qt::Key_F5);
    EXPECT_EQ(w.Ws().View1.ViewCenterZ, T().Wp[4].pos[2]) << "the view follows the current waypoint";
}

TEST_F(WaypointCommandsTest, OpenAndSaveGoThroughTheTrackFolder) {
    w.Ws().Settings.ScgtTrackPath = dir.Path().string();
    const std::string text = waypoints::SerializeAiw(WaypointRing(3), waypoints::Dialect::Scgt);
    const std::string path = dir.Write("ring.aiw", text);
    std::vector<FileRequest> asked;
    std::string answer = path;
    SetFileChooser([&](const FileRequest& r) {
        asked.push_back(r);
        return QStringList{QString::fromStdString(answer)};
    });
    Menu(0);
    EXPECT_EQ(T().WpCount, 3);
    EXPECT_EQ(FindWaypointWindow(w)->windowTitle(), QStringLiteral("Waypoints: 3"));
    EXPECT_EQ(w.Panels().Info()->text(), QStringLiteral("3 waypoints loaded"));
    answer = (dir.Path() / "out.aiw").string();
    w.Item("mnuWaypoint2", 1)->trigger();
    SetFileChooser({});
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].Title, QStringLiteral("Open SCGT AIW-File"));
    EXPECT_EQ(asked[0].Filter, QStringLiteral("Sports Car GT aiw-Format|*.aiw"));
    EXPECT_EQ(asked[1].Title, QStringLiteral("Save as F1CS Waypoints"));
    EXPECT_TRUE(asked[1].Save);
    EXPECT_EQ(asked[1].Start.toStdString(), dir.Path().string());
    EXPECT_EQ(w.Ws().Model.ModelPath, answer);
    EXPECT_EQ(test::ReadText(answer), waypoints::SerializeAiw(T(), waypoints::Dialect::F1cs));
    Undo();
    EXPECT_EQ(T().WpCount, 5) << "the load is one step";
}

// Waypoints live in their own file: closing with unsaved waypoint changes asks for them (and
// not for the model), and Save writes them in the dialect they were read in.
TEST_F(WaypointCommandsTest, ClosingAsksForUnsavedWaypoints) {
    w.Ws().History.MarkClean(&w.Ws().Waypoints);
    std::vector<QString> questions;
    w.AskSaveChanges = [&](const QString& text) {
        questions.push_back(text);
        return QMessageBox::Save;
    };
    EXPECT_TRUE(w.ConfirmDiscard() && w.ConfirmDiscard(Document::Waypoints));
    EXPECT_TRUE(questions.empty());

    T().CurWp = 1;
    Menu(3);
    EXPECT_TRUE(w.ConfirmDiscard()) << "the model is unchanged";
    const std::string path = (dir.Path() / "saved.aiw").string();
    SetFileChooser([&](const FileRequest&) { return QStringList{QString::fromStdString(path)}; });
    EXPECT_TRUE(w.ConfirmDiscard(Document::Waypoints));
    SetFileChooser({});
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], QStringLiteral("Save changes to the waypoints?"));
    EXPECT_EQ(test::ReadText(path), waypoints::SerializeAiw(T(), waypoints::Dialect::Scgt));
    EXPECT_FALSE(w.Ws().History.IsModified(&w.Ws().Waypoints));
}

} // namespace
} // namespace zv::app
