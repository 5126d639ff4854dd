// Path files: whatever is read stays within the capacity with every column as long as the
// points, and the written file reads back to the same text. Every input is also read onto a
// nearly full path, so that the capacity is reached.

#include "FuzzSupport.h"

#include "track/PathOps.h"

#include <string>
#include <string_view>

namespace {

void CheckPath(const zv::track::PathTable& p) {
    zv::fuzz::Require(p.Count() <= zv::track::kPathCapacity, "point count");
    const std::size_t n = p.Pts.size();
    zv::fuzz::Require(p.SegLen.size() == n && p.Heading.size() == n && p.Camber.size() == n, "column sizes");
}

// A path three points short of the capacity; reading appends, so cutting the columns back
// afterwards restores it for the next input.
zv::track::PathTable& NearlyFull() {
    static zv::track::PathTable full = [] {
        zv::track::PathTable p;
        const std::size_t n = zv::track::kPathCapacity - 3;
        p.Pts.assign(n, zv::track::Vec3{1, 2, 3});
        p.SegLen.assign(n, 0.0f);
        p.Heading.assign(n, 0.0f);
        p.Camber.assign(n, 0.0f);
        return p;
    }();
    return full;
}

void CutBack(zv::track::PathTable& p, std::size_t n) {
    p.Pts.resize(n);
    p.SegLen.resize(n);
    p.Heading.resize(n);
    p.Camber.resize(n);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zv::track;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    PathTable read;
    const PathReadResult r = ParsePathFile(text, read);
    CheckPath(read);
    zv::fuzz::Require(r.Ok && r.Added == read.Count(), "fresh read");

    const std::string first = SerializePath(read);
    PathTable again;
    zv::fuzz::Require(ParsePathFile(first, again).Ok, "written file reads");
    CheckPath(again);
    zv::fuzz::Require(again.Count() == read.Count(), "count kept");
    zv::fuzz::Require(SerializePath(again) == first, "write, read, write is identical");

    PathTable& full = NearlyFull();
    const std::size_t base = full.Pts.size();
    const PathReadResult f = ParsePathFile(text, full);
    CheckPath(full);
    zv::fuzz::Require(f.Ok == (read.Count() <= 3), "stops at the capacity");
    zv::fuzz::Require(full.Pts.size() == base + static_cast<std::size_t>(f.Added), "added count");
    CutBack(full, base);
    return 0;
}
