#include "CliRun.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace zv::cli {
namespace {

// A closed square of side 25 as a path file.
std::string SquarePath(const test::TempDir& dir) {
    const std::string path = dir.File("square.zvp");
    std::ofstream(path, std::ios::binary) << "number_points=4\r\nPointPos=(0,0,0)\r\nPointPos=(25,0,0)\r\n"
                                             "PointPos=(25,0,25)\r\nPointPos=(0,0,25)\r\n";
    return path;
}

TEST(CliTrack, SavesTheTrackAndItsParts) {
    test::TempDir dir;
    const std::string path = SquarePath(dir);
    const std::string vrl = dir.File("track.vrl");
    const std::string parts = dir.File("parts");
    const CliResult r = Cli({"track", "--textures", "a,b,c,d,e,f,g,h,i,j,k", "--parts", parts, path, vrl});
    ASSERT_EQ(r.Status, kOk) << r.Err;
    const CliResult info = Cli({"info", vrl});
    ASSERT_EQ(info.Status, kOk) << info.Err;
    EXPECT_NE(info.Out.find("v: 64  p: 60"), std::string::npos) << info.Out;
    EXPECT_NE(info.Out.find("Textures: 11\nF\nG\nE\nD\nCONCRI"), std::string::npos) << info.Out;
    for (const char* name : {"TRAK000", "TRAK001", "SIDR000", "SIDR001", "SIDL000", "SIDL001"}) {
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(parts) / (std::string(name) + ".VRL")))
            << name;
    }

    const std::string bin = dir.File("track.bin");
    ASSERT_EQ(Cli({"track", "--split", "1000", "--widths", "1,1,1,1,1,2,1,1,1,1,1", path, bin}).Status, kOk);
    const CliResult binInfo = Cli({"info", bin});
    EXPECT_NE(binInfo.Out.find("v: 64  p: 60"), std::string::npos) << binInfo.Out;
}

TEST(CliTrack, RefusesBadInput) {
    test::TempDir dir;
    const std::string path = SquarePath(dir);
    const std::string out = dir.File("track.vrl");
    EXPECT_EQ(Cli({"track", path}).Status, kBadUsage);
    EXPECT_EQ(Cli({"track", path, dir.File("track.txt")}).Status, kBadUsage);
    EXPECT_EQ(Cli({"track", "--widths", "1,2,3", path, out}).Status, kBadUsage);
    EXPECT_EQ(Cli({"track", "--split", "x", path, out}).Status, kBadUsage);
    EXPECT_EQ(Cli({"track", "--textures", "a,,c,d,e,f,g,h,i,j,k", path, out}).Status, kBadUsage);

    const CliResult nan = Cli({"track", "--widths", "1,1,1,1,1,nan,1,1,1,1,1", path, out});
    EXPECT_EQ(nan.Status, kFailed);
    EXPECT_NE(nan.Err.find("Create Track: "), std::string::npos) << nan.Err;
    EXPECT_FALSE(std::filesystem::exists(out));

    const std::string one = dir.File("one.zvp");
    std::ofstream(one, std::ios::binary) << "number_points=1\r\nPointPos=(0,0,0)\r\n";
    EXPECT_EQ(Cli({"track", one, out}).Status, kFailed);
    EXPECT_EQ(Cli({"track", dir.File("missing.zvp"), out}).Status, kFailed);
}

} // namespace
} // namespace zv::cli
