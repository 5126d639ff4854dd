// The fast vertex commands and transforms against their literal versions on many random
// models: vertices on a coarse grid (so many coincide or lie within a tolerance), unused
// vertices, random selections with stale flags above the count, a few non-finite and huge
// coordinates. Every row in use must come out identical, byte for byte, and undoing the step
// must bring back every row the model was built with.

#include "edit/Transforms.h"
#include "edit/VertexOps.h"
#include "model/Columns.h"

#include "tests/support/RecordingUi.h"
#include "tests/support/VertexReference.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

namespace zv::edit {
namespace {

using model::ModelStore;

// Rows above the counts that get stale contents, so a command reading past a count shows.
constexpr int kStaleRows = 6;

template <class Table> std::size_t RowSize() {
    return sizeof(typename Table::Element) * static_cast<std::size_t>(Table::kPerRow);
}

class RandomModel {
public:
    RandomModel(std::uint32_t seed, int maxVertices) : seed_(seed), maxVertices_(maxVertices) {}

    // Builds the model into m; the same seed always writes the same rows.
    void Build(ModelStore& m) const {
        std::mt19937 rng(seed_);
        const auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        const auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
        const int n = uniform(0, maxVertices_);
        const float step = std::array{0.25f, 0.5f, 1.0f}[static_cast<std::size_t>(uniform(0, 2))];
        const double selectShare = std::array{0.0, 0.3, 0.8, 1.0}[static_cast<std::size_t>(uniform(0, 3))];
        const auto coordinate = [&]() -> float {
            const int kind = uniform(0, 199);
            if (kind == 0) {
                return std::numeric_limits<float>::quiet_NaN();
            }
            if (kind == 1) {
                return std::numeric_limits<float>::infinity();
            }
            if (kind == 2) {
                return chance(0.5) ? -3e38f : 3e38f;
            }
            if (kind < 8) {
                return -0.0f;
            }
            const float c = static_cast<float>(uniform(-5, 5)) * step;
            return kind < 40 ? c + static_cast<float>(uniform(-20, 20)) * 0.001f : c;
        };
        for (int i = 0; i < n + kStaleRows; ++i) {
            m.Vert[i] = {coordinate(), coordinate(), coordinate()};
            m.VertSel[i] = i >= n || chance(selectShare) ? model::kTrue : model::kFalse;
            m.VertFlag[i] = static_cast<std::uint8_t>(uniform(0, 255));
            m.VertUsed[i] = chance(0.5) ? model::kTrue : model::kFalse;
        }
        std::vector<int> usable;
        for (int i = 0; i < n; ++i) {
            if (chance(0.7)) {
                usable.push_back(i);
            }
        }
        const int polys = usable.empty() ? 0 : uniform(0, 2 * n);
        const auto anyUsable = [&] {
            return usable[static_cast<std::size_t>(uniform(0, static_cast<int>(usable.size()) - 1))];
        };
        std::vector<char> used(static_cast<std::size_t>(n), 0);
        for (int p = 0; p < polys + kStaleRows; ++p) {
            FillPolygonRow(m, p);
            const int corners = chance(0.9) ? uniform(3, 4) : uniform(5, model::kMaxCorners);
            m.PolyVCount[p] = corners;
            for (int k = 0; k < model::kMaxCorners; ++k) {
                // Corners past the count hold vertex numbers too, which nothing may follow.
                const bool corner = k < corners && p < polys;
                m.PolyVert(p, k) = corner ? anyUsable() : uniform(0, n + kStaleRows - 1);
                if (corner) {
                    used[static_cast<std::size_t>(m.PolyVert(p, k))] = 1;
                }
            }
        }
        m.VertCount = n;
        m.PolyCount = polys;
        m.CurVert = -1;
        if (n > 0) {
            // Half the time an unused vertex, so that deleting it goes ahead.
            m.CurVert = uniform(0, n - 1);
            for (int tries = 0; tries < n && chance(0.5) && used[static_cast<std::size_t>(m.CurVert)];
                 ++tries) {
                m.CurVert = uniform(0, n - 1);
            }
        }
    }

private:
    void FillPolygonRow(ModelStore& m, int p) const {
        unsigned column = 0;
        model::ForEachPolygonColumn(m, [&](auto& table) {
            using Table = std::remove_cvref_t<decltype(table)>;
            const std::size_t size = RowSize<Table>() / Table::kSlices;
            for (int s = 0; s < Table::kSlices; ++s) {
                auto* bytes = reinterpret_cast<unsigned char*>(table.Slice(s, p));
                for (std::size_t b = 0; b < size; ++b) {
                    bytes[b] = static_cast<unsigned char>(seed_ + static_cast<unsigned>(p) * 7u + column * 13u +
                                                          static_cast<unsigned>(s) * 3u + b);
                }
            }
            ++column;
        });
    }

