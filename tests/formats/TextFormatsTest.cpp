#include "formats/TextFormats.h"

#include "config/Settings.h"
#include "formats/TextLines.h"
#include "model/Columns.h"
#include "model/Numbers.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"
#include "workspace/Workspace.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <locale>
#include <memory>
#include <string>
#include <vector>

namespace zv::formats {
namespace {

std::span<const std::uint8_t> AsBytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// 1-based position of the line holding needle (its first occurrence).
std::uint64_t LineOf(const std::string& text, const std::string& needle) {
    const std::size_t at = text.find(needle);
    EXPECT_NE(at, std::string::npos) << needle;
    const std::size_t start = text.rfind('\n', at);
    return start == std::string::npos ? 1 : start + 2;
}

class TextFormatsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { store_ = std::make_unique<model::ModelStore>(); }
    static void TearDownTestSuite() { store_.reset(); }

    DecodeJob Job(const std::string& text, int vertBase = 0, int polyBase = 0) {
        text_ = text;
        return DecodeJob{.Bytes = AsBytes(text_),
                         .Path = "/models/car.txt",
                         .Model = *store_,
                         .VertBase = vertBase,
                         .PolyBase = polyBase,
                         .Ui = ui_,
                         .Settings = settings_,
                         .Section = {},
                         .TextureNames = {},
                         .Parts = {},
                         .Normals = {}};
    }
    // The position of the fault decoding text names (0: none); Vertices keeps what was written.
    std::uint64_t Fault(void (*decode)(DecodeJob&), const std::string& text, int vertBase = 0) {
        DecodeJob job = Job(text, vertBase);
        try {
            decode(job);
        } catch (const ReadError& e) {
            vertices_ = job.Vertices;
            return e.Position();
        }
        return 0;
    }
    static std::array<int, 3> Corners(int p) {
        return {store_->PolyVert(p, 0), store_->PolyVert(p, 1), store_->PolyVert(p, 2)};
    }

    static std::unique_ptr<model::ModelStore> store_;
    std::string text_;
    int vertices_ = 0;
    test::RecordingUi ui_;
    config::Settings settings_;
};
std::unique_ptr<model::ModelStore> TextFormatsTest::store_;

TEST(TextLinesTest, DropsEmptyAndCommentLinesAndKeepsBytePositions) {
    const std::string text = "a\r\n\n;note\r\nb c\n \nlast";
    const TextLines lines(AsBytes(text));
    ASSERT_EQ(lines.Count(), 4);
    EXPECT_EQ(lines.At(0).Text, "a");
    EXPECT_EQ(lines.At(1).Text, "b c");
    EXPECT_EQ(lines.At(1).Position, 12u);
    EXPECT_EQ(lines.At(2).Text, " "); // only a line with no characters at all is empty
    EXPECT_EQ(lines.At(3).Position, 18u);
    try {
        lines.At(4);
        FAIL();
    } catch (const ReadError& e) {
        EXPECT_EQ(e.Position(), text.size() + 1);
    }
}

TEST(TextLinesTest, NumbersBetweenKeys) {
    const TextLine line{"Vertex 3:  X:1.5   Y: -2e1\tZ:+3 U:0", 7};
    EXPECT_EQ(NumberBetween(line, "X:", "Y:"), 1.5);
    EXPECT_EQ(NumberBetween(line, "Y:", "Z:"), -20.0);
    EXPECT_EQ(NumberAfter(line, "Z:"), 3.0);
    EXPECT_EQ(IntegerAfter(line, "Vertex"), 3);
    for (const std::string_view bad : {"X: Y:1", "X:1 Z:2", "X:nan Y:1", "X:1e999 Y:1"}) {
        EXPECT_THROW(NumberBetween(TextLine{bad, 7}, "X:", "Y:"), ReadError) << bad;
    }
    try {
        IntegerAfter(TextLine{"I1: 99999999999999999999", 7}, "I1:");
        FAIL();
    } catch (const ReadError& e) {
        EXPECT_EQ(e.Position(), 7u);
    }
}

// A decimal-comma locale must not change how "1.5" reads. The C++ locale gets a comma facet
// always; the C locale only where the machine has such a locale.
TEST_F(TextFormatsTest, NumbersIgnoreADecimalCommaLocale) {
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale oldCpp = std::locale::global(std::locale(std::locale::classic(), new Comma));
    const std::string oldC = std::setlocale(LC_ALL, nullptr);
    bool cCommaLocale = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            cCommaLocale = true;
            break;
        }
    }
    DecodeJob job = Job("Vertex 0: X: 1.5 Y: -2.25 Z: 1e-1\n");
    DecodeAsc(job);
    std::locale::global(oldCpp);
    std::setlocale(LC_ALL, oldC.c_str());
    EXPECT_EQ(store_->Vert[0].X, 1.5f);
    EXPECT_EQ(store_->Vert[0].Z, -2.25f);
    EXPECT_EQ(store_->Vert[0].Y, 0.1f);
    if (!cCommaLocale) {
        GTEST_SKIP() << "no decimal-comma C locale on this machine; checked the C++ locale only";
    }
}

