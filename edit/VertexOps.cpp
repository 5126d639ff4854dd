#include "edit/VertexOps.h"

#include "edit/CloseGrid.h"
#include "model/Columns.h"
#include "model/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

namespace zv::edit {
namespace {

using model::kFalse;
using model::kTrue;

// The selected vertices 0 .. VertCount - 1 in ascending order.
std::vector<std::int32_t> SelectedVertices(const model::ModelStore& m) {
    std::vector<std::int32_t> out;
    const int n = model::UsedVertices(m);
    for (int i = 0; i < n; ++i) {
        if (m.VertSel[i] != kFalse) {
            out.push_back(i);
        }
    }
    return out;
}

bool Close(const model::VertRec& a, const model::VertRec& b, double t) {
    return std::abs(static_cast<double>(a.X) - b.X) <= t && std::abs(static_cast<double>(a.Y) - b.Y) <= t &&
           std::abs(static_cast<double>(a.Z) - b.Z) <= t;
}

bool SameBits(const model::VertRec& a, const model::VertRec& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The polygons first .. end - 1 that have a corner for which pick(v) holds.
template <class Pick> std::pair<int, int> PolygonsUsing(const model::ModelStore& m, Pick pick) {
    int first = -1, last = -1;
    const int polys = model::UsedPolygons(m);
    for (int p = 0; p < polys; ++p) {
        const int n = model::CornerCount(m, p);
        for (int k = 0; k < n; ++k) {
            if (pick(m.PolyVert(p, k))) {
                first = first < 0 ? p : first;
                last = p;
                break;
            }
        }
    }
    return {first, last + 1};
}

// Gives every corner v for which renumber(v) >= 0 that vertex instead, declaring the polygons
// that change first. Returns whether any did.
template <class Renumber> bool RenumberCorners(model::ModelStore& m, Recorder& rec, Renumber renumber) {
    const auto range = PolygonsUsing(m, [&](std::int32_t v) { return renumber(v) >= 0; });
    if (range.first < 0) {
        return false;
    }
    rec.CornerVertices(range.first, range.second);
    for (int p = range.first; p < range.second; ++p) {
        const int n = model::CornerCount(m, p);
        for (int k = 0; k < n; ++k) {
            std::int32_t& v = m.PolyVert(p, k);
            const std::int32_t to = renumber(v);
            v = to >= 0 ? to : v;
        }
    }
    return true;
}

bool ToleranceOk(model::UserInterface& ui, double t, std::string_view title) {
    if (t >= 0 && std::isfinite(t)) {
        return true;
    }
    ui.ShowMessage(title, "Tolerance must be a number of 0 or more !", model::MessageIcon::Warning,
                   model::MessageButtons::Ok);
    return false;
}

// Writes new positions of the given vertices (ascending), declaring their range first; only
// vertices whose bits change count. Returns whether any changed.
bool WritePositions(model::ModelStore& m, Recorder& rec, const std::vector<std::int32_t>& vertices,
                    const std::vector<model::VertRec>& positions) {
    int first = -1, last = -1;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        if (!SameBits(m.Vert[vertices[i]], positions[i])) {
            first = first < 0 ? vertices[i] : first;
            last = vertices[i];
        }
    }
    if (first < 0) {
        return false;
    }
    rec.Vertices(first, last + 1);
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        m.Vert[vertices[i]] = positions[i];
    }
    return true;
}

// Applies f to the position of every selected vertex and writes the results.
template <class F> Change MapSelected(model::ModelStore& m, Recorder& rec, F f) {
    const std::vector<std::int32_t> selected = SelectedVertices(m);
    std::vector<model::VertRec> positions;
    positions.reserve(selected.size());
    for (const std::int32_t v : selected) {
        positions.push_back(f(m.Vert[v]));
    }
    return WritePositions(m, rec, selected, positions) ? Change(Change::Geometry) : kNoChange;
}

float Coordinate(const model::VertRec& v, int axis) {
    return axis == 0 ? v.X : axis == 1 ? v.Y : v.Z;
}

void SetCoordinate(model::VertRec& v, int axis, float c) {
    (axis == 0 ? v.X : axis == 1 ? v.Y : v.Z) = c;
}

Change Append(model::ModelStore& m, Recorder& rec, const model::VertRec& p) {
    if (m.VertCount < 0) {
        rec.Counts();
        m.VertCount = 0;
        m.PolyCount = std::max(m.PolyCount, 0);
    }
    const int i = m.VertCount;
    rec.Vertices(i, i + 1);
    model::ClearVertexRow(m, i);
    m.Vert[i] = p;
    m.CurVert = i;
    ++m.VertCount;
    return Change::Geometry | Change::Counts | Change::Selection;
}

} // namespace

