// BMP decoding: a decoded picture has exactly width x height pixels, and decoding twice gives the
// same bytes (no pixel is left undefined).

#include "FuzzSupport.h"

#include "textures/BmpCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    constexpr std::size_t kBudget = std::size_t{64} << 20; // keeps each run small
    const zv::textures::DecodedBmp a = zv::textures::DecodeBmp(bytes, kBudget);
    if (a.Fault != zv::textures::BmpFault::None) {
        zv::fuzz::Require(a.Rgba.empty(), "a fault leaves no pixels");
        return 0;
    }
    zv::fuzz::Require(a.Width > 0 && a.Height > 0 && a.Width <= zv::textures::kMaxTextureSide &&
                          a.Height <= zv::textures::kMaxTextureSide,
                      "size");
    zv::fuzz::Require(a.Rgba.size() == static_cast<std::size_t>(a.Width) * static_cast<std::size_t>(a.Height) * 4,
                      "pixel count");
    zv::fuzz::Require(zv::textures::DecodeBmp(bytes, kBudget).Rgba == a.Rgba, "two decodes differ");
    return 0;
}
