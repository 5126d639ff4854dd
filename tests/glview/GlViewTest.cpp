// Small scenes rendered offscreen into a 64 × 64 buffer and checked pixel by pixel.

#include "render/gl/GlView.h"
#include "tests/glview/OffscreenContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <memory>
#include <numbers>
#include <vector>

namespace zv::render::gl {
namespace {

using tests::kGlSize;
using tests::OffscreenContext;
using tests::Pixel;

constexpr int kMid = kGlSize / 2;

// Model units per pixel in the plane z = 0 seen from `dist` with the 30 degree field of view.
float PixelUnit(float dist) {
    return dist * std::tan(15 * std::numbers::pi_v<float> / 180) / kMid;
}

class GlScene : public ::testing::Test {
protected:
    void SetUp() override {
        ZV_REQUIRE_GL();
        ctx = OffscreenContext::Get();
        s.View4_BackColor = 0;
        s.ViewAxis = false;
        s.ViewGrid = false;
        view.InitGLState(s, kGlSize, kGlSize);
        // Straight down the -Z axis, 10 units away: one model unit is about 12 pixels.
        view.Cam = Camera{0, 0, 10, 0, 0};
        m->VertCount = 0;
        m->PolyCount = 0;
    }

    int AddVertex(float x, float y, float z) {
        m->Vert[m->VertCount] = {x, y, z};
        return m->VertCount++;
    }

    // A shown polygon through new vertices at the given (x, y) positions, z = 0.
    int AddPolygon(std::initializer_list<std::pair<float, float>> corners) {
        const int p = m->PolyCount++;
        int k = 0;
        for (auto [x, y] : corners) {
            m->PolyVert(p, k) = AddVertex(x, y, 0);
            m->PolyTU(p, k) = 0.5f;
            m->PolyTV(p, k) = 0.5f;
            ++k;
        }
        m->PolyVCount[p] = k;
        m->PolyFlag[p] = 1;
        return p;
    }

    // A triangle around model (x, 0, 0) whose corners run clockwise on screen (drawn).
    int AddFacingTriangle(float x) { return AddPolygon({{x - 0.5f, -0.5f}, {x + 0.5f, -0.5f}, {x, 0.5f}}); }

    int AddSquare(float x) {
        return AddPolygon({{x - 0.5f, -0.5f}, {x + 0.5f, -0.5f}, {x + 0.5f, 0.5f}, {x - 0.5f, 0.5f}});
    }

    void UploadSolid(int t, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        const std::vector<std::uint8_t> pixels = {r, g, b, 255, r, g, b, 255, r, g, b, 255, r, g, b, 255};
        ASSERT_TRUE(view.UploadTexture(t, 2, 2, pixels.data()));
    }

    void Render(bool showVertexPoints = false) {
        view.BuildModelList(*m, s, *tex, showVertexPoints);
        view.BuildCurPolyList(*m);
        view.Display(s);
        glFinish();
    }

    Pixel At(int x, int y) const { return ctx->At(x, y); }

    // Pixels of row y whose red channel is above half.
    int RedInRow(int y) const {
        int n = 0;
        for (int x = 0; x < kGlSize; ++x)
            n += At(x, y)[0] > 127 ? 1 : 0;
        return n;
    }

