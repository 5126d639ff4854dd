#include "interchange/Interchange.h"

#include "edit/Parts.h"
#include "formats/ByteReader.h"
#include "formats/VrlReader.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <memory>

namespace zv::interchange {
namespace {

// The table is fixed at its first use, so the interchange entries go in before any test.
class InstallInterchange : public ::testing::Environment {
public:
    void SetUp() override { InstallFormats(); }
};
[[maybe_unused]] ::testing::Environment* const kInstall =
    ::testing::AddGlobalTestEnvironment(new InstallInterchange);

template <class T> void Append(std::vector<std::uint8_t>& out, std::initializer_list<T> values) {
    for (const T v : values) {
        const std::size_t at = out.size();
        out.resize(at + sizeof v);
        std::memcpy(out.data() + at, &v, sizeof v);
    }
}

// Two nodes: "Body" (moved by +10 x) holds a quad as two triangles textured road.png, and
// "Wheel FL" (moved by -1 z) a triangle whose material names texture, type and colour; two of
// its corners land on the quad's.
std::string WriteCarGltf(const test::TempDir& dir) {
    std::vector<std::uint8_t> bin;
    Append<float>(bin, {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}); // 0: quad positions
    Append<float>(bin, {0, 0, 1, 0, 1, 0.25f, 0, 1});         // 48: quad uv
    Append<std::uint16_t>(bin, {0, 1, 2, 0, 2, 3});           // 80: quad indices
    Append<float>(bin, {10, 0, 1, 10, 0, 2, 11, 0, 1});       // 92: triangle positions
    Append<std::uint16_t>(bin, {0, 1, 2});                    // 128: triangle indices
    dir.Write("car.bin", bin);
    return dir.Write("car.gltf", std::string(R"({
  "asset": {"version": "2.0"},
  "scene": 0,
  "scenes": [{"nodes": [0, 1]}],
  "nodes": [{"name": "Body", "mesh": 0, "translation": [10, 0, 0]},
            {"name": "Wheel FL", "mesh": 1, "translation": [0, 0, -1]}],
  "meshes": [{"primitives": [{"attributes": {"POSITION": 0, "TEXCOORD_0": 1}, "indices": 2, "material": 0}]},
             {"primitives": [{"attributes": {"POSITION": 3}, "indices": 4, "material": 1}]}],
  "materials": [{"name": "Tarmac", "pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}},
                {"name": "ROAD#3#FF800040"}],
  "textures": [{"source": 0}],
  "images": [{"uri": "road.png"}],
  "buffers": [{"uri": "car.bin", "byteLength": 134}],
  "bufferViews": [{"buffer": 0, "byteOffset": 0, "byteLength": 48},
                  {"buffer": 0, "byteOffset": 48, "byteLength": 32},
                  {"buffer": 0, "byteOffset": 80, "byteLength": 12},
                  {"buffer": 0, "byteOffset": 92, "byteLength": 36},
                  {"buffer": 0, "byteOffset": 128, "byteLength": 6}],
  "accessors": [{"bufferView": 0, "componentType": 5126, "count": 4, "type": "VEC3",
                 "min": [0, 0, 0], "max": [1, 1, 0]},
                {"bufferView": 1, "componentType": 5126, "count": 4, "type": "VEC2"},
                {"bufferView": 2, "componentType": 5123, "count": 6, "type": "SCALAR"},
                {"bufferView": 3, "componentType": 5126, "count": 3, "type": "VEC3",
                 "min": [10, 0, 1], "max": [11, 0, 2]},
                {"bufferView": 4, "componentType": 5123, "count": 3, "type": "SCALAR"}]
})"));
}

class ImportTest : public ::testing::Test {
protected:
    formats::DecodeJob Job(const std::string& path, int vertBase = 0, int polyBase = 0) {
        return formats::DecodeJob{.Bytes = {},
                                  .Path = path,
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
    // Corner k of polygon p as a position.
    model::VertRec At(const model::ModelStore& m, int p, int k) const { return m.Vert[m.PolyVert(p, k)]; }

    std::unique_ptr<model::ModelStore> store_ = std::make_unique<model::ModelStore>();
    test::RecordingUi ui_;
    config::Settings settings_;
    test::TempDir dir_;
};

void ExpectPosition(const model::VertRec& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.X, x);
    EXPECT_FLOAT_EQ(v.Y, y);
    EXPECT_FLOAT_EQ(v.Z, z);
}

TEST(MaterialNameTest, NamesCarryTextureTypeAndColourAndOthersGiveATexture) {
    const std::string name = MaterialName("ROAD#2", -3, 0xFF804020u);
    EXPECT_EQ(name, "ROAD#2#-3#FF804020");
    const MaterialInfo back = ParseMaterialName(name, "ignored.png");
    EXPECT_EQ(back.Texture, "ROAD#2"); // split from the right
    EXPECT_EQ(back.Type, -3);
    EXPECT_EQ(back.Rgba, 0xFF804020u);

    const MaterialInfo file = ParseMaterialName("Paint", "C:\\maps\\hood.v2.png");
    EXPECT_EQ(file.Texture, "HOOD.V2");
    EXPECT_EQ(file.Type, 0);
    EXPECT_EQ(file.Rgba, 0u);
    // Not the form (the colour is not 8 hex digits): the material's own name, cut to 12 bytes.
    EXPECT_EQ(ParseMaterialName("road#1#FFF", "").Texture, "ROAD#1#FFF");
    EXPECT_EQ(ParseMaterialName("windscreen_glass", "").Texture, "WINDSCREEN_G");
    EXPECT_EQ(ParseMaterialName("glass#1#0000FFFF", "").Texture, "glass");
}

TEST_F(ImportTest, GltfNodesBecomeMirroredReversedPartsThroughTheTable) {
    const std::string path = WriteCarGltf(dir_);
    Workspace ws(ui_);
    ws.Settings.LoadTexturesOnOpen = false;
    ASSERT_TRUE(formats::OpenModelFile(ws, *formats::FindFormat("gltf"), path));
    const model::ModelStore& m = ws.Model;
    ASSERT_EQ(m.PolyCount, 3);
    EXPECT_EQ(m.VertCount, 5); // the triangle's corners on the quad's are joined
    ASSERT_EQ(m.PartCount(), 2);
    EXPECT_EQ(m.PartNodes[0].Text, "Body   p:2");
    EXPECT_EQ(m.PartNodes[1].Text, "Wheel_FL   p:1");
    ASSERT_EQ(m.TexCount, 1);
    EXPECT_EQ(m.TexName[0], "ROAD");

    // File triangle (0, 1, 2) moved by +10 x, mirrored, in reverse order.
    ASSERT_EQ(m.PolyVCount[0], 3);
    ExpectPosition(At(m, 0, 0), -11, 1, 0);
    ExpectPosition(At(m, 0, 1), -11, 0, 0);
    ExpectPosition(At(m, 0, 2), -10, 0, 0);
    // The file's v again: the importer turns it upside down and the convention back.
    EXPECT_FLOAT_EQ(m.PolyTU(0, 0), 1);
    EXPECT_FLOAT_EQ(m.PolyTV(0, 0), 0.25f);
    EXPECT_FLOAT_EQ(m.PolyTU(0, 1), 1);
    EXPECT_FLOAT_EQ(m.PolyTV(0, 1), 0);
    EXPECT_FLOAT_EQ(m.PolyTU(0, 2), 0);
    EXPECT_EQ(m.PolyTex[0], 0);
    EXPECT_EQ(m.PolyType[0], 0);
    EXPECT_EQ(m.PolyFlag[0], 1);

    ExpectPosition(At(m, 2, 0), -11, 0, 0);
    ExpectPosition(At(m, 2, 2), -10, 0, 0);
    EXPECT_EQ(m.PolyVert(2, 2), m.PolyVert(0, 2));
    EXPECT_EQ(m.PolyTex[2], 0);
    EXPECT_EQ(m.PolyType[2], 3);
    EXPECT_EQ(std::vector<int>({m.PolyR[2], m.PolyG[2], m.PolyB[2], m.PolyA[2]}),
              std::vector<int>({255, 128, 0, 64}));
    EXPECT_EQ(m.PolySelEdge[2], -1);
}

TEST_F(ImportTest, ObjKeepsPolygonsUpTo16CornersAndFansLargerOnes) {
    dir_.Write("car.mtl", std::string("newmtl paint\nmap_Kd maps\\hood.bmp\n"));
    std::string obj = "mtllib car.mtl\no Hood\n";
    for (int i = 0; i < 17; ++i) {
        obj += "v " + std::to_string(i) + " " + std::to_string(i * i) + " 0\n";
    }
    obj += "vt 0.25 0.75\nvt 1 0\nusemtl paint\n";
    obj += "f 1/1 2/2 3/1 4/1\nf";
    for (int i = 1; i <= 17; ++i) {
        obj += " " + std::to_string(i);
    }
    obj += "\n";
    formats::DecodeJob job = Job(dir_.Write("car.obj", obj), 7, 3);
    DecodeWithAssimp(job);
    const model::ModelStore& m = *store_;
    EXPECT_EQ(job.Vertices, 17);
    ASSERT_EQ(job.Polygons, 1 + 15);
    ASSERT_EQ(job.Parts.size(), 1u);
    EXPECT_EQ(job.Parts[0].Name, "Hood");
    EXPECT_EQ(job.Parts[0].First, 0);
    EXPECT_EQ(job.Parts[0].Count, 16);
    EXPECT_EQ(job.TextureNames, std::vector<std::string>{"HOOD"});

    ASSERT_EQ(m.PolyVCount[3], 4);
    EXPECT_GE(m.PolyVert(3, 0), 7); // from the job's vertex base
    ExpectPosition(At(m, 3, 0), -3, 9, 0);
    ExpectPosition(At(m, 3, 3), 0, 0, 0);
    EXPECT_FLOAT_EQ(m.PolyTU(3, 3), 0.25f);
    EXPECT_FLOAT_EQ(m.PolyTV(3, 3), 0.25f);
    EXPECT_FLOAT_EQ(m.PolyTV(3, 2), 1);
    // The 17-gon as a fan (1, k, k + 1), each reversed.
    ASSERT_EQ(m.PolyVCount[4], 3);
    ExpectPosition(At(m, 4, 0), -2, 4, 0);
    ExpectPosition(At(m, 4, 2), 0, 0, 0);
    ExpectPosition(At(m, 18, 0), -16, 256, 0);
}

TEST_F(ImportTest, AModelBeyondTheCapacitiesWritesNothing) {
    const std::string path = WriteCarGltf(dir_);
    store_->Vert[model::kVertexCapacity - 2] = {7, 7, 7};
    store_->PolyVCount[0] = 9;

    formats::DecodeJob full = Job(path, model::kVertexCapacity - 2);
    try {
        DecodeWithAssimp(full);
        FAIL() << "no fault";
    } catch (const formats::ReadError& e) {
        EXPECT_EQ(e.Position(), 1u);
        EXPECT_EQ(e.Detail(), "Too many vertices for the model: 79999 + 5 (at most 80001)");
    }
    EXPECT_EQ(full.Vertices, 0);
    EXPECT_FLOAT_EQ(store_->Vert[model::kVertexCapacity - 2].X, 7);
    EXPECT_EQ(store_->PolyVCount[0], 9);

    formats::DecodeJob polygons = Job(path, 0, model::kPolygonCapacity - 2);
    EXPECT_THROW(DecodeWithAssimp(polygons), formats::ReadError);
    EXPECT_FLOAT_EQ(store_->Vert[0].X, 0);
}

TEST_F(ImportTest, AFileAssimpCannotReadIsAFaultThatLeavesTheModelAsItWas) {
    const std::string broken = dir_.Write("broken.gltf", std::string("{\"asset\": "));
    formats::DecodeJob job = Job(broken);
    try {
        DecodeWithAssimp(job);
        FAIL() << "no fault";
    } catch (const formats::ReadError& e) {
        EXPECT_EQ(e.Position(), 1u);
        EXPECT_FALSE(e.Detail().empty());
    }
    EXPECT_EQ(job.Polygons, 0);

    // Through the table the file is read before the model is emptied.
    Workspace ws(ui_);
    ws.Settings.LoadTexturesOnOpen = false;
    const formats::ModelFormat& gltf = *formats::FindFormat("gltf");
    ASSERT_TRUE(formats::OpenModelFile(ws, gltf, WriteCarGltf(dir_)));
    EXPECT_FALSE(formats::OpenModelFile(ws, gltf, broken));
    EXPECT_EQ(ws.Model.PolyCount, 3);
    ASSERT_EQ(ui_.Messages.size(), 1u);
    EXPECT_EQ(ui_.Messages[0].Title, "Import glTF 2.0");
    EXPECT_TRUE(ui_.Messages[0].Text.starts_with("Error at Filepos. 1\r")) << ui_.Messages[0].Text;
}

TEST(InterchangeTableTest, EntriesDecideTheirExtensionsAndTheRestGoToAssimp) {
    EXPECT_EQ(formats::FormatForPath("car.GLB")->Name, "gltf");
    EXPECT_EQ(formats::FormatForPath("car.obj")->Name, "obj");
    EXPECT_EQ(formats::FindFormat("fbx")->ErrorTitle, "Import Autodesk FBX");
    const formats::ModelFormat* other = formats::FindFormat("assimp");
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(other->ExtensionDecides);
    const auto& ext = other->Extensions;
    EXPECT_NE(std::find(ext.begin(), ext.end(), ".lwo"), ext.end());
    EXPECT_EQ(std::find(ext.begin(), ext.end(), ".obj"), ext.end());
    InstallFormats(); // a second call does nothing
}

// A polygon as the round trip must give it back.
struct PolygonView {
    std::vector<std::array<float, 5>> Corners; // x, y, z, u, v
    std::string Texture;
    std::int32_t Type = 0;
    std::array<int, 4> Rgba{};
    std::string Part;
};

std::vector<PolygonView> Polygons(const model::ModelStore& m) {
    std::vector<PolygonView> out(static_cast<std::size_t>(m.PolyCount));
    for (int g = 1; g <= m.PartCount(); ++g) {
        for (int i = 1; i <= m.GroupSize[g]; ++i) {
            out[static_cast<std::size_t>(m.GroupPoly(g, i))].Part = edit::PartBaseName(m, g);
        }
    }
    for (int p = 0; p < m.PolyCount; ++p) {
        PolygonView& v = out[static_cast<std::size_t>(p)];
        for (int k = 0; k < m.PolyVCount[p]; ++k) {
            const model::VertRec& at = m.Vert[m.PolyVert(p, k)];
            v.Corners.push_back({at.X, at.Y, at.Z, m.PolyTU(p, k), m.PolyTV(p, k)});
        }
        v.Texture = m.TexName[m.PolyTex[p]];
        v.Type = m.PolyType[p];
        v.Rgba = {m.PolyR[p], m.PolyG[p], m.PolyB[p], m.PolyA[p]};
    }
    return out;
}

bool Same(const PolygonView& a, const PolygonView& b, bool materials) {
    if (a.Corners.size() != b.Corners.size() || a.Texture != b.Texture || a.Part != b.Part ||
        (materials && (a.Type != b.Type || a.Rgba != b.Rgba))) {
        return false;
    }
    for (std::size_t k = 0; k < a.Corners.size(); ++k) {
        for (std::size_t i = 0; i < 5; ++i) {
            if (std::fabs(a.Corners[k][i] - b.Corners[k][i]) > 1e-4f) {
                return false;
            }
        }
    }
    return true;
}

// Every expected polygon matches one polygon read back, whatever their order.
void ExpectSamePolygons(std::vector<PolygonView> expected, std::vector<PolygonView> actual, bool materials) {
    ASSERT_EQ(expected.size(), actual.size());
    for (const PolygonView& e : expected) {
        const auto it = std::find_if(actual.begin(), actual.end(),
                                     [&](const PolygonView& a) { return Same(e, a, materials); });
        ASSERT_NE(it, actual.end()) << "a polygon of part " << e.Part << " with texture " << e.Texture
                                    << " is missing";
        actual.erase(it);
    }
}

TEST(InterchangeRoundTripTest, TheBoxComesBackThroughGltfObjAndFbx) {
    test::RecordingUi ui;
    Workspace source(ui);
    source.Settings.LoadTexturesOnOpen = false;
    ASSERT_TRUE(formats::OpenVrl(source, ZV_SOURCE_DIR "/samples/box.vrl", formats::VrlVariant::Scgt));
    model::ModelStore& m = source.Model;
    ASSERT_GE(m.PolyCount, 4);
    // Surface types and colours of their own per polygon, and two parts of several materials.
    for (int p = 0; p < m.PolyCount; ++p) {
        m.PolyType[p] = 10 + p;
        m.PolyR[p] = static_cast<std::uint8_t>(p * 40);
        m.PolyA[p] = 255;
    }
    edit::ClearParts(m, ui);
    edit::AddPartOfPolygons(m, ui, "sides", 0, 4);
    edit::AddPartOfPolygons(m, ui, "ends", 4, m.PolyCount - 4);
    const std::vector<PolygonView> before = Polygons(m);

    test::TempDir dir;
    for (const std::string ext : {"gltf", "obj", "fbx"}) {
        SCOPED_TRACE(ext);
        const std::string path = dir.File("box." + ext);
        const ExportResult written = ExportModel(source, path, {});
        ASSERT_TRUE(written.Ok) << written.Error;
        Workspace back(ui);
        back.Settings.LoadTexturesOnOpen = false;
        ASSERT_TRUE(formats::OpenModelFile(back, *formats::FormatForPath(path), path));
        // OBJ's material library takes '#' for a comment: types and colours stay behind.
        // glTF's triangles come back as the polygons they were (the fans of FB_ngon_encoding).
        ExpectSamePolygons(before, Polygons(back.Model), ext != "obj");
        ASSERT_EQ(back.Model.PartCount(), 2);
        EXPECT_EQ(edit::PartBaseName(back.Model, 1), "sides");
        EXPECT_EQ(edit::PartBaseName(back.Model, 2), "ends");
        EXPECT_EQ(back.Model.VertCount, m.VertCount);
    }
}

} // namespace
} // namespace zv::interchange