// ---- NFS text ----

struct NfsVertex {
    float X, Y, Z;
};
struct NfsTriangle {
    std::array<int, 3> I;
    std::array<float, 3> U, V;
};

// An NFS text file with comment and empty lines among the records, which must not count.
std::string NfsText(const std::vector<NfsVertex>& vs, const std::vector<NfsTriangle>& ts) {
    std::string s = "; exported\nNumber of vertices:\n" + std::to_string(vs.size()) +
                    "\nNumber of triangles:\n" + std::to_string(ts.size()) + "\n\nTable of vertices\n---\n";
    for (const NfsVertex& v : vs) {
        s += "X: " + std::to_string(v.X) + "\n; comment\nY: " + std::to_string(v.Y) +
             "\n\nZ: " + std::to_string(v.Z) + "\n---\n";
    }
    s += "Table of triangles\n---\n";
    for (const NfsTriangle& t : ts) {
        for (int k = 0; k < 3; ++k) {
            s += "I" + std::to_string(k + 1) + ": " + std::to_string(t.I[static_cast<std::size_t>(k)]) + "\n";
        }
        for (const auto& [key, values] : {std::pair{"U", t.U}, std::pair{"V", t.V}}) {
            for (int k = 0; k < 3; ++k) {
                s += std::string(key) + std::to_string(k + 1) + ": " +
                     std::to_string(values[static_cast<std::size_t>(k)]) + "\r\n;\n";
            }
        }
    }
    return s;
}

const std::vector<NfsVertex> kNfsVertices{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}};

TEST_F(TextFormatsTest, NfsRecordsCountOnlyTheListedLines) {
    const std::string text =
        NfsText(kNfsVertices, {{{0, 1, 2}, {0.125f, 0.25f, 0.5f}, {1, 2, 4}}, {{2, 2, 1}, {}, {}}});
    DecodeJob job = Job(text, 10, 20);
    DecodeNfsText(job);
    EXPECT_EQ(job.Vertices, 3);
    EXPECT_EQ(job.Polygons, 2);
    EXPECT_EQ(store_->Vert[12].Y, 8.0f);
    EXPECT_EQ(Corners(20), (std::array<int, 3>{12, 11, 10}));
    EXPECT_EQ(Corners(21), (std::array<int, 3>{11, 12, 12}));
    EXPECT_EQ(store_->PolyTU(20, 0), 0.5f);
    EXPECT_EQ(store_->PolyTV(20, 2), 1.0f);
    EXPECT_EQ(store_->PolyType[20], kTextPolyType);
    EXPECT_EQ(store_->PolyVCount[20], 3);
    EXPECT_EQ(store_->PolyFlag[20], 1);
    EXPECT_EQ(job.TextureNames, std::vector<std::string>{"car"});
    EXPECT_TRUE(job.Parts.empty());
    EXPECT_TRUE(SniffNfsText(AsBytes(text)));
    EXPECT_FALSE(SniffNfsText(AsBytes("Named object: \"Box\"\nNumber of vertices")));
}

