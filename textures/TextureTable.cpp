#include "textures/TextureTable.h"

#include <algorithm>

namespace zv::textures {

void FillDefaultTexture(TextureTable& t, int width, int height) {
    t.PixelsWidth = width > 0 ? width : 0;
    t.PixelsHeight = height > 0 ? height : 0;
    const std::size_t pixels =
        static_cast<std::size_t>(t.PixelsWidth) * static_cast<std::size_t>(t.PixelsHeight);
    t.TexPixels.resize(pixels * 4);
    for (std::size_t i = 0; i < pixels; ++i) {
        for (std::size_t c = 0; c < 4; ++c) {
            t.TexPixels[i * 4 + c] = kDefaultRgba[c];
        }
    }
}

int StoreStagedTexture(TextureTable& t, int tex, const std::string& name) {
    if (t.TexLoadCount < 0) {
        t.TexLoadCount = 0;
    }
    const std::size_t expected =
        static_cast<std::size_t>(t.PixelsWidth) * static_cast<std::size_t>(t.PixelsHeight) * 4;
    if (t.TexLoadCount >= kPreviewSlots || t.PixelsWidth <= 0 || t.PixelsHeight <= 0 ||
        t.TexPixels.size() != expected || expected > FreeTextureMemory(t)) {
        t.TexTable[tex] = {name, kUnloadedSize, kUnloadedSize, -1, {}};
        return -1;
    }
    const int slot = t.TexLoadCount;
    t.Previews[slot] = {t.PixelsWidth, t.PixelsHeight, t.TexPixels};
    t.ImageBytes += expected;
    if (t.Sink != nullptr) {
        t.Sink->Upload(tex, t.PixelsWidth, t.PixelsHeight, t.TexPixels);
    }
    t.TexW[tex] = t.PixelsWidth;
    t.TexH[tex] = t.PixelsHeight;
    t.TexTable[tex] = {name, t.PixelsWidth, t.PixelsHeight, slot, {}};
    ++t.TexLoadCount;
    return slot;
}

std::size_t FreeTextureMemory(const TextureTable& t) {
    return t.ImageBytes < kMaxTextureMemory ? kMaxTextureMemory - t.ImageBytes : 0;
}

void FreeTextureSurface(TextureTable& t, int k) {
    if (k >= 0 && k < kPreviewSlots) {
        const std::size_t bytes = t.Previews[k].Rgba.size();
        t.ImageBytes = t.ImageBytes > bytes ? t.ImageBytes - bytes : 0;
        t.Previews[k] = TextureImage{};
    }
}

void ReleaseAll(TextureTable& t) {
    // Images are stored only in slots below the load count.
    for (int k = 0; k < std::min<int>(t.TexLoadCount, kPreviewSlots); ++k) {
        FreeTextureSurface(t, k);
    }
    t.TexTable.Fill(TexEntry{});
    t.TexW.Fill(0);
    t.TexH.Fill(0);
    t.TexLoadCount = -1;
    t.ImageBytes = 0;
    if (t.Sink != nullptr) {
        t.Sink->ReleaseAll();
    }
}

void AttachSink(TextureTable& t, TextureSink* sink) {
    t.Sink = sink;
    if (sink == nullptr) {
        return;
    }
    for (int tex = 0; tex < model::kTextureCapacity; ++tex) {
        if (const TextureImage* image = LoadedImage(t, tex)) {
            sink->Upload(tex, image->Width, image->Height, image->Rgba);
        }
    }
}

const TextureImage* LoadedImage(const TextureTable& t, int tex) {
    if (tex < 0 || tex >= model::kTextureCapacity) {
        return nullptr;
    }
    const int slot = t.TexTable[tex].Slot;
    if (slot < 0 || slot >= kPreviewSlots || t.Previews[slot].Rgba.empty()) {
        return nullptr;
    }
    return &t.Previews[slot];
}

} // namespace zv::textures
