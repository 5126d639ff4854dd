#include "cli/Cli.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>

namespace zv::cli {
namespace {

const std::string kBox = ZV_SOURCE_DIR "/samples/box.vrl";

struct CliResult {
    int Status;
    std::string Out;
    std::string Err;
};

CliResult Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunCli(args, "", out, err);
    return {status, out.str(), err.str()};
}

TEST(CliInfo, PrintsTitleReportPartsAndTextures) {
    const CliResult r = Cli({"info", kBox});
    ASSERT_EQ(r.Status, kOk) << r.Err;
    const std::string rule(66, '-');
    const std::string expected = "ZV0.681 [ box.vrl ]    v: 8  p: 6\n"
                                 "General:\n" +
                                 rule +
                                 "\nVertices: 8\nPolygons: 6\nTextures: 2\nLoaded Textures: 0\n\nSize:\n" + rule +
                                 "\nMinX: -1.00000000      MaxX: 1.00000000"
                                 "\nMinY: -1.00000000      MaxY: 1.00000000"
                                 "\nMinZ: -2.00000000      MaxZ: 2.00000000\n"
                                 "Parts: 1\nbox   p:6\nTextures: 2\nBOXSIDE\nBOXEND\n";
    EXPECT_EQ(r.Out, expected);
    EXPECT_EQ(r.Err, "");
}

TEST(CliInfo, FurtherFilesAreMerged) {
    const CliResult r = Cli({"info", "--format", "scgt", kBox, kBox});
    ASSERT_EQ(r.Status, kOk) << r.Err;
    EXPECT_NE(r.Out.find("v: 16  p: 12"), std::string::npos);
    EXPECT_NE(r.Out.find("Parts: 2\nbox   p:6\nbox   p:6\nTextures: 2\n"), std::string::npos);
}

TEST(CliInfo, FailedReadsExitWithOneAndTheMessage) {
    CliResult r = Cli({"info", "/nonexistent/car.vrl"});
    EXPECT_EQ(r.Status, kFailed);
    EXPECT_EQ(r.Err, "Vrl-File not found: /NONEXISTENT/CAR.VRL\n");

    test::TempDir dir;
    const std::string bad = dir.Write("bad.vrl", std::string(50, '\0'));
    r = Cli({"info", bad});
    EXPECT_EQ(r.Status, kFailed);
    EXPECT_EQ(r.Err, "  Vrl open error: Error at Filepos. 3D\n");
    EXPECT_EQ(r.Out, "");

    r = Cli({"info", "a.vr"}); // too short to be a model path: the core ignores it
    EXPECT_EQ(r.Status, kFailed);
    EXPECT_NE(r.Err.find("cannot read 'a.vr'"), std::string::npos);
}

TEST(CliUsage, BadUsageExitsWithTwo) {
    EXPECT_EQ(Cli({}).Status, kBadUsage);
    EXPECT_EQ(Cli({"convert"}).Status, kBadUsage);
    EXPECT_EQ(Cli({"info"}).Status, kBadUsage);
    EXPECT_EQ(Cli({"info", "--frobnicate", kBox}).Status, kBadUsage);
    EXPECT_EQ(Cli({"info", "--format", "bin", kBox}).Status, kBadUsage);
    EXPECT_EQ(Cli({"info", "--format"}).Status, kBadUsage);
    EXPECT_EQ(Cli({"dump", kBox, kBox}).Status, kBadUsage);
    const CliResult r = Cli({"info", "--bogus", kBox});
    EXPECT_NE(r.Err.find("unknown option '--bogus'"), std::string::npos);
}

TEST(CliUsage, HelpForTheToolAndEachCommand) {
    for (const auto& args : {std::vector<std::string>{"--help"}, {"info", "--help"}, {"dump", "-h"}}) {
        const CliResult r = Cli(args);
        EXPECT_EQ(r.Status, kOk);
        EXPECT_NE(r.Out.find("usage: zorvane-cli"), std::string::npos);
    }
}

TEST(CliDump, ModelStoreAsJson) {
    const CliResult r = Cli({"dump", kBox});
    ASSERT_EQ(r.Status, kOk) << r.Err;
    const auto doc = nlohmann::json::parse(r.Out);
    ASSERT_EQ(doc["vertices"].size(), 8u);
    EXPECT_EQ(doc["vertices"][0], nlohmann::json({-1.0, -1.0, -2.0}));
    ASSERT_EQ(doc["polygons"].size(), 6u);
    const auto& p0 = doc["polygons"][0];
    // Stored reversed in the file, read back in model order.
    EXPECT_EQ(p0["corners"][0], nlohmann::json({0, 0.0, 1.0}));
    EXPECT_EQ(p0["corners"][3], nlohmann::json({3, 0.0, 0.0}));
    EXPECT_EQ(p0["color"], nlohmann::json({220, 140, 60, 255}));
    EXPECT_EQ(p0["tex"], 0);
    EXPECT_EQ(doc["textures"], nlohmann::json({"BOXSIDE", "BOXEND"}));
    EXPECT_EQ(doc["parts"][0]["name"], "box");
    EXPECT_EQ(doc["parts"][0]["members"], nlohmann::json({0, 1, 2, 3, 4, 5}));
}

} // namespace
} // namespace zv::cli
