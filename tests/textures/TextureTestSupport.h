#pragma once
// A workspace with a temporary art folder, and helpers to write RAW, ACT and BMP files.

#include "BmpFixtures.h"
#include "model/Paths.h"
#include "tests/support/ModelBuilder.h"
#include "tests/support/RecordingUi.h"
#include "tests/support/TempDir.h"
#include "textures/TextureLoader.h"
#include "workspace/ModelLifecycle.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>

namespace zv::test {

struct Rgba {
    int R, G, B, A;
    bool operator==(const Rgba&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Rgba& c) {
    return os << "(" << c.R << ", " << c.G << ", " << c.B << ", " << c.A << ")";
}

// 768 bytes: entry i from colour(i).
inline Bytes MakePalette(const std::function<Rgb(int)>& colour, std::size_t size = 768) {
    Bytes b;
    for (int i = 0; i < 256; ++i) {
        const Rgb c = colour(i);
        b.insert(b.end(), {c.R, c.G, c.B});
    }
    b.resize(size, 0x11);
    return b;
}

// Entry i is (i, 255 - i, i / 2): every entry differs, so each pixel tells its index.
inline Rgb IndexColour(int i) {
    return {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
            static_cast<std::uint8_t>(i / 2)};
}

class TextureTest : public ::testing::Test {
protected:
    TextureTest() {
        StartModel(ws->Model);
        ws->Settings.Mtm2ArtPath = art.Path().string();
        ws->Settings.ScgtArtPath = art.Path().string();
    }
    void TearDown() override { EXPECT_EQ(ui.BusyDepth, 0) << "busy pointer left on"; }

    textures::TextureScope Scope() { return TexturesOf(*ws); }
    textures::TextureTable& Table() { return ws->Textures; }

    // Pixel (x, y) of texture t's loaded image.
    Rgba PixelAt(int t, int x, int y) {
        const textures::TextureImage* image = textures::LoadedImage(Table(), t);
        if (image == nullptr) {
            ADD_FAILURE() << "texture " << t << " not loaded";
            return {};
        }
        const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(image->Width) +
                               static_cast<std::size_t>(x)) *
                              4;
        return {image->Rgba[i], image->Rgba[i + 1], image->Rgba[i + 2], image->Rgba[i + 3]};
    }

    std::vector<std::string> Titles() const {
        std::vector<std::string> titles;
        for (const auto& m : ui.Messages) {
            titles.push_back(m.Title);
        }
        return titles;
    }

    TempDir art;
    RecordingUi ui;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>(ui);
};

} // namespace zv::test
