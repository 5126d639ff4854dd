#pragma once
// Waypoint changes as steps of the one edit history of the document.

#include "edit/History.h"
#include "waypoints/Waypoints.h"

namespace zv::waypoints {

// Declares that the running command changes the waypoint or slot tables: the step keeps a copy
// of them (once, however often this is called) and undo swaps it back.
void RecordWaypoints(edit::Recorder& rec, WaypointTables& t);

} // namespace zv::waypoints
