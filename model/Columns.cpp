#include "model/Columns.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace zv::model {
namespace {

template <class Table> constexpr std::size_t RowSize() {
    using T = typename Table::Element;
    static_assert(std::is_trivially_copyable_v<T>, "row columns are copied as bytes");
    return sizeof(T) * static_cast<std::size_t>(Table::kPerRow);
}

template <class Store, class Each> std::size_t RowBytes(Store& m, Each each) {
    std::size_t bytes = 0;
    each(m, [&](auto& table) { bytes += RowSize<std::remove_cvref_t<decltype(table)>>(); });
    return bytes;
}

// The part of [first, first + count) inside the table's rows.
template <class Table> void Clamp(const Table& t, int& first, int& count) {
    first = std::clamp(first, 0, t.Rows());
    count = std::clamp(count, 0, t.Rows() - first);
}

// Bytes of one row within one slice of the table.
template <class Table> constexpr std::size_t SliceRowSize() {
    return RowSize<Table>() / static_cast<std::size_t>(Table::kSlices);
}

// Calls f(pointer to row i of slice s, bytes per row in a slice) for every slice of the table.
template <class Table, class F> void ForEachSlice(Table& table, int i, F&& f) {
    using T = std::remove_cvref_t<Table>;
    for (int s = 0; s < T::kSlices; ++s) {
        f(table.Slice(s, i), SliceRowSize<T>());
    }
}

template <class Each> RowBlock Capture(const ModelStore& m, int first, int count, Each each) {
    RowBlock b;
    b.First = first;
    b.Count = count;
    each(m, [&](const auto& table) {
        int f = first, c = count;
        Clamp(table, f, c);
        b.First = f;
        b.Count = c;
    });
    std::size_t bytes = 0;
    each(m, [&](const auto& table) {
        bytes += RowSize<std::remove_cvref_t<decltype(table)>>() * static_cast<std::size_t>(b.Count);
    });
    b.Bytes.resize(bytes);
    std::byte* out = b.Bytes.data();
    each(m, [&](const auto& table) {
        ForEachSlice(table, b.First, [&](const auto* rows, std::size_t rowBytes) {
            const std::size_t n = rowBytes * static_cast<std::size_t>(b.Count);
            if (n != 0) {
                std::memcpy(out, rows, n);
            }
            out += n;
        });
    });
    return b;
}

template <class Each> void Swap(ModelStore& m, RowBlock& b, Each each) {
    std::byte* in = b.Bytes.data();
    each(m, [&](auto& table) {
        ForEachSlice(table, b.First, [&](auto* rows, std::size_t rowBytes) {
            const std::size_t n = rowBytes * static_cast<std::size_t>(b.Count);
            auto* bytes = reinterpret_cast<std::byte*>(rows);
            std::swap_ranges(bytes, bytes + n, in);
            in += n;
        });
    });
}

template <class Each> void Copy(ModelStore& m, int from, int to, Each each) {
    each(m, [&](auto& table) {
        using Table = std::remove_cvref_t<decltype(table)>;
        for (int s = 0; s < Table::kSlices; ++s) {
            std::memcpy(table.Slice(s, to), table.Slice(s, from), SliceRowSize<Table>());
        }
    });
}

template <class Each> void Move(ModelStore& m, int from, int to, int count, Each each) {
    if (count <= 0 || from == to) {
        return;
    }
    each(m, [&](auto& table) {
        using Table = std::remove_cvref_t<decltype(table)>;
        for (int s = 0; s < Table::kSlices; ++s) {
            std::memmove(table.Slice(s, to), table.Slice(s, from),
                         SliceRowSize<Table>() * static_cast<std::size_t>(count));
        }
    });
}

// Moves the runs (from, count) of rows down to follow each other from row first. Runs of one
// row are copied with a fixed size, which the compiler turns into a plain load and store.
template <class Each>
void PackRuns(ModelStore& m, int first, const std::vector<std::pair<int, int>>& runs, Each each) {
    each(m, [&](auto& table) {
        using Table = std::remove_cvref_t<decltype(table)>;
        constexpr std::size_t row = SliceRowSize<Table>();
        for (int s = 0; s < Table::kSlices; ++s) {
            auto* base = reinterpret_cast<std::byte*>(table.Slice(s, 0));
            std::size_t at = static_cast<std::size_t>(first) * row;
            for (const auto& [from, count] : runs) {
                const std::size_t bytes = static_cast<std::size_t>(count) * row;
                std::byte* src = base + static_cast<std::size_t>(from) * row;
                if (src != base + at) {
                    if (count == 1) {
                        std::memcpy(base + at, src, row);
                    } else {
                        std::memmove(base + at, src, bytes);
                    }
                }
                at += bytes;
            }
        }
    });
}

const auto kVertexColumns = [](auto& m, auto&& f) { ForEachVertexColumn(m, f); };
const auto kPolygonColumns = [](auto& m, auto&& f) { ForEachPolygonColumn(m, f); };
const auto kCornerVertexColumn = [](auto& m, auto&& f) { f(m.PolyVert); };

} // namespace

