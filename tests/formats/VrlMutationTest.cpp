// Damaged VRL files of every kind must give a message and a consistent model, never a crash or
// a read outside a table (the sanitizers watch the reads).

#include "formats/VrlReader.h"

#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"
#include "tests/support/VrlBuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace zv::formats {
namespace {

test::VrlFileModel SmallFileModel() {
    test::VrlFileModel f;
    for (int i = 0; i < 6; ++i) {
        f.Vertices.push_back({static_cast<float>(i), static_cast<float>(i % 2), 1});
    }
    for (int p = 0; p < 5; ++p) {
        test::VrlPolygon poly;
        for (int k = 0; k < 3 + p % 2; ++k) {
            poly.Corners.push_back({(p + k) % 6, 0.5f, 0.25f});
        }
        poly.Texture = p % 3;
        f.Polygons.push_back(poly);
    }
    f.TextureNames = {"ROAD", "grass", "WALL"};
    return f;
}

// The store's invariants after any read, good or bad.
void ExpectConsistent(const model::ModelStore& m) {
    ASSERT_GE(m.VertCount, 0);
    ASSERT_LE(m.VertCount, model::kVertexCapacity);
    ASSERT_GE(m.PolyCount, 0);
    ASSERT_LE(m.PolyCount, model::kPolygonCapacity);
    ASSERT_LE(m.TexCount, model::kTextureCapacity);
    for (int p = 0; p < m.PolyCount; ++p) {
        ASSERT_GE(m.PolyVCount[p], 3);
        ASSERT_LE(m.PolyVCount[p], 16);
        for (int k = 0; k < m.PolyVCount[p]; ++k) {
            ASSERT_GE(m.PolyVert(p, k), 0);
            ASSERT_LT(m.PolyVert(p, k), m.VertCount);
        }
    }
    for (int g = 1; g <= m.PartCount(); ++g) {
        for (int k = 1; k <= m.GroupSize[g]; ++k) {
            ASSERT_LT(m.GroupPoly(g, k), m.PolyCount);
        }
    }
}

TEST(VrlMutation, DamagedFilesLeaveAConsistentModel) {
    test::RecordingUi ui;
    auto ws = std::make_unique<Workspace>(ui);
    ws->Settings.LoadTexturesOnOpen = false;
    test::TempDir dir;
    std::mt19937 rng(2026);
    for (const VrlVariant variant : {VrlVariant::Scgt, VrlVariant::F1_2000}) {
        const test::VrlImage good = test::BuildVrl(SmallFileModel(), variant);
        for (int round = 0; round < 150; ++round) {
            test::VrlImage bad = good;
            const int edits = 1 + static_cast<int>(rng() % 4);
            for (int e = 0; e < edits; ++e) {
                const std::size_t at = rng() % bad.size();
                switch (rng() % 4) {
                case 0: // a random byte
                    bad[at] = static_cast<std::uint8_t>(rng());
                    break;
                case 1: { // a header word set to an edge value
                    const std::size_t word = (rng() % 50) * 4;
                    const std::array<std::int32_t, 5> edges{-1, 0, 80002, 0x7FFFFFFF,
                                                            static_cast<std::int32_t>(bad.size())};
                    if (word + 4 <= bad.size()) {
                        test::SetInt32(bad, word, edges[rng() % 5]);
                    }
                    break;
                }
                case 2: // cut short
                    test::Truncate(bad, at);
                    break;
                default: // a word somewhere set to a small number
                    if (at + 4 <= bad.size()) {
                        test::SetInt32(bad, at & ~std::size_t{3}, static_cast<std::int32_t>(rng() % 40) - 3);
                    }
                    break;
                }
                if (bad.empty()) {
                    break;
                }
            }
            const std::string path = dir.Write("DAMAGED.VRL", bad);
            OpenVrl(*ws, path, variant);
            ExpectConsistent(ws->Model);
            if (OpenVrl(*ws, dir.Write("GOOD.VRL", good), variant)) {
                MergeVrl(*ws, path, variant);
                ExpectConsistent(ws->Model);
            }
            ASSERT_EQ(ui.BusyDepth, 0);
        }
    }
}

} // namespace
} // namespace zv::formats
