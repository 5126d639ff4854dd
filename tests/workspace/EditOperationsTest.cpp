#include "workspace/EditOperations.h"

#include "model/Columns.h"
#include "tests/support/ModelBuilder.h"
#include "tests/support/RecordingUi.h"
#include "workspace/Commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <random>

namespace zv {
namespace {

// The random models have fewer rows than this; rows compared go to kRows, above every count an
// operation can reach (a copy of every polygon, a split of every one), so rows an operation
// must leave alone above the counts are compared too.
constexpr int kModelRows = 32;
constexpr int kRows = 100;

template <class Table> void AppendRows(std::vector<std::byte>& out, const Table& t, int first, int count) {
    for (int s = 0; s < Table::kSlices; ++s) {
        const auto* bytes = reinterpret_cast<const std::byte*>(t.Slice(s, first));
        out.insert(out.end(), bytes,
                   bytes + static_cast<std::size_t>(count) * (Table::kPerRow / Table::kSlices) *
                               sizeof(typename Table::Element));
    }
}

// Everything an operation may touch: rows 0 .. kRows - 1 of every column, counts, cursors, the
// selection box, and the selection of every slot of the capacity.
struct Snapshot {
    std::vector<std::byte> Rows;
    std::vector<std::byte> Selection;
    std::vector<std::int32_t> Scalars;
    std::vector<double> Box;
    std::vector<std::int32_t> Parts; // per part its size, then its members

