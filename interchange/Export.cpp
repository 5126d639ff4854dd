#include "interchange/Interchange.h"

#include "edit/Parts.h"
#include "model/FileReplace.h"
#include "model/ModelStore.h"
#include "textures/TextureTable.h"

#include <assimp/Exporter.hpp>
#include <assimp/material.h>
#include <assimp/scene.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include <unistd.h>

namespace zv::interchange {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRootName = "zv_root";

// What makes two polygons share a material.
struct MaterialKey {
    std::int32_t Tex = -1; // -1: no texture
    std::int32_t Type = 0;
    std::uint32_t Rgba = 0;
    auto operator<=>(const MaterialKey&) const = default;
};

// The polygons of one exchange mesh: one part (or none) and one material.
struct MeshPlan {
    int Part = 0; // 0: the polygons of no part
    std::string Name;
    std::size_t Material = 0;
    std::vector<std::int32_t> Polygons;
};

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// Texture names come from model files; keep the PNG beside the exported file whatever they hold.
std::string TextureFileName(const std::string& texture) {
    std::string out;
    for (const char c : texture) {
        const bool bad = static_cast<unsigned char>(c) < 32 ||
                         std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
        out += bad ? '_' : c;
    }
    if (out.empty() || out == "." || out == "..") {
        out = "_";
    }
    return out + ".png";
}

std::string FormatIdFor(const std::string& path) {
    std::string ext = Lower(fs::path(path).extension().string());
    if (!ext.empty()) {
        ext.erase(0, 1);
    }
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kKnown{{
        {"gltf", "gltf2"},
        {"glb", "glb2"},
        {"obj", "obj"},
        {"fbx", "fbx"},
        {"dae", "collada"},
        {"ply", "ply"},
        {"stl", "stl"},
    }};
    for (const auto& [e, id] : kKnown) {
        if (ext == e) {
            return std::string(id);
        }
    }
    for (const ExportFormat& f : ExportFormats()) {
        if (!ext.empty() && Lower(f.Extension) == ext) {
            return f.Id;
        }
    }
    return {};
}

bool Exportable(const model::ModelStore& m, std::int32_t p, bool selectionOnly) {
    const std::int32_t n = m.PolyVCount[p];
    if (n < 3 || n > model::kMaxCorners || (selectionOnly && !m.PolySel[p])) {
        return false;
    }
    for (int k = 0; k < n; ++k) {
        const std::int32_t v = m.PolyVert(p, k);
        if (v < 0 || v >= m.VertCount) {
            return false;
        }
    }
    return true;
}

MaterialKey KeyOf(const model::ModelStore& m, std::int32_t p) {
    const std::int32_t tex = m.PolyTex[p];
    return {tex >= 0 && tex < m.TexCount ? tex : -1, m.PolyType[p],
            std::uint32_t{m.PolyR[p]} << 24 | std::uint32_t{m.PolyG[p]} << 16 |
                std::uint32_t{m.PolyB[p]} << 8 | std::uint32_t{m.PolyA[p]}};
}

// One mesh per part and material, in part order, then the polygons of no part under the model
// file's name. A polygon listed by several parts goes with the first.
std::vector<MeshPlan> PlanMeshes(const model::ModelStore& m, bool selectionOnly,
                                 std::vector<MaterialKey>& materials) {
    std::vector<MeshPlan> plans;
    std::map<MaterialKey, std::size_t> materialIndex;
    std::vector<bool> taken(static_cast<std::size_t>(m.PolyCount), false);
    const auto planGroup = [&](int part, const std::string& name, const std::vector<std::int32_t>& polygons) {
        std::map<std::size_t, std::size_t> meshOfMaterial;
        for (const std::int32_t p : polygons) {
            const MaterialKey key = KeyOf(m, p);
            const auto [it, added] = materialIndex.try_emplace(key, materials.size());
            if (added) {
                materials.push_back(key);
            }
            const auto [mesh, newMesh] = meshOfMaterial.try_emplace(it->second, plans.size());
            if (newMesh) {
                plans.push_back({part, name, it->second, {}});
            }
            plans[mesh->second].Polygons.push_back(p);
        }
    };
    for (int g = 1; g <= m.PartCount(); ++g) {
        std::vector<std::int32_t> members;
        for (int i = 1; i <= std::min(m.GroupSize[g], model::kMemberSlots - 1); ++i) {
            const std::int32_t p = m.GroupPoly(g, i);
            if (p >= 0 && p < m.PolyCount && !taken[static_cast<std::size_t>(p)] &&
                Exportable(m, p, selectionOnly)) {
                taken[static_cast<std::size_t>(p)] = true;
                members.push_back(p);
            }
        }
        std::string name = edit::PartBaseName(m, g);
        planGroup(g, name.empty() ? edit::DefaultPartName(g) : name, members);
    }
    std::vector<std::int32_t> rest;
    for (std::int32_t p = 0; p < m.PolyCount; ++p) {
        if (!taken[static_cast<std::size_t>(p)] && Exportable(m, p, selectionOnly)) {
            rest.push_back(p);
        }
    }
    std::string stem = fs::path(m.ModelFileName).stem().string();
    planGroup(0, stem.empty() ? std::string("model") : stem, rest);
    return plans;
}

aiMaterial* MakeMaterial(const model::ModelStore& m, const MaterialKey& key) {
    auto* mat = new aiMaterial();
    const std::string texture = key.Tex >= 0 ? m.TexName[key.Tex] : std::string();
    const aiString name(MaterialName(texture, key.Type, key.Rgba));
    mat->AddProperty(&name, AI_MATKEY_NAME);
    const auto channel = [&](int shift) { return static_cast<float>((key.Rgba >> shift) & 0xFFu) / 255.0f; };
    const aiColor4D colour(channel(24), channel(16), channel(8), channel(0));
    mat->AddProperty(&colour, 1, AI_MATKEY_BASE_COLOR);
    mat->AddProperty(&colour, 1, AI_MATKEY_COLOR_DIFFUSE);
    if (key.Tex >= 0) {
        const aiString file(TextureFileName(texture));
        mat->AddProperty(&file, AI_MATKEY_TEXTURE(aiTextureType_BASE_COLOR, 0));
        mat->AddProperty(&file, AI_MATKEY_TEXTURE(aiTextureType_DIFFUSE, 0));
    }
    return mat;
}

// Flat normals: without them Assimp's writers make smooth ones across the corners they join.
// Newell's sum holds for any planar polygon; a degenerate one gets "up", as glTF wants unit
// normals.
aiVector3D FaceNormal(const aiVector3D* corners, unsigned n) {
    aiVector3D sum(0, 0, 0);
    for (unsigned i = 0; i < n; ++i) {
        const aiVector3D& a = corners[i];
        const aiVector3D& b = corners[(i + 1) % n];
        sum += aiVector3D((a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x), (a.x - b.x) * (a.y + b.y));
    }
    const float length = sum.Length();
    return length > 1e-12f ? sum / length : aiVector3D(0, 1, 0);
}

// Corners are written in reverse order because the mirrored x reverses the winding. Polygons
// stay whole: the glTF writers triangulate them themselves, ear clipping concave ones, and mark
// the triangles with FB_ngon_encoding so that readers that know it get the polygons back.
aiMesh* MakeMesh(const model::ModelStore& m, const MeshPlan& plan) {
    auto* mesh = new aiMesh();
    mesh->mName = aiString(plan.Name);
    mesh->mMaterialIndex = static_cast<unsigned>(plan.Material);
    unsigned corners = 0;
    for (const std::int32_t p : plan.Polygons) {
        corners += static_cast<unsigned>(m.PolyVCount[p]);
    }
    mesh->mNumVertices = corners;
    mesh->mVertices = new aiVector3D[corners];
    mesh->mNormals = new aiVector3D[corners];
    mesh->mTextureCoords[0] = new aiVector3D[corners];
    mesh->mNumUVComponents[0] = 2;
    mesh->mNumFaces = static_cast<unsigned>(plan.Polygons.size());
    mesh->mFaces = new aiFace[plan.Polygons.size()];
    unsigned v = 0;
    unsigned types = 0;
    for (std::size_t f = 0; f < plan.Polygons.size(); ++f) {
        const std::int32_t p = plan.Polygons[f];
        const auto n = static_cast<unsigned>(m.PolyVCount[p]);
        aiFace& face = mesh->mFaces[f];
        face.mNumIndices = n;
        face.mIndices = new unsigned[n];
        for (unsigned j = 0; j < n; ++j, ++v) {
            const int k = static_cast<int>(n - 1 - j);
            const model::VertRec& at = m.Vert[m.PolyVert(p, k)];
            mesh->mVertices[v] = aiVector3D(-at.X, at.Y, at.Z);
            mesh->mTextureCoords[0][v] = aiVector3D(m.PolyTU(p, k), 1.0f - m.PolyTV(p, k), 0.0f);
            face.mIndices[j] = v;
        }
        const aiVector3D normal = FaceNormal(mesh->mVertices + (v - n), n);
        std::fill(mesh->mNormals + (v - n), mesh->mNormals + v, normal);
        types |= n == 3 ? aiPrimitiveType_TRIANGLE : aiPrimitiveType_POLYGON;
    }
    mesh->mPrimitiveTypes = types;
    return mesh;
}

std::unique_ptr<aiScene> BuildScene(const model::ModelStore& m, bool selectionOnly) {
    std::vector<MaterialKey> keys;
    const std::vector<MeshPlan> plans = PlanMeshes(m, selectionOnly, keys);
    auto scene = std::make_unique<aiScene>();
    if (keys.empty()) { // Assimp's writers expect a material even for an empty scene
        keys.push_back({});
    }
    scene->mNumMaterials = static_cast<unsigned>(keys.size());
    scene->mMaterials = new aiMaterial*[keys.size()];
    for (std::size_t i = 0; i < keys.size(); ++i) {
        scene->mMaterials[i] = MakeMaterial(m, keys[i]);
    }
    scene->mNumMeshes = static_cast<unsigned>(plans.size());
    scene->mMeshes = new aiMesh*[plans.size()];
    for (std::size_t i = 0; i < plans.size(); ++i) {
        scene->mMeshes[i] = MakeMesh(m, plans[i]);
    }
    // One node per part with the meshes of its materials (the plans of a part are adjacent).
    std::vector<std::pair<std::size_t, std::size_t>> runs; // first plan, plan count
    for (std::size_t i = 0; i < plans.size(); ++i) {
        if (i == 0 || plans[i].Part != plans[i - 1].Part) {
            runs.emplace_back(i, 0);
        }
        ++runs.back().second;
    }
    // The root's name must differ from every part's: Assimp's glTF writer renames a node whose
    // name is already taken.
    scene->mRootNode = new aiNode(kRootName);
    aiNode* root = scene->mRootNode;
    root->mNumChildren = static_cast<unsigned>(runs.size());
    root->mChildren = new aiNode*[runs.size()];
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const auto [first, count] = runs[r];
        auto* node = new aiNode(plans[first].Name);
        node->mParent = root;
        node->mNumMeshes = static_cast<unsigned>(count);
        node->mMeshes = new unsigned[count];
        for (std::size_t k = 0; k < count; ++k) {
            node->mMeshes[k] = static_cast<unsigned>(first + k);
        }
        root->mChildren[r] = node;
    }
    // Assimp's FBX writer declares centimetres unless told otherwise; the model is in metres.
    scene->mMetaData = aiMetadata::Alloc(1);
    scene->mMetaData->Set(0, "UnitScaleFactor", 100.0);
    return scene;
}

