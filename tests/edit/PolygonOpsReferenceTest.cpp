// The fast polygon commands against their literal versions on many random models with parts:
// runs of selected polygons (so that the order of deletions decides the order of part
// members), parts listing polygons in any order and sometimes twice, triangles sharing edges
// on flat and bent models, repeated vertices, stale edges, cursors past the count and stale
// rows above the counts. Every row in use, the parts and the cursors must come out identical,
// and undoing the step must bring back every row and part the model was built with.

#include "edit/PolygonOps.h"
#include "model/Columns.h"
#include "tests/edit/PolygonReference.h"

#include "tests/support/RecordingUi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

namespace zv::edit {
namespace {

using model::ModelStore;

constexpr int kStaleRows = 5;

class RandomModel {
public:
    RandomModel(std::uint32_t seed, int maxPolygons) : seed_(seed), maxPolygons_(maxPolygons) {}

    void Build(ModelStore& m) const {
        std::mt19937 rng(seed_);
        const auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        const auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
        const bool flat = chance(0.5);
        const bool plain = chance(0.4); // triangles and quads only: a selection that splits
        const int vertices = uniform(4, std::max(8, maxPolygons_));
        const double selectShare = std::array{0.0, 0.3, 0.8, 1.0}[static_cast<std::size_t>(uniform(0, 3))];
        const auto coordinate = [&] { return static_cast<float>(uniform(-3, 3)) * 0.5f; };
        // Whole columns are compared, so what an earlier model left there goes; no command
        // writes beyond these rows.
        for (int i = -1; i < 4 * maxPolygons_ + 4 * kStaleRows; ++i) {
            m.VertSel[i] = model::kFalse;
            m.PolySelEdge[std::max(i, 0)] = -1;
        }
        for (int v = 0; v < vertices + kStaleRows; ++v) {
            m.Vert[v] = {coordinate(), coordinate(), flat ? 0.0f : coordinate()};
            m.VertSel[v] = chance(0.5) ? model::kTrue : model::kFalse;
            m.VertFlag[v] = static_cast<std::uint8_t>(uniform(0, 3));
            m.VertUsed[v] = chance(0.5) ? model::kTrue : model::kFalse;
        }
        const int polygons = uniform(0, maxPolygons_);
        const float uvs[] = {0.0f, 0.25f, 0.5f, 1.0f};
        for (int p = 0; p < polygons + kStaleRows; ++p) {
            FillRow(m, p);
            const int kind = uniform(0, plain ? 16 : 19);
            const int corners = kind < 11 ? 3 : kind < 17 ? 4 : kind < 19 ? uniform(5, 6) : 2;
            m.PolyVCount[p] = corners;
            // Mostly different vertices, else repeats that make polygons wrong.
            std::vector<std::int32_t> pool(static_cast<std::size_t>(vertices));
            std::iota(pool.begin(), pool.end(), 0);
            std::shuffle(pool.begin(), pool.end(), rng);
            const bool distinct = corners <= vertices && chance(0.8);
            for (int k = 0; k < corners; ++k) {
                m.PolyVert(p, k) = distinct ? pool[static_cast<std::size_t>(k)] : uniform(0, vertices - 1);
                m.PolyTU(p, k) = uvs[uniform(0, 3)];
                m.PolyTV(p, k) = uvs[uniform(0, 3)];
            }
            // Often a triangle shares an edge with the one before, the other way round.
            if (p > 0 && corners == 3 && m.PolyVCount[p - 1] == 3 && chance(0.8)) {
                const int k = uniform(0, 2);
                m.PolyVert(p, 0) = m.PolyVert(p - 1, (k + 1) % 3);
                m.PolyVert(p, 1) = m.PolyVert(p - 1, k);
                m.PolyTex[p] = m.PolyTex[p - 1];
                // Mostly a third vertex that makes the pair face the same way on a flat model.
                for (int tries = 0; tries < 8 && Area(m, p) * Area(m, p - 1) <= 0; ++tries) {
                    m.PolyVert(p, 2) = uniform(0, vertices - 1);
                }
            } else {
                m.PolyTex[p] = uniform(0, 2);
            }
            m.PolySel[p] = chance(selectShare) ? model::kTrue : model::kFalse;
            const int edge = uniform(0, 9);
            m.PolySelEdge[p] = static_cast<std::int16_t>(edge < 5   ? -1
                                                         : edge < 9 ? edge - 5
                                                                    : -100 - uniform(0, 2));
            m.PolyFlag[p] = static_cast<std::uint8_t>(uniform(0, 3));
        }
        m.VertCount = vertices;
        m.PolyCount = polygons;
        m.TexCount = 3;
        for (int t = 0; t < 3; ++t) {
            m.TexName[t] = "t" + std::to_string(t);
        }
        m.PartNodes.clear();
        const int parts = polygons == 0 ? 0 : uniform(0, 4);
        for (int g = 1; g <= parts; ++g) {
            m.PartNodes.push_back({"part" + std::to_string(g) + "   p:0", true});
            m.GroupName[g] = "part" + std::to_string(g);
            const int size = uniform(0, std::min(polygons, model::kMaxPartMembers));
            std::vector<std::int32_t> members(static_cast<std::size_t>(polygons));
            std::iota(members.begin(), members.end(), 0);
            std::shuffle(members.begin(), members.end(), rng);
            members.resize(static_cast<std::size_t>(size));
            if (size > 1 && chance(0.3)) {
                members[static_cast<std::size_t>(uniform(0, size - 1))] = members[0]; // listed twice
            }
            m.GroupSize[g] = size;
            for (int i = 0; i < size; ++i) {
                m.GroupPoly(g, i + 1) = members[static_cast<std::size_t>(i)];
            }
        }
        m.CurPoly = uniform(-1, polygons);
        m.CurCorner = uniform(-1, 5);
        m.CurEdge = uniform(-1, 5);
        m.CurVert = uniform(-1, vertices - 1);
    }

private:
    // Twice the signed area of the triangle's shadow on the XY plane.
    static double Area(const ModelStore& m, int p) {
        const model::VertRec &a = m.Vert[m.PolyVert(p, 0)], &b = m.Vert[m.PolyVert(p, 1)],
                             &c = m.Vert[m.PolyVert(p, 2)];
        return (static_cast<double>(b.X) - a.X) * (static_cast<double>(c.Y) - a.Y) -
               (static_cast<double>(b.Y) - a.Y) * (static_cast<double>(c.X) - a.X);
    }

