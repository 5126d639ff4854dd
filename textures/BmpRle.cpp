#include "textures/BmpRle.h"

#include "textures/TextureTable.h"

#include <array>

namespace zv::textures {
namespace {

constexpr std::size_t kFileHeader = 14;

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint32_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8;
}

// Writes palette colours into the picture; everything outside it is ignored.
class Canvas {
public:
    Canvas(DecodedBmp& out, std::span<const std::array<std::uint8_t, 3>> palette)
        : out_(out), palette_(palette) {}

    void Put(std::int64_t x, std::int64_t y, unsigned index) {
        if (x < 0 || x >= out_.Width || y < 0 || y >= out_.Height) {
            return;
        }
        const std::array<std::uint8_t, 3> c =
            index < palette_.size() ? palette_[index] : std::array<std::uint8_t, 3>{};
        // Stored bottom row first; the texture keeps the top row first.
        const std::size_t at =
            (static_cast<std::size_t>(out_.Height - 1 - y) * static_cast<std::size_t>(out_.Width) +
             static_cast<std::size_t>(x)) *
            4;
        out_.Rgba[at] = c[0];
        out_.Rgba[at + 1] = c[1];
        out_.Rgba[at + 2] = c[2];
        out_.Rgba[at + 3] = KeyAlpha(c[0], c[1], c[2]);
    }

private:
    DecodedBmp& out_;
    std::span<const std::array<std::uint8_t, 3>> palette_;
};

// The pixel of run position i: RLE8 takes the byte, RLE4 alternates its high and low nibble.
unsigned Pixel(std::uint8_t value, int i, bool four) {
    return four ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value;
}

void Decode(std::span<const std::uint8_t> data, bool four, Canvas& canvas, int height) {
    std::size_t p = 0;
    // Wide enough that no run of a forged file can overflow them.
    std::int64_t x = 0, y = 0;
    while (p + 1 < data.size() && y < height) {
        const std::uint8_t count = data[p];
        const std::uint8_t value = data[p + 1];
        p += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) {
                canvas.Put(x++, y, Pixel(value, i, four));
            }
        } else if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return;
        } else if (value == 2) { // delta
            if (p + 1 >= data.size()) {
                return;
            }
            x += data[p];
            y += data[p + 1];
            p += 2;
        } else { // absolute: value pixels, padded to an even number of bytes
            const std::size_t bytes = four ? (static_cast<std::size_t>(value) + 1) / 2 : value;
            for (int i = 0; i < value && p + static_cast<std::size_t>(four ? i / 2 : i) < data.size(); ++i) {
                const std::uint8_t b = data[p + static_cast<std::size_t>(four ? i / 2 : i)];
                canvas.Put(x++, y, Pixel(b, i, four));
            }
            p += bytes + (bytes % 2);
        }
    }
}

} // namespace

std::optional<DecodedBmp> DecodeRleBmp(std::span<const std::uint8_t> b, std::size_t maxBytes) {
    if (b.size() < kFileHeader + 40 || b[0] != 'B' || b[1] != 'M' || U32(b, 14) < 40) {
        return std::nullopt;
    }
    const std::uint32_t compression = U32(b, 30);
    const std::uint32_t bits = U16(b, 28);
    const bool rle8 = compression == 1 && bits == 8;
    const bool rle4 = compression == 2 && bits == 4;
    const auto width = static_cast<std::int32_t>(U32(b, 18));
    const auto height = static_cast<std::int32_t>(U32(b, 22));
    if (!(rle8 || rle4) || height < 0) {
        return std::nullopt; // top-down pictures cannot be run-length encoded
    }
    DecodedBmp out;
    if (width > kMaxTextureSide || height > kMaxTextureSide) {
        out.Fault = BmpFault::TooLarge;
        return out;
    }
    if (width <= 0 || height <= 0) {
        out.Fault = BmpFault::Empty;
        return out;
    }
    if (static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4 > maxBytes) {
        out.Fault = BmpFault::NoMemory;
        return out;
    }
    // The colour table follows the info header: biClrUsed entries, or all 2^bits when 0.
    const std::size_t tableAt = kFileHeader + U32(b, 14);
    std::size_t colours = U32(b, 46);
    colours = colours == 0 || colours > (1u << bits) ? (1u << bits) : colours;
    std::vector<std::array<std::uint8_t, 3>> palette;
    for (std::size_t i = 0; i < colours && tableAt + i * 4 + 3 <= b.size(); ++i) {
        const std::size_t at = tableAt + i * 4;
        palette.push_back({b[at + 2], b[at + 1], b[at]});
    }
    const std::uint32_t dataAt = U32(b, 10);
    if (dataAt >= b.size()) {
        out.Fault = BmpFault::Undecodable;
        return out;
    }
    out.Width = width;
    out.Height = height;
    out.Rgba.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    Canvas canvas(out, palette);
    Decode(b.subspan(dataAt), rle4, canvas, height);
    out.Fault = BmpFault::None;
    return out;
}

} // namespace zv::textures
