// Export through Assimp: the sample box written to glTF, GLB, OBJ and FBX and read back with
// Assimp, the axis, winding and UV conventions, the selection and the texture files.

#include "interchange/Interchange.h"

#include "edit/Parts.h"
#include "formats/VrlReader.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>

namespace zv::interchange {
namespace {

const std::string kBox = ZV_SOURCE_DIR "/samples/box.vrl";

ExportOptions With(bool selectionOnly, bool textures) {
    ExportOptions o;
    o.SelectionOnly = selectionOnly;
    o.Textures = textures;
    return o;
}

// The name of the node holding mesh i, "" when none does.
std::string NodeOfMesh(const aiNode* n, unsigned i) {
    if (std::find(n->mMeshes, n->mMeshes + n->mNumMeshes, i) != n->mMeshes + n->mNumMeshes) {
        return n->mName.C_Str();
    }
    for (unsigned c = 0; c < n->mNumChildren; ++c) {
        if (std::string name = NodeOfMesh(n->mChildren[c], i); !name.empty()) {
            return name;
        }
    }
    return {};
}

class ExportTest : public ::testing::Test {
protected:
    void Open(bool textures) {
        ws->Settings.LoadTexturesOnOpen = textures;
        ASSERT_TRUE(formats::OpenVrl(*ws, kBox, formats::VrlVariant::Scgt));
    }
    void SetUp() override { Open(false); }

    const aiScene* ReadBack(const std::string& path) {
        const aiScene* s = importer.ReadFile(path, 0);
        EXPECT_NE(s, nullptr) << path << ": " << importer.GetErrorString();
        return s;
    }

    test::RecordingUi ui;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>(ui);
    test::TempDir dir;
    Assimp::Importer importer;
};

// The box is one part of six quads, three with each of its two textures.
TEST_F(ExportTest, EachFormatReadsBackWithPartsMaterialsAndFaces) {
    const std::string side = MaterialName("BOXSIDE", 1, 0xDC8C3C00);
    const std::string end = MaterialName("BOXEND", 1, 0xDC8C3C00);
    for (const std::string name : {"box.gltf", "box.glb", "box.obj", "box.fbx"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.File(name);
        const ExportResult r = ExportModel(*ws, path, {});
        ASSERT_TRUE(r.Ok) << r.Error;
        const aiScene* s = ReadBack(path);
        ASSERT_NE(s, nullptr);
        ASSERT_EQ(s->mNumMeshes, 2u);
        const bool gltf = name.find(".gl") != std::string::npos;
        std::set<std::string> materials;
        for (unsigned i = 0; i < s->mNumMeshes; ++i) {
            const aiMesh* mesh = s->mMeshes[i];
            EXPECT_EQ(mesh->mNumFaces, gltf ? 6u : 3u); // glTF holds triangles only
            EXPECT_EQ(mesh->mFaces[0].mNumIndices, gltf ? 3u : 4u);
            materials.insert(s->mMaterials[mesh->mMaterialIndex]->GetName().C_Str());
            EXPECT_EQ(NodeOfMesh(s->mRootNode, i), "box");
        }
        EXPECT_EQ(materials, (std::set<std::string>{side, end}));
        importer.FreeScene();
    }
    EXPECT_TRUE(std::filesystem::exists(dir.File("box.bin")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("box.mtl")));
    // Written into a staging folder and moved into place: nothing of it stays behind.
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        EXPECT_FALSE(e.path().filename().string().starts_with(".zv-export")) << e.path();
    }
    // The triangles keep the quads' outlines for readers of the extension.
    EXPECT_NE(test::ReadText(dir.File("box.gltf")).find("\"FB_ngon_encoding\""), std::string::npos);
    // Binary, as most tools read only that (Assimp's own output needed completing to be read).
    EXPECT_EQ(test::ReadText(dir.File("box.fbx")).rfind("Kaydara FBX Binary", 0), 0u);
}

TEST_F(ExportTest, CornersAreMirroredReversedAndUvFlipped) {
    const std::string path = dir.File("box.obj");
    ASSERT_TRUE(ExportModel(*ws, path, {}).Ok);
    const aiScene* s = ReadBack(path);
    ASSERT_NE(s, nullptr);
    const aiMesh* mesh = s->mMeshes[0]; // the first polygon opens the first mesh
    const model::ModelStore& m = ws->Model;
    const int n = m.PolyVCount[0];
    ASSERT_EQ(static_cast<int>(mesh->mFaces[0].mNumIndices), n);
    for (int j = 0; j < n; ++j) {
        const unsigned at = mesh->mFaces[0].mIndices[j];
        const int k = n - 1 - j;
        const model::VertRec& v = m.Vert[m.PolyVert(0, k)];
        EXPECT_FLOAT_EQ(mesh->mVertices[at].x, -v.X);
        EXPECT_FLOAT_EQ(mesh->mVertices[at].y, v.Y);
        EXPECT_FLOAT_EQ(mesh->mVertices[at].z, v.Z);
        EXPECT_FLOAT_EQ(mesh->mTextureCoords[0][at].x, m.PolyTU(0, k));
        EXPECT_FLOAT_EQ(mesh->mTextureCoords[0][at].y, 1.0f - m.PolyTV(0, k));
    }
}

// Polygons of no part go to a node named after the model file, after the parts.
TEST_F(ExportTest, EachPartGetsItsNodeAndTheRestTheFileName) {
    edit::ClearParts(ws->Model, ws->Ui);
    ASSERT_EQ(edit::AddPartOfPolygons(ws->Model, ws->Ui, "lid 2", 0, 2), 1);
    const std::string path = dir.File("parts.obj");
    ASSERT_TRUE(ExportModel(*ws, path, {}).Ok);
    const aiScene* s = ReadBack(path);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->mNumMeshes, 3u); // lid: BOXSIDE; box: BOXEND and BOXSIDE
    EXPECT_EQ(NodeOfMesh(s->mRootNode, 0), "lid");
    EXPECT_EQ(s->mMeshes[0]->mNumFaces, 2u);
    EXPECT_EQ(NodeOfMesh(s->mRootNode, 1), "box");
    EXPECT_EQ(NodeOfMesh(s->mRootNode, 2), "box");
    EXPECT_EQ(s->mMeshes[1]->mNumFaces + s->mMeshes[2]->mNumFaces, 4u);
}

TEST_F(ExportTest, SelectionOnlyWritesTheSelectedPolygons) {
    model::DeselectAll(ws->Model);
    const std::string path = dir.File("sel.obj");
    EXPECT_FALSE(ExportModel(*ws, path, With(true, false)).Ok);
    ws->Model.PolySel[2] = model::kTrue; // a BOXEND face
    ASSERT_TRUE(ExportModel(*ws, path, With(true, false)).Ok);
    const aiScene* s = ReadBack(path);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->mNumMeshes, 1u);
    EXPECT_EQ(s->mMeshes[0]->mNumFaces, 1u);
    EXPECT_EQ(s->mMaterials[s->mMeshes[0]->mMaterialIndex]->GetName().C_Str(),
              MaterialName("BOXEND", 1, 0xDC8C3C00));
}

