#include "track/PathOps.h"

#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

namespace zv::track {
namespace {

using edit::Change;
using edit::kNoChange;

PathTable PathOf(const std::vector<Vec3>& pts) {
    PathTable p;
    edit::Recorder none;
    test::RecordingUi ui;
    NewPath(p, none, pts[0][0], pts[0][2]);
    p.Pts[0] = pts[0];
    for (std::size_t i = 1; i < pts.size(); ++i) {
        AppendPathPoint(ui, p, none, pts[i][0], pts[i][2]);
        p.Pts.back()[1] = pts[i][1];
    }
    return p;
}

// A path of n points at the origin, or cut to n points.
void Resize(PathTable& p, int n) {
    const auto size = static_cast<std::size_t>(n);
    p.Pts.resize(size);
    p.SegLen.resize(size);
    p.Heading.resize(size);
    p.Camber.resize(size);
}

bool SameSizes(const PathTable& p) {
    const std::size_t n = p.Pts.size();
    return p.SegLen.size() == n && p.Heading.size() == n && p.Camber.size() == n;
}

// n waypoints in use, waypoint i at (i, i % 3, 2 i), camber i / 10.
std::unique_ptr<waypoints::WaypointTables> Line(int n) {
    auto t = std::make_unique<waypoints::WaypointTables>();
    t->WpCount = static_cast<std::int16_t>(n);
    for (int i = 0; i < n; ++i) {
        const float f = static_cast<float>(i);
        t->Wp[static_cast<std::size_t>(i)].pos = {f, static_cast<float>(i % 3), 2 * f};
        t->Wp[static_cast<std::size_t>(i)].ori = {f / 10, 0};
    }
    return t;
}

TEST(PathOps, HeadingRule) {
    EXPECT_FLOAT_EQ(HeadingDeg(1, 0), 90);
    EXPECT_FLOAT_EQ(HeadingDeg(-1, 0), 270);
    EXPECT_FLOAT_EQ(HeadingDeg(0, -1), 180);
    EXPECT_FLOAT_EQ(HeadingDeg(0, 1), 0);
    EXPECT_FLOAT_EQ(HeadingDeg(0, 0), 0);
    EXPECT_NEAR(HeadingDeg(1, 1), 45, 1e-4);
    EXPECT_NEAR(HeadingDeg(-1, -1), 225, 1e-4);
}

TEST(PathOps, PathFilesReadAndWriteByteForByte) {
    test::RecordingUi ui;
    test::TempDir dir;
    const PathTable three = PathOf({{0, 0, 0}, {10, 0, 0}, {10, 0, 10}});
    const std::string text =
        "number_points=3\r\nPointPos=(0,0,0)\r\nPointPos=(10,0,0)\r\nPointPos=(10,0,10)\r\n";
    EXPECT_EQ(SerializePath(three), text);
    const std::string file = dir.File("three.zvp");
    ASSERT_TRUE(WritePath(ui, three, file));
    EXPECT_EQ(test::ReadText(file), text);
    EXPECT_EQ(SerializePath(PathOf({{-0.25f, 1.00004f, 123.45678f}})),
              "number_points=1\r\nPointPos=(-.25,1,123.4568)\r\n");

    // Opening twice appends; lengths and headings come from the points, camber 0.
    PathTable p;
    edit::Recorder none;
    EXPECT_EQ(OpenPath(ui, none, p, file), Change::Path);
    EXPECT_EQ(OpenPath(ui, none, p, file), Change::Path);
    EXPECT_EQ(MergedText(p), "6 Pathpoints merged");
    ASSERT_TRUE(SameSizes(p));
    EXPECT_EQ(p.Pts[4], (Vec3{10, 0, 0}));
    EXPECT_EQ(p.SegLen, (std::vector<float>{0, 10, 10, std::sqrt(200.0f), 10, 10}));
    EXPECT_EQ(p.Heading[1], 270);
    EXPECT_EQ(p.Heading[2], 180);
    EXPECT_EQ(p.Camber, std::vector<float>(6, 0));
    EXPECT_TRUE(ui.Messages.empty());

    // Any line end; "PointPos=" only at the line start, as written; a broken tuple is (0, 0, 0).
    PathTable q;
    const PathReadResult r = ParsePathFile(
        "PointPos=(1,2,3)\rPointPos=(4,5,6)\n pointPos=(9,9,9)\r\n PointPos=(9,9,9)\nPointPos=(7,8)\n"
        "PointPos=(1e39,1,1)\nnumber_points=9\nPointPos=(-1, 2 ,.5)",
        q);
    EXPECT_TRUE(r.Ok);
    EXPECT_EQ(r.Added, 5);
    EXPECT_EQ(q.Pts, (std::vector<Vec3>{{1, 2, 3}, {4, 5, 6}, {0, 0, 0}, {0, 0, 0}, {-1, 2, 0.5f}}));

    EXPECT_EQ(OpenPath(ui, none, q, dir.File("missing.zvp")), kNoChange);
    EXPECT_FALSE(WritePath(ui, q, dir.Path().string()));
    ASSERT_EQ(ui.Messages.size(), 2u);
    EXPECT_EQ(ui.Messages[0].Title, "Open ZV Path-File");
    EXPECT_EQ(ui.Messages[1].Title, "Save Error");
    EXPECT_EQ(ui.Messages[1].Text, "Can't save Path File");
}

TEST(PathOps, CapacityKeepsWhatFitted) {
    test::RecordingUi ui;
    test::TempDir dir;
    edit::Recorder none;
    PathTable p = PathOf({{0, 0, 0}});
    Resize(p, kPathCapacity - 2);
    const std::string file = dir.Write("four.zvp", std::string("PointPos=(1,1,1)\n").append(51, 'x') +
                                                       "\nPointPos=(2,2,2)\nPointPos=(3,3,3)\n");
    EXPECT_EQ(OpenPath(ui, none, p, file), Change::Path);
    EXPECT_EQ(p.Count(), kPathCapacity);
    EXPECT_EQ(p.Pts.back(), (Vec3{2, 2, 2}));
    EXPECT_TRUE(SameSizes(p));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Open ZV Path-File");
    EXPECT_NE(ui.Messages[0].Text.find("50001"), std::string::npos);

    const PathTable full = p;
    EXPECT_EQ(OpenPath(ui, none, p, file), kNoChange);
    EXPECT_EQ(AppendPathPoint(ui, p, none, 5, 5), kNoChange);
    EXPECT_EQ(ExtendPath(ui, p, none, 100, 0, 8), kNoChange);
    EXPECT_EQ(p, full);
    EXPECT_EQ(ui.Messages.size(), 4u);

    // The track builder adds what fits, then says why it stopped.
    Resize(p, kPathCapacity - 1);
    p.PathEnd = {};
    EXPECT_EQ(ExtendPath(ui, p, none, 100, 0, 8), Change::Path);
    EXPECT_EQ(p.Count(), kPathCapacity);
    EXPECT_EQ(ui.Messages.size(), 5u);
}

TEST(PathOps, TrackBuilderPieces) {
    test::RecordingUi ui;
    edit::Recorder none;
    PathTable p;
    EXPECT_EQ(ExtendPath(ui, p, none, 50, 0, 8), kNoChange); // no path yet
    NewPath(p, none, 2, 0);
    for (const float bad :
         {0.0f, -8.0f, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_EQ(ExtendPath(ui, p, none, 50, 0, bad), kNoChange) << bad;
    }
    EXPECT_EQ(ExtendPath(ui, p, none, 9.9f, 0, 8), kNoChange); // 7.9 from the end: no piece fits
    // d / L = 1.x: one piece; 2.x: still one; 4.x: three, each from the one before.
    const std::vector<std::pair<float, int>> steps = {{10.5f, 1}, {28, 1}, {54, 3}};
    int expected = 1;
    for (const auto& [mx, added] : steps) {
        ASSERT_EQ(ExtendPath(ui, p, none, mx, 0, 8), Change::Path) << mx;
        expected += added;
        ASSERT_EQ(p.Count(), expected) << mx;
    }
    ASSERT_TRUE(SameSizes(p));
    for (int i = 1; i < p.Count(); ++i) {
        EXPECT_NEAR(p.Pts[static_cast<std::size_t>(i)][0], 2 + 8.0f * static_cast<float>(i), 1e-3);
        EXPECT_NEAR(p.Pts[static_cast<std::size_t>(i)][2], 0, 1e-3);
        EXPECT_EQ(p.SegLen[static_cast<std::size_t>(i)], 8);
        EXPECT_NEAR(p.Heading[static_cast<std::size_t>(i)], 270, 1e-3);
    }
    EXPECT_EQ(p.PathEnd, p.Pts.back());
    EXPECT_EQ(p.EndIndex, 5);
    EXPECT_EQ(p.PathLength, 40);
    EXPECT_EQ(BuilderStatus(p), "Points: 6      Length: 40 meters");

    const Vec3 end = p.PathEnd;
    EXPECT_EQ(AppendPathPoint(ui, p, none, end[0], end[2] + 3), Change::Path);
    EXPECT_EQ(p.SegLen.back(), 3);
    EXPECT_EQ(p.Heading.back(), 180);
    EXPECT_EQ(p.PathLength, 43);
    EXPECT_EQ(p.PathEnd, p.Pts.back());
    EXPECT_TRUE(ui.Messages.empty());
}

TEST(PathOps, PathAndWaypointsConvertBothWays) {
    test::RecordingUi ui;
    edit::Recorder none;
    auto t = Line(6);
    PathTable p;
    EXPECT_EQ(PathFromWaypoints(*t, p, none), kNoChange); // CurWp 0
    t->CurWp = 4;
    ASSERT_EQ(PathFromWaypoints(*t, p, none), Change::Path);
    ASSERT_EQ(p.Count(), 5);
    ASSERT_TRUE(SameSizes(p));
    EXPECT_EQ(p.Camber[3], 0.3f);
    EXPECT_FLOAT_EQ(p.SegLen[1], std::sqrt(6.0f));

    auto back = std::make_unique<waypoints::WaypointTables>();
    back->WpSel[2] = 1;
    back->SlotCount = 2;
    const auto slots = back->Slots;
    EXPECT_EQ(WaypointsFromPath(ui, p, *back, none),
              Change(Change::Path | Change::Waypoints | Change::Selection | Change::Counts));
    ASSERT_EQ(back->WpCount, 5);
    EXPECT_EQ(back->WpSel[2], 0);
    EXPECT_EQ(back->SlotCount, 2);
    EXPECT_EQ(back->Slots, slots);
    const waypoints::WaypointRec& w = back->Wp[4];
    EXPECT_EQ(w.pos, t->Wp[4].pos);
    EXPECT_FLOAT_EQ(w.ori[1], p.Heading[4] * 0.017453292f);
    EXPECT_EQ(w.ptrs, (std::array<std::int16_t, 4>{3, 0, -1, -2}));
    EXPECT_EQ(back->Wp[0].ptrs[0], 4);
    EXPECT_EQ(w.depth, "8080808000000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0000000080808080");
    EXPECT_EQ(w.ins, "TRAK");
    back->CurWp = 4;
    PathTable again;
    PathFromWaypoints(*back, again, none);
    EXPECT_EQ(again.Pts, p.Pts);
    EXPECT_EQ(again.SegLen, p.SegLen);

    // One point: a ring of one waypoint.
    PathTable one = PathOf({{3, 4, 5}});
    ASSERT_TRUE(WaypointsFromPath(ui, one, *back, none).Any());
    EXPECT_EQ(back->WpCount, 1);
    EXPECT_EQ(back->Wp[0].ptrs[0], 0);
    EXPECT_EQ(back->Wp[0].ptrs[1], 0);

    // Beyond the waypoint capacity: a message and nothing else.
    PathTable big = PathOf({{0, 0, 0}});
    Resize(big, waypoints::kWaypointCapacity + 1);
    const auto before = std::make_unique<waypoints::WaypointTables>(*back);
    const PathTable bigBefore = big;
    EXPECT_EQ(WaypointsFromPath(ui, big, *back, none), kNoChange);
    EXPECT_EQ(*back, *before);
    EXPECT_EQ(big, bigBefore);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Title, "Get from Path");
}

TEST(PathOps, BezierSpansFirstToLastSelected) {
    edit::Recorder none;
    auto t = Line(14);
    PathTable p;
    for (const int i : {2, 3, 5, 8}) {
        t->WpSel[static_cast<std::size_t>(i)] = 1;
    }
    const auto before = std::make_unique<waypoints::WaypointTables>(*t);
    EXPECT_EQ(StartBezier(p, *t, none), kNoChange); // four selected
    EXPECT_FALSE(p.Bezier.Mode);
    EXPECT_EQ(*t, *before);

    t->WpSel[10] = 1;
    t->Wp[6].pos = {100, 100, 100}; // a gap inside the run moves with it
    ASSERT_EQ(ToggleBezier(p, *t, none), Change(Change::Path | Change::Waypoints));
    EXPECT_TRUE(p.Bezier.Mode);
    EXPECT_EQ(p.Bezier.First, 2);
    EXPECT_EQ(p.Bezier.Span, 8);
    for (int i = 2; i <= 10; ++i) {
        const auto& pos = t->Wp[static_cast<std::size_t>(i)].pos;
        EXPECT_NEAR(pos[0], static_cast<float>(i), 1e-4) << i;
        EXPECT_NEAR(pos[2], 2.0f * static_cast<float>(i), 1e-4) << i;
    }
    EXPECT_EQ(t->Wp[6].pos[1], 100); // x and z only
    EXPECT_EQ(t->Wp[11].pos, before->Wp[11].pos);

    EXPECT_EQ(ToggleBezierYOnly(p), "Edit Bezier Y");
    ASSERT_TRUE(MoveBezierPoint(p, *t, none, 3, 0, 9, 0).Has(Change::Waypoints));
    EXPECT_EQ(p.Bezier.Current, 3);
    EXPECT_EQ(t->Wp[10].pos[1], before->Wp[10].pos[1] + 9);
    EXPECT_EQ(t->Wp[2].pos[1], before->Wp[2].pos[1]);
    EXPECT_EQ(MoveBezierPoint(p, *t, none, 4, 1, 1, 1), kNoChange);
    EXPECT_EQ(ToggleBezierYOnly(p), "Edit Bezier X/Z");

    EXPECT_EQ(ToggleBezier(p, *t, none), Change::Path);
    EXPECT_FALSE(p.Bezier.Mode);
    EXPECT_EQ(ApplyBezier(p, *t, none), kNoChange);
}

TEST(PathOps, EveryChangeUndoesExactly) {
    test::RecordingUi ui;
    test::TempDir dir;
    const std::string file = dir.Write("two.zvp", "PointPos=(1,0,1)\r\nPointPos=(5,0,1)\r\n");
    auto m = std::make_unique<model::ModelStore>();
    auto t = Line(12);
    t->CurWp = 7;
    t->WpSel[9] = 1;
    PathTable p = PathOf({{0, 0, 0}, {3, 1, 4}});
    p.Heading[0] = 33;
    using Op = std::function<Change(edit::Recorder&)>;
    const auto select = [&] {
        for (const int i : {1, 2, 4, 6, 7}) {
            t->WpSel[static_cast<std::size_t>(i)] = 1;
        }
    };
    const auto nudge = [&] { t->Wp[3].pos[0] += 1; }; // off the curve, for applying it again
    const std::vector<std::tuple<const char*, std::function<void()>, Op>> ops = {
        {"open", {}, [&](auto& r) { return OpenPath(ui, r, p, file); }},
        {"from waypoints", {}, [&](auto& r) { return PathFromWaypoints(*t, p, r); }},
        {"to waypoints", {}, [&](auto& r) { return WaypointsFromPath(ui, p, *t, r); }},
        {"new", {}, [&](auto& r) { return NewPath(p, r, 7, 8); }},
        {"append", {}, [&](auto& r) { return AppendPathPoint(ui, p, r, 7, 8); }},
        {"extend", {}, [&](auto& r) { return ExtendPath(ui, p, r, 30, 30, 8); }},
        {"bezier", select, [&](auto& r) { return StartBezier(p, *t, r); }},
        {"move", {}, [&](auto& r) { return MoveBezierPoint(p, *t, r, 1, 5, 5, 5); }},
        {"apply", nudge, [&](auto& r) { return ApplyBezier(p, *t, r); }},
        {"toggle off", {}, [&](auto& r) { return ToggleBezier(p, *t, r); }},
    };
    for (const auto& [name, prepare, op] : ops) {
        if (prepare) {
            prepare();
        }
        const PathTable pathBefore = p;
        const auto before = std::make_unique<waypoints::WaypointTables>(*t);
        edit::History h;
        edit::Recorder rec = h.Begin(*m, name);
        const Change c = op(rec);
        h.End(c);
        ASSERT_TRUE(c.Any()) << name;
        ASSERT_TRUE(p != pathBefore || *t != *before) << name;
        const PathTable pathAfter = p;
        h.Undo(*m);
        ASSERT_EQ(p, pathBefore) << name;
        ASSERT_EQ(*t, *before) << name;
        h.Redo(*m);
        ASSERT_EQ(p, pathAfter) << name;
    }
    EXPECT_TRUE(ui.Messages.empty());
}

} // namespace
} // namespace zv::track
