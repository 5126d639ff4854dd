// The column list against the store itself, and the row operations over every column.

#include "model/Columns.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <type_traits>
#include <vector>

namespace zv::model {
namespace {

template <class Table> std::size_t RowSize() {
    return sizeof(typename Table::Element) * static_cast<std::size_t>(Table::kPerRow);
}

std::size_t OffsetIn(const ModelStore& m, const void* member) {
    return static_cast<std::size_t>(static_cast<const unsigned char*>(member) -
                                    reinterpret_cast<const unsigned char*>(&m));
}

// Offsets of every table inside the store whose tag says it has a row per vertex or polygon.
std::set<std::size_t> RowTablesFound(const ModelStore& m) {
    std::set<std::size_t> found;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&m);
    for (std::size_t at = 0; at + sizeof(TableTag) <= sizeof(ModelStore); at += 4) {
        TableTag tag;
        std::memcpy(&tag, bytes + at, sizeof tag);
        if (tag.Marker == kTableMarker && (tag.Rows == kVertexCapacity || tag.Rows == kPolygonCapacity)) {
            found.insert(at);
        }
    }
    return found;
}

TEST(ColumnsTest, EveryPerVertexAndPerPolygonTableIsInTheColumnList) {
    const auto m = std::make_unique<ModelStore>();
    std::set<std::size_t> listed;
    const auto note = [&](const auto& table) { listed.insert(OffsetIn(*m, &table)); };
    ForEachVertexColumn(*m, note);
    ForEachPolygonColumn(*m, note);
    // The normal work tables are filled afresh by whoever needs them and are not part of a
    // polygon: rows never move with them, and the history does not keep them.
    for (const void* work : {static_cast<const void*>(&m->NrmX), static_cast<const void*>(&m->NrmY),
                             static_cast<const void*>(&m->NrmZ), static_cast<const void*>(&m->NrmIndex)}) {
        listed.insert(OffsetIn(*m, work));
    }
    const std::set<std::size_t> found = RowTablesFound(*m);
    EXPECT_EQ(found.size(), listed.size());
    EXPECT_EQ(found, listed) << "a table with a row per vertex or polygon is missing from the column list";
}

// Fills row i of every column of one kind with bytes that depend on the column, the row and
// salt, so that any two of them differ.
template <class Each> void FillRow(ModelStore& m, Each each, int i, unsigned salt) {
    unsigned column = 0;
    each(m, [&](auto& table) {
        using Table = std::remove_cvref_t<decltype(table)>;
        const std::size_t size = RowSize<Table>() / Table::kSlices;
        for (int s = 0; s < Table::kSlices; ++s) {
            auto* bytes = reinterpret_cast<unsigned char*>(table.Slice(s, i));
            for (std::size_t b = 0; b < size; ++b) {
                bytes[b] = static_cast<unsigned char>(salt * 31u + column * 7u + static_cast<unsigned>(i) * 3u +
                                                      static_cast<unsigned>(s) * 5u + b + 1u);
            }
        }
        ++column;
    });
}

// Row i of every column of one kind, one after the other.
template <class Each> std::vector<unsigned char> RowBytes(const ModelStore& m, Each each, int i) {
    std::vector<unsigned char> out;
    each(m, [&](const auto& table) {
        using Table = std::remove_cvref_t<decltype(table)>;
        for (int s = 0; s < Table::kSlices; ++s) {
            const auto* bytes = reinterpret_cast<const unsigned char*>(table.Slice(s, i));
            out.insert(out.end(), bytes, bytes + RowSize<Table>() / Table::kSlices);
        }
    });
    return out;
}

const auto kVertices = [](auto& m, auto&& f) { ForEachVertexColumn(m, f); };
const auto kPolygons = [](auto& m, auto&& f) { ForEachPolygonColumn(m, f); };

class ColumnRowsTest : public ::testing::Test {
protected:
    // Rows 0 .. 9 of both kinds filled with salt s and a copy of what each holds.
    void Fill(unsigned s) {
        for (int i = 0; i < 10; ++i) {
            FillRow(*m, kVertices, i, s);
            FillRow(*m, kPolygons, i, s);
        }
    }
    std::vector<unsigned char> Vertex(int i) const { return RowBytes(*m, kVertices, i); }
    std::vector<unsigned char> Polygon(int i) const { return RowBytes(*m, kPolygons, i); }

