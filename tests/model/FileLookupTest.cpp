#include "model/FileLookup.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace zv::model {
namespace {

TEST(FileLookupTest, FindsTheExactNameFirstThenAnyCaseInTheGivenFolder) {
    test::TempDir dir;
    dir.Write("Road.RAW", std::string("a"));
    dir.Write("road.raw", std::string("b"));
    dir.Write("TRUCK.BIN.INFO", std::string("c"));
    std::filesystem::create_directory(dir.Path() / "Sub");
    dir.Write("Sub/TRUCK.BIN.INFO", std::string("d"));
    std::filesystem::create_directory(dir.Path() / "grass.raw"); // a folder is no match

    EXPECT_EQ(FindFileNoCase(dir.File("road.raw")), dir.File("road.raw"));
    EXPECT_EQ(FindFileNoCase(dir.File("ROAD.raw")), dir.File("Road.RAW")) << "first in byte order";
    EXPECT_EQ(FindFileNoCase(dir.File("truck.bin.info")), dir.File("TRUCK.BIN.INFO"));
    EXPECT_EQ(FindFileNoCase(dir.File("GRASS.RAW")), std::nullopt);
    EXPECT_EQ(FindFileNoCase(dir.File("truck.bin")), std::nullopt);
    EXPECT_EQ(FindFileNoCase(dir.File("sub/TRUCK.BIN.INFO")), std::nullopt) << "the folder is taken as given";
    EXPECT_EQ(FindFileNoCase(dir.File("nofolder/x")), std::nullopt);
    EXPECT_EQ(FindFileNoCase(dir.Path().string() + "/"), std::nullopt);

    // Listed once, the same answers for names in the folder.
    const FolderFiles files(dir.Path().string());
    for (const char* name : {"road.raw", "ROAD.raw", "truck.bin.info", "GRASS.RAW", "truck.bin"}) {
        EXPECT_EQ(files.Find(name), FindFileNoCase(dir.File(name))) << name;
    }
    EXPECT_EQ(files.Find("Sub/TRUCK.BIN.INFO"), std::nullopt) << "never below the folder";
    EXPECT_EQ(files.Find("..\\Road.RAW"), std::nullopt);
    EXPECT_EQ(FolderFiles(dir.File("nofolder")).Find("x"), std::nullopt);
}

} // namespace
} // namespace zv::model
