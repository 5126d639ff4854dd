#include "app/QPainterCanvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPen>
#include <QString>

#include <cstdint>
#include <cstdlib>

namespace zv::app {
namespace {

constexpr int Channel(render::Colour colour, int shift) {
    return (colour >> shift) & 0xFF;
}

// The lines and points themselves are pixel-exact: no smoothing, square ends.
QPen PixelPen(const QColor& colour, int width) {
    QPen pen(colour);
    pen.setWidth(width);
    pen.setCapStyle(Qt::SquareCap);
    pen.setCosmetic(true);
    return pen;
}

// Writes one-pixel lines straight into 32-bit image rows: the stroker's per-line cost dominates a
// full-capacity redraw, and these lines need neither smoothing nor clipping paths.
class RowWriter {
public:
    RowWriter(QImage& image, QRgb colour)
        : bits_(image.bits()), stride_(image.bytesPerLine()), width_(image.width()), height_(image.height()),
          colour_(colour) {}

    void Plot(std::int32_t x, std::int32_t y) const {
        if (x >= 0 && x < width_ && y >= 0 && y < height_) {
            reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * stride_)[x] = colour_;
        }
    }

    // Bresenham from a to b, both ends included; the part outside the image is skipped.
    void Line(render::PixelPoint a, render::PixelPoint b) const {
        if (Outside(a, b)) {
            return;
        }
        const std::int64_t dx = std::llabs(std::int64_t{b.X} - a.X);
        const std::int64_t dy = -std::llabs(std::int64_t{b.Y} - a.Y);
        const std::int32_t sx = a.X < b.X ? 1 : -1;
        const std::int32_t sy = a.Y < b.Y ? 1 : -1;
        std::int64_t err = dx + dy;
        std::int32_t x = a.X;
        std::int32_t y = a.Y;
        for (;;) {
            Plot(x, y);
            if (x == b.X && y == b.Y) {
                return;
            }
            const std::int64_t e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    }

private:
    // Both ends beyond the same edge of the image: nothing to draw.
    bool Outside(render::PixelPoint a, render::PixelPoint b) const {
        return (a.X < 0 && b.X < 0) || (a.Y < 0 && b.Y < 0) || (a.X >= width_ && b.X >= width_) ||
               (a.Y >= height_ && b.Y >= height_);
    }

    uchar* bits_;
    qsizetype stride_;
    std::int32_t width_;
    std::int32_t height_;
    QRgb colour_;
};

} // namespace

QColor ToQColor(render::Colour colour) {
    return QColor(Channel(colour, 0), Channel(colour, 8), Channel(colour, 16));
}

QPainterCanvas::QPainterCanvas(QPainter& painter, const QImage* background)
    : painter_(painter), background_(background) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setBrush(Qt::NoBrush);
}

void QPainterCanvas::UsePen(const QColor& colour) {
    painter_.setPen(PixelPen(colour, 1));
}

QImage* QPainterCanvas::DirectTarget() const {
    QPaintDevice* device = painter_.device();
    if (!device || device->devType() != QInternal::Image || !painter_.transform().isIdentity() ||
        painter_.hasClipping() || painter_.compositionMode() != QPainter::CompositionMode_SourceOver) {
        return nullptr;
    }
    auto* image = static_cast<QImage*>(device);
    const QImage::Format f = image->format();
    const bool opaque32 =
        f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || f == QImage::Format_ARGB32_Premultiplied;
    return opaque32 && image->devicePixelRatio() == 1.0 ? image : nullptr;
}

void QPainterCanvas::Clear(render::Colour background) {
    const QRect all = painter_.viewport();
    painter_.fillRect(all, ToQColor(background));
    if (background_ && !background_->isNull()) {
        painter_.drawImage(QPoint(0, 0), *background_);
    }
}

void QPainterCanvas::SetPen(render::Colour colour) {
    pen_ = ToQColor(colour);
}

void QPainterCanvas::MoveTo(std::int32_t x, std::int32_t y) {
    pos_ = QPoint(x, y);
}

void QPainterCanvas::LineTo(std::int32_t x, std::int32_t y) {
    const QPoint to(x, y);
    UsePen(pen_);
    painter_.drawLine(pos_, to);
    pos_ = to;
}

void QPainterCanvas::Lines(render::Colour colour, std::span<const render::Segment> segments) {
    if (segments.empty()) {
        return;
    }
    if (QImage* image = DirectTarget()) {
        const RowWriter writer(*image, ToQColor(colour).rgb());
        for (const render::Segment& s : segments) {
            writer.Line(s.A, s.B);
        }
        return;
    }
    lines_.clear();
    lines_.reserve(segments.size());
    for (const render::Segment& s : segments) {
        lines_.emplace_back(s.A.X, s.A.Y, s.B.X, s.B.Y);
    }
    UsePen(ToQColor(colour));
    painter_.drawLines(lines_.data(), static_cast<int>(lines_.size()));
}

void QPainterCanvas::SetPixel(std::int32_t x, std::int32_t y, render::Colour colour) {
    UsePen(ToQColor(colour));
    painter_.drawPoint(x, y);
}

void QPainterCanvas::Pixels(render::Colour colour, std::span<const render::PixelPoint> points) {
    if (points.empty()) {
        return;
    }
    if (QImage* image = DirectTarget()) {
        const RowWriter writer(*image, ToQColor(colour).rgb());
        for (const render::PixelPoint& p : points) {
            writer.Plot(p.X, p.Y);
        }
        return;
    }
    points_.clear();
    points_.reserve(points.size());
    for (const render::PixelPoint& p : points) {
        points_.emplace_back(p.X, p.Y);
    }
    UsePen(ToQColor(colour));
    painter_.drawPoints(points_.data(), static_cast<int>(points_.size()));
}

void QPainterCanvas::WideDot(float x, float y, int width, render::Colour colour) {
    if (width < 1) {
        width = 1;
    }
    const QRectF square(static_cast<double>(x) - width / 2.0, static_cast<double>(y) - width / 2.0, width,
                        width);
    painter_.fillRect(square, ToQColor(colour));
}

void QPainterCanvas::Text(std::int32_t x, std::int32_t y, std::string_view text, render::Colour colour) {
    QFont font = painter_.font();
    font.setPointSize(6);
    // Labels in the plain colour, like every other mark of the view.
    font.setStyleStrategy(QFont::NoAntialias);
    painter_.setFont(font);
    UsePen(ToQColor(colour));
    const QFontMetrics metrics(font, painter_.device());
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    painter_.drawText(QPoint(x, y + metrics.ascent()), s);
}

} // namespace zv::app
