#include "render/CursorReadout.h"

#include "model/Numbers.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace zv::render {
namespace {

// Per orientation, read off the placement table of the projection: the screen offset of a
// model point grows with +s·value (sign +1) or -s·value (sign -1) on each shown axis.
const std::array<ShownAxes, 6> kAxes{{
    {Axis::Z, 1, Axis::Y, -1},
    {Axis::Z, -1, Axis::Y, -1},
    {Axis::Z, 1, Axis::X, 1},
    {Axis::Z, 1, Axis::X, -1},
    {Axis::X, -1, Axis::Y, -1},
    {Axis::X, 1, Axis::Y, -1},
}};

// A fixed-point text of an already rounded value; big enough for any double.
std::string Fixed(double rounded, int decimals) {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, rounded);
    return text;
}

double RoundedNoNegativeZero(double value, int decimals) {
    const double r = model::RoundHalfEven(value, decimals);
    return r == 0 ? 0.0 : r;
}

} // namespace

ShownAxes AxesOf(int orient) {
    return orient >= 0 && orient < static_cast<int>(kAxes.size()) ? kAxes[static_cast<std::size_t>(orient)]
                                                                  : kAxes[0];
}

float Component(const model::VertRec& p, Axis a) {
    switch (a) {
    case Axis::X:
        return p.X;
    case Axis::Y:
        return p.Y;
    case Axis::Z:
        break;
    }
    return p.Z;
}

float& CentreComponent(WireframeView& view, Axis a) {
    switch (a) {
    case Axis::X:
        return view.ViewCenterX;
    case Axis::Y:
        return view.ViewCenterY;
    case Axis::Z:
        break;
    }
    return view.ViewCenterZ;
}

float CentreComponent(const WireframeView& view, Axis a) {
    return Component({view.ViewCenterX, view.ViewCenterY, view.ViewCenterZ}, a);
}

ModelUnderCursor ScreenToModel(const WireframeView& view, float px, float py) {
    const ShownAxes ax = AxesOf(view.ViewOrient);
    const float s = view.ViewZoom;
    const float dx = px - static_cast<float>(view.ViewOffX);
    const float dy = py - static_cast<float>(view.ViewOffY);
    return {ax.HorizontalSign * dx / s + CentreComponent(view, ax.Horizontal),
            ax.VerticalSign * dy / s + CentreComponent(view, ax.Vertical)};
}

std::string FormatPointFour(double value) {
    if (!std::isfinite(value)) {
        return "---";
    }
    std::string text = Fixed(RoundedNoNegativeZero(value, 4), 4);
    const std::size_t zero = text[0] == '-' ? 1 : 0;
    if (text.compare(zero, 2, "0.") == 0) {
        text.erase(zero, 1);
    }
    return text;
}

std::string FormatGeneral(double value, int decimals) {
    if (!std::isfinite(value)) {
        return "---";
    }
    decimals = decimals < 0 ? 0 : (decimals > 9 ? 9 : decimals);
    std::string text = Fixed(RoundedNoNegativeZero(value, decimals), decimals);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text;
}

std::string CutTo(std::string text, std::size_t count) {
    if (text.size() > count) {
        text.resize(count);
    }
    return text;
}

std::string ZoomText(float zoom) {
    return "Zf: " + FormatGeneral(zoom, 2);
}

CursorReadout ReadOut(const WireframeView& view, float px, float py) {
    const OrientationInfo& info = Orientation(view.ViewOrient);
    const ModelUnderCursor at = ScreenToModel(view, px, py);
    // The labels of the orientation table start with the axis letter and ": ".
    return {std::string(info.HorizontalLabel.substr(0, 3)) + CutTo(FormatPointFour(at.Horizontal), 8),
            std::string(info.VerticalLabel.substr(0, 3)) + CutTo(FormatGeneral(at.Vertical, 6), 8),
            ZoomText(view.ViewZoom)};
}

} // namespace zv::render
