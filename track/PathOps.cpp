#include "track/PathOps.h"

#include "model/FileReplace.h"
#include "model/TextFile.h"
#include "render/CursorReadout.h"
#include "waypoints/AiwNumbers.h"
#include "waypoints/WaypointHistory.h"

#include <algorithm>
#include <cmath>

namespace zv::track {
namespace {

using edit::Change;
using edit::kNoChange;

constexpr std::string_view kOpenTitle = "Open ZV Path-File";
constexpr std::string_view kBuilderTitle = "Track Builder";
constexpr double kDegToRad = 0.017453292;

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

std::string CapacityText() {
    return "The path holds at most " + std::to_string(kPathCapacity) + " points.";
}

void ShowCapacity(model::UserInterface& ui, std::string_view title) {
    ui.ShowMessage(title, CapacityText(), model::MessageIcon::Warning, model::MessageButtons::Ok);
}

float Distance(const Vec3& a, const Vec3& b) {
    const float dx = a[0] - b[0];
    const float dy = a[1] - b[1];
    const float dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The heading of the segment from `from` to `to` (the rule takes previous minus current).
float SegmentHeading(const Vec3& from, const Vec3& to) {
    return HeadingDeg(from[0] - to[0], from[2] - to[2]);
}

void PushPoint(PathTable& p, const Vec3& pt, float segLen, float heading, float camber) {
    p.Pts.push_back(pt);
    p.SegLen.push_back(segLen);
    p.Heading.push_back(heading);
    p.Camber.push_back(camber);
}

// A point read from a file: its segment from the point before it, camber 0.
void PushMeasured(PathTable& p, const Vec3& pt) {
    const bool first = p.Pts.empty();
    const float seg = first ? 0.0f : Distance(p.Pts.back(), pt);
    const float heading = first ? 0.0f : SegmentHeading(p.Pts.back(), pt);
    PushPoint(p, pt, seg, heading, 0.0f);
}

// Segment length and heading of point i (i >= 1) from the points.
void Remeasure(PathTable& p, int i) {
    p.SegLen[At(i)] = Distance(p.Pts[At(i - 1)], p.Pts[At(i)]);
    p.Heading[At(i)] = SegmentHeading(p.Pts[At(i - 1)], p.Pts[At(i)]);
}

int UsedWaypoints(const waypoints::WaypointTables& t) {
    return std::clamp<int>(t.WpCount, 0, waypoints::kWaypointCapacity);
}

waypoints::WaypointRec DefaultWaypoint(const Vec3& pos, float heading, int i, int count) {
    waypoints::WaypointRec w;
    w.pos = pos;
    w.ori = {0.0f, static_cast<float>(static_cast<double>(heading) * kDegToRad)};
    w.width = {12, 12, 20, 20};
    w.score = {-1, 0, 0, 0};
    w.opt = {0, 0, 0.5f};
    w.depth = "8080808000000000"
              "FFFFFFFFFFFFFFFF"
              "FFFFFFFFFFFFFFFF"
              "0000000080808080";
    w.ins = "TRAK";
    w.ptrs = {static_cast<std::int16_t>(i == 0 ? count - 1 : i - 1),
              static_cast<std::int16_t>(i == count - 1 ? 0 : i + 1), -1, waypoints::kNoPitSlot};
    return w;
}

// Moves waypoints First .. First + Span onto the curve (those in use).
void ApplyCurve(const BezierState& b, waypoints::WaypointTables& t) {
    const float n = static_cast<float>(b.Span);
    for (int k = 0; k <= b.Span && waypoints::IsWaypoint(t, b.First + k); ++k) {
        const float s = static_cast<float>(k) / n;
        const float r = 1.0f - s;
        const float w0 = r * r * r;
        const float w1 = 3.0f * s * r * r;
        const float w2 = 3.0f * s * s * r;
        const float w3 = s * s * s;
        Vec3 c{};
        for (std::size_t a = 0; a < 3; ++a) {
            c[a] = w0 * b.CP[0][a] + w1 * b.CP[1][a] + w2 * b.CP[2][a] + w3 * b.CP[3][a];
        }
        auto& pos = t.Wp[At(b.First + k)].pos;
        if (b.YOnly) {
            pos[1] = c[1];
        } else {
            pos[0] = c[0];
            pos[2] = c[2];
        }
    }
}

bool CanApply(const BezierState& b, const waypoints::WaypointTables& t) {
    return b.Mode && b.Span > 0 && waypoints::IsWaypoint(t, b.First);
}

} // namespace

float HeadingDeg(float dx, float dz) {
    if (dx > 0 || dx < 0) { // a NaN takes the vertical case
        const double a = std::atan(static_cast<double>(dz) / static_cast<double>(dx)) * 57.2957795;
        return static_cast<float>((dx > 0 ? 90.0 : 270.0) - a);
    }
    return dz < 0 ? 180.0f : 0.0f;
}

// ---- Files ----------------------------------------------------------------------------------

PathReadResult ParsePathFile(std::string_view text, PathTable& p) {
    PathReadResult result;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = text.find_first_of("\r\n", i);
        end = end == std::string_view::npos ? text.size() : end;
        const std::string_view line = text.substr(i, end - i);
        if (line.starts_with("PointPos=")) { // within the first 9 characters: at the start
            if (p.Count() >= kPathCapacity) {
                result.Ok = false;
                result.Reason = CapacityText();
                return result;
            }
            PushMeasured(p, waypoints::ParseTripleOrZero(line));
            ++result.Added;
        }
        i = end;
        if (i < text.size()) {
            i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
        }
    }
    return result;
}

edit::Change OpenPath(model::UserInterface& ui, edit::Recorder& rec, PathTable& p, const std::string& path) {
    const model::BusyPointer busy(ui);
    const std::optional<std::string> text = model::ReadWholeFile(path);
    if (!text) {
        ui.ShowMessage(kOpenTitle, "Can't read Path File", model::MessageIcon::Warning,
                       model::MessageButtons::Ok);
        return kNoChange;
    }
    RecordPath(rec, p);
    const PathReadResult r = ParsePathFile(*text, p);
    if (!r.Ok) {
        ui.ShowMessage(kOpenTitle, r.Reason + " The rest of the file was not read.",
                       model::MessageIcon::Warning, model::MessageButtons::Ok);
    }
    return r.Added > 0 ? Change{Change::Path} : kNoChange;
}

std::string MergedText(const PathTable& p) {
    return std::to_string(p.Count()) + " Pathpoints merged";
}

std::string SerializePath(const PathTable& p) {
    std::string out;
    out.reserve(32 + p.Pts.size() * 40);
    out += "number_points=";
    out += std::to_string(p.Count());
    out += "\r\n";
    for (const Vec3& v : p.Pts) {
        out += "PointPos=(";
        waypoints::AppendDecimals(out, v[0], 4);
        out += ',';
        waypoints::AppendDecimals(out, v[1], 4);
        out += ',';
        waypoints::AppendDecimals(out, v[2], 4);
        out += ")\r\n";
    }
    return out;
}

bool WritePath(model::UserInterface& ui, const PathTable& p, const std::string& path) {
    const model::BusyPointer busy(ui);
    if (model::ReplaceFile(path, SerializePath(p))) {
        ui.ShowMessage("Save Error", "Can't save Path File", model::MessageIcon::Warning,
                       model::MessageButtons::Ok);
        return false;
    }
    return true;
}

// ---- Conversions ----------------------------------------------------------------------------

edit::Change PathFromWaypoints(const waypoints::WaypointTables& t, PathTable& p, edit::Recorder& rec) {
    const int last = std::min<int>(t.CurWp, UsedWaypoints(t) - 1);
    if (last <= 0) {
        return kNoChange;
    }
    RecordPath(rec, p);
    const std::size_t n = At(last + 1);
    // Entry 0 of the segment columns keeps what it held (it describes no segment).
    p.Pts.resize(n);
    p.SegLen.resize(n);
    p.Heading.resize(n);
    p.Camber.resize(n);
    for (int i = 0; i <= last; ++i) {
        p.Pts[At(i)] = t.Wp[At(i)].pos;
        p.Camber[At(i)] = t.Wp[At(i)].ori[0];
    }
    for (int i = 1; i <= last; ++i) {
        Remeasure(p, i);
    }
    p.EndIndex = std::min(p.EndIndex, last);
    return Change::Path;
}

edit::Change WaypointsFromPath(model::UserInterface& ui, PathTable& p, waypoints::WaypointTables& t,
                               edit::Recorder& rec) {
    const int n = p.Count();
    if (n == 0) {
        return kNoChange;
    }
    if (n > waypoints::kWaypointCapacity) {
        ui.ShowMessage("Get from Path",
                       "The path has " + std::to_string(n) + " points; an AI line holds at most " +
                           std::to_string(waypoints::kWaypointCapacity) + " waypoints.",
                       model::MessageIcon::Warning, model::MessageButtons::Ok);
        return kNoChange;
    }
    RecordPath(rec, p);
    waypoints::RecordWaypoints(rec, t);
    for (int i = 1; i < n; ++i) {
        Remeasure(p, i);
    }
    for (int i = 0; i < n; ++i) {
        t.Wp[At(i)] = DefaultWaypoint(p.Pts[At(i)], p.Heading[At(i)], i, n);
    }
    t.WpCount = static_cast<std::int16_t>(n);
    t.CurWp = 0;
    std::fill(t.WpSel.begin(), t.WpSel.end(), std::uint8_t{0});
    return Change{Change::Path | Change::Waypoints | Change::Selection | Change::Counts};
}

// ---- Drawing the path ---------------------------------------------------------------------

edit::Change NewPath(PathTable& p, edit::Recorder& rec, float x, float z) {
    RecordPath(rec, p);
    const Vec3 start{x, 0.0f, z};
    p.Pts.assign(1, start);
    p.SegLen.assign(1, 0.0f);
    p.Heading.assign(1, 0.0f);
    p.Camber.assign(1, 0.0f);
    p.PathEnd = start;
    p.EndIndex = 0;
    p.PathLength = 0;
    return Change::Path;
}

edit::Change AppendPathPoint(model::UserInterface& ui, PathTable& p, edit::Recorder& rec, float x, float z) {
    if (p.Pts.empty()) {
        return kNoChange;
    }
    if (p.Count() >= kPathCapacity) {
        ShowCapacity(ui, kBuilderTitle);
        return kNoChange;
    }
    RecordPath(rec, p);
    const Vec3 from{p.PathEnd[0], 0.0f, p.PathEnd[2]};
    const Vec3 to{x, 0.0f, z};
    const float d = DistanceFromEnd(p, x, z);
    PushPoint(p, to, d, SegmentHeading(from, to), 0.0f);
    p.PathLength += d;
    p.PathEnd = to;
    p.EndIndex = p.Count() - 1;
    return Change::Path;
}

edit::Change ExtendPath(model::UserInterface& ui, PathTable& p, edit::Recorder& rec, float mx, float mz,
                        float pieceLength) {
    if (!(pieceLength > 0) || !std::isfinite(pieceLength) || p.Pts.empty()) {
        return kNoChange;
    }
    const float d = DistanceFromEnd(p, mx, mz);
    if (!(pieceLength <= d)) {
        return kNoChange; // not one piece fits yet
    }
    const double fits = std::floor(static_cast<double>(d) / static_cast<double>(pieceLength));
    const double wanted = fits < 2 ? 1 : fits - 1;
    const int room = kPathCapacity - p.Count();
    if (room <= 0) {
        ShowCapacity(ui, kBuilderTitle);
        return kNoChange;
    }
    const int pieces = wanted > room ? room : static_cast<int>(wanted);
    RecordPath(rec, p);
    const double h = HeadingDeg(p.PathEnd[0] - mx, p.PathEnd[2] - mz) * kDegToRad;
    const float stepX = pieceLength * static_cast<float>(-std::sin(h));
    const float stepZ = pieceLength * static_cast<float>(-std::cos(h));
    Vec3 from{p.PathEnd[0], 0.0f, p.PathEnd[2]};
    for (int k = 0; k < pieces; ++k) {
        const Vec3 to{from[0] + stepX, 0.0f, from[2] + stepZ};
        PushPoint(p, to, pieceLength, SegmentHeading(from, to), 0.0f);
        p.PathLength += pieceLength;
        from = to;
    }
    p.PathEnd = from;
    p.EndIndex = p.Count() - 1;
    if (wanted > room) {
        ShowCapacity(ui, kBuilderTitle);
    }
    return Change::Path;
}

float DistanceFromEnd(const PathTable& p, float mx, float mz) {
    const float dx = p.PathEnd[0] - mx;
    const float dz = p.PathEnd[2] - mz;
    return std::sqrt(dx * dx + dz * dz);
}

std::string BuilderStatus(const PathTable& p) {
    return "Points: " + std::to_string(p.Count()) +
           "      Length: " + render::FormatGeneral(p.PathLength, 2) + " meters";
}

// ---- Bezier reshaping ------------------------------------------------------------------------

edit::Change StartBezier(PathTable& p, waypoints::WaypointTables& t, edit::Recorder& rec) {
    int a = -1;
    int b = -1;
    int selected = 0;
    for (int i = 0; i < UsedWaypoints(t); ++i) {
        if (t.WpSel[At(i)] != 0) {
            a = a < 0 ? i : a;
            b = i;
            ++selected;
        }
    }
    if (selected < 5) {
        if (!p.Bezier.Mode) {
            return kNoChange;
        }
        RecordPath(rec, p); // a restart without a run ends the editing
        p.Bezier.Mode = false;
        return Change::Path;
    }
    RecordPath(rec, p);
    waypoints::RecordWaypoints(rec, t);
    BezierState& s = p.Bezier;
    s.Mode = true;
    s.First = a;
    s.Span = b - a;
    const Vec3 pa = t.Wp[At(a)].pos;
    const Vec3 pb = t.Wp[At(b)].pos;
    for (std::size_t c = 0; c < 3; ++c) {
        const float d = pb[c] - pa[c];
        s.CP[0][c] = pa[c];
        s.CP[1][c] = pa[c] + d / 3.0f;
        s.CP[2][c] = pa[c] + 2.0f * d / 3.0f;
        s.CP[3][c] = pb[c];
    }
    ApplyCurve(s, t);
    return Change{Change::Path | Change::Waypoints};
}

edit::Change ToggleBezier(PathTable& p, waypoints::WaypointTables& t, edit::Recorder& rec) {
    if (!p.Bezier.Mode) {
        return StartBezier(p, t, rec);
    }
    RecordPath(rec, p);
    p.Bezier.Mode = false;
    return Change::Path;
}

std::string ToggleBezierYOnly(PathTable& p) {
    p.Bezier.YOnly = !p.Bezier.YOnly;
    return p.Bezier.YOnly ? "Edit Bezier Y" : "Edit Bezier X/Z";
}

edit::Change MoveBezierPoint(PathTable& p, waypoints::WaypointTables& t, edit::Recorder& rec, int cp,
                             float dx, float dy, float dz) {
    if (cp < 0 || cp > 3 || !CanApply(p.Bezier, t)) {
        return kNoChange;
    }
    RecordPath(rec, p);
    waypoints::RecordWaypoints(rec, t);
    p.Bezier.Current = cp;
    Vec3& c = p.Bezier.CP[At(cp)];
    c[0] += dx;
    c[1] += dy;
    c[2] += dz;
    ApplyCurve(p.Bezier, t);
    return Change{Change::Path | Change::Waypoints};
}

edit::Change ApplyBezier(PathTable& p, waypoints::WaypointTables& t, edit::Recorder& rec) {
    if (!CanApply(p.Bezier, t)) {
        return kNoChange;
    }
    RecordPath(rec, p);
    waypoints::RecordWaypoints(rec, t);
    ApplyCurve(p.Bezier, t);
    return Change::Waypoints;
}

} // namespace zv::track
