#include "waypoints/WaypointOps.h"

#include "edit/History.h"
#include "tests/support/ModelBuilder.h"
#include "tests/support/RecordingUi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <numeric>
#include <random>
#include <utility>
#include <vector>

namespace zv::waypoints {
namespace {

using edit::Change;
using edit::kNoChange;

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}
std::int16_t I16(int v) {
    return static_cast<std::int16_t>(v);
}

// n waypoints linked as a ring in a shuffled order, each with distinct widths.
void MakeRing(WaypointTables& t, int n, std::mt19937& rng) {
    std::vector<int> order(At(n));
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), rng);
    t.WpCount = I16(n);
    for (int k = 0; k < n; ++k) {
        WaypointRec& w = t.Wp[At(order[At(k)])];
        w.ptrs = {I16(order[At((k + n - 1) % n)]), I16(order[At((k + 1) % n)]), -1, kNoPitSlot};
        w.pos = {static_cast<float>(k), 0, 0};
        w.width = {1, 2, 3, 4};
    }
}

::testing::AssertionResult IsRing(const WaypointTables& t) {
    for (int i = 0; i < t.WpCount; ++i) {
        const auto& p = t.Wp[At(i)].ptrs;
        if (!IsWaypoint(t, p[0]) || !IsWaypoint(t, p[1]) || t.Wp[At(p[0])].ptrs[1] != i ||
            t.Wp[At(p[1])].ptrs[0] != i) {
            return ::testing::AssertionFailure() << "ring broken at " << i << " of " << t.WpCount;
        }
    }
    return ::testing::AssertionSuccess();
}

// Deleting waypoint d the plain way: shift the records down, renumber every link in every
// record, redirect links to d through d's own previous / next link, drop branches to it.
void DeleteOneLiterally(WaypointTables& t, int d) {
    const WaypointRec dead = t.Wp[At(d)];
    const auto shift = [d](int v) { return v == d ? -1 : v > d ? v - 1 : v; };
    for (int i = 0; i < t.WpCount; ++i) {
        auto& p = t.Wp[At(i)].ptrs;
        p[0] = I16(p[0] == d ? shift(dead.ptrs[0]) : shift(p[0]));
        p[1] = I16(p[1] == d ? shift(dead.ptrs[1]) : shift(p[1]));
        p[2] = I16(shift(p[2]));
    }
    for (int i = d; i + 1 < t.WpCount; ++i) {
        t.Wp[At(i)] = t.Wp[At(i + 1)];
        t.WpSel[At(i)] = t.WpSel[At(i + 1)];
    }
    t.WpSel[At(t.WpCount - 1)] = 0;
    --t.WpCount;
}

void ExpectSameInUse(const WaypointTables& a, const WaypointTables& b) {
    ASSERT_EQ(a.WpCount, b.WpCount);
    EXPECT_EQ(a.CurWp, b.CurWp);
    EXPECT_EQ(a.WpSel, b.WpSel);
    for (int i = 0; i < a.WpCount; ++i) {
        ASSERT_EQ(a.Wp[At(i)], b.Wp[At(i)]) << "waypoint " << i;
    }
}

TEST(WaypointOps, RandomInsertsAndDeletesKeepTheRing) {
    std::mt19937 rng(7);
    edit::Recorder rec;
    for (int trial = 0; trial < 40; ++trial) {
        auto t = std::make_unique<WaypointTables>();
        MakeRing(*t, 1 + trial % 9, rng);
        for (int step = 0; step < 60; ++step) {
            t->CurWp = I16(std::uniform_int_distribution<int>(0, t->WpCount - 1)(rng));
            const bool insert = t->WpCount < 2 || rng() % 2 == 0;
            const WaypointRec before = t->Wp[At(t->CurWp)];
            ASSERT_TRUE((insert ? InsertWaypoint(*t, rec) : DeleteCurrentWaypoint(*t, rec)).Any());
            ASSERT_TRUE(IsRing(*t)) << (insert ? "insert" : "delete");
            if (insert) {
                EXPECT_EQ(t->Wp[At(t->CurWp)].pos, before.pos);
                EXPECT_EQ(std::count(t->WpSel.begin(), t->WpSel.end(), 1), 1);
                EXPECT_EQ(t->WpSel[At(t->CurWp)], 1);
            }
        }
    }
}

