#include "formats/VrlWriter.h"

#include "edit/Parts.h"
#include "formats/VrlReader.h"
#include "tests/support/ModelBuilder.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"
#include "tests/support/VrlReferenceWriter.h"

#include <gtest/gtest.h>

#include <bit>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <sys/resource.h>

namespace zv::formats {
namespace {

using test::AddPolygon;
using test::AddTexture;
using test::AddVertex;
using Bytes = std::vector<std::uint8_t>;

std::int32_t I32At(const Bytes& b, std::size_t at) {
    std::int32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}
float F32At(const Bytes& b, std::size_t at) {
    return std::bit_cast<float>(I32At(b, at));
}
std::vector<std::int32_t> I32Block(const Bytes& b, std::size_t at, std::size_t count) {
    std::vector<std::int32_t> out;
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(I32At(b, at + 4 * i));
    }
    return out;
}

class VrlWriterTest : public ::testing::Test {
protected:
    Bytes Build(VrlVariant variant) {
        auto built = BuildVrlFile(ws->Model, ui, variant);
        EXPECT_TRUE(std::holds_alternative<Bytes>(built));
        return std::holds_alternative<Bytes>(built) ? std::get<Bytes>(built) : Bytes{};
    }
    // Two triangles sharing an edge, one polygon left out, one selected vertex no polygon uses.
    void SmallModel() {
        model::ModelStore& m = ws->Model;
        test::StartModel(m);
        AddVertex(m, 0, 0, 0);
        AddVertex(m, 1, 0, 0);
        AddVertex(m, 0, 1, 0);
        AddVertex(m, 1, 1, 0);
        AddVertex(m, 7, 7, 7); // not written
        AddVertex(m, 9, 9, 9); // written: selected by the user
        AddTexture(m, "Grass");
        AddTexture(m, "road");
        AddPolygon(m, {{0, 0.5f, 0.25f}, {1}, {2}}, 1, 5, 1, 2, 3, 4);
        AddPolygon(m, {{1}, {3}, {2, 0.75f}}, 0, 6);
        AddPolygon(m, {{2}, {3}, {0}}, 1);
        m.PolySel[0] = m.PolySel[1] = model::kTrue;
        m.VertSel[5] = model::kTrue;
    }
    test::RecordingUi ui;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>(ui);
};

TEST_F(VrlWriterTest, ScgtBlocksOfASmallModelByteForByte) {
    SmallModel();
    const Bytes b = Build(VrlVariant::Scgt);
    ASSERT_EQ(b.size(), 736u);
    EXPECT_EQ(I32Block(b, 0, 15), std::vector<std::int32_t>(15, 0));
    EXPECT_EQ(I32At(b, 60), 5); // vertices 0, 1, 2, 3 and the selected 5
    EXPECT_EQ(I32Block(b, 64, 8), (std::vector<std::int32_t>{172, 252, 412, 432, 452, 472, 492, 512}));
    EXPECT_EQ(I32Block(b, 96, 6), (std::vector<std::int32_t>{6, 536, 560, 584, 2, 608}));
    EXPECT_EQ(I32Block(b, 120, 12),
              (std::vector<std::int32_t>{2, 640, 648, 656, 664, 672, 680, 688, 696, 704, 2, 712}));
    EXPECT_EQ(I32At(b, 168), 0);
    EXPECT_EQ(F32At(b, 172 + 4 * 16), 9.0f); // the fifth vertex record
    EXPECT_EQ(I32Block(b, 252, 8), std::vector<std::int32_t>(8, 0));
    EXPECT_EQ(I32Block(b, 412, 15),
              (std::vector<std::int32_t>{15, 15, 15, 15, 15, 100, 100, 100, 100, 100, 0, 0, 0, 0, 0}));
    // Links: per vertex the normal indices of the polygons using it.
    EXPECT_EQ(I32Block(b, 472, 5), (std::vector<std::int32_t>{0, 1, 3, 5, 6}));
    EXPECT_EQ(I32Block(b, 492, 5), (std::vector<std::int32_t>{1, 2, 2, 1, 0}));
    EXPECT_EQ(I32Block(b, 512, 6), (std::vector<std::int32_t>{0, 0, 1, 0, 1, 1}));
    // Corners reversed: triangle (0, 1, 2) is stored as (2, 1, 0).
    EXPECT_EQ(I32Block(b, 536, 6), (std::vector<std::int32_t>{2, 1, 0, 2, 3, 1}));
    EXPECT_EQ(F32At(b, 560 + 8), 0.5f);
    EXPECT_EQ(F32At(b, 584 + 8), 0.25f);
    EXPECT_EQ(F32At(b, 560 + 12), 0.75f);
    EXPECT_EQ(F32At(b, 608 + 8), -1.0f);
    EXPECT_TRUE(std::signbit(F32At(b, 608)));
    EXPECT_EQ(I32Block(b, 640, 6), (std::vector<std::int32_t>{3, 3, 0, 3, 0, 1}));
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 680, b.begin() + 684), (Bytes{3, 2, 1, 4}));
    EXPECT_EQ(I32Block(b, 696, 4),
              (std::vector<std::int32_t>{5, 6, 0, 1})); // types, then texture numbers by first use
    const Bytes names(b.begin() + 712, b.end());
    EXPECT_EQ(names, (Bytes{'R', 'O', 'A', 'D', 0,   0, 0, 0, 0, 0, 0, 0,
                            'G', 'R', 'A', 'S', 'S', 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(ws->Model.VertLinkCount, 6);
    EXPECT_EQ(ws->Model.NrmCount, 2);
}

TEST_F(VrlWriterTest, F1LayoutSharesEqualNormals) {
    SmallModel();
    const Bytes b = Build(VrlVariant::F1_2000);
    EXPECT_EQ(F32At(b, 44), 100000000.0f);
    EXPECT_EQ(F32At(b, 48), 100000000.0f);
    EXPECT_EQ(I32At(b, 60), 5);
    EXPECT_EQ(I32At(b, 64), 200);
    EXPECT_EQ(I32At(b, 68), 280);
    EXPECT_EQ(I32At(b, 80), 280 + 160 + 80 + 80);
    EXPECT_EQ(I32At(b, 92), 6);
    EXPECT_EQ(I32At(b, 116), 1); // two coplanar triangles facing the same way: one normal
    const auto normalIndex = static_cast<std::size_t>(I32At(b, 136));
    EXPECT_EQ(I32Block(b, normalIndex, 2), (std::vector<std::int32_t>{0, 0}));
    const auto colours = static_cast<std::size_t>(I32At(b, 80));
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + static_cast<long>(colours),
                                        b.begin() + static_cast<long>(colours) + 8),
              (Bytes{0xFF, 0xFF, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0}));
    EXPECT_EQ(I32At(b, 188), 2);
    EXPECT_EQ(static_cast<std::size_t>(I32At(b, 192)) + 24, b.size());
    EXPECT_EQ(I32At(b, 196), 0);
}

