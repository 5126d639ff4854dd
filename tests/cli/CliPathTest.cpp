#include "CliRun.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace zv::cli {
namespace {

const std::string kThree = ZV_SOURCE_DIR "/fuzz/corpus/path/three.zvp";
const std::string kAiw = ZV_SOURCE_DIR "/fuzz/corpus/aiw/scgt.aiw";

TEST(CliPath, DumpAndConvert) {
    const CliResult r = Cli({"path", "dump", kThree});
    ASSERT_EQ(r.Status, kOk) << r.Err;
    EXPECT_EQ(nlohmann::json::parse(r.Out),
              nlohmann::json::parse(R"({"points": [[0,0,0],[10,0,0],[10,0,10]]})"));

    test::TempDir dir;
    const std::string out = dir.File("out.zvp");
    ASSERT_EQ(Cli({"path", "convert", kThree, out}).Status, kOk);
    EXPECT_EQ(test::ReadBytes(out), test::ReadBytes(kThree));
    ASSERT_EQ(Cli({"path", "convert", kThree, kThree, out}).Status, kOk);
    EXPECT_EQ(test::ReadText(out).substr(0, 17), "number_points=6\r\n");

    const CliResult missing = Cli({"path", "dump", "/no/such.zvp"});
    EXPECT_EQ(missing.Status, kFailed);
    EXPECT_NE(missing.Err.find("Can't read Path File"), std::string::npos);
    EXPECT_EQ(Cli({"path", "convert", kThree}).Status, kBadUsage);
    EXPECT_EQ(Cli({"path", "dump", "--cur", "1", kThree}).Status, kBadUsage);
}

TEST(CliPath, FromAiwTakesWaypointsUpToCur) {
    test::TempDir dir;
    const std::string out = dir.File("line.zvp");
    ASSERT_EQ(Cli({"path", "from-aiw", kAiw, out}).Status, kOk);
    EXPECT_EQ(test::ReadText(out),
              "number_points=2\r\nPointPos=(100.25,-3,.5)\r\nPointPos=(0,1234.5679,2)\r\n");
    const CliResult one = Cli({"path", "from-aiw", "--cur", "0", kAiw, out});
    EXPECT_EQ(one.Status, kFailed);
    EXPECT_FALSE(one.Err.empty());
    EXPECT_EQ(Cli({"path", "from-aiw", "--cur", "2", kAiw, out}).Status, kFailed);
    EXPECT_EQ(Cli({"path", "from-aiw", "--cur", "x", kAiw, out}).Status, kBadUsage);
}

} // namespace
} // namespace zv::cli