    void FillRow(ModelStore& m, int p) const {
        unsigned column = 0;
        model::ForEachPolygonColumn(m, [&](auto& table) {
            using Table = std::remove_cvref_t<decltype(table)>;
            const std::size_t size = sizeof(typename Table::Element) * Table::kPerRow / Table::kSlices;
            for (int s = 0; s < Table::kSlices; ++s) {
                auto* bytes = reinterpret_cast<unsigned char*>(table.Slice(s, p));
                for (std::size_t b = 0; b < size; ++b) {
                    bytes[b] = static_cast<unsigned char>(seed_ + static_cast<unsigned>(p) * 7u +
                                                          column * 13u + static_cast<unsigned>(s) * 3u + b);
                }
            }
            ++column;
        });
    }

    std::uint32_t seed_;
    int maxPolygons_;
};

template <class Table> bool SameRows(const Table& a, const Table& b, int first, int rows) {
    const std::size_t size = sizeof(typename Table::Element) * Table::kPerRow / Table::kSlices;
    for (int s = 0; s < Table::kSlices; ++s) {
        if (rows > 0 &&
            std::memcmp(a.Slice(s, first), b.Slice(s, first), size * static_cast<std::size_t>(rows)) != 0) {
            return false;
        }
    }
    return true;
}

// The first difference between two stores in rows below the given numbers, the parts, counts
// and cursors, the selection of every vertex slot and the selected edges from row edgesFrom
// on (rows a deletion left behind hold stale values); empty when there is none.
std::string Difference(const ModelStore& a, const ModelStore& b, int vertices, int polygons,
                       int edgesFrom = 0) {
    if (a.VertCount != b.VertCount || a.PolyCount != b.PolyCount) {
        return "counts " + std::to_string(a.VertCount) + "/" + std::to_string(a.PolyCount) + " vs " +
               std::to_string(b.VertCount) + "/" + std::to_string(b.PolyCount);
    }
    if (a.CurPoly != b.CurPoly || a.CurCorner != b.CurCorner || a.CurEdge != b.CurEdge ||
        a.CurVert != b.CurVert) {
        return "cursors";
    }
    std::string out;
    std::vector<const void*> columns;
    model::ForEachVertexColumn(b, [&](const auto& t) { columns.push_back(&t); });
    model::ForEachPolygonColumn(b, [&](const auto& t) { columns.push_back(&t); });
    std::size_t c = 0;
    const auto compare = [&](int rows) {
        return [&, rows](const auto& t) {
            const auto& other = *static_cast<const std::remove_cvref_t<decltype(t)>*>(columns[c]);
            for (int i = 0; i < rows && out.empty(); ++i) {
                if (!SameRows(t, other, i, 1)) {
                    out = "column " + std::to_string(c) + " row " + std::to_string(i);
                }
            }
            ++c;
        };
    };
    model::ForEachVertexColumn(a, compare(vertices));
    model::ForEachPolygonColumn(a, compare(polygons));
    if (!out.empty()) {
        return out;
    }
    if (!SameRows(a.VertSel, b.VertSel, -1, a.VertSel.Rows() + 1)) {
        return "vertex selection";
    }
    if (!SameRows(a.PolySelEdge, b.PolySelEdge, edgesFrom, a.PolySelEdge.Rows() - edgesFrom)) {
        return "selected edges";
    }
    if (a.PartCount() != b.PartCount()) {
        return "part count";
    }
    for (int g = 1; g <= a.PartCount(); ++g) {
        std::string listA, listB;
        for (int i = 1; i <= a.GroupSize[g]; ++i) {
            listA += " " + std::to_string(a.GroupPoly(g, i));
        }
        for (int i = 1; i <= b.GroupSize[g]; ++i) {
            listB += " " + std::to_string(b.GroupPoly(g, i));
        }
        if (listA != listB) {
            return "part " + std::to_string(g) + ":" + listA + " vs" + listB;
        }
    }
    return "";
}

struct Case {
    std::string Name;
    std::function<Change(ModelStore&, Recorder&, model::UserInterface&)> Fast;
    std::function<void(ModelStore&)> Literal;
};

std::vector<Case> Cases() {
    std::vector<Case> cases{
        {"Delete All Selected",
         [](ModelStore& m, Recorder& r, model::UserInterface& ui) {
             return DeleteSelectedPolygons(m, r, ui);
         },
         test::LiteralDeleteSelected},
        {"Remove Wrong",
         [](ModelStore& m, Recorder& r, model::UserInterface& ui) { return RemoveWrongPolygons(m, r, ui); },
         test::LiteralRemoveWrong},
        {"Flip", [](ModelStore& m, Recorder& r, model::UserInterface&) { return FlipSelectedPolygons(m, r); },
         test::LiteralFlipSelected},
        {"Mirror Texture",
         [](ModelStore& m, Recorder& r, model::UserInterface&) { return MirrorSelectedTextures(m, r); },
         test::LiteralMirrorSelected},
        {"Rotate Texture",
         [](ModelStore& m, Recorder& r, model::UserInterface&) { return RotateSelectedTextures(m, r); },
         test::LiteralRotateSelected},
        {"Copy to Backside",
         [](ModelStore& m, Recorder& r, model::UserInterface& ui) { return CopyToBackside(m, r, ui); },
         test::LiteralCopyToBackside},
        {"Split to Triangles",
         [](ModelStore& m, Recorder& r, model::UserInterface& ui) { return SplitSelectedPolygons(m, r, ui); },
         test::LiteralSplitSelected},
        {"Merge Triangles to Quads",
         [](ModelStore& m, Recorder& r, model::UserInterface& ui) { return MergeTrianglesToQuads(m, r, ui); },
         test::LiteralMergeTriangles},
        {"Add Quads to Edges",
         [](ModelStore& m, Recorder& r, model::UserInterface& ui) { return ExtrudeSelectedEdges(m, r, ui); },
         test::LiteralExtrudeEdges},
    };
    // The current polygon, and polygons by their place in the model.
    for (const int share : {0, 1, 2}) {
        const auto pick = [share](const ModelStore& m) {
            return share == 0 ? m.CurPoly : m.PolyCount * share / 3;
        };
        cases.push_back({"Delete " + std::to_string(share),
                         [pick](ModelStore& m, Recorder& r, model::UserInterface&) {
                             return DeletePolygon(m, r, pick(m));
                         },
                         [pick](ModelStore& m) {
                             const std::int32_t p = pick(m);
                             if (p >= 0 && p < m.PolyCount) {
                                 test::LiteralDeletePolygon(m, p);
                             }
                         }});
        for (const int e : {-1, 0, 1, 2, 3}) {
            cases.push_back({"Split " + std::to_string(share) + " at " + std::to_string(e),
                             [pick, e](ModelStore& m, Recorder& r, model::UserInterface& ui) {
                                 return SplitPolygon(m, r, ui, pick(m), e);
                             },
                             [pick, e](ModelStore& m) {
                                 const std::int32_t p = pick(m);
                                 if (p >= 0 && p < m.PolyCount) {
                                     test::LiteralSplitPolygon(m, p, e);
                                 }
                             }});
        }
    }
    return cases;
}

class PolygonOpsReferenceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        fast_ = std::make_unique<ModelStore>();
        literal_ = std::make_unique<ModelStore>();
        built_ = std::make_unique<ModelStore>();
    }
    static void TearDownTestSuite() {
        fast_.reset();
        literal_.reset();
        built_.reset();
    }