// Random models with many shared vertices, repeated and missing textures and coplanar polygons.
void RandomModel(model::ModelStore& m, std::uint32_t seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    test::StartModel(m);
    model::DeselectAll(m);
    const int nv = pick(1, 30);
    for (int v = 0; v < nv; ++v) {
        AddVertex(m, static_cast<float>(pick(-2, 2)), static_cast<float>(pick(-2, 2)) * 0.5f,
                  static_cast<float>(pick(0, 1)) / 3.0f);
        m.VertSel[v] = pick(0, 5) == 0 ? model::kTrue : model::kFalse;
    }
    for (int t = pick(0, 5); t > 0; --t) {
        AddTexture(m,
                   std::string(static_cast<std::size_t>(pick(0, 12)), static_cast<char>('a' + pick(0, 3))));
    }
    for (int p = pick(0, 50); p > 0; --p) {
        const int q =
            AddPolygon(m, {{pick(0, nv - 1), 0.1f, 0.2f}, {pick(0, nv - 1)}, {pick(0, nv - 1), 1, 1}},
                       pick(-1, 6), pick(0, 99), static_cast<std::uint8_t>(pick(0, 255)));
        for (int k = pick(0, 3); k > 0; --k) {
            m.PolyVert(q, m.PolyVCount[q]++) = pick(0, nv - 1);
        }
        m.PolySel[q] = pick(0, 3) != 0 ? model::kTrue : model::kFalse;
    }
}

