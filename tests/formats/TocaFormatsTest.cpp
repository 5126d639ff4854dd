#include "formats/TocaFormats.h"

#include "config/Settings.h"
#include "tests/formats/TocaBuilder.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

#include <memory>

namespace zv::formats {
namespace {

using test::TocaHeader;
using test::TocaObject;
using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t kOne = 65536;

TocaObject Triangle(const std::string& name, std::int32_t x, std::int16_t tex = 0) {
    return {
        name,
        {{x * kOne, 0, 0, kOne / 2, kOne / 4}, {x * kOne, kOne, 0, 0, kOne}, {x * kOne, 0, kOne, kOne, 0}},
        {{0, 1, 2, tex}}};
}

class TocaFormatsTest : public ::testing::Test {
protected:
    DecodeJob Job(const Bytes& bytes, int vertBase = 0, int polyBase = 0) {
        return DecodeJob{.Bytes = bytes,
                         .Path = "x",
                         .Model = *store_,
                         .VertBase = vertBase,
                         .PolyBase = polyBase,
                         .Ui = ui_,
                         .Settings = settings_,
                         .Section = std::nullopt,
                         .TextureNames = {},
                         .Parts = {},
                         .Normals = std::nullopt};
    }

    static inline std::unique_ptr<model::ModelStore> store_ = std::make_unique<model::ModelStore>();
    test::RecordingUi ui_;
    config::Settings settings_;
};

TEST_F(TocaFormatsTest, EveryHeaderFormReadsObjectsAsParts) {
    TocaObject two = Triangle("two\x01", 2, -1);
    two.Verts.push_back({9 * kOne, 9 * kOne, 9 * kOne, 0, 0});
    two.Faces.push_back({3, 0, 1, 4});
    const std::vector<TocaObject> objects{Triangle("one", 1), two, Triangle("three", 3)};
    for (const TocaHeader form : {TocaHeader::M3d, TocaHeader::Cmpr, TocaHeader::Plain}) {
        const Bytes bytes = test::TocaModel(form, objects);
        DecodeJob job = Job(bytes, 5, 7);
        DecodeTocaModel(job);
        const model::ModelStore& m = job.Model;
        ASSERT_EQ(job.Vertices, 10);
        ASSERT_EQ(job.Polygons, 4);
        ASSERT_EQ(job.Parts.size(), 3u);
        EXPECT_EQ(job.Parts[1].Name, "two");
        EXPECT_EQ(job.Parts[1].First, 1);
        EXPECT_EQ(job.Parts[1].Count, 2);
        EXPECT_EQ(job.Parts[2].Name, "three");
        EXPECT_EQ(job.Parts[2].First, 3);
        EXPECT_EQ(job.TextureNames, std::vector<std::string>{"Tex0"});
        EXPECT_FLOAT_EQ(m.Vert[5 + 6].Y, 9); // the second object's fourth vertex
        EXPECT_FLOAT_EQ(m.Vert[5 + 3].X, 2);

        EXPECT_EQ(m.PolyVert(7, 1), 6);
        EXPECT_FLOAT_EQ(m.PolyTU(7, 0), 0.5f);
        EXPECT_FLOAT_EQ(m.PolyTV(7, 0), 0.25f);
        EXPECT_EQ(m.PolyType[7], 24);
        EXPECT_EQ(m.PolyVCount[7], 3);
        // An untextured face takes texture 1 and the default coordinates.
        EXPECT_EQ(m.PolyTex[8], 1);
        EXPECT_FLOAT_EQ(m.PolyTU(8, 0), 0);
        EXPECT_FLOAT_EQ(m.PolyTV(8, 1), 1);
        EXPECT_FLOAT_EQ(m.PolyTU(8, 2), 1);
        EXPECT_EQ(m.PolyVert(9, 0), 5 + 3 + 3);
        EXPECT_EQ(m.PolyTex[9], 4);
        EXPECT_EQ(m.PolyVert(10, 2), 5 + 7 + 2);
    }
}

TEST_F(TocaFormatsTest, ModelFaultsNameTheFieldAndKeepWholeObjects) {
    struct Fault {
        std::uint64_t At = 0;
        std::string Detail;
        int Vertices = 0;
    };
    const auto fault = [&](const Bytes& bytes, int vertBase = 0) {
        DecodeJob job = Job(bytes, vertBase);
        Fault f;
        try {
            DecodeTocaModel(job);
        } catch (const ReadError& e) {
            f = {e.Position(), e.Detail(), 0};
        }
        f.Vertices = job.Vertices;
        return f;
    };
    TocaObject bad = Triangle("bad", 2);
    bad.Faces[0].C = 3;
    const Fault corner = fault(test::TocaModel(TocaHeader::M3d, {Triangle("a", 1), bad}));
    EXPECT_EQ(corner.At, 28 + Triangle("a", 1).Size() + 48 + 3 * 32 + 1); // the second object's face
    EXPECT_EQ(corner.Vertices, 3);

    Bytes negative = test::TocaModel(TocaHeader::M3d, {Triangle("a", 1)});
    negative[28 + 16] = 0xFF, negative[28 + 17] = 0xFF; // vertex count -1
    EXPECT_EQ(fault(negative).At, 28 + 17u);
    const Fault full =
        fault(test::TocaModel(TocaHeader::M3d, {Triangle("a", 1)}), model::kVertexCapacity - 2);
    EXPECT_EQ(full.At, 28 + 17u);
    EXPECT_EQ(full.Detail, "Too many vertices for the model: 79999 + 3 (at most 80001)");

    Bytes tooMany = test::TocaModel(TocaHeader::M3d, {});
    tooMany[14] = 0x21, tooMany[15] = 0x03; // 801 objects
    EXPECT_EQ(fault(tooMany).At, 15u);
    EXPECT_EQ(fault(tooMany).Detail, "Too many objects: 801 (at most 800)");
    Bytes offset = test::TocaModel(TocaHeader::M3d, {});
    offset[24] = 29;
    EXPECT_EQ(fault(offset).At, 25u);
}

TEST_F(TocaFormatsTest, CutModelsFaultAndKeepOnlyCompleteObjects) {
    const std::vector<TocaObject> objects{Triangle("one", 1), Triangle("two", 2, -1)};
    const Bytes whole = test::TocaModel(TocaHeader::Cmpr, objects);
    const std::size_t firstEnd = 36 + objects[0].Size();
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        DecodeJob job = Job(part);
        EXPECT_THROW(DecodeTocaModel(job), ReadError) << cut;
        const int complete = cut >= firstEnd ? 1 : 0;
        EXPECT_EQ(job.Vertices, 3 * complete) << cut;
        EXPECT_EQ(job.Polygons, complete) << cut;
        EXPECT_EQ(job.Parts.size(), static_cast<std::size_t>(complete)) << cut;
    }
}

// Section 0: one object placed twice, a skipped record; section 1: two objects, one placed.
Bytes Chain() {
    Bytes out = test::BfpSection({{80}, {1, 10, 20, 30, 1}, {1, 99, 99, 99, 1}}, {Triangle("solo", 1)},
                                 {std::string("ro\0ad", 5)});
    const Bytes second = test::BfpSection({{1, 5, 0, 0, 0}, {1, -4, 0, 0, 2}, {80}},
                                          {Triangle("a", 1, -1), Triangle("b", 2)}, {"tree", "grass"});
    out.insert(out.end(), second.begin(), second.end());
    return out;
}

TEST_F(TocaFormatsTest, BfpSectionsAreFoundAlongTheChain) {
    const Bytes chain = Chain();
    DecodeJob job = Job(chain);
    job.Section = 0;
    DecodeBfpTrack(job);
    EXPECT_TRUE(ui_.Prompts.empty());
    EXPECT_EQ(job.TextureNames, std::vector<std::string>{"ROAD"});
    EXPECT_FLOAT_EQ(job.Model.Vert[0].X, 11); // moved by the first placement only
    EXPECT_FLOAT_EQ(job.Model.Vert[1].Y, 21);
    EXPECT_FLOAT_EQ(job.Model.Vert[2].Z, 31);
    EXPECT_EQ(job.Model.PolyType[0], 52);
    EXPECT_FLOAT_EQ(job.Model.PolyTU(0, 0), 0.5f / kOne); // divided a second time

    ui_.Inputs = {std::string(" 1.2")};
    DecodeJob second = Job(chain);
    DecodeBfpTrack(second);
    ASSERT_EQ(ui_.Prompts.size(), 1u);
    EXPECT_EQ(second.TextureNames, (std::vector<std::string>{"TREE", "GRASS"}));
    ASSERT_EQ(second.Parts.size(), 2u);
    EXPECT_EQ(second.Parts[1].Name, "b");
    EXPECT_FLOAT_EQ(second.Model.Vert[0].X, 1);  // object 1 is placed by no record
    EXPECT_FLOAT_EQ(second.Model.Vert[3].X, -2); // object 2 at -4
    EXPECT_EQ(second.Model.PolyTex[0], -1);
    EXPECT_EQ(second.Model.PolyType[0], 36);
    EXPECT_FLOAT_EQ(second.Model.PolyTV(0, 1), 1);

    ui_.Inputs = {std::nullopt};
    DecodeJob cancelled = Job(chain);
    DecodeBfpTrack(cancelled);
    EXPECT_TRUE(cancelled.Cancelled);
    EXPECT_EQ(cancelled.Polygons, 0);
}

TEST_F(TocaFormatsTest, BfpChainFaults) {
    const Bytes chain = Chain();
    const auto fault = [&](const Bytes& bytes, int section) {
        DecodeJob job = Job(bytes);
        job.Section = section;
        try {
            DecodeBfpTrack(job);
        } catch (const ReadError& e) {
            EXPECT_LE(job.Polygons, 2);
            return std::make_pair(e.Position(), e.Detail());
        }
        return std::make_pair(std::uint64_t{0}, std::string("no fault"));
    };
    EXPECT_EQ(fault(chain, 2),
              std::make_pair(chain.size() + 1, std::string("section 2 not found (2 sections)")));
    ui_.Inputs = {std::string("300")};
    DecodeJob asked = Job(chain);
    try {
        DecodeBfpTrack(asked);
        ADD_FAILURE() << "section 255 read";
    } catch (const ReadError& e) {
        EXPECT_EQ(e.Detail(), "section 255 not found (2 sections)");
    }

    Bytes longer = chain;
    longer[0] = 0xF0, longer[1] = 0xFF; // section 0 runs past the end
    EXPECT_EQ(fault(longer, 1).first, 1u);
    Bytes placedNowhere = chain;
    placedNowhere[36 + 80 + 80] = 2; // object 2 of a section with one
    EXPECT_EQ(fault(placedNowhere, 0).first, 36 + 80 + 80 + 1u);

    // Cut inside the last section with its size mended, so the fault is in its body.
    const std::size_t second = 4 + static_cast<std::size_t>(chain[0] + 256 * chain[1]);
    for (std::size_t cut = second + 4; cut < chain.size(); ++cut) {
        Bytes part(chain.begin(), chain.begin() + static_cast<std::ptrdiff_t>(cut));
        const std::size_t size = cut - second - 4;
        part[second] = static_cast<std::uint8_t>(size),
        part[second + 1] = static_cast<std::uint8_t>(size >> 8);
        EXPECT_NE(fault(part, 1).first, 0u) << cut;
    }
}

TEST_F(TocaFormatsTest, C3dTrackReadsOneSection) {
    const Bytes bytes = test::C3dTrack({{1, 0, 7, 0, 2}, {80}}, {Triangle("x", 1), Triangle("y", 2, -1)}, 3);
    DecodeJob job = Job(bytes, 0, 2);
    DecodeC3dTrack(job);
    EXPECT_EQ(job.TextureNames, (std::vector<std::string>{"Tex0", "Tex1", "Tex2"}));
    EXPECT_EQ(job.Parts.size(), 2u);
    EXPECT_FLOAT_EQ(job.Model.Vert[3].Y, 7);
    EXPECT_FLOAT_EQ(job.Model.Vert[0].Y, 0);
    EXPECT_EQ(job.Model.PolyType[3], 36);
    EXPECT_EQ(job.Model.PolyVert(3, 2), 5);

    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        const Bytes part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        DecodeJob cutJob = Job(part);
        EXPECT_THROW(DecodeC3dTrack(cutJob), ReadError) << cut;
        EXPECT_LE(cutJob.Polygons, 1) << cut;
    }
}

