// M3D and C3D models, any header: decoded at the start of the store and near its end, where the
// capacity checks must stop the objects that do not fit.

#include "TocaCheck.h"

#include "formats/TocaFormats.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static zv::fuzz::NoQuestionsUi ui;
    static const zv::config::Settings settings;
    static const auto store = std::make_unique<zv::model::ModelStore>();
    for (const int base : {0, zv::model::kVertexCapacity - 64}) {
        zv::fuzz::DecodeAndCheck(zv::formats::DecodeTocaModel, {data, size}, *store, ui, settings, base);
    }
    return 0;
}
