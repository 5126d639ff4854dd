#include "textures/BmpCodec.h"

#include "textures/BmpRle.h"
#include "textures/TextureTable.h"

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace zv::textures {
namespace {


std::uint32_t U32At(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16) | std::uint32_t{b[at + 3]}
                                                                                      << 24;
}

// A "BM" file with a Windows info header (40 bytes or more). Other headers are left to the
// library alone.
bool HasInfoHeader(std::span<const std::uint8_t> b) {
    return b.size() >= 14 + 40 && b[0] == 'B' && b[1] == 'M' && U32At(b, 14) >= 40;
}

// An OS/2 file: its 12-byte core header has 16-bit sizes and no compression.
bool HasCoreHeader(std::span<const std::uint8_t> b) {
    return b.size() >= 14 + 12 && b[0] == 'B' && b[1] == 'M' && U32At(b, 14) == 12;
}

// An OS/2 picture whose rows run past the end of the file (the same fault as below).
bool CoreAndCut(std::span<const std::uint8_t> b) {
    const std::int64_t width = b[18] | b[19] << 8;
    const std::int64_t height = b[20] | b[21] << 8;
    const std::int64_t bits = b[24] | b[25] << 8;
    const std::int64_t stride = (width * bits + 31) / 32 * 4;
    return std::int64_t{U32At(b, 10)} + stride * height > static_cast<std::int64_t>(b.size());
}

// An uncompressed picture whose rows run past the end of the file. The image library fills the
// missing rows with whatever memory held, so such files are refused here.
bool UncompressedAndCut(std::span<const std::uint8_t> b) {
    if (HasCoreHeader(b)) {
        return CoreAndCut(b);
    }
    if (!HasInfoHeader(b)) {
        return false;
    }
    const std::uint32_t compression = U32At(b, 30);
    if (compression != 0 && compression != 3) {
        return false;
    }
    const std::int64_t width = static_cast<std::int32_t>(U32At(b, 18));
    const std::int64_t height = static_cast<std::int32_t>(U32At(b, 22));
    const std::int64_t bits = b[28] | b[29] << 8;
    const std::int64_t stride = (width * bits + 31) / 32 * 4;
    const std::int64_t end = std::int64_t{U32At(b, 10)} + stride * (height < 0 ? -height : height);
    return width > 0 && end > static_cast<std::int64_t>(b.size());
}

// The variants left to the image decoder: OS/2 core headers and Windows info headers of the
// usual sizes, uncompressed or with bit fields (the cut-short ones refused above). Anything else
// (other compressions, odd header sizes) is refused.
bool LeftToLibrary(std::span<const std::uint8_t> b) {
    if (HasCoreHeader(b)) {
        return true;
    }
    if (!HasInfoHeader(b)) {
        return false;
    }
    const std::uint32_t header = U32At(b, 14);
    const std::uint32_t compression = U32At(b, 30);
    const bool usualHeader = header == 40 || header == 56 || header == 108 || header == 124;
    return usualHeader && (compression == 0 || compression == 3);
}

std::uint32_t U16At(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8);
}

// The picture's size as its header declares it (the height without its sign), if the file has
// one of the two header kinds.
struct DeclaredSize {
    std::int64_t Width = 0;
    std::int64_t Height = 0;
};
std::optional<DeclaredSize> Declared(std::span<const std::uint8_t> b) {
    if (HasCoreHeader(b)) {
        return DeclaredSize{U16At(b, 18), U16At(b, 20)};
    }
    if (HasInfoHeader(b)) {
        const std::int64_t height = static_cast<std::int32_t>(U32At(b, 22));
        return DeclaredSize{static_cast<std::int32_t>(U32At(b, 18)), height < 0 ? -height : height};
    }
    return std::nullopt;
}

