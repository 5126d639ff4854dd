#include "edit/PolygonOps.h"

#include "edit/SelectedPolygons.h"
#include "edit/VertexOps.h"
#include "model/Columns.h"
#include "model/Normals.h"
#include "model/Numbers.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <utility>

namespace zv::edit {
namespace {

using model::CornerCount;
using model::IsPolygon;
using model::IsVertex;
using model::kFalse;
using model::kTrue;
using model::ModelStore;
using model::SameBits;
using model::UsedPolygons;
using model::UsedVertices;

constexpr const char* kSplitTitle = "Split to Triangles";

void Refuse(model::UserInterface& ui, std::string_view title, const std::string& text) {
    ui.ShowMessage(title, text, model::MessageIcon::Warning, model::MessageButtons::Ok);
}

std::size_t At(std::int32_t i) {
    return static_cast<std::size_t>(i);
}

// ---- Cursors ------------------------------------------------------------------------------

struct Cursors {
    std::int32_t Poly, Corner, Edge;
    friend bool operator==(const Cursors&, const Cursors&) = default;
};

Cursors TakeCursors(const ModelStore& m) {
    return {m.CurPoly, m.CurCorner, m.CurEdge};
}

// A current polygon past the count becomes none, with its corner and edge; a corner or edge
// the current polygon does not have becomes none, so no later command reads past its corners.
void SettleCursors(ModelStore& m) {
    if (m.CurPoly >= UsedPolygons(m)) {
        m.CurPoly = m.CurCorner = m.CurEdge = -1;
        return;
    }
    if (IsPolygon(m, m.CurPoly)) {
        const int n = CornerCount(m, m.CurPoly);
        m.CurCorner = m.CurCorner >= n ? -1 : m.CurCorner;
        m.CurEdge = m.CurEdge >= n ? -1 : m.CurEdge;
    }
}

Change CursorChange(const Cursors& before, const ModelStore& m) {
    return before == TakeCursors(m) ? kNoChange : Change(Change::Selection);
}

// ---- Rows ---------------------------------------------------------------------------------

// The selected polygons 0 .. PolyCount - 1 in ascending order.
std::vector<std::int32_t> SelectedPolygons(const ModelStore& m) {
    std::vector<std::int32_t> out;
    const int n = UsedPolygons(m);
    for (int p = 0; p < n; ++p) {
        if (m.PolySel[p] != kFalse) {
            out.push_back(p);
        }
    }
    return out;
}

struct CornerRec {
    std::int32_t Vertex = 0;
    float U = 0;
    float V = 0;
};

CornerRec GetCorner(const ModelStore& m, std::int32_t p, int k) {
    return {m.PolyVert(p, k), m.PolyTU(p, k), m.PolyTV(p, k)};
}

void PutCorner(ModelStore& m, std::int32_t p, int k, const CornerRec& c) {
    m.PolyVert(p, k) = c.Vertex;
    m.PolyTU(p, k) = c.U;
    m.PolyTV(p, k) = c.V;
}

bool SameUv(const ModelStore& m, std::int32_t p, int a, int b) {
    return SameBits(m.PolyTU(p, a), m.PolyTU(p, b)) && SameBits(m.PolyTV(p, a), m.PolyTV(p, b));
}

// A polygon a command appends: up to four corners and the look of the polygon it came from.
struct NewPolygon {
    int Corners = 3;
    std::array<CornerRec, 4> Corner{};
    std::int32_t Tex = 0;
    std::int32_t Type = 0;
    std::array<std::uint8_t, 4> Colour{};
};

NewPolygon LookOf(const ModelStore& m, std::int32_t p) {
    NewPolygon n;
    n.Tex = m.PolyTex[p];
    n.Type = m.PolyType[p];
    n.Colour = {m.PolyR[p], m.PolyG[p], m.PolyB[p], m.PolyA[p]};
    return n;
}

// A fresh row (shown, not selected, no selected edge, unmarked) with the polygon's values and
// its normal.
void WriteNewPolygon(ModelStore& m, std::int32_t row, const NewPolygon& n) {
    model::ClearPolygonRow(m, row);
    m.PolyVCount[row] = n.Corners;
    for (int k = 0; k < n.Corners; ++k) {
        PutCorner(m, row, k, n.Corner[static_cast<std::size_t>(k)]);
    }
    m.PolyTex[row] = n.Tex;
    m.PolyType[row] = n.Type;
    m.PolyR[row] = n.Colour[0];
    m.PolyG[row] = n.Colour[1];
    m.PolyB[row] = n.Colour[2];
    m.PolyA[row] = n.Colour[3];
    if (model::HasSoundCorners(m, row)) {
        model::CalcPolyNormal(m, row);
    }
}

void WriteNewVertex(ModelStore& m, std::int32_t i, const model::VertRec& at, bool selected) {
    model::ClearVertexRow(m, i);
    m.Vert[i] = at;
    m.VertSel[i] = selected ? kTrue : kFalse;
}

float Middle(float a, float b) {
    return static_cast<float>((static_cast<double>(a) + b) * 0.5);
}

model::VertRec Middle(const model::VertRec& a, const model::VertRec& b) {
    return {Middle(a.X, b.X), Middle(a.Y, b.Y), Middle(a.Z, b.Z)};
}

// ---- Part members -------------------------------------------------------------------------

int UsablePartCount(const ModelStore& m) {
    return std::min(m.PartCount(), model::kMaxParts);
}

int MemberCount(const ModelStore& m, int g) {
    return std::clamp(m.GroupSize[g], 0, model::kMaxPartMembers);
}

// Polygons that come into a part after one deletion of a split.
struct Appended {
    int Part = 0; // 0: none
    std::array<std::int32_t, 2> Members{-1, -1};
};

// Whether renumbering by newIndex (the number of every polygon before the command after it,
// -1 for a deleted one) changes any part member.
bool MembersMove(const ModelStore& m, std::span<const std::int32_t> newIndex) {
    const auto count = static_cast<std::int32_t>(newIndex.size());
    for (int g = 1; g <= UsablePartCount(m); ++g) {
        const int size = MemberCount(m, g);
        for (int i = 1; i <= size; ++i) {
            const std::int32_t q = m.GroupPoly(g, i);
            if (q >= 0 && q < count && newIndex[At(q)] != q) {
                return true;
            }
        }
    }
    return false;
}

// Brings the parts to what deleting the polygons of order one after another gives: each
// deletion drops the polygon from every part that lists it (each time it is listed, the
// part's last member moving into its place, which is looked at again), then appended[k] joins
// its part; afterwards every member is renumbered by newIndex. Members that are no polygon of
// the model stay as they are.
//
// Per part, only the members that get deleted are followed: each keeps the ascending list of
// the places it holds, so a deletion costs the places it frees, not a scan of the part.
class PartUpdate {
public:
    PartUpdate(std::span<const std::int32_t> order, std::span<const std::int32_t> newIndex,
               std::span<const Appended> appended)
        : newIndex_(newIndex), appended_(appended), step_(newIndex.size(), -1), slotOf_(newIndex.size(), -1) {
        for (std::size_t k = 0; k < order.size(); ++k) {
            step_[At(order[k])] = static_cast<std::int32_t>(k);
        }
        for (std::size_t k = 0; k < appended.size(); ++k) {
            if (appended[k].Part > 0) {
                appends_.emplace_back(appended[k].Part, static_cast<std::int32_t>(k));
            }
        }
        std::sort(appends_.begin(), appends_.end());
    }