    static Snapshot Take(const model::ModelStore& m) {
        Snapshot s;
        model::ForEachVertexColumn(m, [&](const auto& t) { AppendRows(s.Rows, t, 0, kRows); });
        model::ForEachPolygonColumn(m, [&](const auto& t) { AppendRows(s.Rows, t, 0, kRows); });
        AppendRows(s.Selection, m.VertSel, -1, m.VertSel.Rows() + 1);
        AppendRows(s.Selection, m.PolySel, -1, m.PolySel.Rows() + 1);
        AppendRows(s.Selection, m.PolySelEdge, 0, m.PolySelEdge.Rows());
        s.Scalars = {m.VertCount, m.PolyCount, m.TexCount,  m.CurVert,
                     m.CurPoly,   m.CurEdge,   m.CurCorner, m.Selection.SelCursor};
        const model::SelectionState& b = m.Selection;
        for (const model::Point3d& p : {b.SelBoxMin, b.SelBoxMax, b.SelCenter, b.SelSize}) {
            s.Box.insert(s.Box.end(), {p.X, p.Y, p.Z});
        }
        for (int g = 1; g <= m.PartCount(); ++g) {
            s.Parts.push_back(m.GroupSize[g]);
            s.Parts.insert(s.Parts.end(), m.GroupPoly.Row(g) + 1, m.GroupPoly.Row(g) + 1 + m.GroupSize[g]);
        }
        return s;
    }
};

// What differs between two snapshots, "" when nothing does. The selection box is derived
// state a refused move may refresh, so it can be left out.
bool SameBytes(const std::vector<std::byte>& a, const std::vector<std::byte>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0;
}

std::string Difference(const Snapshot& a, const Snapshot& b, bool withBox = true) {
    if (a.Scalars != b.Scalars) {
        return "counts or cursors";
    }
    if (!SameBytes(a.Rows, b.Rows)) {
        const auto at = std::mismatch(a.Rows.begin(), a.Rows.end(), b.Rows.begin()).first - a.Rows.begin();
        return "rows, at byte " + std::to_string(at);
    }
    if (!SameBytes(a.Selection, b.Selection)) {
        return "selection";
    }
    if (a.Parts != b.Parts) {
        return "parts";
    }
    if (withBox && std::memcmp(a.Box.data(), b.Box.data(), a.Box.size() * sizeof(double)) != 0) {
        return "selection box";
    }
    return "";
}

int Uniform(std::mt19937& rng, int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng);
}

template <class T, std::size_t N> const T& Pick(std::mt19937& rng, const T (&items)[N]) {
    return items[static_cast<std::size_t>(Uniform(rng, 0, static_cast<int>(N) - 1))];
}

// A small random model: vertices on a coarse grid, some nudged off it, so that many coincide or
// lie close, and a third of the models flat on the ground (polygons facing up or down);
// polygons over the lower vertices, so the upper ones (and some between) stay unused, with
// triangles often sharing an edge with the one before; a few parts listing polygons in any
// order; random selections, flags and cursors, also in the rows above the counts.
void BuildRandomModel(model::ModelStore& m, std::mt19937& rng) {
    test::StartModel(m);
    test::AddTexture(m, "T");
    test::AddTexture(m, "U");
    const bool flat = Uniform(rng, 0, 1) == 0;
    const int vertices = Uniform(rng, 0, kModelRows);
    const auto coordinate = [&] {
        return static_cast<float>(Uniform(rng, -4, 4)) * 0.5f + (Uniform(rng, 0, 4) == 0 ? 0.01f : 0.0f);
    };
    for (int v = 0; v < vertices; ++v) {
        if (flat) { // rows of six, on the ground so that some polygons face up
            test::AddVertex(m, static_cast<float>(v % 6) * 0.5f, 0, static_cast<float>(v / 6) * 0.5f);
        } else {
            test::AddVertex(m, coordinate(), coordinate(), coordinate());
        }
    }
    const int usable = flat ? vertices : Uniform(rng, 0, vertices);
    const int polygons = usable == 0 ? 0 : Uniform(rng, 0, kModelRows);
    std::vector<char> paired(static_cast<std::size_t>(polygons), 0);
    for (int p = 0; p < polygons; ++p) {
        const int kind = Uniform(rng, 0, 29);
        m.PolyVCount[p] = kind == 0 ? 5 : kind < 20 ? 3 : 4;
        for (int k = 0; k < m.PolyVCount[p]; ++k) {
            m.PolyVert(p, k) = Uniform(rng, 0, usable - 1);
            m.PolyTU(p, k) = static_cast<float>(Uniform(rng, 0, 2)) * 0.5f;
        }
        m.PolyTex[p] = Uniform(rng, 0, 3) == 0 ? 1 : 0;
        // Often two triangles over one cell of the grid of a flat model: a quad to merge.
        if (flat && usable > 7 && p > 0 && m.PolyVCount[p] == 3 && m.PolyVCount[p - 1] == 3 &&
            Uniform(rng, 0, 1) == 0) {
            const int cornerOfCell = Uniform(rng, 0, usable - 8);
            const int a = cornerOfCell % 6 == 5 ? cornerOfCell - 1 : cornerOfCell;
            const int cell[2][3] = {{a, a + 1, a + 7}, {a, a + 7, a + 6}};
            for (int k = 0; k < 3; ++k) {
                m.PolyVert(p - 1, k) = cell[0][k];
                m.PolyVert(p, k) = cell[1][k];
            }
            m.PolyTex[p] = m.PolyTex[p - 1];
            paired[static_cast<std::size_t>(p)] = 1;
        }
    }
    m.PolyCount = polygons;
    for (int i = 0; i < kRows; ++i) {
        m.VertSel[i] = Uniform(rng, 0, 2) == 0 ? model::kFalse : model::kTrue;
        m.VertFlag[i] = static_cast<std::uint8_t>(Uniform(rng, 0, 255));
        m.VertUsed[i] = Uniform(rng, 0, 1) == 0 ? model::kFalse : model::kTrue;
        m.PolySel[i] = Uniform(rng, 0, 1) == 0 ? model::kFalse : model::kTrue;
        m.PolySelEdge[i] = static_cast<std::int16_t>(Uniform(rng, -1, 3));
    }
    for (int p = 1; p < polygons; ++p) {
        m.PolySel[p] = paired[static_cast<std::size_t>(p)] != 0 ? m.PolySel[p - 1] : m.PolySel[p];
    }
    m.PartNodes.clear();
    const int parts = polygons == 0 ? 0 : Uniform(rng, 0, 3);
    for (int g = 1; g <= parts; ++g) {
        m.PartNodes.push_back({"P" + std::to_string(g), true});
        m.GroupSize[g] = Uniform(rng, 1, polygons);
        for (int i = 1; i <= m.GroupSize[g]; ++i) {
            m.GroupPoly(g, i) = Uniform(rng, 0, polygons - 1);
        }
    }
    m.CurVert = Uniform(rng, -1, vertices);
    m.CurPoly = Uniform(rng, -1, polygons);
    m.CurCorner = Uniform(rng, -1, 4);
    m.CurEdge = Uniform(rng, -1, 4);
}

// Argument text for an operation's kind: numbers that weld, refuse, snap and turn on the grid
// of the random models.
std::string RandomArgument(EditArgKind kind, std::mt19937& rng, const model::ModelStore& m) {
    const int vertices = m.VertCount;
    static const char* const kNumbers[] = {"-1", "0", "0.01", "0.5", "1", "1.5", "2", "45", "90", "-30"};
    const auto number = [&] {
        return Uniform(rng, 0, 1) == 0 ? std::to_string(Uniform(rng, -1, vertices)) : Pick(rng, kNumbers);
    };
    static const char* const kMasks[] = {"x", "yz", "XZ", "5", "7", "2"};
    switch (kind) {
    case EditArgKind::Number:
        return number();
    case EditArgKind::Vector:
    case EditArgKind::VectorAndMask: {
        std::string text =
            std::string(Pick(rng, kNumbers)) + "," + Pick(rng, kNumbers) + "," + Pick(rng, kNumbers);
        return kind == EditArgKind::Vector || Uniform(rng, 0, 1) == 0 ? text : text + "," + Pick(rng, kMasks);
    }
    case EditArgKind::VertexList:
        return "0-" + std::to_string(std::max(vertices - 1, 0));
    case EditArgKind::PolygonList:
        return "0-" + std::to_string(std::max(m.PolyCount - 1, 0));
    case EditArgKind::Colour:
        return std::to_string(Uniform(rng, 0, 300)) + ",7," + Pick(rng, kNumbers) + ",255";
    case EditArgKind::Mapping: {
        static const char* const kDirections[] = {"x", "-x", "y", "-Y", "z", "-z"};
        static const char* const kTextures[] = {"T", "U", "0", "1", "2", "V"};
        static const char* const kViews[] = {"", ",280", ",100,-20,35.5", ",0.5"};
        return std::string(Pick(rng, kDirections)) + "," + Pick(rng, kTextures) + Pick(rng, kViews);
    }
    case EditArgKind::TexturePair: {
        static const char* const kTextures[] = {"T", "U", "0", "1", "1", "0", "2", "V"};
        return std::string(Pick(rng, kTextures)) + "," + Pick(rng, kTextures);
    }
    case EditArgKind::None:
    case EditArgKind::OptionalCount:
        break;
    }
    return "";
}

EditOperation Parse(const std::vector<std::string>& args) {
    const ParsedEdits parsed = ParseEditOperations(args);
    EXPECT_EQ(parsed.Error, "");
    EXPECT_EQ(parsed.Operations.size(), 1u);
    return parsed.Operations.empty() ? EditOperation{} : parsed.Operations[0];
}

std::vector<std::string> RandomCall(const EditOperationInfo& info, std::mt19937& rng,
                                    const model::ModelStore& m) {
    std::vector<std::string> args{info.Flag};
    if (info.Arg != EditArgKind::None) {
        args.push_back(RandomArgument(info.Arg, rng, m));
    }
    return args;
}

std::string Describe(const std::vector<std::string>& call, unsigned seed) {
    std::string text = "seed " + std::to_string(seed) + ":";
    for (const std::string& a : call) {
        text += " " + a;
    }
    return text;
}

class EditOperationsTest : public ::testing::Test {
protected:
    test::RecordingUi ui;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>(ui);
    model::ModelStore& m = ws->Model;
};

// Every operation that is a step: run, undo, redo and undo again give back exactly the states
// before and after; a refusal or a no-op leaves no step and the model as it was.
TEST_F(EditOperationsTest, EveryStepUndoesAndRedoesExactly) {
    std::map<std::string, int> changed; // by flag
    int refused = 0;
    for (unsigned seed = 0; seed < 30; ++seed) {
        std::mt19937 rng(seed);
        BuildRandomModel(m, rng);
        ws->History.Clear();
        ws->Tools.AboutCentre = seed % 2 == 0;
        for (const EditOperationInfo& info : EditOperations()) {
            if (info.StepName == nullptr) {
                continue;
            }
            const std::vector<std::string> call = RandomCall(info, rng, m);
            SCOPED_TRACE(Describe(call, seed));
            const Snapshot before = Snapshot::Take(m);
            ui.Messages.clear();
            const edit::Change result = RunEditOperation(*ws, Parse(call));
            const Snapshot after = Snapshot::Take(m);
            if (!ui.Messages.empty() || !result.Any()) {
                EXPECT_FALSE(result.Any());
                EXPECT_EQ(ws->History.UndoCount(), 0);
                EXPECT_EQ(Difference(before, after, !ui.Messages.empty()), "");
                refused += ui.Messages.empty() ? 0 : 1;
                continue;
            }
            ++changed[info.Flag];
            ASSERT_EQ(ws->History.UndoCount(), 1);
            EXPECT_EQ(ws->History.UndoName(), info.StepName);
            EXPECT_NE(Difference(before, after), "") << "reported a change but changed nothing";
            Undo(*ws);
            EXPECT_EQ(Difference(before, Snapshot::Take(m)), "") << "after undo";
            Redo(*ws);
            EXPECT_EQ(Difference(after, Snapshot::Take(m)), "") << "after redo";
            Undo(*ws);
            ASSERT_EQ(Difference(before, Snapshot::Take(m)), "") << "after the second undo";
            ws->History.Clear();
        }
    }
    // Every operation must change the random models several times, and refusals must come up.
    for (const EditOperationInfo& info : EditOperations()) {
        EXPECT_TRUE(info.StepName == nullptr || changed[info.Flag] >= 5)
            << info.Flag << " " << changed[info.Flag];
    }
    EXPECT_GT(refused, 10);
}

// A sequence of steps with selection changes between them: undo N and redo N walk back and
// forth through the states just before each step and the state at the end (redo brings back
// the selection changes made after a step along with it).
TEST_F(EditOperationsTest, UndoAndRedoManyStepsAcrossASequence) {
    for (unsigned seed = 0; seed < 20; ++seed) {
        std::mt19937 rng(seed + 1000);
        BuildRandomModel(m, rng);
        ws->History.Clear();
        std::vector<Snapshot> points; // before each recorded step, then the end
        for (int i = 0; i < 12; ++i) {
            // Any operation but undo and redo, whose effect this test follows itself.
            const auto ops = EditOperations();
            const EditOperationInfo* info = nullptr;
            while (info == nullptr || info->Arg == EditArgKind::OptionalCount) {
                info = &ops[static_cast<std::size_t>(Uniform(rng, 0, static_cast<int>(ops.size()) - 1))];
            }
            Snapshot was = Snapshot::Take(m);
            RunEditOperation(*ws, Parse(RandomCall(*info, rng, m)));
            if (ws->History.UndoCount() > static_cast<int>(points.size())) {
                points.push_back(std::move(was));
            }
        }
        points.push_back(Snapshot::Take(m));
        SCOPED_TRACE("seed " + std::to_string(seed));
        const int steps = static_cast<int>(points.size()) - 1;
        ASSERT_EQ(ws->History.UndoCount(), steps);
        const auto at = [&](int point) {
            return Difference(points[static_cast<std::size_t>(point)], Snapshot::Take(m));
        };

        const int back = Uniform(rng, 0, steps);
        RunEditOperation(*ws, Parse({"--undo", std::to_string(back)}));
        EXPECT_EQ(at(steps - back), "");
        RunEditOperation(*ws, Parse({"--undo", std::to_string(steps - back)}));
        EXPECT_EQ(at(0), "");
        const int forward = Uniform(rng, 0, steps);
        RunEditOperation(*ws, Parse({"--redo", std::to_string(forward)}));
        EXPECT_EQ(at(forward), "");

        // Asking for more than there is refuses and changes nothing.
        ui.Messages.clear();
        EXPECT_FALSE(RunEditOperation(*ws, Parse({"--redo", std::to_string(steps - forward + 1)})).Any());
        ASSERT_EQ(ui.Messages.size(), 1u);
        EXPECT_EQ(ui.Messages[0].Text, "Only " + std::to_string(steps - forward) + " step(s) to redo !");
        EXPECT_EQ(at(forward), "");
        RunEditOperation(*ws, Parse({"--redo", std::to_string(steps - forward)}));
        EXPECT_EQ(at(steps), "");
    }
}

TEST_F(EditOperationsTest, SelectVerticesAddsListsAndRefusesMissingVertices) {
    test::StartModel(m);
    for (int v = 0; v < 10; ++v) {
        test::AddVertex(m, 0, 0, static_cast<float>(v));
    }
    m.VertSel[1] = model::kTrue;
    RunEditOperation(*ws, Parse({"--select-vertices", "3,6-8"}));
    for (int v = 0; v < 10; ++v) {
        EXPECT_EQ(m.VertSel[v] != model::kFalse, v == 1 || v == 3 || (v >= 6 && v <= 8)) << v;
    }
    const Snapshot was = Snapshot::Take(m);
    RunEditOperation(*ws, Parse({"--select-vertices", "0,8-12"}));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Text, "Vertex 10 doesn't exist ! ");
    EXPECT_EQ(Difference(was, Snapshot::Take(m)), "");
}

