#include "waypoints/AiwFile.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>

namespace zv::waypoints {
namespace {

std::string Crlf(std::string_view text) {
    std::string out;
    for (const char c : text) {
        out += c == '\n' ? "\r\n" : std::string(1, c);
    }
    return out;
}

WaypointTables Sample() {
    WaypointTables t;
    t.SlotCount = 2;
    t.Slots[0] = {{1.5f, -2, 0.25f}, {0, 1, 0}, {10, 0, -3.125f}, {0, 0, 1}};
    t.Slots[1] = {{-7, 0, 0}, {0, -1, 0}, {12.75f, 0, 0}, {1, 0, 0}};
    t.LapLength = 4321.5f;
    t.WpCount = 2;
    WaypointRec& a = t.Wp[0];
    a.pos = {100.25f, -3, 0.5f};
    a.ori = {0.1f, -0.2f};
    a.width = {5, 5, 7.5f, 8};
    a.score = {1, 123.4567f, 0, 0};
    a.opt = {0.12345678f, 1e-5f, 0.75f};
    a.depth = "808080";
    a.ins = "TRACK1";
    a.ptrs = {1, 1, -1, kNoPitSlot};
    a.key = 3;
    a.marks = -4;
    a.events = 5;
    WaypointRec& b = t.Wp[1];
    b.pos = {-0.00004f, 1234.56789f, 2};
    b.opt = {1, 12345678, 0};
    b.depth = "";
    b.ins = "PIT";
    b.ptrs = {-1, 1, -1, -1};
    return t;
}

const std::string kSlots = R"([SLOT00]
AVPos=(1.5,-2,.25)
AVOrient=(0,1,0)
AVPitPos=(10,0,-3.125)
AVPitOri=(0,0,1)

[SLOT01]
AVPos=(-7,0,0)
AVOrient=(0,-1,0)
AVPitPos=(12.75,0,0)
AVPitOri=(1,0,0)

[Waypoint]
number_waypoints=2
lap_length=4321.5
)";

const std::string kScgt = kSlots + R"(wp_pos=(100.25,-3,.5)
wp_ori=(.1,-.2)
wp_width=(5,5,7.5,8)
wp_score=(1,123.4567,0,0)
wp_opt=(.12345678,1E-05,.75)
wp_depth=808080
wp_ins=TRACK1
wp_ptrs=(1,1,-1,-2)
wp_pos=(0,1234.5679,2)
wp_ori=(0,0)
wp_width=(0,0,0,0)
wp_score=(0,0,0,0)
wp_opt=(1,1.234568E+07,0)
wp_depth=
wp_ins=PIT
wp_ptrs=(-1,1,-1,-1)
)";

const std::string kF1cs = kSlots + R"(wp_pos=(100.25,-3,.5)
wp_ori=(.1,-.2)
wp_width=(5,5,7.5,8)
wp_score=(1,123.4567,0,0)
wp_opt=(.12345678,1E-05,.75)
wp_depth=808080
wp_key=(3)
wp_marks=(-4)
wp_events=(5)
wp_ptrs=(1,1,-1,-2)
wp_pos=(0,1234.5679,2)
wp_ori=(0,0)
wp_width=(0,0,0,0)
wp_score=(0,0,0,0)
wp_opt=(1,1.234568E+07,0)
wp_depth=
wp_key=(0)
wp_marks=(0)
wp_events=(0)
wp_ptrs=(-1,1,-1,-1)
)";

// Both dialects byte for byte, and each reads back to the tables as written.
TEST(AiwFile, WritesBothDialectsExactlyAndReadsThemBack) {
    const WaypointTables t = Sample();
    EXPECT_EQ(SerializeAiw(t, Dialect::Scgt), Crlf(kScgt));
    EXPECT_EQ(SerializeAiw(t, Dialect::F1cs), Crlf(kF1cs));

    WaypointTables scgt;
    ASSERT_TRUE(ParseAiw(Crlf(kScgt), scgt).Ok);
    EXPECT_EQ(scgt.LoadedDialect, Dialect::Scgt);
    EXPECT_EQ(scgt.Wp[0].ins, "TRACK1");
    EXPECT_EQ(scgt.Wp[0].key, 0); // never in an SCGT file
    EXPECT_EQ(SerializeAiw(scgt, Dialect::Scgt), Crlf(kScgt));

    WaypointTables f1;
    ASSERT_TRUE(ParseAiw(Crlf(kF1cs), f1).Ok);
    EXPECT_EQ(f1.LoadedDialect, Dialect::F1cs);
    EXPECT_EQ(f1.Wp[0].marks, -4);
    EXPECT_EQ(f1.Wp[0].ins, "");
    EXPECT_EQ(SerializeAiw(f1, Dialect::F1cs), Crlf(kF1cs));

    WaypointTables none;
    EXPECT_EQ(SerializeAiw(none, Dialect::Scgt), "[Waypoint]\r\nnumber_waypoints=0\r\nlap_length=0\r\n");
}

