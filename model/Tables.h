#pragma once
// Fixed-capacity tables of the model store. They are allocated once; indices are checked by
// assertions in debug and test builds so that an out-of-table access fails loudly there.
// Plain tables take zeroed pages from the system and remember how far they have been written,
// so a small model touches only the pages it uses and clearing a table costs only what was
// written since the last clear.

#include <algorithm>
#include <concepts>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
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

// Cells of a plain type: calloc'd, so untouched rows cost no memory (the system hands out
// zero pages lazily); a non-zero initial value is written once. Other types use a vector.
template <class T> class ZeroedCells {
public:
    ZeroedCells(std::size_t n, const T& init) : n_(n), p_(Allocate(n)) {
        if (!IsZero(init)) {
            std::fill(p_.get(), p_.get() + n_, init);
        }
    }
    ZeroedCells(const ZeroedCells& o) : n_(o.n_), p_(Allocate(o.n_)) {
        std::memcpy(p_.get(), o.p_.get(), n_ * sizeof(T));
    }
    ZeroedCells& operator=(const ZeroedCells& o) {
        if (this != &o) {
            ZeroedCells copy(o);
            std::swap(n_, copy.n_);
            std::swap(p_, copy.p_);
        }
        return *this;
    }
    ZeroedCells(ZeroedCells&&) noexcept = default;
    ZeroedCells& operator=(ZeroedCells&&) noexcept = default;
    ~ZeroedCells() = default;

    T* data() { return p_.get(); }
    const T* data() const { return p_.get(); }
    std::size_t size() const { return n_; }
    T& operator[](std::size_t i) { return p_.get()[i]; }
    const T& operator[](std::size_t i) const { return p_.get()[i]; }

    static bool IsZero(const T& value) {
        static const T zero{};
        return std::memcmp(&value, &zero, sizeof(T)) == 0;
    }

private:
    struct Free {
        void operator()(T* p) const { std::free(p); }
    };
    static std::unique_ptr<T, Free> Allocate(std::size_t n) {
        void* p = std::calloc(n == 0 ? 1 : n, sizeof(T));
        if (p == nullptr) {
            throw std::bad_alloc();
        }
        return std::unique_ptr<T, Free>(static_cast<T*>(p));
    }
    std::size_t n_;
    std::unique_ptr<T, Free> p_;
};

template <class T>
using CellStorage = std::conditional_t<std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                                       ZeroedCells<T>, std::vector<T>>;

// Whether a fill value is the table's initial one; values that cannot be compared never are.
template <class T> bool SameValue(const T& a, const T& b) {
    if constexpr (std::equality_comparable<T>) {
        return a == b;
    } else if constexpr (std::is_trivially_copyable_v<T>) {
        return std::memcmp(&a, &b, sizeof(T)) == 0;
    } else {
        return false;
    }
}

// How far a table has been written since it last held only its initial value: rows at or
// above the mark still hold it, so filling with that value stops at the mark.
class WriteMark {
public:
    void Touch(std::size_t end) {
        if (end > end_) {
            end_ = end;
        }
    }
    void TouchAll(std::size_t rows) { end_ = rows; }
    void Reset() { end_ = 0; }
    std::size_t End() const { return end_; }

private:
    std::size_t end_ = 0;
};

