// Frm_Dummy: "+" and "-" as steps the history undoes, node selection as the dummies' selection,
// changes from elsewhere shown in the list, F3.

#include "BoxWindowTest.h"

#include "app/DummyWindow.h"
#include "track/Dummies.h"

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace zv::app {
namespace {

class DummyWindowTest : public BoxWindowTest {
protected:
    DummyWindow& D() { return *FindDummyWindow(w); }
    QTreeWidget& Tree() { return *D().Tree(); }
    QStringList Names() {
        QStringList names;
        for (int i = 0; i < Tree().topLevelItemCount(); ++i) {
            names << Tree().topLevelItem(i)->text(0);
        }
        return names;
    }
    int Steps() { return w.Ws().History.UndoCount(); }
    track::DummyTable& Table() { return w.Ws().Dummies; }
};

TEST_F(DummyWindowTest, PlusAndMinusAreStepsThatUndoRestores) {
    w.Ws().View1.ViewCenterX = 1;
    w.Ws().View1.ViewCenterY = 2;
    w.Ws().View1.ViewCenterZ = 3;
    const int steps = Steps();
    D().RemoveButton()->click(); // an empty list
    EXPECT_EQ(Steps(), steps);
    for (int i = 0; i < 3; ++i) {
        D().AddButton()->click();
    }
    EXPECT_EQ(Names(), (QStringList{"Obj001", "Obj002", "Obj003"}));
    EXPECT_EQ(D().windowTitle(), QStringLiteral("Dummies: 3"));
    EXPECT_EQ(Table().Items[2].Pos, (track::Vec3{1, 2, 3}));
    EXPECT_EQ(Steps(), steps + 3);
    EXPECT_EQ(Tree().currentItem(), Tree().topLevelItem(2)) << "the new node is the current one";

    Tree().setCurrentItem(Tree().topLevelItem(1), 0, QItemSelectionModel::NoUpdate);
    D().RemoveButton()->click();
    EXPECT_EQ(Names(), (QStringList{"Obj001", "Obj003"}));
    EXPECT_EQ(D().windowTitle(), QStringLiteral("Dummies: 2"));
    EXPECT_EQ(Tree().currentItem(), Tree().topLevelItem(1)) << "the marker stays on the row";

    Undo();
    EXPECT_EQ(Names(), (QStringList{"Obj001", "Obj002", "Obj003"}));
    EXPECT_EQ(D().windowTitle(), QStringLiteral("Dummies: 3"));

    Tree().setCurrentItem(nullptr);
    D().RemoveButton()->click();
    EXPECT_EQ(Table().Count(), 3) << "no current node: nothing removed";
    EXPECT_EQ(Steps(), steps + 3);
}

TEST_F(DummyWindowTest, NodeSelectionIsTheDummiesSelection) {
    D().AddButton()->click();
    D().AddButton()->click();
    const int steps = Steps();
    Tree().topLevelItem(1)->setSelected(true);
    EXPECT_FALSE(Table().Items[0].Sel);
    EXPECT_TRUE(Table().Items[1].Sel);
    EXPECT_EQ(Steps(), steps) << "selecting is no step";

    // A step from elsewhere (a view gesture) shows in the list without feeding back into it.
    w.Run("Pick", [&](edit::Recorder& rec) {
        track::RecordDummies(rec, Table());
        Table().Items[0].Sel = true;
        Table().Items[1].Sel = false;
        return edit::Change(edit::Change::Dummies);
    });
    EXPECT_TRUE(Tree().topLevelItem(0)->isSelected());
    EXPECT_FALSE(Tree().topLevelItem(1)->isSelected());
    EXPECT_TRUE(Table().Items[0].Sel);
}

TEST_F(DummyWindowTest, F3TogglesTheWindow) {
    EXPECT_FALSE(D().isVisible());
    QTest::keyClick(view1, Qt::Key_F3);
    EXPECT_TRUE(D().isVisible());
    QTest::keyClick(&Tree(), Qt::Key_F3); // also from the window itself
    EXPECT_FALSE(D().isVisible());
}

} // namespace
} // namespace zv::app