// The reader is positional and tolerant: comments, blank lines, any line ends, trailing
// comments, other key names, surplus and empty tuple values.
TEST(AiwFile, ToleratesCommentsLineEndsAndLooseLayout) {
    const std::string loose =
        "; made by hand\r[slot00]\n"
        "Pos=( 1.5 , -2 , .25 )\n\nOri=(0,1,0)\r\n;x\r\nA=(10,0,-3.125)\nB=(0,0,1)\n"
        "\n\n\n[SLOT01] comment\nAVPos=(-7,0,0)\nAVOrient=(0,-1,0)\nAVPitPos=(12.75,0,0)\nAVPitOri=(1,0,0)\n"
        "junk before the header [Waypoint]\nnumber_waypoints=2 ; two\nlap_length=4321.5\tmore\n"
        "p=(100.25,-3,.5)\no=(.1,-.2,99)\nw=(5,5,7.5,8)\ns=(1,123.4567,0,0)\nopt=(.12345678,1e-5,.75,1)\n"
        "d=808080/c\nWP_INS=TRACK1 x\nptrs=(1,1,-1,-2)\n"
        "p=(-.00004,1234.56789,2)\no=(,)\nw=(0,0,0,)\ns=(0,,0,0)\nopt=(1,12345678,)\nd=\nwp_ins=PIT\n"
        "ptrs=(-1,1,-1,-1,7)";
    WaypointTables t;
    const AiwReadResult r = ParseAiw(loose, t);
    ASSERT_TRUE(r.Ok) << r.Line << " " << r.Reason;
    EXPECT_EQ(SerializeAiw(t, Dialect::Scgt), Crlf(kScgt));

    // A whitespace-only line is a kept line and shifts the positions.
    std::string shifted = Crlf(kScgt);
    shifted.insert(shifted.find("wp_ori"), "  \r\n");
    EXPECT_FALSE(ParseAiw(shifted, t).Ok);
}

TEST(AiwFile, LoadClearsSelectionsAndOptionalFieldsButKeepsAMissingLapLength) {
    WaypointTables t = Sample();
    t.Wp[1].key = 9;
    t.WpSel[1] = 1;
    t.SlotSel[0] = 1;
    t.PitSel[1] = 1;
    t.CurWp = 1;
    t.LapLength = 77;
    std::string text = Crlf(kScgt);
    text.erase(text.find("lap_length"), std::strlen("lap_length=4321.5\r\n"));
    text.insert(text.find("wp_pos"), "placeholder\r\n");
    ASSERT_TRUE(ParseAiw(text, t).Ok);
    EXPECT_EQ(t.LapLength, 77);
    EXPECT_EQ(t.Wp[1].key, 0);
    EXPECT_EQ(t.WpSel[1] + t.SlotSel[0] + t.PitSel[1] + t.CurWp, 0);

    // Without "[Waypoint]" the slots load and no waypoints.
    ASSERT_TRUE(ParseAiw(Crlf(kSlots.substr(0, kSlots.find("[Waypoint]"))), t).Ok);
    EXPECT_EQ(t.SlotCount, 2);
    EXPECT_EQ(t.WpCount, 0);
}

// A broken slot block ends the slot section without a fault; the slots it did not read are
// cleared rather than left with older contents.
TEST(AiwFile, BrokenSlotBlockClearsTheRestQuietly) {
    WaypointTables t = Sample();
    std::string text = Crlf(kScgt);
    text.replace(text.find("AVPos=(-7,0,0)"), 14, "AVPos=-7,0,0");
    const AiwReadResult r = ParseAiw(text, t);
    EXPECT_TRUE(r.Ok);
    EXPECT_EQ(t.SlotCount, 2);
    EXPECT_EQ(t.Slots[0], Sample().Slots[0]);
    EXPECT_EQ(t.Slots[1], SlotRec{});
    EXPECT_EQ(t.WpCount, 2);
}

