// Nascar Revolution models and tracks: the input goes through both decoders, and what each
// reports complete must be a consistent model.

#include "FuzzSupport.h"

#include "config/Settings.h"
#include "formats/NascarFormats.h"
#include "model/UserInterface.h"

#include <memory>

namespace {

void Check(const zv::formats::DecodeJob& job) {
    using zv::fuzz::Require;
    Require(job.Vertices >= 0 && job.Vertices <= zv::model::kVertexCapacity, "vertex count");
    Require(job.Polygons >= 0 && job.Polygons <= zv::model::kPolygonCapacity, "polygon count");
    Require(job.TextureNames.size() <= zv::model::kTextureCapacity, "texture count");
    Require(job.Parts.empty(), "parts");
    for (int p = 0; p < job.Polygons; ++p) {
        const int n = job.Model.PolyVCount[p];
        Require(n == 3 || n == 4, "corner count");
        for (int k = 0; k < n; ++k) {
            const int v = job.Model.PolyVert(p, k);
            Require(v >= 0 && v < job.Vertices, "corner vertex");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static zv::model::QuietUserInterface ui;
    static const zv::config::Settings settings;
    static const auto store = std::make_unique<zv::model::ModelStore>();
    const std::span<const std::uint8_t> bytes(data, size);
    for (const auto decode : {zv::formats::DecodeNascarObj, zv::formats::DecodeNascarTrk}) {
        zv::formats::DecodeJob job{bytes, "in", *store, 0, 0, ui, settings, {}, 0, 0, {}, {}, false, {}};
        try {
            decode(job);
        } catch (const zv::formats::ReadError&) {
            // A fault still leaves the complete rows consistent.
        }
        Check(job);
    }
    return 0;
}
