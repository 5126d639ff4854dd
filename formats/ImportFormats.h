#pragma once
// The importers' entries of the table of model formats.

#include "formats/ModelFormat.h"

#include <vector>

namespace zv::formats {

// Appends the entries of the formats that are only read (the other games' models and tracks).
void AddImporters(std::vector<ModelFormat>& table);

} // namespace zv::formats
