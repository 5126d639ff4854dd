#pragma once
// The check shared by the model and track fuzz targets: what a decode reports complete (rows
// from the job's bases, parts) must be a consistent model of whole triangles.

#include "FuzzSupport.h"

#include "formats/ModelFormat.h"
#include "model/UserInterface.h"

namespace zv::fuzz {

// A user interface that must never be asked: the targets choose the section themselves.
class NoQuestionsUi : public model::QuietUserInterface {
public:
    std::optional<std::string> InputBox(std::string_view, std::string_view, std::string_view) override {
        Require(false, "question asked");
        return std::nullopt;
    }
};

inline void CheckDecoded(const formats::DecodeJob& job) {
    Require(job.Vertices >= 0 && job.Vertices <= model::kVertexCapacity - job.VertBase, "vertex count");
    Require(job.Polygons >= 0 && job.Polygons <= model::kPolygonCapacity - job.PolyBase, "polygon count");
    Require(job.TextureNames.size() <= model::kTextureCapacity, "texture count");
    Require(job.Parts.size() <= model::kMaxParts, "part count");
    int next = 0;
    for (const formats::NamedPart& part : job.Parts) {
        Require(part.First == next && part.Count >= 0, "part order");
        next += part.Count;
    }
    Require(next == job.Polygons, "parts cover the polygons");
    for (int p = job.PolyBase; p < job.PolyBase + job.Polygons; ++p) {
        Require(job.Model.PolyVCount[p] == 3, "corner count");
        for (int k = 0; k < 3; ++k) {
            const int v = job.Model.PolyVert(p, k);
            Require(v >= job.VertBase && v < job.VertBase + job.Vertices, "corner vertex");
        }
    }
}

// Runs decode at the bases into store; a fault still leaves the complete rows consistent.
inline void DecodeAndCheck(void (*decode)(formats::DecodeJob&), std::span<const std::uint8_t> bytes,
                           model::ModelStore& store, model::UserInterface& ui,
                           const config::Settings& settings, int base,
                           std::optional<int> section = std::nullopt) {
    formats::DecodeJob job{bytes,   "in", store, base, base, ui,    settings,
                           section, 0,    0,     {},   {},   false, std::nullopt};
    try {
        decode(job);
    } catch (const formats::ReadError&) {
    }
    CheckDecoded(job);
}

} // namespace zv::fuzz