// Assimp 5.2's binary FBX writer leaves out the null record that closes each list of nested
// nodes (it writes an empty string where 25 zero bytes are meant), so no reader, Assimp's own
// included, accepts its files. BinaryFbxCopy gives the file with them; a file that already has
// them comes back unchanged.
class BinaryFbxCopy {
public:
    explicit BinaryFbxCopy(std::vector<std::uint8_t> in) : in_(std::move(in)) {}

    // The repaired bytes; nullopt when the file is not a binary FBX of 64-bit offsets (7500 and
    // later, all Assimp writes) or its nodes do not nest as their offsets say.
    std::optional<std::string> Run() {
        static constexpr std::string_view kMagic{"Kaydara FBX Binary  \0", 21};
        if (in_.size() < kHeader + kNull || std::string_view(Chars(0), kMagic.size()) != kMagic ||
            U32(23) < 7500) {
            return std::nullopt;
        }
        out_.assign(Chars(0), kHeader);
        std::size_t pos = kHeader;
        while (pos + kNull <= in_.size() && !IsNull(pos)) {
            const std::uint64_t end = U64(pos);
            if (end <= pos || end > in_.size()) {
                break; // the footer
            }
            if (!CopyNode(pos)) {
                return std::nullopt;
            }
            pos = static_cast<std::size_t>(end);
        }
        if (!added_) {
            return std::string(Chars(0), in_.size()); // written correctly
        }
        if (pos + kNull <= in_.size() && IsNull(pos)) {
            pos += kNull;
        }
        // The footer: its id, zeros up to a multiple of 16, four zeros, the version, 120 zeros, the
        // closing magic.
        if (in_.size() < pos + 32) {
            return std::nullopt;
        }
        out_.append(kNull, '\0');
        out_.append(Chars(pos), 16);
        out_.append(16 - out_.size() % 16, '\0');
        out_.append(4, '\0');
        out_.append(Chars(23), 4);
        out_.append(120, '\0');
        out_.append(Chars(in_.size() - 16), 16);
        return std::move(out_);
    }

private:
    static constexpr std::size_t kHeader = 27; // magic, two bytes, version
    static constexpr std::size_t kNull = 25;   // end offset, property count and size, name length

