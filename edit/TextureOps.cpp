#include "edit/TextureOps.h"

#include "edit/SelectedPolygons.h"
#include "model/Columns.h"
#include "model/Numbers.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <vector>

namespace zv::edit {
namespace {

using model::CornerCount;
using model::IsPolygon;
using model::IsVertex;
using model::kFalse;
using model::kTrue;
using model::ModelStore;
using model::SameBits;
using model::UsedPolygons;

int AtLeastOne(int size) {
    return std::max(size, 1);
}

bool IsTexture(const ModelStore& m, std::int32_t t) {
    return t >= 0 && t < m.TexCount;
}

// Selects the polygons for which same holds; deselects nothing.
template <class Same> Change SelectWhere(ModelStore& m, Same same) {
    bool changed = false;
    const int n = UsedPolygons(m);
    for (std::int32_t p = 0; p < n; ++p) {
        if (m.PolySel[p] == kFalse && same(p)) {
            m.PolySel[p] = kTrue;
            changed = true;
        }
    }
    return changed ? Change(Change::Selection) : kNoChange;
}

// x rounded to 6 decimals, without trailing zeros.
std::string Decimal6(double x) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", model::RoundHalfEven(x, 6));
    std::string out = text;
    while (out.back() == '0') {
        out.pop_back();
    }
    if (out.back() == '.') {
        out.pop_back();
    }
    return out == "-0" ? "0" : out;
}

} // namespace

double DisplayScale(int width, int height) {
    const double exact = 256.0 / AtLeastOne(std::max(width, height));
    const double rounded = model::RoundHalfEven(exact, 0);
    return rounded == 0 ? exact : rounded;
}

// ---- Planar mapping -----------------------------------------------------------------------

std::optional<MapDirection> ParseMapDirection(std::string_view text) {
    static constexpr std::string_view kNames[] = {"x", "-x", "y", "-y", "z", "-z"};
    std::string lower(text);
    for (char& c : lower) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    for (std::size_t i = 0; i < std::size(kNames); ++i) {
        if (lower == kNames[i]) {
            return static_cast<MapDirection>(i);
        }
    }
    return std::nullopt;
}

PlanarView DirectionView(MapDirection d, double centreX, double centreY) {
    constexpr float kPi = 3.14159265f;
    constexpr float kAngles[6][2] = {
        {0, 3 * kPi / 2}, {0, kPi / 2}, {kPi / 2, kPi / 2}, {3 * kPi / 2, kPi / 2}, {0, kPi}, {0, 0},
    };
    const auto* a = kAngles[static_cast<int>(d)];
    return {a[0], a[1], kMapZoom, centreX, centreY};
}

namespace {

// The sines and cosines of a view, once per command rather than once per corner.
struct Turn {
    float CosX, SinX, CosY, SinY;
    explicit Turn(const PlanarView& v)
        : CosX(std::cos(v.AngleX)), SinX(std::sin(v.AngleX)), CosY(std::cos(v.AngleY)),
          SinY(std::sin(v.AngleY)) {}

    std::array<double, 2> Point(const PlanarView& v, const model::VertRec& p) const {
        // About Y: x' = x cos b - z sin b, z' = x sin b + z cos b; about X: y' = y cos a + z' sin a.
        const double x = static_cast<double>(p.X) * CosY - static_cast<double>(p.Z) * SinY;
        const double z = static_cast<double>(p.X) * SinY + static_cast<double>(p.Z) * CosY;
        const double y = static_cast<double>(p.Y) * CosX + z * SinX;
        return {x * v.Zoom + v.CentreX, -y * v.Zoom + v.CentreY};
    }

    Uv Coordinates(const PlanarView& v, double scaledW, double scaledH, const model::VertRec& p) const {
        const auto [x, y] = Point(v, p);
        return {static_cast<float>(x / scaledW), static_cast<float>(y / scaledH)};
    }
};

} // namespace

std::array<double, 2> MapPoint(const PlanarView& view, const model::VertRec& p) {
    return Turn(view).Point(view, p);
}

Uv PlanarUv(const PlanarView& view, int width, int height, const model::VertRec& p) {
    const double s = DisplayScale(width, height);
    return Turn(view).Coordinates(view, AtLeastOne(width) * s, AtLeastOne(height) * s, p);
}

