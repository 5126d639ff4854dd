// The Path menu, the track-builder panel and drag, the path keys and the Bezier keys of the
// waypoint edit mode: each change one undoable step, path files through the dialogs.

#include "WaypointTestTables.h"

#include "app/DummyWindow.h"
#include "app/FileDialogs.h"
#include "app/PathCommands.h"
#include "app/StatusPanels.h"
#include "track/PathOps.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "MessageCatcher.h"

#include <gtest/gtest.h>

namespace zv::app {
namespace {


class PathCommandsTest : public WaypointWindowFixture {
protected:
    track::PathTable& P() { return w.Ws().Path; }
    QPoint At(float x, float z) {
        const render::ScreenPos p = render::Project(w.Ws().View1, {x, 0, z});
        return {qRound(p.X), qRound(p.Y)};
    }
    QWidget& Panel() { return *w.findChild<QWidget*>(QStringLiteral("Pic_Trkbuilder")); }
    QLineEdit& Field(const QString& name) { return *Panel().findChild<QLineEdit*>(name); }
    void Create() { Panel().findChild<QPushButton*>(QStringLiteral("Cmd_TrkCreate"))->click(); }
    // A closed square of side 5: its 20 units stay under the split distance, one part per pass.
    void SquarePath() {
        P().Pts = {{0, 0, 0}, {5, 0, 0}, {5, 0, 5}, {0, 0, 5}};
        P().SegLen = P().Heading = P().Camber = std::vector<float>(4, 0.0f);
    }
};

TEST_F(PathCommandsTest, TheBuilderPanelHoldsTheDefaultSection) {
    PathCommands& commands = *FindPathCommands(w);
    const std::optional<track::TrackSection> read = commands.ReadSection();
    ASSERT_TRUE(read.has_value());
    const track::TrackSection defaults;
    EXPECT_EQ(read->Widths, defaults.Widths);
    EXPECT_EQ(read->Textures, defaults.Textures);
    EXPECT_EQ(read->SplitDistance, 40.0f);
    EXPECT_EQ(commands.PieceLength(), 8.0f);
    EXPECT_EQ(Field(QStringLiteral("Txt_ElevChange")).text(), QLocale().toString(0.0, 'f', 1));
    EXPECT_TRUE(Panel().findChild<QPushButton*>(QStringLiteral("Cmd_TrkCreate"))->isEnabled());

    // A German user may type either decimal separator.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Field(QStringLiteral("Txt_Piece(5)")).setText(QStringLiteral("4,5"));
    Field(QStringLiteral("Txt_Piece(6)")).setText(QStringLiteral("4.5"));
    const std::optional<track::TrackSection> typed = commands.ReadSection();
    QLocale::setDefault(before);
    ASSERT_TRUE(typed.has_value());
    EXPECT_EQ(typed->Widths[5], 4.5f);
    EXPECT_EQ(typed->Widths[6], 4.5f);
}

TEST_F(PathCommandsTest, CreateBuildsTheTrackAsOneStep) {
    const model::VertRec corner = M().Vert[0];
    const int parts = M().PartCount();
    SquarePath();
    Create();
    EXPECT_EQ(M().VertCount, 64);
    EXPECT_EQ(M().PolyCount, 60);
    EXPECT_EQ(M().PartCount(), 3);
    auto* textures = w.findChild<QComboBox*>(QStringLiteral("Combo4"));
    ASSERT_EQ(textures->count(), 11);
    EXPECT_EQ(textures->itemText(0), QStringLiteral("Nl: ROADA"));
    Undo();
    EXPECT_EQ(M().VertCount, 8);
    EXPECT_EQ(M().PolyCount, 6);
    EXPECT_EQ(M().PartCount(), parts);
    EXPECT_EQ(M().Vert[0].X, corner.X);
    EXPECT_EQ(M().Vert[0].Z, corner.Z);
    ASSERT_EQ(textures->count(), 2) << "the box's texture lists come back";
    EXPECT_EQ(textures->itemText(0).toStdString(), "Nl: " + M().TexName[0]);
}

TEST_F(PathCommandsTest, CreateNamesAWidthThatIsNotANumber) {
    SquarePath();
    const int steps = w.Ws().History.UndoCount();
    Field(QStringLiteral("Txt_Piece(3)")).setText(QStringLiteral("wide"));
    MessageCatcher catcher;
    catcher.Arm();
    Create();
    EXPECT_EQ(catcher.Title, QStringLiteral("Create Track"));
    EXPECT_EQ(catcher.Text, QStringLiteral("W: of strip 3 is not a number"));
    EXPECT_EQ(M().VertCount, 8);
    EXPECT_EQ(w.Ws().History.UndoCount(), steps);
}

TEST_F(PathCommandsTest, OpenMergesAndSaveWritesThroughTheDialogs) {
    w.Ws().Settings.ScgtTrackPath = dir.Path().string();
    const std::string path =
        dir.Write("a.zvp", "number_points=2\r\nPointPos=(1,2,3)\r\nPointPos=(4,5,6)\r\n");
    std::vector<FileRequest> asked;
    std::string answer = path;
    SetFileChooser([&](const FileRequest& r) {
        asked.push_back(r);
        return QStringList{QString::fromStdString(answer)};
    });
    w.Item("mnuPath", 0)->trigger();
    w.Item("mnuPath", 0)->trigger();
    EXPECT_EQ(P().Count(), 4) << "a second open appends";
    EXPECT_EQ(w.Panels().Info()->text(), QStringLiteral("4 Pathpoints merged"));
    answer = dir.File("out.zvp");
    w.Item("mnuPath", 1)->trigger();
    SetFileChooser({});
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0].Title, QStringLiteral("Open ZV Path-File"));
    EXPECT_EQ(asked[0].Filter, QStringLiteral("zvp-Format|*.zvp"));
    EXPECT_EQ(asked[2].Title, QStringLiteral("Save Path"));
    EXPECT_EQ(asked[2].Filter, QStringLiteral("ZV Path File (.zvp)|*.zvp"));
    EXPECT_TRUE(asked[2].Save);
    EXPECT_EQ(asked[2].Start.toStdString(), dir.Path().string());
    EXPECT_EQ(test::ReadText(answer), track::SerializePath(P()));
    Undo();
    EXPECT_EQ(P().Count(), 2) << "each open is one step";
}