std::size_t VertexRowBytes(const ModelStore& m) {
    return RowBytes(m, kVertexColumns);
}

std::size_t PolygonRowBytes(const ModelStore& m) {
    return RowBytes(m, kPolygonColumns);
}

void CopyVertexRow(ModelStore& m, int from, int to) {
    Copy(m, from, to, kVertexColumns);
}

void CopyPolygonRow(ModelStore& m, int from, int to) {
    Copy(m, from, to, kPolygonColumns);
}

void MoveVertexRows(ModelStore& m, int from, int to, int count) {
    Move(m, from, to, count, kVertexColumns);
}

void MovePolygonRows(ModelStore& m, int from, int to, int count) {
    Move(m, from, to, count, kPolygonColumns);
}

int CompactPolygonRows(ModelStore& m, int first, int end, std::span<const std::uint8_t> drop) {
    std::vector<std::pair<int, int>> runs;
    int kept = first;
    for (int i = first; i < end;) {
        if (drop[static_cast<std::size_t>(i)] != 0) {
            ++i;
            continue;
        }
        const int from = i;
        while (i < end && drop[static_cast<std::size_t>(i)] == 0) {
            ++i;
        }
        runs.emplace_back(from, i - from);
        kept += i - from;
    }
    PackRuns(m, first, runs, kPolygonColumns);
    return kept;
}

void ClearVertexRow(ModelStore& m, int i) {
    m.Vert[i] = {};
    m.VertSel[i] = kFalse;
    m.VertFlag[i] = 1;
    m.VertUsed[i] = kFalse;
}

void ClearPolygonRow(ModelStore& m, int p) {
    m.PolyVCount[p] = 3;
    for (int k = 0; k < kMaxCorners; ++k) {
        m.PolyVert(p, k) = 0;
        m.PolyTU(p, k) = 0;
        m.PolyTV(p, k) = 0;
    }
    m.PolyTex[p] = 0;
    m.PolyType[p] = 0;
    m.PolyR[p] = m.PolyG[p] = m.PolyB[p] = m.PolyA[p] = 0;
    m.PolyNX[p] = m.PolyNY[p] = m.PolyNZ[p] = m.PolyD[p] = 0;
    m.PolyCenter[p] = {};
    m.PolySel[p] = kFalse;
    m.PolyFlag[p] = 1;
    m.PolySelEdge[p] = -1;
    m.PolyMark[p] = kFalse;
    m.PolyMark2[p] = kFalse;
}

RowBlock CaptureVertexRows(const ModelStore& m, int first, int count) {
    return Capture(m, first, count, kVertexColumns);
}

RowBlock CapturePolygonRows(const ModelStore& m, int first, int count) {
    return Capture(m, first, count, kPolygonColumns);
}

RowBlock CaptureCornerVertices(const ModelStore& m, int first, int count) {
    return Capture(m, first, count, kCornerVertexColumn);
}

void SwapVertexRows(ModelStore& m, RowBlock& block) {
    Swap(m, block, kVertexColumns);
}

void SwapPolygonRows(ModelStore& m, RowBlock& block) {
    Swap(m, block, kPolygonColumns);
}

void SwapCornerVertices(ModelStore& m, RowBlock& block) {
    Swap(m, block, kCornerVertexColumn);
}

bool CornersAreVertices(const ModelStore& m, std::int32_t p) {
    const int corners = CornerCount(m, p);
    for (int k = 0; k < corners; ++k) {
        if (!IsVertex(m, m.PolyVert(p, k))) {
            return false;
        }
    }
    return true;
}

bool HasSoundCorners(const ModelStore& m, std::int32_t p) {
    return m.PolyVCount[p] >= 3 && m.PolyVCount[p] <= kMaxCorners && CornersAreVertices(m, p);
}

} // namespace zv::model
