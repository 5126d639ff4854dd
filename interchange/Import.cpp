#include "interchange/Interchange.h"

#include "edit/Parts.h"
#include "formats/ByteReader.h"
#include "model/Capacities.h"
#include "model/Paths.h"

#include <assimp/Importer.hpp>
#include <assimp/config.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace zv::interchange {
namespace {

using formats::ReadError;

// Part names become file names when parts are saved: 255 bytes less ".vrl".
constexpr std::size_t kMaxPartName = 251;

struct Corner {
    std::int32_t Vertex = 0; // from the job's VertBase
    float U = 0;
    float V = 0;
};

struct Polygon {
    std::size_t FirstCorner = 0;
    int Corners = 0;
    std::size_t Material = 0; // index into Decoded::Materials
};

struct Material {
    std::int32_t Texture = 0; // index into the job's texture names
    std::int32_t Type = 0;
    std::uint32_t Rgba = 0;
};

// The whole file in the store's terms, gathered before anything is written so that a file
// beyond the store's capacities leaves the store untouched.
struct Decoded {
    std::vector<model::VertRec> Vertices;
    std::vector<Corner> Corners;
    std::vector<Polygon> Polygons;
    std::vector<Material> Materials;
    std::vector<std::string> TextureNames;
    std::vector<formats::NamedPart> Parts;
};

// Positions compared bit for bit, with -0 taken as 0 so that a mirrored 0 meets its original.
struct PositionKey {
    std::array<std::uint32_t, 3> Bits;
    bool operator==(const PositionKey&) const = default;
};
struct PositionHash {
    std::size_t operator()(const PositionKey& k) const {
        std::uint64_t h = 0xcbf29ce484222325ULL;
        for (const std::uint32_t b : k.Bits) {
            h = (h ^ b) * 0x100000001b3ULL;
        }
        return static_cast<std::size_t>(h);
    }
};
PositionKey KeyOf(const model::VertRec& v) {
    const auto bits = [](float f) { return std::bit_cast<std::uint32_t>(f == 0.0f ? 0.0f : f); };
    return {{bits(v.X), bits(v.Y), bits(v.Z)}};
}

// text cut to at most max bytes without splitting a UTF-8 sequence.
std::string CutTo(std::string text, std::size_t max) {
    if (text.size() > max) {
        std::size_t end = max;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
            --end;
        }
        text.resize(end);
    }
    return text;
}

// A node's name as a part name that saves as a file of its own (the parts' file-name rule).
std::string PartName(std::string name) {
    return CutTo(edit::FileNameSafe(std::move(name)), kMaxPartName);
}

std::string TooMany(const char* what, std::size_t count, int base, int capacity) {
    if (base > 0) {
        return formats::CapacityDetail(what, base, static_cast<std::int64_t>(count), capacity);
    }
    return std::string("Too many ") + what + ": " + std::to_string(count) + " (at most " +
           std::to_string(capacity) + ")";
}

class SceneReader {
public:
    SceneReader(const aiScene& scene, const formats::DecodeJob& job)
        : scene_(scene), job_(job), ngons_(DeclaresNgons(job)) {
        materials_.assign(scene.mNumMaterials, -1);
    }

    Decoded Read() {
        Walk(*scene_.mRootNode, aiMatrix4x4());
        return std::move(out_);
    }

private:
    void Walk(const aiNode& node, const aiMatrix4x4& parent) {
        const aiMatrix4x4 global = parent * node.mTransformation;
        const std::size_t first = out_.Polygons.size();
        for (unsigned j = 0; j < node.mNumMeshes; ++j) {
            if (node.mMeshes[j] >= scene_.mNumMeshes) {
                throw ReadError(1, "A node names a mesh the file does not hold");
            }
            AddMesh(*scene_.mMeshes[node.mMeshes[j]], global);
        }
        if (out_.Polygons.size() > first) {
            AddPart(NodeName(node), static_cast<int>(first), static_cast<int>(out_.Polygons.size() - first));
        }
        for (unsigned c = 0; c < node.mNumChildren; ++c) {
            Walk(*node.mChildren[c], global);
        }
    }

    // A node's meshes, and the meshes of nodes of one name that follow each other, are one
    // object split by material (glTF primitives, our own export): one part.
    void AddPart(std::string name, int first, int count) {
        auto& parts = out_.Parts;
        if (!parts.empty() && parts.back().Name == name && parts.back().First + parts.back().Count == first) {
            parts.back().Count += count;
        } else {
            parts.push_back({std::move(name), first, count});
        }
    }