WaypointTables RandomTables(std::mt19937& rng) {
    std::uniform_real_distribution<float> coord(-5000, 5000);
    std::uniform_int_distribution<int> exponent(-50, 38);
    std::uniform_int_distribution<int> link(-32768, 32767);
    std::uniform_int_distribution<int> letter('0', 'Z');
    // Finite floats over the whole range, rounding-prone ones included.
    const auto anyFloat = [&] {
        const float v = coord(rng) * std::pow(10.0f, static_cast<float>(exponent(rng)) - 3.0f);
        return std::isfinite(v) ? v : 1.0f;
    };
    const auto text = [&](std::size_t n) {
        std::string s;
        for (std::size_t k = 0; k < n; ++k) {
            s += static_cast<char>(letter(rng));
        }
        return s;
    };
    WaypointTables t;
    t.SlotCount = kSlotCapacity;
    for (SlotRec& s : t.Slots) {
        for (auto* v : {&s.AVPos, &s.AVOrient, &s.AVPitPos, &s.AVPitOri}) {
            *v = {coord(rng), anyFloat(), anyFloat()};
        }
    }
    t.WpCount = kWaypointCapacity;
    t.LapLength = anyFloat();
    for (WaypointRec& w : t.Wp) {
        w.pos = {coord(rng), coord(rng), anyFloat()};
        w.ori = {anyFloat(), anyFloat()};
        w.width = {anyFloat(), coord(rng), coord(rng), anyFloat()};
        w.score = {anyFloat(), coord(rng), anyFloat(), anyFloat()};
        w.opt = {anyFloat(), anyFloat(), anyFloat()};
        w.depth = text(static_cast<std::size_t>(link(rng) & 31));
        w.ins = text(static_cast<std::size_t>(link(rng) & 7));
        for (auto& p : w.ptrs) {
            p = static_cast<std::int16_t>(link(rng));
        }
        w.key = static_cast<std::int16_t>(link(rng));
        w.marks = static_cast<std::int16_t>(link(rng));
        w.events = static_cast<std::int16_t>(link(rng));
    }
    return t;
}

// Whatever the tables hold, what the writer produced reads back to the same file.
TEST(AiwFile, WriteReadWriteIsIdenticalAtCapacity) {
    std::mt19937 rng(7);
    for (int round = 0; round < 2; ++round) {
        const WaypointTables t = RandomTables(rng);
        for (const Dialect d : {Dialect::Scgt, Dialect::F1cs}) {
            const std::string first = SerializeAiw(t, d);
            WaypointTables back;
            const AiwReadResult r = ParseAiw(first, back);
            ASSERT_TRUE(r.Ok) << r.Line << " " << r.Reason;
            EXPECT_EQ(back.WpCount, kWaypointCapacity);
            EXPECT_EQ(back.SlotCount, kSlotCapacity);
            EXPECT_EQ(back.LoadedDialect, d);
            EXPECT_EQ(SerializeAiw(back, d), first);
        }
    }
}

struct Hostile {
    const char* Name;
    std::string Text;
    int Line;    // expected fault line, 0 when the file reads
    int WpCount; // waypoints kept
};

// Faults in the waypoint section stop there with the line, keeping the waypoints before them.
TEST(AiwFile, HostileFilesFaultAtTheirLineAndKeepWhatCameBefore) {
    const std::string head = "[Waypoint]\nnumber_waypoints=2\nlap_length=1\n";
    const std::string one = "wp_pos=(1,2,3)\nwp_ori=(0,0)\nwp_width=(1,1,1,1)\nwp_score=(0,0,0,0)\n"
                            "wp_opt=(0,0,0)\nwp_depth=80\nwp_ptrs=(1,1,-1,-2)\n";
    std::string manySlots;
    for (int s = 0; s < 300; ++s) {
        manySlots += "[SLOT" + std::to_string(s) + "]\nA=(1,2,3)\nB=(1,2,3)\nC=(1,2,3)\nD=(1,2,3)\n";
    }
    const std::vector<Hostile> cases{
        {"truncated", head + one + "wp_pos=(1,2,3)\nwp_ori=(0,0)\n", 13, 1},
        {"no parentheses", head + one + "wp_pos=1,2,3\n", 11, 1},
        {"no closing parenthesis", head + "wp_pos=(1,2,3\n", 4, 0},
        {"closing before opening", head + "wp_pos=)1,2,3(\n", 4, 0},
        {"missing comma", head + one + "wp_pos=(1,2,3)\nwp_ori=(0 0)\n", 12, 1},
        {"float overflow", head + one + one.substr(0, 15) + "wp_ori=(1e39,0)\n", 12, 1},
        {"link overflow", head + one + one.substr(0, one.find("wp_ptrs")) + "wp_ptrs=(1,40000,0,0)\n", 17, 1},
        {"count overflow", "[Waypoint]\nnumber_waypoints=99999\n", 2, 0},
        {"lap overflow", "[Waypoint]\nnumber_waypoints=0\nlap_length=-1e300\n", 3, 0},
        {"huge count", "[Waypoint]\nnumber_waypoints=32000\nlap_length=0\n" + one, 11, 1},
        {"300 slot blocks", manySlots, 0, 0},
        {"binary", std::string("\0(\xff)\r\r\n[Waypoint]\n\0", 19), 0, 0},
    };
    for (const Hostile& c : cases) {
        WaypointTables t;
        const AiwReadResult r = ParseAiw(c.Text, t);
        EXPECT_EQ(r.Ok, c.Line == 0) << c.Name;
        EXPECT_EQ(r.Line, c.Line) << c.Name;
        EXPECT_EQ(t.WpCount, c.WpCount) << c.Name;
        EXPECT_LE(t.SlotCount, kSlotCapacity) << c.Name;
    }

    // More lines than the reader holds: nothing is taken in.
    WaypointTables t = Sample();
    std::string tooLong;
    for (int i = 0; i <= kMaxAiwLines; ++i) {
        tooLong += "x\n";
    }
    const AiwReadResult r = ParseAiw(tooLong, t);
    EXPECT_FALSE(r.Ok);
    EXPECT_FALSE(r.Loaded);
    EXPECT_EQ(t, Sample());
}