    // Returns whether the command changed the model.
    static bool Check(const Case& c, const RandomModel& model, bool withHistory) {
        ModelStore& f = *fast_;
        ModelStore& l = *literal_;
        model.Build(f);
        model.Build(l);
        const int builtVertices = f.VertCount + kStaleRows;
        const int builtPolygons = f.PolyCount + kStaleRows;
        test::RecordingUi ui;
        History history;
        Change changed;
        if (withHistory) {
            Recorder rec = history.Begin(f, c.Name);
            changed = c.Fast(f, rec, ui);
            history.End(changed);
        } else {
            Recorder rec;
            changed = c.Fast(f, rec, ui);
        }
        c.Literal(l);
        // A literal split appends both halves before it deletes the polygon: one row more.
        const int stale = std::max(builtPolygons - kStaleRows, f.PolyCount + 1);
        EXPECT_EQ(Difference(f, l, f.VertCount, f.PolyCount, stale), "");
        if (!withHistory) {
            return changed.Any();
        }
        model.Build(*built_);
        EXPECT_EQ(Difference(f, *built_, builtVertices, builtPolygons) == "", !changed.Any())
            << "a change must be reported exactly when something changed";
        history.Undo(f);
        EXPECT_EQ(Difference(f, *built_, builtVertices, builtPolygons), "") << "after undo";
        return changed.Any();
    }

