#pragma once
// Where loaded textures go to become renderer objects. The OpenGL view implements it; the core
// calls it, so the view only uploads and never decodes files.

#include <cstdint>
#include <span>

namespace zv::textures {

class TextureSink {
public:
    virtual ~TextureSink() = default;
    // Creates or replaces the renderer object of texture t from width x height pixels, 4 bytes
    // each (red, green, blue, alpha), rows top first, no padding. The bytes are only valid
    // during the call.
    virtual void Upload(int t, int width, int height, std::span<const std::uint8_t> rgba) = 0;
    // Deletes every renderer object (a new model replaces the old one, or the program ends).
    virtual void ReleaseAll() = 0;
};

} // namespace zv::textures
