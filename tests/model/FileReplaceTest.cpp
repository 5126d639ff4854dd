// Saving through the safe replacement: links are written through, and what is no regular file
// is never replaced.

#include "model/FileReplace.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zv::model {
namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(FileReplaceTest, ALinkIsSavedThroughAndStaysALink) {
    test::TempDir dir;
    const std::string target = dir.Write("real.vrl", std::string("old"));
    const std::string link = dir.File("link.vrl");
    std::filesystem::create_symlink("real.vrl", link);
    EXPECT_EQ(ReplaceFile(link, "new"), std::nullopt);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(Read(target), "new");

    // A dangling link gets its target created.
    const std::string dangling = dir.File("dangling.vrl");
    std::filesystem::create_symlink("made.vrl", dangling);
    EXPECT_EQ(ReplaceFile(dangling, "made"), std::nullopt);
    EXPECT_TRUE(std::filesystem::is_symlink(dangling));
    EXPECT_EQ(Read(dir.File("made.vrl")), "made");
}

TEST(FileReplaceTest, WhatIsNoRegularFileIsNeverReplaced) {
    test::TempDir dir;
    const std::string folder = dir.File("folder.vrl");
    std::filesystem::create_directory(folder);
    EXPECT_EQ(ReplaceFile(folder, "x"), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(folder));

    EXPECT_EQ(ReplaceFile("/dev/null", "x"), 1u);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));

    const std::string loop = dir.File("loop.vrl");
    std::filesystem::create_symlink("loop.vrl", loop);
    EXPECT_EQ(ReplaceFile(loop, "x"), 1u);
    EXPECT_TRUE(std::filesystem::is_symlink(loop));
}

} // namespace
} // namespace zv::model
