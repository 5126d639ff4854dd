#pragma once
// The path: an ordered list of points along the centre line of a track, drawn with the track
// builder, read from and written to path files (".zvp"), turned into an AI line and back; and
// the Bezier reshaping of a run of waypoints, whose control points live with the path.
//
// Path points are model coordinates, like waypoint positions.

#include <array>
#include <cstdint>
#include <vector>

namespace zv::track {

// The most points a path holds; reading or drawing beyond it is refused with a message.
inline constexpr int kPathCapacity = 50001;

using Vec3 = std::array<float, 3>;

// The Bezier reshaping of waypoints First .. First + Span through four control points.
struct BezierState {
    std::array<Vec3, 4> CP{};
    bool Mode = false;  // Bezier editing is on
    bool YOnly = false; // the curve changes heights only; otherwise x and z
    int First = 0;
    int Span = 0;
    int Current = 0; // the control point being moved, 0 .. 3

    friend bool operator==(const BezierState&, const BezierState&) = default;
};

// The path part of the document. The per-point columns have one entry per point; entry i of
// SegLen, Heading and Camber describes the segment from point i - 1 to point i (entry 0 is kept
// as it is and means nothing, except that Heading[0] is what "Get from Path" gives waypoint 0).
struct PathTable {
    std::vector<Vec3> Pts;
    std::vector<float> SegLen;
    std::vector<float> Heading; // degrees, see HeadingDeg
    std::vector<float> Camber;
    float PathLength = 0; // total length as built by the track builder
    Vec3 PathEnd{};       // where the track builder adds its next segment
    int EndIndex = 0;     // the last point the track builder added
    BezierState Bezier;

    int Count() const { return static_cast<int>(Pts.size()); }
    friend bool operator==(const PathTable&, const PathTable&) = default;
};

} // namespace zv::track
