#include "TextureTestSupport.h"

#include "textures/BmpCodec.h"

namespace zv::test {
namespace {

using textures::LoadBmpFile;
using textures::LoadBmpTexture;

class BmpTextureTest : public TextureTest {
protected:
    void ExpectSample(int t, bool fiveBitChannels = false) {
        const auto& px = SamplePixels();
        for (int i = 0; i < kSampleWidth * kSampleHeight; ++i) {
            Rgb c = px[static_cast<std::size_t>(i)];
            if (fiveBitChannels) { // the top 5 bits of each channel, stretched to the full range
                const auto cut = [](std::uint8_t v) { return static_cast<std::uint8_t>((v & 0xF8) | v >> 5); };
                c = {cut(c.R), cut(c.G), cut(c.B)};
            }
            const int alpha = c == Rgb{255, 0, 255} ? 0 : 255;
            EXPECT_EQ(PixelAt(t, i % kSampleWidth, i / kSampleWidth), (Rgba{c.R, c.G, c.B, alpha}))
                << "pixel " << i;
        }
    }
};

TEST_F(BmpTextureTest, EveryBitDepthAndEncodingLoadsTopRowFirst) {
    const std::vector<std::pair<std::string, int>> variants{
        {"4", 4}, {"8", 8}, {"24", 24}, {"16", 16}, {"32", 32}, {"rle8", 8}, {"rle4", 4}, {"topdown24", 24}};
    int t = 0;
    for (const auto& [variant, bits] : variants) {
        SCOPED_TRACE(variant);
        const Bytes bmp = SampleBmp(variant);
        ASSERT_GT(bmp.size(), 30u);
        ASSERT_EQ(bmp[28], bits) << "the fixture is not the variant it claims";
        const std::string path = art.Write("v" + variant + ".bmp", bmp);
        ASSERT_EQ(LoadBmpFile(Scope(), path, "V" + variant, t), t);
        EXPECT_EQ(Table().TexTable[t].Width, kSampleWidth);
        EXPECT_EQ(Table().TexTable[t].Height, kSampleHeight);
        ExpectSample(t, variant == "16");
        ++t;
    }
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(BmpTextureTest, OneBitPicturesAndOddWidths) {
    const Bytes bmp = CheckerMonoBmp(9, 3);
    ASSERT_EQ(bmp[28], 1);
    ASSERT_EQ(LoadBmpFile(Scope(), art.Write("mono.bmp", bmp), "MONO", 0), 0);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 9; ++x) {
            const Rgba expected = (x + y) % 2 ? Rgba{255, 0, 255, 0} : Rgba{0, 0, 0, 255};
            EXPECT_EQ(PixelAt(0, x, y), expected) << x << ", " << y;
        }
    }
}

TEST_F(BmpTextureTest, NonSquarePicturesKeepTheirOwnSize) {
    ASSERT_EQ(LoadBmpFile(Scope(), art.Write("wide.bmp", GradientBmp(7, 3)), "WIDE", 4), 0);
    const textures::TexEntry& e = Table().TexTable[4];
    EXPECT_EQ(e.Name, "WIDE");
    EXPECT_EQ(e.Width, 7);
    EXPECT_EQ(e.Height, 3);
    EXPECT_EQ(Table().TexW[4], 7);
    EXPECT_EQ(Table().TexH[4], 3);
    EXPECT_EQ(PixelAt(4, 6, 0), (Rgba{6, 0, 6, 255}));
    EXPECT_EQ(PixelAt(4, 2, 2), (Rgba{2, 2, 4, 255}));
    EXPECT_EQ(ui.TextureList, (std::vector<std::string>{"WIDE"}));
    EXPECT_EQ(ui.Progress, (std::vector<std::string>{"Loading Texture:  wide.bmp", ""}));
}

TEST_F(BmpTextureTest, TheLimitRefusesOnlyWhenTheCountIsGreaterThanMaxTex) {
    const std::string path = art.Write("t.bmp", GradientBmp(2, 2));
    ws->Settings.MaxTex = 2;
    for (int t = 0; t < 3; ++t) {
        ASSERT_EQ(LoadBmpFile(Scope(), path, "T", t), t) << "TexLoadCount " << t;
    }
    EXPECT_EQ(Table().TexLoadCount, 3);
    EXPECT_EQ(LoadBmpFile(Scope(), path, "T", 3), -1);
    EXPECT_EQ(Table().TexTable[3].Slot, -1);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "More than 2 textures. Can't load any more!");
    EXPECT_EQ(ui.Messages[0].Text, model::UpperAscii(path));
    EXPECT_EQ(ui.TextureList, (std::vector<std::string>{"T", "T", "T", "Nl: T"}));

    ui.Messages.clear();
    ws->Settings.ShowTextureErrors = false;
    EXPECT_EQ(LoadBmpFile(Scope(), path, "U", 4), -1);
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_EQ(ui.TextureList.back(), "Nl: U");
}

