#pragma once
// Where the wireframe view and the OpenGL view go in the main window for each layout, as a
// pure function the main window applies.

#include <cstdint>

namespace zv::render {

// The narrowest view area that is laid out, in pixels: 1400 logical units at the classic
// 15 units per pixel. A narrower area keeps its previous layout.
inline constexpr std::int32_t kMinLayoutWidth = 93;

struct ViewRect {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    friend bool operator==(const ViewRect&, const ViewRect&) = default;
};

// What the layout decides; rectangles are relative to the top-left of the view area (the
// client area below the toolbar and above the status bar).
struct ViewLayout {
    bool View1Visible = true;
    bool View4Visible = true;
    ViewRect View1;
    ViewRect View4;
    std::int32_t ViewOffX = 0;
    std::int32_t ViewOffY = 0;
    friend bool operator==(const ViewLayout&, const ViewLayout&) = default;
};

enum class RotationTimer { Unchanged, Enable, Disable };

struct LayoutResult {
    ViewLayout Layout;
    bool Changed = false;       // false: nothing was laid out, Layout is the current one
    bool SetGlViewport = false; // the OpenGL viewport and projection follow View4
    RotationTimer Timer = RotationTimer::Unchanged;
};

// Lays out the views for viewType in a view area of width x height pixels. 0: wireframe only;
// 1: side by side; 2: stacked; 4: OpenGL only (offsets kept); 3 keeps the current layout; any
// other value is laid out as 1. An area narrower than kMinLayoutWidth, or a negative height,
// changes nothing. The rotation timer follows rotateChecked whenever the OpenGL view is laid
// out, and stops with layout 0.
LayoutResult LayOutViews(std::uint8_t viewType, std::int32_t width, std::int32_t height, bool rotateChecked,
                         const ViewLayout& current);

} // namespace zv::render
