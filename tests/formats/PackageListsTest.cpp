#include "formats/PackageLists.h"

#include "edit/Parts.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace zv::formats {
namespace {

class PackageListsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m->VertCount = 0;
        m->PolyCount = 2;
        m->PolySel[0] = model::kTrue;
    }
    void Parts(int count) {
        for (int g = 0; g < count; ++g) {
            edit::AddPart(*m, ui, "");
        }
        ui = test::RecordingUi{};
    }
    void Textures(std::initializer_list<const char*> names) {
        m->TexCount = 0;
        for (const char* name : names) {
            m->TexName[m->TexCount++] = name;
        }
    }
    std::unique_ptr<model::ModelStore> m = std::make_unique<model::ModelStore>();
    test::RecordingUi ui;
    test::TempDir dir;
};

TEST_F(PackageListsTest, PartsListNamesTheFilesTheRenamedPartsAreSavedAs) {
    Parts(2);
    ui.Inputs.push_back("body");
    edit::RenameParts(*m, ui);
    const std::string path = dir.File("parts.pck");
    ASSERT_TRUE(WritePartsPck(*m, ui, path));
    const std::string expected = " 2 \r\nBODY001.VRL\r\nBODY002.VRL\r\n";
    EXPECT_EQ(test::ReadText(path), expected);
    EXPECT_EQ(PartListClipboardText(*m), expected);
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(PackageListsTest, PartFileNameIsTheNodeTextUpToTheFirstBlank) {
    edit::AddPart(*m, ui, "Wheel.l");
    m->PartNodes.push_back({"nocount", true});
    EXPECT_EQ(PartFileName(*m, 1), "WHEEL.L.VRL");
    EXPECT_EQ(PartFileName(*m, 2), "NOCOUNT.VRL");
    EXPECT_EQ(PartFileName(*m, 3), "");
}

TEST_F(PackageListsTest, WithoutPartsNothingIsWrittenOrShown) {
    const std::string path = dir.File("parts.pck");
    EXPECT_FALSE(WritePartsPck(*m, ui, path));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_EQ(PartListClipboardText(*m), " 0 \r\n");
}

TEST_F(PackageListsTest, TextureListHoldsTheCountAndTheBitmapNames) {
    const std::string path = dir.File("tex.pck");
    ASSERT_TRUE(WriteTexturePck(*m, ui, path));
    EXPECT_EQ(test::ReadText(path), " 0 \r\n");
    EXPECT_EQ(TextureListClipboardText(*m), "");

    Textures({"CAR1", "WHEEL"});
    ASSERT_TRUE(WriteTexturePck(*m, ui, path));
    EXPECT_EQ(test::ReadText(path), " 2 \r\nCAR1.BMP\r\nWHEEL.BMP\r\n");
    EXPECT_EQ(TextureListClipboardText(*m), "CAR1.BMP\r\nWHEEL.BMP\r\n");
}

TEST_F(PackageListsTest, FailedSavesAreReportedAndLeaveNothingBehind) {
    Parts(1);
    const std::string file = dir.Write("plain", std::string("keep"));
    const std::string folder = dir.File("folder");
    std::filesystem::create_directory(folder);
    dir.Write("folder/inside", std::string("x"));
    for (const std::string& path : {dir.File("missing/parts.pck"), file + "/parts.pck", folder}) {
        ui = test::RecordingUi{};
        EXPECT_FALSE(WritePartsPck(*m, ui, path)) << path;
        ASSERT_EQ(ui.Messages.size(), 1u) << path;
        EXPECT_EQ(ui.Messages[0].Text, "Can't save parts .pck file");
        EXPECT_EQ(ui.Messages[0].Title, "Save Error");
        EXPECT_EQ(ui.Messages[0].Icon, model::MessageIcon::Warning);

        ui = test::RecordingUi{};
        EXPECT_FALSE(WriteTexturePck(*m, ui, path)) << path;
        ASSERT_EQ(ui.Messages.size(), 1u) << path;
        EXPECT_EQ(ui.Messages[0].Text, "Can't save Texture PCK File");
        EXPECT_EQ(ui.Messages[0].Title, "Save Error");
    }
    EXPECT_EQ(test::ReadText(file), "keep");
    EXPECT_EQ(test::ReadText(folder + "/inside"), "x");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

} // namespace
} // namespace zv::formats
