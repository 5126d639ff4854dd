#pragma once
// The texture table: per texture slot (the same index as the model's texture names) its
// loaded size and preview slot, plus the preview images and the staging buffer.
//
// Hand-over to the renderer: every successful load stores the texture's RGBA pixels as the
// image of its preview slot and, when a sink is attached, uploads them at once. The images
// stay for the life of the model (they are also what the texture windows draw and what the
// export writes), so a renderer created after the textures were loaded attaches its sink
// with AttachSink and receives every loaded texture then.

#include "model/Capacities.h"
#include "model/Tables.h"
#include "textures/TextureSink.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zv::textures {

struct TexEntry {
    std::string Name;
    int Width = 0;
    int Height = 0;
    int Slot = -1;        // preview slot of the loaded image; -1 when not loaded
    std::string ListText; // the entry of the texture lists ("NAME", "Nf: NAME" ...)

    bool operator==(const TexEntry&) const = default;
};

// The most bytes the loaded images may hold together: far above what a game's textures need,
// and a folder of forged pictures that each declare a huge size cannot exhaust the memory.
inline constexpr std::size_t kMaxTextureMemory = std::size_t{1} << 30;

// Size given to a texture that is not loaded.
inline constexpr int kUnloadedSize = 4;
// Preview slots 0 .. 500.
inline constexpr int kPreviewSlots = model::kTextureCapacity;

// A loaded image: 4 bytes per pixel (red, green, blue, alpha), rows top first. Empty when the
// preview slot is free.
struct TextureImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Rgba;
};

struct TextureTable {
    model::Table<TexEntry> TexTable{model::kTextureCapacity};
    model::Table<int> TexW{model::kTextureCapacity};
    model::Table<int> TexH{model::kTextureCapacity};
    model::Table<TextureImage> Previews{kPreviewSlots};
    int TexLoadCount = -1;      // preview slots in use, and the next free one; -1 none
    std::size_t ImageBytes = 0; // bytes held by the preview images, at most kMaxTextureMemory
    // Staging buffer of the texture being loaded (or the default image), handed to the sink.
    std::vector<std::uint8_t> TexPixels;
    int PixelsWidth = 0;
    int PixelsHeight = 0;
    TextureSink* Sink = nullptr; // the renderer; null when there is none (tests, command line)
};

// Alpha of a pixel: magenta (255, 0, 255) is the only transparent colour.
constexpr std::uint8_t KeyAlpha(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return r == 255 && g == 0 && b == 255 ? 0 : 255;
}

// The colour of the default texture image, used where a texture is missing.
inline constexpr std::uint8_t kDefaultRgba[4] = {225, 225, 0, 0};

// Fills the staging buffer with width x height pixels of the default colour (the renderer
// uploads it when it starts). Negative sizes count as 0.
void FillDefaultTexture(TextureTable& t, int width, int height);

// Makes the staged pixels (PixelsWidth x PixelsHeight) the loaded image of texture tex under
// name: takes the next preview slot, stores the image there, uploads it to the sink and sets
// the entry, TexW and TexH. Returns the preview slot, or -1 (entry {name, 4, 4, -1}) when every
// preview slot is in use, the images would exceed kMaxTextureMemory, or the staging buffer does
// not match its size.
int StoreStagedTexture(TextureTable& t, int tex, const std::string& name);

// The bytes still free for images under kMaxTextureMemory.
std::size_t FreeTextureMemory(const TextureTable& t);

// Releases the image of preview slot k; slots out of range or already free are left alone.
void FreeTextureSurface(TextureTable& t, int k);

// Forgets every loaded texture (entries, sizes, images, count) and tells the sink to release
// its objects.
void ReleaseAll(TextureTable& t);

// Sets the renderer (null to detach) and uploads every texture loaded so far to it.
void AttachSink(TextureTable& t, TextureSink* sink);

// The loaded image of texture tex; null when tex is out of range or not loaded.
const TextureImage* LoadedImage(const TextureTable& t, int tex);

} // namespace zv::textures