TEST_F(VrlWriterTest, FastWriterMatchesTheDirectRulesOnRandomModels) {
    auto reference = std::make_unique<model::ModelStore>();
    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
        for (const VrlVariant variant : {VrlVariant::Scgt, VrlVariant::F1_2000}) {
            RandomModel(ws->Model, seed);
            RandomModel(*reference, seed);
            ASSERT_EQ(Build(variant), test::ReferenceVrlBytes(*reference, variant)) << "seed " << seed;
            for (int v = 0; v < ws->Model.VertCount; ++v) {
                ASSERT_EQ(ws->Model.VertSel[v], reference->VertSel[v]);
            }
        }
    }
}

TEST_F(VrlWriterTest, WrittenFileReadsBackAndWritesTheSameBytes) {
    for (const VrlVariant variant : {VrlVariant::Scgt, VrlVariant::F1_2000}) {
        SmallModel();
        ws->Model.VertCount = 4; // every vertex used by a polygon
        test::SelectAll(ws->Model);
        test::TempDir dir;
        const std::string first = dir.File("FIRST.VRL"), second = dir.File("SECOND.VRL");
        ASSERT_TRUE(WriteVrl(*ws, first, variant));
        ASSERT_TRUE(OpenVrl(*ws, first, variant));
        const model::ModelStore& m = ws->Model;
        ASSERT_EQ(m.VertCount, 4);
        ASSERT_EQ(m.PolyCount, 3);
        EXPECT_EQ(m.PolyVert(0, 0), 0);
        EXPECT_EQ(m.PolyVert(0, 2), 2);
        EXPECT_EQ(m.PolyTU(0, 0), 0.5f);
        EXPECT_EQ(m.PolyTV(1, 2), 0.0f);
        EXPECT_EQ(m.PolyTU(1, 2), 0.75f);
        EXPECT_EQ(m.PolyR[0], 1);
        EXPECT_EQ(m.PolyA[0], 4);
        EXPECT_EQ(m.PolyType[1], 6);
        EXPECT_EQ(m.TexName[m.PolyTex[0]], "ROAD");
        EXPECT_EQ(m.TexName[m.PolyTex[1]], "GRASS");
        EXPECT_EQ(m.PolyTex[2], m.PolyTex[0]);
        test::SelectAll(ws->Model);
        ASSERT_TRUE(WriteVrl(*ws, second, variant));
        EXPECT_EQ(test::ReadBytes(first), test::ReadBytes(second));
    }
}

// Large files are streamed to disk in pieces, with holes for their zero pages; the file must be
// exactly the bytes built in memory.
TEST_F(VrlWriterTest, AStreamedLargeFileHasTheBytesBuiltInMemory) {
    for (const VrlVariant variant : {VrlVariant::Scgt, VrlVariant::F1_2000}) {
        test::StartModel(ws->Model);
        for (int v = 0; v < 30000; ++v) {
            AddVertex(ws->Model, static_cast<float>(v % 97), static_cast<float>(v % 89), static_cast<float>(v));
        }
        for (int p = 0; p + 2 < 30000; p += 3) {
            AddPolygon(ws->Model, {{p, 0.5f, 0.25f}, {p + 1}, {p + 2, 1, 1}}, 0, p % 7, 1);
        }
        AddTexture(ws->Model, "ROAD");
        test::SelectAll(ws->Model);
        const Bytes built = Build(variant);
        ASSERT_GT(built.size(), std::size_t{2} << 20) << "more than one piece";
        test::SelectAll(ws->Model);
        test::TempDir dir;
        ASSERT_TRUE(WriteVrl(*ws, dir.File("BIG.VRL"), variant));
        EXPECT_TRUE(test::ReadBytes(dir.File("BIG.VRL")) == built);
    }
}

