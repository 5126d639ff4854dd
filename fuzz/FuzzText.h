#pragma once
// The text formats' fuzz targets: a decoder runs on the input into an empty model and again
// with only a little room left, so that the capacity checks are reached. Whatever it wrote,
// fault or not, must be a consistent model.

#include "FuzzSupport.h"

#include "config/Settings.h"
#include "formats/ModelFormat.h"
#include "model/UserInterface.h"

#include <memory>
#include <utility>

namespace zv::fuzz {

inline void CheckDecoded(const formats::DecodeJob& job) {
    const model::ModelStore& m = job.Model;
    Require(job.Vertices >= 0 && job.Vertices <= model::kVertexCapacity - job.VertBase, "vertex count");
    Require(job.Polygons >= 0 && job.Polygons <= model::kPolygonCapacity - job.PolyBase, "polygon count");
    for (int p = job.PolyBase; p < job.PolyBase + job.Polygons; ++p) {
        Require(m.PolyVCount[p] == 3, "corner count");
        for (int k = 0; k < 3; ++k) {
            const int v = m.PolyVert(p, k);
            Require(v >= job.VertBase && v < job.VertBase + job.Vertices, "corner vertex");
        }
    }
    Require(job.Parts.size() <= static_cast<std::size_t>(model::kMaxParts), "part count");
    for (const formats::NamedPart& part : job.Parts) {
        Require(part.First >= 0 && part.Count > 0 && part.First + part.Count <= job.Polygons, "part range");
    }
}

inline void RunTextDecoder(void (*decode)(formats::DecodeJob&), std::span<const std::uint8_t> bytes) {
    static const auto store = std::make_unique<model::ModelStore>();
    static model::QuietUserInterface ui;
    static const config::Settings settings;
    constexpr int kRoom = 40;
    for (const auto& [vertBase, polyBase] :
         {std::pair{0, 0}, std::pair{model::kVertexCapacity - kRoom, model::kPolygonCapacity - kRoom}}) {
        formats::DecodeJob job{.Bytes = bytes,
                               .Path = "in.txt",
                               .Model = *store,
                               .VertBase = vertBase,
                               .PolyBase = polyBase,
                               .Ui = ui,
                               .Settings = settings,
                               .Section = {},
                               .TextureNames = {},
                               .Parts = {},
                               .Normals = {}};
        try {
            decode(job);
        } catch (const formats::ReadError&) {
            // A fault is an answer; what was written before it is checked all the same.
        }
        CheckDecoded(job);
    }
}

} // namespace zv::fuzz
