#pragma once
// The wireframe view's canvas over a QPainter: the main window paints its widget with it, the
// tests and the benchmark paint a QImage.

#include "render/Canvas.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPoint>

#include <vector>

namespace zv::app {

// A colour of the form red + 256 * green + 65536 * blue.
QColor ToQColor(render::Colour colour);

class QPainterCanvas : public render::Canvas {
public:
    // Paints through the painter, which must stay active while the canvas is used. background,
    // when not null, is drawn at the top-left corner after every Clear.
    explicit QPainterCanvas(QPainter& painter, const QImage* background = nullptr);

    void Clear(render::Colour background) override;
    void SetPen(render::Colour colour) override;
    void MoveTo(std::int32_t x, std::int32_t y) override;
    void LineTo(std::int32_t x, std::int32_t y) override;
    void Lines(render::Colour colour, std::span<const render::Segment> segments) override;
    void SetPixel(std::int32_t x, std::int32_t y, render::Colour colour) override;
    void Pixels(render::Colour colour, std::span<const render::PixelPoint> points) override;
    void WideDot(float x, float y, int width, render::Colour colour) override;
    void Text(std::int32_t x, std::int32_t y, std::string_view text, render::Colour colour) override;
    // Nothing to do: the painter's device shows the drawing when painting ends.
    void Refresh() override {}

private:
    void UsePen(const QColor& colour);
    // The image to write into directly, or null when the painter must draw (a widget, a
    // transform, a clip, another pixel format).
    QImage* DirectTarget() const;

    QPainter& painter_;
    const QImage* background_;
    QColor pen_{Qt::black};
    QPoint pos_;
    std::vector<QLine> lines_;
    std::vector<QPoint> points_;
};

} // namespace zv::app
