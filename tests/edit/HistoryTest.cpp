// The edit history: every vertex command undone and redone byte for byte over the whole store,
// collation of gestures, the memory limit, the saved-state mark and the steps it drops.

#include "edit/History.h"
#include "edit/Transforms.h"
#include "edit/VertexOps.h"
#include "model/Columns.h"

#include "tests/support/ModelBuilder.h"
#include "tests/support/RecordingUi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace zv::edit {
namespace {

using model::kTrue;
using model::ModelStore;
using test::AddPolygon;
using test::AddVertex;

// Every row of every vertex and polygon column, the "none" slots of the flag tables, and the
// counts, cursors and selection box.
class Snapshot {
public:
    explicit Snapshot(const ModelStore& m) {
        EachColumn(m, [&](const unsigned char* rows, std::size_t size) {
            columns_.emplace_back(rows, rows + size);
        });
        scalars_ = Scalars(m);
    }

    // The first difference from m as text; empty when m is the same.
    std::string Difference(const ModelStore& m) const {
        std::string out;
        std::size_t c = 0;
        EachColumn(m, [&](const unsigned char* rows, std::size_t size) {
            if (out.empty() &&
                (size != columns_[c].size() || std::memcmp(rows, columns_[c].data(), size) != 0)) {
                out = "column " + std::to_string(c);
            }
            ++c;
        });
        return !out.empty() ? out : scalars_ != Scalars(m) ? "counts, cursors or selection box" : "";
    }

private:
    template <class F> static void EachColumn(const ModelStore& m, F f) {
        const auto whole = [&](const auto& table) {
            using Table = std::remove_cvref_t<decltype(table)>;
            const std::size_t row = sizeof(typename Table::Element) *
                                    static_cast<std::size_t>(Table::kPerRow / Table::kSlices);
            for (int s = 0; s < Table::kSlices; ++s) {
                f(reinterpret_cast<const unsigned char*>(table.Slice(s, 0)),
                  row * static_cast<std::size_t>(table.Rows()));
            }
        };
        model::ForEachVertexColumn(m, whole);
        model::ForEachPolygonColumn(m, whole);
        for (const auto* none : {&m.VertSel[-1], &m.VertUsed[-1], &m.PolySel[-1], &m.PolyMark[-1]}) {
            f(reinterpret_cast<const unsigned char*>(none), sizeof *none);
        }
        for (const auto* none : {&m.VertFlag[-1], &m.PolyFlag[-1]}) {
            f(none, sizeof *none);
        }
    }
    static std::vector<double> Scalars(const ModelStore& m) {
        const model::SelectionState& s = m.Selection;
        return {static_cast<double>(m.VertCount),
                static_cast<double>(m.PolyCount),
                static_cast<double>(m.TexCount),
                static_cast<double>(m.CurVert),
                static_cast<double>(m.CurPoly),
                static_cast<double>(m.CurCorner),
                static_cast<double>(m.CurEdge),
                static_cast<double>(s.SelCursor),
                s.SelCenter.X,
                s.SelCenter.Y,
                s.SelCenter.Z,
                s.SelSize.X,
                s.SelSize.Y,
                s.SelSize.Z,
                s.SelBoxMin.X,
                s.SelBoxMax.Z};
    }

    std::vector<std::vector<unsigned char>> columns_;
    std::vector<double> scalars_;
};

using Op = std::function<Change(ModelStore&, Recorder&, model::UserInterface&)>;

class HistoryTest : public ::testing::Test {
protected:
    // Ten vertices, 1 and 5 and 2 and 6 on the same spots, 3 and the last one (9) unused.
    void SetUp() override {
        test::StartModel(*m);
        const float at[10][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0},       {4, 4, 4}, {0, 1, 0},
                                 {1, 0, 0}, {1, 1, 0}, {1.3f, 0.3f, 0}, {2, 1, 0}, {7, 7, 7}};
        for (const auto& p : at) {
            AddVertex(*m, p[0], p[1], p[2]);
        }
        AddPolygon(*m, {{0}, {1}, {2}, {4}});
        AddPolygon(*m, {{5}, {7}, {8}, {6}});
        AddPolygon(*m, {{8}, {2}, {6}});
        for (const int v : {1, 2, 5, 6, 7, 8}) {
            m->VertSel[v] = kTrue;
        }
        m->VertSel[12] = kTrue; // stale, above the count
        m->PolySel[1] = kTrue;
        m->CurVert = 3;
    }

