#pragma once
// The model, current-polygon and vertex-point lists as the view once compiled them: display
// lists with one glBegin/glEnd per polygon and one closed line strip per outline, drawn by the
// frame of that time. The view now records vertex arrays with one draw per run of polygons;
// the comparison tests render both and expect the same pixels.

#include "render/gl/GlView.h"

namespace zv::tests {

// Renders one frame of the model the old way with the view's camera, colour mode, switches,
// texture objects and static lists (axis, grid), into the current buffer: compiled into
// display lists, or else the same calls in immediate mode. Not for following waypoints, scene
// cameras or waypoints.
void RenderReferenceFrame(const render::gl::GlView& view, const model::ModelStore& m,
                          const config::Settings& s, const textures::TextureTable& tex, bool showVertexPoints,
                          bool compiled = true);

} // namespace zv::tests