// The one-pass deletion of a selection against deleting one waypoint at a time, on arbitrary
// links: rings, chains, self links, links past the table, runs and rings of deleted waypoints.
TEST(WaypointOps, DeleteSelectedEqualsOneAtATime) {
    std::mt19937 rng(11);
    edit::Recorder rec;
    auto t = std::make_unique<WaypointTables>();
    auto expected = std::make_unique<WaypointTables>();
    for (int trial = 0; trial < 250; ++trial) {
        *t = WaypointTables{};
        const int n = 1 + trial % 25;
        t->WpCount = I16(n);
        t->CurWp = I16(std::uniform_int_distribution<int>(0, n - 1)(rng));
        std::uniform_int_distribution<int> link(-2, n + 2);
        for (int i = 0; i < n; ++i) {
            t->Wp[At(i)].ptrs = {I16(link(rng)), I16(link(rng)), I16(link(rng)), I16(link(rng))};
            t->Wp[At(i)].pos[0] = static_cast<float>(i);
            t->WpSel[At(i)] = rng() % 3 == 0 ? 1 : 0;
        }
        if (trial % 5 == 0) {
            MakeRing(*t, n, rng);
        }
        *expected = *t;
        for (int i = 0; i < expected->WpCount;) {
            expected->WpSel[At(i)] != 0 ? DeleteOneLiterally(*expected, i) : void(++i);
        }
        expected->CurWp = I16(std::clamp<int>(expected->CurWp, 0, std::max(expected->WpCount - 1, 0)));

        const bool any = std::count(t->WpSel.begin(), t->WpSel.end(), 1) > 0;
        EXPECT_EQ(DeleteSelectedWaypoints(*t, rec).Any(), any);
        ExpectSameInUse(*t, *expected);
        if (trial % 5 == 0 && t->WpCount > 0) {
            EXPECT_TRUE(IsRing(*t));
        }
    }
}

TEST(WaypointOps, InsertAndDeleteAtTheEndsOfARing) {
    edit::Recorder rec;
    auto t = std::make_unique<WaypointTables>();
    std::mt19937 rng(3);
    MakeRing(*t, 5, rng);
    for (int i = 0; i < 5; ++i) { // in index order, so the expectations read plainly
        t->Wp[At(i)].ptrs = {I16((i + 4) % 5), I16((i + 1) % 5), -1, kNoPitSlot};
    }
    t->Wp[2].ptrs[2] = 4;
    t->CurWp = 4;
    ASSERT_EQ(InsertWaypoint(*t, rec), Change(Change::Waypoints | Change::Selection | Change::Counts));
    EXPECT_EQ(t->CurWp, 5);
    EXPECT_EQ(t->Wp[5].ptrs, (std::array<std::int16_t, 4>{4, 0, -1, kNoPitSlot}));
    EXPECT_EQ(t->Wp[0].ptrs[0], 5);
    EXPECT_EQ(t->Wp[2].ptrs[2], 4);

    t->CurWp = 0;
    ASSERT_TRUE(DeleteCurrentWaypoint(*t, rec).Any());
    EXPECT_EQ(t->WpCount, 5);
    EXPECT_EQ(t->Wp[0].ptrs[0], 4); // the new first points at the new last
    EXPECT_EQ(t->Wp[4].ptrs[1], 0);
    EXPECT_EQ(t->Wp[1].ptrs[2], 3);
    EXPECT_EQ(t->CurWp, 0);

    t->CurWp = 3;
    DeleteCurrentWaypoint(*t, rec); // the branch target
    EXPECT_EQ(t->Wp[1].ptrs[2], -1);
    t->CurWp = 3; // now the last
    DeleteCurrentWaypoint(*t, rec);
    EXPECT_EQ(t->CurWp, 2);
    EXPECT_TRUE(IsRing(*t));

    t->WpCount = kWaypointCapacity;
    EXPECT_EQ(InsertWaypoint(*t, rec), kNoChange);
    t->WpCount = 0;
    EXPECT_EQ(InsertWaypoint(*t, rec), kNoChange);
    EXPECT_EQ(DeleteCurrentWaypoint(*t, rec), kNoChange);
    EXPECT_EQ(NextWaypoint(*t), kNoChange);
}

