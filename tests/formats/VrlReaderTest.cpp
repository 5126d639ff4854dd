#include "formats/VrlReader.h"

#include "model/ModelInfo.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"
#include "tests/support/VrlBuilder.h"
#include "workspace/ModelLifecycle.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace zv::formats {
namespace {

using test::VrlCorner;
using test::VrlFileModel;
using test::VrlImage;
using test::VrlPolygon;
using Layout = VrlHeaderLayout;

std::string Hex(std::size_t value) {
    std::ostringstream s;
    s << std::uppercase << std::hex << value;
    return s.str();
}

std::size_t Field(int offset) {
    return static_cast<std::size_t>(offset);
}
std::size_t Elem(const VrlImage& f, int field, int index) {
    return test::ElementAt(f, field, index, 4);
}
std::size_t Set(VrlImage& f, std::size_t at, std::int32_t value) {
    test::SetInt32(f, at, value);
    return at;
}
// The first element of size bytes that does not fit in the block at the field's offset.
std::size_t FirstMissing(const VrlImage& f, int field, std::size_t size) {
    const std::size_t at = test::ElementAt(f, field, 0, 0);
    return at + (f.size() - at) / size * size;
}

std::string UpperAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return s;
}

// Five vertices, a triangle and a quad, four names: one with a blank and a control character,
// one of exactly 12 characters, one with a byte above 127.
VrlFileModel Car() {
    VrlFileModel m;
    m.Vertices = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}, {-1.5f, 0.25f, 100}};
    m.Polygons = {
        {{{0, 0.1f, 0.2f}, {1, 0.3f, 0.4f}, {2, 0.5f, 0.6f}}, 10, 20, 30, 40, 25, 1},
        {{{1, 1, 2}, {2, 3, 4}, {3, 5, 6}, {4, 7, 8}}, 50, 60, 70, 80, 36, 3},
    };
    m.TextureNames = {"road", "Ab c\001d", "twelvechars1", "caf\xE9"};
    return m;
}

const std::vector<std::string> kCarNames{"ROAD", "ABCD", "TWELVECHARS1", "CAF\xE9"};

// Three vertices, five triangles; texture 3 and -1 lie outside its three names.
VrlFileModel Wheel() {
    VrlFileModel m;
    m.Vertices = {{20, 21, 22}, {23, 24, 25}, {26, 27, 28}};
    const std::vector<VrlCorner> tri{{0, 0.1f, 0.2f}, {1, 0.3f, 0.4f}, {2, 0.5f, 0.6f}};
    m.Polygons = {{tri, 1, 2, 3, 4, 7, 0},
                  {tri, 0, 0, 0, 0, 0, 1},
                  {tri, 0, 0, 0, 0, 0, 2},
                  {tri, 0, 0, 0, 0, 0, 3},
                  {tri, 0, 0, 0, 0, 0, -1}};
    m.TextureNames = {"grass", "Road", "twelvechars1"};
    return m;
}

