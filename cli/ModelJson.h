#pragma once
// The model store as JSON, for the command-line dump.

#include "model/ModelStore.h"

#include <string>

namespace zv::cli {

// {"vertices": [[x,y,z],...], "polygons": [{"corners": [[vertex,u,v],...], "tex": t,
// "type": n, "color": [r,g,b,a]}, ...], "textures": [...], "parts": [{"name", "text",
// "members"}]}. Floats read back to the same float32; names are taken as Latin-1.
std::string ModelJson(const model::ModelStore& m);

} // namespace zv::cli