    OffscreenContext* ctx = nullptr;
    config::Settings s;
    std::unique_ptr<model::ModelStore> m = std::make_unique<model::ModelStore>();
    std::unique_ptr<textures::TextureTable> tex = std::make_unique<textures::TextureTable>();
    GlView view;
};

// Colour channels within one step of (r, g, b); alpha is not compared.
::testing::AssertionResult IsRgb(const Pixel& p, int r, int g, int b) {
    if (std::abs(p[0] - r) <= 1 && std::abs(p[1] - g) <= 1 && std::abs(p[2] - b) <= 1)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << int{p[0]} << ", " << int{p[1]} << ", " << int{p[2]}
                                         << "), expected (" << r << ", " << g << ", " << b << ")";
}

TEST_F(GlScene, ClearColourFollowsBrightness) {
    s.View4_BackColor = config::Rgb(255, 255, 255);
    s.View4_Brightness = 32768;
    view.SetClearColor(s);
    Render();
    EXPECT_TRUE(IsRgb(At(5, 5), 127, 127, 127));
    s.View4_Brightness = 65536;
    view.SetClearColor(s);
    Render();
    EXPECT_TRUE(IsRgb(At(5, 5), 254, 254, 254));
}

TEST_F(GlScene, ModelXIsMirrored) {
    s.RenderType = 1;
    const int p = AddFacingTriangle(1.5f);
    m->PolyR[p] = 255;
    Render();
    EXPECT_GT(At(kMid - 18, kMid)[0], 200) << "model +X lies left of the centre";
    EXPECT_TRUE(IsRgb(At(kMid + 18, kMid), 0, 0, 0));
}

TEST_F(GlScene, ClockwiseFacesDrawnOthersCulled) {
    for (int mode : {1, 2}) {
        s.RenderType = static_cast<std::uint8_t>(mode);
        m->PolyCount = m->VertCount = 0;
        UploadSolid(0, 0, 255, 0);
        m->TexCount = 1;
        tex->TexTable[0].Slot = 0;
        m->PolyG[AddFacingTriangle(1.5f)] = 255;
        m->PolyG[AddPolygon({{-2.0f, -0.5f}, {-1.0f, 0.5f}, {-1.0f, -0.5f}})] = 255;
        Render();
        EXPECT_GT(At(kMid - 18, kMid)[1], 200) << "mode " << mode;
        EXPECT_TRUE(IsRgb(At(kMid + 18, kMid), 0, 0, 0)) << "mode " << mode;
    }
}

TEST_F(GlScene, TexturedAlphaBlendsOverTheBackground) {
    s.RenderType = 2;
    UploadSolid(0, 255, 255, 255);
    m->TexCount = 1;
    tex->TexTable[0].Slot = 0;
    m->PolyA[AddFacingTriangle(1.5f)] = 0;
    m->PolyA[AddSquare(-1.5f)] = 0;
    Render();
    EXPECT_TRUE(IsRgb(At(kMid - 18, kMid - 2), 255, 255, 255)) << "opaque triangle";
    EXPECT_TRUE(IsRgb(At(kMid + 18, kMid), 254, 254, 254)) << "quad at 255/256";
    m->PolyA[0] = 128;
    m->PolyA[1] = 255;
    Render();
    EXPECT_TRUE(IsRgb(At(kMid - 18, kMid - 2), 128, 128, 128));
    EXPECT_TRUE(IsRgb(At(kMid + 18, kMid), 0, 0, 0)) << "quad fully transparent";
}

TEST_F(GlScene, FailedTextureDrawsWithSlotZero) {
    s.RenderType = 2;
    UploadSolid(0, 255, 0, 0);
    UploadSolid(1, 0, 0, 255); // uploaded, but the table says the load failed
    m->TexCount = 2;
    tex->TexTable[0].Slot = 0;
    tex->TexTable[1].Slot = -1;
    m->PolyTex[AddFacingTriangle(1.5f)] = 1;
    Render();
    EXPECT_TRUE(IsRgb(At(kMid - 18, kMid - 2), 255, 0, 0));
}

TEST_F(GlScene, UntexturedTypesUseTheirOwnColour) {
    s.RenderType = 2;
    UploadSolid(0, 255, 0, 0);
    m->TexCount = 1;
    tex->TexTable[0].Slot = 0;
    const int p = AddFacingTriangle(1.5f);
    m->PolyType[p] = 25;
    m->PolyG[p] = 255;
    Render();
    EXPECT_TRUE(IsRgb(At(kMid - 18, kMid - 2), 0, 255, 0));
}

TEST_F(GlScene, PointSizeFollowsDistance) {
    AddVertex(0, 0, 0);
    m->VertSel[0] = model::kTrue;
    struct Case {
        float Dist;
        float Size;
    };
    for (const Case c : {Case{9.9f, 5}, Case{10, 2}, Case{999, 1.5f}, Case{1000, 1}}) {
        // Centre the point on pixel (kMid, kMid) so its width is not split between two pixels.
        const float unit = PixelUnit(c.Dist);
        m->Vert[0] = {-0.5f * unit, 0.5f * unit, 0};
        view.Cam.GLDist = c.Dist;
        Render();
        GLfloat size = 0;
        glGetFloatv(GL_POINT_SIZE, &size);
        EXPECT_EQ(size, c.Size) << "distance " << c.Dist;
        // The software rasteriser draws small smooth points about 2 pixels wide.
        if (c.Size == 5)
            EXPECT_EQ(RedInRow(kMid), 5);
        else
            EXPECT_LE(RedInRow(kMid), 2) << "distance " << c.Dist;
    }
}

TEST_F(GlScene, UnselectedVerticesOnlyAsVertexPoints) {
    view.Cam.GLDist = 5;
    AddVertex(0, 0, 0);
    Render();
    EXPECT_EQ(At(kMid, kMid)[2], 0);
    Render(true);
    EXPECT_GT(At(kMid, kMid)[2] + At(kMid - 1, kMid - 1)[2], 200);
}

TEST_F(GlScene, FollowingWaypointsReplacesTheCamera) {
    s.RenderType = 1;
    m->PolyG[AddFacingTriangle(0)] = 255;
    view.Cam.GLYaw = 180; // facing away: nothing in view
    Render();
    EXPECT_TRUE(IsRgb(At(kMid, kMid), 0, 0, 0));
    view.Switches.FollowWaypoints = true;
    view.FollowProvider = [] { return std::optional<LookAt>{{{0, -1.6f, 10}, {0, -1.0f, 0}}}; };
    Render();
    EXPECT_GT(At(kMid, kMid - 2)[1], 200);
}

TEST_F(GlScene, AxisAndGridOnlyWhenSwitchedOn) {
    view.Cam = Camera{};
    auto lit = [this] {
        int n = 0;
        for (int y = 0; y < kGlSize; y += 2)
            for (int x = 0; x < kGlSize; x += 2)
                n += At(x, y)[0] + At(x, y)[1] + At(x, y)[2] > 0 ? 1 : 0;
        return n;
    };
    Render();
    EXPECT_EQ(lit(), 0);
    s.ViewAxis = true;
    Render();
    const int axis = lit();
    EXPECT_GT(axis, 0);
    s.ViewGrid = true;
    Render();
    EXPECT_GT(lit(), axis);
}

TEST_F(GlScene, EdgesAndCurrentVertexCross) {
    s.RenderType = 1;
    AddPolygon({{-2.0f, -1.0f}, {0, 1.0f}, {2.0f, -1.0f}}); // culled, only its edges show
    auto greyPixels = [this] {
        int n = 0;
        for (int y = 0; y < kGlSize; ++y)
            for (int x = 0; x < kGlSize; ++x)
                n += At(x, y) == Pixel{178, 178, 178, 255} ? 1 : 0;
        return n;
    };
    Render();
    EXPECT_EQ(greyPixels(), 0);
    view.Switches.ShowEdges = true;
    Render();
    EXPECT_GT(greyPixels(), 20);
    m->CurVert = m->VertCount;
    AddVertex(0, 20.5f * PixelUnit(10), 0); // through the centres of row kMid + 20
    Render();
    EXPECT_TRUE(IsRgb(At(1, kMid + 20), 0, 178, 0)) << "the cross reaches the edge of the view";
}

TEST_F(GlScene, StaleListsAreBuiltOnceBeforeTheNextFrame) {
    s.RenderType = 1;
    m->PolyG[AddFacingTriangle(0)] = 255;
    EXPECT_TRUE(view.ListsStale()) << "a new context has no lists";
    view.BuildStaleLists(*m, s, *tex, false);
    EXPECT_EQ(view.ModelListBuilds(), 1);
    view.BuildStaleLists(*m, s, *tex, false);
    EXPECT_EQ(view.ModelListBuilds(), 1) << "nothing marked";

    view.MarkListsStale();
    view.MarkPointListStale();
    view.MarkListsStale();
    const int points = view.PointListBuilds();
    view.BuildStaleLists(*m, s, *tex, false);
    EXPECT_EQ(view.ModelListBuilds(), 2);
    EXPECT_EQ(view.PointListBuilds(), points + 1) << "the points come with the model";

    view.MarkPointListStale();
    view.BuildStaleLists(*m, s, *tex, false);
    EXPECT_EQ(view.ModelListBuilds(), 2);
    EXPECT_EQ(view.PointListBuilds(), points + 2);

    // The built lists show the model as it was marked, not as it was first built.
    m->PolyG[0] = 0;
    m->PolyB[0] = 255;
    view.MarkListsStale();
    view.BuildStaleLists(*m, s, *tex, false);
    view.Display(s);
    glFinish();
    EXPECT_TRUE(IsRgb(At(kMid, kMid - 2), 0, 0, 254));

    UploadSolid(0, 255, 0, 0);
    EXPECT_TRUE(view.ListsStale()) << "the model list names the texture objects";
}

TEST_F(GlScene, ReleaseLeavesTheDefaultImageInSlotZero) {
    UploadSolid(0, 255, 0, 0);
    UploadSolid(3, 255, 0, 0);
    view.ReleaseTextures();
    EXPECT_EQ(view.TexGL(3), 0u);
    ASSERT_NE(view.TexGL(0), 0u);
    std::vector<std::uint8_t> image(kDefaultTextureSize * kDefaultTextureSize * 4);
    glBindTexture(GL_TEXTURE_2D, view.TexGL(0));
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.data());
    const Pixel last{image[image.size() - 4], image[image.size() - 3], image[image.size() - 2], image.back()};
    EXPECT_EQ(last, (Pixel{225, 225, 0, 0}));
}

TEST_F(GlScene, WaypointsAndSlotsDrawnAsColouredSpheres) {
    auto t = std::make_unique<waypoints::WaypointTables>();
    waypoints::WaypointDisplay d;
    t->WpCount = 2;
    t->Wp[0].pos = {2, 0, 0};
    t->Wp[0].ptrs = {-1, 1, -1, waypoints::kNoPitSlot};
    t->Wp[1].pos = {-2, 0, 0};
    t->SlotCount = 1;
    t->Slots[0].AVPos = {0, 2, 0};   // model (0, -2, 0): below the centre
    t->Slots[0].AVPitPos = {0, -2, 0}; // above
    t->SlotSel[0] = 1;
    view.BuildWaypointList(*t, d);
    EXPECT_TRUE(view.WaypointsExist);
    Render();
    EXPECT_TRUE(IsRgb(At(kMid - 24, kMid), 255, 255, 255)) << "current waypoint, model +X on the left";
    EXPECT_TRUE(IsRgb(At(kMid + 24, kMid), 204, 153, 0)) << "the next one";
    EXPECT_TRUE(IsRgb(At(kMid, kMid - 24), 255, 255, 128)) << "selected start position";
    EXPECT_TRUE(IsRgb(At(kMid, kMid + 24), 25, 229, 25)) << "pit position";
    EXPECT_TRUE(IsRgb(At(kMid, kMid), 0, 0, 0));

    d.ShowSlots = false;
    view.BuildWaypointList(*t, d);
    Render();
    EXPECT_TRUE(IsRgb(At(kMid, kMid - 24), 0, 0, 0));
    d.ShowWaypoints = false;
    view.BuildWaypointList(*t, d);
    EXPECT_FALSE(view.WaypointsExist);
}

// Whether a pixel of colour (r, g, b) lies within 3 pixels of (x, y).
bool ColourNear(const OffscreenContext& ctx, int x, int y, int r, int g, int b) {
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            if (IsRgb(ctx.At(x + dx, y + dy), r, g, b))
                return true;
    return false;
}

TEST_F(GlScene, PathAndDummiesInTheTrackOverlay) {
    const std::vector<model::VertRec> path = {{0, 3, 0}, {0, -3, 0}};
    const std::vector<TrackMark> dummies = {{{2, 0, 0}, false}, {{-2, 0, 0}, true}};
    view.BuildTrackOverlay(path, dummies);
    Render();
    EXPECT_TRUE(ColourNear(*ctx, kMid, kMid - 12, 255, 199, 0)) << "the path";
    EXPECT_TRUE(ColourNear(*ctx, kMid - 24, kMid, 77, 217, 255)) << "a dummy, model +X on the left";
    EXPECT_TRUE(ColourNear(*ctx, kMid + 24, kMid, 255, 64, 0)) << "the selected dummy";
    view.BuildTrackOverlay({}, {});
    EXPECT_EQ(view.TrackOverlayVertices(), 0u);
    Render();
    EXPECT_FALSE(ColourNear(*ctx, kMid - 24, kMid, 77, 217, 255));
}

TEST_F(GlScene, WaypointListBuiltOnceWhenMarked) {
    auto t = std::make_unique<waypoints::WaypointTables>();
    const waypoints::WaypointDisplay d;
    EXPECT_TRUE(view.ListsStale());
    view.BuildStaleWaypointList(*t, d);
    view.BuildStaleWaypointList(*t, d);
    EXPECT_EQ(view.WaypointListBuilds(), 1);
    view.MarkWaypointListStale();
    view.MarkWaypointListStale();
    view.BuildStaleWaypointList(*t, d);
    EXPECT_EQ(view.WaypointListBuilds(), 2);
}

TEST(FollowWaypointLook, FromCurrentTowardsNextWrapping) {
    auto t = std::make_unique<waypoints::WaypointTables>();
    EXPECT_FALSE(FollowWaypointLook(*t)) << "no waypoints";
    t->WpCount = 3;
    for (int i = 0; i < 3; ++i)
        t->Wp[static_cast<std::size_t>(i)].pos = {static_cast<float>(i), 0, 0};
    t->CurWp = 1;
    EXPECT_EQ(FollowWaypointLook(*t)->Target.X, 2);
    t->CurWp = 2;
    const std::optional<LookAt> last = FollowWaypointLook(*t);
    EXPECT_EQ(last->Eye.X, 2);
    EXPECT_EQ(last->Target.X, 0);
}

} // namespace
} // namespace zv::render::gl
