#include "track/PathOps.h"

#include <memory>
#include <utility>

namespace zv::track {
namespace {

class PathCopy final : public edit::DocumentPart {
public:
    explicit PathCopy(PathTable& live) : live_(live), held_(live) {}
    void Swap() override { std::swap(live_, held_); }
    std::size_t Bytes() const override {
        return sizeof(held_) + held_.Pts.capacity() * sizeof(Vec3) +
               (held_.SegLen.capacity() + held_.Heading.capacity() + held_.Camber.capacity()) * sizeof(float);
    }

private:
    PathTable& live_;
    PathTable held_;
};

} // namespace

void RecordPath(edit::Recorder& rec, PathTable& p) {
    rec.Document(&p, [&p] { return std::make_unique<PathCopy>(p); });
}

} // namespace zv::track
