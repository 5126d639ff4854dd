// Times of the vertex and polygon commands and transforms on a full model (80000 vertices,
// 80000 polygons, parts of 1280 members), alone and as a step of the edit history, and of
// undoing and redoing each step.

#include "edit/History.h"
#include "edit/PolygonOps.h"
#include "edit/TextureOps.h"
#include "edit/Transforms.h"
#include "edit/VertexOps.h"
#include "tests/support/ModelBuilder.h"
#include "tests/support/SilentUi.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>
#include <random>

namespace zv {
namespace {

using edit::Change;
using edit::Recorder;
using model::ModelStore;

constexpr int kVertices = 80000;
constexpr int kQuads = 80000;
constexpr int kRow = 400;

// Quads over the odd vertices only, so vertex 0 and 40000 others are unused and the holes are
// spread over the whole table.
void HalfUnused(ModelStore& m) {
    test::StartModel(m);
    for (int i = 0; i < kVertices; ++i) {
        test::AddVertex(m, static_cast<float>(i % kRow) * 0.5f, static_cast<float>(i / kRow) * 0.5f,
                        static_cast<float>(i % 7) * 0.1f);
    }
    const int used = kVertices / 2;
    const auto odd = [](int k) { return 2 * (k % (kVertices / 2)) + 1; };
    for (int p = 0; p < kQuads; ++p) {
        const int a = p % used;
        test::AddPolygon(m, {{odd(a)}, {odd(a + 1)}, {odd(a + kRow + 1)}, {odd(a + kRow)}});
    }
    for (int i = 0; i < kVertices; ++i) {
        m.VertSel[i] = model::kTrue;
    }
    m.CurVert = 0;
}

// Vertices 2k and 2k + 1 within 0.004 of each other, pairs 0.5 apart; or, with oneBox, every
// vertex within 0.01 of every other. Quads use every vertex.
void Pairs(ModelStore& m, bool oneBox) {
    test::StartModel(m);
    for (int i = 0; i < kVertices; ++i) {
        const int k = i / 2;
        const float scale = oneBox ? 1e-6f : 0.5f;
        const float twin = static_cast<float>(i % 2) * 0.004f;
        test::AddVertex(m, static_cast<float>(k % kRow) * scale + twin, static_cast<float>(k / kRow) * scale,
                        0);
    }
    for (int p = 0; p < kQuads; ++p) {
        const int a = p % (kVertices - kRow - 1);
        test::AddPolygon(m, {{a}, {a + 1}, {a + kRow + 1}, {a + kRow}});
    }
    for (int i = 0; i < kVertices; ++i) {
        m.VertSel[i] = model::kTrue;
    }
}

using Op = std::function<Change(ModelStore&, Recorder&)>;
using Build = void (*)(ModelStore&);

void BuildHalfUnused(ModelStore& m) {
    HalfUnused(m);
}
void BuildPairs(ModelStore& m) {
    Pairs(m, false);
}
void BuildOneBox(ModelStore& m) {
    Pairs(m, true);
}

test::SilentUi& Ui() {
    static test::SilentUi ui;
    return ui;
}

// The operation alone (nothing recorded), on a fresh copy of the model each time.
void Alone(benchmark::State& state, Build build, const Op& op) {
    auto base = std::make_unique<ModelStore>();
    build(*base);
    auto work = std::make_unique<ModelStore>();
    for (auto _ : state) {
        state.PauseTiming();
        *work = *base;
        state.ResumeTiming();
        Recorder rec;
        benchmark::DoNotOptimize(op(*work, rec));
    }
}

// The operation as one step of the history, on a fresh copy each time.
void AsStep(benchmark::State& state, Build build, const Op& op) {
    auto base = std::make_unique<ModelStore>();
    build(*base);
    auto work = std::make_unique<ModelStore>();
    for (auto _ : state) {
        state.PauseTiming();
        *work = *base;
        edit::History history;
        state.ResumeTiming();
        Recorder rec = history.Begin(*work, "op");
        history.End(op(*work, rec));
        state.PauseTiming();
        history.Clear();
        state.ResumeTiming();
    }
}

// Undo (or redo) of the step, timed alone; the other direction runs untimed in between.
void UndoRedo(benchmark::State& state, Build build, const Op& op, bool redo) {
    auto m = std::make_unique<ModelStore>();
    build(*m);
    edit::History history;
    {
        Recorder rec = history.Begin(*m, "op");
        history.End(op(*m, rec));
    }
    if (!history.CanUndo()) {
        state.SkipWithError("the operation changed nothing");
        return;
    }
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        history.Undo(*m);
        const auto t1 = std::chrono::steady_clock::now();
        history.Redo(*m);
        const auto t2 = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(redo ? t2 - t1 : t1 - t0).count());
    }
}

