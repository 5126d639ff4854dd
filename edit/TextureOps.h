#pragma once
// Texture assignment and mapping: planar mapping of the selected polygons onto a texture from
// one of six axis directions, replacing one texture by another, copying texture coordinates
// from one polygon to the selected ones, selecting by texture or colour, the wet-surface
// transparency, and the value rules of the texture window (a corner's coordinates from a point
// on the texture display, the pixel or normalised read-out of its boxes).
//
// The commands take the store and the recorder of the step they run in, declare the rows they
// will change before changing them, and return what changed (nothing when there was nothing to
// do). Only polygons 0 .. PolyCount - 1 take part. Texture sizes come from the caller (the
// texture table lives above this layer); a size below 1 counts as 1.

#include "edit/Change.h"
#include "edit/History.h"
#include "edit/PolygonOps.h"
#include "model/ModelStore.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zv::edit {

struct Uv {
    float U = 0;
    float V = 0;
    friend bool operator==(const Uv&, const Uv&) = default;
};

// The scale at which a texture is drawn: 256 / max(W, H) rounded (half to even), so the larger
// side is about 256 pixels. Textures of 512 pixels and more round to 0; they get the unrounded
// fraction instead, so nothing divides by zero.
double DisplayScale(int width, int height);

// ---- Planar mapping -----------------------------------------------------------------------

enum class MapDirection { X, MinusX, Y, MinusY, Z, MinusZ };

// "x", "-x", "y", "-y", "z", "-z" (either case); nullopt for anything else.
std::optional<MapDirection> ParseMapDirection(std::string_view text);

// The zoom a direction button sets.
inline constexpr float kMapZoom = 280;

// The state of the mapping drawing: the two angles (radians, single precision), the zoom and
// the drawing centre in pixels. The default is the "-Z" view.
struct PlanarView {
    float AngleX = 0;
    float AngleY = 0;
    float Zoom = kMapZoom;
    double CentreX = 0;
    double CentreY = 0;
};

// What a direction button gives: its angles and kMapZoom; the centre stays.
PlanarView DirectionView(MapDirection d, double centreX = 0, double centreY = 0);

// Where a vertex is drawn: turned about Y by AngleY, then about X by AngleX, times the zoom,
// at (x + cx, -y + cy) (screen Y points down).
std::array<double, 2> MapPoint(const PlanarView& view, const model::VertRec& p);

// The texture coordinates OK gives a corner at p on a texture of width x height pixels:
// the drawn point divided by the texture's drawn size.
Uv PlanarUv(const PlanarView& view, int width, int height, const model::VertRec& p);

// A click without moving: the left button zooms in by 1.05 (at most 10000), the right one out
// (at least 5).
float ZoomClick(float zoom, bool left);
// One mouse step of a left drag: by 1.02 up or down; below 0.0001 becomes 1, above 10000
// becomes 10000.
float ZoomDrag(float zoom, bool larger);

// The read-outs of a right drag at mouse point (x, y): "Z: " and "Y: " with the model
// coordinates under the pointer, (cx - x) / zoom and (cy - y) / zoom, rounded to 6 decimals,
// each label cut to 15 characters.
std::array<std::string, 2> PanReadout(const PlanarView& view, double x, double y);

// OK of the mapping window: every corner of every selected polygon gets PlanarUv of its vertex
// (corners that are no vertex keep theirs) and the polygon gets texture tex. Nothing when tex
// is no texture of the model.
Change MapSelectedPlanar(model::ModelStore& m, Recorder& rec, const PlanarView& view, std::int32_t tex,
                         int width, int height);

// ---- Texture commands ---------------------------------------------------------------------

// Every selected polygon with texture oldTex gets newTex. Nothing when either is no texture of
// the model (no list entry chosen).
Change ReplaceTexture(model::ModelStore& m, Recorder& rec, std::int32_t oldTex, std::int32_t newTex);

// Copies the texture coordinates of all sixteen corner slots of polygon source to every other
// selected polygon, so a triangle also gets slots 3 .. 15. Nothing when source is no polygon.
Change CopyUvToSelected(model::ModelStore& m, Recorder& rec, std::int32_t source);

// Select every polygon with the texture of the current polygon / with its four colour bytes;
// nothing is deselected. Nothing without a current polygon.
Change SelectSameTexture(model::ModelStore& m);
Change SelectSameColour(model::ModelStore& m);

// "Apply" of the texture window on the current polygon: texture listIndex (left alone when it
// is no texture, -1 when nothing is chosen), the sixteen type bits and the colour (rounded,
// 0 .. 255). Nothing without a current polygon.
Change ApplyToCurrentPolygon(model::ModelStore& m, Recorder& rec, std::int32_t listIndex,
                             std::uint16_t typeBits, const std::array<double, 4>& colour);

// ---- Wet surfaces -------------------------------------------------------------------------

inline constexpr std::int32_t kWetType = 2100;
inline constexpr double kWetAngle = 6.0;

// The angle in degrees between +Y and a unit normal with Y component normalY: 0 when the normal
// lies on the Y axis (either way up). Components a rounding error past 1 count as 1.
double WetAngle(double normalY);

// WetAngle of the unit normal (c1 - c0) x (c2 - c0); 90 for a degenerate triangle.
double AngleFromUp(const model::VertRec& c0, const model::VertRec& c1, const model::VertRec& c2);

// Every selected polygon whose corners 0, 1, 2 give an angle a below 6 degrees gets type 2100
// and fourth colour byte (6 - a) * 2.35 rounded (half to even).
Change WetSurfaceTransparency(model::ModelStore& m, Recorder& rec);

// ---- The texture window -------------------------------------------------------------------

// The corner's coordinates for a mouse point on the texture display: the point is clamped to
// the drawn texture (W·z by H·z pixels) and divided by its size.
Uv UvFromPoint(double x, double y, int width, int height);

// Where texture coordinates lie on the texture display (the outline of the current polygon).
std::array<double, 2> DisplayPoint(const Uv& uv, int width, int height);

// The text of a coordinate box: normalised, rounded to 6 decimals; or in pixels (value times
// the texture's size along that axis), rounded to a whole number.
std::string CoordinateText(float value, int size, bool pixels);

// The value to store for a number typed into a coordinate box: while the boxes show pixels it
// is divided by the texture's size.
float StoredCoordinate(double typed, int size, bool pixels);

// Sets the texture coordinates of the current corner of the current polygon (mouse editing
// and the boxes). Nothing without a current polygon or a current corner it has.
Change SetCurrentCornerUv(model::ModelStore& m, Recorder& rec, const Uv& uv);

} // namespace zv::edit
