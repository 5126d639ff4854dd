// Load time of a model's worth of textures: 500 pictures of 256 x 256, as BMP (24 bits) and
// as RAW with a shared palette, written once to a temporary folder.

#include "formats/VrlReader.h"
#include "model/FileReplace.h"
#include "tests/support/SilentUi.h"
#include "tests/support/TempDir.h"
#include "tests/support/VrlBuilder.h"
#include "textures/BmpCodec.h"
#include "workspace/ModelLifecycle.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace zv {
namespace {

using test::SilentUi;

constexpr int kTextures = 500;
constexpr int kSide = 256;

std::string Name(int t) {
    return "tex" + std::to_string(t);
}

// The folder with tex0.bmp .. tex499.bmp, tex0.raw .. tex499.raw, metalcr2.act and a VRL model
// naming the 500 textures.
const test::TempDir& Files() {
    static const std::unique_ptr<test::TempDir> dir = [] {
        auto d = std::make_unique<test::TempDir>();
        std::vector<std::uint8_t> rgba(kSide * kSide * 4);
        std::string raw(kSide * kSide, '\0');
        for (int t = 0; t < kTextures; ++t) {
            for (std::size_t i = 0; i < raw.size(); ++i) {
                rgba[i * 4] = static_cast<std::uint8_t>(i + static_cast<std::size_t>(t));
                rgba[i * 4 + 1] = static_cast<std::uint8_t>(i >> 8);
                rgba[i * 4 + 2] = static_cast<std::uint8_t>(t);
                raw[i] = static_cast<char>(i * 7 + static_cast<std::size_t>(t));
            }
            model::ReplaceFile(d->File(Name(t) + ".bmp"), textures::EncodeBmp24(kSide, kSide, rgba));
            model::ReplaceFile(d->File(Name(t) + ".raw"), raw);
        }
        std::string palette(768, '\0');
        for (std::size_t i = 0; i < palette.size(); ++i) {
            palette[i] = static_cast<char>(i);
        }
        model::ReplaceFile(d->File("metalcr2.act"), palette);
        test::VrlFileModel m;
        m.Vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
        for (int t = 0; t < kTextures; ++t) {
            test::VrlPolygon p;
            p.Corners = {{0}, {1}, {2}};
            p.Texture = t;
            m.Polygons.push_back(p);
            m.TextureNames.push_back(Name(t));
        }
        const auto vrl = test::BuildVrl(m, formats::VrlVariant::Scgt);
        model::ReplaceFile(d->File("model.vrl"),
                           std::string_view(reinterpret_cast<const char*>(vrl.data()), vrl.size()));
        return d;
    }();
    return *dir;
}

std::unique_ptr<Workspace> MakeWorkspace(SilentUi& ui) {
    auto ws = std::make_unique<Workspace>(ui);
    ws->Settings.Mtm2ArtPath = Files().Path().string();
    ws->Settings.ScgtArtPath = Files().Path().string();
    ws->Settings.ShowTextureErrors = false;
    BeginOpen(*ws);
    return ws;
}

void BM_LoadBmp500(benchmark::State& state) {
    SilentUi ui;
    auto ws = MakeWorkspace(ui);
    const auto scope = TexturesOf(*ws);
    for (auto _ : state) {
        textures::ReleaseAll(ws->Textures);
        for (int t = 0; t < kTextures; ++t) {
            if (textures::LoadBmpTexture(scope, Name(t), t) < 0) {
                state.SkipWithError("a texture did not load");
                return;
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * kTextures);
}
BENCHMARK(BM_LoadBmp500)->Unit(benchmark::kMillisecond);

void BM_OpenVrlWith500Bmp(benchmark::State& state) {
    SilentUi ui;
    auto ws = MakeWorkspace(ui);
    const std::string path = Files().File("model.vrl");
    for (auto _ : state) {
        if (!formats::OpenVrl(*ws, path, formats::VrlVariant::Scgt) ||
            ws->Textures.TexLoadCount != kTextures) {
            state.SkipWithError("the model or a texture did not load");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kTextures);
}
BENCHMARK(BM_OpenVrlWith500Bmp)->Unit(benchmark::kMillisecond);

void BM_LoadRaw500(benchmark::State& state) {
    SilentUi ui;
    auto ws = MakeWorkspace(ui);
    const auto scope = TexturesOf(*ws);
    for (auto _ : state) {
        textures::ReleaseAll(ws->Textures);
        for (int t = 0; t < kTextures; ++t) {
            if (!textures::LoadRawTexture(scope, Name(t), t)) {
                state.SkipWithError("a texture did not load");
                return;
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * kTextures);
}
BENCHMARK(BM_LoadRaw500)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zv
