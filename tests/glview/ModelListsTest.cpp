// The model, current-polygon and vertex-point lists as recorded vertex arrays against the
// display lists with one primitive per polygon that they replace (ReferenceLists): a random
// model rendered in every draw mode must give the same pixels both ways. With ZV_VIEW_IMAGES
// set to a folder, each case's picture is written there as a PPM file.

#include "render/gl/GlView.h"
#include "tests/glview/OffscreenContext.h"
#include "tests/glview/ReferenceLists.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <numbers>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace zv::render::gl {
namespace {

using tests::OffscreenContext;

constexpr int kWidth = 200;
constexpr int kHeight = 150;

struct Vec3 {
    float X, Y, Z;
};

// A model of a few hundred polygons in runs of one corner count (so batches start and end
// everywhere), a patch of quads that share their edges, and the odd damaged polygon; the
// attributes every draw mode reads are random.
class RandomModel {
public:
    explicit RandomModel(model::ModelStore& m, unsigned seed) : m_(m), rng_(seed) {
        m.VertCount = 0;
        m.PolyCount = 0;
        m.TexCount = kTextures;
        while (m.PolyCount < 300) {
            const int corners = CornerCount();
            const int run = 1 + Below(12);
            for (int i = 0; i < run; ++i)
                AddLoosePolygon(corners);
        }
        AddPatch(12, 8);
        for (int p = 0; p < m.PolyCount; ++p)
            SetAttributes(p);
        Damage();
        m.CurPoly = Below(m.PolyCount);
        m.CurVert = Below(m.VertCount);
    }

    static constexpr int kTextures = 5;

private:
    float Uniform(float lo, float hi) {
        return lo + (hi - lo) * static_cast<float>(rng_() % 100000) / 100000.0f;
    }
    int Below(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }

    int CornerCount() {
        const int r = Below(100);
        return r < 3 ? 1 : r < 6 ? 2 : r < 40 ? 3 : r < 85 ? 4 : 5 + Below(4);
    }

    int AddVertex(Vec3 v) {
        m_.Vert[m_.VertCount] = {v.X, v.Y, v.Z};
        return m_.VertCount++;
    }

    // Corners on a circle around a random centre, in a random plane and either winding.
    void AddLoosePolygon(int corners) {
        const Vec3 c{Uniform(-3, 3), Uniform(-2, 2), Uniform(-2, 2)};
        const float r = Uniform(0.2f, 0.9f);
        const float a = Uniform(0, std::numbers::pi_v<float>);
        const float b = Uniform(0, std::numbers::pi_v<float>);
        const Vec3 u{std::cos(a), std::sin(a), 0};
        const Vec3 w{-std::sin(a) * std::cos(b), std::cos(a) * std::cos(b), std::sin(b)};
        const float turn = Chance(50) ? 1.0f : -1.0f;
        const int p = m_.PolyCount++;
        for (int k = 0; k < corners; ++k) {
            const float t =
                turn * 2 * std::numbers::pi_v<float> * static_cast<float>(k) / static_cast<float>(corners);
            const float cu = r * std::cos(t);
            const float cw = r * std::sin(t);
            m_.PolyVert(p, k) =
                AddVertex({c.X + cu * u.X + cw * w.X, c.Y + cu * u.Y + cw * w.Y, c.Z + cu * u.Z + cw * w.Z});
        }
        m_.PolyVCount[p] = corners;
    }

    // A bent sheet of quads over shared vertices, as a real mesh has.
    void AddPatch(int across, int down) {
        const int first = m_.VertCount;
        for (int j = 0; j <= down; ++j)
            for (int i = 0; i <= across; ++i)
                AddVertex({-2.5f + 0.4f * static_cast<float>(i), -1.5f + 0.4f * static_cast<float>(j),
                           0.3f * std::sin(static_cast<float>(i) * 0.7f)});
        for (int j = 0; j < down; ++j) {
            for (int i = 0; i < across; ++i) {
                const int p = m_.PolyCount++;
                const int v = first + j * (across + 1) + i;
                const bool flip = (i + j) % 5 == 0;
                const int order[4] = {v, v + 1, v + across + 2, v + across + 1};
                for (int k = 0; k < 4; ++k)
                    m_.PolyVert(p, k) = order[flip ? 3 - k : k];
                m_.PolyVCount[p] = 4;
            }
        }
    }

