#include "config/ConfigFile.h"

#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>

namespace zv::config {
namespace {

namespace fs = std::filesystem;
using model::MessageIcon;

// Sets an environment variable for the lifetime of the guard.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        value != nullptr ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class ConfigFileTest : public ::testing::Test {
protected:
    // Writes text as the configuration file and reads it into fresh settings.
    Settings Load(const std::string& text) {
        Settings s;
        EXPECT_TRUE(LoadConfig(dir.Write("ZV068.CFG", text), s, ui));
        return s;
    }
    std::string Path() const { return dir.File("ZV068.CFG"); }

    test::TempDir dir;
    test::RecordingUi ui;
};

Settings NonDefault() {
    Settings s;
    s.ScgtModelPath = "/games/scgt/models";
    s.ScgtArtPath = "/games/scgt/art dir";
    s.ScgtScenePath = "relative/scenes";
    s.ScgtTrackPath = "/games/scgt/tracks/";
    s.Mtm2ModelPath = "/games/mtm2/models";
    s.Mtm2ArtPath = "/games/mtm2/art";
    s.MaxTex = 123;
    s.ViewType = 3;
    s.View1_orient = -7;
    s.RenderType = 0;
    s.ViewAxis = false;
    s.ViewGrid = false;
    s.FieldOfView = 75;
    s.View1_Brightness = 1000;
    std::int32_t colour = 1;
    for (std::int32_t* c :
         {&s.View1_BackColor, &s.View1_GridColor, &s.View1_LineColor, &s.View1_CulledLineColor,
          &s.View1_SelLineColor, &s.View1_CurrLineColor, &s.View1_CurrEdgeColor, &s.View1_SelEdgeColor,
          &s.View1_VertColor, &s.View1_SelVertColor, &s.View1_PartnameColor, &s.View4_BackColor}) {
        *c = colour;
        colour = (colour * 7 + 3) % 0x1000000;
    }
    s.View4_Brightness = 0;
    s.View4_GridColor = 17;
    s.VertexGroupWinPosition = {10, 20, 300, 500};
    s.PolygonGroupWinPosition = {11, 21, 301, 501};
    s.TexWinPosition = {-12, -22, 50, 60};
    s.WPWinPosition = {13, 23, 303, 503};
    s.MapWinPosition = {14, 24, 304, 504};
    s.DummyWinPosition = {15, 25, 305, 505};
    s.OptionsWinPosition = {16, 26, 306, 506};
    s.RecentFiles = {{"scgt", "/cars/a b.vrl"}, {"aiw", "/tracks/x.aiw"}, {"path", "/p/ring.zvp"}};
    s.Grid = {-100.5f, 0.25f, 0.01f, -3.3f, 1e-3f, 255.5f, true, 0.125f};
    return s;
}

#define ZV_EXPECT_SAME(member) EXPECT_EQ(a.member, b.member) << #member
void ExpectSameStored(const Settings& a, const Settings& b) {
    ZV_EXPECT_SAME(ScgtModelPath);
    ZV_EXPECT_SAME(ScgtArtPath);
    ZV_EXPECT_SAME(ScgtScenePath);
    ZV_EXPECT_SAME(ScgtTrackPath);
    ZV_EXPECT_SAME(Mtm2ModelPath);
    ZV_EXPECT_SAME(Mtm2ArtPath);
    ZV_EXPECT_SAME(MaxTex);
    ZV_EXPECT_SAME(ViewType);
    ZV_EXPECT_SAME(View1_orient);
    ZV_EXPECT_SAME(RenderType);
    ZV_EXPECT_SAME(ViewAxis);
    ZV_EXPECT_SAME(ViewGrid);
    ZV_EXPECT_SAME(FieldOfView);
    ZV_EXPECT_SAME(View1_Brightness);
    ZV_EXPECT_SAME(View1_BackColor);
    ZV_EXPECT_SAME(View1_GridColor);
    ZV_EXPECT_SAME(View1_LineColor);
    ZV_EXPECT_SAME(View1_CulledLineColor);
    ZV_EXPECT_SAME(View1_SelLineColor);
    ZV_EXPECT_SAME(View1_CurrLineColor);
    ZV_EXPECT_SAME(View1_CurrEdgeColor);
    ZV_EXPECT_SAME(View1_SelEdgeColor);
    ZV_EXPECT_SAME(View1_VertColor);
    ZV_EXPECT_SAME(View1_SelVertColor);
    ZV_EXPECT_SAME(View1_PartnameColor);
    ZV_EXPECT_SAME(View4_Brightness);
    ZV_EXPECT_SAME(View4_BackColor);
    ZV_EXPECT_SAME(View4_GridColor);
    for (auto win : {&Settings::VertexGroupWinPosition, &Settings::PolygonGroupWinPosition,
                     &Settings::TexWinPosition, &Settings::WPWinPosition, &Settings::MapWinPosition,
                     &Settings::DummyWinPosition, &Settings::OptionsWinPosition}) {
        const WindowPosition& x = a.*win;
        const WindowPosition& y = b.*win;
        EXPECT_TRUE(x.Left == y.Left && x.Top == y.Top && x.Width == y.Width && x.Height == y.Height)
            << y.Left << " " << y.Top << " " << y.Width << " " << y.Height;
    }
    ZV_EXPECT_SAME(Grid.MinX);
    ZV_EXPECT_SAME(Grid.MaxX);
    ZV_EXPECT_SAME(Grid.StepX);
    ZV_EXPECT_SAME(Grid.MinZ);
    ZV_EXPECT_SAME(Grid.MaxZ);
    ZV_EXPECT_SAME(Grid.StepZ);
    ZV_EXPECT_SAME(Grid.SnapVertices);
    ZV_EXPECT_SAME(Grid.SnapGridSize);
    ZV_EXPECT_SAME(RecentFiles);
}
#undef ZV_EXPECT_SAME

TEST_F(ConfigFileTest, EverySettingSurvivesSaveAndLoad) {
    const Settings saved = NonDefault();
    ASSERT_TRUE(SaveConfig(Path(), saved, ui));
    Settings loaded;
    ASSERT_TRUE(LoadConfig(Path(), loaded, ui));
    ExpectSameStored(saved, loaded);
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(ConfigFileTest, SavedFileHasTheExpectedLayout) {
    Settings s;
    s.ScgtModelPath = "/m";
    s.View1_orient = -5;
    s.Grid = {-10, 10, 0.01f, -0.5f, 4096, 1, true, 1e-5f};
    ASSERT_TRUE(SaveConfig(Path(), s, ui));
    const std::string text = test::ReadText(Path());
    EXPECT_EQ(text.rfind("ScgtModelPath\r\n/m\r\n\r\nScgtArtPath\r\n", 0), 0u);
    EXPECT_NE(text.find("\r\n\r\nMaxTex\r\n 500 \r\n\r\nViewType\r\n 1 \r\n\r\nView1_orient\r\n-5 \r\n\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\r\n\r\nViewAxis\r\n 1 \r\n\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n\r\nVertexGroupWinPosition\r\n 0 \r\n 0 \r\n 240 \r\n 400 \r\n\r\nPolygon"),
              std::string::npos);
    // The grid ends the settings of the tool windows; the keys added later follow it.
    const std::string grid =
        "\r\n\r\nGridProperties\r\n-10 \r\n 10 \r\n .01 \r\n-.5 \r\n 4096 \r\n 1 \r\nTrue\r\n"
        " 1E-05 \r\n\r\nMainWinPosition\r\n 40 \r\n 40 \r\n 1280 \r\n 800 \r\n\r\nMapWinPosition\r\n";
    EXPECT_NE(text.find(grid), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\n\r\nRecentFiles\r\n 0 \r\n\r\n"));
}

// Only what reads back as the same list is written; a list cut short by hand keeps its whole
// entries.
TEST_F(ConfigFileTest, RecentFilesKeepOnlyStorableEntries) {
    Settings s;
    s.RecentFiles = {{"scgt", "relative.vrl"}, {"aiw", "/a\nb.aiw"}, {"MaxTex", "/m.vrl"}, {"path", "/ok.zvp"}};
    for (int i = 0; i < 12; ++i) {
        s.RecentFiles.push_back({"bin", "/m" + std::to_string(i) + ".bin"});
    }
    ASSERT_TRUE(SaveConfig(Path(), s, ui));
    Settings loaded;
    ASSERT_TRUE(LoadConfig(Path(), loaded, ui));
    ASSERT_EQ(loaded.RecentFiles.size(), kMaxRecentFiles);
    EXPECT_EQ(loaded.RecentFiles.front(), (RecentFile{"path", "/ok.zvp"}));
    EXPECT_EQ(loaded.RecentFiles.back().Path, "/m8.bin");

    dir.Write("ZV068.CFG", "RecentFiles\r\n 3 \r\nscgt\r\n/a.vrl\r\nMaxTex\r\n 20 \r\n");
    Settings cut;
    LoadConfig(Path(), cut, ui);
    EXPECT_EQ(cut.RecentFiles, (std::vector<RecentFile>{{"scgt", "/a.vrl"}}));
    EXPECT_EQ(cut.MaxTex, 20);
}

TEST_F(ConfigFileTest, PerKeyRulesApplyOnReading) {
    struct Case {
        const char* Key;
        const char* Value;
        std::int64_t (*Get)(const Settings&);
        std::int64_t Expected;
    };
    const auto maxTex = [](const Settings& s) -> std::int64_t { return s.MaxTex; };
    const auto fov = [](const Settings& s) -> std::int64_t { return s.FieldOfView; };
    const auto grey = [](const Settings& s) -> std::int64_t { return s.View4_GridColor; };
    const auto viewType = [](const Settings& s) -> std::int64_t { return s.ViewType; };
    const auto render = [](const Settings& s) -> std::int64_t { return s.RenderType; };
    const auto axis = [](const Settings& s) -> std::int64_t { return s.ViewAxis; };
    const Case cases[] = {
        {"MaxTex", " 0 ", maxTex, 500},
        {"MaxTex", " 501 ", maxTex, 500},
        {"MaxTex", " 1 ", maxTex, 1},
        {"MaxTex", "abc", maxTex, 500},
        {"FieldOfView", " 0 ", fov, 30},
        {"FieldOfView", "-3", fov, 30},
        {"FieldOfView", " 600 ", fov, 500},
        {"FieldOfView", " 499.5 ", fov, 500},
        {"View4_GridColor", " 300 ", grey, 255},
        {"View4_GridColor", "-1 ", grey, 0},
        {"View1_Brightness", " 70000 ", [](const Settings& s) -> std::int64_t { return s.View1_Brightness; },
         65536},
        {"View4_Brightness", "-1 ", [](const Settings& s) -> std::int64_t { return s.View4_Brightness; }, 0},
        {"View1_BackColor", "-5 ", [](const Settings& s) -> std::int64_t { return s.View1_BackColor; }, 0},
        {"View4_BackColor", "red", [](const Settings& s) -> std::int64_t { return s.View4_BackColor; }, 0},
        {"ViewType", " 7 ", viewType, 0},
        {"ViewType", "-1 ", viewType, 0},
        {"ViewType", " 260 ", viewType, 0},
        {"ViewType", " 4 ", viewType, 4},
        {"RenderType", " 3 ", render, 2},
        {"RenderType", "-1 ", render, 2},
        {"RenderType", " 0 ", render, 0},
        {"ViewAxis", " 0 ", axis, 0},
        {"ViewAxis", " .5 ", axis, 1},
        {"ViewGrid", "-1 ", [](const Settings& s) -> std::int64_t { return s.ViewGrid; }, 0},
        {"View1_orient", " 2.5 ", [](const Settings& s) -> std::int64_t { return s.View1_orient; }, 2},
        {"View1_orient", " 40000 ", [](const Settings& s) -> std::int64_t { return s.View1_orient; }, 32767},
    };
    for (const Case& c : cases) {
        const Settings s = Load(std::string(c.Key) + "\r\n" + c.Value + "\r\n\r\n");
        EXPECT_EQ(c.Get(s), c.Expected) << c.Key << " = '" << c.Value << "'";
    }
}

TEST_F(ConfigFileTest, GroupWindowsGetMinimumSizeAndNoNegativeCorner) {
    const Settings s = Load("VertexGroupWinPosition\n-5\n-6\n100\n200\n"
                            "PolygonGroupWinPosition\n-1\n7\n119.4\n900\n"
                            "TexWinPosition\n-5\n-6\n100\n200\n");
    EXPECT_EQ(s.VertexGroupWinPosition.Left, 0);
    EXPECT_EQ(s.VertexGroupWinPosition.Top, 0);
    EXPECT_EQ(s.VertexGroupWinPosition.Width, 120);
    EXPECT_EQ(s.VertexGroupWinPosition.Height, 240);
    EXPECT_EQ(s.PolygonGroupWinPosition.Left, 0);
    EXPECT_EQ(s.PolygonGroupWinPosition.Top, 7);
    EXPECT_EQ(s.PolygonGroupWinPosition.Width, 120);
    EXPECT_EQ(s.PolygonGroupWinPosition.Height, 900);
    // Only the group windows are checked.
    EXPECT_EQ(s.TexWinPosition.Left, -5);
    EXPECT_EQ(s.TexWinPosition.Width, 100);
}

TEST_F(ConfigFileTest, GridRulesRunInTheirOrder) {
    struct Case {
        const char* Values;
        GridProperties Expected;
    };
    const Case cases[] = {
        // Equal values first lose 10 from the minimum, then the zero rules see -10.
        {"0\n0\n1\n10\n10\n1\nFalse\n5", {-10, 10, 1, -10, 10, 1, false, 5}},
        {"-5000\n5000\n0\n4096.5\n-4097\n-1\nTrue\n0.000001", {-4096, 4096, 1, 4096, -4096, 0.01f, true, 5}},
        {"-1\n1\n0.001\n-1\n1\n300\nyes\n300", {-1, 1, 0.01f, -1, 1, 256, false, 256}},
        {"-1\n1\n.5\n-1\n1\n256\nTrue\n.00001", {-1, 1, 0.5f, -1, 1, 256, true, 0.00001f}},
        {"3\n3\n1\n-1\n-1\n1\nFalse\n5", {-7, 3, 1, -11, -1, 1, false, 5}},
        {"abc\nxyz\n\n\n\n", {-10, 10, 1, -10, 10, 1, false, 5}},
    };
    for (const Case& c : cases) {
        const Settings s = Load(std::string("GridProperties\n") + c.Values + "\n");
        const GridProperties& g = s.Grid;
        const GridProperties& e = c.Expected;
        SCOPED_TRACE(c.Values);
        EXPECT_EQ(g.MinX, e.MinX);
        EXPECT_EQ(g.MaxX, e.MaxX);
        EXPECT_EQ(g.StepX, e.StepX);
        EXPECT_EQ(g.MinZ, e.MinZ);
        EXPECT_EQ(g.MaxZ, e.MaxZ);
        EXPECT_EQ(g.StepZ, e.StepZ);
        EXPECT_EQ(g.SnapVertices, e.SnapVertices);
        EXPECT_EQ(g.SnapGridSize, e.SnapGridSize);
    }
}

TEST_F(ConfigFileTest, TheGridRulesReachAFixedPoint) {
    // Each pair read, saved and read again must not move: equal values at or beyond the limits,
    // and rules that make the values equal again.
    for (const char* pair : {"5000\n5000", "-5000\n-5000", "10\n0", "0\n-10", "4096\n4096", "-4096\n-4096"}) {
        SCOPED_TRACE(pair);
        const Settings first = Load(std::string("GridProperties\n") + pair + "\n");
        EXPECT_NE(first.Grid.MinX, first.Grid.MaxX);
        ASSERT_TRUE(SaveConfig(Path(), first, ui));
        Settings again;
        ASSERT_TRUE(LoadConfig(Path(), again, ui));
        EXPECT_EQ(again.Grid.MinX, first.Grid.MinX);
        EXPECT_EQ(again.Grid.MaxX, first.Grid.MaxX);
    }
}

TEST_F(ConfigFileTest, CommentsAndEmptyLinesAreNeitherKeysNorValues) {
    EXPECT_EQ(Load(";MaxTex\r\n 20 \r\n").MaxTex, 500);
    EXPECT_EQ(Load("MaxTex\r\n;MaxTex\r\n\r\n 20 \r\n").MaxTex, 20);
    EXPECT_EQ(Load("ScgtModelPath\n; a note\n\n/x\n").ScgtModelPath, "/x");
}

TEST_F(ConfigFileTest, FirstOccurrenceOfAKeyWins) {
    EXPECT_EQ(Load("MaxTex\n 20 \nMaxTex\n 30 \n").MaxTex, 20);
    // A key in a value position is a value, and still the first occurrence of that key.
    const Settings s = Load("ScgtModelPath\nMaxTex\n 7 \nMaxTex\n 9 \n");
    EXPECT_EQ(s.ScgtModelPath, "MaxTex");
    EXPECT_EQ(s.MaxTex, 7);
}

TEST_F(ConfigFileTest, MissingValueLinesKeepCurrentValues) {
    const Settings grid = Load("GridProperties\n-20 \n 20 \n");
    EXPECT_EQ(grid.Grid.MinX, -20);
    EXPECT_EQ(grid.Grid.MaxX, 20);
    EXPECT_EQ(grid.Grid.StepX, 1);
    EXPECT_EQ(grid.Grid.MinZ, -10);
    EXPECT_EQ(grid.Grid.SnapGridSize, 5);
    const Settings win = Load("VertexGroupWinPosition\r\n 5 \r\n 6 \r\n");
    EXPECT_EQ(win.VertexGroupWinPosition.Left, 5);
    EXPECT_EQ(win.VertexGroupWinPosition.Top, 6);
    EXPECT_EQ(win.VertexGroupWinPosition.Width, 240);
    EXPECT_EQ(win.VertexGroupWinPosition.Height, 400);
    EXPECT_EQ(Load("MaxTex\n").MaxTex, 500);
}

TEST_F(ConfigFileTest, DriveRootFoldersBecomeTheHomeFolder) {
    const ScopedEnv home("HOME", "/home/tester");
    const Settings s = Load("ScgtModelPath\nC:\\\nScgtArtPath\nc:\nScgtScenePath\nC:\\Games\n");
    EXPECT_EQ(s.ScgtModelPath, "/home/tester");
    EXPECT_EQ(s.ScgtArtPath, "/home/tester");
    EXPECT_EQ(s.ScgtScenePath, "C:\\Games");
    EXPECT_EQ(s.ScgtTrackPath, "/home/tester"); // absent key, empty default
}

TEST_F(ConfigFileTest, MissingFileTellsOnceAndGivesUsableDefaults) {
    const ScopedEnv home("HOME", "/home/tester");
    Settings s;
    EXPECT_FALSE(LoadConfig(Path(), s, ui));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Info");
    EXPECT_EQ(ui.Messages[0].Text, "Zv.cfg not found");
    EXPECT_EQ(ui.Messages[0].Icon, MessageIcon::Information);
    for (const std::string* f : {&s.ScgtModelPath, &s.ScgtArtPath, &s.ScgtScenePath, &s.ScgtTrackPath,
                                 &s.Mtm2ModelPath, &s.Mtm2ArtPath}) {
        EXPECT_EQ(*f, "/home/tester");
    }
    EXPECT_LT(s.Grid.MinX, s.Grid.MaxX);
    EXPECT_LT(s.Grid.MinZ, s.Grid.MaxZ);
    EXPECT_GT(s.Grid.StepX, 0);
    EXPECT_EQ(s.MaxTex, 500);

    Settings quiet;
    EXPECT_FALSE(LoadConfig(Path(), quiet, ui, MissingFile::Quiet));
    EXPECT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(quiet.ScgtArtPath, "/home/tester");
}

TEST_F(ConfigFileTest, UnreadableFileIsReportedAndDefaultsValidated) {
    fs::create_directory(Path());
    Settings s;
    s.MaxTex = 0;
    EXPECT_FALSE(LoadConfig(Path(), s, ui));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Config File Open Error");
    EXPECT_EQ(ui.Messages[0].Text, "Can't open Zv.cfg");
    EXPECT_EQ(s.MaxTex, 500);
}

TEST_F(ConfigFileTest, FoldersThatCannotBeLinesAreStoredSafely) {
    const ScopedEnv home("HOME", "/home/tester");
    Settings s = NonDefault();
    s.Mtm2ModelPath = "";       // an empty line would be skipped and the next key read instead
    s.Mtm2ArtPath = ";odd";     // would be a comment
    s.ScgtScenePath = "MaxTex"; // would be taken for the key
    s.ScgtTrackPath = "/a\r\nMaxTex";
    ASSERT_TRUE(SaveConfig(Path(), s, ui));
    Settings loaded;
    ASSERT_TRUE(LoadConfig(Path(), loaded, ui));
    EXPECT_EQ(loaded.Mtm2ModelPath, "/home/tester");
    EXPECT_EQ(loaded.Mtm2ArtPath, "./;odd");
    EXPECT_EQ(loaded.ScgtScenePath, "./MaxTex");
    EXPECT_EQ(loaded.ScgtTrackPath, "/a");
    EXPECT_EQ(loaded.MaxTex, s.MaxTex);
    EXPECT_EQ(loaded.Grid.StepZ, s.Grid.StepZ);
}

TEST_F(ConfigFileTest, CommaDecimalLocaleDoesNotChangeTheFile) {
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"};
    const std::string before = std::setlocale(LC_ALL, nullptr);
    bool comma = false;
    for (const char* name : names) {
        if (std::setlocale(LC_ALL, name) != nullptr && *std::localeconv()->decimal_point == ',') {
            comma = true;
            break;
        }
    }
    if (!comma) {
        std::setlocale(LC_ALL, before.c_str());
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    Settings s = NonDefault();
    const bool saved = SaveConfig(Path(), s, ui);
    Settings loaded;
    const bool read = LoadConfig(Path(), loaded, ui);
    std::setlocale(LC_ALL, before.c_str());
    ASSERT_TRUE(saved && read);
    ExpectSameStored(s, loaded);
    EXPECT_NE(test::ReadText(Path()).find("\r\n .25 \r\n"), std::string::npos);
}

// The folders left in dir besides the given file, e.g. forgotten temporary files.
std::size_t EntriesIn(const fs::path& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST_F(ConfigFileTest, FailedSaveKeepsOldFileAndLeavesNoTemporaryFile) {
    const std::string old = "MaxTex\r\n 42 \r\n\r\n";
    dir.Write("ZV068.CFG", old);
    // Writes beyond 100 bytes fail (EFBIG) instead of raising SIGXFSZ.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool ok = SaveConfig(Path(), NonDefault(), ui);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(ok);
    EXPECT_EQ(test::ReadText(Path()), old);
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Config Save Error");
    EXPECT_EQ(ui.Messages[0].Text, "Can't save Config File");
    EXPECT_EQ(ui.Messages[0].Icon, MessageIcon::Warning);
}

TEST_F(ConfigFileTest, SaveFailsWhenTheTargetCannotBeReplaced) {
    EXPECT_FALSE(SaveConfig(dir.File("no such folder/ZV068.CFG"), Settings{}, ui));
    const std::string file = dir.Write("plain", "x");
    EXPECT_FALSE(SaveConfig(file + "/ZV068.CFG", Settings{}, ui));
    // A non-empty folder in the way makes the final rename fail.
    fs::create_directories(fs::path(Path()) / "inside");
    EXPECT_FALSE(SaveConfig(Path(), Settings{}, ui));
    EXPECT_TRUE(fs::is_directory(fs::path(Path()) / "inside"));
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);
    EXPECT_EQ(ui.Messages.size(), 3u);
}

TEST_F(ConfigFileTest, SaveKeepsThePermissionsOfTheOldFile) {
    dir.Write("ZV068.CFG", "old");
    fs::permissions(Path(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(SaveConfig(Path(), Settings{}, ui));
    EXPECT_EQ(fs::status(Path()).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(ConfigFileTest, ConfigFilePathPrefersTheProgramFolder) {
    EXPECT_EQ(ConfigFilePath(dir.Path().string()), Path());

    const ScopedEnv xdg("XDG_CONFIG_HOME", dir.File("xdg").c_str());
    const std::string missingProgramDir = dir.File("not there");
    EXPECT_EQ(ConfigFilePath(missingProgramDir), dir.File("xdg/zorvane/ZV068.CFG"));
    EXPECT_TRUE(fs::is_directory(dir.File("xdg/zorvane")));

    const ScopedEnv noXdg("XDG_CONFIG_HOME", nullptr);
    const ScopedEnv home("HOME", dir.File("home").c_str());
    EXPECT_EQ(ConfigFilePath(missingProgramDir), dir.File("home/.config/zorvane/ZV068.CFG"));
    EXPECT_EQ(HomeFolder(), dir.File("home"));
    // An installed program run by root must not write its settings beside itself.
    EXPECT_EQ(ConfigFilePath("/usr/bin"), dir.File("home/.config/zorvane/ZV068.CFG"));
}

} // namespace
} // namespace zv::config