    void Apply(ModelStore& m) {
        auto next = appends_.begin();
        for (int g = 1; g <= UsablePartCount(m); ++g) {
            Load(m, g);
            events_.clear();
            for (; next != appends_.end() && next->first <= g; ++next) {
                if (next->first == g) {
                    events_.push_back({next->second, 1, next->second});
                }
            }
            if (tracked_.empty() && events_.empty()) {
                Renumber(m, g);
                continue;
            }
            Track();
            std::sort(events_.begin(), events_.end(), [](const Event& a, const Event& b) {
                return a.Step != b.Step ? a.Step < b.Step : a.Kind < b.Kind;
            });
            for (const Event& e : events_) {
                if (e.Kind == 0) {
                    Remove(e.Value);
                } else {
                    for (const std::int32_t fresh : appended_[At(e.Value)].Members) {
                        Push({fresh, true});
                    }
                }
            }
            Store(m, g);
            for (const auto& [q, place] : tracked_) {
                slotOf_[At(q)] = -1;
            }
        }
    }

private:
    struct Member {
        std::int32_t Value;
        bool Fresh; // a polygon the command appended: its final number already
    };
    struct Event {
        std::int32_t Step;
        int Kind; // 0: a member deleted, 1: members appended
        std::int32_t Value;
    };
    struct Range {
        int Start;
        int Len;
    };

    bool IsOld(std::int32_t q) const { return q >= 0 && static_cast<std::size_t>(q) < newIndex_.size(); }

    void Load(const ModelStore& m, int g) {
        size_ = MemberCount(m, g);
        list_.resize(static_cast<std::size_t>(size_) + 1);
        tracked_.clear();
        for (int i = 1; i <= size_; ++i) {
            const std::int32_t q = m.GroupPoly(g, i);
            list_[static_cast<std::size_t>(i)] = {q, false};
            if (IsOld(q) && step_[At(q)] >= 0) {
                tracked_.emplace_back(q, i);
            }
        }
    }

    // Members that are not deleted keep their place; only the numbers change.
    void Renumber(ModelStore& m, int g) const {
        for (int i = 1; i <= size_; ++i) {
            std::int32_t& q = m.GroupPoly(g, i);
            q = IsOld(q) ? newIndex_[At(q)] : q;
        }
    }

    // One range of places per deleted member, in ascending order, and its deletion event.
    void Track() {
        std::sort(tracked_.begin(), tracked_.end());
        ranges_.clear();
        places_.clear();
        for (std::size_t i = 0; i < tracked_.size(); ++i) {
            const auto [q, place] = tracked_[i];
            if (i == 0 || tracked_[i - 1].first != q) {
                slotOf_[At(q)] = static_cast<std::int32_t>(ranges_.size());
                ranges_.push_back({static_cast<int>(places_.size()), 0});
                events_.push_back({step_[At(q)], 0, q});
            }
            places_.push_back(place);
            ++ranges_.back().Len;
        }
    }

    void Push(const Member& v) {
        ++size_;
        if (list_.size() <= static_cast<std::size_t>(size_)) {
            list_.resize(static_cast<std::size_t>(size_) + 1);
        }
        list_[static_cast<std::size_t>(size_)] = v;
    }

    // The literal scan: the lowest place holding q takes the last member, which is looked at
    // again; the last member's place list swaps its highest place for the new one.
    void Remove(std::int32_t q) {
        Range& r = ranges_[At(slotOf_[At(q)])];
        while (r.Len > 0) {
            const int i = places_[At(r.Start)];
            ++r.Start;
            --r.Len;
            const int last = size_--;
            if (i == last) {
                continue;
            }
            const Member v = list_[static_cast<std::size_t>(last)];
            list_[static_cast<std::size_t>(i)] = v;
            if (v.Fresh || !IsOld(v.Value) || slotOf_[At(v.Value)] < 0) {
                continue;
            }
            if (v.Value == q) {
                --r.Len; // its highest place was the last one
                places_[At(--r.Start)] = i;
                ++r.Len;
                continue;
            }
            const Range& o = ranges_[At(slotOf_[At(v.Value)])];
            int k = o.Start + o.Len - 1;
            places_[At(k)] = i;
            for (; k > o.Start && places_[At(k - 1)] > places_[At(k)]; --k) {
                std::swap(places_[At(k - 1)], places_[At(k)]);
            }
        }
    }

    void Store(ModelStore& m, int g) const {
        for (int i = 1; i <= size_; ++i) {
            const Member& v = list_[static_cast<std::size_t>(i)];
            m.GroupPoly(g, i) = v.Fresh || !IsOld(v.Value) ? v.Value : newIndex_[At(v.Value)];
        }
        m.GroupSize[g] = size_;
    }

