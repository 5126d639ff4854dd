#include "model/ModelStore.h"

namespace zv::model {

ModelStore::ModelStore() {
    PartNodes.reserve(kMaxParts);
}

void DeselectAll(ModelStore& m) {
    m.VertSel.Fill(kFalse);
    m.PolySel.Fill(kFalse);
}

} // namespace zv::model
