#pragma once
// Models to and from today's 3D tools through Assimp: glTF 2.0, OBJ, FBX, Collada and the other
// formats Assimp reads and writes. Linked by the editor and the command-line tool only; the
// core libraries know nothing of Assimp.
//
// Conventions, the same both ways so that a round trip gives the model back:
// - Axes and units: a model coordinate (x, y, z) is the exchange coordinate (-x, y, z), in the
//   same unit (the games' unit is the metre; glTF's is too). The exchange side is right-handed
//   with Y up, as glTF and Blender's exporters write; a car body facing +Z in Blender's glTF /
//   OBJ export (Blender's -Y forward) faces the way the games expect. The mirror reverses the
//   winding, so a polygon's corners are written in reverse order and read back reversed.
//   FBX files are converted to metres by Assimp (its FBX unit setting).
// - Texture coordinates: (u, v) of a corner is Assimp's (u, 1 - v) (Assimp keeps OpenGL's
//   bottom-left origin and the file formats flip as they are written and read).
// - Materials: one per combination of texture, surface type and colour, named
//   MaterialName(texture, type, colour) = "TEXTURE#TYPE#RRGGBBAA" (hex colour bytes); its base
//   colour (and diffuse) texture is the file "TEXTURE.png". Reading, a material name of that form
//   gives the three back; any other material gives its texture file's name (no folder or
//   extension, upper case) or its own name as the texture, type 0 and colour 0.
// - Parts: export writes one mesh per part (and material); import makes one part per mesh,
//   named after its node (made a valid part name), in the scene's node order.
// - Polygons keep up to 16 corners; larger ones are split into triangles (a fan) on import.
// - Vertices: each polygon corner is written as its own exchange vertex; reading, corners at
//   exactly the same position within the file become one model vertex again.

#include "formats/ModelFormat.h"
#include "workspace/Workspace.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv::interchange {

// ---- Materials --------------------------------------------------------------------------

std::string MaterialName(std::string_view texture, std::int32_t type, std::uint32_t rgba);
struct MaterialInfo {
    std::string Texture;
    std::int32_t Type = 0;
    std::uint32_t Rgba = 0; // R in the high byte, A in the low byte
};
MaterialInfo ParseMaterialName(std::string_view name, std::string_view textureFile);

// ---- Import -------------------------------------------------------------------------------

// The decoder of the table's interchange entries: reads job.Path with Assimp (external files
// such as a glTF's .bin are found beside it) into the store as the conventions say. A file
// Assimp cannot read, or a model beyond the store's capacities (the message names the limit),
// throws formats::ReadError (position 1) and writes nothing.
void DecodeWithAssimp(formats::DecodeJob& job);

// The file extensions Assimp reads (lower case with the dot), for dialogs and help.
std::vector<std::string> ImportExtensions();

// Adds the interchange formats to the table of model formats ("gltf" for .gltf and .glb, "obj",
// "fbx", "dae", "3ds", "ply", "stl", and "assimp" for every other extension Assimp reads). Call
// once at start-up, before the table is used (formats::AddFormats); later calls do nothing.
void InstallFormats();

// ---- Export -------------------------------------------------------------------------------

// A format Assimp writes: its id ("gltf2", "glb2", "obj", "fbx" ...), description and extension.
struct ExportFormat {
    std::string Id;
    std::string Description;
    std::string Extension; // without the dot
};
std::vector<ExportFormat> ExportFormats();

struct ExportOptions {
    std::string FormatId;       // empty: from the path's extension (.gltf, .glb, .obj, .fbx ...)
    bool SelectionOnly = false; // only the selected polygons (and the vertices they use)
    bool Textures = false;      // also write each texture as TEXTURE.png beside the file
};

struct ExportResult {
    bool Ok = false;
    std::string Error;                        // why not, when not Ok
    std::vector<std::string> MissingTextures; // textures that could not be written (--textures)
};

// Writes the model (or its selection) to path as the conventions say. Does not change the model.
ExportResult ExportModel(const Workspace& ws, const std::string& path, const ExportOptions& o);

} // namespace zv::interchange
