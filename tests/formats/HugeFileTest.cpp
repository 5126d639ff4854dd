// A file far larger than any legal model is refused before it is read, with the format's read
// error, and the model is left as a failed open leaves it.

#include "formats/BinFormat.h"
#include "formats/VrlReader.h"

#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

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

} // namespace
} // namespace zv::formats