TEST_F(TextFormatsTest, NfsFaults) {
    const std::string good = NfsText(kNfsVertices, {{{0, 1, 2}, {}, {}}});
    // Out of range index, a negative count, a count above the store's room.
    std::string bad = NfsText(kNfsVertices, {{{0, 3, 2}, {}, {}}});
    EXPECT_EQ(Fault(DecodeNfsText, bad), LineOf(bad, "I2: 3"));
    bad = good;
    bad.replace(bad.find("\n1\n"), 3, "\n-1\n");
    EXPECT_EQ(Fault(DecodeNfsText, bad), LineOf(bad, "-1"));
    EXPECT_EQ(Fault(DecodeNfsText, good, model::kVertexCapacity - 2), LineOf(good, "3\n"));
    EXPECT_EQ(vertices_, 0);
    // Cut anywhere before the last line's number, the file is missing something it needs.
    const std::size_t lastNumber = good.rfind("V3: ") + 4;
    for (std::size_t cut = 0; cut < lastNumber; ++cut) {
        EXPECT_NE(Fault(DecodeNfsText, good.substr(0, cut)), 0u) << cut;
    }
}

// ---- 3D Studio ASCII ----

TEST_F(TextFormatsTest, AscSwapsYAndZAndTurnsTheCornersRound) {
    DecodeJob job =
        Job("Vertex list:\nVertex 0:  X:1.0     Y:2.0     Z:3.0\nVertex 1: X:0 Y:0 Z:0\n"
            "Vertex 2: X:0 Y:0 Z:0\nFace list:\nFace 0:    A:0 B:1 C:2 AB:1 BC:1 CA:1\nSmoothing: 1\n");
    DecodeAsc(job);
    EXPECT_EQ(job.Vertices, 3);
    EXPECT_EQ(job.Polygons, 1);
    EXPECT_EQ(store_->Vert[0].X, 1.0f);
    EXPECT_EQ(store_->Vert[0].Y, 3.0f);
    EXPECT_EQ(store_->Vert[0].Z, 2.0f);
    EXPECT_EQ(Corners(0), (std::array<int, 3>{2, 1, 0}));
    EXPECT_EQ(store_->PolyTU(0, 1), 0.0f);
    EXPECT_EQ(store_->PolyType[0], kTextPolyType);
    EXPECT_TRUE(job.Parts.empty());
    EXPECT_TRUE(job.TextureNames.empty());
}

const std::string kTwoObjects = "Named object: \"Box\"\nTri-mesh, Vertices: 3 Faces: 1\nVertex list:\n"
                                "Vertex 0: X:0 Y:0 Z:0\nVertex 1: X:1 Y:0 Z:0\nVertex 2: X:0 Y:1 Z:0\n"
                                "Face list:\nFace 0: A:0 B:1 C:2 AB:1 BC:1 CA:1\nMaterial:\"Face paint\"\n\n"
                                "Named object: \"Lamp\"\nDirect light\nPosition:  X:1 Y:2 Z:3\n\n"
                                "Named object: \"Cone\"\nTri-mesh, Vertices: 4 Faces: 2\nVertex list:\n"
                                "Vertex 0: X:0 Y:0 Z:5\nVertex 1: X:1 Y:0 Z:5\nVertex 2: X:0 Y:1 Z:5\n"
                                "Vertex 3: X:1 Y:1 Z:5\nFace list:\nFace 0: A:0 B:1 C:3 AB:1 BC:1 CA:1\n"
                                "Face 1: A:3 B:2 C:0 AB:1 BC:1 CA:1\n";

TEST_F(TextFormatsTest, AscObjectsNumberTheirOwnVertices) {
    DecodeJob job = Job(kTwoObjects, 100, 50);
    DecodeAsc(job);
    EXPECT_EQ(job.Vertices, 7);
    EXPECT_EQ(job.Polygons, 3);
    EXPECT_EQ(Corners(51), (std::array<int, 3>{106, 104, 103}));
    EXPECT_EQ(Corners(52), (std::array<int, 3>{103, 105, 106}));
    ASSERT_EQ(job.Parts.size(), 2u); // the light has no faces
    EXPECT_EQ(job.Parts[0].Name, "Box");
    EXPECT_EQ(job.Parts[1].Name, "Cone");
    EXPECT_EQ(job.Parts[1].First, 1);
    EXPECT_EQ(job.Parts[1].Count, 2);

    // A face may not name a vertex of another object.
    std::string bad = kTwoObjects;
    bad.replace(bad.find("A:3 B:2"), 7, "A:4 B:2");
    EXPECT_EQ(Fault(DecodeAsc, bad), LineOf(bad, "Face 1:"));
}

