#include "model/ModelStore.h"

#include <algorithm>

namespace zv::model {

ModelStore::ModelStore() {
    PartNodes.reserve(kMaxParts);
}

void DeselectAll(ModelStore& m) {
    m.VertSel.Fill(kFalse);
    m.PolySel.Fill(kFalse);
}

void ShowVertices(ModelStore& m, int from, int to) {
    for (int i = std::max(from, -1); i < std::min(to, kVertexCapacity); ++i) {
        m.VertFlag[i] = static_cast<std::uint8_t>(m.VertFlag[i] | 1);
    }
}

} // namespace zv::model