// The decoder reads as many palette entries as fit between the header and the pixels, and a
// pixel whose index lies past them would take an undefined colour. So a palettised file is
// handed over with a full 256-entry palette: its own entries first, black after them.
std::vector<std::uint8_t> WithFullPalette(std::span<const std::uint8_t> b) {
    const bool core = HasCoreHeader(b);
    const std::size_t entry = core ? 3 : 4;
    const std::size_t paletteStart = 14 + U32At(b, 14);
    const std::size_t offset = U32At(b, 10);
    if (offset < paletteStart + entry || offset > b.size()) {
        return {};
    }
    // For core headers the decoder counts the palette from 12 bytes further on.
    const std::size_t region = core ? 256 * 3 + 12 : 256 * 4;
    const std::size_t own = std::min(offset - paletteStart, region);
    std::vector<std::uint8_t> out;
    out.reserve(paletteStart + region + (b.size() - offset));
    out.insert(out.end(), b.begin(), b.begin() + static_cast<std::ptrdiff_t>(paletteStart));
    out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(paletteStart),
               b.begin() + static_cast<std::ptrdiff_t>(paletteStart + own));
    out.resize(paletteStart + region, 0);
    out.insert(out.end(), b.begin() + static_cast<std::ptrdiff_t>(offset), b.end());
    const auto newOffset = static_cast<std::uint32_t>(paletteStart + region);
    for (std::size_t i = 0; i < 4; ++i) {
        out[10 + i] = static_cast<std::uint8_t>(newOffset >> (8 * i));
    }
    return out;
}

unsigned BitsPerPixel(std::span<const std::uint8_t> b) {
    return HasCoreHeader(b) ? U16At(b, 24) : U16At(b, 28);
}

std::vector<std::uint8_t> ThreeChannels(int width, int height, std::span<const std::uint8_t> rgba) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (std::size_t i = 0, j = 0; j < rgb.size(); i += 4, j += 3) {
        rgb[j] = rgba[i];
        rgb[j + 1] = rgba[i + 1];
        rgb[j + 2] = rgba[i + 2];
    }
    return rgb;
}

struct StbFree {
    void operator()(stbi_uc* p) const { stbi_image_free(p); }
};

} // namespace

DecodedBmp DecodeBmp(std::span<const std::uint8_t> bytes, std::size_t maxBytes) {
    DecodedBmp out;
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
        return out;
    }
    // The header's size is known before any pixel is decoded, so huge pictures cost nothing.
    const auto declared = Declared(bytes);
    if (!declared) {
        return out;
    }
    if (declared->Width > kMaxTextureSide || declared->Height > kMaxTextureSide) {
        out.Fault = BmpFault::TooLarge;
        return out;
    }
    if (declared->Width < 0) {
        return out;
    }
    if (declared->Width == 0 || declared->Height == 0) {
        out.Fault = BmpFault::Empty;
        return out;
    }
    if (static_cast<std::size_t>(declared->Width) * static_cast<std::size_t>(declared->Height) * 4 > maxBytes) {
        out.Fault = BmpFault::NoMemory;
        return out;
    }
    if (UncompressedAndCut(bytes)) {
        return out;
    }
    if (auto rle = DecodeRleBmp(bytes, maxBytes)) {
        return std::move(*rle);
    }
    if (!LeftToLibrary(bytes)) {
        return out;
    }
    std::vector<std::uint8_t> padded;
    std::span<const std::uint8_t> input = bytes;
    if (BitsPerPixel(bytes) < 16) {
        padded = WithFullPalette(bytes);
        if (padded.empty()) {
            return out;
        }
        input = padded;
    }
    int width = 0;
    int height = 0;
    int channels = 0;
    const std::unique_ptr<stbi_uc, StbFree> pixels(
        stbi_load_from_memory(input.data(), static_cast<int>(input.size()), &width, &height, &channels, 4));
    if (!pixels || width <= 0 || height <= 0) {
        return out;
    }
    out.Width = width;
    out.Height = height;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    out.Rgba.assign(pixels.get(), pixels.get() + count);
    for (std::size_t i = 0; i < count; i += 4) {
        out.Rgba[i + 3] = KeyAlpha(out.Rgba[i], out.Rgba[i + 1], out.Rgba[i + 2]);
    }
    out.Fault = BmpFault::None;
    return out;
}

std::string EncodeBmp24(int width, int height, std::span<const std::uint8_t> rgba) {
    if (width <= 0 || height <= 0 ||
        rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4) {
        return {};
    }
    std::string bytes;
    const auto append = [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), static_cast<std::size_t>(size));
    };
    if (stbi_write_bmp_to_func(append, &bytes, width, height, 3, ThreeChannels(width, height, rgba).data()) == 0) {
        return {};
    }
    return bytes;
}

} // namespace zv::textures
