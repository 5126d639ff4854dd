#pragma once
// Fixed-capacity tables of the model store. They are allocated once; indices are checked by
// assertions in debug and test builds so that an out-of-table access fails loudly there.

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zv::model {

// 16-bit truth values as the stored tables keep them: true is all bits set.
using Bool16 = std::int16_t;
inline constexpr Bool16 kTrue = -1;
inline constexpr Bool16 kFalse = 0;

// A table addressed 0 .. size-1.
template <class T> class Table {
public:
    explicit Table(int size, T init = T{}) : cells_(static_cast<std::size_t>(size), init) {}
    T& operator[](int i) {
        assert(i >= 0 && static_cast<std::size_t>(i) < cells_.size());
        return cells_[static_cast<std::size_t>(i)];
    }
    const T& operator[](int i) const {
        assert(i >= 0 && static_cast<std::size_t>(i) < cells_.size());
        return cells_[static_cast<std::size_t>(i)];
    }
    int Size() const { return static_cast<int>(cells_.size()); }
    void Fill(const T& value) { std::fill(cells_.begin(), cells_.end(), value); }
    T* Data() { return cells_.data(); }
    const T* Data() const { return cells_.data(); }

private:
    std::vector<T> cells_;
};

// A per-element flag table with one extra slot at index -1, so that a "none" cursor (-1) can
// index it without a range check.
template <class T> class FlagTable {
public:
    explicit FlagTable(int capacity) : cells_(static_cast<std::size_t>(capacity) + 1, T{}) {}
    T& operator[](int i) {
        assert(i >= -1 && static_cast<std::size_t>(i + 1) < cells_.size());
        return cells_[static_cast<std::size_t>(i + 1)];
    }
    const T& operator[](int i) const {
        assert(i >= -1 && static_cast<std::size_t>(i + 1) < cells_.size());
        return cells_[static_cast<std::size_t>(i + 1)];
    }
    // Every slot, including the one at -1.
    void Fill(const T& value) { std::fill(cells_.begin(), cells_.end(), value); }

private:
    std::vector<T> cells_;
};

// Per-corner data: a fixed number of columns per row, so corner k of polygon p is found
// without indirection.
template <class T, int Columns> class CornerTable {
public:
    explicit CornerTable(int rows) : cells_(static_cast<std::size_t>(rows) * Columns, T{}), rows_(rows) {}
    T& operator()(int row, int col) {
        assert(row >= 0 && row < rows_ && col >= 0 && col < Columns);
        return cells_[static_cast<std::size_t>(row) * Columns + static_cast<std::size_t>(col)];
    }
    const T& operator()(int row, int col) const {
        assert(row >= 0 && row < rows_ && col >= 0 && col < Columns);
        return cells_[static_cast<std::size_t>(row) * Columns + static_cast<std::size_t>(col)];
    }
    int Rows() const { return rows_; }

private:
    std::vector<T> cells_;
    int rows_;
};

} // namespace zv::model