    std::span<const std::int32_t> newIndex_;
    std::span<const Appended> appended_;
    std::vector<std::int32_t> step_;                    // by polygon: when it is deleted, -1 never
    std::vector<std::int32_t> slotOf_;                  // by polygon: its range in the current part, -1 none
    std::vector<std::pair<int, std::int32_t>> appends_; // (part, step)
    std::vector<Member> list_;                          // 1-based
    int size_ = 0;
    std::vector<std::pair<std::int32_t, int>> tracked_; // (deleted member, place)
    std::vector<Range> ranges_;
    std::vector<int> places_;
    std::vector<Event> events_;
};

// ---- Deleting and appending ---------------------------------------------------------------

// The order in which passes over the polygons delete the marked ones (ascending): each pass
// walks the polygons upwards, deletes every marked one it meets and steps over the polygon
// that moves into its slot; passes repeat while marked polygons remain. So within a run of
// marked polygons with no unmarked one between them, a pass takes every second one.
std::vector<std::int32_t> PassOrder(const std::vector<std::int32_t>& marked) {
    std::vector<std::int32_t> order;
    order.reserve(marked.size());
    // Marked polygons in one run share its number.
    std::vector<std::int32_t> run(marked.size());
    for (std::size_t i = 1; i < marked.size(); ++i) {
        run[i] = run[i - 1] + (marked[i] == marked[i - 1] + 1 ? 0 : 1);
    }
    std::vector<std::size_t> left(marked.size()), next;
    for (std::size_t i = 0; i < left.size(); ++i) {
        left[i] = i;
    }
    while (!left.empty()) {
        next.clear();
        bool tookPrevious = false;
        std::int32_t previousRun = -1;
        for (const std::size_t i : left) {
            // The polygon after one just deleted is stepped over; everything between two
            // polygons of one run has been deleted by earlier passes.
            if (tookPrevious && run[i] == previousRun) {
                next.push_back(i);
                tookPrevious = false;
            } else {
                order.push_back(marked[i]);
                tookPrevious = true;
            }
            previousRun = run[i];
        }
        left.swap(next);
    }
    return order;
}

// Deletes the polygons of order (numbers before the command, deleted one after another in
// that order) and appends the added rows after the remaining polygons; appended[k], when
// given, joins a part after deletion k. Declares the rows from the lowest one deleted, the
// parts when a member moves, and the counts.
Change Rebuild(ModelStore& m, Recorder& rec, const std::vector<std::int32_t>& order,
               const std::vector<NewPolygon>& added, const std::vector<Appended>& appended) {
    const Cursors cursors = TakeCursors(m);
    const int count = UsedPolygons(m);
    const int kept = count - static_cast<int>(order.size());
    const int newCount = kept + static_cast<int>(added.size());
    const int first = order.empty() ? count : *std::min_element(order.begin(), order.end());
    rec.Polygons(first, std::max(count, newCount));
    rec.Counts();
    std::vector<std::uint8_t> drop(static_cast<std::size_t>(count), 0);
    for (const std::int32_t p : order) {
        drop[At(p)] = 1;
    }
    std::vector<std::int32_t> newIndex(static_cast<std::size_t>(count));
    for (std::int32_t p = 0, to = 0; p < count; ++p) {
        newIndex[At(p)] = drop[At(p)] != 0 ? -1 : to++;
    }
    Change changed = Change::Polygons;
    if (MembersMove(m, newIndex)) {
        rec.Parts();
        PartUpdate(order, newIndex, appended).Apply(m);
        changed |= Change::Parts;
    }
    model::CompactPolygonRows(m, first, count, drop);
    for (std::size_t k = 0; k < added.size(); ++k) {
        WriteNewPolygon(m, kept + static_cast<std::int32_t>(k), added[k]);
    }
    m.PolyCount = newCount;
    SettleCursors(m);
    if (newCount != count) {
        changed |= Change::Counts;
    }
    return changed | CursorChange(cursors, m);
}

Change DeleteInOrder(ModelStore& m, Recorder& rec, const std::vector<std::int32_t>& order) {
    return order.empty() ? kNoChange : Rebuild(m, rec, order, {}, {});
}

// ---- Splitting ----------------------------------------------------------------------------

bool Splittable(const ModelStore& m, std::int32_t p) {
    const std::int32_t n = m.PolyVCount[p];
    return (n == 3 || n == 4) && model::CornersAreVertices(m, p);
}

// The two triangles of polygon p (a sound triangle or quad) cut at e; for a triangle also the
// new middle vertex, numbered middle. False when a triangle has no corner e.
bool CutPolygon(const ModelStore& m, std::int32_t p, std::int32_t e, std::int32_t middle, NewPolygon& a,
                NewPolygon& b, model::VertRec& at) {
    a = b = LookOf(m, p);
    const auto c = [&](int k) { return GetCorner(m, p, k); };
    if (m.PolyVCount[p] == 4) {
        if (e == 1 || e == 3) {
            a.Corner = {c(0), c(1), c(3)};
            b.Corner = {c(1), c(2), c(3)};
        } else {
            a.Corner = {c(0), c(1), c(2)};
            b.Corner = {c(0), c(2), c(3)};
        }
        return true;
    }
    if (e < 0 || e > 2) {
        return false;
    }
    // The middle of the edge opposite corner e, texture coordinates included.
    const CornerRec from = c((e + 1) % 3), to = c((e + 2) % 3);
    at = Middle(m.Vert[from.Vertex], m.Vert[to.Vertex]);
    const CornerRec mid{middle, Middle(from.U, to.U), Middle(from.V, to.V)};
    switch (e) {
    case 0:
        a.Corner = {c(0), c(1), mid};
        b.Corner = {c(0), mid, c(2)};
        break;
    case 1:
        a.Corner = {c(0), c(1), mid};
        b.Corner = {c(1), c(2), mid};
        break;
    default:
        a.Corner = {c(2), c(0), mid};
        b.Corner = {mid, c(1), c(2)};
        break;
    }
    return true;
}

// The part that gets the halves of each split polygon (the first that lists it, 0 none), and
// whether every part stays within its members while the splits go one after another. Names
// the first part that would overflow in full.
bool PartsTakeSplits(const ModelStore& m, const std::vector<std::int32_t>& order, std::vector<int>& partOf,
                     int& full) {
    const int count = UsedPolygons(m);
    std::vector<std::int32_t> step(static_cast<std::size_t>(count), -1);
    for (std::size_t k = 0; k < order.size(); ++k) {
        step[At(order[k])] = static_cast<std::int32_t>(k);
    }
    partOf.assign(order.size(), 0);
    std::vector<std::pair<std::int32_t, int>> listed; // (step, part), once per listing
    std::vector<int> size(static_cast<std::size_t>(UsablePartCount(m)) + 1, 0);
    for (int g = 1; g <= UsablePartCount(m); ++g) {
        size[static_cast<std::size_t>(g)] = MemberCount(m, g);
        for (int i = 1; i <= size[static_cast<std::size_t>(g)]; ++i) {
            const std::int32_t q = m.GroupPoly(g, i);
            if (q >= 0 && q < count && step[At(q)] >= 0) {
                listed.emplace_back(step[At(q)], g);
                int& part = partOf[At(step[At(q)])];
                part = part == 0 ? g : part;
            }
        }
    }
    std::sort(listed.begin(), listed.end());
    auto it = listed.begin();
    for (std::size_t k = 0; k < order.size(); ++k) {
        for (; it != listed.end() && it->first == static_cast<std::int32_t>(k); ++it) {
            --size[static_cast<std::size_t>(it->second)];
        }
        const int g = partOf[k];
        if (g > 0 && (size[static_cast<std::size_t>(g)] += 2) > model::kMaxPartMembers) {
            full = g;
            return false;
        }
    }
    return true;
}

// Splits the polygons of order (sound triangles and quads) one after another, polygon order[k]
// at edge[k], checking the whole growth first.
Change SplitInOrder(ModelStore& m, Recorder& rec, model::UserInterface& ui,
                    const std::vector<std::int32_t>& order, const std::vector<std::int32_t>& edge) {
    const std::int32_t vertices = UsedVertices(m);
    const int kept = UsedPolygons(m) - static_cast<int>(order.size());
    std::vector<NewPolygon> added;
    std::vector<model::VertRec> middles;
    added.reserve(2 * order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        NewPolygon a, b;
        model::VertRec at;
        const auto middle = vertices + static_cast<std::int32_t>(middles.size());
        CutPolygon(m, order[k], edge[k], middle, a, b, at);
        if (m.PolyVCount[order[k]] == 3) {
            middles.push_back(at);
        }
        added.push_back(a);
        added.push_back(b);
    }
    if (vertices + static_cast<int>(middles.size()) > kMaxVertices) {
        Refuse(ui, kSplitTitle, "Can't split,\r80000 vertices is the limit !");
        return kNoChange;
    }
    if (kept + static_cast<int>(added.size()) > kMaxPolygons) {
        Refuse(ui, kSplitTitle, "Can't split,\r80000 polygons is the limit !");
        return kNoChange;
    }
    std::vector<int> partOf;
    int full = 0;
    if (!PartsTakeSplits(m, order, partOf, full)) {
        Refuse(ui, kSplitTitle,
               "Can't split,\rpart " + m.GroupName[full] + " can't hold more than 1280 polygons !");
        return kNoChange;
    }
    std::vector<Appended> appended(order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        const auto a = kept + 2 * static_cast<std::int32_t>(k);
        appended[k] = {partOf[k], {a, a + 1}};
    }
    Change changed;
    if (!middles.empty()) {
        const auto n = static_cast<std::int32_t>(middles.size());
        rec.Vertices(vertices, vertices + n);
        for (std::int32_t i = 0; i < n; ++i) {
            WriteNewVertex(m, vertices + i, middles[At(i)], false);
        }
        m.VertCount = vertices + n;
        changed = Change::Geometry | Change::Counts;
    }
    return changed | Rebuild(m, rec, order, added, appended);
}

// ---- Merging ------------------------------------------------------------------------------

// A triangle that may merge: its corners, texture and freshly computed normal.
struct Triangle {
    std::array<std::int32_t, 3> V;
    std::int32_t Tex;
    std::array<float, 3> N;
};

// The normal the polygon would get, computed by the normal routine and then put back, so the
// comparison leaves every row as it was.
std::array<float, 3> FreshNormal(ModelStore& m, std::int32_t p) {
    const float saved[7] = {m.PolyNX[p], m.PolyNY[p], m.PolyNZ[p], m.PolyD[p],
                            m.NrmX[p],   m.NrmY[p],   m.NrmZ[p]};
    model::CalcPolyNormal(m, p);
    const std::array<float, 3> n{m.PolyNX[p], m.PolyNY[p], m.PolyNZ[p]};
    m.PolyNX[p] = saved[0];
    m.PolyNY[p] = saved[1];
    m.PolyNZ[p] = saved[2];
    m.PolyD[p] = saved[3];
    m.NrmX[p] = saved[4];
    m.NrmY[p] = saved[5];
    m.NrmZ[p] = saved[6];
    return n;
}

bool CloseNormals(const std::array<float, 3>& a, const std::array<float, 3>& b) {
    constexpr float kLimit = 0.0174f;
    return std::fabs(a[0] - b[0]) < kLimit && std::fabs(a[1] - b[1]) < kLimit &&
           std::fabs(a[2] - b[2]) < kLimit;
}

// Triangles listed by edge (an unordered vertex pair) and texture, each list in ascending
// order: an open-addressing table from key to list number, the lists numbered as they are met
// (so neighbouring triangles mostly use neighbouring lists) over one array of links.
class EdgeTable {
public:
    explicit EdgeTable(std::size_t triangles) {
        std::size_t size = 16;
        while (size < 4 * triangles) {
            size *= 2;
        }
        slots_.assign(size, Slot{});
        next_.reserve(3 * triangles);
        owner_.reserve(3 * triangles);
    }