Change AddVertex(model::ModelStore& m, Recorder& rec, model::UserInterface& ui, const model::VertRec& p) {
    if (m.VertCount >= kMaxVertices) {
        ui.ShowMessage("Add Vertex", "Can't add,\r80000 vertices is the limit !", model::MessageIcon::Warning,
                       model::MessageButtons::Ok);
        return kNoChange;
    }
    return Append(m, rec, p);
}

Change AddVertexAtPointer(model::ModelStore& m, Recorder& rec, const model::VertRec& p) {
    return m.VertCount >= kMaxVertices ? kNoChange : Append(m, rec, p);
}

Change ChangeVertex(model::ModelStore& m, Recorder& rec, const model::VertRec& p) {
    const int c = m.CurVert;
    if (!model::IsVertex(m, c) || SameBits(m.Vert[c], p)) {
        return kNoChange;
    }
    rec.Vertices(c, c + 1);
    m.Vert[c] = p;
    return Change::Geometry;
}

Change GotoVertex(model::ModelStore& m, model::UserInterface& ui, double n, std::string_view text) {
    // Round first, then check: 2.6 of a three-vertex model is vertex 3, which does not exist.
    const bool numeric = std::isfinite(n) && std::abs(n) < 2147483647.0;
    const std::int32_t v = numeric ? model::RoundToInt32(n) : -1;
    if (!numeric || !model::IsVertex(m, v)) {
        ui.ShowMessage("Goto Vertex ERROR", "Vertex " + std::string(text) + " doesn't exist ! ",
                       model::MessageIcon::Warning, model::MessageButtons::Ok);
        return kNoChange;
    }
    m.CurVert = v;
    return Change::Selection;
}

Change DeleteVertex(model::ModelStore& m, Recorder& rec, model::UserInterface& ui) {
    const std::int32_t c = m.CurVert;
    if (!model::IsVertex(m, c)) {
        return kNoChange; // also a cursor left past the count by an earlier deletion
    }
    const auto users = PolygonsUsing(m, [c](std::int32_t v) { return v == c; });
    if (users.first >= 0) {
        ui.ShowMessage("Delete Vertex", "Can't delete,\rcorresponding Polygon(s) !", model::MessageIcon::None,
                       model::MessageButtons::Ok);
        return kNoChange;
    }
    const std::int32_t count = m.VertCount;
    rec.Vertices(c, count);
    if (c == count - 1) {
        m.VertCount = count - 1;
        m.CurVert = -1;
        return Change::Geometry | Change::Counts | Change::Selection;
    }
    // Corners of the moved vertices (c + 1 .. count - 1) follow them down one slot.
    RenumberCorners(m, rec, [c, count](std::int32_t v) { return v > c && v < count ? v - 1 : -1; });
    model::MoveVertexRows(m, c + 1, c, count - 1 - c);
    m.VertCount = count - 1;
    return Change::Geometry | Change::Polygons | Change::Counts;
}

