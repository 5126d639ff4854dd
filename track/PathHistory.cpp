#include "track/PathOps.h"

namespace zv::track {
namespace {

std::size_t PathBytes(const PathTable& p) {
    return sizeof(p) + p.Pts.capacity() * sizeof(Vec3) +
           (p.SegLen.capacity() + p.Heading.capacity() + p.Camber.capacity()) * sizeof(float);
}

} // namespace

void RecordPath(edit::Recorder& rec, PathTable& p) {
    edit::RecordWhole(rec, p, PathBytes);
}

} // namespace zv::track
