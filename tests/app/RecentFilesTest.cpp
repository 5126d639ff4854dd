// The File menu's recent files: the list rule, and the entries the opens leave in the menu.

#include "WaypointTestTables.h"

#include "app/FileDialogs.h"
#include "config/RecentFiles.h"
#include "waypoints/AiwFile.h"

#include <QMenu>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace zv::app {
namespace {

using config::RecentFile;

TEST(RecentListTest, NewestFirstOnceEachAtMostTenAndMissingDropped) {
    std::vector<RecentFile> list;
    for (int i = 0; i < 12; ++i) {
        config::NoteRecent(list, {"scgt", "/t/m" + std::to_string(i) + ".vrl"});
    }
    ASSERT_EQ(list.size(), config::kMaxRecentFiles);
    EXPECT_EQ(list.front().Path, "/t/m11.vrl");
    EXPECT_EQ(list.back().Path, "/t/m2.vrl") << "the oldest fall off";
    // The same file written differently moves to the top with its new command.
    config::NoteRecent(list, {"f1", "/t/x/../m5.vrl"});
    ASSERT_EQ(list.size(), config::kMaxRecentFiles);
    EXPECT_EQ(list[0], (RecentFile{"f1", "/t/m5.vrl"}));
    EXPECT_EQ(list[1].Path, "/t/m11.vrl");
    EXPECT_EQ(std::ranges::count(list, std::string("/t/m5.vrl"), &RecentFile::Path), 1);
    config::NoteRecent(list, {"aiw", ""});
    EXPECT_EQ(list[0].Command, "f1") << "no path, no entry";

    const test::TempDir dir;
    const std::string kept = dir.Write("kept.aiw", std::string("x"));
    config::NoteRecent(list, {"aiw", kept});
    config::DropMissing(list);
    EXPECT_EQ(list, std::vector<RecentFile>{(RecentFile{"aiw", kept})});
}

class RecentFilesTest : public BoxWindowTest {
protected:
    // The entries of the File menu, top first, as "text|enabled".
    std::vector<std::string> Entries() {
        std::vector<std::string> out;
        for (QAction* a : FileMenu()->actions()) {
            if (a->objectName().startsWith(QStringLiteral("mnuFileRecent_")) && !a->isSeparator()) {
                out.push_back(a->text().toStdString() + (a->isEnabled() ? "" : "|disabled"));
            }
        }
        return out;
    }
    QMenu* FileMenu() { return w.findChild<QMenu*>(QStringLiteral("mnuFile")); }
};

TEST_F(RecentFilesTest, OpensFillTheFileMenuAndAnEntryReopensItsFile) {
    const std::string model = dir.Write("copy.vrl", test::ReadBytes(ZV_SOURCE_DIR "/samples/box.vrl"));
    const std::string aiw =
        dir.Write("ring.aiw", waypoints::SerializeAiw(WaypointRing(3), waypoints::Dialect::Scgt));
    SetFileChooser([&](const FileRequest&) { return QStringList{QString::fromStdString(model)}; });
    w.Item("mnuFile1", 0)->trigger(); // Open SCGT model
    SetFileChooser({});
    w.LoadFiles({QString::fromStdString(aiw)});
    EXPECT_EQ(w.Ws().Waypoints.WpCount, 3) << "an AIW file given to the window opens as waypoints";
    EXPECT_EQ(M().VertCount, 8) << "and leaves the model alone";

    EXPECT_EQ(Entries(), (std::vector<std::string>{"&1 ring.aiw", "&2 copy.vrl", "&3 box.vrl"}));
    // Above the separator before "&Quit", under a separator of their own.
    const QList<QAction*> items = FileMenu()->actions();
    const qsizetype quitSeparator = items.indexOf(w.Item("mnuFile", 12));
    ASSERT_GE(quitSeparator, 4);
    EXPECT_EQ(items[quitSeparator - 1]->objectName(), QStringLiteral("mnuFileRecent_2"));
    EXPECT_TRUE(items[quitSeparator - 4]->isSeparator());
    EXPECT_EQ(items[quitSeparator - 3]->toolTip().toStdString(), aiw);

    w.Item("mnuFile", 0)->trigger(); // New
    items[quitSeparator - 2]->trigger();
    EXPECT_EQ(M().VertCount, 8);
    EXPECT_EQ(w.CurrentFileName(), "copy.vrl");
    EXPECT_EQ(w.Ws().Settings.RecentFiles[0], (RecentFile{"scgt", model}));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"&1 copy.vrl", "&2 ring.aiw", "&3 box.vrl"}));

    std::filesystem::remove(model);
    FileMenu()->aboutToShow();
    EXPECT_EQ(Entries(), (std::vector<std::string>{"&1 copy.vrl|disabled", "&2 ring.aiw", "&3 box.vrl"}));
    w.close(); // writes the list
    MainWindow again({dir.File("ZV068.CFG"), false});
    EXPECT_EQ(again.Ws().Settings.RecentFiles.size(), 2u) << "a missing file is dropped at start-up";
}

} // namespace
} // namespace zv::app