    std::string NodeName(const aiNode& node) const {
        std::string name = node.mName.C_Str();
        if (name.empty() && node.mNumMeshes > 0) {
            name = scene_.mMeshes[node.mMeshes[0]]->mName.C_Str();
        }
        if (name.empty()) {
            name = model::StripExtension(model::FileNameOf(job_.Path));
        }
        return PartName(std::move(name));
    }

    // glTF holds triangles only; a file that declares FB_ngon_encoding (our export does) lists
    // each polygon as a fan of triangles from one corner, and polygons one after the other
    // start at different corners, so the polygons can be put back together.
    static bool DeclaresNgons(const formats::DecodeJob& job) {
        const std::string lower = model::UpperAscii(job.Path);
        if (!lower.ends_with(".GLTF") && !lower.ends_with(".GLB")) {
            return false;
        }
        std::string_view text(reinterpret_cast<const char*>(job.Bytes.data()), job.Bytes.size());
        if (lower.ends_with(".GLB") && text.size() >= 20) { // the JSON chunk only
            std::uint32_t length = 0;
            std::memcpy(&length, text.data() + 12, sizeof(length));
            text = text.substr(20, std::min<std::size_t>(length, text.size() - 20));
        }
        return text.find("FB_ngon_encoding") != std::string_view::npos;
    }

    // The face indices of faces f, f + 1 ... that continue one fan (the first corner shared, each
    // triangle starting where the one before ended), at most a polygon's corners; advances f past
    // them.
    std::vector<unsigned> NextFace(const aiMesh& mesh, unsigned& f) const {
        const aiFace& face = mesh.mFaces[f++];
        std::vector<unsigned> indices(face.mIndices, face.mIndices + face.mNumIndices);
        if (!ngons_ || indices.size() != 3) {
            return indices;
        }
        while (f < mesh.mNumFaces && indices.size() < static_cast<std::size_t>(model::kMaxCorners)) {
            const aiFace& next = mesh.mFaces[f];
            if (next.mNumIndices != 3 || next.mIndices[0] != indices[0] || next.mIndices[1] != indices.back()) {
                break;
            }
            indices.push_back(next.mIndices[2]);
            ++f;
        }
        return indices;
    }

    void AddMesh(const aiMesh& mesh, const aiMatrix4x4& global) {
        std::vector<std::int32_t> vertexOf(mesh.mNumVertices, -1);
        const std::size_t material = MaterialOf(mesh.mMaterialIndex);
        for (unsigned f = 0; f < mesh.mNumFaces;) {
            const std::vector<unsigned> indices = NextFace(mesh, f);
            const auto n = static_cast<int>(indices.size());
            if (n < 3) {
                continue; // points and lines
            }
            face_.clear();
            for (int k = 0; k < n; ++k) {
                face_.push_back(CornerOf(mesh, indices[static_cast<std::size_t>(k)], global, vertexOf));
            }
            if (n <= model::kMaxCorners) {
                AddPolygon(face_, material);
            } else {
                for (std::size_t k = 1; k + 1 < face_.size(); ++k) {
                    AddPolygon({face_[0], face_[k], face_[k + 1]}, material);
                }
            }
        }
    }

    // Reversed: the mirror of x turns the winding over.
    void AddPolygon(const std::vector<Corner>& corners, std::size_t material) {
        out_.Polygons.push_back({out_.Corners.size(), static_cast<int>(corners.size()), material});
        out_.Corners.insert(out_.Corners.end(), corners.rbegin(), corners.rend());
    }

    Corner CornerOf(const aiMesh& mesh, unsigned index, const aiMatrix4x4& global,
                    std::vector<std::int32_t>& vertexOf) {
        if (index >= mesh.mNumVertices) {
            throw ReadError(1, "A face names a vertex the mesh does not hold");
        }
        std::int32_t& v = vertexOf[index];
        if (v < 0) {
            const aiVector3D p = global * mesh.mVertices[index];
            v = VertexAt({-p.x, p.y, p.z});
        }
        Corner c{v, 0, 0};
        if (mesh.HasTextureCoords(0)) {
            c.U = mesh.mTextureCoords[0][index].x;
            c.V = 1.0f - mesh.mTextureCoords[0][index].y;
        }
        return c;
    }

    std::int32_t VertexAt(const model::VertRec& position) {
        const auto [it, added] =
            vertices_.try_emplace(KeyOf(position), static_cast<std::int32_t>(out_.Vertices.size()));
        if (added) {
            out_.Vertices.push_back(position);
        }
        return it->second;
    }