    const char* Chars(std::size_t at) const { return reinterpret_cast<const char*>(in_.data() + at); }
    std::uint64_t U64(std::size_t at) const {
        std::uint64_t v = 0;
        for (int i = 7; i >= 0; --i) {
            v = v << 8 | in_[at + static_cast<std::size_t>(i)];
        }
        return v;
    }
    std::uint32_t U32(std::size_t at) const { return static_cast<std::uint32_t>(U64(at) & 0xFFFFFFFFu); }
    bool IsNull(std::size_t at) const {
        return std::all_of(in_.begin() + static_cast<std::ptrdiff_t>(at),
                           in_.begin() + static_cast<std::ptrdiff_t>(at + kNull),
                           [](std::uint8_t b) { return b == 0; });
    }

    bool CopyNode(std::size_t pos) {
        const std::uint64_t end = U64(pos);
        const std::uint64_t propertyBytes = U64(pos + 16);
        const std::size_t name = in_[pos + 24];
        if (propertyBytes > end || pos + kNull + name > end - propertyBytes || end > in_.size()) {
            return false;
        }
        const auto body = static_cast<std::size_t>(pos + kNull + name + propertyBytes);
        const std::size_t at = out_.size();
        out_.append(Chars(pos), body - pos);
        std::size_t p = body;
        bool nested = false;
        bool closed = false;
        while (p < end) {
            if (p + kNull <= end && IsNull(p)) {
                p += kNull;
                nested = closed = true;
                break;
            }
            if (p + kNull > end) {
                return false;
            }
            const std::uint64_t childEnd = U64(p);
            if (childEnd <= p || childEnd > end || !CopyNode(p)) {
                return false;
            }
            p = static_cast<std::size_t>(childEnd);
            nested = true;
        }
        if (p != end) {
            return false;
        }
        if (nested && !closed) {
            added_ = true;
        }
        if (nested) {
            out_.append(kNull, '\0');
        }
        std::uint64_t newEnd = out_.size();
        for (std::size_t i = 0; i < 8; ++i, newEnd >>= 8) {
            out_[at + i] = static_cast<char>(newEnd & 0xFFu);
        }
        return true;
    }

