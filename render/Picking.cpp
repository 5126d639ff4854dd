#include "render/Picking.h"

#include "config/ConfigFormat.h"

#include <algorithm>

namespace zv::render {
namespace {

int UsedVerts(const model::ModelStore& m) {
    return std::clamp(m.VertCount, 0, model::kVertexCapacity);
}

} // namespace

int PickVertex(const WireframeView& view, const model::ModelStore& m, float px, float py, float radius) {
    return PickFirst(
        UsedVerts(m), [&](int i) { return view.ScrVert[i]; },
        [&](int i) { return (m.VertFlag[i] & kFlagShown) != 0; }, px, py, radius);
}

PickRect NormaliseRect(float ax, float ay, float bx, float by) {
    return {std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)};
}

std::vector<int> VerticesInRect(const WireframeView& view, const model::ModelStore& m, const PickRect& rect) {
    std::vector<int> found;
    if (rect.Empty()) {
        return found;
    }
    constexpr std::uint8_t wanted = kFlagShown | kFlagInView;
    const int count = UsedVerts(m);
    for (int i = 0; i < count; ++i) {
        if ((VertexFlags(view, m, i) & wanted) == wanted && rect.Contains(view.ScrVert[i])) {
            found.push_back(i);
        }
    }
    return found;
}

std::string VertexPickText(const model::ModelStore& m, int v) {
    if (v < 0 || v >= UsedVerts(m)) {
        return {};
    }
    const model::VertRec& p = m.Vert[v];
    // The float's shortest form, as the double click shows it, not its binary noise.
    return "Vertex: " + std::to_string(v) + "    x: " + config::FormatSingle(p.X) +
           "  y: " + config::FormatSingle(p.Y) + "  z: " + config::FormatSingle(p.Z);
}

std::string RectSelectText(int count) {
    return std::to_string(count) + " Vertices selected.";
}

} // namespace zv::render
