#pragma once
// Model coordinates under the cursor of the wireframe view and the read-out texts the main
// window shows for them while the mouse moves.

#include "render/WireframeView.h"

#include <cstddef>
#include <string>

namespace zv::render {

enum class Axis { X, Y, Z };

// Which model axes the screen's horizontal and vertical directions show in one orientation,
// and their signs: +1 when the model value grows to the right (horizontal) or downwards
// (vertical).
struct ShownAxes {
    Axis Horizontal;
    float HorizontalSign;
    Axis Vertical;
    float VerticalSign;
};

// The shown axes of orientation 0 .. 5; any other value gives those of 0.
ShownAxes AxesOf(int orient);

// One component of a point, and the matching component of the view centre.
float Component(const model::VertRec& p, Axis a);
float& CentreComponent(WireframeView& view, Axis a);
float CentreComponent(const WireframeView& view, Axis a);

// The two model coordinates under a pixel position.
struct ModelUnderCursor {
    float Horizontal = 0;
    float Vertical = 0;
};

// The inverse of Project for the view's orientation. It ignores the rotation angles, so it is
// exact while they are those of the orientation (with either camera). A zoom of 0 gives
// infinite or NaN values.
ModelUnderCursor ScreenToModel(const WireframeView& view, float px, float py);

// The value rounded to 4 decimals in the form ".0000": no digit before the point when the
// whole part is 0 ("-.5000" for -0.5), no sign for a value that rounds to zero. Infinite and
// NaN values give "---".
std::string FormatPointFour(double value);

// The value rounded to `decimals` (0 .. 9) decimals in general form: trailing zeros and a
// bare point dropped, "0" before the point, no sign for a value that rounds to zero. Infinite
// and NaN values give "---".
std::string FormatGeneral(double value, int decimals);

// The first `count` characters of text (all of it when shorter).
std::string CutTo(std::string text, std::size_t count);

// The three labels of the cursor read-out.
struct CursorReadout {
    std::string Horizontal; // e.g. "Z: 1.2500", the value cut to 8 characters
    std::string Vertical;   // e.g. "Y: -3.125", the value cut to 8 characters
    std::string Zoom;       // e.g. "Zf: 33.33"
};

// The zoom label for a zoom value: "Zf: " and the zoom rounded to 2 decimals.
std::string ZoomText(float zoom);

// The read-out for the cursor at a pixel position of the wireframe view.
CursorReadout ReadOut(const WireframeView& view, float px, float py);

} // namespace zv::render
