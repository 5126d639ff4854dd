#include "edit/CloseGrid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zv::edit {
namespace {

constexpr int kMaxCell = (1 << 21) - 1;
constexpr std::uint64_t kEmpty = ~std::uint64_t{0};
// Searches widen by this fraction of a cell, so rounding of the cell arithmetic never leaves a
// close vertex in a cell that was not searched.
constexpr double kMargin = 1e-7;

bool Finite(const model::VertRec& v) {
    return std::isfinite(v.X) && std::isfinite(v.Y) && std::isfinite(v.Z);
}

double Axis(const model::VertRec& v, int a) {
    return a == 0 ? v.X : a == 1 ? v.Y : v.Z;
}

std::uint64_t Mix(std::uint64_t k) {
    k ^= k >> 33;
    k *= 0xff51afd7ed558ccdull;
    k ^= k >> 33;
    return k;
}

} // namespace

CloseGrid::CloseGrid(std::span<const model::VertRec> positions, std::span<const std::int32_t> members,
                     double t)
    : t_(t), entryOf_(positions.size(), -1) {
    std::vector<std::int32_t> gridded;
    gridded.reserve(members.size());
    double max[3] = {0, 0, 0};
    for (const std::int32_t v : members) {
        const model::VertRec& p = positions[static_cast<std::size_t>(v)];
        if (!Finite(p)) {
            continue;
        }
        for (int a = 0; a < 3; ++a) {
            const double c = Axis(p, a);
            min_[a] = gridded.empty() ? c : std::min(min_[a], c);
            max[a] = gridded.empty() ? c : std::max(max[a], c);
        }
        gridded.push_back(v);
    }
    const double span = std::max({max[0] - min_[0], max[1] - min_[1], max[2] - min_[2]});
    // At least 2t, and coarse enough that every cell index fits its 21 bits.
    size_ = std::max(2 * t_, span / (1 << 20));
    if (!(size_ > 0) || !std::isfinite(size_)) {
        size_ = std::isfinite(size_) ? 1 : std::numeric_limits<double>::max();
    }
    std::size_t slots = 16;
    while (slots < gridded.size() * 2) {
        slots *= 2;
    }
    slotKey_.assign(slots, kEmpty);
    slotCell_.assign(slots, -1);
    std::vector<int> cellOf(gridded.size());
    std::vector<int> counts;
    for (std::size_t i = 0; i < gridded.size(); ++i) {
        const model::VertRec& p = positions[static_cast<std::size_t>(gridded[i])];
        const int cell = Insert(Key(CellIndex(p.X, 0), CellIndex(p.Y, 1), CellIndex(p.Z, 2)));
        if (cell >= static_cast<int>(counts.size())) {
            counts.push_back(0);
        }
        ++counts[static_cast<std::size_t>(cell)];
        cellOf[i] = cell;
    }
    start_.assign(counts.size() + 1, 0);
    for (std::size_t c = 0; c < counts.size(); ++c) {
        start_[c + 1] = start_[c] + counts[c];
    }
    std::vector<int> fill(start_.begin(), start_.end() - 1);
    entries_.resize(gridded.size());
    for (std::size_t i = 0; i < gridded.size(); ++i) {
        const int e = fill[static_cast<std::size_t>(cellOf[i])]++;
        entries_[static_cast<std::size_t>(e)] = gridded[i];
        entryOf_[static_cast<std::size_t>(gridded[i])] = e;
    }
}

int CloseGrid::CellIndex(double coordinate, int axis) const {
    const double c = std::floor((coordinate - min_[axis]) / size_);
    return c < 0 ? 0 : c > kMaxCell ? kMaxCell : static_cast<int>(c);
}

bool CloseGrid::Range(const model::VertRec& p, int lo[3], int hi[3]) const {
    if (!Finite(p) || entries_.empty()) {
        return false;
    }
    for (int a = 0; a < 3; ++a) {
        const double c = Axis(p, a);
        const double from = std::floor((c - t_ - min_[a]) / size_ - kMargin);
        const double to = std::floor((c + t_ - min_[a]) / size_ + kMargin);
        if (to < 0 || from > kMaxCell) {
            return false;
        }
        lo[a] = from < 0 ? 0 : static_cast<int>(from);
        hi[a] = to > kMaxCell ? kMaxCell : static_cast<int>(to);
    }
    return true;
}

int CloseGrid::Find(std::uint64_t key) const {
    const std::size_t mask = slotKey_.size() - 1;
    for (std::size_t s = Mix(key) & mask;; s = (s + 1) & mask) {
        if (slotKey_[s] == key) {
            return slotCell_[s];
        }
        if (slotKey_[s] == kEmpty) {
            return -1;
        }
    }
}

int CloseGrid::Insert(std::uint64_t key) {
    const std::size_t mask = slotKey_.size() - 1;
    std::size_t s = Mix(key) & mask;
    while (slotKey_[s] != kEmpty && slotKey_[s] != key) {
        s = (s + 1) & mask;
    }
    if (slotKey_[s] == kEmpty) {
        slotKey_[s] = key;
        slotCell_[s] = static_cast<int>(start_.size());
        start_.push_back(0); // counts cells while building; rebuilt afterwards
    }
    return slotCell_[s];
}

void CloseGrid::Remove(std::int32_t v) {
    if (v < 0 || static_cast<std::size_t>(v) >= entryOf_.size() ||
        entryOf_[static_cast<std::size_t>(v)] < 0) {
        return;
    }
    entries_[static_cast<std::size_t>(entryOf_[static_cast<std::size_t>(v)])] = -1;
    entryOf_[static_cast<std::size_t>(v)] = -1;
}

} // namespace zv::edit
