#include "TextureTestSupport.h"

namespace zv::test {
namespace {

using textures::LoadRawTexture;

class RawTextureTest : public TextureTest {
protected:
    // A RAW file whose pixel i holds index i mod 256.
    void WriteRaw(const std::string& file, std::size_t length) {
        Bytes b(length);
        for (std::size_t i = 0; i < length; ++i) {
            b[i] = static_cast<std::uint8_t>(i);
        }
        art.Write(file, b);
    }
    std::string ArtFile(const std::string& name) const { return art.File(name); }
};

TEST_F(RawTextureTest, TheTwoLengthsGiveTheirSizesAndAnyOtherIsRefusedEvenWithWarningsOff) {
    WriteRaw("small.raw", 4096);
    WriteRaw("big.raw", 65536);
    WriteRaw("odd.raw", 4097);
    art.Write("metalcr2.act", MakePalette(IndexColour));
    ws->Settings.ShowTextureErrors = false;

    EXPECT_TRUE(LoadRawTexture(Scope(), "small", 0));
    EXPECT_TRUE(LoadRawTexture(Scope(), "big", 1));
    EXPECT_FALSE(LoadRawTexture(Scope(), "odd", 2));

    const auto& e = Table().TexTable;
    EXPECT_EQ(e[0].Width, 64);
    EXPECT_EQ(e[0].Height, 64);
    EXPECT_EQ(e[0].Slot, 0);
    EXPECT_EQ(e[1].Width, 256);
    EXPECT_EQ(e[1].Slot, 1);
    EXPECT_EQ(Table().TexW[1], 256);
    EXPECT_EQ(Table().TexH[1], 256);
    EXPECT_EQ(e[2].Name, "odd");
    EXPECT_EQ(e[2].Width, textures::kUnloadedSize);
    EXPECT_EQ(e[2].Slot, -1);
    EXPECT_EQ(Table().TexLoadCount, 2);
    // Row 1 of the 64-wide image starts at file byte 64.
    EXPECT_EQ(PixelAt(0, 0, 1), (Rgba{64, 191, 32, 255}));
    EXPECT_EQ(PixelAt(1, 255, 255), (Rgba{255, 0, 127, 255}));

    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Wrong Texture Size! Can't load");
    EXPECT_EQ(ui.Messages[0].Text, model::UpperAscii(ArtFile("odd.raw")));
    EXPECT_EQ(ui.TextureList, (std::vector<std::string>{"small", "big", "Not found: odd"}));
}

TEST_F(RawTextureTest, MissingFileIsToldOnlyWithWarningsOn) {
    for (const bool warn : {true, false}) {
        ui.Messages.clear();
        ws->Settings.ShowTextureErrors = warn;
        EXPECT_FALSE(LoadRawTexture(Scope(), "gone", 0));
        EXPECT_EQ(Table().TexTable[0].Slot, -1);
        if (warn) {
            ASSERT_EQ(ui.Messages.size(), 1u);
            EXPECT_EQ(ui.Messages[0].Title, "Texture not found");
            EXPECT_EQ(ui.Messages[0].Text, model::UpperAscii(ArtFile("gone.raw")));
        } else {
            EXPECT_TRUE(ui.Messages.empty());
        }
    }
    EXPECT_EQ(ui.TextureList, (std::vector<std::string>{"Not found: gone", "Not found: gone"}));
    EXPECT_EQ(Table().TexLoadCount, -1);
}

TEST_F(RawTextureTest, PaletteComesFromTheOwnFileThenTheSharedOneThenBlack) {
    WriteRaw("a.raw", 4096);
    const Rgb own{1, 2, 3}, shared{7, 8, 9};
    art.Write("a.act", MakePalette([&](int) { return own; }, 800)); // bytes after 768 are ignored
    art.Write("metalcr2.act", MakePalette([&](int) { return shared; }));

    ASSERT_TRUE(LoadRawTexture(Scope(), "a", 0));
    EXPECT_EQ(PixelAt(0, 5, 0), (Rgba{1, 2, 3, 255}));
    EXPECT_TRUE(ui.Messages.empty());

    // One byte short is no palette at all.
    art.Write("a.act", MakePalette([&](int) { return own; }, 767));
    ASSERT_TRUE(LoadRawTexture(Scope(), "a", 1));
    EXPECT_EQ(PixelAt(1, 5, 0), (Rgba{7, 8, 9, 255}));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Palette-File not found");
    EXPECT_EQ(ui.Messages[0].Text, model::UpperAscii(ArtFile("a.act")) + "\rMetalcr2.act will be used !");

    ui.Messages.clear();
    std::filesystem::remove(art.File("metalcr2.act"));
    ASSERT_TRUE(LoadRawTexture(Scope(), "a", 2));
    EXPECT_EQ(PixelAt(2, 5, 0), (Rgba{0, 0, 0, 255}));
    ASSERT_EQ(ui.Messages.size(), 2u);
    EXPECT_EQ(ui.Messages[1].Title, "Palette-File not found");
    EXPECT_EQ(ui.Messages[1].Text, model::UpperAscii(ArtFile("metalcr2.act")));

    ui.Messages.clear();
    ws->Settings.ShowTextureErrors = false;
    ASSERT_TRUE(LoadRawTexture(Scope(), "a", 3));
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(RawTextureTest, OnlyExactMagentaIsTransparent) {
    Bytes raw(4096, 0);
    raw[1] = 1;
    raw[2] = 2;
    art.Write("k.raw", raw);
    art.Write("k.act", MakePalette([](int i) {
                  return i == 1 ? Rgb{255, 0, 255} : i == 2 ? Rgb{255, 0, 254} : Rgb{255, 1, 255};
              }));
    ASSERT_TRUE(LoadRawTexture(Scope(), "k", 0));
    EXPECT_EQ(PixelAt(0, 1, 0), (Rgba{255, 0, 255, 0}));
    EXPECT_EQ(PixelAt(0, 2, 0), (Rgba{255, 0, 254, 255}));
    EXPECT_EQ(PixelAt(0, 0, 0), (Rgba{255, 1, 255, 255}));
}

TEST_F(RawTextureTest, FilesAreFoundWhateverTheirLetterCase) {
    WriteRaw("ROAD.RAW", 4096);
    art.Write("Road.Act", MakePalette([](int) { return Rgb{4, 5, 6}; }));
    ASSERT_TRUE(LoadRawTexture(Scope(), "road", 0));
    EXPECT_EQ(PixelAt(0, 0, 0), (Rgba{4, 5, 6, 255}));
    EXPECT_TRUE(ui.Messages.empty());

    WriteRaw("grass.raw", 4096);
    art.Write("METALCR2.ACT", MakePalette([](int) { return Rgb{9, 9, 9}; }));
    ws->Settings.ShowTextureErrors = false;
    ASSERT_TRUE(LoadRawTexture(Scope(), "GRASS", 1));
    EXPECT_EQ(PixelAt(1, 0, 0), (Rgba{9, 9, 9, 255}));
}

TEST_F(RawTextureTest, StatusTextsAndBusyPointerWhileLoading) {
    WriteRaw("s.raw", 4096);
    art.Write("s.act", MakePalette(IndexColour));
    ASSERT_TRUE(LoadRawTexture(Scope(), "s", 0));
    EXPECT_EQ(ui.Progress, (std::vector<std::string>{"Loading Palette  s", "Loading Texture  s.RAW", ""}));
    EXPECT_EQ(ui.BusyCalls, 1);
}

TEST_F(RawTextureTest, TheSampleFileLoadsWithAPaletteMadeHere) {
    const Bytes sample = ReadBytes(ZV_SOURCE_DIR "/tests/data/jtrfp_test.RAW");
    ASSERT_EQ(sample.size(), 65536u);
    art.Write("jtrfp_test.RAW", sample);
    art.Write("jtrfp_test.act", MakePalette(IndexColour));
    ASSERT_TRUE(LoadRawTexture(Scope(), "jtrfp_test", 0));
    ASSERT_EQ(Table().TexTable[0].Width, 256);
    for (int y = 0; y < 256; y += 17) {
        for (int x = 0; x < 256; x += 5) {
            const Rgb c = IndexColour(sample[static_cast<std::size_t>(y * 256 + x)]);
            ASSERT_EQ(PixelAt(0, x, y), (Rgba{c.R, c.G, c.B, 255})) << x << ", " << y;
        }
    }
}

} // namespace
} // namespace zv::test
