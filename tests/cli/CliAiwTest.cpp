#include "CliRun.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>

namespace zv::cli {
namespace {

const std::string kScgtAiw = ZV_SOURCE_DIR "/fuzz/corpus/aiw/scgt.aiw";
const std::string kF1csAiw = ZV_SOURCE_DIR "/fuzz/corpus/aiw/f1cs.aiw";

TEST(CliAiw, DumpPrintsTheTablesAsJson) {
    const CliResult r = Cli({"aiw", "dump", kF1csAiw});
    ASSERT_EQ(r.Status, kOk) << r.Err;
    const auto doc = nlohmann::json::parse(r.Out);
    EXPECT_EQ(doc["lap_length"], 4321.5);
    ASSERT_EQ(doc["slots"].size(), 2u);
    EXPECT_EQ(doc["slots"][0]["AVPitPos"], nlohmann::json::parse("[10, 0, -3.125]"));
    ASSERT_EQ(doc["waypoints"].size(), 2u);
    const auto& w = doc["waypoints"][0];
    EXPECT_EQ(w["ori"][0].get<float>(), 0.1f); // the shortest text of the float, not of a double
    EXPECT_EQ(w["opt"][1].get<float>(), 1e-5f);
    EXPECT_EQ(w["depth"], "808080");
    EXPECT_EQ(w["ptrs"], nlohmann::json::parse("[1, 1, -1, -2]"));
    EXPECT_EQ(w["marks"], -4);

    const CliResult missing = Cli({"aiw", "dump", "/no/such.aiw"});
    EXPECT_EQ(missing.Status, kFailed);
    EXPECT_NE(missing.Err.find("Open AIW-File Error"), std::string::npos);
}

TEST(CliAiw, ConvertKeepsTheDialectUnlessTold) {
    test::TempDir dir;
    const std::string out = dir.File("out.aiw");
    for (const std::string& in : {kScgtAiw, kF1csAiw}) {
        ASSERT_EQ(Cli({"aiw", "convert", in, out}).Status, kOk);
        EXPECT_EQ(test::ReadBytes(out), test::ReadBytes(in));
    }
    ASSERT_EQ(Cli({"aiw", "convert", "--to", "f1cs", kScgtAiw, out}).Status, kOk);
    const std::string f1 = test::ReadText(out);
    EXPECT_NE(f1.find("wp_depth=808080\r\nwp_key=(0)\r\nwp_marks=(0)\r\nwp_events=(0)\r\nwp_ptrs"),
              std::string::npos);
    EXPECT_EQ(f1.find("wp_ins"), std::string::npos);
    EXPECT_EQ(Cli({"aiw", "convert", "--to", "f1", kScgtAiw, out}).Status, kBadUsage);
}

// Every operation is one step: undoing them all writes what was read.
TEST(CliAiw, EditRunsStepsThatUndoBackToTheInput) {
    test::TempDir dir;
    const std::string out = dir.File("out.aiw");
    const std::vector<std::string> ops{"--cur",     "1",     "--insert", "--select", "0-1,2",    "--straight",
                                       "--pitlane", "100,2", "--cur",    "2",        "--reverse"};
    std::vector<std::string> args{"aiw", "edit", kScgtAiw, out};
    args.insert(args.end(), ops.begin(), ops.end());
    const CliResult edited = Cli(args);
    ASSERT_EQ(edited.Status, kOk) << edited.Err;
    EXPECT_NE(
        edited.Out.find("--insert: waypoints: 3  slots: 2  current: 2  selected: 1  changed: waypoints"),
        std::string::npos);
    EXPECT_NE(edited.Out.find("--pitlane 100,2: waypoints: 11"), std::string::npos);
    EXPECT_NE(test::ReadBytes(out), test::ReadBytes(kScgtAiw));

    args.insert(args.end(), {"--undo", "4"});
    ASSERT_EQ(Cli(args).Status, kOk);
    EXPECT_EQ(test::ReadBytes(out), test::ReadBytes(kScgtAiw));
}

TEST(CliAiw, EditFailuresAndBadUsage) {
    test::TempDir dir;
    const std::string out = dir.File("out.aiw");
    // Refused with a message, or given what the file does not have: nothing is written.
    EXPECT_EQ(Cli({"aiw", "edit", kScgtAiw, out, "--straight"}).Status, kFailed);
    EXPECT_EQ(Cli({"aiw", "edit", kScgtAiw, out, "--cur", "2"}).Status, kFailed);
    EXPECT_EQ(Cli({"aiw", "edit", kScgtAiw, out, "--adjust-height", dir.File("none.vrl")}).Status, kFailed);
    EXPECT_FALSE(std::filesystem::exists(out));

    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"aiw"},
                                               {"aiw", "edit", kScgtAiw, out},
                                               {"aiw", "edit", kScgtAiw, out, "--select", "3-1"},
                                               {"aiw", "edit", kScgtAiw, out, "--pitlane", "100"},
                                               {"aiw", "edit", kScgtAiw, out, "--cur"},
                                               {"aiw", "edit", kScgtAiw, "--insert", out},
                                               {"aiw", "convert", kScgtAiw},
                                               {"aiw", "dump", kScgtAiw, "--frob"}}) {
        EXPECT_EQ(Cli(bad).Status, kBadUsage) << bad.size();
    }

    const CliResult moved = Cli({"aiw", "edit", kScgtAiw, out, "--select", "0-1", "--adjust-height", kBox});
    ASSERT_EQ(moved.Status, kOk) << moved.Err;
    EXPECT_NE(test::ReadBytes(out), test::ReadBytes(kScgtAiw));

    // Every waypoint lies nearest to the box, whose one part is named after its file.
    const CliResult named = Cli({"aiw", "edit", kScgtAiw, out, "--calc-ins", kBox});
    ASSERT_EQ(named.Status, kOk) << named.Err;
    EXPECT_NE(test::ReadText(out).find("wp_ins=BOX\r\n"), std::string::npos);
}