Change DeleteUnusedVertices(model::ModelStore& m, Recorder& rec) {
    const int count = model::UsedVertices(m);
    std::vector<char> used(static_cast<std::size_t>(count), 0);
    const int polys = model::UsedPolygons(m);
    for (int p = 0; p < polys; ++p) {
        model::ForEachCornerVertex(m, p, [&](std::int32_t v) { used[static_cast<std::size_t>(v)] = 1; });
    }
    const auto firstHole = std::find(used.begin(), used.end(), 0);
    if (firstHole == used.end()) {
        return kNoChange;
    }
    // From 0, not from the first hole: the scratch marks below it are rewritten too.
    rec.Vertices(0, count);
    // Each hole, lowest first, takes the last vertex; an unused last vertex is simply dropped.
    std::vector<std::int32_t> newIndex(static_cast<std::size_t>(count), -1);
    int n = count;
    for (int i = static_cast<int>(firstHole - used.begin()); i < n; ++i) {
        if (used[static_cast<std::size_t>(i)]) {
            continue;
        }
        while (n - 1 > i && !used[static_cast<std::size_t>(n - 1)]) {
            --n;
        }
        if (n - 1 == i) {
            n = i;
            break;
        }
        model::CopyVertexRow(m, n - 1, i);
        used[static_cast<std::size_t>(i)] = 1;
        newIndex[static_cast<std::size_t>(n - 1)] = i;
        --n;
    }
    RenumberCorners(m, rec, [&](std::int32_t v) {
        return v >= 0 && v < count ? newIndex[static_cast<std::size_t>(v)] : -1;
    });
    // The scratch marks say what the clean-up found: every remaining vertex is used.
    for (int i = 0; i < count; ++i) {
        m.VertUsed[i] = i < n ? kTrue : kFalse;
    }
    m.VertCount = n;
    if (m.CurVert >= n) {
        m.CurVert = -1;
    }
    return Change::Geometry | Change::Polygons | Change::Counts | Change::Selection;
}

Change WeldVertices(model::ModelStore& m, Recorder& rec, model::UserInterface& ui, double t) {
    if (!ToleranceOk(ui, t, "Weld close vertices")) {
        return kNoChange;
    }
    const std::vector<std::int32_t> selected = SelectedVertices(m);
    const int count = model::UsedVertices(m);
    std::vector<std::int32_t> target(static_cast<std::size_t>(count), -1);
    CloseGrid grid({m.Vert.Data(), static_cast<std::size_t>(count)}, selected, t);
    bool any = false;
    for (const std::int32_t i : selected) {
        if (target[static_cast<std::size_t>(i)] >= 0) {
            continue;
        }
        grid.Remove(i); // a representative is never taken later
        const model::VertRec pi = m.Vert[i];
        grid.ForEachNear(pi, [&](std::int32_t j) {
            if (Close(pi, m.Vert[j], t)) {
                target[static_cast<std::size_t>(j)] = i;
                any = true;
            }
        });
        // Taken vertices leave the grid after the search, not during it.
        grid.ForEachNear(pi, [&](std::int32_t j) {
            if (target[static_cast<std::size_t>(j)] == i) {
                grid.Remove(j);
            }
        });
    }
    if (!any) {
        return kNoChange;
    }
    const bool renumbered = RenumberCorners(m, rec, [&](std::int32_t v) {
        return v >= 0 && v < count ? target[static_cast<std::size_t>(v)] : -1;
    });
    if (!renumbered) {
        return kNoChange; // only unused vertices were close
    }
    return Change::Polygons;
}

