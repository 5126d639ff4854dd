#pragma once
// Run-length encoded BMP pictures (RLE8 and RLE4), decoded here rather than by the image
// library so that every pixel is defined: what the runs leave out (short rows, delta skips, an
// early end of bitmap, data cut short) is transparent black, as readers of the format treat it.

#include "textures/BmpCodec.h"

#include <cstdint>
#include <optional>
#include <span>

namespace zv::textures {

// Decodes a "BM" file with a Windows info header whose compression is RLE8 (1) with 8 bits or
// RLE4 (2) with 4 bits per pixel, stored bottom row first. nullopt for any other file (the image
// library handles those). Sizes are checked against kMaxTextureSide and the pixels against
// maxBytes.
std::optional<DecodedBmp> DecodeRleBmp(std::span<const std::uint8_t> bytes, std::size_t maxBytes);

} // namespace zv::textures