    std::vector<std::uint8_t> in_;
    std::string out_;
    bool added_ = false; // a null record was missing
};

bool RepairBinaryFbx(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    const std::optional<std::string> repaired = BinaryFbxCopy(std::move(bytes)).Run();
    if (!repaired) {
        return false;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(repaired->data(), static_cast<std::streamsize>(repaired->size()));
    return static_cast<bool>(out);
}

// Assimp writes its files itself (a glTF and its .bin, an OBJ and its .mtl), so they are written
// into a folder of their own beside the target and renamed into place once all are complete:
// a failed export never leaves a half-written file over an old one.
class StagingFolder {
public:
    explicit StagingFolder(const fs::path& target)
        : folder_(target.parent_path().empty() ? fs::path(".") : target.parent_path()) {
        static std::atomic<unsigned> next{0};
        for (int attempt = 0; attempt < 100 && staging_.empty(); ++attempt) {
            const fs::path candidate =
                folder_ / (".zv-export-" + std::to_string(::getpid()) + "-" + std::to_string(next++));
            std::error_code ec;
            if (fs::create_directory(candidate, ec)) {
                staging_ = candidate;
            }
        }
    }
    ~StagingFolder() {
        std::error_code ec;
        if (!staging_.empty()) {
            fs::remove_all(staging_, ec);
        }
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    bool Ready() const { return !staging_.empty(); }
    fs::path Path(const fs::path& name) const { return staging_ / name; }

    // Moves every staged file into the target folder; false at the first that cannot move.
    bool Commit() {
        std::error_code ec;
        for (const fs::directory_entry& e : fs::directory_iterator(staging_, ec)) {
            fs::rename(e.path(), folder_ / e.path().filename(), ec);
            if (ec) {
                return false;
            }
        }
        return !ec;
    }

private:
    fs::path folder_;
    fs::path staging_;
};

bool WritePng(const std::string& path, const textures::TextureImage& image) {
    std::string bytes;
    const auto append = [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                                   static_cast<std::size_t>(size));
    };
    if (image.Width <= 0 || image.Height <= 0 ||
        image.Rgba.size() !=
            static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height) * 4 ||
        stbi_write_png_to_func(append, &bytes, image.Width, image.Height, 4, image.Rgba.data(),
                               image.Width * 4) == 0) {
        return false;
    }
    return !model::ReplaceFile(path, bytes).has_value();
}

