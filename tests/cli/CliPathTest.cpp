#include "CliRun.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>

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

// Every --toward repeats the builder's drag step until less than a piece is left; --piece
// changes the length of the steps after it.
TEST(CliPath, BuildDrawsWithTheBuilderSteps) {
    test::TempDir dir;
    const std::string out = dir.File("drawn.zvp");
    const CliResult r = Cli({"path", "build", "--start", "0,0", "--toward", "41,0", "--piece", "5",
                             "--toward", "40,12", "--point", "30,10", out});
    ASSERT_EQ(r.Status, kOk) << r.Err;
    const auto points = nlohmann::json::parse(Cli({"path", "dump", out}).Out)["points"];
    const std::vector<std::array<float, 2>> expected{{0, 0},  {8, 0},  {16, 0},  {24, 0}, {32, 0},
                                                     {40, 0}, {40, 5}, {40, 10}, {30, 10}};
    ASSERT_EQ(points.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(points[i][0].get<float>(), expected[i][0], 1e-3) << i;
        EXPECT_EQ(points[i][1].get<float>(), 0.0f) << i;
        EXPECT_NEAR(points[i][2].get<float>(), expected[i][1], 1e-3) << i;
    }

    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"path", "build", out},
                                               {"path", "build", "--toward", "1,1", "--start", "0,0", out},
                                               {"path", "build", "--start", "0,0", "--piece", "0", out},
                                               {"path", "build", "--start", "0", out},
                                               {"path", "build", "--start", "0,0", "--toward", "inf,0", out},
                                               {"path", "build", "--piece", "4", out},
                                               {"path", "convert", "--start", "0,0", out}}) {
        EXPECT_EQ(Cli(bad).Status, kBadUsage) << bad[2];
    }
}

} // namespace
} // namespace zv::cli