Change DeleteVertex0(ModelStore& m, Recorder& r) {
    m.CurVert = 0;
    return edit::DeleteVertex(m, r, Ui());
}
Change DeleteUnused(ModelStore& m, Recorder& r) {
    return edit::DeleteUnusedVertices(m, r);
}
Change Weld(ModelStore& m, Recorder& r) {
    return edit::WeldVertices(m, r, Ui(), 0.01);
}
Change Join(ModelStore& m, Recorder& r) {
    return edit::JoinVertices(m, r, Ui(), 0.01);
}
Change WeldOneBox(ModelStore& m, Recorder& r) {
    return edit::WeldVertices(m, r, Ui(), 1);
}
Change JoinOneBox(ModelStore& m, Recorder& r) {
    return edit::JoinVertices(m, r, Ui(), 1);
}
Change Resize(ModelStore& m, Recorder& r) {
    return edit::Resize(m, r, {1.5, 0.5, 2}, edit::Affected::All);
}
Change Rotate(ModelStore& m, Recorder& r) {
    return edit::Rotate(m, r, {10, 20, 30}, true);
}
Change Translate(ModelStore& m, Recorder& r) {
    return edit::Translate(m, r, {1, 2, 3}, edit::Affected::Selected);
}
Change Snap(ModelStore& m, Recorder& r) {
    return edit::SnapToGrid(m, r, Ui(), 0.3);
}

