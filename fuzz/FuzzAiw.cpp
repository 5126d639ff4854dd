// AIW waypoint files: the input is read, and whatever was read must be written in both dialects
// as a file that reads back to the same bytes.

#include "FuzzSupport.h"

#include "waypoints/AiwFile.h"

#include <memory>
#include <string_view>

namespace {

void CheckTables(const zv::waypoints::WaypointTables& t) {
    zv::fuzz::Require(t.WpCount >= 0 && t.WpCount <= zv::waypoints::kWaypointCapacity, "waypoint count");
    zv::fuzz::Require(t.SlotCount >= 0 && t.SlotCount <= zv::waypoints::kSlotCapacity, "slot count");
    zv::fuzz::Require(t.CurWp == 0, "current waypoint");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zv::waypoints;
    // Reused between inputs: the reader must not depend on what an earlier file left.
    static auto read = std::make_unique<WaypointTables>();
    static auto again = std::make_unique<WaypointTables>();
    const AiwReadResult r = ParseAiw(std::string_view(reinterpret_cast<const char*>(data), size), *read);
    zv::fuzz::Require(r.Ok ? r.Line == 0 : r.Line >= 1, "fault line");
    CheckTables(*read);
    if (!r.Ok) {
        return 0;
    }
    for (const Dialect d : {Dialect::Scgt, Dialect::F1cs}) {
        const std::string first = SerializeAiw(*read, d);
        zv::fuzz::Require(ParseAiw(first, *again).Ok, "written file reads");
        CheckTables(*again);
        zv::fuzz::Require(again->WpCount == read->WpCount && again->SlotCount == read->SlotCount,
                          "counts kept");
        zv::fuzz::Require(SerializeAiw(*again, d) == first, "write, read, write is identical");
    }
    return 0;
}