    void SetAttributes(int p) {
        m_.PolyFlag[p] = Chance(90) ? 1 : 0;
        for (int k = 0; k < m_.PolyVCount[p]; ++k)
            m_.VertSel[m_.PolyVert(p, k)] = Chance(20) ? model::kTrue : model::kFalse;
        m_.PolySel[p] = Chance(25) ? model::kTrue : model::kFalse;
        m_.PolyTex[p] = Below(kTextures + 1) - (Chance(5) ? 2 : 0); // a few outside the table
        m_.PolyType[p] = Chance(10) ? (Chance(50) ? 25 : 36) : 0;
        m_.PolyR[p] = static_cast<std::uint8_t>(Below(256));
        m_.PolyG[p] = static_cast<std::uint8_t>(Below(256));
        m_.PolyB[p] = static_cast<std::uint8_t>(Below(256));
        m_.PolyA[p] = static_cast<std::uint8_t>(Chance(60) ? 0 : Below(256));
        m_.PolyNX[p] = Uniform(-1, 1);
        m_.PolyNY[p] = Uniform(-1, 1);
        m_.PolyNZ[p] = Uniform(-1, 1);
        for (int k = 0; k < m_.PolyVCount[p]; ++k) {
            m_.PolyTU(p, k) = Uniform(-0.5f, 1.5f);
            m_.PolyTV(p, k) = Uniform(-0.5f, 1.5f);
        }
    }

    // Polygons the view must skip: a corner that is no vertex, no corners, too many corners.
    void Damage() {
        for (int i = 0; i < 6; ++i) {
            const int p = Below(m_.PolyCount);
            switch (i % 3) {
            case 0:
                m_.PolyVert(p, 0) = m_.VertCount + 3;
                break;
            case 1:
                m_.PolyVCount[p] = 0;
                break;
            default:
                m_.PolyVCount[p] = model::kMaxCorners + 1;
                break;
            }
        }
    }

    model::ModelStore& m_;
    std::mt19937 rng_;
};

struct Case {
    std::string Name;
    std::uint8_t RenderType = 2;
    int ColorMode = 1;
    bool Edges = false;
    bool Smooth = false;
    std::int16_t Textures = RandomModel::kTextures; // model texture count
    bool Loaded = true;                             // the texture table says the textures loaded
    int Selection = -1;                             // -1 random, 0 none, 1 all
    bool Points = false;                            // the unselected vertices as points too
    bool AxisAndGrid = false;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.Name;
}

std::vector<Case> Cases() {
    std::vector<Case> cases = {
        {.Name = "wire", .RenderType = 0},
        {.Name = "wire_edges", .RenderType = 0, .Edges = true},
        {.Name = "wire_unselected", .RenderType = 0, .Selection = 0},
        {.Name = "textured", .RenderType = 2},
        {.Name = "textured_edges", .RenderType = 2, .Edges = true},
        {.Name = "textured_smooth", .RenderType = 2, .Smooth = true},
        {.Name = "textured_all_selected", .RenderType = 2, .Selection = 1},
        {.Name = "textures_failed", .RenderType = 2, .Loaded = false},
        {.Name = "no_textures", .RenderType = 2, .Textures = 0},
        {.Name = "flat_edges", .RenderType = 1, .Edges = true},
        {.Name = "flat_unselected", .RenderType = 1, .Selection = 0},
        {.Name = "flat_corners_smooth", .RenderType = 1, .ColorMode = 8, .Smooth = true},
        {.Name = "flat_points", .RenderType = 1, .Points = true},
        {.Name = "wire_points_axis_grid", .RenderType = 0, .Points = true, .AxisAndGrid = true},
        {.Name = "textured_edges_axis_grid", .RenderType = 2, .Edges = true, .AxisAndGrid = true},
    };
    for (int mode = 1; mode <= 8; ++mode)
        cases.push_back({.Name = "flat_mode" + std::to_string(mode), .RenderType = 1, .ColorMode = mode});
    return cases;
}

void WritePpm(const std::string& path, const std::vector<std::uint8_t>& rgba) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return;
    std::fprintf(f, "P6\n%d %d\n255\n", kWidth, kHeight);
    for (int y = kHeight - 1; y >= 0; --y)
        for (int x = 0; x < kWidth; ++x)
            std::fwrite(&rgba[static_cast<std::size_t>((y * kWidth + x) * 4)], 1, 3, f);
    std::fclose(f);
}

class ModelListsTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        ZV_REQUIRE_GL();
        ctx = OffscreenContext::Get();
        ASSERT_TRUE(ctx->Bind(kWidth, kHeight));
        s.ViewAxis = false;
        s.ViewGrid = false;
        view.InitGLState(s, kWidth, kHeight);
        view.Cam = Camera{0.3f, -0.2f, 11, 25, 20};
        const std::uint8_t alphas[RandomModel::kTextures] = {255, 255, 128, 255, 0};
        for (int t = 0; t < RandomModel::kTextures; ++t)
            UploadPattern(t, alphas[t]);
    }

    void TearDown() override {
        if (ctx != nullptr)
            ctx->Bind(tests::kGlSize, tests::kGlSize);
    }

    // 4 × 4 texels in colours of their own, so a wrong texture or coordinate shows.
    void UploadPattern(int t, std::uint8_t alpha) {
        std::vector<std::uint8_t> rgba;
        for (int i = 0; i < 16; ++i) {
            rgba.push_back(static_cast<std::uint8_t>(40 * t + 13 * i));
            rgba.push_back(static_cast<std::uint8_t>(255 - 16 * i));
            rgba.push_back(static_cast<std::uint8_t>((i % 2) * 200 + t * 10));
            rgba.push_back(i % 3 == 0 ? alpha : 255);
        }
        ASSERT_TRUE(view.UploadTexture(t, 4, 4, rgba.data()));
    }

    std::vector<std::uint8_t> Frame() {
        glFinish();
        return ctx->ReadAll(kWidth, kHeight);
    }

    OffscreenContext* ctx = nullptr;
    config::Settings s;
    std::unique_ptr<model::ModelStore> m = std::make_unique<model::ModelStore>();
    std::unique_ptr<textures::TextureTable> tex = std::make_unique<textures::TextureTable>();
    GlView view;
};

TEST_P(ModelListsTest, SamePixelsAsOnePrimitivePerPolygon) {
    const Case& c = GetParam();
    for (unsigned seed : {1u, 2u, 3u}) {
        RandomModel build(*m, seed);
        m->TexCount = c.Textures;
        for (int t = 0; t < RandomModel::kTextures; ++t)
            tex->TexTable[t].Slot = c.Loaded ? t : -1;
        if (c.Selection >= 0) {
            for (int p = 0; p < m->PolyCount; ++p)
                m->PolySel[p] = c.Selection != 0 ? model::kTrue : model::kFalse;
        }
        s.RenderType = c.RenderType;
        s.ViewAxis = s.ViewGrid = c.AxisAndGrid;
        view.GLColorMode = c.ColorMode;
        view.Switches.ShowEdges = c.Edges;
        view.SetGlSwitch(GlSwitch::Smooth, c.Smooth);

        view.BuildModelList(*m, s, *tex, c.Points);
        view.BuildCurPolyList(*m);
        view.Display(s);
        const std::vector<std::uint8_t> batched = Frame();
        // Flat shading, the default, must give the very pixels of the old lists. With smooth
        // shading Mesa's list compiler and its immediate mode disagree (texel edges a pixel
        // apart, corner colours); the arrays draw what immediate mode draws, within one step
        // of rounding where a colour is interpolated rather than taken as a constant.
        tests::RenderReferenceFrame(view, *m, s, *tex, c.Points, !c.Smooth);
        const std::vector<std::uint8_t> reference = Frame();
        const int tolerance = c.Smooth ? 1 : 0;
        const auto near = [tolerance](std::uint8_t a, std::uint8_t b) {
            return std::abs(a - b) <= tolerance;
        };
        int drawn = 0;
        int differ = 0;
        int first = -1;
        for (std::size_t i = 0; i < reference.size(); i += 4) {
            const bool same = near(reference[i], batched[i]) && near(reference[i + 1], batched[i + 1]) &&
                              near(reference[i + 2], batched[i + 2]);
            if (!same && first < 0)
                first = static_cast<int>(i / 4);
            differ += same ? 0 : 1;
            drawn += reference[i] != reference[0] || reference[i + 1] != reference[1] ||
                             reference[i + 2] != reference[2]
                         ? 1
                         : 0;
        }
        // Something is drawn (the corner pixel is background), or the comparison proves nothing.
        EXPECT_GT(drawn, 1000) << c.Name << " seed " << seed;
        EXPECT_EQ(differ, 0) << c.Name << " seed " << seed << ": first difference at x " << first % kWidth
                             << ", y " << first / kWidth;
        if (const char* folder = std::getenv("ZV_VIEW_IMAGES");
            folder != nullptr && (seed == 1 || differ > 0)) {
            const std::string stem = std::string(folder) + "/lists_" + c.Name + "_" + std::to_string(seed);
            WritePpm(stem + ".ppm", batched);
            if (differ > 0)
                WritePpm(stem + "_reference.ppm", reference);
        }
    }
}

