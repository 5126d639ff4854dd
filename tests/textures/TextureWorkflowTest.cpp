#include "TextureTestSupport.h"

#include "cli/Cli.h"
#include "formats/BinFormat.h"
#include "formats/VrlReader.h"
#include "tests/support/VrlBuilder.h"
#include "textures/BmpCodec.h"

#include <filesystem>
#include <sstream>

namespace zv::test {
namespace {

using formats::VrlVariant;

// Records what the renderer would be given.
class RecordingSink : public textures::TextureSink {
public:
    void Upload(int t, int width, int height, std::span<const std::uint8_t> rgba) override {
        Uploads.push_back({t, width, height, std::vector<std::uint8_t>(rgba.begin(), rgba.end())});
    }
    void ReleaseAll() override { ++Releases; }
    struct Call {
        int T, Width, Height;
        std::vector<std::uint8_t> Rgba;
    };
    std::vector<Call> Uploads;
    int Releases = 0;
};

VrlFileModel Triangles(const std::vector<std::string>& names) {
    VrlFileModel m;
    m.Vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    for (std::size_t t = 0; t < names.size(); ++t) {
        VrlPolygon p;
        p.Corners = {{0}, {1}, {2}};
        p.Texture = static_cast<std::int32_t>(t);
        m.Polygons.push_back(p);
    }
    m.TextureNames = names;
    return m;
}

class TextureWorkflowTest : public TextureTest {};

TEST_F(TextureWorkflowTest, OpeningAVrlLoadsTheBitmapsBesideItAndGoesOnAfterAFailure) {
    TempDir models;
    models.Write("ROAD.bmp", GradientBmp(8, 4));
    models.Write("Grass.BMP", GradientBmp(2, 2));
    models.Write("broken.bmp", Bytes(100, 1));
    const std::string path =
        models.Write("track.vrl", BuildVrl(Triangles({"road", "broken", "sky", "grass"}), VrlVariant::Scgt));
    ASSERT_TRUE(formats::OpenVrl(*ws, path, VrlVariant::Scgt));

    const auto& e = Table().TexTable;
    EXPECT_EQ(e[0].Name, "ROAD");
    EXPECT_EQ(e[0].Width, 8);
    EXPECT_EQ(e[0].Height, 4);
    EXPECT_EQ(e[0].Slot, 0);
    EXPECT_EQ(e[1].Slot, -1);
    EXPECT_EQ(e[1].Width, textures::kUnloadedSize);
    EXPECT_EQ(e[2].Slot, -1);
    EXPECT_EQ(e[3].Slot, 1);
    EXPECT_EQ(Table().TexLoadCount, 2);
    EXPECT_EQ(ui.TextureList, (std::vector<std::string>{"ROAD", "Nf: BROKEN", "Nf: SKY", "GRASS"}));
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Texture not readable as BMP", "Texture not found"}));

    // Merging the same file adds no names, so nothing more is loaded.
    ASSERT_TRUE(formats::MergeVrl(*ws, path, VrlVariant::Scgt));
    EXPECT_EQ(ui.TextureList.size(), 4u);

    // A new open starts from empty slots again.
    ASSERT_TRUE(formats::OpenVrl(*ws, path, VrlVariant::Scgt));
    EXPECT_EQ(Table().TexLoadCount, 2);
    EXPECT_EQ(ui.TextureList.size(), 4u);
}

TEST_F(TextureWorkflowTest, ATextureNameNeverLeadsOutOfTheModelsFolder) {
    TempDir root;
    root.Write("OUTSIDE.BMP", GradientBmp(2, 2)); // beside the model's folder, not in it
    std::filesystem::create_directories(root.File("models"));
    const std::string path =
        root.Write("models/track.vrl", BuildVrl(Triangles({"../OUTSIDE"}), VrlVariant::Scgt));
    ASSERT_TRUE(formats::OpenVrl(*ws, path, VrlVariant::Scgt));
    EXPECT_EQ(Table().TexTable[0].Slot, -1);
    EXPECT_EQ(ui.TextureList, (std::vector<std::string>{"Nf: ../OUTSIDE"}));
}

TEST_F(TextureWorkflowTest, WithLoadingOffEveryTextureIsListedAsNotLoaded) {
    TempDir models;
    models.Write("ROAD.bmp", GradientBmp(8, 4));
    ws->Settings.LoadTexturesOnOpen = false;
    const std::string path = models.Write("t.vrl", BuildVrl(Triangles({"road", "sky"}), VrlVariant::F1_2000));
    ASSERT_TRUE(formats::OpenVrl(*ws, path, VrlVariant::F1_2000));
    EXPECT_EQ(ui.TextureList, (std::vector<std::string>{"Nl: ROAD", "Nl: SKY"}));
    EXPECT_EQ(Table().TexTable[0].Name, "ROAD");
    EXPECT_EQ(Table().TexTable[0].Width, 4);
    EXPECT_EQ(Table().TexTable[0].Slot, -1);
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(TextureWorkflowTest, BinModelsTakeRawTexturesFromTheArtFolder) {
    AddVertex(ws->Model, 0, 0, 0);
    AddVertex(ws->Model, 1, 0, 0);
    AddVertex(ws->Model, 0, 1, 0);
    AddTexture(ws->Model, "Wheel");
    AddTexture(ws->Model, "Body");
    AddPolygon(ws->Model, {{0}, {1}, {2}}, 0, 5);
    AddPolygon(ws->Model, {{2}, {1}, {0}}, 1, 5);
    TempDir models;
    const std::string path = models.File("truck.bin");
    ASSERT_TRUE(formats::WriteBin(*ws, path));

    art.Write("WHEEL.RAW", Bytes(4096, 3));
    art.Write("metalcr2.act", MakePalette(IndexColour));
    RecordingUi ui2;
    Workspace back{ui2};
    back.Settings.Mtm2ArtPath = art.Path().string();
    back.Settings.ShowTextureErrors = false;
    ASSERT_TRUE(formats::OpenBin(back, path));
    EXPECT_EQ(ui2.TextureList, (std::vector<std::string>{"Wheel", "Not found: Body"}));
    EXPECT_EQ(back.Textures.TexTable[0].Width, 64);
    EXPECT_EQ(back.Textures.TexTable[1].Slot, -1);
    EXPECT_EQ(back.Textures.TexTable[1].Width, textures::kUnloadedSize);

    ASSERT_TRUE(formats::MergeBin(back, path));
    EXPECT_EQ(ui2.TextureList.size(), 2u) << "no new names, nothing loaded";
}

TEST_F(TextureWorkflowTest, TheSinkGetsEveryLoadTheReleaseAndALateAttachReplays) {
    RecordingSink sink;
    textures::AttachSink(Table(), &sink);
    art.Write("a.bmp", GradientBmp(3, 2));
    ASSERT_EQ(textures::LoadBmpFile(Scope(), art.File("a.bmp"), "A", 5), 0);
    ASSERT_EQ(sink.Uploads.size(), 1u);
    EXPECT_EQ(sink.Uploads[0].T, 5);
    EXPECT_EQ(sink.Uploads[0].Width, 3);
    EXPECT_EQ(sink.Uploads[0].Height, 2);
    EXPECT_EQ(sink.Uploads[0].Rgba, textures::LoadedImage(Table(), 5)->Rgba);
    EXPECT_EQ(sink.Uploads[0].Rgba, Table().TexPixels);

    RecordingSink late;
    textures::AttachSink(Table(), &late);
    ASSERT_EQ(late.Uploads.size(), 1u);
    EXPECT_EQ(late.Uploads[0].T, 5);
    EXPECT_EQ(late.Uploads[0].Rgba, sink.Uploads[0].Rgba);

    BeginOpen(*ws);
    EXPECT_EQ(late.Releases, 1);
    EXPECT_EQ(textures::LoadedImage(Table(), 5), nullptr);
    EXPECT_EQ(Table().TexLoadCount, -1);
    textures::AttachSink(Table(), nullptr);
}

TEST_F(TextureWorkflowTest, DefaultImageIsYellowAndClear) {
    textures::FillDefaultTexture(Table(), 3, 2);
    ASSERT_EQ(Table().TexPixels.size(), 24u);
    for (std::size_t i = 0; i < 24; i += 4) {
        EXPECT_EQ((Rgba{Table().TexPixels[i], Table().TexPixels[i + 1], Table().TexPixels[i + 2],
                        Table().TexPixels[i + 3]}),
                  (Rgba{225, 225, 0, 0}));
    }
}

TEST_F(TextureWorkflowTest, AddingAFileKeepsTheListsAlignedWhetherOrNotItLoads) {
    TempDir elsewhere;
    elsewhere.Write("Paint.Bmp", GradientBmp(4, 4));
    elsewhere.Write("Decal.RAW", Bytes(4096, 1));
    elsewhere.Write("Decal.act", MakePalette([](int) { return Rgb{3, 3, 3}; }));
    elsewhere.Write("junk.bmp", Bytes(10, 0));
    elsewhere.Write("notes.txt", "x");
    ws->Settings.ShowTextureErrors = false;

    EXPECT_TRUE(textures::AddTextureFile(Scope(), elsewhere.File("Paint.Bmp")));
    // The chosen RAW file itself is loaded, with its own palette beside it.
    EXPECT_TRUE(textures::AddTextureFile(Scope(), elsewhere.File("Decal.RAW")));
    EXPECT_FALSE(textures::AddTextureFile(Scope(), elsewhere.File("junk.bmp")));
    EXPECT_FALSE(textures::AddTextureFile(Scope(), elsewhere.File("notes.txt")));

    const model::ModelStore& m = ws->Model;
    ASSERT_EQ(m.TexCount, 3);
    EXPECT_EQ(m.TexName[0], "Paint");
    EXPECT_EQ(m.TexName[1], "Decal");
    EXPECT_EQ(m.TexName[2], "junk");
    EXPECT_EQ(Table().TexTable[0].Width, 4);
    EXPECT_EQ(Table().TexTable[1].Width, 64);
    EXPECT_EQ(PixelAt(1, 0, 0), (Rgba{3, 3, 3, 255}));
    EXPECT_EQ(Table().TexTable[2].Slot, -1);
    EXPECT_EQ(ui.TextureList, (std::vector<std::string>{"Paint", "Decal", "Nf: junk"}));

    ws->Model.TexCount = model::kTextureCapacity;
    EXPECT_FALSE(textures::AddTextureFile(Scope(), elsewhere.File("Paint.Bmp")));
    EXPECT_EQ(ws->Model.TexCount, model::kTextureCapacity);
    EXPECT_EQ(ui.Messages.size(), 1u);
}

TEST_F(TextureWorkflowTest, ExportWritesEachLoadedImageAndReplacesOldFilesSafely) {
    art.Write("a.bmp", GradientBmp(5, 2));
    AddTexture(ws->Model, "A");
    AddTexture(ws->Model, "MISSING");
    AddTexture(ws->Model, "../B");
    textures::LoadBmpFile(Scope(), art.File("a.bmp"), "A", 0);
    ws->Settings.ShowTextureErrors = false;
    textures::LoadBmpFile(Scope(), art.File("missing.bmp"), "MISSING", 1);
    textures::LoadBmpFile(Scope(), art.File("a.bmp"), "../B", 2);

    TempDir out;
    const std::string folder = textures::DefaultExportFolder(out.File("ZV068.CFG"));
    EXPECT_EQ(folder, out.File("textures"));
    ASSERT_EQ(textures::ExportTexturesAsBmp(Scope(), folder), 2);
    const Bytes a = ReadBytes(out.File("textures/A.BMP"));
    const textures::DecodedBmp back = textures::DecodeBmp(a);
    ASSERT_EQ(back.Fault, textures::BmpFault::None);
    EXPECT_EQ(back.Width, 5);
    EXPECT_EQ(back.Rgba, textures::LoadedImage(Table(), 0)->Rgba);
    EXPECT_TRUE(std::filesystem::exists(out.File("textures/.._B.BMP")));
    EXPECT_FALSE(std::filesystem::exists(out.File("textures/MISSING.BMP")));

    // A folder in the way of a file: the export stops and tells, the other file stays whole.
    std::filesystem::remove(out.File("textures/.._B.BMP"));
    std::filesystem::create_directory(out.File("textures/.._B.BMP"));
    EXPECT_EQ(textures::ExportTexturesAsBmp(Scope(), folder), -1);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ReadBytes(out.File("textures/A.BMP")), a);
}

TEST_F(TextureWorkflowTest, RawConversionWritesABitmapWithThePalette) {
    const Bytes sample = ReadBytes(ZV_SOURCE_DIR "/tests/data/jtrfp_test.RAW");
    const std::string raw = art.Write("test.RAW", sample);
    const std::string pal = art.Write("mine.act", MakePalette(IndexColour));
    ASSERT_TRUE(textures::ConvertRawToBmp(raw, pal, art.File("out.bmp"), ui));
    const Bytes bmp = ReadBytes(art.File("out.bmp"));
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp[28], 24);
    const textures::DecodedBmp back = textures::DecodeBmp(bmp);
    ASSERT_EQ(back.Width, 256);
    for (std::size_t i = 0; i < sample.size(); i += 97) {
        const Rgb c = IndexColour(sample[i]);
        ASSERT_EQ((Rgb{back.Rgba[i * 4], back.Rgba[i * 4 + 1], back.Rgba[i * 4 + 2]}), c) << i;
    }
    EXPECT_TRUE(ui.Messages.empty());

