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

// Contents given piece by piece, with zero pages (left as holes) in odd places: at the start,
// across piece boundaries and at the end. What reads back must be exactly what was given.
TEST(FileReplaceTest, PiecesWithZeroPagesReadBackExactly) {
    test::TempDir dir;
    std::string all(4096 * 3, '\0'); // a leading hole
    all += "header";
    all += std::string(4096 * 2 + 100, '\0');
    all += std::string(5000, 'x');
    all += std::string(4096 * 4, '\0'); // a trailing hole
    const std::string path = dir.File("model.vrl");
    for (const std::size_t piece : {std::size_t{1}, std::size_t{777}, std::size_t{4096}, all.size()}) {
        const auto fault = ReplaceFileWith(path, [&](const ChunkSink& sink) {
            for (std::size_t at = 0; at < all.size(); at += piece) {
                if (!sink(std::string_view(all).substr(at, piece))) {
                    return false;
                }
            }
            return true;
        });
        ASSERT_FALSE(fault) << piece;
        EXPECT_EQ(Read(path), all) << "pieces of " << piece;
    }
    // A producer that gives up fails the save at the position it reached; the file stays.
    const auto fault = ReplaceFileWith(path, [](const ChunkSink& sink) { return sink("abc") && false; });
    EXPECT_EQ(fault, std::optional<std::uint64_t>(4));
    EXPECT_EQ(Read(path), all);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << "no temporary left";
}

} // namespace
} // namespace zv::model
