#pragma once
// Connects the texture table's hand-over to an OpenGL view: loaded images become the view's
// texture objects. The view's context must be current whenever the table calls the sink.

#include "render/gl/GlView.h"
#include "textures/TextureSink.h"

namespace zv::render::gl {

class GlTextureSink final : public textures::TextureSink {
public:
    explicit GlTextureSink(GlView& view) : view_(view) {}
    // Uploads texture t; a slot outside the table or a short buffer is ignored.
    void Upload(int t, int width, int height, std::span<const std::uint8_t> rgba) override {
        view_.UploadTexture(t, width, height, rgba);
    }
    // Deletes the view's texture objects; slot 0 gets the default image again.
    void ReleaseAll() override { view_.ReleaseTextures(); }

private:
    GlView& view_;
};

} // namespace zv::render::gl
