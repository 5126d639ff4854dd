#pragma once
// Writing VRL models of both variants from the selected polygons of the model.

#include "formats/VrlLayout.h"
#include "workspace/Workspace.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace zv::formats {

// Why a selection cannot be written as a VRL file; Text says which limit and by how much.
struct VrlRefusal {
    std::string Text;
};

// The bytes of a VRL file of the selected polygons, or the reason it cannot be written.
// Changes the model as a write does: the corner vertices of the selected polygons become
// selected, and the normal tables (PolyNX.., NrmX.., NrmIndex, NrmCount, VertLinkCount) hold
// the written normals. Progress texts go to ui.
std::variant<std::vector<std::uint8_t>, VrlRefusal> BuildVrlFile(model::ModelStore& m, model::UserInterface& ui,
                                                                VrlVariant variant);

// Writes the selected polygons (and every selected vertex) to path. A path shorter than 5
// characters does nothing. The F1 2000 variant upper-cases the file name (never the folders).
// A refused selection or a failed write shows a message and leaves any old file as it was.
// Returns true when the file was written.
bool WriteVrl(Workspace& ws, const std::string& path, VrlVariant variant);

// Selects every polygon, writes, then deselects every polygon.
bool SaveVrlModel(Workspace& ws, const std::string& path, VrlVariant variant);

// Writes each part into its own file, named after its tree text up to the first blank with
// ".VRL", in the folder of anyPathInFolder. Without parts shows "No groups to save !".
// Stops at the first part that cannot be written. Afterwards nothing is selected.
bool SaveAllParts(Workspace& ws, const std::string& anyPathInFolder, VrlVariant variant);

} // namespace zv::formats