    std::uint32_t seed_;
    int maxVertices_;
};

// The first row in [0, rows) where a column of the two stores differs, as text; empty when none.
// A NaN coordinate stays NaN whichever way it is computed; its sign bit follows the order of
// the arithmetic and means nothing, so any two NaNs count as equal.
bool SamePosition(const model::VertRec& a, const model::VertRec& b) {
    const auto same = [](float x, float y) {
        return std::bit_cast<std::uint32_t>(x) == std::bit_cast<std::uint32_t>(y) ||
               (std::isnan(x) && std::isnan(y));
    };
    return same(a.X, b.X) && same(a.Y, b.Y) && same(a.Z, b.Z);
}

template <class Table> bool SameRow(const Table& a, const Table& b, int i) {
    if constexpr (std::is_same_v<typename Table::Element, model::VertRec> && Table::kPerRow == 1) {
        return SamePosition(a.Slice(0, i)[0], b.Slice(0, i)[0]);
    } else {
        for (int s = 0; s < Table::kSlices; ++s) {
            if (std::memcmp(a.Slice(s, i), b.Slice(s, i), RowSize<Table>() / Table::kSlices) != 0) {
                return false;
            }
        }
        return true;
    }
}

template <class Table> std::string RowDifference(const Table& a, const Table& b, int rows, const char* name) {
    for (int i = 0; i < rows; ++i) {
        if (!SameRow(a, b, i)) {
            std::string out = std::string(name) + " differs in row " + std::to_string(i);
            if constexpr (std::is_same_v<typename Table::Element, model::VertRec>) {
                const model::VertRec &p = a.Row(i)[0], &q = b.Row(i)[0];
                out += ": " + std::to_string(p.X) + " " + std::to_string(p.Y) + " " + std::to_string(p.Z) +
                       " vs " + std::to_string(q.X) + " " + std::to_string(q.Y) + " " + std::to_string(q.Z);
            }
            return out;
        }
    }
    return {};
}

std::string PolygonDifference(const ModelStore& a, const ModelStore& b, int rows) {
    std::vector<const void*> columns;
    model::ForEachPolygonColumn(b, [&](const auto& table) { columns.push_back(&table); });
    std::string out;
    std::size_t c = 0;
    model::ForEachPolygonColumn(a, [&](const auto& table) {
        const auto& other = *static_cast<const std::remove_cvref_t<decltype(table)>*>(columns[c]);
        if (out.empty()) {
            out = RowDifference(table, other, rows, ("polygon column " + std::to_string(c)).c_str());
        }
        ++c;
    });
    return out;
}

// Positions, selection and flags of the vertices; the scratch marks only when asked.
std::string VertexDifference(const ModelStore& a, const ModelStore& b, int rows, int usedRows) {
    std::string out = RowDifference(a.Vert, b.Vert, rows, "Vert");
    out += out.empty() ? RowDifference(a.VertSel, b.VertSel, rows, "VertSel") : "";
    out += out.empty() ? RowDifference(a.VertFlag, b.VertFlag, rows, "VertFlag") : "";
    out += out.empty() ? RowDifference(a.VertUsed, b.VertUsed, usedRows, "VertUsed") : "";
    return out;
}

struct Case {
    std::string Name;
    std::function<Change(ModelStore&, Recorder&, model::UserInterface&)> Fast;
    // Returns whether the command refuses (and so shows a message).
    std::function<bool(ModelStore&)> Literal;
    bool ComparesUsedMarks = false;
};

std::vector<Case> Cases() {
    std::vector<Case> cases;
    cases.push_back(
        {"Delete Vertex",
         [](ModelStore& m, Recorder& r, model::UserInterface& ui) { return DeleteVertex(m, r, ui); },
         [](ModelStore& m) { return m.CurVert >= 0 && !test::LiteralDeleteVertex(m); }});
    cases.push_back(
        {"Delete All Unused",
         [](ModelStore& m, Recorder& r, model::UserInterface&) { return DeleteUnusedVertices(m, r); },
         [](ModelStore& m) {
             test::LiteralDeleteUnusedVertices(m);
             // Deliberately unlike the literal rule: no current vertex past the count.
             m.CurVert = m.CurVert >= m.VertCount ? -1 : m.CurVert;
             return false;
         },
         true});
    for (const double t : {0.0, 0.003, 0.3, 1.0, 1e30}) {
        const std::string suffix = " t=" + std::to_string(t);
        cases.push_back(
            {"Weld" + suffix,
             [t](ModelStore& m, Recorder& r, model::UserInterface& ui) { return WeldVertices(m, r, ui, t); },
             [t](ModelStore& m) {
                 test::LiteralWeldVertices(m, t);
                 return false;
             }});
        cases.push_back(
            {"Join" + suffix,
             [t](ModelStore& m, Recorder& r, model::UserInterface& ui) { return JoinVertices(m, r, ui, t); },
             [t](ModelStore& m) {
                 test::LiteralJoinVertices(m, t);
                 return false;
             }});
    }
    for (const double g : {0.3, 1.0}) {
        cases.push_back(
            {"Snap to Grid " + std::to_string(g),
             [g](ModelStore& m, Recorder& r, model::UserInterface& ui) { return SnapToGrid(m, r, ui, g); },
             [g](ModelStore& m) {
                 test::LiteralSnapToGrid(m, g);
                 return false;
             }});
    }
    const Vec3 value{1.5, -2.25, 0.1};
    const Axes xz{true, false, true};
    cases.push_back(
        {"Snap to Position",
         [=](ModelStore& m, Recorder& r, model::UserInterface&) { return SnapToPosition(m, r, value, xz); },
         [=](ModelStore& m) {
             test::LiteralSnapToPosition(m, value, xz);
             return false;
         }});
    const model::Point3d centre{0.5, -1, 2};
    cases.push_back({"Move Group to Position",
                     [=](ModelStore& m, Recorder& r, model::UserInterface&) {
                         return MoveGroupToPosition(m, r, centre, value, xz);
                     },
                     [=](ModelStore& m) {
                         test::LiteralMoveGroupToPosition(m, centre, value, xz);
                         return false;
                     }});
    for (const bool selected : {false, true}) {
        const Affected which = selected ? Affected::Selected : Affected::All;
        cases.push_back({"Resize",
                         [=](ModelStore& m, Recorder& r, model::UserInterface&) {
                             return Resize(m, r, {2, 1, 0.1}, which);
                         },
                         [=](ModelStore& m) {
                             test::LiteralResize(m, {2, 1, 0.1}, selected);
                             return false;
                         }});
        cases.push_back({"Translate",
                         [=](ModelStore& m, Recorder& r, model::UserInterface&) {
                             return Translate(m, r, {0.1, 0, -3}, which);
                         },
                         [=](ModelStore& m) {
                             test::LiteralTranslate(m, {0.1, 0, -3}, selected);
                             return false;
                         }});
        cases.push_back({"Rotate",
                         [=](ModelStore& m, Recorder& r, model::UserInterface&) {
                             return Rotate(m, r, {30, 0, -45}, selected);
                         },
                         [=](ModelStore& m) {
                             test::LiteralRotate(m, {30, 0, -45}, selected);
                             return false;
                         }});
        cases.push_back({"Rotate all axes",
                         [=](ModelStore& m, Recorder& r, model::UserInterface&) {
                             return Rotate(m, r, {90, 12.5, 180}, selected);
                         },
                         [=](ModelStore& m) {
                             test::LiteralRotate(m, {90, 12.5, 180}, selected);
                             return false;
                         }});
    }
    return cases;
}

class VertexOpsReferenceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        fast_ = std::make_unique<ModelStore>();
        literal_ = std::make_unique<ModelStore>();
    }
    static void TearDownTestSuite() {
        fast_.reset();
        literal_.reset();
    }

