#pragma once
// The model store as JSON, for the command-line dump.

#include "model/ModelStore.h"

#include <string>

namespace zv::cli {

// {"vertices": [[x,y,z],...], "polygons": [{"corners": [[vertex,u,v],...], "tex": t,
// "type": n, "color": [r,g,b,a]}, ...], "textures": [...], "parts": [{"name", "text",
// "members"}]}. Floats read back to the same float32; names are taken as Latin-1.
std::string ModelJson(const model::ModelStore& m);

// The double nearest to the shortest decimal that reads back as f, so the JSON text (the
// shortest form of that double) reads back to f as well.
double JsonFloat(float f);

} // namespace zv::cli
