// Redraw cost of the wireframe view at full capacity: 80000 quads on a torus filling a
// 1600 x 1200 view, the far half facing away.

#include "app/QPainterCanvas.h"
#include "render/WireframeView.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <memory>
#include <numbers>

namespace {

using namespace zv;

constexpr int kAround = 400;
constexpr int kAcross = 200;
constexpr int kWidth = 1600;
constexpr int kHeight = 1200;

struct Scene {
    model::ModelStore Model;
    render::WireframeView View;
    config::Settings Settings;

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
                m.Vert[m.VertCount] = {static_cast<float>(r * std::cos(u)),
                                       static_cast<float>(4 * std::sin(v)),
                                       static_cast<float>(r * std::sin(u))};
                m.VertFlag[m.VertCount] = render::kFlagShown;
                ++m.VertCount;
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
                m.PolyFlag[p] = render::kFlagShown;
                m.PolySel[p] = (p % 10 == 0) ? model::kTrue : model::kFalse;
            }
        }
        View.ViewZoom = 40;
        View.ViewRotX = 30;
        View.ViewRotY = 20;
        View.ViewWidth = kWidth;
        View.ViewHeight = kHeight;
        View.ViewOffX = kWidth / 2;
        View.ViewOffY = kHeight / 2;
    }
};

Scene& TheScene() {
    static auto scene = std::make_unique<Scene>();
    return *scene;
}

void BM_ProjectAndFlag(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        render::ProjectAndFlag(s.View, s.Model, s.Settings);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ProjectAndFlag)->Unit(benchmark::kMillisecond);

void BM_DrawView1(benchmark::State& state) {
    Scene& s = TheScene();
    s.View.ShowVertices = state.range(0) != 0;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        app::QPainterCanvas canvas(painter);
        render::DrawView1(s.View, s.Model, s.Settings, canvas);
    }
}
BENCHMARK(BM_DrawView1)->Arg(0)->Arg(1)->ArgName("points")->Unit(benchmark::kMillisecond);

// The same through QPainter's own line drawing (a clip rules out the direct image path), as a
// widget painted without a back buffer would draw.
void BM_DrawView1Stroked(benchmark::State& state) {
    Scene& s = TheScene();
    s.View.ShowVertices = false;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setClipRect(0, 0, kWidth, kHeight);
        app::QPainterCanvas canvas(painter);
        render::DrawView1(s.View, s.Model, s.Settings, canvas);
    }
}
BENCHMARK(BM_DrawView1Stroked)->Unit(benchmark::kMillisecond);

} // namespace
