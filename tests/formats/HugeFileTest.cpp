// A file far larger than any legal model is refused before it is read, with the format's read
// error, and the model is left as a failed open leaves it.

#include "formats/BinFormat.h"
#include "formats/FileBytes.h"
#include "formats/VrlReader.h"

#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace zv::formats {
namespace {

TEST(HugeFileTest, AFileBeyondTheLargestLegalModelIsRefusedUnread) {
    test::TempDir dir;
    test::RecordingUi ui;
    Workspace ws{ui};
    ws.Settings.LoadTexturesOnOpen = false;
    // Sparse: 16 GB of holes cost no disk, and reading them would exhaust the memory.
    for (const char* name : {"huge.vrl", "huge.bin"}) {
        const std::string path = dir.Write(name, std::string("x"));
        std::filesystem::resize_file(path, std::uintmax_t{16} << 30);
    }
    EXPECT_FALSE(OpenVrl(ws, dir.File("huge.vrl"), VrlVariant::Scgt));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "  Vrl open error");
    EXPECT_EQ(ui.Messages[0].Text, "Error at Filepos. 1");
    EXPECT_EQ(ws.Model.VertCount, 0);

    EXPECT_FALSE(OpenBin(ws, dir.File("huge.bin")));
    ASSERT_EQ(ui.Messages.size(), 2u);
    EXPECT_EQ(ui.Messages[1].Title, "  bin_open ERROR");
    EXPECT_EQ(ui.Messages[1].Text, "Error at Filepos. 1");
}

TEST(HugeFileTest, OnlyRegularFilesAreReadAndTheirBytesComeBackWhole) {
    test::TempDir dir;
    std::string text(70000, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char>(i * 7 % 251);
    }
    const auto bytes = ReadFileBytes(dir.Write("a.bin", text));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), text);
    EXPECT_FALSE(ReadFileBytes(dir.File("a.bin"), 69999)) << "one byte over the limit";
    const auto empty = ReadFileBytes(dir.Write("empty.bin", ""));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());

    EXPECT_FALSE(ReadFileBytes(dir.Path().string())) << "a folder";
    EXPECT_FALSE(ReadFileBytes(dir.File("missing.bin")));
    // A named pipe without a writer would block a reader that waits on it.
    const std::string fifo = dir.File("pipe.vrl");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ReadFileBytes(fifo));
}

TEST(HugeFileTest, AMappedFileCutShortWhileReadGivesZerosAndSaysSo) {
    test::TempDir dir;
    const std::string path = dir.Write("big.vrl", std::string(1 << 20, 'v'));
    const auto bytes = ReadFileBytes(path);
    ASSERT_TRUE(bytes);
    EXPECT_FALSE(bytes->Changed());
    std::filesystem::resize_file(path, 100);
    EXPECT_EQ((*bytes)[50], 'v');
    EXPECT_EQ((*bytes)[(1 << 20) - 1], 0) << "past the new end";
    EXPECT_EQ((*bytes)[600000], 0);
    EXPECT_TRUE(bytes->Changed());
    const auto again = ReadFileBytes(path);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->size(), 100u);
    EXPECT_FALSE(again->Changed());
}

} // namespace
} // namespace zv::formats
