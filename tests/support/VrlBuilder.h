#pragma once
// Builds VRL byte images of both variants for tests and benchmarks, and damages them.
// The model is described in file terms: corners in file order, colours in file byte order,
// texture names as the bytes of their 12-byte fields.

#include "formats/VrlLayout.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zv::test {

using VrlImage = std::vector<std::uint8_t>;

struct VrlCorner {
    std::int32_t Vertex = 0;
    float U = 0;
    float V = 0;
};

struct VrlPolygon {
    std::vector<VrlCorner> Corners; // file order, the reverse of the model's
    std::uint8_t B = 0, G = 0, R = 0, A = 0;
    std::int32_t SurfaceType = 0;
    std::int32_t Texture = 0; // index into the file's names
};

struct VrlFileModel {
    std::vector<std::array<float, 3>> Vertices;
    std::vector<VrlPolygon> Polygons;
    // Each name is the content of its field, zero-padded to 12 bytes; any bytes are allowed.
    std::vector<std::string> TextureNames;
    std::int32_t NormalCount = -1; // -1: one normal per polygon, as the writer stores them
};

// Lays out header and blocks contiguously in the order a writer uses, with every block at its
// real size (blocks the reader skips are zero-filled). The texture-index block follows the
// surface-type block. Throws std::invalid_argument for a name longer than 12 bytes.
VrlImage BuildVrl(const VrlFileModel& model, formats::VrlVariant variant);

// The int32 at offset; throws std::out_of_range when it does not fit.
std::int32_t Int32At(const VrlImage& image, std::size_t offset);
// Overwrites the int32 at offset; throws std::out_of_range when it does not fit.
void SetInt32(VrlImage& image, std::size_t offset, std::int32_t value);
// Byte offset of element index of the block whose offset the header field holds.
std::size_t ElementAt(const VrlImage& image, int headerField, int index, int elementSize);
// Appends an int32 block at the end of the image and returns its offset.
std::int32_t AppendInt32Block(VrlImage& image, const std::vector<std::int32_t>& values);
// Cuts the image to size bytes.
void Truncate(VrlImage& image, std::size_t size);

} // namespace zv::test
