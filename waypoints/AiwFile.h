#pragma once
// AIW waypoint files: one tolerant, positional reader for both dialects and a writer for each.
// Lines end with CR LF when written; CR, LF and CR LF all end a line when read.

#include "edit/Change.h"
#include "edit/History.h"
#include "model/UserInterface.h"
#include "waypoints/Waypoints.h"

#include <string>
#include <string_view>

namespace zv::waypoints {

// Kept lines the reader holds at most: the largest file the writers produce (33 slot blocks of
// six lines, the three header lines and 3001 waypoints of the F1CS dialect's eleven lines).
inline constexpr int kMaxAiwLines = 33 * 6 + 3 + kWaypointCapacity * 11;

struct AiwReadResult {
    bool Ok = true;
    int Line = 0; // 1-based line of the file at fault (0 when the file could not be read)
    std::string Reason;
    bool Loaded = false; // the tables were read into (false when the file was not taken in at all)
};

// Reads the text of an AIW file into t: slots, header and waypoints. Optional waypoint fields,
// the selections and CurWp are cleared; LapLength keeps its value when the file has none. On a
// fault the waypoints and slots read before it stay and the result says where.
AiwReadResult ParseAiw(std::string_view text, WaypointTables& t);

// "&Open SCGT/F1CS Aiw-File": reads path as one history step. A file that cannot be read or
// holds a fault shows "Open AIW-File Error" (title "I/O ERROR", with the line at fault) and keeps
// what was read before the fault. Returns what changed.
edit::Change OpenAiw(model::UserInterface& ui, edit::Recorder& rec, WaypointTables& t,
                     const std::string& path);

// The text of the tables in a dialect, CR LF line ends.
std::string SerializeAiw(const WaypointTables& t, Dialect d);

// Saves through the safe file replacement; a failure shows "Can't save AIW File" (title
// "Save Error") and leaves the old file intact. True on success.
bool WriteAiw(model::UserInterface& ui, const WaypointTables& t, Dialect d, const std::string& path);

// The status text after a load: the count and " waypoints loaded".
std::string LoadedText(const WaypointTables& t);

} // namespace zv::waypoints