TEST_F(BmpTextureTest, FoundInTheModelFolderWhateverTheLetterCase) {
    TempDir models;
    models.Write("Road.Bmp", GradientBmp(2, 2));
    models.Write("GRASS.BMP", GradientBmp(4, 2));
    ws->Model.ModelDir = models.Path().string();
    ws->Model.ModelFileName = "track.vrl";
    EXPECT_EQ(LoadBmpTexture(Scope(), "ROAD", 0), 0);
    EXPECT_EQ(LoadBmpTexture(Scope(), "grass", 1), 1);
    EXPECT_EQ(LoadBmpTexture(Scope(), "SKY", 2), -1);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Texture not found");
    EXPECT_EQ(ui.Messages[0].Text, model::UpperAscii(models.File("SKY.BMP")));
    EXPECT_EQ(ui.TextureList, (std::vector<std::string>{"ROAD", "grass", "Nf: SKY"}));
}

TEST_F(BmpTextureTest, BeforeAnyModelTheConfiguredFolderIsUsed) {
    art.Write("sky.bmp", GradientBmp(2, 2));
    ws->Model.ModelDir = "/nowhere";
    EXPECT_EQ(LoadBmpTexture(Scope(), "SKY", 0), 0);
}

TEST_F(BmpTextureTest, BadPicturesFailLikeMissingOnesAndNameTheReason) {
    Bytes truncated = GradientBmp(16, 16);
    truncated.resize(60);
    const std::vector<std::pair<Bytes, std::string>> cases{
        {Bytes{'B', 'M', 1, 2, 3}, "Texture not readable as BMP"},
        {Bytes(200, 0xAB), "Texture not readable as BMP"},
        {truncated, "Texture not readable as BMP"},
        {HeaderOnlyBmp(9000, 4), "Texture too large (over 8192 pixels)"},
        {HeaderOnlyBmp(4, -9000), "Texture too large (over 8192 pixels)"},
        {HeaderOnlyBmp(0, 4), ""},
        {Bytes{}, ""},
    };
    int t = 0;
    for (const auto& [bytes, title] : cases) {
        SCOPED_TRACE(t);
        ui.Messages.clear();
        const std::string path = art.Write("bad" + std::to_string(t) + ".bmp", bytes);
        EXPECT_EQ(LoadBmpFile(Scope(), path, "BAD", t), -1);
        EXPECT_EQ(Table().TexTable[t].Slot, -1);
        EXPECT_EQ(Table().TexTable[t].Width, textures::kUnloadedSize);
        ASSERT_EQ(ui.Messages.size(), 1u);
        if (!title.empty()) {
            EXPECT_EQ(ui.Messages[0].Title, title);
        }
        EXPECT_EQ(ui.Messages[0].Text, model::UpperAscii(path));
        ++t;
    }
    EXPECT_EQ(ui.TextureList, std::vector<std::string>(cases.size(), "Nf: BAD"));
    EXPECT_EQ(Table().TexLoadCount, -1);
    EXPECT_EQ(ui.Progress.back(), "");
}

TEST_F(BmpTextureTest, EveryPixelOfARunLengthPictureIsDefined) {
    // 4 x 3 at 8 bits: a short bottom row, a delta skip over most of the middle row, then the end
    // of the bitmap before the top row. What the runs leave out is transparent black, and two
    // decodes give the same bytes.
    const std::vector<Rgb> table{{10, 20, 30}, {40, 50, 60}};
    const Bytes data{2, 1, 0, 0, 0, 2, 3, 0, 1, 0, 0, 1};
    const Bytes bmp = Dib(4, 3, 8, 1, table, data);
    const textures::DecodedBmp a = textures::DecodeBmp(bmp);
    const textures::DecodedBmp b = textures::DecodeBmp(bmp);
    ASSERT_EQ(a.Fault, textures::BmpFault::None);
    EXPECT_EQ(a.Rgba, b.Rgba);
    const auto at = [&](int x, int y) {
        const std::size_t i = static_cast<std::size_t>(y * 4 + x) * 4;
        return Rgba{a.Rgba[i], a.Rgba[i + 1], a.Rgba[i + 2], a.Rgba[i + 3]};
    };
    EXPECT_EQ(at(0, 2), (Rgba{40, 50, 60, 255})); // the bottom row is the last one
    EXPECT_EQ(at(1, 2), (Rgba{40, 50, 60, 255}));
    EXPECT_EQ(at(2, 2), (Rgba{0, 0, 0, 0}));
    EXPECT_EQ(at(3, 1), (Rgba{10, 20, 30, 255})) << "after the delta of 3 along the middle row";
    EXPECT_EQ(at(0, 1), (Rgba{0, 0, 0, 0}));
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(at(x, 0), (Rgba{0, 0, 0, 0})) << x;
    }
}