    // Appends triangle t to the list of edge (a, b), a < b, with texture tex; returns the list.
    std::int32_t Add(std::int32_t a, std::int32_t b, std::int32_t tex, std::int32_t t) {
        const std::int32_t l = Find(a, b, tex);
        const auto link = static_cast<std::int32_t>(next_.size());
        next_.push_back(-1);
        owner_.push_back(t);
        List& list = lists_[At(l)];
        if (list.Head < 0) {
            list.Head = link;
        } else {
            next_[At(list.Tail)] = link;
        }
        list.Tail = link;
        return l;
    }

    // The lowest triangle in list l for which take(t) holds. Triangles for which gone(t) holds
    // are dropped from the front of the list for good.
    template <class Gone, class Take> std::int32_t First(std::int32_t l, Gone gone, Take take) {
        List& list = lists_[At(l)];
        while (list.Head >= 0 && gone(owner_[At(list.Head)])) {
            list.Head = next_[At(list.Head)];
        }
        for (std::int32_t i = list.Head; i >= 0; i = next_[At(i)]) {
            if (take(owner_[At(i)])) {
                return owner_[At(i)];
            }
        }
        return -1;
    }

private:
    struct Slot {
        std::int32_t A = -1, B = -1, Tex = 0, List = -1;
    };
    struct List {
        std::int32_t Head = -1, Tail = -1;
    };

