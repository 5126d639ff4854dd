#pragma once
// BMP pictures in and out, without any GUI library: 1, 4, 8, 16, 24 and 32 bits per pixel with
// OS/2 or Windows headers, uncompressed or with bit fields (through the stb decoder) or RLE8 and
// RLE4 (decoded here, so that every pixel is defined); files are written as uncompressed
// 24-bit BMPs.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zv::textures {

// Larger pictures are refused: no texture of the games comes near, and a forged header could
// otherwise ask for gigabytes.
inline constexpr int kMaxTextureSide = 8192;

enum class BmpFault { None, Undecodable, Empty, TooLarge, NoMemory };

struct DecodedBmp {
    BmpFault Fault = BmpFault::Undecodable;
    int Width = 0;
    int Height = 0;
    // 4 bytes per pixel (red, green, blue, alpha by the colour key), rows top first. Empty
    // unless Fault is None.
    std::vector<std::uint8_t> Rgba;
};

// Decodes the bytes of a BMP file. The picture's own alpha, if any, is ignored: magenta is the
// only transparency. A picture whose pixels would take more than maxBytes (4 bytes each) is
// refused with NoMemory before anything is decoded. A fault leaves the result without pixels.
DecodedBmp DecodeBmp(std::span<const std::uint8_t> bytes, std::size_t maxBytes = SIZE_MAX);

// The bytes of a 24-bit BMP file holding width x height pixels given as RGBA (alpha ignored),
// rows top first. Empty when the sizes do not match the pixels or encoding fails.
std::string EncodeBmp24(int width, int height, std::span<const std::uint8_t> rgba);

} // namespace zv::textures
