// The OpenGL view at full capacity, offscreen (Mesa's surfaceless EGL, so on a machine without a
// graphics card the software renderer): 80000 textured quads on the torus of WireframeBench in
// an 800 x 600 view. Times the display-list rebuild in each draw mode, a frame from built
// lists, and a selection key from the key to the finished frame as the editor runs it
// (selection operation, refresh, one paint).

#include "edit/Selection.h"
#include "model/Normals.h"
#include "render/gl/GlView.h"
#include "tests/glview/OffscreenContext.h"
#include "tests/support/SilentUi.h"

#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

using namespace zv;

constexpr int kAround = 400;
constexpr int kAcross = 200;
constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kTextures = 8;
constexpr int kTextureSize = 64;

struct Scene {
    model::ModelStore Model;
    config::Settings Settings;
    textures::TextureTable Textures;
    render::gl::GlView View;
    test::SilentUi Ui;
    bool Ready = false;

    Scene() {
        model::ModelStore& m = Model;
        m.VertCount = 0;
        m.PolyCount = 0;
        const double pi = std::numbers::pi;
        for (int i = 0; i < kAround; ++i) {
            const double u = 2 * pi * i / kAround;
            for (int j = 0; j < kAcross; ++j) {
                const double v = 2 * pi * j / kAcross;
                const double r = 10 + 4 * std::cos(v);
                m.Vert[m.VertCount++] = {static_cast<float>(r * std::cos(u)),
                                         static_cast<float>(4 * std::sin(v)),
                                         static_cast<float>(r * std::sin(u))};
            }
        }
        for (int i = 0; i < kAround; ++i) {
            for (int j = 0; j < kAcross; ++j) {
                const int p = m.PolyCount++;
                const int i1 = (i + 1) % kAround;
                const int j1 = (j + 1) % kAcross;
                m.PolyVCount[p] = 4;
                m.PolyVert(p, 0) = i * kAcross + j;
                m.PolyVert(p, 1) = i * kAcross + j1;
                m.PolyVert(p, 2) = i1 * kAcross + j1;
                m.PolyVert(p, 3) = i1 * kAcross + j;
                for (int k = 0; k < 4; ++k) {
                    m.PolyTU(p, k) = k == 1 || k == 2 ? 1.0f : 0.0f;
                    m.PolyTV(p, k) = k >= 2 ? 1.0f : 0.0f;
                }
                m.PolyFlag[p] = 1;
                m.PolySel[p] = (p % 10 == 0) ? model::kTrue : model::kFalse;
                m.PolyTex[p] = (i / 50) % kTextures; // bands of one texture, as parts of a car are
                m.PolyType[p] = p % 97 == 0 ? 25 : 0;
                m.PolyR[p] = static_cast<std::uint8_t>(i);
                m.PolyG[p] = static_cast<std::uint8_t>(j);
                m.PolyB[p] = 128;
            }
        }
        m.TexCount = kTextures;
        model::RecalcNormals(m);
        m.CurPoly = 0;
        m.CurVert = 0;

        tests::OffscreenContext* ctx = tests::OffscreenContext::Get();
        if (ctx == nullptr || !ctx->Bind(kWidth, kHeight))
            return;
        Settings.ViewAxis = false;
        Settings.ViewGrid = false;
        View.InitGLState(Settings, kWidth, kHeight);
        View.Cam.GLDist = 60;
        std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kTextureSize * kTextureSize * 4));
        for (int t = 0; t < kTextures; ++t) {
            for (std::size_t i = 0; i < rgba.size(); ++i)
                rgba[i] = static_cast<std::uint8_t>(i * 7 + static_cast<std::size_t>(t) * 31);
            View.UploadTexture(t, kTextureSize, kTextureSize, rgba.data());
            Textures.TexTable[t].Slot = t;
        }
        Ready = true;
    }

    // What the editor's OpenGL view does when it paints: stale lists first, then the frame.
    void Paint() {
        View.BuildStaleLists(Model, Settings, Textures, false);
        View.Display(Settings);
        glFinish();
    }
};