TEST_F(VrlWriterTest, WriteReportsProgressAndRenamesTheModel) {
    SmallModel();
    test::TempDir dir;
    std::filesystem::create_directory(dir.Path() / "lower");
    ASSERT_TRUE(WriteVrl(*ws, dir.File("lower/car.vrl"), VrlVariant::F1_2000));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "lower" / "CAR.VRL"));
    EXPECT_EQ(ws->Model.ModelFileName, "CAR.vrl");
    EXPECT_EQ(ui.Caption, "ZV0.681 [ CAR.vrl ]    v: 6  p: 3");
    EXPECT_EQ(ui.Progress,
              (std::vector<std::string>{"Calculating geometry...", "Checking textures...",
                                        "Calculating normals...", "Calculating normals list...",
                                        "Calculating vertex normals...", "Writing...", "Ready."}));
    EXPECT_EQ(ui.BusyDepth, 0);
    EXPECT_EQ(ws->Model.VertSel[3], model::kTrue); // a corner of a written polygon
    EXPECT_EQ(ws->Model.VertSel[4], model::kFalse);
    EXPECT_EQ(ws->Model.PolySel[0], model::kTrue);

    ASSERT_TRUE(WriteVrl(*ws, dir.File("Mixed.Vrl"), VrlVariant::Scgt));
    EXPECT_EQ(ws->Model.ModelFileName, "Mixed.Vrl");
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "Mixed.Vrl"));
}

TEST_F(VrlWriterTest, SavingTheWholeModelDeselectsAfterwards) {
    SmallModel();
    test::TempDir dir;
    ASSERT_TRUE(SaveVrlModel(*ws, dir.File("all.vrl"), VrlVariant::Scgt));
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(ws->Model.PolySel[p], model::kFalse);
    }
    ASSERT_TRUE(OpenVrl(*ws, dir.File("all.vrl"), VrlVariant::Scgt));
    EXPECT_EQ(ws->Model.PolyCount, 3);
    EXPECT_EQ(ws->Model.VertCount, 5); // the selected unused vertex came along, vertex 4 did not
}