// n triangles over three vertices, one name.
VrlFileModel Triangles(int n) {
    VrlFileModel m;
    m.Vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    m.Polygons.assign(static_cast<std::size_t>(n),
                      VrlPolygon{{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, 0, 0, 0, 0, 0, 0});
    m.TextureNames = {"tri"};
    return m;
}

VrlFileModel Points(int n) {
    VrlFileModel m;
    m.Vertices.assign(static_cast<std::size_t>(n), {1, 2, 3});
    return m;
}

class VrlReaderTest : public ::testing::TestWithParam<VrlVariant> {
protected:
    VrlReaderTest() { ws.Settings.LoadTexturesOnOpen = false; } // the lists show "Nl: " entries
    void TearDown() override { EXPECT_EQ(ui.BusyDepth, 0) << "busy pointer left on"; }

    const Layout& L() const { return LayoutOf(GetParam()); }
    VrlImage Build(const VrlFileModel& m) const { return test::BuildVrl(m, GetParam()); }
    std::string Write(const std::string& name, const VrlFileModel& m) { return dir.Write(name, Build(m)); }
    bool Open(const std::string& path) { return OpenVrl(ws, path, GetParam()); }
    bool Merge(const std::string& path) { return MergeVrl(ws, path, GetParam()); }
    std::string MergeTitle() const {
        return GetParam() == VrlVariant::Scgt ? "  Vrl merge error" : "F1 2000 Vrl merge error";
    }

    void ExpectCorner(int p, int k, int vertex, float u, float v) const {
        SCOPED_TRACE("polygon " + std::to_string(p) + " corner " + std::to_string(k));
        EXPECT_EQ(ws.Model.PolyVert(p, k), vertex);
        EXPECT_EQ(ws.Model.PolyTU(p, k), u);
        EXPECT_EQ(ws.Model.PolyTV(p, k), v);
    }
    void ExpectPartNodes(const std::vector<std::string>& texts) const {
        std::vector<std::string> got;
        for (const auto& node : ws.Model.PartNodes) {
            got.push_back(node.Text);
        }
        EXPECT_EQ(got, texts);
    }
    void ExpectOnlyMessage(const std::string& title, const std::string& text) {
        ASSERT_EQ(ui.Messages.size(), 1u);
        EXPECT_EQ(ui.Messages[0].Title, title);
        EXPECT_EQ(ui.Messages[0].Text, text);
        ui.Messages.clear();
    }

    test::TempDir dir;
    test::RecordingUi ui;
    Workspace ws{ui};
};

TEST_P(VrlReaderTest, OpenReadsEveryFieldAndReversesTheCorners) {
    const model::ModelStore& m = ws.Model;
    ws.Model.PolyNX[1] = ws.Model.PolyNY[1] = ws.Model.PolyNZ[1] = 5; // stale normal
    ASSERT_TRUE(Open(Write("car.vrl", Car())));
    EXPECT_TRUE(ui.Messages.empty());

    ASSERT_EQ(m.VertCount, 5);
    EXPECT_EQ(m.Vert[0].X, 1);
    EXPECT_EQ(m.Vert[3].Z, 12);
    EXPECT_EQ(m.Vert[4].X, -1.5f);
    EXPECT_EQ(m.Vert[4].Y, 0.25f);
    EXPECT_EQ(m.Vert[4].Z, 100);

    ASSERT_EQ(m.PolyCount, 2);
    EXPECT_EQ(m.PolyVCount[0], 3);
    EXPECT_EQ(m.PolyVCount[1], 4);
    ExpectCorner(0, 0, 2, 0.5f, 0.6f);
    ExpectCorner(0, 1, 1, 0.3f, 0.4f);
    ExpectCorner(0, 2, 0, 0.1f, 0.2f);
    ExpectCorner(1, 0, 4, 7, 8);
    ExpectCorner(1, 3, 1, 1, 2);
    EXPECT_EQ(m.PolyB[0], 10);
    EXPECT_EQ(m.PolyG[0], 20);
    EXPECT_EQ(m.PolyR[0], 30);
    EXPECT_EQ(m.PolyA[0], 40);
    EXPECT_EQ(m.PolyR[1], 70);
    EXPECT_EQ(m.PolyType[0], 25);
    EXPECT_EQ(m.PolyType[1], 36);
    EXPECT_EQ(m.PolyTex[0], 1);
    EXPECT_EQ(m.PolyTex[1], 3);
    EXPECT_EQ(m.PolyNX[1], 0);
    EXPECT_EQ(m.PolyNY[1], 0);
    EXPECT_EQ(m.PolyNZ[1], 0);

    ASSERT_EQ(m.TexCount, 4);
    std::vector<std::string> list;
    for (int t = 0; t < 4; ++t) {
        EXPECT_EQ(m.TexName[t], kCarNames[static_cast<std::size_t>(t)]);
        const textures::TexEntry& e = ws.Textures.TexTable[t];
        EXPECT_EQ(e.Name, kCarNames[static_cast<std::size_t>(t)]);
        EXPECT_EQ(e.Width, 4);
        EXPECT_EQ(e.Height, 4);
        EXPECT_EQ(e.Slot, -1);
        list.push_back("Nl: " + kCarNames[static_cast<std::size_t>(t)]);
    }
    EXPECT_EQ(ui.TextureList, list);
}

TEST_P(VrlReaderTest, OpenReplacesTheModelWithOneSelectedPartNamedAfterTheFile) {
    const model::ModelStore& m = ws.Model;
    ASSERT_TRUE(Open(Write("wheel.vrl", Wheel())));
    const std::string path = Write("car.vrl", Car());
    ASSERT_TRUE(Open(path));

    EXPECT_EQ(m.VertCount, 5);
    EXPECT_EQ(m.PolyCount, 2);
    EXPECT_EQ(m.TexCount, 4);
    EXPECT_EQ(ui.TextureList.size(), 4u) << "the old model's list entries must go";
    ExpectPartNodes({"car   p:2"});
    EXPECT_EQ(ui.PartsCaption, "Groups: 1");
    EXPECT_EQ(m.LoadCount, 2);
    EXPECT_EQ(m.CurPoly, -1);
    for (int p = 0; p < 2; ++p) {
        EXPECT_EQ(m.PolySel[p], model::kTrue);
        EXPECT_EQ(m.PolyFlag[p], 1);
    }
    EXPECT_EQ(m.PolySel[2], model::kFalse) << "polygons of the old model stay unselected";
    EXPECT_EQ(m.VertFlag[0] & 1, 1);
    EXPECT_EQ(m.VertFlag[m.VertCount - 1] & 1, 1);
    EXPECT_EQ(m.ModelDir, dir.Path().string());
    EXPECT_EQ(m.ModelFileName, "car.vrl");
    EXPECT_EQ(ui.Caption, "ZV0.681 [ car.vrl ]    v: 5  p: 2");
}

TEST_P(VrlReaderTest, PartNameIsTheFileNameBeforeItsLastDot) {
    ASSERT_TRUE(Open(Write("my.car.vrl", Car())));
    ExpectPartNodes({"my.car   p:2"});
    ASSERT_TRUE(Open(Write("plainname", Car())));
    ExpectPartNodes({"plainname   p:2"});
    EXPECT_EQ(ui.Caption, "ZV0.681 [ plainname ]    v: 5  p: 2");
}

TEST_P(VrlReaderTest, FileWithoutPolygonsGivesAModelWithoutParts) {
    ASSERT_TRUE(Open(Write("car.vrl", Car())));
    ASSERT_TRUE(Open(Write("dots.vrl", Points(2))));
    EXPECT_TRUE(ws.Model.HasModel());
    EXPECT_EQ(ws.Model.VertCount, 2);
    EXPECT_EQ(ws.Model.PolyCount, 0);
    EXPECT_EQ(ws.Model.TexCount, 0);
    EXPECT_TRUE(ws.Model.PartNodes.empty());
    EXPECT_EQ(ui.PartsCaption, "Groups: 0");
    EXPECT_TRUE(ui.TextureList.empty());
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_P(VrlReaderTest, TextureIndicesWithoutAMatchingNameStayAsStored) {
    VrlFileModel nameless = Wheel();
    nameless.TextureNames.clear();
    nameless.Polygons[0].Texture = 7;
    const std::string path = Write("bare.vrl", nameless);
    ASSERT_TRUE(Open(path));
    EXPECT_EQ(ws.Model.TexCount, 0);
    EXPECT_EQ(ws.Model.PolyTex[0], 7);
    EXPECT_EQ(ws.Model.PolyTex[4], -1);

    ASSERT_TRUE(Open(Write("car.vrl", Car())));
    ASSERT_TRUE(Merge(path));
    EXPECT_EQ(ws.Model.TexCount, 4);
    EXPECT_EQ(ws.Model.PolyTex[2], 7);
    EXPECT_EQ(ws.Model.PolyTex[3], 1);
    EXPECT_EQ(ws.Model.PolyTex[6], -1);
}

// Real files keep the texture indices right after the surface types; open reads them there,
// merge follows the header.
TEST_P(VrlReaderTest, OpenReadsTextureIndicesAfterTheSurfaceTypesAndMergeAtTheirOffset) {
    VrlImage image = Build(Car());
    const std::int32_t elsewhere = test::AppendInt32Block(image, {0, 2});
    test::SetInt32(image, static_cast<std::size_t>(L().TextureIndexOffset), elsewhere);
    const std::string path = dir.Write("moved.vrl", image);

    ASSERT_TRUE(Open(path));
    EXPECT_EQ(ws.Model.PolyTex[0], 1);
    EXPECT_EQ(ws.Model.PolyTex[1], 3);
    ASSERT_TRUE(Merge(path));
    EXPECT_EQ(ws.Model.PolyTex[2], 0);
    EXPECT_EQ(ws.Model.PolyTex[3], 2);

    test::SetInt32(image, static_cast<std::size_t>(L().TextureIndexOffset), -1);
    EXPECT_TRUE(Open(dir.Write("moved.vrl", image))) << "open does not use the offset";
    EXPECT_TRUE(ui.Messages.empty());
}

TEST(VrlReaderScgtTest, NormalCountComesFromTheHeader) {
    test::TempDir dir;
    test::RecordingUi ui;
    Workspace ws{ui};
    VrlFileModel car = Car();
    car.NormalCount = 9;
    ASSERT_TRUE(OpenVrl(ws, dir.Write("car.vrl", test::BuildVrl(car, VrlVariant::Scgt)), VrlVariant::Scgt));
    EXPECT_EQ(ws.Model.NrmCount, 9);
}

TEST_P(VrlReaderTest, MissingFileShowsItsPathAndLeavesTheModel) {
    ASSERT_TRUE(Open(Write("car.vrl", Car())));
    const std::string gone = dir.File("gone.vrl");
    EXPECT_FALSE(Open(gone));
    ExpectOnlyMessage("Vrl-File not found", UpperAscii(gone));
    EXPECT_FALSE(Merge(gone));
    ExpectOnlyMessage("Vrl-File not found", UpperAscii(gone));
    EXPECT_FALSE(Open("x.vrl")) << "five characters are long enough to look for";
    ExpectOnlyMessage("Vrl-File not found", "X.VRL");

    EXPECT_EQ(ws.Model.VertCount, 5);
    EXPECT_EQ(ws.Model.PolyCount, 2);
    EXPECT_EQ(ws.Model.TexCount, 4);
    ExpectPartNodes({"car   p:2"});
}

TEST_P(VrlReaderTest, ShortPathOrNoModelDoesNothingAtAll) {
    const std::string path = Write("car.vrl", Car());
    EXPECT_FALSE(Merge(path)) << "a fresh workspace has no model";
    ASSERT_TRUE(Open(path));
    NewModel(ws);
    EXPECT_FALSE(Merge(path));
    EXPECT_EQ(ws.Model.VertCount, -1);
    EXPECT_EQ(ws.Model.PolyCount, -1);

    ASSERT_TRUE(Open(path));
    EXPECT_FALSE(Open("x.vr"));
    EXPECT_FALSE(Merge("x.vr"));
    EXPECT_EQ(ws.Model.VertCount, 5);
    EXPECT_EQ(ws.Model.PolyCount, 2);
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_P(VrlReaderTest, FailedOpenLeavesAnEmptyModelWithoutParts) {
    ASSERT_TRUE(Open(Write("car.vrl", Car())));
    ws.Model.CurPoly = 1;
    ws.Textures.TexLoadCount = 2;
    VrlImage image = Build(Car());
    test::Truncate(image, 50);
    EXPECT_FALSE(Open(dir.Write("bad.vrl", image)));

    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "  Vrl open error");
    EXPECT_EQ(ui.Messages[0].Text, "Error at Filepos. 3D");
    EXPECT_EQ(ui.Messages[0].Icon, model::MessageIcon::Warning);
    const model::ModelStore& m = ws.Model;
    EXPECT_EQ(m.VertCount, 0);
    EXPECT_EQ(m.PolyCount, 0);
    EXPECT_EQ(m.TexCount, 0);
    EXPECT_EQ(ws.Textures.TexLoadCount, -1);
    EXPECT_EQ(m.LoadCount, 1);
    EXPECT_EQ(m.CurPoly, -1);
    EXPECT_TRUE(m.PartNodes.empty());
    EXPECT_EQ(ui.PartsCaption, "Groups: 0");
}

TEST_P(VrlReaderTest, FailedMergeNamesTheFileAndKeepsTheModel) {
    ASSERT_TRUE(Open(Write("car.vrl", Car())));
    VrlImage image = Build(Wheel());
    test::SetInt32(image, test::ElementAt(image, L().CornerVertexOffset, 14, 4), 3);
    const std::size_t blamed = test::ElementAt(image, L().CornerVertexOffset, 14, 4) + 1;
    EXPECT_FALSE(Merge(dir.Write("bad.vrl", image)));

    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, MergeTitle());
    EXPECT_EQ(ui.Messages[0].Text, "Can't openbad.vrl\rError at Filepos. " + Hex(blamed));
    EXPECT_EQ(ui.Messages[0].Icon, model::MessageIcon::Warning);
    EXPECT_EQ(ws.Model.VertCount, 5);
    EXPECT_EQ(ws.Model.PolyCount, 2);
    EXPECT_EQ(ws.Model.TexCount, 4);
    EXPECT_EQ(ws.Model.TexName[3], "CAF\xE9");
    ExpectPartNodes({"car   p:2"});
    EXPECT_EQ(ui.TextureList.size(), 4u);
}

TEST_P(VrlReaderTest, MergeAppendsAfterTheModelAndRemapsTextures) {
    const model::ModelStore& m = ws.Model;
    ASSERT_TRUE(Open(Write("car.vrl", Car())));
    ASSERT_TRUE(Merge(Write("wheel.vrl", Wheel())));
    EXPECT_TRUE(ui.Messages.empty());

    ASSERT_EQ(m.VertCount, 8);
    EXPECT_EQ(m.Vert[4].Z, 100);
    EXPECT_EQ(m.Vert[5].X, 20);
    EXPECT_EQ(m.Vert[7].Z, 28);
    ASSERT_EQ(m.PolyCount, 7);
    EXPECT_EQ(m.PolyVCount[2], 3);
    ExpectCorner(2, 0, 7, 0.5f, 0.6f);
    ExpectCorner(2, 2, 5, 0.1f, 0.2f);
    ExpectCorner(1, 0, 4, 7, 8);
    EXPECT_EQ(m.PolyB[2], 1);
    EXPECT_EQ(m.PolyA[2], 4);
    EXPECT_EQ(m.PolyType[2], 7);
    EXPECT_EQ(m.PolyTex[0], 1) << "old polygons keep their textures";
    EXPECT_EQ(m.PolyTex[2], 4) << "GRASS is new";
    EXPECT_EQ(m.PolyTex[3], 0) << "Road is ROAD";
    EXPECT_EQ(m.PolyTex[4], 2);
    EXPECT_EQ(m.PolyTex[5], 3) << "outside the file's names: as stored";
    EXPECT_EQ(m.PolyTex[6], -1);

    ASSERT_EQ(m.TexCount, 5);
    EXPECT_EQ(m.TexName[4], "GRASS");
    EXPECT_EQ(ws.Textures.TexTable[4].Name, "GRASS");
    EXPECT_EQ(ws.Textures.TexTable[4].Slot, -1);
    ASSERT_EQ(ui.TextureList.size(), 5u);
    EXPECT_EQ(ui.TextureList[4], "Nl: GRASS");

    for (int p = 0; p < 7; ++p) {
        EXPECT_EQ(m.PolySel[p], p < 2 ? model::kFalse : model::kTrue) << p;
        EXPECT_EQ(m.PolyFlag[p], 1) << p;
    }
    ExpectPartNodes({"car   p:2", "wheel   p:5"});
    EXPECT_EQ(ui.PartsCaption, "Groups: 2");
    EXPECT_EQ(m.LoadCount, 3);
    EXPECT_EQ(m.CurPoly, -1);
    EXPECT_EQ(m.ModelFileName, "wheel.vrl");
    EXPECT_EQ(ui.Caption, "ZV0.681 [ wheel.vrl ]    v: 8  p: 7");
}

TEST_P(VrlReaderTest, MergingTheSameFileTwiceAddsGeometryButNoNames) {
    const std::string path = Write("wheel.vrl", Wheel());
    ASSERT_TRUE(Open(path));
    ASSERT_TRUE(Merge(path));
    EXPECT_EQ(ws.Model.VertCount, 6);
    EXPECT_EQ(ws.Model.PolyCount, 10);
    ExpectCorner(5, 0, 5, 0.5f, 0.6f);
    ExpectCorner(5, 2, 3, 0.1f, 0.2f);
    EXPECT_EQ(ws.Model.PolyTex[5], 0);
    EXPECT_EQ(ws.Model.PolyTex[7], 2);
    EXPECT_EQ(ws.Model.PolyTex[8], 3);
    EXPECT_EQ(ws.Model.TexCount, 3);
    EXPECT_EQ(ui.TextureList.size(), 3u);
    ExpectPartNodes({"wheel   p:5", "wheel   p:5"});
}

TEST_P(VrlReaderTest, MergeAppendsARepeatedNameOnceAndTakesTheFirstMatch) {
    VrlFileModel base = Triangles(1);
    base.TextureNames = {"dup", "DUP"};
    ASSERT_TRUE(Open(Write("base.vrl", base)));
    VrlFileModel other = Triangles(5);
    other.TextureNames = {"new", "NEW", "Dup", "new"};
    for (int p = 0; p < 4; ++p) {
        other.Polygons[static_cast<std::size_t>(p)].Texture = p;
    }
    ASSERT_TRUE(Merge(Write("other.vrl", other)));
    EXPECT_EQ(ws.Model.TexCount, 3);
    EXPECT_EQ(ws.Model.TexName[2], "NEW");
    EXPECT_EQ(ws.Model.PolyTex[1], 2);
    EXPECT_EQ(ws.Model.PolyTex[2], 2);
    EXPECT_EQ(ws.Model.PolyTex[3], 0);
    EXPECT_EQ(ws.Model.PolyTex[4], 2);
    EXPECT_EQ(ui.TextureList, (std::vector<std::string>{"Nl: DUP", "Nl: DUP", "Nl: NEW"}));
}

TEST_P(VrlReaderTest, MergedNamesKeepBlanksOnlyInScgtFiles) {
    ASSERT_TRUE(Open(Write("car.vrl", Car())));
    VrlFileModel other = Triangles(4);
    other.TextureNames = {"ab cd", "tab\tx", std::string("ro\0ad", 5), "twelvechars1"};
    for (int p = 0; p < 4; ++p) {
        other.Polygons[static_cast<std::size_t>(p)].Texture = p;
    }
    ASSERT_TRUE(Merge(Write("other.vrl", other)));
    const model::ModelStore& m = ws.Model;
    if (GetParam() == VrlVariant::Scgt) {
        ASSERT_EQ(m.TexCount, 6);
        EXPECT_EQ(m.TexName[4], "AB CD");
        EXPECT_EQ(m.TexName[5], "TAB\tX");
        EXPECT_EQ(m.PolyTex[2], 4);
        EXPECT_EQ(m.PolyTex[3], 5);
    } else {
        ASSERT_EQ(m.TexCount, 5);
        EXPECT_EQ(m.TexName[4], "TABX");
        EXPECT_EQ(m.PolyTex[2], 1);
        EXPECT_EQ(m.PolyTex[3], 4);
    }
    EXPECT_EQ(m.PolyTex[4], 0) << "a zero byte inside a name is dropped, the rest kept";
    EXPECT_EQ(m.PolyTex[5], 2);
}

TEST_P(VrlReaderTest, MergeStopsAtTheCapacityOfTheStore) {
    const model::ModelStore& m = ws.Model;
    const std::string third = Write("third.vrl", Triangles(26667));
    ASSERT_TRUE(Open(third));
    ASSERT_TRUE(Merge(third));
    ASSERT_TRUE(Merge(third));
    EXPECT_EQ(m.PolyCount, 80001);
    EXPECT_FALSE(Merge(Write("one.vrl", Triangles(1))));
    ExpectOnlyMessage(MergeTitle(), "Can't openone.vrl\rError at Filepos. " +
                                        Hex(Field(L().PolygonCount) + 1) +
                                        "\rToo many polygons for the model: 80001 + 1 (at most 80001)");
    EXPECT_EQ(m.PolyCount, 80001);
    EXPECT_EQ(m.VertCount, 9);

    ASSERT_TRUE(Open(Write("cloud.vrl", Points(80000))));
    const std::string dot = Write("dot.vrl", Points(1));
    ASSERT_TRUE(Merge(dot));
    EXPECT_EQ(m.VertCount, 80001);
    EXPECT_FALSE(Merge(dot));
    ExpectOnlyMessage(MergeTitle(), "Can't opendot.vrl\rError at Filepos. " +
                                        Hex(Field(L().VertexCount) + 1) +
                                        "\rToo many vertices for the model: 80001 + 1 (at most 80001)");
    EXPECT_EQ(m.VertCount, 80001);
}

TEST_P(VrlReaderTest, MergeStopsAtTheFirstNameThatFindsNoSlot) {
    VrlFileModel full = Points(1);
    for (int t = 0; t < 500; ++t) {
        full.TextureNames.push_back("T" + std::to_string(t));
    }
    ASSERT_TRUE(Open(Write("full.vrl", full)));
    VrlFileModel more = Triangles(1);
    more.TextureNames = {"T0", "NEW1", "NEW2"};
    VrlImage image = Build(more);
    const std::size_t blamed = test::ElementAt(image, L().TextureNameOffset, 2, 12) + 1;
    EXPECT_FALSE(Merge(dir.Write("more.vrl", image)));
    ExpectOnlyMessage(MergeTitle(), "Can't openmore.vrl\rError at Filepos. " + Hex(blamed) +
                                        "\rToo many textures for the model: 500 + 2 (at most 501)");
    EXPECT_EQ(ws.Model.TexCount, 500);
    EXPECT_EQ(ws.Model.PolyCount, 0);
    EXPECT_EQ(ui.TextureList.size(), 500u);

    more.TextureNames.pop_back();
    ASSERT_TRUE(Merge(Write("more.vrl", more)));
    EXPECT_EQ(ws.Model.TexCount, 501);
    EXPECT_EQ(ws.Model.TexName[500], "NEW1");
}

// A damaged copy of the car file and the offset of the element to blame.
enum class Use { Both, OpenOnly, MergeOnly };
struct Fault {
    const char* Name;
    std::size_t (*Damage)(VrlImage&, const Layout&);
    Use When = Use::Both;
};

const Fault kFaults[] = {
    {"file of 50 bytes",
     [](VrlImage& f, const Layout& l) {
         test::Truncate(f, 50);
         return Field(l.VertexCount);
     }},
    {"Nv negative", [](VrlImage& f, const Layout& l) { return Set(f, Field(l.VertexCount), -1); }},
    {"Nv above 80001", [](VrlImage& f, const Layout& l) { return Set(f, Field(l.VertexCount), 80002); }},
    {"Nc negative", [](VrlImage& f, const Layout& l) { return Set(f, Field(l.CornerCount), -7); }},
    {"Nc above 80001", [](VrlImage& f, const Layout& l) { return Set(f, Field(l.CornerCount), 80002); }},
    {"Np negative", [](VrlImage& f, const Layout& l) { return Set(f, Field(l.PolygonCount), INT32_MIN); }},
    {"Np above 80001", [](VrlImage& f, const Layout& l) { return Set(f, Field(l.PolygonCount), 80002); }},
    {"Nt negative", [](VrlImage& f, const Layout& l) { return Set(f, Field(l.TextureCount), -1); }},
    {"Nt above 501", [](VrlImage& f, const Layout& l) { return Set(f, Field(l.TextureCount), 502); }},
    {"vertex offset negative",
     [](VrlImage& f, const Layout& l) { return Set(f, Field(l.VertexOffset), -16); }},
    {"vertex offset beyond the end",
     [](VrlImage& f, const Layout& l) {
         return Set(f, Field(l.VertexOffset), static_cast<std::int32_t>(f.size() + 1));
     }},
    {"U offset beyond the end, bad corner count too",
     [](VrlImage& f, const Layout& l) {
         Set(f, Elem(f, l.CornerCountOffset, 0), 2);
         return Set(f, Field(l.CornerUOffset), INT32_MAX);
     }},
    {"colour offset negative",
     [](VrlImage& f, const Layout& l) { return Set(f, Field(l.ColourOffset), -1); }},
    {"name offset beyond the end",
     [](VrlImage& f, const Layout& l) {
         return Set(f, Field(l.TextureNameOffset), static_cast<std::int32_t>(f.size() + 12));
     }},
    {"texture-index offset beyond the end",
     [](VrlImage& f, const Layout& l) { return Set(f, Field(l.TextureIndexOffset), INT32_MAX); },
     Use::MergeOnly},
    {"room for two of five vertices",
     [](VrlImage& f, const Layout& l) {
         const std::size_t at = f.size() - 2 * 16 - 8;
         Set(f, Field(l.VertexOffset), static_cast<std::int32_t>(at));
         return at + 32;
     }},
    {"80001 vertices announced, few there",
     [](VrlImage& f, const Layout& l) {
         Set(f, Field(l.VertexCount), 80001);
         return FirstMissing(f, l.VertexOffset, 16);
     },
     Use::OpenOnly},
    {"merge would pass 80001 vertices",
     [](VrlImage& f, const Layout& l) { return Set(f, Field(l.VertexCount), 80001 - 4); }, Use::MergeOnly},
    {"merge fills the vertices exactly, few there",
     [](VrlImage& f, const Layout& l) {
         Set(f, Field(l.VertexCount), 80001 - 5);
         return FirstMissing(f, l.VertexOffset, 16);
     },
     Use::MergeOnly},
    {"V block cut after two entries",
     [](VrlImage& f, const Layout& l) {
         const std::size_t at = f.size() - 8;
         Set(f, Field(l.CornerVOffset), static_cast<std::int32_t>(at));
         return at + 8;
     }},
    {"corner vertex index equal to Nv",
     [](VrlImage& f, const Layout& l) { return Set(f, Elem(f, l.CornerVertexOffset, 4), 5); }},
    {"corner vertex index negative",
     [](VrlImage& f, const Layout& l) { return Set(f, Elem(f, l.CornerVertexOffset, 2), -1); }},
    {"corner count 2",
     [](VrlImage& f, const Layout& l) { return Set(f, Elem(f, l.CornerCountOffset, 1), 2); }},
    {"corner count 17",
     [](VrlImage& f, const Layout& l) { return Set(f, Elem(f, l.CornerCountOffset, 1), 17); }},
    {"corner count with low byte 2",
     [](VrlImage& f, const Layout& l) { return Set(f, Elem(f, l.CornerCountOffset, 0), 0x302); }},
    {"first corner negative",
     [](VrlImage& f, const Layout& l) { return Set(f, Elem(f, l.FirstCornerOffset, 0), -1); }},
    {"first corner plus count beyond Nc",
     [](VrlImage& f, const Layout& l) { return Set(f, Elem(f, l.FirstCornerOffset, 1), 4); }},
    {"Nc smaller than the corners used",
     [](VrlImage& f, const Layout& l) {
         Set(f, Field(l.CornerCount), 6);
         return Elem(f, l.FirstCornerOffset, 1);
     }},
    {"colour block cut after one entry",
     [](VrlImage& f, const Layout& l) {
         const std::size_t at = f.size() - 4;
         Set(f, Field(l.ColourOffset), static_cast<std::int32_t>(at));
         return at + 4;
     }},
    {"texture indices after the surface types cut",
     [](VrlImage& f, const Layout& l) {
         const std::size_t at = f.size() - 12;
         Set(f, Field(l.SurfaceTypeOffset), static_cast<std::int32_t>(at));
         return at + 12;
     },
     Use::OpenOnly},
    {"501 names announced, four there",
     [](VrlImage& f, const Layout& l) {
         Set(f, Field(l.TextureCount), 501);
         return FirstMissing(f, l.TextureNameOffset, 12);
     }},
    {"Nv and Np both above the limit",
     [](VrlImage& f, const Layout& l) {
         Set(f, Field(l.PolygonCount), 80002);
         return Set(f, Field(l.VertexCount), 80002);
     }},
    {"Nt above the limit, bad corner vertex index too",
     [](VrlImage& f, const Layout& l) {
         Set(f, Elem(f, l.CornerVertexOffset, 0), 99);
         return Set(f, Field(l.TextureCount), 600);
     }},
    {"bad corner vertex index, bad corner count too",
     [](VrlImage& f, const Layout& l) {
         Set(f, Elem(f, l.CornerCountOffset, 0), 1);
         return Set(f, Elem(f, l.CornerVertexOffset, 1), 5);
     }},
    {"bad first corner, names cut too",
     [](VrlImage& f, const Layout& l) {
         test::Truncate(f, f.size() - 6);
         return Set(f, Elem(f, l.FirstCornerOffset, 0), 80000);
     }},
};

TEST_P(VrlReaderTest, OpenBlamesTheFirstFaultInReadingOrder) {
    for (const Fault& fault : kFaults) {
        if (fault.When == Use::MergeOnly) {
            continue;
        }
        SCOPED_TRACE(fault.Name);
        VrlImage image = Build(Car());
        const std::size_t blamed = fault.Damage(image, L()) + 1;
        EXPECT_FALSE(Open(dir.Write("bad.vrl", image)));
        ExpectOnlyMessage("  Vrl open error", "Error at Filepos. " + Hex(blamed));
        EXPECT_EQ(ws.Model.VertCount, 0);
        EXPECT_EQ(ws.Model.PolyCount, 0);
        EXPECT_EQ(ws.Model.TexCount, 0);
    }
}

TEST_P(VrlReaderTest, MergeBlamesTheFirstFaultInReadingOrder) {
    ASSERT_TRUE(Open(Write("car.vrl", Car())));
    for (const Fault& fault : kFaults) {
        if (fault.When == Use::OpenOnly) {
            continue;
        }
        SCOPED_TRACE(fault.Name);
        VrlImage image = Build(Car());
        const std::size_t blamed = fault.Damage(image, L()) + 1;
        EXPECT_FALSE(Merge(dir.Write("bad.vrl", image)));
        // Only a count the model has no room left for gets the second line.
        const bool full = std::string(fault.Name) == "merge would pass 80001 vertices";
        ExpectOnlyMessage(MergeTitle(),
                          "Can't openbad.vrl\rError at Filepos. " + Hex(blamed) +
                              (full ? "\rToo many vertices for the model: 5 + 79997 (at most 80001)" : ""));
        EXPECT_EQ(ws.Model.VertCount, 5);
        EXPECT_EQ(ws.Model.PolyCount, 2);
        EXPECT_EQ(ws.Model.TexCount, 4);
        EXPECT_EQ(ws.Model.PartCount(), 1);
    }
}

// The low byte alone is the corner count; the bytes above it are noise.
TEST_P(VrlReaderTest, OnlyTheLowByteOfACornerCountCounts) {
    VrlImage image = Build(Car());
    test::SetInt32(image, Elem(image, L().CornerCountOffset, 0), 0x7F03);
    test::SetInt32(image, Elem(image, L().CornerCountOffset, 1), -252); // 0xFFFFFF04
    ASSERT_TRUE(Open(dir.Write("car.vrl", image)));
    EXPECT_EQ(ws.Model.PolyVCount[0], 3);
    EXPECT_EQ(ws.Model.PolyVCount[1], 4);
    ExpectCorner(1, 0, 4, 7, 8);
}

INSTANTIATE_TEST_SUITE_P(BothVariants, VrlReaderTest,
                         ::testing::Values(VrlVariant::Scgt, VrlVariant::F1_2000),
                         [](const auto& tp) { return tp.param == VrlVariant::Scgt ? "Scgt" : "F1"; });

} // namespace
} // namespace zv::formats
