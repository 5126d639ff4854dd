#include "app/QPainterCanvas.h"
#include "render/WireframeView.h"
#include "tests/support/ModelBuilder.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QString>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace zv::app {
namespace {

using render::Colour;

constexpr int kWidth = 320;
constexpr int kHeight = 240;

// An ellipsoid of quads with different radii on each axis and a centre off the origin, so that
// each orientation shows a different outline with both near and far faces.
void BuildEllipsoid(model::ModelStore& m) {
    test::StartModel(m);
    constexpr int kRings = 6;
    constexpr int kSegments = 10;
    const double pi = std::numbers::pi;
    for (int r = 0; r <= kRings; ++r) {
        const double lat = pi * r / kRings - pi / 2;
        for (int s = 0; s < kSegments; ++s) {
            const double lon = 2 * pi * s / kSegments;
            // Sheared on every axis, so that in no orientation the far half hides behind the
            // near one.
            const double x = 3 * std::cos(lat) * std::cos(lon);
            const double y = 2 * std::sin(lat);
            const double z = 1.2 * std::cos(lat) * std::sin(lon);
            test::AddVertex(m, static_cast<float>(0.5 + x + 0.8 * z), static_cast<float>(y + 0.5 * x),
                            static_cast<float>(z + 0.4 * x + 0.3 * y));
        }
    }
    for (int r = 0; r < kRings; ++r) {
        for (int s = 0; s < kSegments; ++s) {
            const int a = r * kSegments + s;
            const int b = r * kSegments + (s + 1) % kSegments;
            test::AddPolygon(m, {{a}, {b}, {b + kSegments}, {a + kSegments}});
        }
    }
    for (int i = 0; i < m.VertCount; ++i) {
        m.VertFlag[i] = render::kFlagShown;
    }
    for (int p = 0; p < m.PolyCount; ++p) {
        m.PolyFlag[p] = render::kFlagShown;
    }
    m.PartNodes = {{"Shell (60)", true}};
    m.GroupSize[1] = 1;
    m.GroupPoly(1, 1) = 25;
}

bool Has(const QImage& image, Colour colour) {
    const QRgb want = ToQColor(colour).rgb();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == want) {
                return true;
            }
        }
    }
    return false;
}

QRgb Rgb(Colour colour) {
    return ToQColor(colour).rgb();
}

class QPainterCanvasTest : public ::testing::Test {
protected:
    QPainterCanvasTest() : image(kWidth, kHeight, QImage::Format_RGB32) {
        view.ViewZoom = 30;
        view.ViewWidth = kWidth;
        view.ViewHeight = kHeight;
        view.ViewOffX = kWidth / 2;
        view.ViewOffY = kHeight / 2;
        view.ViewCenterX = 0.5f;
        view.ShowVertices = true;
        view.ShowGroupNames = true;
        BuildEllipsoid(m);
    }
    void Render(const QImage* background = nullptr) {
        QPainter painter(&image);
        QPainterCanvas canvas(painter, background);
        render::DrawView1(view, m, settings, canvas);
    }

    QImage image;
    render::WireframeView view;
    model::ModelStore m;
    config::Settings settings;
};

// Set ZV_VIEW_IMAGES to a folder to look at the six pictures.
TEST_F(QPainterCanvasTest, EveryOrientationDrawsFrontBackAndMarks) {
    m.PolySel[3] = model::kTrue;
    for (int orient = 0; orient < 6; ++orient) {
        render::SetOrientation(view, orient);
        Render();
        SCOPED_TRACE(orient);
        EXPECT_EQ(image.pixel(0, 0), Rgb(settings.View1_BackColor));
        EXPECT_TRUE(Has(image, settings.View1_LineColor));
        EXPECT_TRUE(Has(image, settings.View1_CulledLineColor));
        EXPECT_TRUE(Has(image, settings.View1_SelLineColor));
        EXPECT_TRUE(Has(image, settings.View1_PartnameColor));
        if (const char* dir = std::getenv("ZV_VIEW_IMAGES")) {
            image.save(QString::fromUtf8(dir) + QString("/orient%1.png").arg(orient));
        }
        // Without the label in the way, every marked vertex shows its mark at its rounded
        // position.
        view.ShowGroupNames = false;
        Render();
        view.ShowGroupNames = true;
        for (int i = 0; i < m.VertCount; ++i) {
            if (view.VertView[i] & render::kFlagInView) {
                const int x = render::ToPixel(view.ScrVert[i].X);
                const int y = render::ToPixel(view.ScrVert[i].Y);
                EXPECT_EQ(image.pixel(x, y), Rgb(settings.View1_VertColor)) << i;
            }
        }
    }
}

TEST_F(QPainterCanvasTest, BackgroundPictureStaysBehindTheDrawing) {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(QColor(10, 200, 30));
    m.VertCount = 0;
    m.PolyCount = 0;
    settings.View1_BackColor = config::Rgb(0, 0, 90);
    Render(&picture);
    EXPECT_EQ(image.pixel(5, 5), qRgb(10, 200, 30));
    EXPECT_EQ(image.pixel(39, 29), qRgb(10, 200, 30));
    EXPECT_EQ(image.pixel(40, 29), qRgb(0, 0, 90));
}

// Straight into the image, and through the painter when a clip rules the direct path out.
TEST_F(QPainterCanvasTest, PrimitivesHitTheirPixels) {
    for (const bool clipped : {false, true}) {
        SCOPED_TRACE(clipped);
        image.fill(Qt::black);
        QPainter painter(&image);
        if (clipped) {
            painter.setClipRect(0, 0, kWidth, kHeight);
        }
        QPainterCanvas canvas(painter);
        const Colour red = config::Rgb(255, 0, 0);
        const Colour blue = config::Rgb(0, 0, 255);
        const std::vector<render::Segment> segs{
            {{10, 10}, {20, 10}}, {{-50, 5}, {400, 5}}, {{30, 40}, {40, 45}}};
        canvas.Lines(red, segs);
        canvas.SetPen(blue);
        canvas.MoveTo(10, 20);
        canvas.LineTo(10, 30);
        const std::vector<render::PixelPoint> pts{{60, 50}, {-1, 3}, {kWidth, 3}};
        canvas.Pixels(red, pts);
        canvas.SetPixel(50, 50, red);
        canvas.WideDot(100, 100, 4, blue);
        painter.end();
        EXPECT_EQ(image.pixel(10, 10), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(20, 10), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(0, 5), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(kWidth - 1, 5), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(30, 40), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(40, 45), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(34, 42), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(10, 25), qRgb(0, 0, 255));
        EXPECT_EQ(image.pixel(60, 50), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(50, 50), qRgb(255, 0, 0));
        EXPECT_EQ(image.pixel(51, 50), qRgb(0, 0, 0));
        EXPECT_EQ(image.pixel(98, 98), qRgb(0, 0, 255));
        EXPECT_EQ(image.pixel(101, 101), qRgb(0, 0, 255));
        EXPECT_EQ(image.pixel(102, 102), qRgb(0, 0, 0));
        EXPECT_EQ(image.pixel(97, 100), qRgb(0, 0, 0));
    }
}

} // namespace
} // namespace zv::app
