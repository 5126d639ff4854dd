// BFP tracks (sections 0 and 1 of the chain, so no question is asked) and C3D tracks.

#include "TocaCheck.h"

#include "formats/TocaFormats.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static zv::fuzz::NoQuestionsUi ui;
    static const zv::config::Settings settings;
    static const auto store = std::make_unique<zv::model::ModelStore>();
    const std::span<const std::uint8_t> bytes(data, size);
    for (const int section : {0, 1}) {
        zv::fuzz::DecodeAndCheck(zv::formats::DecodeBfpTrack, bytes, *store, ui, settings, 0, section);
    }
    zv::fuzz::DecodeAndCheck(zv::formats::DecodeC3dTrack, bytes, *store, ui, settings, 0);
    return 0;
}