// The path and the dummies are saved to files of their own: the caption marks them while they
// differ from their file, and closing asks for each (Cancel stops the close).
TEST_F(PathCommandsTest, UnsavedPathAndDummiesAreMarkedAndAskedFor) {
    const std::string path = dir.Write("a.zvp", "number_points=2\r\nPointPos=(1,2,3)\r\nPointPos=(4,5,6)\r\n");
    std::string answer = path;
    SetFileChooser([&](const FileRequest&) { return QStringList{QString::fromStdString(answer)}; });
    w.Item("mnuPath", 0)->trigger();
    EXPECT_FALSE(w.windowTitle().contains(QStringLiteral("path*"))) << "opened into an empty path: saved";
    w.Item("mnuPath", 0)->trigger();
    FindDummyWindow(w)->AddButton()->click();
    EXPECT_TRUE(w.windowTitle().endsWith(QStringLiteral("    [ path*, dummies* ]"))) << w.windowTitle().toStdString();

    std::vector<QString> questions;
    std::vector<QMessageBox::StandardButton> replies{QMessageBox::Save, QMessageBox::Cancel};
    w.AskSaveChanges = [&](const QString& text) {
        questions.push_back(text);
        return replies[questions.size() - 1];
    };
    answer = dir.File("out.zvp");
    EXPECT_FALSE(w.ConfirmClose());
    EXPECT_EQ(questions, (std::vector<QString>{QStringLiteral("Save changes to the path?"),
                                               QStringLiteral("Save changes to the dummies?")}));
    EXPECT_EQ(test::ReadText(answer), track::SerializePath(P()));
    EXPECT_TRUE(w.windowTitle().endsWith(QStringLiteral("    [ dummies* ]"))) << w.windowTitle().toStdString();
    replies = {QMessageBox::Discard};
    questions.clear();
    EXPECT_TRUE(w.ConfirmClose());
    EXPECT_EQ(questions.size(), 1u);
    SetFileChooser({});
}

