#pragma once
// A direct, unoptimised VRL writer for tests: the rules written out literally (quadratic texture
// numbering, normal de-duplication and vertex links), to check the real writer against.

#include "formats/VrlLayout.h"
#include "model/ModelStore.h"

#include <cstdint>
#include <vector>

namespace zv::test {

// The bytes the real writer must produce for the selected polygons of m. Selects the corner
// vertices of the selected polygons and fills the normal tables like the real writer. Assumes
// the selection is within the file's limits.
std::vector<std::uint8_t> ReferenceVrlBytes(model::ModelStore& m, formats::VrlVariant variant);

} // namespace zv::test
