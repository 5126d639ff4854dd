// The table of model formats and the shared open, with a decoder made for the test.

#include "formats/ModelFormat.h"

#include "formats/VrlReader.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

namespace zv::formats {
namespace {

const std::string kBox = ZV_SOURCE_DIR "/samples/box.vrl";

// One triangle per input byte, in objects of two triangles each; a byte 'X' is a fault at its
// position, after the triangles before it.
void DecodeTriangles(DecodeJob& job) {
    model::ModelStore& m = job.Model;
    job.TextureNames = {"ROAD", "GRASS"};
    for (std::size_t i = 0; i < job.Bytes.size(); ++i) {
        if (job.Bytes[i] == 'X') {
            throw ReadError(i + 1, "bad byte");
        }
        const int v = job.VertBase + 3 * static_cast<int>(i);
        const int p = job.PolyBase + static_cast<int>(i);
        for (int k = 0; k < 3; ++k) {
            m.Vert[v + k] = {static_cast<float>(i), static_cast<float>(k), 0};
            m.PolyVert(p, k) = v + k;
        }
        m.PolyVCount[p] = 3;
        m.PolyFlag[p] = 1;
        m.PolyTex[p] = static_cast<std::int16_t>(i % 2);
        if (i % 2 == 1) { // an object is complete
            job.Vertices = 3 * static_cast<int>(i + 1);
            job.Polygons = static_cast<int>(i + 1);
            job.Parts.push_back({"OBJ" + std::to_string(i / 2), static_cast<int>(i - 1), 2});
        }
    }
}

void RefuseSectionNine(DecodeJob& job) {
    if (!job.Section) {
        const auto answer = job.Ui.InputBox("Enter section number", "Test", "0");
        if (!answer) {
            job.Cancelled = true;
            return;
        }
        job.Section = std::stoi(*answer);
    }
    if (*job.Section == 9) {
        throw ReadError(1, "section 9 not found (1 sections)");
    }
}

class ModelFormatTest : public ::testing::Test {
protected:
    void SetUp() override {
        ws->Settings.LoadTexturesOnOpen = false;
        format.Name = "tri";
        format.ErrorTitle = "Tri import";
        format.NotFoundTitle = "Tri-File not found";
        format.Decode = DecodeTriangles;
        ASSERT_TRUE(OpenVrl(*ws, kBox, VrlVariant::Scgt));
    }
    test::RecordingUi ui;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>(ui);
    test::TempDir dir;
    ModelFormat format;
};

TEST_F(ModelFormatTest, TheTableNamesEveryFormatOnce) {
    EXPECT_EQ(FindFormat("scgt")->Extensions.front(), ".vrl");
    EXPECT_EQ(FindFormat("nope"), nullptr);
    EXPECT_EQ(FormatForPath("a/B.VRL")->Name, "scgt");
    EXPECT_EQ(FormatForPath("a/b.Bin")->Name, "bin");
    EXPECT_EQ(FormatForPath("a/vrl"), nullptr);
    // ".txt" decides nothing; the NFS tag in the first bytes does.
    EXPECT_EQ(FormatForFile(dir.Write("car.TXT", std::string("Number of vertices:\r\n3\r\n")))->Name, "nfs");
    EXPECT_EQ(FormatForFile(dir.Write("notes.txt", std::string("hello"))), nullptr);
    EXPECT_EQ(FormatForFile(dir.File("missing.txt")), nullptr);
    for (const ModelFormat& f : ModelFormats()) {
        EXPECT_EQ(FindFormat(f.Name), &f) << f.Name;
        EXPECT_TRUE(f.Open != nullptr || f.Decode != nullptr) << f.Name;
    }
}

TEST_F(ModelFormatTest, ObjectsBecomePartsAndAFaultKeepsWhatTheFormatSays) {
    ASSERT_TRUE(OpenModelFile(*ws, format, dir.Write("four.tri", std::string("abcd"))));
    const model::ModelStore& m = ws->Model;
    EXPECT_EQ(m.PolyCount, 4);
    EXPECT_EQ(m.TexCount, 2);
    EXPECT_EQ(m.TexName[1], "GRASS");
    ASSERT_EQ(m.PartCount(), 2);
    EXPECT_EQ(m.PartNodes[1].Text, "OBJ1   p:2");
    EXPECT_EQ(m.ModelFileName, "four.tri");
    EXPECT_TRUE(ui.Messages.empty());

    // A fault in the third object: the two complete objects stay.
    EXPECT_FALSE(OpenModelFile(*ws, format, dir.Write("bad.tri", std::string("abcdeX"))));
    EXPECT_EQ(m.PolyCount, 4);
    EXPECT_EQ(m.PartCount(), 2);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Tri import");
    EXPECT_EQ(ui.Messages[0].Text, "Error at Filepos. 6\rbad byte");

    format.Fault = OnFault::KeepNothing;
    EXPECT_FALSE(OpenModelFile(*ws, format, dir.Write("bad.tri", std::string("abcdeX"))));
    EXPECT_EQ(m.PolyCount, 0);
    EXPECT_EQ(m.PartCount(), 0);
    EXPECT_EQ(m.TexCount, 0);
}

TEST_F(ModelFormatTest, CheckAndCancelLeaveTheModelAsItWas) {
    format.Check = RefuseSectionNine;
    const std::string file = dir.Write("two.tri", std::string("ab"));
    ui.Inputs.push_back(std::nullopt); // Cancel
    EXPECT_FALSE(OpenModelFile(*ws, format, file));
    EXPECT_EQ(ws->Model.PolyCount, 6); // the box
    EXPECT_FALSE(OpenModelFile(*ws, format, file, {9}));
    EXPECT_EQ(ws->Model.PolyCount, 6);
    EXPECT_EQ(ui.Messages.back().Text, "Error at Filepos. 1\rsection 9 not found (1 sections)");
    EXPECT_TRUE(OpenModelFile(*ws, format, file, {0}));
    EXPECT_EQ(ws->Model.PolyCount, 2);
    EXPECT_FALSE(OpenModelFile(*ws, format, dir.File("none.tri")));
    EXPECT_EQ(ui.Messages.back().Title, "Tri-File not found");
}

} // namespace
} // namespace zv::formats