    std::int32_t Find(std::int32_t a, std::int32_t b, std::int32_t tex) {
        const std::uint64_t key =
            (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) | static_cast<std::uint32_t>(b);
        std::uint64_t h =
            (key ^ (static_cast<std::uint64_t>(static_cast<std::uint32_t>(tex)) * 0x9E3779B97F4A7C15u)) *
            0xBF58476D1CE4E5B9u;
        h ^= h >> 31;
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = static_cast<std::size_t>(h) & mask;; i = (i + 1) & mask) {
            Slot& s = slots_[i];
            if (s.A < 0) {
                s = {a, b, tex, static_cast<std::int32_t>(lists_.size())};
                lists_.push_back({});
                return s.List;
            }
            if (s.A == a && s.B == b && s.Tex == tex) {
                return s.List;
            }
        }
    }

    std::vector<Slot> slots_;
    std::vector<List> lists_;
    std::vector<std::int32_t> next_;
    std::vector<std::int32_t> owner_;
};

// Triangle i with the vertex of j it lacks between the two corners they share; corner 0
// stays.
void MakeQuad(ModelStore& m, std::int32_t i, std::int32_t j) {
    const CornerRec c[3] = {GetCorner(m, i, 0), GetCorner(m, i, 1), GetCorner(m, i, 2)};
    CornerRec extra;
    for (int k = 0; k < 3; ++k) {
        const std::int32_t v = m.PolyVert(j, k);
        if (v != c[0].Vertex && v != c[1].Vertex && v != c[2].Vertex) {
            extra = GetCorner(m, j, k);
        }
    }
    int lone = 0; // the corner of i that j lacks
    for (int k = 0; k < 3; ++k) {
        const std::int32_t v = c[k].Vertex;
        if (v != m.PolyVert(j, 0) && v != m.PolyVert(j, 1) && v != m.PolyVert(j, 2)) {
            lone = k;
        }
    }
    // The shared corners are lone + 1 and lone + 2; the new one goes between them.
    const std::array<CornerRec, 4> quad = lone == 0   ? std::array{c[0], c[1], extra, c[2]}
                                          : lone == 1 ? std::array{c[0], c[1], c[2], extra}
                                                      : std::array{c[0], extra, c[1], c[2]};
    for (int k = 0; k < 4; ++k) {
        PutCorner(m, i, k, quad[static_cast<std::size_t>(k)]);
    }
    m.PolyVCount[i] = 4;
    model::CalcPolyNormal(m, i);
}

// ---- Text ---------------------------------------------------------------------------------

std::uint8_t ColourByte(double v) {
    if (std::isnan(v)) {
        return 0;
    }
    return static_cast<std::uint8_t>(std::clamp(model::RoundToInt32(v), 0, 255));
}

constexpr SurfacePreset kPresets[] = {
    {"Textured", 52},        {"Colored", 36},       {"Transparent A", 2100},
    {"Transparent B", 2065}, {"Transparent C", 24}, {"Transparent D", 17},
    {"Transparent E", 9},    {"Transparent F", 0},  {"Unknown Face Type", 0},
};

} // namespace

// ---- The polygon panel --------------------------------------------------------------------

std::vector<std::int32_t> CountedCorners(const ModelStore& m, std::span<const std::string> entries) {
    std::vector<std::int32_t> corners;
    const std::size_t boxes = std::min<std::size_t>(entries.size(), model::kMaxCorners);
    for (std::size_t i = 0; i < boxes; ++i) {
        // Rounded first, then checked: 2.6 of a three-vertex model would be vertex 3.
        const auto v = model::ParseNumber(entries[i]);
        if (v && *v >= 0 && *v < 2147483647.0 && IsVertex(m, model::RoundToInt32(*v))) {
            corners.push_back(model::RoundToInt32(*v));
        }
    }
    return corners;
}

Change AddPolygon(ModelStore& m, Recorder& rec, model::UserInterface& ui,
                  std::span<const std::string> entries) {
    if (!m.HasModel()) {
        return kNoChange;
    }
    const std::vector<std::int32_t> corners = CountedCorners(m, entries);
    if (corners.size() < 3) {
        return kNoChange;
    }
    if (m.PolyCount >= kMaxPolygons) {
        Refuse(ui, "Add Polygon", "Can't add,\r80000 polygons is the limit !");
        return kNoChange;
    }
    const std::int32_t p = m.PolyCount;
    rec.Polygons(p, p + 1);
    rec.Counts();
    model::ClearPolygonRow(m, p);
    m.PolyVCount[p] = static_cast<std::int32_t>(corners.size());
    for (int k = 0; k < model::kMaxCorners; ++k) {
        const int corner = k % 4;
        m.PolyVert(p, k) =
            static_cast<std::size_t>(k) < corners.size() ? corners[static_cast<std::size_t>(k)] : 0;
        m.PolyTU(p, k) = corner == 1 || corner == 2 ? 1.0f : 0.0f;
        m.PolyTV(p, k) = corner >= 2 ? 1.0f : 0.0f;
    }
    m.PolyType[p] = kTexturedType;
    model::CalcPolyNormal(m, p);
    ++m.PolyCount;
    return Change::Polygons | Change::Counts;
}

Change ChangePolygon(ModelStore& m, Recorder& rec, std::span<const std::string> entries) {
    const std::int32_t p = m.CurPoly;
    if (!IsPolygon(m, p)) {
        return kNoChange; // also a cursor left past the count
    }
    const std::vector<std::int32_t> corners = CountedCorners(m, entries);
    if (corners.size() < 3) {
        return kNoChange;
    }
    const Cursors cursors = TakeCursors(m);
    const model::RowBlock before = model::CapturePolygonRows(m, p, 1);
    rec.Polygons(p, p + 1);
    const auto n = static_cast<std::int32_t>(corners.size());
    m.PolyVCount[p] = n;
    for (std::int32_t k = 0; k < n; ++k) {
        m.PolyVert(p, k) = corners[At(k)];
    }
    model::CalcPolyNormal(m, p);
    if (m.PolySelEdge[p] >= n) {
        m.PolySelEdge[p] = -1;
    }
    SettleCursors(m);
    const bool same = model::CapturePolygonRows(m, p, 1).Bytes == before.Bytes;
    return (same ? kNoChange : Change(Change::Polygons)) | CursorChange(cursors, m);
}