    std::size_t MaterialOf(unsigned index) {
        if (index >= materials_.size()) {
            throw ReadError(1, "A mesh names a material the file does not hold");
        }
        if (materials_[index] < 0) {
            materials_[index] = static_cast<std::int32_t>(out_.Materials.size());
            out_.Materials.push_back(Describe(*scene_.mMaterials[index]));
        }
        return static_cast<std::size_t>(materials_[index]);
    }

    Material Describe(const aiMaterial& material) {
        aiString file;
        if (material.GetTexture(aiTextureType_BASE_COLOR, 0, &file) != AI_SUCCESS &&
            material.GetTexture(aiTextureType_DIFFUSE, 0, &file) != AI_SUCCESS) {
            file.Clear();
        }
        std::string fileName = file.C_Str();
        if (fileName.starts_with('*')) { // embedded: the picture's own file name, if it kept one
            const aiTexture* embedded = scene_.GetEmbeddedTexture(file.C_Str());
            fileName = embedded != nullptr ? embedded->mFilename.C_Str() : "";
        }
        const MaterialInfo info = ParseMaterialName(material.GetName().C_Str(), fileName);
        return {TextureIndex(info.Texture), info.Type, info.Rgba};
    }

    std::int32_t TextureIndex(const std::string& name) {
        auto& names = out_.TextureNames;
        const auto it = std::find(names.begin(), names.end(), name);
        if (it != names.end()) {
            return static_cast<std::int32_t>(it - names.begin());
        }
        names.push_back(name);
        return static_cast<std::int32_t>(names.size() - 1);
    }

    const aiScene& scene_;
    const formats::DecodeJob& job_;
    const bool ngons_; // the file's triangles are fans of polygons
    Decoded out_;
    std::vector<std::int32_t> materials_; // aiMaterial index -> Decoded::Materials, -1 unused
    std::unordered_map<PositionKey, std::int32_t, PositionHash> vertices_;
    std::vector<Corner> face_; // the face being read, kept to spare an allocation per face
};

void CheckCapacities(const Decoded& d, const formats::DecodeJob& job) {
    const int vertexRoom = model::kVertexCapacity - job.VertBase;
    const int polygonRoom = model::kPolygonCapacity - job.PolyBase;
    if (d.Vertices.size() > static_cast<std::size_t>(std::max(vertexRoom, 0))) {
        throw ReadError(1, TooMany("vertices", d.Vertices.size(), job.VertBase, model::kVertexCapacity));
    }
    if (d.Polygons.size() > static_cast<std::size_t>(std::max(polygonRoom, 0))) {
        throw ReadError(1, TooMany("polygons", d.Polygons.size(), job.PolyBase, model::kPolygonCapacity));
    }
    if (d.TextureNames.size() > static_cast<std::size_t>(model::kTextureCapacity)) {
        throw ReadError(1, TooMany("textures", d.TextureNames.size(), 0, model::kTextureCapacity));
    }
    if (d.Parts.size() > static_cast<std::size_t>(model::kMaxParts)) {
        throw ReadError(1, TooMany("parts", d.Parts.size(), 0, model::kMaxParts));
    }
}

void Write(Decoded& d, formats::DecodeJob& job) {
    model::ModelStore& m = job.Model;
    for (std::size_t i = 0; i < d.Vertices.size(); ++i) {
        m.Vert[job.VertBase + static_cast<int>(i)] = d.Vertices[i];
    }
    for (std::size_t i = 0; i < d.Polygons.size(); ++i) {
        const Polygon& p = d.Polygons[i];
        const int q = job.PolyBase + static_cast<int>(i);
        for (int k = 0; k < p.Corners; ++k) {
            const Corner& c = d.Corners[p.FirstCorner + static_cast<std::size_t>(k)];
            m.PolyVert(q, k) = job.VertBase + c.Vertex;
            m.PolyTU(q, k) = c.U;
            m.PolyTV(q, k) = c.V;
        }
        const Material& mat = d.Materials[p.Material];
        m.PolyVCount[q] = p.Corners;
        m.PolyTex[q] = mat.Texture;
        m.PolyType[q] = mat.Type;
        m.PolyR[q] = static_cast<std::uint8_t>(mat.Rgba >> 24);
        m.PolyG[q] = static_cast<std::uint8_t>(mat.Rgba >> 16);
        m.PolyB[q] = static_cast<std::uint8_t>(mat.Rgba >> 8);
        m.PolyA[q] = static_cast<std::uint8_t>(mat.Rgba);
        m.PolyFlag[q] = 1;
        m.PolySelEdge[q] = -1;
    }
    job.Vertices = static_cast<int>(d.Vertices.size());
    job.Polygons = static_cast<int>(d.Polygons.size());
    job.TextureNames = std::move(d.TextureNames);
    job.Parts = std::move(d.Parts);
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return s;
}