    // Runs op as one step; returns what it changed.
    Change Run(const std::string& name, const Op& op, CollateKey key = {}) {
        Recorder rec = history.Begin(*m, name, std::move(key));
        const Change changed = op(*m, rec, ui);
        history.End(changed);
        return changed;
    }
    static Op MoveBy(double dx) {
        return [dx](ModelStore& s, Recorder& r, model::UserInterface&) {
            return MoveSelected(s, r, {dx, 0, 0});
        };
    }

    std::unique_ptr<ModelStore> m = std::make_unique<ModelStore>();
    History history;
    test::RecordingUi ui;
};

TEST_F(HistoryTest, EveryVertexCommandUndoesAndRedoesExactly) {
    const std::vector<std::pair<std::string, Op>> ops = {
        {"Add",
         [](ModelStore& s, Recorder& r, model::UserInterface& u) {
             return AddVertex(s, r, u, {3, 2, 1});
         }},
        {"Change",
         [](ModelStore& s, Recorder& r, model::UserInterface&) {
             return ChangeVertex(s, r, {3, 2, 1});
         }},
        {"Delete middle",
         [](ModelStore& s, Recorder& r, model::UserInterface& u) { return DeleteVertex(s, r, u); }},
        {"Delete last",
         [](ModelStore& s, Recorder& r, model::UserInterface& u) {
             s.CurVert = s.VertCount - 1;
             return DeleteVertex(s, r, u);
         }},
        {"Delete unused",
         [](ModelStore& s, Recorder& r, model::UserInterface&) { return DeleteUnusedVertices(s, r); }},
        {"Weld",
         [](ModelStore& s, Recorder& r, model::UserInterface& u) { return WeldVertices(s, r, u, 0.5); }},
        {"Join",
         [](ModelStore& s, Recorder& r, model::UserInterface& u) { return JoinVertices(s, r, u, 0.5); }},
        {"Snap to grid",
         [](ModelStore& s, Recorder& r, model::UserInterface& u) { return SnapToGrid(s, r, u, 2); }},
        {"Snap to position",
         [](ModelStore& s, Recorder& r, model::UserInterface&) {
             return SnapToPosition(s, r, {5, 5, 5}, {false, true, false});
         }},
        {"Move group",
         [](ModelStore& s, Recorder& r, model::UserInterface&) {
             return MoveGroupToPosition(s, r, {1, 1, 1}, {5, 5, 5}, {true, true, true});
         }},
        {"Resize",
         [](ModelStore& s, Recorder& r, model::UserInterface&) {
             return Resize(s, r, {2, 3, 4}, Affected::All);
         }},
        {"Translate",
         [](ModelStore& s, Recorder& r, model::UserInterface&) {
             return Translate(s, r, {1, 0, 0}, Affected::Selected);
         }},
        {"Rotate",
         [](ModelStore& s, Recorder& r, model::UserInterface&) {
             return Rotate(s, r, {10, 20, 30}, true);
         }},
    };
    const Snapshot before(*m);
    for (const auto& [name, op] : ops) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(Run(name, op).Any());
        ASSERT_EQ(history.UndoCount(), 1);
        const Snapshot after(*m);
        EXPECT_NE(before.Difference(*m), "") << "the command changed something";
        history.Undo(*m);
        EXPECT_EQ(before.Difference(*m), "") << "after undo";
        history.Redo(*m);
        EXPECT_EQ(after.Difference(*m), "") << "after redo";
        history.Undo(*m);
        EXPECT_EQ(before.Difference(*m), "") << "after the second undo";
        history.Clear();
    }
}

