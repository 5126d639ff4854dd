#include "app/StatusPanels.h"

#include "app/QtText.h"
#include "config/ConfigFormat.h"
#include "render/WireframeView.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QStatusBar>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace zv::app {
namespace {

constexpr int kTexturePreviewSize = 32;
// The orientation caption's colour.
constexpr QRgb kOrientationColour = qRgb(48, 144, 255);

QLabel* Panel(QStatusBar& bar, const char* name, int minWidth) {
    auto* label = new QLabel(&bar);
    label->setObjectName(QString::fromLatin1(name));
    label->setMinimumWidth(minWidth);
    bar.addPermanentWidget(label);
    return label;
}

QToolButton* Switch(QStatusBar& bar, const char* name, const char* caption, const char* tip) {
    auto* button = new QToolButton(&bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromLatin1(caption));
    button->setToolTip(QString::fromLatin1(tip));
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus); // keys stay with the views
    bar.addPermanentWidget(button);
    return button;
}

// A line with an arrow head at its end.
void Arrow(QPainter& p, QPointF from, QPointF to) {
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    if (length == 0) {
        return;
    }
    const QPointF unit = d / length;
    const QPointF back = unit * 4.0;
    const QPointF side(-unit.y() * 3.0, unit.x() * 3.0);
    p.drawLine(to, to - back + side);
    p.drawLine(to, to - back - side);
}

// The colour of a model axis, as the OpenGL view's axis cross draws it.
QColor AxisColour(render::Axis a) {
    switch (a) {
    case render::Axis::X:
        return {0, 0, 255};
    case render::Axis::Y:
        return {255, 0, 0};
    case render::Axis::Z:
        break;
    }
    return {255, 255, 0};
}

} // namespace

AxisIndicator::AxisIndicator(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Pic_Axis"));
    setFixedSize(sizeHint());
}

void AxisIndicator::SetOrientation(int orient) {
    orient_ = orient;
    update();
}

void AxisIndicator::paintEvent(QPaintEvent*) {
    const render::ShownAxes axes = render::AxesOf(orient_);
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.setRenderHint(QPainter::Antialiasing);
    // Both lines start in the corner opposite to where the values grow, as an axis cross.
    constexpr double kMargin = 3;
    const double left = kMargin, right = width() - kMargin, top = kMargin, bottom = height() - kMargin;
    const QPointF origin(axes.HorizontalSign > 0 ? left : right, axes.VerticalSign > 0 ? top : bottom);
    p.setPen(QPen(AxisColour(axes.Horizontal), 1.5));
    Arrow(p, origin, QPointF(axes.HorizontalSign > 0 ? right : left, origin.y()));
    p.setPen(QPen(AxisColour(axes.Vertical), 1.5));
    Arrow(p, origin, QPointF(origin.x(), axes.VerticalSign > 0 ? bottom : top));
}

StatusPanels::StatusPanels(QStatusBar& bar) {
    bar.setObjectName(QStringLiteral("StatusBar1"));
    state_ = new QLabel(&bar);
    state_->setObjectName(QStringLiteral("StatusBar1_Panel1"));
    bar.addWidget(state_, 1);
    info_ = Panel(bar, "StatusBar1_Panel2", 140);
    distance_ = Panel(bar, "StatusBar1_Panel5", 90);
    orient_ = Panel(bar, "Label_Orient", 48);
    QPalette palette = orient_->palette();
    palette.setColor(QPalette::WindowText, QColor(kOrientationColour));
    orient_->setPalette(palette);
    axes_ = new AxisIndicator(&bar);
    bar.addPermanentWidget(axes_);
    horizontal_ = Panel(bar, "Label_Horizontal", 90);
    vertical_ = Panel(bar, "Label_Vertical", 90);
    zoom_ = Panel(bar, "Label_Zoom", 90);
    texture_ = Panel(bar, "Pic_Texture", kTexturePreviewSize);
    texture_->setFixedSize(kTexturePreviewSize, kTexturePreviewSize);
    texture_->setToolTip(QStringLiteral("Texture of the current polygon"));
    snap_ = Switch(bar, "button_snap", "Snap", "Snap Vertices");
    snapInfo_ = Panel(bar, "info_snap", 60);
    snapRot_ = Switch(bar, "button_snaprot", "Snap rot.", "Snap rotations");
}

void StatusPanels::ShowOrientation(int orient) {
    const render::OrientationInfo& info = render::Orientation(orient);
    orient_->setText(ToQString(info.Caption));
    axes_->SetOrientation(orient);
    horizontal_->setText(ToQString(info.HorizontalLabel));
    vertical_->setText(ToQString(info.VerticalLabel));
}

void StatusPanels::ShowReadout(const render::CursorReadout& r) {
    horizontal_->setText(ToQString(r.Horizontal));
    vertical_->setText(ToQString(r.Vertical));
    zoom_->setText(ToQString(r.Zoom));
}

void StatusPanels::ShowZoom(float zoom) {
    zoom_->setText(ToQString(render::ZoomText(zoom)));
}

void StatusPanels::ShowSnap(const config::GridProperties& grid) {
    snap_->setChecked(grid.SnapVertices);
    snapInfo_->setText(ToQString("Snap: " + config::FormatSingle(grid.SnapGridSize)));
}

void StatusPanels::ShowTexture(const model::ModelStore& m, const textures::TextureTable& t) {
    const std::int32_t p = m.CurPoly;
    const bool current = p >= 0 && p < std::min(m.PolyCount, model::kPolygonCapacity);
    const textures::TextureImage* image =
        current && m.PolyTex[p] < m.TexCount ? textures::LoadedImage(t, m.PolyTex[p]) : nullptr;
    if (image == nullptr || image->Width <= 0 || image->Height <= 0 ||
        image->Rgba.size() <
            static_cast<std::size_t>(image->Width) * static_cast<std::size_t>(image->Height) * 4) {
        texture_->clear();
        return;
    }
    const QImage picture(image->Rgba.data(), image->Width, image->Height, image->Width * 4,
                         QImage::Format_RGBA8888);
    texture_->setPixmap(QPixmap::fromImage(picture.scaled(kTexturePreviewSize, kTexturePreviewSize,
                                                          Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

void StatusPanels::ShowInfo(const std::string& text) {
    info_->setText(QString::fromStdString(text));
}

void StatusPanels::ShowDistance(const std::string& text) {
    distance_->setText(QString::fromStdString(text));
}

} // namespace zv::app