// A table addressed 0 .. size-1.
template <class T> class Table {
public:
    using Element = T;
    static constexpr int kPerRow = 1;
    explicit Table(int size, T init = T{})
        : tag_{kTableMarker, size}, cells_(static_cast<std::size_t>(size), init), init_(init) {}
    T& operator[](int i) {
        assert(i >= 0 && static_cast<std::size_t>(i) < cells_.size());
        mark_.Touch(static_cast<std::size_t>(i) + 1);
        return cells_[static_cast<std::size_t>(i)];
    }
    const T& operator[](int i) const {
        assert(i >= 0 && static_cast<std::size_t>(i) < cells_.size());
        return cells_[static_cast<std::size_t>(i)];
    }
    int Size() const { return static_cast<int>(cells_.size()); }
    int Rows() const { return Size(); }
    void Fill(const T& value) {
        const bool initial = SameValue(value, init_);
        std::fill(cells_.data(), cells_.data() + (initial ? mark_.End() : cells_.size()), value);
        initial ? mark_.Reset() : mark_.TouchAll(cells_.size());
    }
    // Raw access may write anywhere, so it counts as writing the whole table.
    T* Data() {
        mark_.TouchAll(cells_.size());
        return cells_.data();
    }
    const T* Data() const { return cells_.data(); }
    // First element of row i (0 .. Rows()).
    T* Row(int i) {
        mark_.TouchAll(cells_.size());
        return cells_.data() + i;
    }
    const T* Row(int i) const { return cells_.data() + i; }
    // Rows 0 .. WrittenRows() - 1 may differ from the initial value; the rows after them hold it.
    int WrittenRows() const { return static_cast<int>(mark_.End()); }
    const T& Initial() const { return init_; }
    // Rows first .. first + count - 1 for writing, counted as written.
    T* RowsForWrite(int first, int count) {
        mark_.Touch(static_cast<std::size_t>(first) + static_cast<std::size_t>(count));
        return cells_.data() + first;
    }
    // Row storage as contiguous slices (see CornerColumns): here one slice, the row itself.
    static constexpr int kSlices = 1;
    T* Slice(int, int i) { return Row(i); }
    const T* Slice(int, int i) const { return Row(i); }

private:
    TableTag tag_;
    CellStorage<T> cells_;
    T init_;
    WriteMark mark_;
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
        mark_.Touch(static_cast<std::size_t>(i + 2));
        return cells_[static_cast<std::size_t>(i + 1)];
    }
    const T& operator[](int i) const {
        assert(i >= -1 && static_cast<std::size_t>(i + 1) < cells_.size());
        return cells_[static_cast<std::size_t>(i + 1)];
    }
    // Every slot, including the one at -1.
    void Fill(const T& value) {
        const bool initial = SameValue(value, T{});
        std::fill(cells_.data(), cells_.data() + (initial ? mark_.End() : cells_.size()), value);
        initial ? mark_.Reset() : mark_.TouchAll(cells_.size());
    }
    // Rows 0 .. capacity - 1; the slot at -1 is not a row.
    int Rows() const { return static_cast<int>(cells_.size()) - 1; }
    T* Row(int i) {
        mark_.TouchAll(cells_.size());
        return cells_.data() + i + 1;
    }
    const T* Row(int i) const { return cells_.data() + i + 1; }
    // Slots -1 .. WrittenRows() - 2 may differ from T{}; the slots after them hold it.
    int WrittenRows() const { return static_cast<int>(mark_.End()); }
    static T Initial() { return T{}; }
    // Slots first .. first + count - 1 (first may be -1) for writing, counted as written.
    T* RowsForWrite(int first, int count) {
        mark_.Touch(static_cast<std::size_t>(first + 1) + static_cast<std::size_t>(count));
        return cells_.data() + first + 1;
    }
    static constexpr int kSlices = 1;
    T* Slice(int, int i) { return Row(i); }
    const T* Slice(int, int i) const { return Row(i); }

private:
    TableTag tag_;
    CellStorage<T> cells_;
    WriteMark mark_;
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
    static constexpr int kSlices = 1;
    T* Slice(int, int i) { return Row(i); }
    const T* Slice(int, int i) const { return Row(i); }

private:
    TableTag tag_;
    CellStorage<T> cells_;
    int rows_;
};

// Per-corner data stored corner by corner: corner k of every row lies together, so a model of
// triangles touches only the first three of the sixteen corner columns, not every row's sixteen
// slots. Whole-row work goes through the slices: slice k holds corner k of each row.
template <class T, int Columns> class CornerColumns {
public:
    using Element = T;
    static constexpr int kPerRow = Columns;
    static constexpr int kSlices = Columns;
    explicit CornerColumns(int rows)
        : tag_{kTableMarker, rows}, cells_(static_cast<std::size_t>(rows) * Columns, T{}), rows_(rows) {}
    T& operator()(int row, int col) {
        assert(row >= 0 && row < rows_ && col >= 0 && col < Columns);
        return cells_[Index(row, col)];
    }
    const T& operator()(int row, int col) const {
        assert(row >= 0 && row < rows_ && col >= 0 && col < Columns);
        return cells_[Index(row, col)];
    }
    int Rows() const { return rows_; }
    // Corner k of row i; the next rows' corner k follow it.
    T* Slice(int k, int i) { return cells_.data() + Index(i, k); }
    const T* Slice(int k, int i) const { return cells_.data() + Index(i, k); }

private:
    std::size_t Index(int row, int col) const {
        return static_cast<std::size_t>(col) * static_cast<std::size_t>(rows_) + static_cast<std::size_t>(row);
    }
    TableTag tag_;
    CellStorage<T> cells_;
    int rows_;
};

} // namespace zv::model