TEST_F(HistoryTest, StepsWithTheSameKeyCollateUntilStopped) {
    const CollateKey drag{"Move Vertices", 1};
    for (int i = 0; i < 3; ++i) {
        Run("Move", MoveBy(1), drag);
    }
    EXPECT_EQ(history.UndoCount(), 1);
    EXPECT_EQ(m->Vert[1].X, 4);
    history.StopCollating();
    Run("Move", MoveBy(1), drag);
    Run("Move", MoveBy(1), {"Move Vertices", 2});
    EXPECT_EQ(history.UndoCount(), 3) << "a stop and another gesture both start new steps";
    history.Undo(*m);
    history.Undo(*m);
    EXPECT_EQ(m->Vert[1].X, 4);
    history.Undo(*m);
    EXPECT_EQ(m->Vert[1].X, 1) << "the whole collated gesture goes at once";
    EXPECT_FALSE(history.CanUndo());
}

TEST_F(HistoryTest, TheLimitDropsTheOldestStepsButKeepsTheLatest) {
    Run("Move", MoveBy(1));
    const std::size_t oneStep = history.Bytes();
    history.SetLimit(oneStep * 5 / 2);
    for (int i = 0; i < 4; ++i) {
        Run("Move", MoveBy(1));
    }
    EXPECT_EQ(history.UndoCount(), 2);
    EXPECT_LE(history.Bytes(), oneStep * 5 / 2);
    history.Undo(*m);
    history.Undo(*m);
    EXPECT_EQ(m->Vert[1].X, 4) << "the two latest moves were kept";
    history.Redo(*m);
    history.Redo(*m);
    history.SetLimit(1);
    EXPECT_EQ(history.UndoCount(), 1);
    history.Undo(*m);
    EXPECT_EQ(m->Vert[1].X, 5);
}

TEST_F(HistoryTest, TheSavedMarkFollowsUndoAndIsLostWhenItsStateIsReplaced) {
    EXPECT_FALSE(history.IsModified());
    Run("A", MoveBy(1));
    EXPECT_TRUE(history.IsModified());
    history.MarkClean();
    EXPECT_FALSE(history.IsModified());
    Run("B", MoveBy(1));
    EXPECT_TRUE(history.IsModified());
    history.Undo(*m);
    EXPECT_FALSE(history.IsModified());
    history.Undo(*m);
    EXPECT_TRUE(history.IsModified());
    history.Redo(*m);
    EXPECT_FALSE(history.IsModified());

    history.Undo(*m);
    Run("C", MoveBy(5)); // replaces A, the saved state, for good
    EXPECT_TRUE(history.IsModified());
    EXPECT_FALSE(history.CanRedo());
    history.Undo(*m);
    EXPECT_TRUE(history.IsModified());
    history.Redo(*m);
    EXPECT_TRUE(history.IsModified());
}

TEST_F(HistoryTest, StepsThatDeclareOrChangeNothingAreDropped) {
    Run("Select", [](ModelStore& s, Recorder&, model::UserInterface&) {
        s.VertSel[0] = kTrue;
        return Change(Change::Selection);
    });
    Run("Declared", [](ModelStore&, Recorder& r, model::UserInterface&) {
        r.Vertices(0, 3);
        return kNoChange;
    });
    EXPECT_EQ(history.UndoCount(), 0);

    Run("Move", MoveBy(1));
    history.Undo(*m);
    m->CurVert = 1; // used by a polygon: refused
    Run("Delete", [](ModelStore& s, Recorder& r, model::UserInterface& u) { return DeleteVertex(s, r, u); });
    EXPECT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(history.UndoCount(), 0);
    EXPECT_EQ(history.RedoCount(), 1) << "a refused command leaves the redo list";
}

TEST_F(HistoryTest, OneVertexMoveOnAFullModelCostsLessThanAKilobyte) {
    for (int i = m->VertCount; i < kMaxVertices; ++i) {
        AddVertex(*m, static_cast<float>(i % 300), static_cast<float>(i / 300), 0);
    }
    model::DeselectAll(*m);
    m->VertSel[40000] = kTrue;
    Run("Move", MoveBy(0.5));
    ASSERT_EQ(history.UndoCount(), 1);
    EXPECT_LT(history.Bytes(), 1024u);
}

} // namespace
} // namespace zv::edit