Change GotoPolygon(ModelStore& m, model::UserInterface& ui, double n, std::string_view text) {
    const bool numeric = std::isfinite(n) && std::abs(n) < 2147483647.0;
    const std::int32_t p = numeric ? model::RoundToInt32(n) : -1;
    if (!numeric || !IsPolygon(m, p)) {
        Refuse(ui, "Goto Face ERROR", "Polygon " + std::string(text) + " doesn't exist ! ");
        return kNoChange;
    }
    m.CurPoly = p;
    SettleCursors(m);
    return Change::Selection;
}

// ---- Deleting -----------------------------------------------------------------------------

Change DeletePolygon(ModelStore& m, Recorder& rec, std::int32_t p) {
    return IsPolygon(m, p) ? DeleteInOrder(m, rec, {p}) : kNoChange;
}

Change DeleteSelectedPolygons(ModelStore& m, Recorder& rec, model::UserInterface& ui) {
    const std::vector<std::int32_t> selected = SelectedPolygons(m);
    if (selected.empty()) {
        return kNoChange;
    }
    model::BusyPointer busy(ui);
    return DeleteInOrder(m, rec, PassOrder(selected));
}

Change RemoveWrongPolygons(ModelStore& m, Recorder& rec, model::UserInterface& ui) {
    const auto wrong = [&](std::int32_t p) {
        const std::int32_t n = m.PolyVCount[p];
        if (n < 3) {
            return true; // no polygon at all
        }
        const auto c = [&](int k) { return m.PolyVert(p, k); };
        if (n < 4) {
            return c(0) == c(1) || c(0) == c(2) || c(1) == c(2);
        }
        const bool three = (c(0) == c(1) && (c(0) == c(2) || c(0) == c(3))) ||
                           (c(0) == c(2) && c(0) == c(3)) || (c(1) == c(2) && c(1) == c(3));
        const bool pairs = (c(0) == c(1) && c(2) == c(3)) || (c(0) == c(2) && c(1) == c(3)) ||
                           (c(0) == c(3) && c(1) == c(2));
        return three || pairs;
    };
    std::vector<std::int32_t> order;
    for (std::int32_t p = 0; p < UsedPolygons(m); ++p) {
        if (wrong(p)) {
            order.push_back(p);
        }
    }
    if (order.empty()) {
        return kNoChange;
    }
    model::BusyPointer busy(ui);
    return DeleteInOrder(m, rec, order);
}

// ---- Corners and texture coordinates ------------------------------------------------------

namespace {

bool SameCorner(const ModelStore& m, std::int32_t p, int a, int b) {
    return m.PolyVert(p, a) == m.PolyVert(p, b) && SameUv(m, p, a, b);
}

void SwapUv(ModelStore& m, std::int32_t p, int a, int b) {
    std::swap(m.PolyTU(p, a), m.PolyTU(p, b));
    std::swap(m.PolyTV(p, a), m.PolyTV(p, b));
}

} // namespace

Change FlipSelectedPolygons(ModelStore& m, Recorder& rec) {
    return ChangeSelectedPolygons(
        m, rec,
        [&](std::int32_t p) {
            const int n = CornerCount(m, p);
            for (int k = 0; k < n - 2 - k; ++k) {
                if (!SameCorner(m, p, k, n - 2 - k)) {
                    return true;
                }
            }
            return false;
        },
        [&](std::int32_t p) {
            const int n = CornerCount(m, p);
            for (int k = 0; k < n - 2 - k; ++k) {
                const CornerRec a = GetCorner(m, p, k);
                PutCorner(m, p, k, GetCorner(m, p, n - 2 - k));
                PutCorner(m, p, n - 2 - k, a);
            }
        });
}

Change MirrorSelectedTextures(ModelStore& m, Recorder& rec) {
    return ChangeSelectedPolygons(
        m, rec,
        [&](std::int32_t p) {
            const std::int32_t n = m.PolyVCount[p];
            return (n == 3 || n == 4) && (!SameUv(m, p, 0, 1) || (n == 4 && !SameUv(m, p, 2, 3)));
        },
        [&](std::int32_t p) {
            SwapUv(m, p, 0, 1);
            if (m.PolyVCount[p] == 4) {
                SwapUv(m, p, 3, 2);
            }
        });
}

Change RotateSelectedTextures(ModelStore& m, Recorder& rec) {
    return ChangeSelectedPolygons(
        m, rec,
        [&](std::int32_t p) {
            const int n = CornerCount(m, p);
            for (int k = 0; k + 1 < n; ++k) {
                if (!SameUv(m, p, k, k + 1)) {
                    return true;
                }
            }
            return false;
        },
        [&](std::int32_t p) {
            const int n = CornerCount(m, p);
            for (int k = 0; k + 1 < n; ++k) {
                SwapUv(m, p, k, k + 1);
            }
        });
}

Change CopyToBackside(ModelStore& m, Recorder& rec, model::UserInterface& ui) {
    const std::vector<std::int32_t> selected = SelectedPolygons(m);
    if (selected.empty()) {
        return kNoChange;
    }
    const std::int32_t count = UsedPolygons(m);
    const auto copies = static_cast<std::int32_t>(selected.size());
    if (count + copies > kMaxPolygons) {
        Refuse(ui, "Copy to Backside", "Can't add,\r80000 polygons is the limit !");
        return kNoChange;
    }
    rec.Polygons(count, count + copies);
    rec.Counts();
    for (std::int32_t i = 0; i < copies; ++i) {
        const std::int32_t s = selected[At(i)], p = count + i;
        const int n = CornerCount(m, s);
        model::ClearPolygonRow(m, p);
        m.PolyVCount[p] = n;
        for (int k = 0; k < n; ++k) {
            PutCorner(m, p, k, GetCorner(m, s, n - 1 - k));
        }
        m.PolyTex[p] = m.PolyTex[s];
        m.PolyType[p] = m.PolyType[s];
        m.PolyR[p] = m.PolyR[s];
        m.PolyG[p] = m.PolyG[s];
        m.PolyB[p] = m.PolyB[s];
        m.PolyA[p] = m.PolyA[s];
        m.PolyNX[p] = m.PolyNX[s];
        m.PolyNY[p] = m.PolyNY[s];
        m.PolyNZ[p] = m.PolyNZ[s];
        m.PolyD[p] = m.PolyD[s];
        if (model::HasSoundCorners(m, p)) {
            model::CalcPolyNormal(m, p);
        }
    }
    m.PolyCount = count + copies;
    return Change::Polygons | Change::Counts;
}