// The polygon operations act on the selected polygons as the menu items do; a surface type
// that is no 16-bit number is refused.
TEST_F(EditOperationsTest, PolygonOperationsActOnTheSelection) {
    test::StartModel(m);
    for (int v = 0; v < 4; ++v) {
        test::AddVertex(m, static_cast<float>(v % 2), static_cast<float>(v / 2), 0);
    }
    test::AddPolygon(m, {{0}, {1}, {3}});
    test::AddPolygon(m, {{0}, {3}, {2}});
    test::AddPolygon(m, {{0}, {1}, {2}, {3}});
    RunEditOperation(*ws, Parse({"--select-polygons", "0-1"}));
    RunEditOperation(*ws, Parse({"--set-type", "65535"}));
    EXPECT_EQ(m.PolyType[1], -1);
    EXPECT_EQ(m.PolyType[2], 0);
    RunEditOperation(*ws, Parse({"--merge-quads"}));
    ASSERT_EQ(m.PolyCount, 2);
    EXPECT_EQ(m.PolyVCount[0], 4);
    const Snapshot was = Snapshot::Take(m);
    RunEditOperation(*ws, Parse({"--set-type", "1.5"}));
    RunEditOperation(*ws, Parse({"--select-polygons", "2"}));
    ASSERT_EQ(ui.Messages.size(), 2u);
    EXPECT_EQ(ui.Messages[0].Text, "Surface type must be a whole number from -32768 to 65535 !");
    EXPECT_EQ(ui.Messages[1].Text, "Polygon 2 doesn't exist ! ");
    EXPECT_EQ(Difference(was, Snapshot::Take(m)), "");
    RunEditOperation(*ws, Parse({"--delete-polygon", "0"}));
    EXPECT_EQ(m.PolyCount, 1);
    RunEditOperation(*ws, Parse({"--undo", "4"}));
    EXPECT_EQ(m.PolyCount, 3);
    EXPECT_EQ(m.PolySel[0], model::kFalse);
}

