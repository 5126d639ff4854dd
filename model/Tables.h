#pragma once
// Fixed-capacity tables of the model store. They are allocated once; indices are checked by
// assertions in debug and test builds so that an out-of-table access fails loudly there.

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

namespace zv::model {

// Every table starts with this marker and its row count, so a test can find each table inside
// the store and check that the column list names every per-vertex and per-polygon table.
inline constexpr std::uint32_t kTableMarker = 0x5A56544Bu;
struct TableTag {
    std::uint32_t Marker = kTableMarker;
    std::int32_t Rows = 0;
};

// 16-bit truth values as the stored tables keep them: true is all bits set.
using Bool16 = std::int16_t;
inline constexpr Bool16 kTrue = -1;
inline constexpr Bool16 kFalse = 0;

// A table addressed 0 .. size-1.
template <class T> class Table {
public:
    using Element = T;
    static constexpr int kPerRow = 1;
    explicit Table(int size, T init = T{})
        : tag_{kTableMarker, size}, cells_(static_cast<std::size_t>(size), init) {}
    T& operator[](int i) {
        assert(i >= 0 && static_cast<std::size_t>(i) < cells_.size());
        return cells_[static_cast<std::size_t>(i)];
    }
    const T& operator[](int i) const {
        assert(i >= 0 && static_cast<std::size_t>(i) < cells_.size());
        return cells_[static_cast<std::size_t>(i)];
    }
    int Size() const { return static_cast<int>(cells_.size()); }
    int Rows() const { return Size(); }
    void Fill(const T& value) { std::fill(cells_.begin(), cells_.end(), value); }
    T* Data() { return cells_.data(); }
    const T* Data() const { return cells_.data(); }
    // First element of row i (0 .. Rows()).
    T* Row(int i) { return cells_.data() + i; }
    const T* Row(int i) const { return cells_.data() + i; }

private:
    TableTag tag_;
    std::vector<T> cells_;
};

// A per-element flag table with one extra slot at index -1, so that a "none" cursor (-1) can
// index it without a range check.
template <class T> class FlagTable {
public:
    using Element = T;
    static constexpr int kPerRow = 1;
    explicit FlagTable(int capacity)
        : tag_{kTableMarker, capacity}, cells_(static_cast<std::size_t>(capacity) + 1, T{}) {}
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
    // Rows 0 .. capacity - 1; the slot at -1 is not a row.
    int Rows() const { return static_cast<int>(cells_.size()) - 1; }
    T* Row(int i) { return cells_.data() + i + 1; }
    const T* Row(int i) const { return cells_.data() + i + 1; }

private:
    TableTag tag_;
    std::vector<T> cells_;
};

// Per-corner data: a fixed number of columns per row, so corner k of polygon p is found
// without indirection.
template <class T, int Columns> class CornerTable {
public:
    using Element = T;
    static constexpr int kPerRow = Columns;
    explicit CornerTable(int rows)
        : tag_{kTableMarker, rows}, cells_(static_cast<std::size_t>(rows) * Columns, T{}), rows_(rows) {}
    T& operator()(int row, int col) {
        assert(row >= 0 && row < rows_ && col >= 0 && col < Columns);
        return cells_[static_cast<std::size_t>(row) * Columns + static_cast<std::size_t>(col)];
    }
    const T& operator()(int row, int col) const {
        assert(row >= 0 && row < rows_ && col >= 0 && col < Columns);
        return cells_[static_cast<std::size_t>(row) * Columns + static_cast<std::size_t>(col)];
    }
    int Rows() const { return rows_; }
    T* Row(int i) { return cells_.data() + static_cast<std::size_t>(i) * Columns; }
    const T* Row(int i) const { return cells_.data() + static_cast<std::size_t>(i) * Columns; }

private:
    TableTag tag_;
    std::vector<T> cells_;
    int rows_;
};

} // namespace zv::model