// Writes TEXTURE.png beside path for each texture the exported polygons use; returns the names
// of those that are not loaded or could not be written.
std::vector<std::string> WriteTextures(const Workspace& ws, const std::string& path, bool selectionOnly) {
    const model::ModelStore& m = ws.Model;
    std::set<std::int32_t> used;
    for (std::int32_t p = 0; p < m.PolyCount; ++p) {
        const MaterialKey key = KeyOf(m, p);
        if (key.Tex >= 0 && Exportable(m, p, selectionOnly)) {
            used.insert(key.Tex);
        }
    }
    std::vector<std::string> missing;
    const fs::path folder = fs::path(path).parent_path();
    for (const std::int32_t tex : used) {
        const std::string& name = m.TexName[tex];
        const textures::TextureImage* image = textures::LoadedImage(ws.Textures, tex);
        if (image == nullptr || !WritePng((folder / TextureFileName(name)).string(), *image)) {
            missing.push_back(name);
        }
    }
    return missing;
}

} // namespace

std::vector<ExportFormat> ExportFormats() {
    Assimp::Exporter exporter;
    std::vector<ExportFormat> out;
    for (std::size_t i = 0; i < exporter.GetExportFormatCount(); ++i) {
        const aiExportFormatDesc* d = exporter.GetExportFormatDescription(i);
        if (d != nullptr) {
            out.push_back({d->id, d->description, d->fileExtension});
        }
    }
    return out;
}

ExportResult ExportModel(const Workspace& ws, const std::string& path, const ExportOptions& o) {
    ExportResult result;
    const model::ModelStore& m = ws.Model;
    if (!m.HasModel()) {
        result.Error = "There is no model to export.";
        return result;
    }
    const std::string id = o.FormatId.empty() ? FormatIdFor(path) : o.FormatId;
    const std::vector<ExportFormat> formats = ExportFormats();
    if (id.empty() ||
        std::none_of(formats.begin(), formats.end(), [&](const ExportFormat& f) { return f.Id == id; })) {
        result.Error =
            id.empty() ? "No export format for the extension of " + path : "Unknown export format " + id;
        return result;
    }
    const std::unique_ptr<aiScene> scene = BuildScene(m, o.SelectionOnly);
    if (o.SelectionOnly && scene->mNumMeshes == 0) {
        result.Error = "No polygon is selected.";
        return result;
    }
    StagingFolder staging{fs::path(path)};
    if (!staging.Ready()) {
        result.Error = "Can't write in the folder of " + path;
        return result;
    }
    const std::string staged = staging.Path(fs::path(path).filename()).string();
    Assimp::Exporter exporter;
    if (exporter.Export(scene.get(), id, staged) != aiReturn_SUCCESS) {
        result.Error = exporter.GetErrorString();
        return result;
    }
    if (id == "fbx" && !RepairBinaryFbx(staged)) {
        result.Error = "The FBX file written by Assimp could not be completed: " + path;
        return result;
    }
    if (!staging.Commit()) {
        result.Error = "Can't save " + path;
        return result;
    }
    if (o.Textures) {
        result.MissingTextures = WriteTextures(ws, path, o.SelectionOnly);
    }
    result.Ok = true;
    return result;
}

} // namespace zv::interchange
