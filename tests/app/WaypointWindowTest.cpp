// FrmWP: showing waypoints never writes into the table, typing stores the typed value as one
// step per field, and the double clicks and the field pop-up menu run their operations.

#include "WaypointTestTables.h"

#include "app/StatusPanels.h"
#include "app/WaypointWindow.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace zv::app {
namespace {

using waypoints::WpField;

class WaypointWindowTest : public WaypointWindowFixture {
protected:
    WaypointWindowTest() : win(FindWaypointWindow(w)) { QTest::keyClick(view1, Qt::Key_F8); }

    WaypointWindow* win;
};

TEST(WaypointFieldText, MasksAndTypedNumbers) {
    waypoints::WaypointRec r;
    r.pos = {-0.25f, 1234.5f, 1.0f / 3.0f};
    r.ori = {1234.5f, 0};
    r.width = {-1234567.25f, -0.00004f, 0, 0};
    r.opt = {0.125f, 0, 0};
    r.ptrs = {-1, 0, 0, -2};
    EXPECT_EQ(WaypointFieldText(r, WpField::X), QStringLiteral("-0.25"));
    EXPECT_EQ(WaypointFieldText(r, WpField::Y), QStringLiteral("1234.5"));
    EXPECT_EQ(WaypointFieldText(r, WpField::Z), QStringLiteral("0.33333334"));
    EXPECT_EQ(WaypointFieldText(r, WpField::Camber), QStringLiteral("1,234.500000"));
    EXPECT_EQ(WaypointFieldText(r, WpField::Width1), QStringLiteral("-1,234,567.2500"));
    EXPECT_EQ(WaypointFieldText(r, WpField::Width2), QStringLiteral("0.0000")) << "no sign on a rounded zero";
    EXPECT_EQ(WaypointFieldText(r, WpField::Opt1), QStringLiteral("0.1250000000"));
    EXPECT_EQ(WaypointFieldText(r, WpField::Prev), QStringLiteral("-1"));

    EXPECT_EQ(TypedNumber(QStringLiteral("-1,234,567.2500")), -1234567.25);
    EXPECT_EQ(TypedNumber(QStringLiteral("2.")), 2.0);
    EXPECT_EQ(TypedNumber(QStringLiteral(".5")), 0.5);
    EXPECT_FALSE(TypedNumber(QStringLiteral("1,2")));
    EXPECT_FALSE(TypedNumber(QStringLiteral("-")));
    EXPECT_FALSE(TypedNumber(QStringLiteral("")));
    EXPECT_EQ(DepthBytes("00ff8Zx"), (std::vector<int>{0, 255, 0}));
}

TEST_F(WaypointWindowTest, BrowsingEveryWaypointLeavesTheTableBitIdentical) {
    ASSERT_NE(win, nullptr);
    ASSERT_TRUE(win->isVisible());
    ASSERT_FALSE(w.Ws().History.CanUndo());
    const waypoints::WaypointTables before = T();
    win->Field(WpField::Width1)->setFocus(); // a field with the focus is filled like the others
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(view1, Qt::Key_F5);
    }
    EXPECT_EQ(T().CurWp, 2);
    EXPECT_EQ(w.Panels().Info()->text(), QStringLiteral("Waypoint: 2"));
    EXPECT_EQ(win->windowTitle(), QStringLiteral("Wp: 2        Total: 5"));
    EXPECT_EQ(win->Field(WpField::X)->text(), QStringLiteral("21.32345772"));
    EXPECT_EQ(win->Field(WpField::Ins)->text(), QStringLiteral("ROAD2"));
    EXPECT_EQ(win->Field(WpField::Events)->toolTip(), QStringLiteral("F1CS only"));
    EXPECT_EQ(win->Profile()->Values(), (std::vector<int>{0, 255, 128}));
    if (const char* out = std::getenv("ZV_VIEW_IMAGES")) {
        win->grab().save(QString::fromLocal8Bit(out) + QStringLiteral("/waypoint_window.png"));
    }
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(view1, Qt::Key_F5, Qt::ShiftModifier);
    }
    EXPECT_EQ(T().CurWp, 1);
    EXPECT_TRUE(T().Wp == before.Wp);
    EXPECT_TRUE(T().WpSel == before.WpSel);
    EXPECT_FALSE(w.Ws().History.CanUndo()) << "browsing is no step";
    QTest::keyClick(view1, Qt::Key_F8);
    EXPECT_FALSE(win->isVisible());
}

TEST_F(WaypointWindowTest, TypingStoresTheTypedValueAsOneStepPerField) {
    const waypoints::WaypointRec before = T().Wp[0];
    QLineEdit* left = win->Field(WpField::Width3);
    left->selectAll();
    QTest::keyClicks(left, QStringLiteral("2.5"));
    EXPECT_EQ(T().Wp[0].width[2], 2.5f);
    EXPECT_EQ(left->text(), QStringLiteral("2.5")) << "the field is not refilled while typing";
    QLineEdit* prev = win->Field(WpField::Prev);
    prev->selectAll();
    QTest::keyClicks(prev, QStringLiteral("3x"));
    EXPECT_EQ(T().Wp[0].ptrs[0], 3) << "text that is no number is not stored";
    QLineEdit* ins = win->Field(WpField::Ins);
    ins->selectAll();
    QTest::keyClicks(ins, QStringLiteral("PIT"));
    EXPECT_EQ(T().Wp[0].ins, "PIT");

    waypoints::WaypointRec expected = before;
    expected.width[2] = 2.5f;
    expected.ptrs[0] = 3;
    Undo();
    EXPECT_EQ(T().Wp[0].ins, before.ins);
    Undo();
    EXPECT_EQ(T().Wp[0].ptrs[0], before.ptrs[0]);
    Undo();
    EXPECT_TRUE(T().Wp[0] == before);
    EXPECT_FALSE(w.Ws().History.CanUndo()) << "three fields, three steps";
    EXPECT_EQ(left->text(), QStringLiteral("7.5000"));
}