TEST(WaypointOps, ReverseAndMakeStraight) {
    edit::Recorder rec;
    auto t = std::make_unique<WaypointTables>();
    std::mt19937 rng(5);
    MakeRing(*t, 5, rng);
    t->CurWp = 0;
    EXPECT_EQ(ReverseWaypoints(*t, rec), kNoChange);
    t->CurWp = 4;
    const WaypointRec first = t->Wp[0];
    ASSERT_TRUE(ReverseWaypoints(*t, rec).Any());
    EXPECT_EQ(t->Wp[4].pos, first.pos);
    EXPECT_EQ(t->Wp[4].width, (std::array<float, 4>{2, 1, 4, 3}));
    EXPECT_TRUE(IsRing(*t));
    EXPECT_EQ(t->Wp[0].ptrs[0], 4);

    test::RecordingUi ui;
    EXPECT_EQ(MakeStraight(ui, *t, rec), kNoChange);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Info:");
    EXPECT_EQ(ui.Messages[0].Text, "No waypoints selected !");
    t->Wp[0].pos = {0, 4, -8};
    t->Wp[4].pos = {8, 0, 8};
    t->WpSel[0] = t->WpSel[4] = 1;
    ASSERT_TRUE(MakeStraight(ui, *t, rec).Any());
    EXPECT_EQ(t->Wp[1].pos, (std::array<float, 3>{2, 3, -4}));
    EXPECT_EQ(t->Wp[2].pos, (std::array<float, 3>{4, 2, 0}));
    EXPECT_EQ(t->Wp[3].pos, (std::array<float, 3>{6, 1, 4}));
    t->WpSel[4] = 0;
    EXPECT_EQ(MakeStraight(ui, *t, rec), kNoChange);
}

TEST(WaypointOps, PitLaneAnswersAreClampedAndCapacityChecked) {
    test::RecordingUi ui;
    const auto ask = [&ui](std::optional<std::string> length, std::optional<std::string> slots) {
        ui.Inputs = {std::move(length), std::move(slots)};
        return AskPitLane(ui);
    };
    const std::optional<PitLane> a = ask("10", "1");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->Length, 240);
    EXPECT_EQ(a->Slots, 2);
    const std::optional<PitLane> b = ask("5000", "40");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->Length, 2000);
    EXPECT_EQ(b->Slots, 32);
    EXPECT_EQ(ask("abc", "12.5")->Length, 240);
    EXPECT_EQ(ask("300", "12.5")->Slots, 12);
    EXPECT_FALSE(ask("", "3"));
    EXPECT_FALSE(ask("300", std::nullopt));
    ASSERT_EQ(ui.Prompts.back(), "Enter number of Slots");

    edit::Recorder rec;
    auto t = std::make_unique<WaypointTables>();
    std::mt19937 rng(9);
    MakeRing(*t, kWaypointCapacity - 4 * 24 + 1, rng);
    const auto before = std::make_unique<WaypointTables>(*t);
    EXPECT_EQ(AddPitLane(ui, *t, rec, {240, 24}), kNoChange);
    EXPECT_EQ(ui.Messages.back().Title, "Add Pitlane Slots");
    EXPECT_EQ(*t, *before);
    t->WpCount = I16(t->WpCount - 1);
    EXPECT_TRUE(AddPitLane(ui, *t, rec, {240, 24}).Any());
    EXPECT_EQ(t->WpCount, kWaypointCapacity);
}