// Join without comparing every pair. Vertices that share a position behave alike, so they form
// clusters (union-find) anchored at the vertex whose original position they now have. A vertex
// that has moved, or has had its turn, has no close cluster left at its turn (any such cluster
// would have joined it earlier), so only unmoved vertices search the grid.
Change JoinVertices(model::ModelStore& m, Recorder& rec, model::UserInterface& ui, double t) {
    if (!ToleranceOk(ui, t, "Join close vertices")) {
        return kNoChange;
    }
    const std::vector<std::int32_t> selected = SelectedVertices(m);
    const int count = model::UsedVertices(m);
    CloseGrid grid({m.Vert.Data(), static_cast<std::size_t>(count)}, selected, t);
    std::vector<std::int32_t> parent(static_cast<std::size_t>(count));
    std::iota(parent.begin(), parent.end(), 0);
    std::vector<std::int32_t> anchor = parent;
    std::vector<char> done(static_cast<std::size_t>(count), 0);
    const auto find = [&](std::int32_t v) {
        while (parent[static_cast<std::size_t>(v)] != v) {
            parent[static_cast<std::size_t>(v)] =
                parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(v)])];
            v = parent[static_cast<std::size_t>(v)];
        }
        return v;
    };
    std::vector<std::int32_t> found;
    for (const std::int32_t i : selected) {
        const std::int32_t root = find(i);
        if (done[static_cast<std::size_t>(root)]) {
            continue;
        }
        const model::VertRec pi = m.Vert[i];
        found.clear();
        grid.ForEachNear(pi, [&](std::int32_t e) {
            if (e != i && Close(pi, m.Vert[e], t)) {
                found.push_back(e);
            }
        });
        for (const std::int32_t e : found) {
            grid.Remove(e); // e's cluster now sits at i's position
            parent[static_cast<std::size_t>(find(e))] = root;
        }
        anchor[static_cast<std::size_t>(root)] = i;
        done[static_cast<std::size_t>(root)] = 1;
    }
    std::vector<model::VertRec> positions;
    positions.reserve(selected.size());
    for (const std::int32_t v : selected) {
        positions.push_back(m.Vert[anchor[static_cast<std::size_t>(find(v))]]);
    }
    return WritePositions(m, rec, selected, positions) ? Change(Change::Geometry) : kNoChange;
}

Change SnapToPosition(model::ModelStore& m, Recorder& rec, const Vec3& value, const Axes& axes) {
    return MapSelected(m, rec, [&](model::VertRec v) {
        for (int a = 0; a < 3; ++a) {
            if (axes[static_cast<std::size_t>(a)]) {
                SetCoordinate(v, a, static_cast<float>(value[static_cast<std::size_t>(a)]));
            }
        }
        return v;
    });
}

Change MoveGroupToPosition(model::ModelStore& m, Recorder& rec, const model::Point3d& centre,
                           const Vec3& value, const Axes& axes) {
    const double c[3] = {centre.X, centre.Y, centre.Z};
    return MapSelected(m, rec, [&](model::VertRec v) {
        for (int a = 0; a < 3; ++a) {
            if (axes[static_cast<std::size_t>(a)]) {
                const double moved = Coordinate(v, a) - c[a] + value[static_cast<std::size_t>(a)];
                SetCoordinate(v, a, static_cast<float>(moved));
            }
        }
        return v;
    });
}

float SnapCoordinate(float c, double g) {
    const double x = c;
    const double steps =
        x >= 0 ? std::trunc((x + g / 2 - g / 100) / g) : std::trunc((x - g / 2 + g / 100) / g);
    return static_cast<float>(steps * g);
}

Change SnapToGrid(model::ModelStore& m, Recorder& rec, model::UserInterface& ui, double g) {
    if (!(g > 0) || !std::isfinite(g)) {
        ui.ShowMessage("Snap to Grid", "Snap grid size must be a number above 0 !",
                       model::MessageIcon::Warning, model::MessageButtons::Ok);
        return kNoChange;
    }
    model::BusyPointer busy(ui);
    return MapSelected(m, rec, [g](model::VertRec v) {
        return model::VertRec{SnapCoordinate(v.X, g), SnapCoordinate(v.Y, g), SnapCoordinate(v.Z, g)};
    });
}

} // namespace zv::edit
