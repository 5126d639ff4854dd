#include "render/gl/ViewRules.h"

#include <cmath>

namespace zv::render::gl {

namespace {

bool IsSelected(const model::ModelStore& m, int p) {
    return m.PolySel[p] != model::kFalse;
}

Colour OwnColour(const model::ModelStore& m, int p) {
    return {m.PolyR[p] / 256.0f, m.PolyG[p] / 256.0f, m.PolyB[p] / 256.0f, 1};
}

// Modes 3 to 5 show one normal component: negative in red, positive in green.
Colour SignedComponent(float n) {
    if (n < 0)
        return {std::fabs(n), 0, 0, 1};
    return {0, n, 0, 1};
}

// The auxiliary polygon value of mode 2 is not kept by the model store; it counts as 0.
constexpr float kPolyAux2 = 0;

Colour AuxColour(int corners) {
    const float k = corners == 3 ? 10.0f : corners == 4 ? 30.0f : 20.0f;
    const float v = kPolyAux2 * k;
    if (v < 0)
        return {std::fabs(v), 0.3f, 0, 1};
    return {0, 0.3f, v, 1};
}

} // namespace

Colour ClearColour(std::int32_t backColor, std::int32_t brightness) {
    const float b = static_cast<float>(brightness) / 65536.0f;
    const float red = static_cast<float>(backColor & 255);
    const float green = static_cast<float>((backColor & 65280) / 256);
    const float blue = static_cast<float>((backColor & 16711680) / 65536);
    return {b * red / 256.0f, b * green / 256.0f, b * blue / 256.0f, 1};
}

float GridGrey(std::int32_t gridColor) {
    return static_cast<float>(gridColor) / 255.0f;
}

float PointSize(float glDist) {
    if (glDist < 10)
        return 5;
    if (glDist < 500)
        return 2;
    if (glDist < 1000)
        return 1.5f;
    return 1;
}

float NextYaw(float yaw) {
    const float next = yaw + 1;
    return next >= 360 ? 0 : next;
}

std::uint8_t NextRenderType(std::uint8_t renderType) {
    return renderType == 0 ? 1 : renderType == 1 ? 2 : 0;
}

int DrawableCorners(const model::ModelStore& m, int p) {
    const int corners = m.PolyVCount[p];
    if (corners < 1 || corners > model::kMaxCorners)
        return 0;
    for (int k = 0; k < corners; ++k) {
        const int v = m.PolyVert(p, k);
        if (v < 0 || v >= m.VertCount)
            return 0;
    }
    return corners;
}

bool IsShown(const model::ModelStore& m, int p) {
    return (m.PolyFlag[p] & 1) != 0;
}

bool IsUntexturedType(std::int32_t polyType) {
    return polyType == 25 || polyType == 36;
}

Colour WireColour(const model::ModelStore& m, int p) {
    if (IsSelected(m, p))
        return {0.3f, 0.3f, 1.0f, 1};
    if (p == m.CurPoly)
        return {1, 1, 1, 1};
    return {0, 0, 0, 1};
}

Colour FlatColour(const model::ModelStore& m, int p, int corners, int colorMode) {
    if (IsSelected(m, p)) {
        const float a = corners == 3 ? std::fabs(m.PolyNY[p]) : std::fabs(m.PolyNY[p]) / 2;
        return {a, a / 2, a, 1};
    }
    if (p == m.CurPoly)
        return {0.7f, 0.7f, 1.0f, 1};
    const float nx = m.PolyNX[p];
    const float ny = m.PolyNY[p];
    const float nz = m.PolyNZ[p];
    switch (colorMode) {
    case 2:
        return AuxColour(corners);
    case 3:
        return SignedComponent(nx);
    case 4:
        return SignedComponent(ny);
    case 5:
        return SignedComponent(nz);
    case 6: {
        const float grey = (std::fabs(nx) + std::fabs(ny) + std::fabs(nz)) / 3;
        return {grey, grey, grey, 1};
    }
    case 7:
        return {std::fabs(ny), std::fabs(nz), std::fabs(nx), 1};
    case 8:
        return CornerColour(0);
    default:
        return OwnColour(m, p);
    }
}

bool UsesCornerColour(const model::ModelStore& m, int p, int colorMode) {
    return colorMode == 8 && !IsSelected(m, p) && p != m.CurPoly;
}

Colour CornerColour(float y) {
    return {y * 10, 0, 0.5f, 1};
}

Colour TexturedColour(const model::ModelStore& m, int p, int corners) {
    Colour c{1, 1, 1, 1};
    if (IsSelected(m, p))
        c = {1, 0.85f, 0.85f, 1};
    else if (IsUntexturedType(m.PolyType[p]))
        c = OwnColour(m, p);
    if (corners == 3)
        c.A = static_cast<float>(256 - m.PolyA[p]) / 256.0f;
    else if (corners == 4)
        c.A = static_cast<float>(255 - m.PolyA[p]) / 256.0f;
    return c;
}

} // namespace zv::render::gl