// Through the shared open: a cut model keeps its complete objects as parts; a missing section
// is found before the model is emptied.
TEST(TocaOpenTest, SharedOpenKeepsWholeObjectsAndChecksTheSection) {
    test::RecordingUi ui;
    const auto ws = std::make_unique<Workspace>(ui);
    ws->Settings.LoadTexturesOnOpen = false;
    test::TempDir dir;
    ModelFormat m3d;
    m3d.Decode = DecodeTocaModel;
    Bytes cut =
        test::TocaModel(TocaHeader::M3d, {Triangle("one", 1), Triangle("two", 2), Triangle("three", 3)});
    cut.resize(cut.size() - 1);
    EXPECT_FALSE(OpenModelFile(*ws, m3d, dir.Write("cut.m3d", cut)));
    const model::ModelStore& m = ws->Model;
    EXPECT_EQ(m.PolyCount, 2);
    ASSERT_EQ(m.PartCount(), 2);
    EXPECT_EQ(m.GroupName[2], "two");
    EXPECT_EQ(m.TexName[0], "Tex0");

    ModelFormat bfp;
    bfp.Check = CheckBfpTrack;
    bfp.Decode = DecodeBfpTrack;
    bfp.Fault = OnFault::KeepNothing;
    ui.Inputs = {std::string("7")};
    EXPECT_FALSE(OpenModelFile(*ws, bfp, dir.Write("chain.bfp", Chain())));
    EXPECT_EQ(m.PolyCount, 2);
    EXPECT_EQ(ui.Messages.back().Text.substr(ui.Messages.back().Text.find('\r')),
              "\rsection 7 not found (2 sections)");
    ui.Inputs = {std::string("1")};
    EXPECT_TRUE(OpenModelFile(*ws, bfp, dir.Write("chain.bfp", Chain())));
    EXPECT_EQ(m.GroupName[2], "b");
    EXPECT_EQ(m.TexName[1], "GRASS");
    EXPECT_EQ(ui.Prompts.size(), 2u); // asked once per open
}

} // namespace
} // namespace zv::formats
