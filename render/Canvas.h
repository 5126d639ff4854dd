#pragma once
// The drawing surface of the wireframe view: the few 2D primitives the view needs, in device
// pixels. Colours are red + 256 * green + 65536 * blue.

#include <cstdint>
#include <span>
#include <string_view>

namespace zv::render {

using Colour = std::int32_t;

struct PixelPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct Segment {
    PixelPoint A;
    PixelPoint B;
    friend bool operator==(const Segment&, const Segment&) = default;
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // Fills the surface with the colour; a background picture, if the surface has one, stays.
    virtual void Clear(Colour background) = 0;
    // The pen of MoveTo/LineTo, one pixel wide.
    virtual void SetPen(Colour colour) = 0;
    virtual void MoveTo(std::int32_t x, std::int32_t y) = 0;
    // A line from the current position to (x, y), which becomes the current position.
    virtual void LineTo(std::int32_t x, std::int32_t y) = 0;
    // Many one-pixel lines of one colour in one call; the current position is not changed.
    virtual void Lines(Colour colour, std::span<const Segment> segments) = 0;
    virtual void SetPixel(std::int32_t x, std::int32_t y, Colour colour) = 0;
    // Many single pixels of one colour in one call.
    virtual void Pixels(Colour colour, std::span<const PixelPoint> points) = 0;
    // A square dot of the given width in pixels centred on (x, y).
    virtual void WideDot(float x, float y, int width, Colour colour) = 0;
    // Text in a 6-point font with its top-left corner at (x, y).
    virtual void Text(std::int32_t x, std::int32_t y, std::string_view text, Colour colour) = 0;
    // Shows what was drawn.
    virtual void Refresh() = 0;
};

} // namespace zv::render
