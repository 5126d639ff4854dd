#pragma once
// Operations on the path, path files, the conversions between the path and the waypoints, and
// the Bezier reshaping. Every operation that changes the path or the waypoints declares them on
// the recorder first (RecordPath, waypoints::RecordWaypoints) and returns what it changed
// (Change::Path, Change::Waypoints ...), or kNoChange when refused; it then wrote nothing.

#include "edit/Change.h"
#include "edit/History.h"
#include "model/UserInterface.h"
#include "track/Path.h"
#include "waypoints/Waypoints.h"

#include <optional>
#include <string>
#include <string_view>

namespace zv::track {

// Declares that the running command changes the path (and its Bezier state): the step keeps a
// copy once and undo swaps it back.
void RecordPath(edit::Recorder& rec, PathTable& p);

// The heading of a segment in degrees from (dx, dz) = previous minus current point: 90 - a for
// dx > 0, 270 - a for dx < 0 (a = atan(dz / dx) in degrees), and for dx = 0: 180 when dz < 0,
// else 0.
float HeadingDeg(float dx, float dz);

// ---- Files ----------------------------------------------------------------------------------

struct PathReadResult {
    bool Ok = true;
    int Added = 0;
    std::string Reason; // why reading stopped (capacity)
};
// Appends the points of every line whose first 9 characters contain "PointPos=" (tuple parsed as
// in AIW files; a malformed tuple appends (0, 0, 0)). The appended points get their segment
// lengths and headings from the points, camber 0. Stops at kPathCapacity (Ok false).
PathReadResult ParsePathFile(std::string_view text, PathTable& p);
// Path menu "Open": reads path and appends it as one history step; an unreadable file or one
// beyond the capacity shows a message (what fitted stays).
edit::Change OpenPath(model::UserInterface& ui, edit::Recorder& rec, PathTable& p, const std::string& path);
// "N Pathpoints merged".
std::string MergedText(const PathTable& p);
// "number_points=" N, then one "PointPos=(x,y,z)" line per point (4-decimal form), CR LF.
std::string SerializePath(const PathTable& p);
// Saves through the safe file replacement; "Can't save Path File" (title "Save Error") on failure.
bool WritePath(model::UserInterface& ui, const PathTable& p, const std::string& path);

// ---- Conversions ----------------------------------------------------------------------------

// "Get from Ai Line": waypoints 0 .. CurWp become the path (positions, camber = ori value 1,
// lengths and headings). Nothing when CurWp <= 0.
edit::Change PathFromWaypoints(const waypoints::WaypointTables& t, PathTable& p, edit::Recorder& rec);
// "Get from Path": one waypoint per path point with the default values, linked as a ring,
// CurWp 0. Nothing without points; refused with a message beyond the waypoint capacity.
edit::Change WaypointsFromPath(model::UserInterface& ui, PathTable& p, waypoints::WaypointTables& t,
                               edit::Recorder& rec);

// ---- Drawing the path ---------------------------------------------------------------------

// "New" / Ctrl R: the path becomes the one point (x, 0, z), PathEnd there, PathLength 0.
edit::Change NewPath(PathTable& p, edit::Recorder& rec, float x, float z);
// Ctrl T: a point at (x, 0, z) after the end point; its segment length is the horizontal
// distance, PathLength grows by it. Refused at the capacity or without a path.
edit::Change AppendPathPoint(model::UserInterface& ui, PathTable& p, edit::Recorder& rec, float x, float z);
// The track builder's drag step towards the model point (mx, mz): pieces of length pieceLength
// from the end point towards it, as many as fit (one when exactly one fits, else count - 1).
// Refused (kNoChange) for a piece length that is not positive or not finite, without a path, or
// at the capacity (a message then).
edit::Change ExtendPath(model::UserInterface& ui, PathTable& p, edit::Recorder& rec, float mx, float mz,
                        float pieceLength);
// Horizontal distance from the end point to (mx, mz).
float DistanceFromEnd(const PathTable& p, float mx, float mz);
// "Points: " N "      Length: " length to 2 decimals " meters".
std::string BuilderStatus(const PathTable& p);

// ---- Bezier reshaping ------------------------------------------------------------------------

// F7 / "Edit Bezier": turns Bezier editing on over the selected waypoints (from the first to the
// last selected, gaps included) with control points on the straight line, and applies the curve;
// with fewer than 5 selected it stays off and nothing changes. When it is on already, F7 turns it
// off (ToggleBezier).
// Started again while on, it takes the current selection; with fewer than 5 selected then it
// turns off.
edit::Change StartBezier(PathTable& p, waypoints::WaypointTables& t, edit::Recorder& rec);
edit::Change ToggleBezier(PathTable& p, waypoints::WaypointTables& t, edit::Recorder& rec);
// F10: heights only / x and z; returns "Edit Bezier Y" or "Edit Bezier X/Z".
std::string ToggleBezierYOnly(PathTable& p);
// Moves control point cp (0 .. 3) by (dx, dy, dz) and applies the curve to the waypoints.
edit::Change MoveBezierPoint(PathTable& p, waypoints::WaypointTables& t, edit::Recorder& rec, int cp, float dx,
                             float dy, float dz);
// Recomputes the curve and moves waypoints First .. First + Span (y only, or x and z).
edit::Change ApplyBezier(PathTable& p, waypoints::WaypointTables& t, edit::Recorder& rec);

} // namespace zv::track