// Mesa's software renderer draws the first array draw after a shading change wrongly when the
// previous frame ended with smooth points; the frame must come out as the next one does.
TEST_F(ModelListsTest, FirstFrameAfterTheShadingSwitchIsRight) {
    RandomModel build(*m, 1);
    for (int t = 0; t < RandomModel::kTextures; ++t)
        tex->TexTable[t].Slot = t;
    for (const std::uint8_t mode : {std::uint8_t{1}, std::uint8_t{2}}) {
        s.RenderType = mode;
        view.BuildModelList(*m, s, *tex, true);
        view.BuildCurPolyList(*m);
        view.SetGlSwitch(GlSwitch::Smooth, true);
        view.Display(s);
        view.SetGlSwitch(GlSwitch::Smooth, false);
        view.Display(s);
        const std::vector<std::uint8_t> first = Frame();
        view.Display(s);
        EXPECT_TRUE(first == Frame()) << "mode " << int{mode};
    }
}

INSTANTIATE_TEST_SUITE_P(DrawModes, ModelListsTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& param) { return param.param.Name; });

// The point of recording: a run of one primitive is one draw, whatever its length.
TEST(DrawList, JoinsRunsOfOnePrimitiveOnly) {
    DrawList d;
    const auto primitive = [&d](unsigned mode, int vertices, bool colours = true, bool texCoords = false) {
        d.Begin(mode, colours, texCoords);
        for (int i = 0; i < vertices; ++i)
            d.Vertex(0, 0, 0);
    };
    for (int i = 0; i < 100; ++i)
        primitive(GL_QUADS, 4);
    EXPECT_EQ(d.DrawCount(), 1);
    primitive(GL_TRIANGLES, 3);
    primitive(GL_TRIANGLES, 3);
    EXPECT_EQ(d.DrawCount(), 2);
    primitive(GL_POLYGON, 5);
    primitive(GL_POLYGON, 5);
    EXPECT_EQ(d.DrawCount(), 4) << "each polygon of more corners is its own";
    primitive(GL_QUADS, 4);
    primitive(GL_QUADS, 4, true, true);
    EXPECT_EQ(d.DrawCount(), 6) << "texture coordinates start a draw";
    d.Enable(GL_TEXTURE_2D);
    primitive(GL_QUADS, 4, true, true);
    EXPECT_EQ(d.DrawCount(), 7) << "a state change ends a draw";
    EXPECT_EQ(d.VertexCount(), 400u + 6 + 10 + 12);
    d.Clear();
    EXPECT_EQ(d.DrawCount(), 0);
    EXPECT_EQ(d.VertexCount(), 0u);
}

} // namespace
} // namespace zv::render::gl