TEST(WaypointOps, PitLaneLayout) {
    test::RecordingUi ui;
    edit::Recorder rec;
    auto t = std::make_unique<WaypointTables>();
    std::mt19937 rng(1);
    MakeRing(*t, 3, rng);
    t->Wp[2].pos = {100, 5, 50};
    t->WpSel[0] = 1;
    ASSERT_TRUE(AddPitLane(ui, *t, rec, {80, 2}).Any()); // d 40, q 10, x0 94
    ASSERT_EQ(t->WpCount, 11);
    EXPECT_EQ(t->SlotCount, 2);
    EXPECT_EQ(t->WpSel[0], 0);
    EXPECT_EQ(std::count(t->WpSel.begin(), t->WpSel.end(), 1), 8);
    EXPECT_EQ(t->Wp[2].ptrs[1], 3);
    EXPECT_EQ(t->Wp[1].ptrs[2], 6);
    EXPECT_EQ(t->Wp[1].ptrs[3], 1);
    EXPECT_EQ(t->Wp[3].ptrs, (std::array<std::int16_t, 4>{2, 4, -1, kNoPitSlot}));
    EXPECT_EQ(t->Wp[5].ptrs, (std::array<std::int16_t, 4>{4, 7, 10, 0}));
    EXPECT_EQ(t->Wp[6].pos, (std::array<float, 3>{64, 5, 54}));
    EXPECT_EQ(t->Wp[9].ptrs, (std::array<std::int16_t, 4>{8, -1, -1, -1})); // last C: past the end
    EXPECT_EQ(t->Wp[10].ptrs, (std::array<std::int16_t, 4>{5, -1, -1, kNoPitSlot}));
    EXPECT_EQ(t->Slots[1].AVPitPos, (std::array<float, 3>{-62, 0, -54}));
    EXPECT_EQ(t->Slots[1].AVPos, (std::array<float, 3>{-63, 0, -30}));
    EXPECT_EQ(t->Slots[0].AVPos, (std::array<float, 3>{-44, 0, -34})); // k = 1: half a step on
    EXPECT_EQ(t->SlotSel[0] + t->SlotSel[1] + t->PitSel[0] + t->PitSel[1], 4);
}

// ---- Nearest polygon ----------------------------------------------------------------------------

// Polygon centres on a coarse grid, so equal distances are common; a few polygons with a corner
// that is not a vertex.
void RandomTrack(model::ModelStore& m, std::mt19937& rng, int polygons) {
    test::StartModel(m);
    std::uniform_int_distribution<int> coord(-20, 20);
    for (int v = 0; v < 3 * polygons; ++v) {
        test::AddVertex(m, static_cast<float>(coord(rng)), static_cast<float>(coord(rng)) * 0.25f,
                        static_cast<float>(coord(rng)));
    }
    for (int p = 0; p < polygons; ++p) {
        const int broken = rng() % 17 == 0 ? 5 * polygons : 3 * p + 2;
        test::AddPolygon(m, {{3 * p}, {3 * p + 1}, {broken}});
    }
    m.PartNodes.resize(3);
    for (int g = 1; g <= 3; ++g) {
        m.GroupName[g] = "part" + std::to_string(g);
        for (int i = 1; i <= 40; ++i) {
            m.GroupPoly(g, i) = static_cast<std::int32_t>(rng() % static_cast<unsigned>(polygons));
        }
        m.GroupSize[g] = 40;
    }
}

// The plain scan: every polygon in index order, the first at the least distance wins.
int NearestByScan(const model::ModelStore& m, float x, float z, float& y) {
    double best = 999999999;
    int found = -1;
    for (int p = 0; p < m.PolyCount; ++p) {
        bool sound = true;
        float lo[3] = {1e30f, 1e30f, 1e30f};
        float hi[3] = {-1e30f, -1e30f, -1e30f};
        for (int k = 0; k < m.PolyVCount[p]; ++k) {
            const int v = m.PolyVert(p, k);
            if (v < 0 || v >= m.VertCount) {
                sound = false;
                break;
            }
            const float c[3] = {m.Vert[v].X, m.Vert[v].Y, m.Vert[v].Z};
            for (int a = 0; a < 3; ++a) {
                lo[a] = std::min(lo[a], c[a]);
                hi[a] = std::max(hi[a], c[a]);
            }
        }
        const auto mid = [&](int a) { return static_cast<float>((double{lo[a]} + double{hi[a]}) * 0.5); };
        const double dx = double{mid(0)} - x;
        const double dz = double{mid(2)} - z;
        const double d = std::sqrt(dx * dx + dz * dz);
        if (sound && d < best) {
            best = d;
            found = p;
            y = mid(1);
        }
    }
    return found;
}

