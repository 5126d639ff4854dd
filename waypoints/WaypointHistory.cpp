#include "waypoints/WaypointHistory.h"

#include <memory>
#include <utility>

namespace zv::waypoints {
namespace {

class TablesCopy final : public edit::DocumentPart {
public:
    explicit TablesCopy(WaypointTables& live) : live_(live), held_(live) {}
    void Swap() override { std::swap(live_, held_); }
    std::size_t Bytes() const override {
        std::size_t b = sizeof(held_) + held_.Wp.size() * sizeof(WaypointRec) + held_.WpSel.size();
        for (const WaypointRec& w : held_.Wp) {
            b += w.depth.capacity() > 15 ? w.depth.capacity() : 0;
            b += w.ins.capacity() > 15 ? w.ins.capacity() : 0;
        }
        return b;
    }

private:
    WaypointTables& live_;
    WaypointTables held_;
};

} // namespace

void RecordWaypoints(edit::Recorder& rec, WaypointTables& t) {
    rec.Document(&t, [&t] { return std::make_unique<TablesCopy>(t); });
}

} // namespace zv::waypoints
