#pragma once
// The colour, alpha and camera rules of the OpenGL view as plain functions, so they can be
// checked without a rendering context. Nothing here calls OpenGL.

#include "model/ModelStore.h"

#include <cstdint>

namespace zv::render::gl {

struct Colour {
    float R = 0;
    float G = 0;
    float B = 0;
    float A = 1;
};

// Camera of the OpenGL view; the member defaults are the start and "Rese&t" values.
struct Camera {
    float GLPanX = 0;
    float GLPanY = 0;
    float GLDist = 12;
    float GLYaw = 315;
    float GLPitch = 30;
};

// Background colour from "View4_BackColor" (red in the low byte) scaled by
// "View4_Brightness" / 65536; every channel is divided by 256. Alpha is 1.
Colour ClearColour(std::int32_t backColor, std::int32_t brightness);

// Grey level of the floor grid from "View4_GridColor" (0..255 expected, not clamped).
float GridGrey(std::int32_t gridColor);

// Size of the vertex points for a camera distance: below 10 → 5, below 500 → 2,
// below 1000 → 1.5, otherwise 1.
float PointSize(float glDist);

// One auto-rotation step: yaw + 1, back to 0 at 360 or more.
float NextYaw(float yaw);

// The draw-mode cycle 0 → 1 → 2 → 0; any other value restarts at 0.
std::uint8_t NextRenderType(std::uint8_t renderType);

// Corner count of polygon p when it can be drawn: 0 when the count is outside 1..16 or a corner
// names a vertex outside 0 .. VertCount - 1, so a damaged polygon is skipped rather than read
// out of the tables.
int DrawableCorners(const model::ModelStore& m, int p);

// True when bit 0 of PolyFlag(p) says the polygon is shown.
bool IsShown(const model::ModelStore& m, int p);

// Surface types 25 and 36 are drawn in their own colour without a texture.
bool IsUntexturedType(std::int32_t polyType);

// Wireframe colour: selected (0.3, 0.3, 1), the current polygon white, others black.
Colour WireColour(const model::ModelStore& m, int p);

// Flat colour of polygon p with `corners` corners in colour mode GLColorMode (1..8; other
// values use mode 1). Mode 8 colours per corner: the result is for a corner at height 0, use
// CornerColour for each corner when UsesCornerColour is true. Alpha is always 1.
Colour FlatColour(const model::ModelStore& m, int p, int corners, int colorMode);

// True when FlatColour's polygon takes its colour per corner (mode 8, neither selected nor
// current).
bool UsesCornerColour(const model::ModelStore& m, int p, int colorMode);

// The per-corner colour of mode 8 for a corner at model height y: (y × 10, 0, 0.5).
Colour CornerColour(float y);

// Colour of polygon p in the textured mode, alpha included: white (untextured types: their own
// colour / 256), selected (1, 0.85, 0.85); alpha (256 − PolyA) / 256 for triangles,
// (255 − PolyA) / 256 for quads, 1 for larger polygons.
Colour TexturedColour(const model::ModelStore& m, int p, int corners);

} // namespace zv::render::gl