// ---- Splitting and merging ----------------------------------------------------------------

Change SplitPolygon(ModelStore& m, Recorder& rec, model::UserInterface& ui, std::int32_t p, std::int32_t e) {
    if (!IsPolygon(m, p)) {
        return kNoChange;
    }
    const std::int32_t n = m.PolyVCount[p];
    if (n != 3 && n != 4) {
        ui.ShowMessage(kSplitTitle, "Only Polygons with 3 or 4 Vertices can be splitted atm.",
                       model::MessageIcon::None, model::MessageButtons::Ok);
        return kNoChange;
    }
    if (!Splittable(m, p) || (n == 3 && (e < 0 || e > 2))) {
        return kNoChange;
    }
    return SplitInOrder(m, rec, ui, {p}, {e});
}

Change SplitSelectedPolygons(ModelStore& m, Recorder& rec, model::UserInterface& ui) {
    // A selected polygon of another corner count refuses the whole command before anything is
    // split (it would stay marked and the passes would never end); the user deselects it.
    std::vector<std::int32_t> marked;
    for (const std::int32_t p : SelectedPolygons(m)) {
        const std::int32_t n = m.PolyVCount[p];
        if (n != 3 && n != 4) {
            ui.ShowMessage(kSplitTitle, "Only Polygons with 3 or 4 Vertices can be splitted atm.",
                           model::MessageIcon::None, model::MessageButtons::Ok);
            return kNoChange;
        }
        if (Splittable(m, p)) {
            marked.push_back(p);
        }
    }
    if (marked.empty()) {
        return kNoChange;
    }
    model::BusyPointer busy(ui);
    const std::vector<std::int32_t> order = PassOrder(marked);
    const Cursors cursors = TakeCursors(m);
    const std::int32_t corner = m.CurCorner;
    m.CurCorner = 0;
    Change changed = SplitInOrder(m, rec, ui, order, std::vector<std::int32_t>(order.size(), 0));
    if (!changed.Any()) {
        m.CurCorner = corner; // refused
        return kNoChange;
    }
    SettleCursors(m);
    return changed | CursorChange(cursors, m);
}

Change MergeTrianglesToQuads(ModelStore& m, Recorder& rec, model::UserInterface& ui) {
    const std::vector<std::int32_t> selected = SelectedPolygons(m);
    if (selected.empty()) {
        return kNoChange;
    }
    model::BusyPointer busy(ui);
    // Only triangles with three different vertices merge: a repeated vertex or a duplicate
    // triangle would leave the quad a corner that is no vertex of either.
    std::vector<std::int32_t> id(static_cast<std::size_t>(UsedPolygons(m)), -1);
    std::vector<Triangle> tris;
    std::vector<std::int32_t> polygonOf;
    for (const std::int32_t p : selected) {
        const std::array<std::int32_t, 3> v{m.PolyVert(p, 0), m.PolyVert(p, 1), m.PolyVert(p, 2)};
        if (m.PolyVCount[p] != 3 || !model::CornersAreVertices(m, p) || v[0] == v[1] || v[0] == v[2] ||
            v[1] == v[2]) {
            continue;
        }
        id[At(p)] = static_cast<std::int32_t>(tris.size());
        tris.push_back({v, m.PolyTex[p], FreshNormal(m, p)});
        polygonOf.push_back(p);
    }
    EdgeTable table(tris.size());
    std::vector<std::array<std::int32_t, 3>> lists(tris.size());
    for (std::size_t t = 0; t < tris.size(); ++t) {
        const auto& v = tris[t].V;
        for (int k = 0; k < 3; ++k) {
            const std::int32_t a = v[static_cast<std::size_t>(k)],
                               b = v[static_cast<std::size_t>((k + 1) % 3)];
            lists[t][static_cast<std::size_t>(k)] =
                table.Add(std::min(a, b), std::max(a, b), tris[t].Tex, static_cast<std::int32_t>(t));
        }
    }
    // Triangles are numbered in polygon order, so the lowest triangle is the lowest polygon.
    std::vector<char> merged(tris.size(), 0);
    std::vector<std::pair<std::int32_t, std::int32_t>> pairs;
    const auto gone = [&](std::int32_t t) { return merged[At(t)] != 0; };
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(tris.size()); ++i) {
        if (merged[At(i)] != 0) {
            continue;
        }
        const Triangle& ti = tris[At(i)];
        std::int32_t best = -1;
        for (const std::int32_t l : lists[At(i)]) {
            const std::int32_t j = table.First(l, gone, [&](std::int32_t t) {
                if (t == i || merged[At(t)] != 0) {
                    return false;
                }
                if (best >= 0 && t >= best) {
                    return true; // nothing lower in this list
                }
                const auto& v = tris[At(t)].V;
                const int shared = static_cast<int>(std::count_if(v.begin(), v.end(), [&](std::int32_t x) {
                    return x == ti.V[0] || x == ti.V[1] || x == ti.V[2];
                }));
                return shared == 2 && CloseNormals(ti.N, tris[At(t)].N);
            });
            best = j >= 0 && (best < 0 || j < best) ? j : best;
        }
        if (best >= 0) {
            merged[At(i)] = merged[At(best)] = 1;
            pairs.emplace_back(polygonOf[At(i)], polygonOf[At(best)]);
        }
    }
    if (pairs.empty()) {
        return kNoChange;
    }
    std::vector<std::int32_t> dropped;
    std::int32_t first = pairs.front().first;
    for (const auto& [i, j] : pairs) {
        dropped.push_back(j);
        first = std::min({first, i, j});
    }
    std::sort(dropped.begin(), dropped.end());
    rec.Polygons(first, UsedPolygons(m));
    for (const auto& [i, j] : pairs) {
        MakeQuad(m, i, j);
    }
    return DeleteInOrder(m, rec, dropped);
}

// ---- Edges --------------------------------------------------------------------------------

