#pragma once
// BMP files for the texture tests: the variants the image library writes itself (1, 4, 8 and 24
// bits) are made with QImage; 16-bit, 32-bit, RLE and top-down files are laid out by hand.

#include <cstdint>
#include <string>
#include <vector>

namespace zv::test {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    std::uint8_t R, G, B;
    bool operator==(const Rgb&) const = default;
};

// The 4 x 2 picture every fixture of 4 bits or more holds, top row first.
const std::vector<Rgb>& SamplePixels();
inline constexpr int kSampleWidth = 4;
inline constexpr int kSampleHeight = 2;

// The sample picture in one BMP variant: bits 4, 8, 24 through QImage; "16", "32", "rle8",
// "rle4", "topdown24" by hand.
Bytes SampleBmp(const std::string& variant);

// A 1-bit BMP through QImage: width x height, pixel (x, y) set (magenta) where (x + y) is odd,
// black elsewhere.
Bytes CheckerMonoBmp(int width, int height);

// A 24-bit BMP through QImage of width x height pixels, pixel (x, y) = (x, y, x + y) mod 256.
Bytes GradientBmp(int width, int height);

// A BMP file with a 40-byte info header laid out by hand: the colour table and the pixel data
// as given.
Bytes Dib(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression,
          const std::vector<Rgb>& table, const Bytes& data);

// A BMP header that claims width x height at 24 bits, followed by only a few bytes of pixels.
Bytes HeaderOnlyBmp(std::int32_t width, std::int32_t height);

} // namespace zv::test