float ZoomClick(float zoom, bool left) {
    return left ? std::min(zoom * 1.05f, 10000.0f) : std::max(zoom / 1.05f, 5.0f);
}

float ZoomDrag(float zoom, bool larger) {
    const float z = larger ? zoom * 1.02f : zoom / 1.02f;
    return z < 0.0001f ? 1.0f : z > 10000.0f ? 10000.0f : z;
}

std::array<std::string, 2> PanReadout(const PlanarView& view, double x, double y) {
    const auto label = [&](const char* name, double offset) {
        return (name + Decimal6(offset / view.Zoom)).substr(0, 15);
    };
    return {label("Z: ", view.CentreX - x), label("Y: ", view.CentreY - y)};
}

Change MapSelectedPlanar(ModelStore& m, Recorder& rec, const PlanarView& view, std::int32_t tex, int width,
                         int height) {
    if (!IsTexture(m, tex)) {
        return kNoChange;
    }
    const Turn turn(view);
    const double s = DisplayScale(width, height);
    const double w = AtLeastOne(width) * s, h = AtLeastOne(height) * s;
    const auto each = [&](std::int32_t p, auto&& f) {
        const int n = CornerCount(m, p);
        for (int k = 0; k < n; ++k) {
            const std::int32_t v = m.PolyVert(p, k);
            if (IsVertex(m, v) && !f(k, turn.Coordinates(view, w, h, m.Vert[v]))) {
                return false;
            }
        }
        return true;
    };
    return ChangeSelectedPolygons(
        m, rec,
        [&](std::int32_t p) {
            return m.PolyTex[p] != tex || !each(p, [&](int k, const Uv& uv) {
                       return SameBits(m.PolyTU(p, k), uv.U) && SameBits(m.PolyTV(p, k), uv.V);
                   });
        },
        [&](std::int32_t p) {
            each(p, [&](int k, const Uv& uv) {
                m.PolyTU(p, k) = uv.U;
                m.PolyTV(p, k) = uv.V;
                return true;
            });
            m.PolyTex[p] = tex;
        });
}

// ---- Texture commands ---------------------------------------------------------------------

Change ReplaceTexture(ModelStore& m, Recorder& rec, std::int32_t oldTex, std::int32_t newTex) {
    if (!IsTexture(m, oldTex) || !IsTexture(m, newTex) || oldTex == newTex) {
        return kNoChange;
    }
    return ChangeSelectedPolygons(
        m, rec, [&](std::int32_t p) { return m.PolyTex[p] == oldTex; },
        [&](std::int32_t p) { m.PolyTex[p] = newTex; });
}

Change CopyUvToSelected(ModelStore& m, Recorder& rec, std::int32_t source) {
    if (!IsPolygon(m, source)) {
        return kNoChange;
    }
    const auto same = [&](std::int32_t p) {
        for (int k = 0; k < model::kMaxCorners; ++k) {
            if (!SameBits(m.PolyTU(p, k), m.PolyTU(source, k)) ||
                !SameBits(m.PolyTV(p, k), m.PolyTV(source, k))) {
                return false;
            }
        }
        return true;
    };
    return ChangeSelectedPolygons(
        m, rec, [&](std::int32_t p) { return p != source && !same(p); },
        [&](std::int32_t p) {
            for (int k = 0; k < model::kMaxCorners; ++k) {
                m.PolyTU(p, k) = m.PolyTU(source, k);
                m.PolyTV(p, k) = m.PolyTV(source, k);
            }
        });
}

Change SelectSameTexture(ModelStore& m) {
    const std::int32_t c = m.CurPoly;
    if (!IsPolygon(m, c)) {
        return kNoChange;
    }
    const std::int32_t tex = m.PolyTex[c];
    return SelectWhere(m, [&](std::int32_t p) { return m.PolyTex[p] == tex; });
}

Change SelectSameColour(ModelStore& m) {
    const std::int32_t c = m.CurPoly;
    if (!IsPolygon(m, c)) {
        return kNoChange;
    }
    const std::array<std::uint8_t, 4> colour{m.PolyR[c], m.PolyG[c], m.PolyB[c], m.PolyA[c]};
    return SelectWhere(m, [&](std::int32_t p) {
        return std::array<std::uint8_t, 4>{m.PolyR[p], m.PolyG[p], m.PolyB[p], m.PolyA[p]} == colour;
    });
}