TEST_F(BmpTextureTest, IndicesPastAShortPaletteAreBlack) {
    // 8 bits with a two-colour palette, and pixels naming colours 1, 2 and 200; then the same
    // at 4 bits in an OS/2 file with three 3-byte entries.
    const Bytes bmp = Dib(4, 1, 8, 0, {{10, 20, 30}, {40, 50, 60}}, {1, 2, 200, 0});
    const textures::DecodedBmp a = textures::DecodeBmp(bmp);
    ASSERT_EQ(a.Fault, textures::BmpFault::None);
    EXPECT_EQ(a.Rgba, (Bytes{40, 50, 60, 255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 255}));
    EXPECT_EQ(textures::DecodeBmp(bmp).Rgba, a.Rgba);

    Bytes os2{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 35, 0, 0, 0, 12, 0, 0, 0, 3, 0, 1, 0, 1, 0, 4, 0};
    os2.insert(os2.end(), {30, 20, 10, 60, 50, 40, 90, 80, 70});
    os2.insert(os2.end(), {0x2F, 0x10, 0, 0}); // colours 2, 15, 1
    os2[2] = static_cast<std::uint8_t>(os2.size());
    const textures::DecodedBmp b = textures::DecodeBmp(os2);
    ASSERT_EQ(b.Fault, textures::BmpFault::None);
    EXPECT_EQ(b.Rgba, (Bytes{70, 80, 90, 255, 0, 0, 0, 255, 40, 50, 60, 255}));
}

TEST_F(BmpTextureTest, ACutShortOs2PictureIsRefused) {
    // A 12-byte core header: 16-bit sizes, 24 bits, 2 x 2 pixels, but only one row of data.
    Bytes bmp{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 26, 0, 0, 0, 12, 0, 0, 0, 2, 0, 2, 0, 1, 0, 24, 0};
    bmp.insert(bmp.end(), {1, 2, 3, 4, 5, 6, 0, 0});
    bmp[2] = static_cast<std::uint8_t>(bmp.size());
    EXPECT_NE(textures::DecodeBmp(bmp).Fault, textures::BmpFault::None);
    bmp.insert(bmp.end(), {1, 2, 3, 4, 5, 6, 0, 0}); // complete: it loads
    EXPECT_EQ(textures::DecodeBmp(bmp).Fault, textures::BmpFault::None);
}

TEST_F(BmpTextureTest, TextureMemoryIsBoundedAndAFullBudgetRefusesTheNextPicture) {
    // A tiny run-length file that declares 4000 x 4000 pixels asks for 64 MB: refused before
    // anything is allocated when the budget has less room.
    const Bytes huge = Dib(4000, 4000, 8, 1, {{1, 2, 3}}, Bytes{0, 1});
    EXPECT_EQ(textures::DecodeBmp(huge, std::size_t{1} << 20).Fault, textures::BmpFault::NoMemory);

    // The table counts what its images hold; with the budget spent the next picture is refused,
    // reported, and the others stay loaded.
    const std::string sample = art.Write("sample.bmp", SampleBmp("24"));
    ASSERT_EQ(LoadBmpFile(Scope(), sample, "FIRST", 0), 0);
    EXPECT_EQ(Table().ImageBytes, static_cast<std::size_t>(kSampleWidth * kSampleHeight * 4));
    Table().ImageBytes = textures::kMaxTextureMemory - 8;
    EXPECT_EQ(LoadBmpFile(Scope(), sample, "SECOND", 1), -1);
    ASSERT_FALSE(ui.Messages.empty());
    EXPECT_EQ(ui.Messages.back().Title, "Texture memory full (1024 MB)");
    EXPECT_EQ(Table().TexTable[0].Slot, 0);
    textures::ReleaseAll(Table());
    EXPECT_EQ(Table().ImageBytes, 0u);
}

TEST_F(BmpTextureTest, CodecRoundTripWritesTwentyFourBits) {
    std::vector<std::uint8_t> rgba;
    for (int i = 0; i < 5 * 3; ++i) {
        rgba.insert(rgba.end(), {static_cast<std::uint8_t>(i * 10), 255, static_cast<std::uint8_t>(i), 17});
    }
    const std::string bytes = textures::EncodeBmp24(5, 3, rgba);
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes[28], 24);
    const Bytes file(bytes.begin(), bytes.end());
    const textures::DecodedBmp back = textures::DecodeBmp(file);
    ASSERT_EQ(back.Fault, textures::BmpFault::None);
    ASSERT_EQ(back.Width, 5);
    ASSERT_EQ(back.Height, 3);
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        EXPECT_EQ(back.Rgba[i], rgba[i]);
        EXPECT_EQ(back.Rgba[i + 2], rgba[i + 2]);
        EXPECT_EQ(back.Rgba[i + 3], 255) << "the picture's own alpha is not kept";
    }
    EXPECT_TRUE(textures::EncodeBmp24(5, 4, rgba).empty());
}

} // namespace
} // namespace zv::test