// Each refusal names its limit, writes nothing and leaves the old file.
TEST_F(VrlWriterTest, SelectionsBeyondTheFileLimitsAreRefused) {
    test::TempDir dir;
    const std::string target = dir.Write("OLD.VRL", std::string("old contents"));
    struct Case {
        std::function<void(model::ModelStore&)> Make;
        std::string Text;
    };
    const std::vector<Case> cases{
        {[](model::ModelStore& m) {
             AddVertex(m, 0, 0, 0);
             for (int p = 0; p < 5001; ++p) {
                 const int q = AddPolygon(m, {{0}, {0}, {0}});
                 m.PolyVCount[q] = 16;
             }
         },
         "Too many corners for a VRL file: 80016 (at most 80001, 15 too many)"},
        {[](model::ModelStore& m) {
             AddVertex(m, 0, 0, 0);
             for (int t = -1; t <= 500; ++t) {
                 AddPolygon(m, {{0}, {0}, {0}}, t);
             }
         },
         "Too many textures for a VRL file: 502 (at most 501, 1 too many)"},
        {[](model::ModelStore& m) {
             AddVertex(m, 0, 0, 0);
             AddTexture(m, "SHORT");
             AddTexture(m, "THIRTEENCHARS");
             AddPolygon(m, {{0}, {0}, {0}}, 0);
             AddPolygon(m, {{0}, {0}, {0}}, 1);
         },
         "Texture name too long for a VRL file: THIRTEENCHARS (13 characters, at most 12)"},
    };
    for (const Case& c : cases) {
        test::StartModel(ws->Model);
        c.Make(ws->Model);
        test::SelectAll(ws->Model);
        ui.Messages.clear();
        EXPECT_FALSE(WriteVrl(*ws, target, VrlVariant::Scgt));
        ASSERT_EQ(ui.Messages.size(), 1u);
        EXPECT_EQ(ui.Messages[0].Title, "  Vrl Save Error");
        EXPECT_EQ(ui.Messages[0].Text, c.Text);
        EXPECT_EQ(test::ReadText(target), "old contents");
        EXPECT_EQ(ui.BusyDepth, 0);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

// A full disk, imitated with a file-size limit: the old file stays, no temporary file is left.
TEST_F(VrlWriterTest, FailedWriteKeepsTheOldFile) {
    SmallModel();
    test::TempDir dir;
    const std::string target = dir.Write("CAR.VRL", std::string("old contents"));
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteVrl(*ws, target, VrlVariant::Scgt);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "  Vrl Save Error");
    EXPECT_EQ(ui.Messages[0].Text, "Error at Filepos. 65");
    EXPECT_EQ(test::ReadText(target), "old contents");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    ui.Messages.clear();
    EXPECT_FALSE(WriteVrl(*ws, dir.File("missing/CAR.VRL"), VrlVariant::Scgt));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Text, "Error at Filepos. 1");
}

TEST_F(VrlWriterTest, EveryPartGoesToItsOwnFile) {
    SmallModel();
    test::TempDir dir;
    ui.Messages.clear();
    EXPECT_FALSE(SaveAllParts(*ws, dir.File("x.vrl"), VrlVariant::Scgt));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Info:");
    EXPECT_EQ(ui.Messages[0].Text, "No groups to save !");

    model::ModelStore& m = ws->Model;
    model::DeselectAll(m);
    m.PolySel[0] = model::kTrue;
    edit::AddPart(m, ui, "body");
    model::DeselectAll(m);
    m.PolySel[1] = m.PolySel[2] = model::kTrue;
    edit::AddPart(m, ui, "Wheel");
    ASSERT_TRUE(SaveAllParts(*ws, dir.File("anything.here"), VrlVariant::F1_2000));
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(m.PolySel[p], model::kFalse);
    }
    EXPECT_EQ(m.VertSel[5], model::kFalse);
    ASSERT_TRUE(OpenVrl(*ws, dir.File("WHEEL.VRL"), VrlVariant::F1_2000));
    EXPECT_EQ(ws->Model.PolyCount, 2);
    EXPECT_EQ(ws->Model.VertCount, 4);
    ASSERT_TRUE(OpenVrl(*ws, dir.File("BODY.VRL"), VrlVariant::F1_2000));
    EXPECT_EQ(ws->Model.PolyCount, 1);
}

TEST_F(VrlWriterTest, PartNamesFromFilesStayInTheFolderAndNeverOverwriteEachOther) {
    SmallModel();
    test::TempDir dir;
    const std::string folder = dir.File("parts");
    std::filesystem::create_directories(folder);
    model::ModelStore& m = ws->Model;
    // Names as a part list may bring them: a path, and the same name twice.
    for (const char* name : {"../ESCAPED", "wheel", "WHEEL"}) {
        model::DeselectAll(m);
        m.PolySel[0] = model::kTrue;
        edit::AddPart(m, ui, name);
    }
    ASSERT_TRUE(SaveAllParts(*ws, folder + "/any.vrl", VrlVariant::Scgt));
    EXPECT_FALSE(std::filesystem::exists(dir.File("ESCAPED.VRL")));
    EXPECT_TRUE(std::filesystem::exists(folder + "/.._ESCAPED.VRL"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/WHEEL.VRL"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/WHEEL_2.VRL"));
}

} // namespace
} // namespace zv::formats