Scene* TheScene(benchmark::State& state) {
    static auto scene = std::make_unique<Scene>();
    if (!scene->Ready) {
        state.SkipWithError(("no OpenGL context: " + tests::OffscreenContext::Why()).c_str());
        return nullptr;
    }
    state.SetLabel(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    return scene.get();
}

// Lists 11 to 13 rebuilt in draw mode state.range(0) (0 wire, 1 flat, 2 textured).
void BM_RebuildLists(benchmark::State& state) {
    Scene* s = TheScene(state);
    if (s == nullptr)
        return;
    s->Settings.RenderType = static_cast<std::uint8_t>(state.range(0));
    for (auto _ : state) {
        s->View.MarkListsStale();
        s->View.BuildStaleLists(s->Model, s->Settings, s->Textures, false);
        glFinish();
    }
}
BENCHMARK(BM_RebuildLists)->DenseRange(0, 2)->ArgName("mode")->Unit(benchmark::kMillisecond);

// Lists 11 to 13 with the edges drawn over the faces, in the textured mode.
void BM_RebuildListsWithEdges(benchmark::State& state) {
    Scene* s = TheScene(state);
    if (s == nullptr)
        return;
    s->Settings.RenderType = 2;
    s->View.Switches.ShowEdges = true;
    for (auto _ : state) {
        s->View.MarkListsStale();
        s->View.BuildStaleLists(s->Model, s->Settings, s->Textures, false);
        glFinish();
    }
    s->View.Switches.ShowEdges = false;
}
BENCHMARK(BM_RebuildListsWithEdges)->Unit(benchmark::kMillisecond);

// One frame from lists already built.
void BM_Frame(benchmark::State& state) {
    Scene* s = TheScene(state);
    if (s == nullptr)
        return;
    s->Settings.RenderType = static_cast<std::uint8_t>(state.range(0));
    s->View.MarkListsStale();
    s->Paint();
    for (auto _ : state)
        s->Paint();
}
BENCHMARK(BM_Frame)->DenseRange(0, 2)->ArgName("mode")->Unit(benchmark::kMillisecond);

// SPACE (the next polygon becomes the current one) from the key to the finished frame: the
// selection operation, the refresh that marks the lists, and the paint that rebuilds and draws.
void BM_SelectionKeyToFrame(benchmark::State& state) {
    Scene* s = TheScene(state);
    if (s == nullptr)
        return;
    s->Settings.RenderType = static_cast<std::uint8_t>(state.range(0));
    s->View.MarkListsStale();
    s->Paint();
    edit::SelectionContext ctx{s->Model, s->Settings, s->Ui};
    for (auto _ : state) {
        const auto changed = edit::HandleSelectionKey(ctx, edit::keys::Space, false, false);
        if (changed && changed->Any())
            s->View.MarkListsStale();
        s->Paint();
    }
}
BENCHMARK(BM_SelectionKeyToFrame)->DenseRange(0, 2)->ArgName("mode")->Unit(benchmark::kMillisecond);

// List 20 with a full waypoint table (a ring of 3001, every tenth selected) and 32 slots, as a
// drag of the waypoints rebuilds it at every mouse step.
void BM_RebuildWaypointList(benchmark::State& state) {
    Scene* s = TheScene(state);
    if (s == nullptr)
        return;
    auto t = std::make_unique<waypoints::WaypointTables>();
    const int n = waypoints::kWaypointCapacity;
    t->WpCount = static_cast<std::int16_t>(n);
    for (int i = 0; i < n; ++i) {
        const double a = 2 * std::numbers::pi * i / n;
        auto& w = t->Wp[static_cast<std::size_t>(i)];
        w.pos = {static_cast<float>(40 * std::cos(a)), 0, static_cast<float>(40 * std::sin(a))};
        w.ptrs = {static_cast<std::int16_t>((i + n - 1) % n), static_cast<std::int16_t>((i + 1) % n), -1,
                  waypoints::kNoPitSlot};
        t->WpSel[static_cast<std::size_t>(i)] = i % 10 == 0 ? 1 : 0;
    }
    t->CurWp = 100;
    t->SlotCount = 32;
    const waypoints::WaypointDisplay d;
    for (auto _ : state) {
        s->View.MarkWaypointListStale();
        s->View.BuildStaleWaypointList(*t, d);
        glFinish();
    }
}
BENCHMARK(BM_RebuildWaypointList)->Unit(benchmark::kMillisecond);

} // namespace