// "Get from Path" over the appended paths: a ring of default waypoints, then edited onto a model.
TEST(CliAiw, FromPathMakesARing) {
    test::TempDir dir;
    const std::string three = ZV_SOURCE_DIR "/fuzz/corpus/path/three.zvp";
    const std::string out = dir.File("ring.aiw");
    ASSERT_EQ(Cli({"aiw", "from-path", three, three, out}).Status, kOk);
    const auto doc = nlohmann::json::parse(Cli({"aiw", "dump", out}).Out);
    ASSERT_EQ(doc["waypoints"].size(), 6u);
    EXPECT_EQ(doc["waypoints"][0]["ptrs"], nlohmann::json::parse("[5, 1, -1, -2]"));
    EXPECT_EQ(doc["waypoints"][5]["ptrs"][1], 0);
    EXPECT_EQ(doc["waypoints"][2]["pos"], nlohmann::json::parse("[10, 0, 10]"));
    EXPECT_EQ(test::ReadText(out).find("wp_key"), std::string::npos);
    ASSERT_EQ(Cli({"aiw", "from-path", "--to", "f1cs", three, out}).Status, kOk);
    EXPECT_NE(test::ReadText(out).find("wp_key"), std::string::npos);

    const CliResult moved = Cli({"aiw", "edit", out, out, "--select-all", "--adjust-height", kBox});
    ASSERT_EQ(moved.Status, kOk) << moved.Err;
    EXPECT_NE(moved.Out.find("--select-all: waypoints: 3  slots: 0  current: 0  selected: 3"),
              std::string::npos);

    EXPECT_EQ(Cli({"aiw", "from-path", dir.File("none.zvp"), out}).Status, kFailed);
    EXPECT_EQ(Cli({"aiw", "from-path", out}).Status, kBadUsage);
}

} // namespace
} // namespace zv::cli