#define ZV_EDIT_BENCH(name, build, op)                                                                       \
    BENCHMARK_CAPTURE(Alone, name, build, op)->Unit(benchmark::kMillisecond);                                \
    BENCHMARK_CAPTURE(AsStep, name, build, op)->Unit(benchmark::kMillisecond);                               \
    BENCHMARK_CAPTURE(UndoRedo, Undo_##name, build, op, false)                                               \
        ->UseManualTime()                                                                                    \
        ->Unit(benchmark::kMillisecond);                                                                     \
    BENCHMARK_CAPTURE(UndoRedo, Redo_##name, build, op, true)->UseManualTime()->Unit(benchmark::kMillisecond)

ZV_EDIT_BENCH(DeleteVertex0, BuildHalfUnused, DeleteVertex0);
ZV_EDIT_BENCH(DeleteUnused, BuildHalfUnused, DeleteUnused);
ZV_EDIT_BENCH(WeldPairs, BuildPairs, Weld);
ZV_EDIT_BENCH(JoinPairs, BuildPairs, Join);
ZV_EDIT_BENCH(WeldOneBox, BuildOneBox, WeldOneBox);
ZV_EDIT_BENCH(JoinOneBox, BuildOneBox, JoinOneBox);
ZV_EDIT_BENCH(Resize, BuildHalfUnused, Resize);
ZV_EDIT_BENCH(Rotate, BuildHalfUnused, Rotate);
ZV_EDIT_BENCH(Translate, BuildHalfUnused, Translate);
ZV_EDIT_BENCH(SnapToGrid, BuildHalfUnused, Snap);

// ---- Polygon commands ---------------------------------------------------------------------

// Vertices on a grid of kRow columns; polygons over its cells, quads or pairs of triangles,
// cells numbered across the rows; the polygons in parts of partSize members in order.
void Cells(ModelStore& m, int vertices, int polygons, bool triangles, int partSize) {
    test::StartModel(m);
    for (int i = 0; i < vertices; ++i) {
        test::AddVertex(m, static_cast<float>(i % kRow) * 0.5f, static_cast<float>(i / kRow) * 0.5f, 0);
    }
    const int cells = (vertices / kRow - 1) * (kRow - 1);
    const auto corner = [](int cell) { return cell / (kRow - 1) * kRow + cell % (kRow - 1); };
    for (int p = 0; p < polygons; ++p) {
        const int cell = (triangles ? p / 2 : p) % cells;
        const int a = corner(cell), b = a + 1, c = a + kRow + 1, d = a + kRow;
        if (!triangles) {
            test::AddPolygon(m, {{a}, {b}, {c}, {d}});
        } else if (p % 2 == 0) {
            test::AddPolygon(m, {{a}, {b}, {c}});
        } else {
            test::AddPolygon(m, {{a}, {c}, {d}});
        }
    }
    m.PartNodes.clear();
    for (int g = 1; (g - 1) * partSize < polygons; ++g) {
        m.PartNodes.push_back({"Obj" + std::to_string(g), true});
        m.GroupSize[g] = std::min(partSize, polygons - (g - 1) * partSize);
        for (int i = 1; i <= m.GroupSize[g]; ++i) {
            m.GroupPoly(g, i) = (g - 1) * partSize + i - 1;
        }
    }
}

// The full model: quads, parts of 1280; half the polygons selected at random (runs of every
// length, so deletion passes repeat).
void FullQuads(ModelStore& m) {
    Cells(m, kVertices, kQuads, false, model::kMaxPartMembers);
    std::mt19937 rng(7);
    for (int p = 0; p < kQuads; ++p) {
        m.PolySel[p] = rng() % 2 == 0 ? model::kTrue : model::kFalse;
    }
}

// Every tenth polygon wrong: its four corners on two vertices, (a, b, a, b).
void TenthWrong(ModelStore& m) {
    Cells(m, kVertices, kQuads, false, model::kMaxPartMembers);
    for (int p = 0; p < kQuads; p += 10) {
        m.PolyVert(p, 2) = m.PolyVert(p, 0);
        m.PolyVert(p, 3) = m.PolyVert(p, 1);
    }
}

// 40000 selected quads in parts of 640, which the halves fill to 1280.
void QuadsToSplit(ModelStore& m) {
    Cells(m, kVertices, kQuads / 2, false, model::kMaxPartMembers / 2);
    test::SelectAll(m);
}

// 80000 selected triangles, two per cell.
void TrianglesToMerge(ModelStore& m) {
    Cells(m, kVertices, kQuads, true, model::kMaxPartMembers);
    test::SelectAll(m);
}

// Room for 10000 more polygons (and 20000 vertices); every seventh polygon selected, with its
// edge 1 selected.
void TenThousandSelected(ModelStore& m) {
    Cells(m, kVertices - 20000, kQuads - 10000, false, model::kMaxPartMembers);
    for (int p = 0; p < 70000; p += 7) {
        m.PolySel[p] = model::kTrue;
        m.PolySelEdge[p] = 1;
    }
}

void BuildFullQuads(ModelStore& m) {
    FullQuads(m);
}

Change DeletePolygon0(ModelStore& m, Recorder& r) {
    return edit::DeletePolygon(m, r, 0);
}
Change DeleteSelected(ModelStore& m, Recorder& r) {
    return edit::DeleteSelectedPolygons(m, r, Ui());
}
Change RemoveWrong(ModelStore& m, Recorder& r) {
    return edit::RemoveWrongPolygons(m, r, Ui());
}
Change SplitTriangles(ModelStore& m, Recorder& r) {
    return edit::SplitSelectedPolygons(m, r, Ui());
}
Change MergeQuads(ModelStore& m, Recorder& r) {
    return edit::MergeTrianglesToQuads(m, r, Ui());
}
Change Flip(ModelStore& m, Recorder& r) {
    return edit::FlipSelectedPolygons(m, r);
}
Change CopyBackside(ModelStore& m, Recorder& r) {
    return edit::CopyToBackside(m, r, Ui());
}
Change Extrude(ModelStore& m, Recorder& r) {
    return edit::ExtrudeSelectedEdges(m, r, Ui());
}

ZV_EDIT_BENCH(DeletePolygon0, BuildFullQuads, DeletePolygon0);
ZV_EDIT_BENCH(DeleteSelected40000, BuildFullQuads, DeleteSelected);
ZV_EDIT_BENCH(RemoveWrong8000, TenthWrong, RemoveWrong);
ZV_EDIT_BENCH(Split40000Quads, QuadsToSplit, SplitTriangles);
ZV_EDIT_BENCH(Merge80000Triangles, TrianglesToMerge, MergeQuads);
ZV_EDIT_BENCH(Flip10000, TenThousandSelected, Flip);
ZV_EDIT_BENCH(CopyBackside10000, TenThousandSelected, CopyBackside);
ZV_EDIT_BENCH(Extrude10000, TenThousandSelected, Extrude);

// ---- Texture commands ---------------------------------------------------------------------

// The full model of quads laid on the ground (facing up), every one selected, two textures.
void SelectedGroundQuads(ModelStore& m) {
    Cells(m, kVertices, kQuads, false, model::kMaxPartMembers);
    for (int i = 0; i < kVertices; ++i) {
        m.Vert[i] = {m.Vert[i].X, 0, -m.Vert[i].Y};
    }
    test::AddTexture(m, "a");
    test::AddTexture(m, "b");
    test::SelectAll(m);
}

Change MapPlanar(ModelStore& m, Recorder& r) {
    return edit::MapSelectedPlanar(m, r, edit::DirectionView(edit::MapDirection::Y, 12, 34), 1, 256, 128);
}
Change WetTransparency(ModelStore& m, Recorder& r) {
    return edit::WetSurfaceTransparency(m, r);
}
Change ReplaceTexture(ModelStore& m, Recorder& r) {
    return edit::ReplaceTexture(m, r, 0, 1);
}

ZV_EDIT_BENCH(MapPlanar80000, SelectedGroundQuads, MapPlanar);
ZV_EDIT_BENCH(WetTransparency80000, SelectedGroundQuads, WetTransparency);
ZV_EDIT_BENCH(ReplaceTexture80000, SelectedGroundQuads, ReplaceTexture);

// The history's size after moving one vertex of a full model.
void OneVertexMoveBytes(benchmark::State& state) {
    auto m = std::make_unique<ModelStore>();
    HalfUnused(*m);
    model::DeselectAll(*m);
    m->VertSel[40000] = model::kTrue;
    std::size_t bytes = 0;
    for (auto _ : state) {
        edit::History history;
        Recorder rec = history.Begin(*m, "Move");
        history.End(edit::MoveSelected(*m, rec, {0.5, 0, 0}));
        bytes = history.Bytes();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(OneVertexMoveBytes)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zv