Change ApplyToCurrentPolygon(ModelStore& m, Recorder& rec, std::int32_t listIndex, std::uint16_t typeBits,
                             const std::array<double, 4>& colour) {
    // SetCurrentSurface leaves the texture alone when the index is no texture and does nothing
    // without a current polygon, so the window never writes past the tables.
    return SetCurrentSurface(m, rec, {SurfaceTypeFromBits(typeBits), colour, listIndex});
}

// ---- Wet surfaces -------------------------------------------------------------------------

double AngleFromUp(const model::VertRec& c0, const model::VertRec& c1, const model::VertRec& c2) {
    const double ax = static_cast<double>(c1.X) - c0.X, ay = static_cast<double>(c1.Y) - c0.Y,
                 az = static_cast<double>(c1.Z) - c0.Z;
    const double bx = static_cast<double>(c2.X) - c0.X, by = static_cast<double>(c2.Y) - c0.Y,
                 bz = static_cast<double>(c2.Z) - c0.Z;
    const double nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
    const double length = std::sqrt(nx * nx + ny * ny + nz * nz);
    return WetAngle(length == 0 ? 0 : ny / length);
}

double WetAngle(double normalY) {
    // A rounding error can put the component just past 1, where acos has no value.
    const double y = std::clamp(normalY, -1.0, 1.0);
    if (1 - y * y == 0) {
        return 0;
    }
    return std::abs(std::acos(y) * 57.2957795);
}

Change WetSurfaceTransparency(ModelStore& m, Recorder& rec) {
    const auto alpha = [&](std::int32_t p) -> std::optional<std::uint8_t> {
        if (CornerCount(m, p) < 3) {
            return std::nullopt;
        }
        const std::int32_t v0 = m.PolyVert(p, 0), v1 = m.PolyVert(p, 1), v2 = m.PolyVert(p, 2);
        if (!IsVertex(m, v0) || !IsVertex(m, v1) || !IsVertex(m, v2)) {
            return std::nullopt;
        }
        const double a = AngleFromUp(m.Vert[v0], m.Vert[v1], m.Vert[v2]);
        if (!(a < kWetAngle)) {
            return std::nullopt;
        }
        return static_cast<std::uint8_t>(model::RoundToInt32((kWetAngle - a) * 2.35));
    };
    return ChangeSelectedPolygons(
        m, rec,
        [&](std::int32_t p) {
            const auto a = alpha(p);
            return a && (m.PolyType[p] != kWetType || m.PolyA[p] != *a);
        },
        [&](std::int32_t p) {
            m.PolyA[p] = *alpha(p);
            m.PolyType[p] = kWetType;
        });
}

// ---- The texture window -------------------------------------------------------------------

Uv UvFromPoint(double x, double y, int width, int height) {
    const double z = DisplayScale(width, height);
    const double w = AtLeastOne(width) * z, h = AtLeastOne(height) * z;
    return {static_cast<float>(std::clamp(x, 0.0, w) / w), static_cast<float>(std::clamp(y, 0.0, h) / h)};
}

std::array<double, 2> DisplayPoint(const Uv& uv, int width, int height) {
    const double z = DisplayScale(width, height);
    return {static_cast<double>(uv.U) * AtLeastOne(width) * z,
            static_cast<double>(uv.V) * AtLeastOne(height) * z};
}

std::string CoordinateText(float value, int size, bool pixels) {
    if (pixels) {
        return std::to_string(model::RoundToInt32(static_cast<double>(value) * AtLeastOne(size)));
    }
    return Decimal6(value);
}

float StoredCoordinate(double typed, int size, bool pixels) {
    return static_cast<float>(pixels ? typed / AtLeastOne(size) : typed);
}

Change SetCurrentCornerUv(ModelStore& m, Recorder& rec, const Uv& uv) {
    const std::int32_t p = m.CurPoly, k = m.CurCorner;
    if (!IsPolygon(m, p) || k < 0 || k >= CornerCount(m, p)) {
        return kNoChange;
    }
    if (SameBits(m.PolyTU(p, k), uv.U) && SameBits(m.PolyTV(p, k), uv.V)) {
        return kNoChange;
    }
    rec.Polygons(p, p + 1);
    m.PolyTU(p, k) = uv.U;
    m.PolyTV(p, k) = uv.V;
    return Change::Polygons;
}

} // namespace zv::edit
