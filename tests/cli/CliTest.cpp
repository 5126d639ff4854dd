#include "CliRun.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>

namespace zv::cli {
namespace {

TEST(CliInfo, PrintsTitleReportPartsAndTextures) {
    const CliResult r = Cli({"info", kBox});
    ASSERT_EQ(r.Status, kOk) << r.Err;
    const std::string rule(66, '-');
    const std::string expected =
        "ZV0.681 [ box.vrl ]    v: 8  p: 6\n"
        "General:\n" +
        rule + "\nVertices: 8\nPolygons: 6\nTextures: 2\nLoaded Textures: 0\n\nSize:\n" + rule +
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

    r = Cli({"info", "--format", "scgt", "a.vr"}); // too short to be a model path: the core ignores it
    EXPECT_EQ(r.Status, kFailed);
    EXPECT_NE(r.Err.find("cannot read 'a.vr'"), std::string::npos);
}

TEST(CliUsage, BadUsageExitsWithTwo) {
    EXPECT_EQ(Cli({}).Status, kBadUsage);
    EXPECT_EQ(Cli({"convert"}).Status, kBadUsage);
    EXPECT_EQ(Cli({"info"}).Status, kBadUsage);
    EXPECT_EQ(Cli({"info", "--frobnicate", kBox}).Status, kBadUsage);
    EXPECT_EQ(Cli({"info", "--format", "obj", kBox}).Status, kBadUsage);
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
    EXPECT_EQ(p0["corners"][0], nlohmann::json({3, 0.0, 0.0}));
    EXPECT_EQ(p0["corners"][3], nlohmann::json({0, 0.0, 1.0}));
    EXPECT_EQ(p0["color"], nlohmann::json({220, 140, 60, 0}));
    EXPECT_EQ(p0["tex"], 0);
    EXPECT_EQ(doc["textures"], nlohmann::json({"BOXSIDE", "BOXEND"}));
    EXPECT_EQ(doc["parts"][0]["name"], "box");
    EXPECT_EQ(doc["parts"][0]["members"], nlohmann::json({0, 1, 2, 3, 4, 5}));
}

TEST(CliDump, PartNamesFromUtf8FileNamesAreNotEncodedTwice) {
    test::TempDir dir;
    const std::string named = dir.File("M\xC3\xB6" "del.vrl"); // "Mödel" in UTF-8
    std::filesystem::copy_file(kBox, named);
    const CliResult r = Cli({"dump", named});
    ASSERT_EQ(r.Status, kOk) << r.Err;
    EXPECT_EQ(nlohmann::json::parse(r.Out)["parts"][0]["name"], "M\xC3\xB6" "del");
}

TEST(CliConvert, ScgtToF1AndBack) {
    test::TempDir dir;
    const std::string f1 = dir.File("box_f1.vrl"), back = dir.File("back.vrl");
    ASSERT_EQ(Cli({"convert", "--to", "f1", kBox, f1}).Status, kOk);
    // The F1 2000 writer upper-cases the file name.
    ASSERT_TRUE(std::filesystem::exists(dir.File("BOX_F1.VRL")));
    const CliResult r = Cli({"convert", "--from", "f1", dir.File("BOX_F1.VRL"), back});
    ASSERT_EQ(r.Status, kOk) << r.Err;
    const auto original = nlohmann::json::parse(Cli({"dump", kBox}).Out);
    const auto converted = nlohmann::json::parse(Cli({"dump", back}).Out);
    EXPECT_EQ(converted["vertices"], original["vertices"]);
    EXPECT_EQ(converted["polygons"], original["polygons"]);
    EXPECT_EQ(converted["textures"], original["textures"]);
}

TEST(CliConvert, VrlToBinAndBack) {
    test::TempDir dir;
    const std::string bin = dir.File("box.bin"), back = dir.File("back.vrl");
    CliResult r = Cli({"convert", kBox, bin});
    ASSERT_EQ(r.Status, kOk) << r.Err;
    r = Cli({"convert", bin, back});
    ASSERT_EQ(r.Status, kOk) << r.Err;
    const auto original = nlohmann::json::parse(Cli({"dump", kBox}).Out);
    const auto converted = nlohmann::json::parse(Cli({"dump", back}).Out);
    ASSERT_EQ(converted["polygons"].size(), original["polygons"].size());
    EXPECT_EQ(converted["textures"], original["textures"]);
    // A BIN file opens larger by 1024 * 0.3048 / 256.
    const double grow = 1024 * 0.3048 / 256;
    const double x = original["vertices"][1][0].get<double>();
    EXPECT_NEAR(converted["vertices"][1][0].get<double>(), x * grow, 1e-5);
}

TEST(CliConvert, FormatsComeFromOptionsOrExtensions) {
    test::TempDir dir;
    EXPECT_EQ(Cli({"convert", kBox, dir.File("box.zzz")}).Status, kBadUsage);
    EXPECT_EQ(Cli({"convert", "--to", "scgt", kBox, dir.File("box.obj")}).Status, kOk);
    EXPECT_EQ(Cli({"convert", kBox}).Status, kBadUsage);
    const CliResult r = Cli({"convert", kBox, dir.File("missing/box.vrl")});
    EXPECT_EQ(r.Status, kFailed);
    EXPECT_NE(r.Err.find("  Vrl Save Error: Error at Filepos. 1"), std::string::npos);
}

TEST(CliParts, EveryPartIntoAFolder) {
    test::TempDir dir;
    const std::string merged = dir.File("twice.vrl");
    ASSERT_EQ(Cli({"convert", kBox, merged}).Status, kOk);
    const std::string out = dir.File("parts");
    const CliResult r = Cli({"parts", "--to", "f1", kBox, out});
    ASSERT_EQ(r.Status, kOk) << r.Err;
    EXPECT_TRUE(std::filesystem::exists(out + "/BOX.VRL"));
    const CliResult info = Cli({"info", "--format", "f1", out + "/BOX.VRL"});
    EXPECT_NE(info.Out.find("v: 8  p: 6"), std::string::npos);
    EXPECT_EQ(Cli({"parts", "--to", "bin", kBox, out}).Status, kBadUsage);
}

} // namespace
} // namespace zv::cli

namespace zv::cli {
namespace {

TEST(CliFormats, EveryFormatOfTheTableIsNamedAndChosen) {
    const CliResult list = Cli({"formats"});
    ASSERT_EQ(list.Status, kOk);
    EXPECT_NE(list.Out.find("nrobj      read         .obj"), std::string::npos);
    const std::string model = ZV_SOURCE_DIR "/fuzz/corpus/nascar/model.obj";
    // ".obj" decides nothing: the format must be named.
    EXPECT_EQ(Cli({"info", model}).Status, kBadUsage);
    const CliResult info = Cli({"info", "--format", "nrobj", model});
    ASSERT_EQ(info.Status, kOk) << info.Err;
    EXPECT_NE(info.Out.find("Textures: 3\nTex001\n"), std::string::npos);
    EXPECT_EQ(Cli({"convert", "--from", "nrobj", "--to", "nrtrk", model, "x.trk"}).Status, kBadUsage);
    EXPECT_EQ(Cli({"info", "--format", "nrobj", model, model}).Status, kBadUsage) << "no merge";
    EXPECT_NE(Cli({"info", "--help"}).Out.find("scgt, f1, bin, m3d"), std::string::npos);
}

} // namespace
} // namespace zv::cli
