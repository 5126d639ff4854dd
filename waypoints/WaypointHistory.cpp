#include "waypoints/WaypointHistory.h"

namespace zv::waypoints {
namespace {

std::size_t TablesBytes(const WaypointTables& t) {
    std::size_t b = sizeof(t) + t.Wp.size() * sizeof(WaypointRec) + t.WpSel.size();
    for (const WaypointRec& w : t.Wp) {
        b += w.depth.capacity() > 15 ? w.depth.capacity() : 0;
        b += w.ins.capacity() > 15 ? w.ins.capacity() : 0;
    }
    return b;
}

} // namespace

void RecordWaypoints(edit::Recorder& rec, WaypointTables& t) {
    edit::RecordWhole(rec, t, TablesBytes);
}

} // namespace zv::waypoints
