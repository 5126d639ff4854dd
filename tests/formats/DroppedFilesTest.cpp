#include "formats/DroppedFiles.h"

#include "formats/BinFormat.h"
#include "formats/VrlWriter.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"
#include "workspace/ModelLifecycle.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace zv::formats {
namespace {

const std::string kBox = ZV_SOURCE_DIR "/samples/box.vrl";

class DroppedFilesTest : public ::testing::Test {
protected:
    void SetUp() override { ws->Settings.LoadTexturesOnOpen = false; }
    test::RecordingUi ui;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>(ui);
    test::TempDir dir;
};

TEST_F(DroppedFilesTest, FirstOpensLaterOnesMergeOthersAreSkipped) {
    const std::string a = dir.File("a.vrl"), c = dir.File("c.VRL");
    std::filesystem::copy_file(kBox, a);
    std::filesystem::copy_file(kBox, c);
    const std::string b = dir.Write("b.txt", std::string("not a model"));
    const std::vector<LoadedFile> loaded = LoadDroppedFiles(*ws, {a, b, c}, false);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[1].Path, c);
    EXPECT_EQ(loaded[1].Format->Name, "scgt");
    EXPECT_EQ(ws->Model.PolyCount, 12);
    ASSERT_EQ(ws->Model.PartCount(), 2);
    EXPECT_EQ(ws->Model.PartNodes[1].Text, "c   p:6");
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(DroppedFilesTest, BinFirstThenVrlMerges) {
    ASSERT_EQ(LoadDroppedFiles(*ws, {kBox}, false).size(), 1u);
    const std::string bin = dir.File("box.bin");
    ASSERT_TRUE(WriteBin(*ws, bin));
    NewModel(*ws);
    const std::vector<LoadedFile> loaded = LoadDroppedFiles(*ws, {bin, kBox}, false);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0].Format->Name, "bin");
    EXPECT_EQ(loaded[1].Format->Name, "scgt");
    EXPECT_EQ(ws->Model.PolyCount, 12);
    EXPECT_EQ(ws->Model.VertCount, 16);
}

TEST_F(DroppedFilesTest, NothingLoadableLeavesTheModel) {
    EXPECT_TRUE(LoadDroppedFiles(*ws, {dir.Write("x.obj", std::string("?"))}, true).empty());
    EXPECT_EQ(ws->Model.VertCount, -1);
}

} // namespace
} // namespace zv::formats
