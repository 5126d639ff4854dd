#include "model/Tables.h"

#include <gtest/gtest.h>

#include <string>

namespace zv::model {
namespace {

// Clearing a table stops at the furthest row written since the last clear, so every way of
// writing must move that mark; a missed one would leave a stale value behind a clear.
TEST(TablesTest, ClearingReachesEveryRowWrittenByAnyRoute) {
    FlagTable<Bool16> sel(1000);
    sel[-1] = kTrue;
    sel[10] = kTrue;
    sel.Fill(kFalse);
    EXPECT_EQ(sel[-1], kFalse);
    EXPECT_EQ(sel[10], kFalse);

    sel.Row(0)[999] = kTrue; // raw row access may write anywhere
    sel.Fill(kFalse);
    EXPECT_EQ(sel[999], kFalse);

    sel.Fill(kTrue); // a fill with another value covers the whole table
    EXPECT_EQ(sel[999], kTrue);
    EXPECT_EQ(sel[-1], kTrue);
    sel.Fill(kFalse);
    EXPECT_EQ(sel[999], kFalse);
    EXPECT_EQ(sel[500], kFalse);

    Table<float> plain(1000);
    plain.Data()[998] = 2.0f;
    plain.Fill(0.0f);
    EXPECT_EQ(plain[998], 0.0f);
}

TEST(TablesTest, NonZeroInitialValuesHoldInEveryRowAndAfterClearing) {
    Table<std::int16_t> edge(70000, -1);
    EXPECT_EQ(edge[0], -1);
    EXPECT_EQ(edge[69999], -1);
    edge[5] = 2;
    edge.Fill(-1);
    EXPECT_EQ(edge[5], -1);
    edge.Fill(0);
    EXPECT_EQ(edge[69999], 0);
    edge.Fill(-1);
    EXPECT_EQ(edge[69999], -1) << "a table filled with another value must be cleared whole";

    Table<std::string> names(3);
    names[2] = "ROAD";
    names.Fill("");
    EXPECT_EQ(names[2], "");
}

TEST(TablesTest, CopiesAreIndependent) {
    CornerTable<std::int32_t, 4> corners(10);
    corners(9, 3) = 7;
    CornerTable<std::int32_t, 4> copy = corners;
    copy(9, 3) = 8;
    EXPECT_EQ(corners(9, 3), 7);
    EXPECT_EQ(copy(9, 3), 8);
    copy = corners;
    EXPECT_EQ(copy(9, 3), 7);
}

} // namespace
} // namespace zv::model