    // Runs one case on one model; with a history, also undoes it and checks every built row.
    static void Check(const Case& c, const RandomModel& model, bool withHistory) {
        ModelStore& f = *fast_;
        ModelStore& l = *literal_;
        model.Build(f);
        model.Build(l);
        const int builtVertices = f.VertCount + kStaleRows;
        const int builtPolygons = f.PolyCount + kStaleRows;
        const int oldCount = f.VertCount;
        test::RecordingUi ui;
        History history;
        if (withHistory) {
            Recorder rec = history.Begin(f, c.Name);
            history.End(c.Fast(f, rec, ui));
        } else {
            Recorder rec;
            c.Fast(f, rec, ui);
        }
        const bool refused = c.Literal(l);
        EXPECT_EQ(ui.Messages.size(), refused ? 1u : 0u);
        ASSERT_EQ(f.VertCount, l.VertCount);
        ASSERT_EQ(f.PolyCount, l.PolyCount);
        EXPECT_EQ(f.CurVert, l.CurVert);
        // The clean-up leaves its scratch marks for the rows it had, and only when it removed
        // something: a command that finds nothing to do writes nothing.
        const bool marked = c.ComparesUsedMarks && f.VertCount != oldCount;
        EXPECT_EQ(VertexDifference(f, l, f.VertCount, marked ? oldCount : 0), "");
        EXPECT_EQ(PolygonDifference(f, l, f.PolyCount), "");
        if (!withHistory) {
            return;
        }
        history.Undo(f);
        model.Build(l);
        EXPECT_EQ(f.VertCount, l.VertCount);
        EXPECT_EQ(f.CurVert, l.CurVert);
        std::string undone = VertexDifference(f, l, builtVertices, builtVertices);
        undone += undone.empty() ? PolygonDifference(f, l, builtPolygons) : "";
        EXPECT_EQ(undone, "") << "after undo";
    }

    static std::unique_ptr<ModelStore> fast_;
    static std::unique_ptr<ModelStore> literal_;
};

std::unique_ptr<ModelStore> VertexOpsReferenceTest::fast_;
std::unique_ptr<ModelStore> VertexOpsReferenceTest::literal_;

TEST_F(VertexOpsReferenceTest, SmallModelsMatchTheLiteralRules) {
    const std::vector<Case> cases = Cases();
    for (std::uint32_t seed = 1; seed <= 120; ++seed) {
        const RandomModel model(seed, 24);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.Name + ", seed " + std::to_string(seed));
            Check(c, model, seed % 8 == 0);
            if (HasFailure()) {
                return;
            }
        }
    }
}

TEST_F(VertexOpsReferenceTest, MediumModelsMatchTheLiteralRules) {
    const std::vector<Case> cases = Cases();
    for (std::uint32_t seed = 1000; seed < 1012; ++seed) {
        const RandomModel model(seed, 400);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.Name + ", seed " + std::to_string(seed));
            Check(c, model, seed % 3 == 0);
            if (HasFailure()) {
                return;
            }
        }
    }
}

} // namespace
} // namespace zv::edit
