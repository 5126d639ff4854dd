#include "waypoints/WaypointOps.h"

#include "model/Columns.h"
#include "model/Numbers.h"
#include "waypoints/WaypointHistory.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

namespace zv::waypoints {
namespace {

using edit::Change;
using edit::kNoChange;

constexpr Change kTables = Change::Waypoints;
constexpr Change kTablesSelectionCounts = Change::Waypoints | Change::Selection | Change::Counts;

// Links 1 .. 3 are waypoint indices; link 4 is a slot number and stays as it is.
constexpr int kIndexLinks = 3;

constexpr std::string_view kPitLaneTitle = "Add Pitlane Slots";

std::int16_t I16(int v) {
    return static_cast<std::int16_t>(v);
}
std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

int Used(const WaypointTables& t) {
    return std::clamp<int>(t.WpCount, 0, kWaypointCapacity);
}
int UsedSlots(const WaypointTables& t) {
    return std::clamp(t.SlotCount, 0, kSlotCapacity);
}
bool HasCurrent(const WaypointTables& t) {
    return IsWaypoint(t, t.CurWp);
}
WaypointRec& Current(WaypointTables& t) {
    return t.Wp[At(t.CurWp)];
}
bool Selected(const WaypointTables& t, int i) {
    return t.WpSel[At(i)] != 0;
}

void ClearAllSelections(WaypointTables& t) {
    std::fill(t.WpSel.begin(), t.WpSel.end(), std::uint8_t{0});
    t.SlotSel.fill(0);
    t.PitSel.fill(0);
}

// ---- Field access ------------------------------------------------------------------------------

template <class Rec> auto* FloatField(Rec& w, WpField f) {
    using F = decltype(&w.pos[0]);
    switch (f) {
    case WpField::X:
        return &w.pos[0];
    case WpField::Y:
        return &w.pos[1];
    case WpField::Z:
        return &w.pos[2];
    case WpField::Camber:
        return &w.ori[0];
    case WpField::Elevation:
        return &w.ori[1];
    case WpField::Width1:
        return &w.width[0];
    case WpField::Width2:
        return &w.width[1];
    case WpField::Width3:
        return &w.width[2];
    case WpField::Width4:
        return &w.width[3];
    case WpField::Score1:
        return &w.score[0];
    case WpField::Score2:
        return &w.score[1];
    case WpField::Score3:
        return &w.score[2];
    case WpField::Score4:
        return &w.score[3];
    case WpField::Opt1:
        return &w.opt[0];
    case WpField::Opt2:
        return &w.opt[1];
    case WpField::Opt3:
        return &w.opt[2];
    default:
        return F{nullptr};
    }
}

template <class Rec> auto* IntField(Rec& w, WpField f) {
    using I = decltype(&w.key);
    switch (f) {
    case WpField::Prev:
        return &w.ptrs[0];
    case WpField::Next:
        return &w.ptrs[1];
    case WpField::Branch1:
        return &w.ptrs[2];
    case WpField::Branch2:
        return &w.ptrs[3];
    case WpField::Key:
        return &w.key;
    case WpField::Marks:
        return &w.marks;
    case WpField::Events:
        return &w.events;
    default:
        return I{nullptr};
    }
}

template <class Rec> auto* TextField(Rec& w, WpField f) {
    using S = decltype(&w.depth);
    return f == WpField::Depth ? &w.depth : f == WpField::Ins ? &w.ins : S{nullptr};
}

// Field f of a and b hold the same value (floats bit for bit).
bool SameField(const WaypointRec& a, const WaypointRec& b, WpField f) {
    if (const float* v = FloatField(a, f)) {
        return model::SameBits(*v, *FloatField(b, f));
    }
    if (const std::int16_t* v = IntField(a, f)) {
        return *v == *IntField(b, f);
    }
    if (const std::string* v = TextField(a, f)) {
        return *v == *TextField(b, f);
    }
    return true;
}

void CopyField(const WaypointRec& src, WaypointRec& dst, WpField f) {
    if (float* d = FloatField(dst, f)) {
        *d = *FloatField(src, f);
    } else if (std::int16_t* i = IntField(dst, f)) {
        *i = *IntField(src, f);
    } else if (std::string* s = TextField(dst, f)) {
        *s = *TextField(src, f);
    }
}

// Nearest whole number, ties to even, independent of the floating-point rounding mode.
std::optional<std::int16_t> RoundToInt16(double v) {
    if (!std::isfinite(v)) {
        return std::nullopt;
    }
    double r = std::floor(v);
    const double frac = v - r;
    if (frac > 0.5 || (frac == 0.5 && std::fmod(r, 2.0) != 0)) {
        r += 1;
    }
    if (r < std::numeric_limits<std::int16_t>::min() || r > std::numeric_limits<std::int16_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(r);
}

// ---- Removing waypoints ------------------------------------------------------------------------

// Removes the waypoints flagged in gone in one pass, with the outcome of deleting them one by one
// in index order: links above a removed waypoint drop by one, a previous or next link to a
// removed waypoint follows that waypoint's own link on to the first survivor (-1 when the chain
// only runs round removed ones), a branch to it becomes -1. Survivors keep their selection.
void RemoveWaypoints(WaypointTables& t, const std::vector<std::uint8_t>& gone) {
    const int n = Used(t);
    std::vector<int> newIndex(At(n));
    int kept = 0;
    for (int i = 0; i < n; ++i) {
        newIndex[At(i)] = kept;
        kept += gone[At(i)] == 0 ? 1 : 0;
    }
    const int removed = n - kept;
    const auto isGone = [&](int v) { return v >= 0 && v < n && gone[At(v)] != 0; };
    // A link to a survivor, a negative link or one past the table, renumbered.
    const auto renumber = [&](int v) { return v < 0 ? v : v >= n ? v - removed : newIndex[At(v)]; };

    // Where a previous (kind 0) or next (kind 1) link to each removed waypoint ends up.
    constexpr int kUnknown = std::numeric_limits<int>::min();
    constexpr int kVisiting = kUnknown + 1;
    std::vector<int> target[2] = {std::vector<int>(At(n), kUnknown), std::vector<int>(At(n), kUnknown)};
    std::vector<int> path;
    for (int kind = 0; kind < 2; ++kind) {
        std::vector<int>& to = target[kind];
        for (int i = 0; i < n; ++i) {
            if (!isGone(i) || to[At(i)] != kUnknown) {
                continue;
            }
            path.clear();
            int v = i;
            int result = -1;
            for (;;) {
                if (!isGone(v)) {
                    result = renumber(v);
                    break;
                }
                if (to[At(v)] == kVisiting) {
                    break; // a ring of removed waypoints
                }
                if (to[At(v)] != kUnknown) {
                    result = to[At(v)];
                    break;
                }
                to[At(v)] = kVisiting;
                path.push_back(v);
                v = t.Wp[At(v)].ptrs[At(kind)];
            }
            for (int p : path) {
                to[At(p)] = result;
            }
        }
    }

    for (int i = 0; i < n; ++i) {
        if (isGone(i)) {
            continue;
        }
        WaypointRec& w = t.Wp[At(i)];
        for (int kind = 0; kind < 2; ++kind) {
            const int v = w.ptrs[At(kind)];
            w.ptrs[At(kind)] = I16(isGone(v) ? target[kind][At(v)] : renumber(v));
        }
        w.ptrs[2] = I16(isGone(w.ptrs[2]) ? -1 : renumber(w.ptrs[2]));
        const int j = newIndex[At(i)];
        if (j != i) {
            t.Wp[At(j)] = std::move(w);
            t.WpSel[At(j)] = t.WpSel[At(i)];
        }
    }
    std::fill(t.WpSel.begin() + kept, t.WpSel.begin() + n, std::uint8_t{0});
    t.WpCount = I16(kept);
}

void ClampCurrent(WaypointTables& t) {
    t.CurWp = I16(std::clamp<int>(t.CurWp, 0, std::max(Used(t) - 1, 0)));
}

// ---- Nearest polygon centre --------------------------------------------------------------------

// The centres of the polygons whose corners are all vertices, searchable by horizontal distance
// (a 2-d tree over x and z). The answer equals a scan in index order starting from a distance
// of 999999999: the first polygon at the least distance below that.
class CentreIndex {
public:
    explicit CentreIndex(const model::ModelStore& m) {
        const int polys = model::UsedPolygons(m);
        points_.reserve(At(polys));
        for (int p = 0; p < polys; ++p) {
            if (model::CornerCount(m, p) == 0 || !model::CornersAreVertices(m, p)) {
                continue;
            }
            const Point c = Centre(m, p);
            if (std::isfinite(c.X) && std::isfinite(c.Z)) { // others are never nearer than the start
                points_.push_back(c);
            }
        }
        Build(0, static_cast<int>(points_.size()), 0);
    }
    bool Empty() const { return points_.empty(); }

    struct Hit {
        int Poly = -1;
        float Y = 0;
    };
    // The nearest centre to (x, z); Poly -1 when none is nearer than the start distance.
    Hit Nearest(float x, float z) const {
        Best best;
        Search(0, static_cast<int>(points_.size()), 0, x, z, best);
        return best.Poly < 0 ? Hit{} : Hit{best.Poly, best.Y};
    }

private:
    struct Point {
        float X, Y, Z;
        int Poly;
    };
    struct Best {
        double Dist = 999999999;
        int Poly = -1;
        float Y = 0;
    };

    static Point Centre(const model::ModelStore& m, int p) {
        model::VertRec lo = m.Vert[m.PolyVert(p, 0)];
        model::VertRec hi = lo;
        const int corners = model::CornerCount(m, p);
        for (int k = 1; k < corners; ++k) {
            const model::VertRec& v = m.Vert[m.PolyVert(p, k)];
            lo = {std::min(lo.X, v.X), std::min(lo.Y, v.Y), std::min(lo.Z, v.Z)};
            hi = {std::max(hi.X, v.X), std::max(hi.Y, v.Y), std::max(hi.Z, v.Z)};
        }
        const auto mid = [](float a, float b) { return static_cast<float>((double{a} + double{b}) * 0.5); };
        return {mid(lo.X, hi.X), mid(lo.Y, hi.Y), mid(lo.Z, hi.Z), p};
    }
    static float Coord(const Point& p, int axis) { return axis == 0 ? p.X : p.Z; }

    // Median split on x, then z, alternating; the node of [lo, hi) is its middle element.
    void Build(int lo, int hi, int axis) {
        if (hi - lo < 2) {
            return;
        }
        const int mid = lo + (hi - lo) / 2;
        std::nth_element(points_.begin() + lo, points_.begin() + mid, points_.begin() + hi,
                         [axis](const Point& a, const Point& b) { return Coord(a, axis) < Coord(b, axis); });
        Build(lo, mid, 1 - axis);
        Build(mid + 1, hi, 1 - axis);
    }

    void Search(int lo, int hi, int axis, float x, float z, Best& best) const {
        if (lo >= hi) {
            return;
        }
        const int mid = lo + (hi - lo) / 2;
        const Point& p = points_[At(mid)];
        const double dx = double{p.X} - double{x};
        const double dz = double{p.Z} - double{z};
        const double dist = std::sqrt(dx * dx + dz * dz);
        if (dist < best.Dist || (dist == best.Dist && best.Poly >= 0 && p.Poly < best.Poly)) {
            best = {dist, p.Poly, p.Y};
        }
        const double gap = axis == 0 ? dx : dz; // split minus query
        const bool queryBelow = gap > 0;
        Search(queryBelow ? lo : mid + 1, queryBelow ? mid : hi, 1 - axis, x, z, best);
        // The margin keeps ties and rounding of the distances on the safe side.
        if (!(std::abs(gap) > best.Dist * (1 + 1e-9))) {
            Search(queryBelow ? mid + 1 : lo, queryBelow ? hi : mid, 1 - axis, x, z, best);
        }
    }

    std::vector<Point> points_;
};

std::string UpperAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return s;
}

// The first part (1 .. number of parts) listing each polygon; 0 for none.
std::vector<int> PartOfPolygons(const model::ModelStore& m) {
    const int polys = model::UsedPolygons(m);
    std::vector<int> part(At(polys), 0);
    const int parts = std::min(m.PartCount(), model::kMaxParts);
    for (int g = parts; g >= 1; --g) { // lower parts overwrite: the first one wins
        const int members = std::clamp(m.GroupSize[g], 0, model::kMaxPartMembers);
        for (int i = 1; i <= members; ++i) {
            const std::int32_t p = m.GroupPoly(g, i);
            if (p >= 0 && p < polys) {
                part[At(p)] = g;
            }
        }
    }
    return part;
}

// Leading blanks skipped, then the longest number at the start of the text; 0 when there is none.
double LeadingNumber(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc{} ? v : 0;
}

} // namespace

// ---- Cursor and selection --------------------------------------------------------------------

Change NextWaypoint(WaypointTables& t) {
    const int n = Used(t);
    if (n == 0) {
        return kNoChange;
    }
    const int next = t.CurWp + 1;
    t.CurWp = I16(next >= n || next < 0 ? 0 : next);
    return Change::Selection;
}

Change PreviousWaypoint(WaypointTables& t) {
    const int n = Used(t);
    if (n == 0) {
        return kNoChange;
    }
    const int prev = t.CurWp - 1;
    t.CurWp = I16(prev < 0 || prev >= n ? n - 1 : prev);
    return Change::Selection;
}

Change SetCurrentWaypoint(WaypointTables& t, int i) {
    if (!IsWaypoint(t, i) || i == t.CurWp) {
        return kNoChange;
    }
    t.CurWp = I16(i);
    return Change::Selection;
}

Change ToggleCurrentSelection(WaypointTables& t) {
    if (!HasCurrent(t)) {
        return kNoChange;
    }
    std::uint8_t& sel = t.WpSel[At(t.CurWp)];
    sel = sel != 0 ? 0 : 1;
    return Change::Selection;
}

Change DeselectAllWaypoints(WaypointTables& t) {
    const auto any = [](const auto& flags) {
        return std::any_of(flags.begin(), flags.end(), [](std::uint8_t f) { return f != 0; });
    };
    if (!any(t.WpSel) && !any(t.SlotSel) && !any(t.PitSel)) {
        return kNoChange;
    }
    ClearAllSelections(t);
    return Change::Selection;
}

Change SelectSameCheckpoint(WaypointTables& t, float v) {
    bool changed = false;
    for (int i = 0; i < Used(t); ++i) {
        if (t.Wp[At(i)].score[0] == v && !Selected(t, i)) {
            t.WpSel[At(i)] = 1;
            changed = true;
        }
    }
    return changed ? Change::Selection : kNoChange;
}

// ---- Editing ---------------------------------------------------------------------------------

Change InsertWaypoint(WaypointTables& t, edit::Recorder& rec) {
    const int n = Used(t);
    if (n >= kWaypointCapacity || !HasCurrent(t)) {
        return kNoChange;
    }
    RecordWaypoints(rec, t);
    const int cur = t.CurWp;
    for (int i = 0; i < n; ++i) {
        for (int k = 0; k < kIndexLinks; ++k) {
            std::int16_t& link = t.Wp[At(i)].ptrs[At(k)];
            if (link > cur && link < std::numeric_limits<std::int16_t>::max()) {
                ++link;
            }
        }
    }
    for (int i = n - 1; i > cur; --i) {
        t.Wp[At(i + 1)] = std::move(t.Wp[At(i)]);
    }
    WaypointRec& here = t.Wp[At(cur)];
    WaypointRec& copy = t.Wp[At(cur + 1)];
    copy = here;
    const int oldNext = here.ptrs[1];
    copy.ptrs[0] = I16(cur);
    here.ptrs[1] = I16(cur + 1);
    t.WpCount = I16(n + 1);
    if (IsWaypoint(t, oldNext) && t.Wp[At(oldNext)].ptrs[0] == cur) {
        t.Wp[At(oldNext)].ptrs[0] = I16(cur + 1);
    }
    ClearAllSelections(t);
    t.CurWp = I16(cur + 1);
    t.WpSel[At(cur + 1)] = 1;
    return kTablesSelectionCounts;
}

Change DeleteCurrentWaypoint(WaypointTables& t, edit::Recorder& rec) {
    if (!HasCurrent(t)) {
        return kNoChange;
    }
    RecordWaypoints(rec, t);
    const int cur = t.CurWp;
    const bool last = cur == Used(t) - 1;
    std::vector<std::uint8_t> gone(At(Used(t)), 0);
    gone[At(cur)] = 1;
    RemoveWaypoints(t, gone);
    t.CurWp = I16(last ? cur - 1 : cur);
    ClampCurrent(t);
    return kTablesSelectionCounts;
}

Change DeleteSelectedWaypoints(WaypointTables& t, edit::Recorder& rec) {
    const int n = Used(t);
    std::vector<std::uint8_t> gone(t.WpSel.begin(), t.WpSel.begin() + n);
    if (std::none_of(gone.begin(), gone.end(), [](std::uint8_t f) { return f != 0; })) {
        return kNoChange;
    }
    RecordWaypoints(rec, t);
    RemoveWaypoints(t, gone);
    ClampCurrent(t);
    return kTablesSelectionCounts;
}

Change ReverseWaypoints(WaypointTables& t, edit::Recorder& rec) {
    const int cur = t.CurWp;
    if (Used(t) < 2 || cur <= 0 || !HasCurrent(t)) {
        return kNoChange;
    }
    RecordWaypoints(rec, t);
    std::reverse(t.Wp.begin(), t.Wp.begin() + cur + 1);
    for (int k = 0; k <= cur; ++k) {
        WaypointRec& w = t.Wp[At(k)];
        std::swap(w.width[0], w.width[1]);
        std::swap(w.width[2], w.width[3]);
        w.ptrs[0] = I16(k == 0 ? cur : k - 1);
        w.ptrs[1] = I16(k == cur ? 0 : k + 1);
    }
    return kTables;
}

Change MakeStraight(model::UserInterface& ui, WaypointTables& t, edit::Recorder& rec) {
    const int n = Used(t);
    int a = -1;
    int b = -1;
    for (int i = 0; i < n; ++i) {
        if (Selected(t, i)) {
            a = a < 0 ? i : a;
            b = i;
        }
    }
    if (a < 0) {
        ui.ShowMessage("Info:", "No waypoints selected !", model::MessageIcon::Information,
                       model::MessageButtons::Ok);
        return kNoChange;
    }
    if (b - a < 2) {
        return kNoChange; // nothing lies between them
    }
    RecordWaypoints(rec, t);
    const float steps = static_cast<float>(b - a);
    std::array<float, 3> step{};
    for (std::size_t c = 0; c < 3; ++c) {
        step[c] = (t.Wp[At(b)].pos[c] - t.Wp[At(a)].pos[c]) / steps;
    }
    for (int i = a + 1; i < b; ++i) {
        for (std::size_t c = 0; c < 3; ++c) {
            t.Wp[At(i)].pos[c] = t.Wp[At(i - 1)].pos[c] + step[c];
        }
    }
    return kTables;
}

Change AdjustHeight(const model::ModelStore& m, WaypointTables& t, edit::Recorder& rec) {
    if (model::UsedPolygons(m) == 0) {
        return kNoChange;
    }
    const int n = Used(t);
    const int slots = UsedSlots(t);
    const bool anySelected =
        std::any_of(t.WpSel.begin(), t.WpSel.begin() + n, [](auto f) { return f != 0; }) ||
        std::any_of(t.SlotSel.begin(), t.SlotSel.begin() + slots, [](auto f) { return f != 0; }) ||
        std::any_of(t.PitSel.begin(), t.PitSel.begin() + slots, [](auto f) { return f != 0; });
    if (!anySelected) {
        return kNoChange;
    }
    const CentreIndex centres(m);
    if (centres.Empty()) {
        return kNoChange;
    }

    // Find every new height first, so that a run that moves nothing records nothing.
    struct Write {
        float* Target;
        float Value;
    };
    std::vector<Write> writes;
    const auto put = [&](float& target, float value) {
        if (!model::SameBits(target, value)) {
            writes.push_back({&target, value});
        }
    };
    for (int i = 0; i < n; ++i) {
        if (Selected(t, i)) {
            WaypointRec& w = t.Wp[At(i)];
            const CentreIndex::Hit hit = centres.Nearest(w.pos[0], w.pos[2]);
            if (hit.Poly >= 0) {
                put(w.pos[1], hit.Y);
            }
        }
    }
    // Slot vectors are stored negated; the heights are stored as given.
    const auto onSurface = [&](std::array<float, 3>& v, float lift) {
        const CentreIndex::Hit hit = centres.Nearest(-v[0], -v[2]);
        if (hit.Poly >= 0) {
            put(v[1], lift - hit.Y);
        }
    };
    for (int s = 0; s < slots; ++s) {
        if (t.SlotSel[At(s)] != 0) {
            onSurface(t.Slots[At(s)].AVPos, 0.5f);
        }
        if (t.PitSel[At(s)] != 0) {
            onSurface(t.Slots[At(s)].AVPitPos, 0.6f);
        }
    }
    if (writes.empty()) {
        return kNoChange;
    }
    RecordWaypoints(rec, t);
    for (const Write& w : writes) {
        *w.Target = w.Value;
    }
    return kTables;
}

Change CalcTrackParts(const model::ModelStore& m, WaypointTables& t, edit::Recorder& rec) {
    const int n = Used(t);
    if (model::UsedPolygons(m) == 0 || n == 0) {
        return kNoChange;
    }
    const CentreIndex centres(m);
    const std::vector<int> partOf = PartOfPolygons(m);
    std::vector<std::string> names(At(std::min(m.PartCount(), model::kMaxParts) + 1));
    for (std::size_t g = 1; g < names.size(); ++g) {
        names[g] = UpperAscii(m.GroupName[static_cast<int>(g)]);
    }
    std::vector<std::pair<int, int>> changes; // waypoint, part
    for (int i = 0; i < n; ++i) {
        const WaypointRec& w = t.Wp[At(i)];
        const CentreIndex::Hit hit = centres.Nearest(w.pos[0], w.pos[2]);
        const int g = hit.Poly >= 0 ? partOf[At(hit.Poly)] : 0;
        if (g > 0 && w.ins != names[At(g)]) {
            changes.emplace_back(i, g);
        }
    }
    if (changes.empty()) {
        return kNoChange;
    }
    RecordWaypoints(rec, t);
    for (const auto& [i, g] : changes) {
        t.Wp[At(i)].ins = names[At(g)];
    }
    return kTables;
}

// ---- Pit lane --------------------------------------------------------------------------------

std::optional<PitLane> AskPitLane(model::UserInterface& ui) {
    const std::optional<std::string> length = ui.InputBox("Enter Pitlane length", kPitLaneTitle, "240");
    if (!length || length->empty()) {
        return std::nullopt;
    }
    const std::optional<std::string> slots = ui.InputBox("Enter number of Slots", kPitLaneTitle, "24");
    if (!slots || slots->empty()) {
        return std::nullopt;
    }
    return ClampPitLane(LeadingNumber(*length), LeadingNumber(*slots));
}

PitLane ClampPitLane(double length, double slots) {
    PitLane p;
    p.Length = !(length >= 16) ? 240.0f : length >= 2000 ? 2000.0f : static_cast<float>(length);
    const double s = std::isnan(slots) ? 0 : std::clamp(slots, -1.0, 100.0);
    p.Slots = std::clamp<int>(RoundToInt16(s).value_or(0), 2, 32);
    return p;
}

Change AddPitLane(model::UserInterface& ui, WaypointTables& t, edit::Recorder& rec, const PitLane& p) {
    const int c = Used(t);
    const int s = p.Slots;
    const auto refuse = [&](const std::string& text) {
        ui.ShowMessage(kPitLaneTitle, text, model::MessageIcon::Warning, model::MessageButtons::Ok);
        return kNoChange;
    };
    if (c < 2) {
        return refuse("A pit lane needs at least 2 waypoints.");
    }
    if (s < 1 || s > kSlotCapacity) {
        return refuse("A pit lane has 1 to " + std::to_string(kSlotCapacity) + " slots.");
    }
    if (c + 4 * s > kWaypointCapacity) {
        return refuse("No room for " + std::to_string(4 * s) + " more waypoints (at most " +
                      std::to_string(kWaypointCapacity) + ").");
    }
    RecordWaypoints(rec, t);
    std::fill(t.WpSel.begin(), t.WpSel.end(), std::uint8_t{0});
    t.PitSel.fill(0);

    const double d = double{p.Length} / s;
    const double q = d / 4;
    const int last = c - 1;
    const WaypointRec& l = t.Wp[At(last)];
    const double x0 = double{l.pos[0]} - 6;
    const float y0 = l.pos[1];
    const double z0 = l.pos[2];
    t.Wp[At(last)].ptrs[1] = I16(c);
    t.Wp[At(last - 1)].ptrs[2] = I16(c + 3);
    t.Wp[At(last - 1)].ptrs[3] = I16(s - 1);

    const int end = c + 4 * s; // one past the last new waypoint
    const auto append = [&](double x, double z, int prev, int next, int branch, int slot) {
        const int i = t.WpCount;
        WaypointRec& w = t.Wp[At(i)];
        w = WaypointRec{};
        w.pos = {static_cast<float>(x), y0, static_cast<float>(z)};
        const auto link = [end](int v) { return I16(v >= end ? -1 : v); };
        w.ptrs = {link(prev), link(next), link(branch), I16(slot)};
        t.WpSel[At(i)] = 1;
        t.WpCount = I16(i + 1);
    };
    for (int k = 0; k < s; ++k) {
        const double kd = k * d;
        const int a = t.WpCount;
        append(x0 - kd, z0, a - 2, a + 1, -1, kNoPitSlot);
        append(x0 - (kd + q), z0, a, a + 2, -1, kNoPitSlot);
        append(x0 - (kd + 2 * q), z0, a + 1, a + 4, a + 7, s - k - 2);
        append(x0 - (kd + 3 * q), z0 + 4, a - 2, a + 8, -1, kNoPitSlot);
        SlotRec& slot = t.Slots[At(s - k - 1)];
        slot.AVPitPos = {static_cast<float>(kd + 3 * q + 2 - x0), 0, static_cast<float>(-4 - z0)};
        t.PitSel[At(s - k - 1)] = 1;
    }
    t.Wp[At(c)].ptrs[0] = I16(last);
    for (int k = 0; k < s; ++k) {
        SlotRec& slot = t.Slots[At(s - k - 1)];
        const double half = k / 2.0;
        slot.AVPos = k % 2 == 0 ? std::array<float, 3>{static_cast<float>(half * d + 3 * q + 1 - x0), 0,
                                                       static_cast<float>(20 - z0)}
                                : std::array<float, 3>{static_cast<float>(half * d + 3 * q - x0), 0,
                                                       static_cast<float>(16 - z0)};
        t.SlotSel[At(s - k - 1)] = 1;
    }
    t.SlotCount = s;
    return kTablesSelectionCounts;
}

// ---- Moving ------------------------------------------------------------------------------------

Change TranslateWaypoints(WaypointTables& t, const WaypointDisplay& d, edit::Recorder& rec, float dx,
                          float dy, float dz) {
    if (dx == 0 && dy == 0 && dz == 0) {
        return kNoChange;
    }
    const int n = Used(t);
    const int slots = UsedSlots(t);
    bool recorded = false;
    const auto record = [&] {
        if (!recorded) {
            RecordWaypoints(rec, t);
            recorded = true;
        }
    };
    const auto move = [](std::array<float, 3>& v, float sign, float x, float y, float z) {
        v[0] += sign * x;
        v[1] += sign * y;
        v[2] += sign * z;
    };
    if (d.ShowWaypoints) {
        for (int i = 0; i < n; ++i) {
            if (Selected(t, i)) {
                record();
                move(t.Wp[At(i)].pos, 1, dx, dy, dz);
            }
        }
    }
    if (d.ShowSlots) {
        for (int s = 0; s < slots; ++s) {
            if (t.SlotSel[At(s)] != 0) {
                record();
                move(t.Slots[At(s)].AVPos, -1, dx, dy, dz);
            }
            if (t.PitSel[At(s)] != 0) {
                record();
                move(t.Slots[At(s)].AVPitPos, -1, dx, dy, dz);
            }
        }
    }
    return recorded ? kTables : kNoChange;
}

Change ScaleWaypoints(WaypointTables& t, const WaypointDisplay& d, edit::Recorder& rec, int axis,
                      float factor) {
    if (!d.ShowWaypoints || axis < 0 || axis > 2 || factor == 1) {
        return kNoChange;
    }
    bool recorded = false;
    for (int i = 0; i < Used(t); ++i) {
        if (Selected(t, i)) {
            if (!recorded) {
                RecordWaypoints(rec, t);
                recorded = true;
            }
            t.Wp[At(i)].pos[At(axis)] *= factor;
        }
    }
    return recorded ? kTables : kNoChange;
}

// ---- The waypoint window's fields ----------------------------------------------------------------

bool IsTextField(WpField f) {
    return f == WpField::Depth || f == WpField::Ins;
}

bool IsIntegerField(WpField f) {
    static const WaypointRec probe;
    return IntField(probe, f) != nullptr;
}

double FieldValue(const WaypointRec& w, WpField f) {
    if (const float* v = FloatField(w, f)) {
        return *v;
    }
    if (const std::int16_t* v = IntField(w, f)) {
        return *v;
    }
    return 0;
}

Change SetCurrentField(WaypointTables& t, edit::Recorder& rec, WpField f, double value) {
    if (!HasCurrent(t)) {
        return kNoChange;
    }
    WaypointRec& w = Current(t);
    if (float* target = FloatField(w, f)) {
        const float v = static_cast<float>(value);
        if (model::SameBits(*target, v)) {
            return kNoChange;
        }
        RecordWaypoints(rec, t);
        *target = v;
        return kTables;
    }
    if (std::int16_t* target = IntField(w, f)) {
        const std::optional<std::int16_t> v = RoundToInt16(value);
        if (!v || *v == *target) {
            return kNoChange;
        }
        RecordWaypoints(rec, t);
        *target = *v;
        return kTables;
    }
    return kNoChange;
}

Change SetCurrentText(WaypointTables& t, edit::Recorder& rec, WpField f, const std::string& text) {
    if (!HasCurrent(t)) {
        return kNoChange;
    }
    std::string* target = TextField(Current(t), f);
    if (target == nullptr || *target == text) {
        return kNoChange;
    }
    RecordWaypoints(rec, t);
    *target = text;
    return kTables;
}

Change SetWidthFromDistance(WaypointTables& t, edit::Recorder& rec, int which, float dist) {
    if (which < 0 || which > 3) {
        return kNoChange;
    }
    return SetCurrentField(t, rec, static_cast<WpField>(static_cast<int>(WpField::Width1) + which), dist);
}

Change FillSelected(WaypointTables& t, edit::Recorder& rec, WpField f) {
    if (!HasCurrent(t)) {
        return kNoChange;
    }
    const WaypointRec source = Current(t);
    bool recorded = false;
    for (int i = 0; i < Used(t); ++i) {
        if (!Selected(t, i) || SameField(source, t.Wp[At(i)], f)) {
            continue;
        }
        if (!recorded) {
            RecordWaypoints(rec, t);
            recorded = true;
        }
        CopyField(source, t.Wp[At(i)], f);
    }
    return recorded ? kTables : kNoChange;
}

Change MirrorWaypoints(WaypointTables& t, edit::Recorder& rec, int axis) {
    if (Used(t) < 1 || axis < 0 || axis > 2) {
        return kNoChange;
    }
    RecordWaypoints(rec, t);
    for (int i = 0; i < Used(t); ++i) {
        float& v = t.Wp[At(i)].pos[At(axis)];
        v = -v;
    }
    return kTables;
}

namespace {
// opt value `which` of every selected waypoint becomes value(waypoint); records only real changes.
template <class F> Change SetSelectedOpt(WaypointTables& t, edit::Recorder& rec, std::size_t which, F value) {
    bool recorded = false;
    for (int i = 0; i < Used(t); ++i) {
        if (!Selected(t, i)) {
            continue;
        }
        WaypointRec& w = t.Wp[At(i)];
        const float v = value(w);
        if (model::SameBits(w.opt[which], v)) {
            continue;
        }
        if (!recorded) {
            RecordWaypoints(rec, t);
            recorded = true;
        }
        w.opt[which] = v;
    }
    return recorded ? kTables : kNoChange;
}
} // namespace

Change CopyToLateralStep(WaypointTables& t, edit::Recorder& rec) {
    return SetSelectedOpt(t, rec, 1, [](const WaypointRec& w) { return 1.5f - w.width[0]; });
}

Change CalcCorridorWidth(WaypointTables& t, edit::Recorder& rec) {
    return SetSelectedOpt(
        t, rec, 2, [](const WaypointRec& w) { return (std::abs(w.width[0]) + std::abs(w.width[1])) / 32; });
}

// ---- Measures ----------------------------------------------------------------------------------

float CalcDistance(const WaypointTables& t, int a, int b) {
    if (!IsWaypoint(t, a) || !IsWaypoint(t, b)) {
        return 0;
    }
    const WaypointRec& wa = t.Wp[At(a)];
    const WaypointRec& wb = t.Wp[At(b)];
    double sum = 0;
    for (std::size_t c = 0; c < 3; ++c) {
        const double d = double{wa.pos[c]} - double{wb.pos[c]};
        sum += d * d;
    }
    return static_cast<float>(std::sqrt(sum));
}

} // namespace zv::waypoints
