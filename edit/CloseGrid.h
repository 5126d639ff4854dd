#pragma once
// A uniform grid over a set of vertex positions, for finding the vertices within an
// axis-aligned box of half-size t around a point without comparing every pair. Cells are at
// least 2t wide, so a box overlaps at most two cells per axis. Entries can be removed; a
// removed entry is skipped by later searches.

#include "model/ModelStore.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zv::edit {

class CloseGrid {
public:
    // Grids the vertices listed in members (indices into positions); vertices with a
    // coordinate that is not finite are left out, as nothing is ever close to them.
    CloseGrid(std::span<const model::VertRec> positions, std::span<const std::int32_t> members, double t);

    // Calls f(v) for every vertex still in the grid whose cell the box around p overlaps;
    // the caller tests closeness itself.
    template <class F> void ForEachNear(const model::VertRec& p, F&& f) const {
        int lo[3], hi[3];
        if (!Range(p, lo, hi)) {
            return;
        }
        for (int x = lo[0]; x <= hi[0]; ++x) {
            for (int y = lo[1]; y <= hi[1]; ++y) {
                for (int z = lo[2]; z <= hi[2]; ++z) {
                    const int cell = Find(Key(x, y, z));
                    if (cell < 0) {
                        continue;
                    }
                    for (int e = start_[static_cast<std::size_t>(cell)];
                         e < start_[static_cast<std::size_t>(cell) + 1]; ++e) {
                        const std::int32_t v = entries_[static_cast<std::size_t>(e)];
                        if (v >= 0) {
                            f(v);
                        }
                    }
                }
            }
        }
    }

    // Takes vertex v out of the grid (nothing when it is not in it).
    void Remove(std::int32_t v);

private:
    static std::uint64_t Key(int x, int y, int z) {
        return (static_cast<std::uint64_t>(x) << 42) | (static_cast<std::uint64_t>(y) << 21) |
               static_cast<std::uint64_t>(z);
    }
    bool Range(const model::VertRec& p, int lo[3], int hi[3]) const;
    int CellIndex(double coordinate, int axis) const;
    int Find(std::uint64_t key) const;
    int Insert(std::uint64_t key);

    double t_;
    double min_[3] = {0, 0, 0};
    double size_ = 1;
    std::vector<std::uint64_t> slotKey_; // open addressing: key, or ~0 when empty
    std::vector<int> slotCell_;
    std::vector<int> start_;            // entries of cell c: start_[c] .. start_[c + 1] - 1
    std::vector<std::int32_t> entries_; // vertex indices, -1 once removed
    std::vector<std::int32_t> entryOf_; // per vertex index: its entry, -1 when not gridded
};

} // namespace zv::edit