TEST(WaypointOps, AdjustHeightAndTrackPartsEqualTheScan) {
    std::mt19937 rng(21);
    edit::Recorder rec;
    auto m = std::make_unique<model::ModelStore>();
    auto t = std::make_unique<WaypointTables>();
    EXPECT_EQ(AdjustHeight(*m, *t, rec), kNoChange); // no model
    for (int trial = 0; trial < 4; ++trial) {
        *m = model::ModelStore{};
        RandomTrack(*m, rng, 50 + 400 * trial);
        *t = WaypointTables{};
        t->WpCount = 300;
        t->SlotCount = 10;
        std::uniform_real_distribution<float> pos(-30, 30);
        const auto q = [&] { return trial % 2 == 0 ? std::round(pos(rng)) : pos(rng); };
        for (int i = 0; i < t->WpCount; ++i) {
            t->Wp[At(i)].pos = {q(), 99, q()};
            t->Wp[At(i)].ins = "KEEP";
            t->WpSel[At(i)] = i % 4 != 0 ? 1 : 0;
        }
        for (int s = 0; s < 10; ++s) {
            t->Slots[At(s)].AVPos = {q(), 99, q()};
            t->Slots[At(s)].AVPitPos = {q(), 99, q()};
            t->SlotSel[At(s)] = s % 2 == 0 ? 1 : 0;
            t->PitSel[At(s)] = s % 3 == 0 ? 1 : 0;
        }
        auto expected = std::make_unique<WaypointTables>(*t);
        for (int i = 0; i < t->WpCount; ++i) {
            WaypointRec& w = expected->Wp[At(i)];
            float y = 0;
            const int p = NearestByScan(*m, w.pos[0], w.pos[2], y);
            w.pos[1] = p >= 0 && expected->WpSel[At(i)] != 0 ? y : w.pos[1];
            for (int g = 1; g <= 3 && p >= 0; ++g) {
                const auto* members = &m->GroupPoly(g, 1);
                if (std::find(members, members + 40, p) != members + 40) {
                    w.ins = "PART" + std::to_string(g);
                    break;
                }
            }
        }
        for (int s = 0; s < 10; ++s) {
            SlotRec& r = expected->Slots[At(s)];
            float y = 0;
            if (t->SlotSel[At(s)] && NearestByScan(*m, -r.AVPos[0], -r.AVPos[2], y) >= 0) {
                r.AVPos[1] = 0.5f - y;
            }
            if (t->PitSel[At(s)] && NearestByScan(*m, -r.AVPitPos[0], -r.AVPitPos[2], y) >= 0) {
                r.AVPitPos[1] = 0.6f - y;
            }
        }
        ASSERT_TRUE(AdjustHeight(*m, *t, rec).Any());
        ASSERT_TRUE(CalcTrackParts(*m, *t, rec).Any());
        ASSERT_EQ(*t, *expected) << "trial " << trial;
        EXPECT_EQ(CalcTrackParts(*m, *t, rec), kNoChange); // nothing left to do
    }
}

// ---- Undo and the waypoint window ---------------------------------------------------------------