Change ExtrudeSelectedEdges(ModelStore& m, Recorder& rec, model::UserInterface& ui) {
    std::vector<std::pair<std::int32_t, int>> edges; // (polygon, edge)
    for (std::int32_t p = 0; p < UsedPolygons(m); ++p) {
        const int e = m.PolySelEdge[p];
        const int n = CornerCount(m, p);
        // An edge number the polygon does not have (its corners changed since) is stale.
        if (e >= 0 && e < n && n >= 3 && IsVertex(m, m.PolyVert(p, e)) &&
            IsVertex(m, m.PolyVert(p, (e + 1) % n))) {
            edges.emplace_back(p, e);
        }
    }
    if (edges.empty()) {
        return kNoChange;
    }
    const std::int32_t vertices = UsedVertices(m), count = UsedPolygons(m);
    const auto k = static_cast<std::int32_t>(edges.size());
    if (vertices + 2 * k > kMaxVertices) {
        Refuse(ui, "Add Quads to Edges", "Can't add,\r80000 vertices is the limit !");
        return kNoChange;
    }
    if (count + k > kMaxPolygons) {
        Refuse(ui, "Add Quads to Edges", "Can't add,\r80000 polygons is the limit !");
        return kNoChange;
    }
    rec.Vertices(vertices, vertices + 2 * k);
    rec.Polygons(count, count + k);
    rec.Counts();
    m.VertSel.Fill(kFalse);
    m.VertCount = vertices + 2 * k; // the new quads' corners are vertices of the model
    for (std::int32_t i = 0; i < k; ++i) {
        const auto [p, e] = edges[At(i)];
        const int n = CornerCount(m, p);
        const std::int32_t a = m.PolyVert(p, e), b = m.PolyVert(p, (e + 1) % n);
        const std::int32_t a2 = vertices + 2 * i, b2 = a2 + 1;
        WriteNewVertex(m, a2, m.Vert[a], true);
        WriteNewVertex(m, b2, m.Vert[b], true);
        NewPolygon q = LookOf(m, p);
        q.Corners = 4;
        const std::int32_t at[4] = {a2, b2, b, a};
        for (int c = 0; c < 4; ++c) {
            // A triangle has no corner 3: its texture coordinates repeat corner 0.
            const int from = c % n;
            q.Corner[static_cast<std::size_t>(c)] = {0, m.PolyTU(p, from), m.PolyTV(p, from)};
        }
        for (int c = 0; c < 4; ++c) {
            q.Corner[static_cast<std::size_t>((e + c) % 4)].Vertex = at[c];
        }
        WriteNewPolygon(m, count + i, q);
    }
    std::int16_t* edge = m.PolySelEdge.Row(0);
    for (int p = 0; p < m.PolySelEdge.Rows(); ++p) {
        const std::int16_t v = edge[p];
        edge[p] = v >= 0 ? std::int16_t{-1} : v <= -100 ? static_cast<std::int16_t>(-100 - v) : v;
    }
    m.PolyCount = count + k;
    ui.ShowProgress("Part added (vert:" + std::to_string(2 * k) + "  poly: " + std::to_string(k) + ")");
    return Change::Geometry | Change::Polygons | Change::Counts | Change::Selection;
}

// ---- Surface ------------------------------------------------------------------------------

std::span<const SurfacePreset> SurfacePresets() {
    return kPresets;
}

std::span<const char* const> SurfaceBitCaptions() {
    static const char* const captions[16] = {
        "Perspect. Tex. Corr.", "Shading Off",   "Flat Shading",       "Gouraud Shading",
        "Affine Texture",       "Omni Lit",      "Depth Cue",          "Wireframe",
        "Outline",              "LOD Shading",   "Animated",           "Use Alpha-Transp.",
        "Environment Map.",     "Anti-Aliasing", "Bilinear Filtering", "Trilinear Filtering"};
    return captions;
}

std::int32_t SurfaceTypeFromBits(std::uint16_t bits) {
    return static_cast<std::int16_t>(bits);
}

std::string CorrectColourText(std::string_view text) {
    const auto v = model::ParseNumber(text);
    if (!v || *v < 0) {
        return "0";
    }
    return *v > 255 ? "255" : std::string(text);
}

namespace {

// Writes the surface into the polygons for which pick(p) holds among candidates.
template <class Pick> Change WriteSurface(ModelStore& m, Recorder& rec, const SurfaceSettings& s, Pick pick) {
    const bool texture = s.Texture && *s.Texture >= 0 && *s.Texture < m.TexCount;
    std::array<std::uint8_t, 4> colour{};
    if (s.Colour) {
        for (std::size_t c = 0; c < 4; ++c) {
            colour[c] = ColourByte((*s.Colour)[c]);
        }
    }
    return pick(
        m, rec,
        [&](std::int32_t p) {
            const std::array<std::uint8_t, 4> now{m.PolyR[p], m.PolyG[p], m.PolyB[p], m.PolyA[p]};
            return (s.Type && m.PolyType[p] != *s.Type) || (s.Colour && now != colour) ||
                   (texture && m.PolyTex[p] != *s.Texture);
        },
        [&](std::int32_t p) {
            if (s.Type) {
                m.PolyType[p] = *s.Type;
            }
            if (s.Colour) {
                m.PolyR[p] = colour[0];
                m.PolyG[p] = colour[1];
                m.PolyB[p] = colour[2];
                m.PolyA[p] = colour[3];
            }
            if (texture) {
                m.PolyTex[p] = *s.Texture;
            }
        });
}

} // namespace

Change SetSurface(ModelStore& m, Recorder& rec, const SurfaceSettings& s) {
    return WriteSurface(m, rec, s, [](ModelStore& store, Recorder& r, auto changes, auto apply) {
        return ChangeSelectedPolygons(store, r, changes, apply);
    });
}

Change SetCurrentSurface(ModelStore& m, Recorder& rec, const SurfaceSettings& s) {
    return WriteSurface(m, rec, s, [](ModelStore& store, Recorder& r, auto changes, auto apply) {
        const std::int32_t p = store.CurPoly;
        if (!IsPolygon(store, p) || !changes(p)) {
            return kNoChange; // also a cursor left past the count
        }
        r.Polygons(p, p + 1);
        apply(p);
        return Change(Change::Polygons);
    });
}

std::optional<Surface> CurrentSurface(const ModelStore& m) {
    const std::int32_t p = m.CurPoly;
    if (!IsPolygon(m, p)) {
        return std::nullopt;
    }
    return Surface{m.PolyType[p], {m.PolyR[p], m.PolyG[p], m.PolyB[p], m.PolyA[p]}, m.PolyTex[p]};
}

} // namespace zv::edit