    std::unique_ptr<ModelStore> m = std::make_unique<ModelStore>();
};

TEST_F(ColumnRowsTest, CopyAndMoveCarryEveryColumn) {
    Fill(1);
    const auto v2 = Vertex(2), p2 = Polygon(2), v3 = Vertex(3), p3 = Polygon(3), v4 = Vertex(4),
               p4 = Polygon(4);
    CopyVertexRow(*m, 2, 8);
    CopyPolygonRow(*m, 2, 8);
    EXPECT_EQ(Vertex(8), v2);
    EXPECT_EQ(Polygon(8), p2);

    // Overlapping moves, both ways.
    MoveVertexRows(*m, 2, 3, 3);
    MovePolygonRows(*m, 2, 3, 3);
    EXPECT_EQ(Vertex(3), v2);
    EXPECT_EQ(Vertex(5), v4);
    EXPECT_EQ(Polygon(4), p3);
    EXPECT_EQ(Polygon(5), p4);
    MoveVertexRows(*m, 3, 2, 3);
    MovePolygonRows(*m, 3, 2, 3);
    EXPECT_EQ(Vertex(2), v2);
    EXPECT_EQ(Polygon(4), p4);
}

TEST_F(ColumnRowsTest, CaptureAndSwapRoundTripEveryColumn) {
    Fill(1);
    std::vector<std::vector<unsigned char>> before;
    for (int i = 0; i < 10; ++i) {
        before.push_back(Vertex(i));
        before.push_back(Polygon(i));
    }
    RowBlock vertices = CaptureVertexRows(*m, 3, 4);
    RowBlock polygons = CapturePolygonRows(*m, 3, 4);
    EXPECT_EQ(vertices.Size(), 4 * Vertex(0).size());
    Fill(2);
    const auto after5 = Polygon(5);
    SwapVertexRows(*m, vertices);
    SwapPolygonRows(*m, polygons);
    for (int i = 0; i < 10; ++i) {
        const bool inBlock = i >= 3 && i < 7;
        EXPECT_EQ(Vertex(i) == before[static_cast<std::size_t>(2 * i)], inBlock) << "vertex row " << i;
        EXPECT_EQ(Polygon(i) == before[static_cast<std::size_t>(2 * i + 1)], inBlock) << "polygon row " << i;
    }
    SwapPolygonRows(*m, polygons);
    EXPECT_EQ(Polygon(5), after5) << "a second swap undoes the first";
}

TEST_F(ColumnRowsTest, TheCornerCaptureHoldsTheCornerColumnOnly) {
    Fill(1);
    const auto corners = [&](const auto& table) {
        std::vector<std::remove_cvref_t<decltype(table(5, 0))>> out;
        for (int k = 0; k < kMaxCorners; ++k) {
            out.push_back(table(5, k));
        }
        return out;
    };
    const std::vector<std::int32_t> vertices = corners(m->PolyVert);
    RowBlock block = CaptureCornerVertices(*m, 0, 10);
    Fill(2);
    const std::vector<float> u = corners(m->PolyTU);
    const std::int32_t count = m->PolyVCount[5];
    SwapCornerVertices(*m, block);
    EXPECT_EQ(corners(m->PolyVert), vertices);
    EXPECT_EQ(corners(m->PolyTU), u);
    EXPECT_EQ(m->PolyVCount[5], count);
}

TEST_F(ColumnRowsTest, ClearingARowLeavesNothingOfWhatWasThere) {
    Fill(1);
    ClearVertexRow(*m, 4);
    ClearPolygonRow(*m, 4);
    const auto v = Vertex(4), p = Polygon(4);
    Fill(2);
    ClearVertexRow(*m, 4);
    ClearPolygonRow(*m, 4);
    EXPECT_EQ(Vertex(4), v);
    EXPECT_EQ(Polygon(4), p);
}

} // namespace
} // namespace zv::model