    static void Run(std::uint32_t from, std::uint32_t to, int maxPolygons, int historyEvery) {
        const std::vector<Case> cases = Cases();
        std::vector<int> changed(cases.size(), 0);
        for (std::uint32_t seed = from; seed < to; ++seed) {
            const RandomModel model(seed, maxPolygons);
            for (std::size_t i = 0; i < cases.size(); ++i) {
                SCOPED_TRACE(cases[i].Name + ", seed " + std::to_string(seed));
                changed[i] +=
                    Check(cases[i], model, seed % static_cast<std::uint32_t>(historyEvery) == 0) ? 1 : 0;
                if (HasFailure()) {
                    return;
                }
            }
        }
        // The models must give every command work to do, several times.
        for (std::size_t i = 0; i < cases.size(); ++i) {
            EXPECT_GE(changed[i], static_cast<int>(to - from) / 8) << cases[i].Name;
        }
    }

    static std::unique_ptr<ModelStore> fast_;
    static std::unique_ptr<ModelStore> literal_;
    static std::unique_ptr<ModelStore> built_;
};

std::unique_ptr<ModelStore> PolygonOpsReferenceTest::fast_;
std::unique_ptr<ModelStore> PolygonOpsReferenceTest::literal_;
std::unique_ptr<ModelStore> PolygonOpsReferenceTest::built_;

TEST_F(PolygonOpsReferenceTest, SmallModelsMatchTheLiteralRules) {
    Run(1, 121, 16, 6);
}

TEST_F(PolygonOpsReferenceTest, MediumModelsMatchTheLiteralRules) {
    Run(1000, 1008, 300, 3);
}

} // namespace
} // namespace zv::edit