TEST_F(TextFormatsTest, AscExporterSample) {
    const std::string text = test::ReadText(ZV_SOURCE_DIR "/tests/data/secondreality_TESTI.ASC");
    DecodeJob job = Job(text);
    DecodeAsc(job);
    EXPECT_EQ(job.Vertices, 13);
    EXPECT_EQ(job.Polygons, 9);
    ASSERT_EQ(job.Parts.size(), 3u);
    EXPECT_EQ(job.Parts[2].Name, "Object03");
    EXPECT_EQ(job.Parts[2].First, 8);
    EXPECT_EQ(store_->Vert[4].Y, -177.357361f); // the file's Z
    for (int p = 0; p < job.Polygons; ++p) {
        const int first = p < 7 ? 0 : p < 8 ? 7 : 10;
        for (const int v : Corners(p)) {
            EXPECT_TRUE(v >= first && v < first + (p < 7 ? 7 : 3)) << p;
        }
    }
}

TEST_F(TextFormatsTest, AscFaults) {
    const std::string good = kTwoObjects;
    for (const auto& [from, to] :
         {std::pair{"C:2 AB", "C:2 XX"}, std::pair{"Y:1 Z:0", "Y:1 Q:0"}, std::pair{"C:2 AB", "C:-1 AB"}}) {
        std::string bad = good;
        bad.replace(bad.find(from), std::string(from).size(), to);
        EXPECT_EQ(Fault(DecodeAsc, bad), LineOf(bad, to)) << to;
    }
    // Too many rows for the room left: nothing is written, the first row over names the fault.
    EXPECT_EQ(Fault(DecodeAsc, good, model::kVertexCapacity - 5), LineOf(good, "Vertex 2: X:0 Y:1 Z:5"));
    EXPECT_EQ(vertices_, 0);
    // Any cut leaves a file that reads or names a fault.
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        EXPECT_LE(Fault(DecodeAsc, good.substr(0, cut)), cut + 1);
    }
}

// The shared open with the entry the table gives the format: objects become parts, a fault keeps
// nothing.
TEST(TextFormatsOpenTest, AscThroughTheSharedOpen) {
    test::RecordingUi ui;
    const auto ws = std::make_unique<Workspace>(ui);
    ws->Settings.LoadTexturesOnOpen = false;
    ModelFormat asc;
    asc.Name = "asc";
    asc.ErrorTitle = "Asc import";
    asc.Decode = DecodeAsc;
    asc.Fault = OnFault::KeepNothing;
    test::TempDir dir;
    const std::string sample = test::ReadText(ZV_SOURCE_DIR "/tests/data/secondreality_TESTI.ASC");
    ASSERT_TRUE(OpenModelFile(*ws, asc, dir.Write("testi.asc", sample)));
    const model::ModelStore& m = ws->Model;
    EXPECT_EQ(m.VertCount, 13);
    EXPECT_EQ(m.PolyCount, 9);
    ASSERT_EQ(m.PartCount(), 3);
    EXPECT_EQ(m.PartNodes[0].Text, "Object02   p:7");

    std::string bad = sample;
    bad.replace(bad.find("A:1 B:0 C:2"), 11, "A:1 B:3 C:2"); // Object01 has three vertices
    EXPECT_FALSE(OpenModelFile(*ws, asc, dir.Write("bad.asc", bad)));
    EXPECT_EQ(m.PolyCount, 0);
    EXPECT_EQ(m.PartCount(), 0);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Text, "Error at Filepos. " + model::HexUpper(LineOf(bad, "A:1 B:3 C:2")));
}

} // namespace
} // namespace zv::formats
