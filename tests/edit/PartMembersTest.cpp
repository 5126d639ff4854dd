// Keeping part membership right while polygons are removed and renumbered.

#include "edit/Parts.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace zv::edit {
namespace {

using Members = std::vector<std::int32_t>;

class PartMembersTest : public ::testing::Test {
protected:
    void SetUp() override {
        m->VertCount = 0;
        m->PolyCount = 10;
    }
    // A part listing exactly these polygons, in this order.
    void Part(const Members& members) {
        const int g = m->PartCount() + 1;
        m->PartNodes.push_back({"p" + std::to_string(g), true});
        m->GroupSize[g] = static_cast<std::int32_t>(members.size());
        for (std::size_t i = 0; i < members.size(); ++i) {
            m->GroupPoly(g, static_cast<int>(i) + 1) = members[i];
        }
    }
    Members Of(int g) const {
        Members out;
        for (int i = 1; i <= m->GroupSize[g]; ++i) {
            out.push_back(m->GroupPoly(g, i));
        }
        return out;
    }
    // Deletes polygon q the way a polygon deleter does it, one moved polygon at a time.
    void DeletePolygon(std::int32_t q) {
        RemovePolyFromParts(*m, q);
        for (std::int32_t r = q + 1; r < m->PolyCount; ++r) {
            RenumberPartMembers(*m, r, r - 1);
        }
        --m->PolyCount;
    }
    std::unique_ptr<model::ModelStore> m = std::make_unique<model::ModelStore>();
};

TEST_F(PartMembersTest, RemovingAPolygonFillsItsPlaceWithTheLastMember) {
    Part({1, 4, 7, 9}); // in the middle
    Part({4});          // only member
    Part({2, 3});       // not listed
    Part({5, 4});       // last member
    Part({4, 6, 4});    // listed twice
    RemovePolyFromParts(*m, 4);
    EXPECT_EQ(Of(1), (Members{1, 9, 7}));
    EXPECT_EQ(Of(2), Members{});
    EXPECT_EQ(Of(3), (Members{2, 3}));
    EXPECT_EQ(Of(4), (Members{5}));
    EXPECT_EQ(Of(5), (Members{6}));
    EXPECT_EQ(m->PartCount(), 5); // an emptied part keeps its number
    EXPECT_EQ(m->PartNodes[0].Text, "p1");
}

TEST_F(PartMembersTest, DeletingPolygonsKeepsEveryMemberOnItsPolygon) {
    Part({0, 3, 5, 9});
    Part({3});
    Part({9, 8, 2});
    Part({});
    DeletePolygon(3); // 4..9 move down
    EXPECT_EQ(Of(1), (Members{0, 8, 4}));
    EXPECT_EQ(Of(2), Members{});
    EXPECT_EQ(Of(3), (Members{8, 7, 2}));
    DeletePolygon(8); // the former 9, now the last polygon
    EXPECT_EQ(Of(1), (Members{0, 4}));
    EXPECT_EQ(Of(3), (Members{2, 7}));
    DeletePolygon(0);
    EXPECT_EQ(Of(1), (Members{3}));
    EXPECT_EQ(Of(3), (Members{1, 6}));
    EXPECT_EQ(Of(4), Members{});
    for (int g = 1; g <= m->PartCount(); ++g) {
        for (std::int32_t p : Of(g)) {
            EXPECT_TRUE(p >= 0 && p < m->PolyCount) << "part " << g << " lists " << p;
        }
    }
}

TEST_F(PartMembersTest, OneRemappingGivesWhatDeletingOneByOneGives) {
    const Members first{1, 4, 7, 9, 2};
    const Members second{5, 6};
    const Members third{8, 0, 3};
    Part(first);
    Part(second);
    Part(third);
    // Delete 2, 5 and 6 at once.
    const std::vector<std::int32_t> newIndex{0, 1, -1, 2, 3, -1, -1, 4, 5, 6};
    RemapPartMembers(*m, newIndex);
    const Members remapped[] = {Of(1), Of(2), Of(3)};

    m->PartNodes.clear();
    m->PolyCount = 10;
    Part(first);
    Part(second);
    Part(third);
    DeletePolygon(2);
    DeletePolygon(4); // the former 5
    DeletePolygon(4); // the former 6
    EXPECT_EQ(remapped[0], Of(1));
    EXPECT_EQ(remapped[1], Of(2));
    EXPECT_EQ(remapped[2], Of(3));
    EXPECT_EQ(Of(1), (Members{1, 3, 4, 6}));
}

TEST_F(PartMembersTest, RemappingDropsMembersThatAreNoPolygons) {
    Part({12, 1, -3, 0});
    RemapPartMembers(*m, std::vector<std::int32_t>{5, 6});
    EXPECT_EQ(Of(1), (Members{5, 6}));
}

} // namespace
} // namespace zv::edit
