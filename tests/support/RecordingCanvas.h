#pragma once
// A canvas double for tests: records every primitive in order, with the pen of each
// MoveTo/LineTo.

#include "render/Canvas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zv::test {

enum class CanvasOpKind { Clear, SetPen, MoveTo, LineTo, Lines, SetPixel, Pixels, WideDot, Text, Refresh };

struct CanvasOp {
    CanvasOpKind Kind = CanvasOpKind::Clear;
    render::Colour Colour = 0; // the pen for MoveTo/LineTo
    std::int32_t X = 0;
    std::int32_t Y = 0;
    float DotX = 0;
    float DotY = 0;
    int Width = 0;
    std::string Text;
    std::vector<render::Segment> Segments;
    std::vector<render::PixelPoint> Points;
};

class RecordingCanvas : public render::Canvas {
public:
    void Clear(render::Colour background) override { Add(Op(CanvasOpKind::Clear, background)); }
    void SetPen(render::Colour colour) override {
        pen_ = colour;
        Add(Op(CanvasOpKind::SetPen, colour));
    }
    void MoveTo(std::int32_t x, std::int32_t y) override { Add(Op(CanvasOpKind::MoveTo, pen_, x, y)); }
    void LineTo(std::int32_t x, std::int32_t y) override { Add(Op(CanvasOpKind::LineTo, pen_, x, y)); }
    void Lines(render::Colour colour, std::span<const render::Segment> segments) override {
        CanvasOp op = Op(CanvasOpKind::Lines, colour);
        op.Segments.assign(segments.begin(), segments.end());
        Add(std::move(op));
    }
    void SetPixel(std::int32_t x, std::int32_t y, render::Colour colour) override {
        Add(Op(CanvasOpKind::SetPixel, colour, x, y));
    }
    void Pixels(render::Colour colour, std::span<const render::PixelPoint> points) override {
        CanvasOp op = Op(CanvasOpKind::Pixels, colour);
        op.Points.assign(points.begin(), points.end());
        Add(std::move(op));
    }
    void WideDot(float x, float y, int width, render::Colour colour) override {
        CanvasOp op = Op(CanvasOpKind::WideDot, colour);
        op.DotX = x;
        op.DotY = y;
        op.Width = width;
        Add(std::move(op));
    }
    void Text(std::int32_t x, std::int32_t y, std::string_view text, render::Colour colour) override {
        CanvasOp op = Op(CanvasOpKind::Text, colour, x, y);
        op.Text = text;
        Add(std::move(op));
    }
    void Refresh() override { Add(Op(CanvasOpKind::Refresh)); }

    // The recorded operations of one kind, in order.
    std::vector<CanvasOp> OfKind(CanvasOpKind kind) const {
        std::vector<CanvasOp> out;
        for (const CanvasOp& op : Ops) {
            if (op.Kind == kind) {
                out.push_back(op);
            }
        }
        return out;
    }

    std::vector<CanvasOp> Ops;

private:
    static CanvasOp Op(CanvasOpKind kind, render::Colour colour = 0, std::int32_t x = 0, std::int32_t y = 0) {
        CanvasOp op;
        op.Kind = kind;
        op.Colour = colour;
        op.X = x;
        op.Y = y;
        return op;
    }
    void Add(CanvasOp op) { Ops.push_back(std::move(op)); }
    render::Colour pen_ = 0;
};

} // namespace zv::test