    // A named palette that is not there fails without writing.
    EXPECT_FALSE(textures::ConvertRawToBmp(raw, art.File("none.act"), art.File("no.bmp"), ui));
    EXPECT_FALSE(std::filesystem::exists(art.File("no.bmp")));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Palette-File not found");

    // The command converts each file beside itself, finding the palette by its name.
    ui.Messages.clear();
    art.Write("test.act", MakePalette([](int) { return Rgb{1, 1, 1}; }));
    art.Write("other.raw", Bytes(4097, 0));
    EXPECT_EQ(textures::ConvertRawFilesToBmp({raw, art.File("other.raw")}, ui), 1);
    const textures::DecodedBmp beside = textures::DecodeBmp(ReadBytes(art.File("test.bmp")));
    ASSERT_EQ(beside.Fault, textures::BmpFault::None);
    EXPECT_EQ(beside.Rgba[0], 1);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"Wrong Texture Size! Can't load"}));
}

TEST_F(TextureWorkflowTest, CommandLineListsTexturesAndConvertsRaw) {
    TempDir models;
    models.Write("road.BMP", GradientBmp(8, 4));
    const std::string path = models.Write("t.vrl", BuildVrl(Triangles({"ROAD", "SKY"}), VrlVariant::Scgt));
    std::ostringstream out, err;
    ASSERT_EQ(cli::RunCli({"info", "--textures", path}, "", out, err), cli::kOk) << err.str();
    EXPECT_NE(out.str().find("Texture list:\nROAD\t8x4\nNf: SKY\t4x4\n"), std::string::npos) << out.str();
    EXPECT_NE(err.str().find("Texture not found"), std::string::npos);

    std::ostringstream out2, err2;
    ASSERT_EQ(cli::RunCli({"info", path}, "", out2, err2), cli::kOk);
    EXPECT_EQ(out2.str().find("Texture list:"), std::string::npos);

    const std::string raw = art.Write("c.raw", Bytes(4096, 0));
    const std::string pal = art.Write("p.act", MakePalette([](int) { return Rgb{9, 8, 7}; }));
    std::ostringstream out3, err3;
    ASSERT_EQ(cli::RunCli({"raw2bmp", "--palette", pal, raw, art.File("c.bmp")}, "", out3, err3), cli::kOk)
        << err3.str();
    const textures::DecodedBmp c = textures::DecodeBmp(ReadBytes(art.File("c.bmp")));
    ASSERT_EQ(c.Width, 64);
    EXPECT_EQ((Rgb{c.Rgba[0], c.Rgba[1], c.Rgba[2]}), (Rgb{9, 8, 7}));
    std::ostringstream out4, err4;
    EXPECT_EQ(cli::RunCli({"raw2bmp", raw}, "", out4, err4), cli::kBadUsage);
    EXPECT_EQ(cli::RunCli({"raw2bmp", art.File("none.raw"), art.File("x.bmp")}, "", out4, err4),
              cli::kFailed);
}

} // namespace
} // namespace zv::test