TEST_F(PathCommandsTest, BezierKeysInTheWaypointModeUndoAsOneStep) {
    const waypoints::WaypointTables ring = T();
    for (int i = 0; i < 5; ++i) {
        T().WpSel[static_cast<std::size_t>(i)] = 1;
    }
    QTest::keyClick(view1, Qt::Key_F7);
    EXPECT_TRUE(P().Bezier.Mode);
    EXPECT_EQ(w.Item("mnuEdit", 0)->text(), QStringLiteral("&Undo Edit Bezier"));
    QTest::keyClick(view1, Qt::Key_F10);
    EXPECT_EQ(w.Panels().Info()->text(), QStringLiteral("Edit Bezier Y"));
    Undo();
    EXPECT_FALSE(P().Bezier.Mode);
    EXPECT_TRUE(T().Wp == ring.Wp);
    QTest::keyClick(view1, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(P().Count(), 0) << "no path keys in the waypoint edit mode";
}

TEST_F(PathCommandsTest, PathKeysAndTheTrackBuilder) {
    w.Button("edit_vertex")->trigger();
    render::SetOrientation(w.Ws().View1, 2); // top view: x and z under the cursor
    w.Ws().View1.ViewZoom = 10;
    QTest::mouseMove(view1, At(0, 0));
    QTest::keyClick(view1, Qt::Key_R, Qt::ControlModifier);
    ASSERT_EQ(P().Count(), 1);
    EXPECT_TRUE(w.Panels().Info()->text().startsWith(QStringLiteral("1st Point at  X: ")));
    QTest::mouseMove(view1, At(0, 4));
    QTest::keyClick(view1, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(P().Count(), 2);
    EXPECT_TRUE(w.Panels().Info()->text().startsWith(QStringLiteral("Points: 2      Length: ")));

    auto* panel = w.findChild<QWidget*>(QStringLiteral("Pic_Trkbuilder"));
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isVisible());
    w.Button("create_part")->trigger();
    EXPECT_TRUE(panel->isVisible());
    panel->findChild<QLineEdit*>(QStringLiteral("Txt_depth"))->setText(QStringLiteral("1"));
    const int vertex = M().CurVert;
    const QPoint end = At(P().Pts.back()[0], P().Pts.back()[2]);
    QTest::mousePress(view1, Qt::LeftButton, Qt::NoModifier, end);
    QTest::mouseMove(view1, end + QPoint(0, 40));
    QTest::mouseMove(view1, end + QPoint(0, 80));
    QTest::mouseRelease(view1, Qt::LeftButton, Qt::NoModifier, end + QPoint(0, 80));
    EXPECT_GE(P().Count(), 2 + 7) << "pieces of 1 over 8 units, less the ones that do not fit";
    EXPECT_TRUE(w.Panels().Distance()->text().startsWith(QStringLiteral("Dist: ")));
    EXPECT_EQ(M().CurVert, vertex) << "the builder picks no vertex";
    Undo();
    EXPECT_EQ(P().Count(), 2) << "one step per drag";
    const track::Vec3 picked = P().Pts[1];
    panel->findChild<QPushButton*>(QStringLiteral("Cmd_TrkNew"))->click();
    ASSERT_EQ(P().Count(), 1);
    EXPECT_NEAR(P().Pts[0][2], picked[2], 0.2) << "at the last point picked";
    EXPECT_EQ(w.Panels().Info()->text(), QStringLiteral("Path deleted"));
    w.Button("edit_vert")->trigger();
    EXPECT_FALSE(panel->isVisible());
}

} // namespace
} // namespace zv::app