// The table entries' check: the whole file is read and checked before the model is emptied,
// so that a file that cannot be imported leaves the model as it was.
void PrepareWithAssimp(formats::DecodeJob& job) {
    Assimp::Importer importer;
    importer.SetPropertyBool(AI_CONFIG_FBX_CONVERT_TO_M, true);
    // Pivot helper nodes would stand between a mesh and the name the file gives it.
    importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, false);
    // No triangulation and no joining: polygons keep their corners, vertices are joined by
    // position across the whole file below.
    const aiScene* scene = importer.ReadFile(job.Path, aiProcess_ValidateDataStructure);
    if (scene == nullptr || scene->mRootNode == nullptr) {
        throw ReadError(1, importer.GetErrorString());
    }
    auto decoded = std::make_shared<Decoded>(SceneReader(*scene, job).Read());
    CheckCapacities(*decoded, job);
    job.Prepared = std::move(decoded);
}

} // namespace

void DecodeWithAssimp(formats::DecodeJob& job) {
    if (job.Prepared == nullptr) {
        PrepareWithAssimp(job);
    }
    Write(*std::static_pointer_cast<Decoded>(job.Prepared), job);
    job.Prepared.reset();
}

std::vector<std::string> ImportExtensions() {
    std::string list; // "*.3ds;*.obj;..."
    Assimp::Importer().GetExtensionList(list);
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t end = std::min(list.find(';', start), list.size());
        std::string ext = Lower(list.substr(start, end - start));
        if (ext.starts_with('*')) {
            ext.erase(0, 1);
        }
        if (ext.size() > 1 && ext.front() == '.' && std::find(out.begin(), out.end(), ext) == out.end()) {
            out.push_back(std::move(ext));
        }
        start = end + 1;
    }
    return out;
}

void InstallFormats() {
    static bool installed = false;
    if (installed) {
        return;
    }
    struct Entry {
        std::string_view Name;
        std::string_view Label;
        std::string_view ErrorTitle;
        std::vector<std::string_view> Extensions;
    };
    // The Wavefront entry decides ".obj": the Nascar Revolution reader of that extension does not.
    static const std::vector<Entry> kNamed = {
        {"gltf", "glTF 2.0", "Import glTF 2.0", {".gltf", ".glb"}},
        {"obj", "Wavefront OBJ", "Import Wavefront OBJ", {".obj"}},
        {"fbx", "Autodesk FBX", "Import Autodesk FBX", {".fbx"}},
        {"dae", "Collada", "Import Collada", {".dae"}},
        {"3ds", "3D Studio", "Import 3D Studio", {".3ds"}},
        {"ply", "Stanford PLY", "Import Stanford PLY", {".ply"}},
        {"stl", "Stereolithography STL", "Import Stereolithography STL", {".stl"}},
    };
    // Filled once and never resized: the table keeps views of these strings.
    static const std::vector<std::string> kOthers = [] {
        std::vector<std::string> others;
        for (std::string& ext : ImportExtensions()) {
            const bool named = std::any_of(kNamed.begin(), kNamed.end(), [&](const Entry& e) {
                return std::find(e.Extensions.begin(), e.Extensions.end(), ext) != e.Extensions.end();
            });
            if (!named) {
                others.push_back(std::move(ext));
            }
        }
        return others;
    }();
    const auto make = [](std::string_view name, std::string_view label, std::string_view errorTitle,
                         std::vector<std::string_view> extensions, bool decides) {
        formats::ModelFormat f;
        f.Name = name;
        f.Label = label;
        f.Extensions = std::move(extensions);
        f.ExtensionDecides = decides;
        f.NotFoundTitle = "File not found";
        f.ErrorTitle = errorTitle;
        f.Check = PrepareWithAssimp;
        f.Decode = DecodeWithAssimp;
        f.Fault = formats::OnFault::KeepNothing;
        f.Textures = TextureFiles::Bmp;
        return f;
    };
    std::vector<formats::ModelFormat> formats;
    for (const Entry& e : kNamed) {
        formats.push_back(make(e.Name, e.Label, e.ErrorTitle, e.Extensions, true));
    }
    formats.push_back(make("assimp", "Other formats Assimp reads", "Import model",
                           std::vector<std::string_view>(kOthers.begin(), kOthers.end()), false));
    formats::AddFormats(std::move(formats));
    installed = true;
}

} // namespace zv::interchange