TEST(ParseEditOperations, ArgumentsAndErrors) {
    const std::vector<std::string> good{"--undo",       "--redo",          "2",       "--snap-position",
                                        "1,-2,+3e1,xZ", "--snap-position", "0,0,0,6", "--select-vertices",
                                        "4,0-2",        "--delete-unused", "--undo",  "--set-color",
                                        "1,2.5,-3,300"};
    const ParsedEdits p = ParseEditOperations(good);
    ASSERT_EQ(p.Error, "");
    ASSERT_EQ(p.Operations.size(), 8u);
    EXPECT_EQ(p.Operations[7].Args.Colour, (std::array<double, 4>{1, 2.5, -3, 300}));
    EXPECT_EQ(p.Operations[0].Args.Count, 1);
    EXPECT_EQ(p.Operations[1].Args.Count, 2);
    EXPECT_EQ(p.Operations[2].Args.Values, (edit::Vec3{1, -2, 30}));
    EXPECT_EQ(p.Operations[2].Args.Axes, (edit::Axes{true, false, true}));
    EXPECT_EQ(p.Operations[3].Args.Axes, (edit::Axes{false, true, true}));
    ASSERT_EQ(p.Operations[4].Args.Ranges.size(), 2u);
    EXPECT_EQ(p.Operations[4].Args.Ranges[1].First, 0);
    EXPECT_EQ(p.Operations[4].Args.Ranges[1].Last, 2);
    EXPECT_EQ(p.Operations[5].Info, FindEditOperation("--delete-unused"));
    EXPECT_EQ(p.Operations[6].Info, FindEditOperation("--undo"));

    const std::pair<std::vector<std::string>, std::string> bad[] = {
        {{"--weld"}, "--weld needs T"},
        {{"--weld", "x"}, "--weld T: cannot read 'x'"},
        {{"--weld", "nan"}, "--weld T: cannot read 'nan'"},
        {{"--translate", "1,2"}, "--translate X,Y,Z: cannot read '1,2'"},
        {{"--snap-position", "1,2,3,w"}, "--snap-position X,Y,Z[,MASK]: cannot read '1,2,3,w'"},
        {{"--snap-position", "1,2,3,8"}, "--snap-position X,Y,Z[,MASK]: cannot read '1,2,3,8'"},
        {{"--select-vertices", "5-2"}, "--select-vertices LIST: cannot read '5-2'"},
        {{"--select-vertices", "-1"}, "--select-vertices LIST: cannot read '-1'"},
        {{"--undo", "99999999999"}, "--undo N: '99999999999' is too large"},
        {{"--undo", "-1"}, "unknown operation '-1'"},
        {{"--frob"}, "unknown operation '--frob'"},
        {{"--set-color", "1,2,3"}, "--set-color R,G,B,A: cannot read '1,2,3'"},
        {{"--select-polygons", "1-"}, "--select-polygons LIST: cannot read '1-'"},
    };
    for (const auto& [args, error] : bad) {
        EXPECT_EQ(ParseEditOperations(args).Error, error);
    }
}

} // namespace
} // namespace zv