TEST(WaypointOps, EveryOperationUndoesExactly) {
    test::RecordingUi ui;
    auto m = std::make_unique<model::ModelStore>();
    std::mt19937 rng(4);
    RandomTrack(*m, rng, 200);
    const WaypointDisplay shown;
    using Op = std::function<Change(WaypointTables&, edit::Recorder&)>;
    const std::vector<std::pair<const char*, Op>> ops = {
        {"insert", [](auto& t, auto& r) { return InsertWaypoint(t, r); }},
        {"delete", [](auto& t, auto& r) { return DeleteCurrentWaypoint(t, r); }},
        {"delete selected", [](auto& t, auto& r) { return DeleteSelectedWaypoints(t, r); }},
        {"reverse", [](auto& t, auto& r) { return ReverseWaypoints(t, r); }},
        {"straight", [&](auto& t, auto& r) { return MakeStraight(ui, t, r); }},
        {"height", [&](auto& t, auto& r) { return AdjustHeight(*m, t, r); }},
        {"parts", [&](auto& t, auto& r) { return CalcTrackParts(*m, t, r); }},
        {"pit lane",
         [&](auto& t, auto& r) {
             return AddPitLane(ui, t, r, {240, 5});
         }},
        {"translate", [&](auto& t, auto& r) { return TranslateWaypoints(t, shown, r, 1, 2, 3); }},
        {"scale", [&](auto& t, auto& r) { return ScaleWaypoints(t, shown, r, 1, 2); }},
        {"field", [](auto& t, auto& r) { return SetCurrentField(t, r, WpField::Key, 7); }},
        {"text", [](auto& t, auto& r) { return SetCurrentText(t, r, WpField::Depth, "8080"); }},
        {"width", [](auto& t, auto& r) { return SetWidthFromDistance(t, r, 2, 9.5f); }},
        {"fill", [](auto& t, auto& r) { return FillSelected(t, r, WpField::Score2); }},
        {"mirror", [](auto& t, auto& r) { return MirrorWaypoints(t, r, 0); }},
        {"lateral", [](auto& t, auto& r) { return CopyToLateralStep(t, r); }},
        {"corridor", [](auto& t, auto& r) { return CalcCorridorWidth(t, r); }},
    };
    auto t = std::make_unique<WaypointTables>();
    MakeRing(*t, 30, rng);
    for (int i = 0; i < 30; ++i) {
        t->Wp[At(i)].pos = {static_cast<float>(i % 7), 1, static_cast<float>(i % 5)};
        t->Wp[At(i)].score[1] = static_cast<float>(i);
        t->WpSel[At(i)] = i % 3 == 0 ? 1 : 0;
    }
    t->CurWp = 4;
    t->SlotCount = 2;
    t->SlotSel[1] = t->PitSel[0] = 1;
    const auto before = std::make_unique<WaypointTables>(*t);
    for (const auto& [name, op] : ops) {
        edit::History h;
        edit::Recorder rec = h.Begin(*m, name);
        const Change c = op(*t, rec);
        h.End(c);
        ASSERT_TRUE(c.Has(Change::Waypoints)) << name;
        ASSERT_NE(*t, *before) << name;
        const auto after = std::make_unique<WaypointTables>(*t);
        h.Undo(*m);
        ASSERT_EQ(*t, *before) << name;
        h.Redo(*m);
        ASSERT_EQ(*t, *after) << name;
        h.Undo(*m);
    }
}

TEST(WaypointOps, BrowsingTheFieldsChangesNothing) {
    auto t = std::make_unique<WaypointTables>();
    edit::Recorder rec;
    EXPECT_EQ(SetCurrentField(*t, rec, WpField::X, 1), kNoChange); // no current waypoint
    std::mt19937 rng(2);
    MakeRing(*t, 3, rng);
    t->CurWp = 1;
    WaypointRec& w = t->Wp[1];
    w.ori = {0.1f, -0.0f};
    w.opt = {1.0f / 3, 2, 3};
    w.key = -5;
    w.depth = "80A0";
    const auto before = std::make_unique<WaypointTables>(*t);
    for (int f = 0; f < kWpFieldCount; ++f) {
        const auto field = static_cast<WpField>(f);
        EXPECT_EQ(SetCurrentField(*t, rec, field, FieldValue(w, field)), kNoChange) << f;
    }
    EXPECT_EQ(SetCurrentText(*t, rec, WpField::Depth, "80A0"), kNoChange);
    EXPECT_EQ(SetCurrentText(*t, rec, WpField::X, "1"), kNoChange);
    EXPECT_EQ(*t, *before);

    EXPECT_TRUE(SetCurrentField(*t, rec, WpField::Elevation, 0.0).Any()); // -0 to 0 is a change
    EXPECT_EQ(SetCurrentField(*t, rec, WpField::Marks, 40000), kNoChange);
    EXPECT_TRUE(SetCurrentField(*t, rec, WpField::Marks, 2.5).Any());
    EXPECT_EQ(w.marks, 2);
    EXPECT_TRUE(SetCurrentField(*t, rec, WpField::Marks, -3.5).Any());
    EXPECT_EQ(w.marks, -4);
}

} // namespace
} // namespace zv::waypoints