TEST_F(WaypointWindowTest, DoubleClicksFillTheSelectionAndMirrorAnAxis) {
    QString asked;
    bool answer = false;
    win->AskSpecial = [&](const QString& text) {
        asked = text;
        return answer;
    };
    T().WpSel[2] = T().WpSel[3] = 1;
    const float x3 = T().Wp[3].pos[0];
    QTest::mouseDClick(win->Field(WpField::Width3), Qt::LeftButton);
    EXPECT_EQ(asked, QStringLiteral("Fill selected WPs with this value ?"));
    EXPECT_EQ(T().Wp[2].width[2], 9.5f) << "No changes nothing";
    answer = true;
    QTest::mouseDClick(win->Field(WpField::Width3), Qt::LeftButton);
    EXPECT_EQ(T().Wp[2].width[2], 7.5f);
    EXPECT_EQ(T().Wp[3].width[2], 7.5f);
    EXPECT_EQ(T().Wp[4].width[2], 11.5f);
    QTest::mouseDClick(win->Label(WpField::X), Qt::LeftButton);
    EXPECT_EQ(asked, QStringLiteral("Mirror all WPs on this axis ?"));
    EXPECT_EQ(T().Wp[3].pos[0], -x3);
    Undo();
    Undo();
    EXPECT_TRUE(T().Wp == WaypointRing(5).Wp);
}

TEST_F(WaypointWindowTest, TheFieldMenuOffersOneItemWhileTheFieldIsBoldAndDisabled) {
    QStringList enabled;
    bool boldAndDisabled = false;
    win->RunPopup = [&](QMenu& menu, const QPoint&) {
        EXPECT_EQ(menu.objectName(), QStringLiteral("mnuBar"));
        EXPECT_EQ(menu.parent()->objectName(), QStringLiteral("FrmPopup"));
        enabled.clear();
        for (QAction* item : menu.actions()) {
            if (item->isEnabled()) {
                enabled << item->text();
                item->trigger();
            }
        }
        for (const WpField f : {WpField::Score1, WpField::Width1, WpField::Opt3}) {
            boldAndDisabled |= win->Field(f)->font().bold() && !win->Field(f)->isEnabled();
        }
    };
    const auto rightClick = [&](WpField f) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), QPoint(2, 2));
        QApplication::sendEvent(win->Field(f), &event);
    };
    QTest::keyClick(view1, Qt::Key_F5); // waypoint 1: checkpoint 1
    rightClick(WpField::Score1);
    EXPECT_EQ(enabled, QStringList{QStringLiteral("Select all Wps with same value")});
    EXPECT_TRUE(boldAndDisabled);
    EXPECT_TRUE(win->Field(WpField::Score1)->isEnabled());
    EXPECT_FALSE(win->Field(WpField::Score1)->font().bold());
    EXPECT_EQ(std::vector<std::uint8_t>(T().WpSel.begin(), T().WpSel.begin() + 5),
              (std::vector<std::uint8_t>{0, 1, 0, 1, 0}));
    rightClick(WpField::Width1);
    EXPECT_EQ(enabled, QStringList{QStringLiteral("Copy to Lateral Step")});
    EXPECT_FLOAT_EQ(T().Wp[3].opt[1], 1.5f - 3.14159265f);
    rightClick(WpField::Opt3);
    EXPECT_EQ(enabled, QStringList{QStringLiteral("Calculate Corridor Width")});
    EXPECT_FLOAT_EQ(T().Wp[1].opt[2], (3.14159265f + 2.718281f) / 32);
    EXPECT_FLOAT_EQ(T().Wp[0].opt[2], 0.18312345f) << "not selected";
}

TEST_F(WaypointWindowTest, TheDistanceAddsUpWhileBrowsingAndIsStoredWhenSwitchedOn) {
    QTest::keyClick(view1, Qt::Key_F5);
    const double d01 = waypoints::CalcDistance(T(), 1, 0);
    EXPECT_NEAR(win->AccumulatedDistance(), d01, 1e-4);
    win->CalcLength()->setChecked(true);
    QTest::keyClick(view1, Qt::Key_F5);
    const double d = d01 + waypoints::CalcDistance(T(), 2, 1);
    EXPECT_NEAR(T().Wp[2].score[1], d, 1e-2);
    Undo(); // the stored distance, not the browsing
    EXPECT_EQ(T().Wp[2].score[1], WaypointRing(5).Wp[2].score[1]);
    EXPECT_NEAR(win->AccumulatedDistance(), d, 1e-4) << "an undo adds no distance";
    win->ResetButton()->click();
    EXPECT_NEAR(win->AccumulatedDistance(), 246.9136, 1e-4) << "the Distance/m field";
}

} // namespace
} // namespace zv::app