TEST_F(ExportTest, TexturesAreWrittenBesideTheFileOrListedAsMissing) {
    const ExportResult missing = ExportModel(*ws, dir.File("box.obj"), With(false, true));
    ASSERT_TRUE(missing.Ok) << missing.Error;
    EXPECT_EQ(missing.MissingTextures, (std::vector<std::string>{"BOXSIDE", "BOXEND"}));

    Open(true);
    const ExportResult written = ExportModel(*ws, dir.File("box.obj"), With(false, true));
    ASSERT_TRUE(written.Ok) << written.Error;
    EXPECT_TRUE(written.MissingTextures.empty());
    EXPECT_TRUE(std::filesystem::exists(dir.File("BOXSIDE.png")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("BOXEND.png")));
}

TEST_F(ExportTest, UnknownFormatsAreRefused) {
    EXPECT_FALSE(ExportModel(*ws, dir.File("box.xyz"), {}).Ok);
    ExportOptions o;
    o.FormatId = "nope";
    EXPECT_FALSE(ExportModel(*ws, dir.File("box.obj"), o).Ok);
    o.FormatId = "stl"; // the id decides over the extension
    EXPECT_TRUE(ExportModel(*ws, dir.File("box.bin"), o).Ok);
}

// The Khronos validator (installed by scripts/zv.sh test) finds no error in either glTF form.
TEST_F(ExportTest, GltfPassesTheKhronosValidator) {
    const char* script = std::getenv("ZV_GLTF_VALIDATOR");
    if (script == nullptr || *script == '\0') {
        GTEST_SKIP() << "ZV_GLTF_VALIDATOR is not set (the gltf-validator package is not installed)";
    }
    Open(true);
    for (const std::string name : {"box.gltf", "box.glb"}) {
        const std::string path = dir.File(name);
        ASSERT_TRUE(ExportModel(*ws, path, With(false, true)).Ok);
        const std::string command = "node '" + std::string(script) + "' '" + path + "' 2>&1";
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
        ASSERT_NE(pipe, nullptr);
        std::string report;
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe.get()) != nullptr) {
            report += buffer;
        }
        EXPECT_EQ(report.substr(0, report.find('\n')), "0") << name << ":\n" << report;
    }
}

} // namespace
} // namespace zv::interchange