TEST(AiwFile, OpenShowsFaultsAndIsOneStep) {
    test::TempDir dir;
    test::RecordingUi ui;
    model::ModelStore m;
    edit::History h;
    WaypointTables t;
    const std::string good = dir.Write("good.aiw", Crlf(kF1cs));
    std::string broken = Crlf(kF1cs);
    broken.replace(broken.rfind("wp_ori=(0,0)"), 12, "wp_ori=(0;0)");

    edit::Recorder rec = h.Begin(m, "Open AIW");
    EXPECT_EQ(OpenAiw(ui, rec, t, good),
              edit::Change(edit::Change::Waypoints | edit::Change::Selection | edit::Change::Counts));
    h.End(edit::Change::Waypoints);
    EXPECT_EQ(LoadedText(t), "2 waypoints loaded");
    EXPECT_TRUE(ui.Messages.empty());

    rec = h.Begin(m, "Open AIW");
    EXPECT_TRUE(OpenAiw(ui, rec, t, dir.Write("broken.aiw", broken)).Any());
    h.End(edit::Change::Waypoints);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "I/O ERROR");
    EXPECT_EQ(ui.Messages[0].Text, "Open AIW-File Error\nLine 27");
    EXPECT_EQ(ui.Messages[0].Icon, model::MessageIcon::Warning);
    EXPECT_EQ(t.WpCount, 1);

    rec = h.Begin(m, "Open AIW");
    EXPECT_FALSE(OpenAiw(ui, rec, t, dir.File("missing.aiw")).Any());
    h.End(edit::kNoChange);
    ASSERT_EQ(ui.Messages.size(), 2u);
    EXPECT_EQ(ui.Messages[1].Text, "Open AIW-File Error");
    EXPECT_EQ(ui.BusyDepth, 0);

    h.Undo(m);
    EXPECT_EQ(t.WpCount, 2);
    EXPECT_EQ(SerializeAiw(t, Dialect::F1cs), Crlf(kF1cs));
}

TEST(AiwFile, FailedSaveShowsTheMessageAndKeepsTheOldFile) {
    test::TempDir dir;
    test::RecordingUi ui;
    const std::string path = dir.Write("track.aiw", std::string("old"));
    ASSERT_TRUE(WriteAiw(ui, Sample(), Dialect::Scgt, path));
    EXPECT_EQ(test::ReadText(path), Crlf(kScgt));

    std::filesystem::create_directory(dir.File("folder.aiw"));
    EXPECT_FALSE(WriteAiw(ui, Sample(), Dialect::Scgt, dir.File("folder.aiw")));
    EXPECT_FALSE(WriteAiw(ui, Sample(), Dialect::Scgt, dir.File("no/such/folder.aiw")));
    ASSERT_EQ(ui.Messages.size(), 2u);
    EXPECT_EQ(ui.Messages[0].Title, "Save Error");
    EXPECT_EQ(ui.Messages[0].Text, "Can't save AIW File");
    EXPECT_EQ(ui.BusyDepth, 0);
}

} // namespace
} // namespace zv::waypoints
