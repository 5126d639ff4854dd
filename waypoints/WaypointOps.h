#pragma once
// The operations on the waypoint and slot tables, as free functions without a window. Every
// operation that changes the tables declares them on the recorder first (RecordWaypoints) and
// returns what it changed (Change::Waypoints, with Selection and Counts where those moved), or
// kNoChange when it was refused or found nothing to do; it then wrote nothing. Cursor and
// selection moves alone return Change::Selection and declare nothing (they are not steps).
//
// Links: ptrs[0] previous, ptrs[1] next, ptrs[2] branch (-1: none); ptrs[3] is a pit slot
// number (-2: none) and never renumbered.

#include "edit/Change.h"
#include "edit/History.h"
#include "model/ModelStore.h"
#include "model/UserInterface.h"
#include "waypoints/Waypoints.h"

#include <optional>
#include <string>

namespace zv::waypoints {

// ---- Cursor and selection (no history steps) ----------------------------------------------

// F5 / Shift F5: the next / previous waypoint, wrapping; nothing without waypoints.
edit::Change NextWaypoint(WaypointTables& t);
edit::Change PreviousWaypoint(WaypointTables& t);
// Makes i current (the window then shows it); nothing for an index outside the table.
edit::Change SetCurrentWaypoint(WaypointTables& t, int i);
// F6: toggles the selection of the current waypoint.
edit::Change ToggleCurrentSelection(WaypointTables& t);
// Clears the waypoint, start-position and pit-position selections.
edit::Change DeselectAllWaypoints(WaypointTables& t);
// Selects (never deselects) every waypoint whose score value 1 ("Checkpoint") equals v.
edit::Change SelectSameCheckpoint(WaypointTables& t, float v);

// ---- Editing ----------------------------------------------------------------------------------

// Ctrl I / "&Insert": a copy of the current waypoint is spliced in after it, every link above
// the current index renumbered in every record; the copy becomes current and alone selected
// (start and pit selections cleared). Refused without a current waypoint or at capacity.
edit::Change InsertWaypoint(WaypointTables& t, edit::Recorder& rec);
// Ctrl D / "Delete": the current waypoint leaves the ring; links to it are redirected to its
// neighbours (branches become -1), links above it renumbered in every record. The current index
// stays, or moves back by one when the last waypoint went. Refused without a current waypoint.
edit::Change DeleteCurrentWaypoint(WaypointTables& t, edit::Recorder& rec);
// "Delete All Selected": every selected waypoint, as repeated single deletions in index order
// would (done in one pass); the current index stays, clamped into the table.
edit::Change DeleteSelectedWaypoints(WaypointTables& t, edit::Recorder& rec);
// "Reverse": waypoints 0 .. CurWp in reverse order, paving and side widths swapped, relinked as
// a ring. Needs WpCount > 1 and CurWp > 0.
edit::Change ReverseWaypoints(WaypointTables& t, edit::Recorder& rec);
// "Make Straight": the waypoints between the first and last selected at equal steps on the line
// between them; "No waypoints selected !" (title "Info:") when none is selected.
edit::Change MakeStraight(model::UserInterface& ui, WaypointTables& t, edit::Recorder& rec);
// "Adjust Height": selected waypoints, start and pit positions onto the nearest polygon centre
// (horizontally; the first polygon at the least distance). Slot heights are stored as 0.5 (pit
// 0.6) minus the centre's height. Polygons with a corner that is not a vertex are skipped.
// Nothing without polygons.
edit::Change AdjustHeight(const model::ModelStore& m, WaypointTables& t, edit::Recorder& rec);
// "Calc WP_ins": the upper-case name of the part holding the polygon nearest to each waypoint
// becomes its track part. Nothing without polygons; waypoints whose polygon is in no part keep
// theirs.
edit::Change CalcTrackParts(const model::ModelStore& m, WaypointTables& t, edit::Recorder& rec);

// The answers of the pit-lane generator's two questions, clamped: length 16 .. 2000 (below 16
// gives 240), slots 2 .. 32.
struct PitLane {
    float Length = 240;
    int Slots = 24;
};
// Asks "Enter Pitlane length" (default 240) and "Enter number of Slots" (default 24); nullopt
// when either answer is empty or cancelled. Each answer counts by its leading number (none: 0).
std::optional<PitLane> AskPitLane(model::UserInterface& ui);
// Clamps raw answers as the questions do; the slot count is rounded (ties to even) first.
PitLane ClampPitLane(double length, double slots);
// "Add Pitlane Slots": four waypoints per slot after the last waypoint, pit and start positions
// of every slot. Needs at least 2 waypoints and room for 4 × Slots more, else a message and no
// change (also for more than 33 slots). Links past the last new waypoint become -1; the new
// waypoints are otherwise blank records. SlotCount becomes Slots.
edit::Change AddPitLane(model::UserInterface& ui, WaypointTables& t, edit::Recorder& rec, const PitLane& p);

// Moves the selected waypoints by (dx, dy, dz) (when shown) and the selected start and pit
// positions the same way in model space (their stored vectors by the negated amount, when
// shown). The drags and nudge keys of the waypoint edit mode.
edit::Change TranslateWaypoints(WaypointTables& t, const WaypointDisplay& d, edit::Recorder& rec, float dx,
                                float dy, float dz);
// The scale nudge: the axis coordinate (0 x, 1 y, 2 z) of every selected waypoint times factor.
edit::Change ScaleWaypoints(WaypointTables& t, const WaypointDisplay& d, edit::Recorder& rec, int axis,
                            float factor);

// The fields of a waypoint as the waypoint window shows them.
enum class WpField {
    X, Y, Z, Camber, Elevation,
    Width1, Width2, Width3, Width4,
    Score1, Score2, Score3, Score4,
    Opt1, Opt2, Opt3,
    Depth, Ins,
    Prev, Next, Branch1, Branch2, Key, Marks, Events,
};
inline constexpr int kWpFieldCount = static_cast<int>(WpField::Events) + 1;
bool IsTextField(WpField f); // Depth, Ins
bool IsIntegerField(WpField f); // links, key, marks, events

// A numeric field's value (integers widened); 0 for the text fields.
double FieldValue(const WaypointRec& w, WpField f);
// Stores a value typed into the window into the current waypoint: numbers into the numeric
// fields (integers rounded, ties to even, refused outside -32768 .. 32767), text into the text
// fields. Refused without a current waypoint or when the value is already there.
edit::Change SetCurrentField(WaypointTables& t, edit::Recorder& rec, WpField f, double value);
edit::Change SetCurrentText(WaypointTables& t, edit::Recorder& rec, WpField f, const std::string& text);
// F1 .. F4 ("Insert dist. to current wp into wp_width1" ...): width value which (0 .. 3) of the
// current waypoint becomes dist.
edit::Change SetWidthFromDistance(WaypointTables& t, edit::Recorder& rec, int which, float dist);
// Double click on a field: that field of the current waypoint into every selected waypoint.
edit::Change FillSelected(WaypointTables& t, edit::Recorder& rec, WpField f);
// Double click on "X", "Y" or "Z": that coordinate of every waypoint negated (slots unchanged).
edit::Change MirrorWaypoints(WaypointTables& t, edit::Recorder& rec, int axis);
// "Copy to Lateral Step": opt 2 = 1.5 - width 1 of every selected waypoint.
edit::Change CopyToLateralStep(WaypointTables& t, edit::Recorder& rec);
// "Calculate Corridor Width": opt 3 = (|width 1| + |width 2|) / 32 of every selected waypoint.
edit::Change CalcCorridorWidth(WaypointTables& t, edit::Recorder& rec);

// ---- Measures ---------------------------------------------------------------------------------

// Straight-line distance between the positions of waypoints a and b (0 when either is outside
// the table).
float CalcDistance(const WaypointTables& t, int a, int b);

} // namespace zv::waypoints
