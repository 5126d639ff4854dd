#include "app/MapTextureWindow.h"

#include "app/MainWindow.h"
#include "app/QtText.h"
#include "app/QtUserInterface.h"
#include "model/Columns.h"
#include "render/WireframeView.h"
#include "textures/TextureTable.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include <cmath>

namespace zv::app {
namespace {

constexpr int kPictureSize = 512;
const char* const kDirectionCaptions[6] = {"X", "-X", "Y", "-Y", "Z", "-Z"};

bool AnySelected(const model::ModelStore& m) {
    for (std::int32_t p = 0; p < m.PolyCount; ++p) {
        if (m.PolySel[p] != model::kFalse) {
            return true;
        }
    }
    return false;
}

// A projected point as a painter coordinate; far-off points are clamped so that a huge zoom
// cannot overflow the painter's fixed-point arithmetic.
QPointF Clamped(const std::array<double, 2>& p) {
    static constexpr double kFar = 1e6;
    const auto c = [](double v) { return std::isfinite(v) ? std::clamp(v, -kFar, kFar) : 0.0; };
    return {c(p[0]), c(p[1])};
}

} // namespace

// ---- Picture ----------------------------------------------------------------------------------

MapPicture::MapPicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Pic_MapFaces"));
    setMinimumSize(kPictureSize, kPictureSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MapPicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(0, 0, buffer_);
}

void MapPicture::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (OnResized) {
        OnResized();
    }
}

void MapPicture::mousePressEvent(QMouseEvent* event) {
    if (button_ != Qt::NoButton) {
        return; // one gesture at a time
    }
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        button_ = event->button();
        last_ = event->position().toPoint();
        moved_ = false;
    }
}

void MapPicture::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (button_ == Qt::NoButton || at == last_) {
        return;
    }
    const QPoint delta = at - last_;
    last_ = at;
    moved_ = true;
    if (button_ == Qt::LeftButton) {
        if (delta.y() != 0 && OnZoomDrag) {
            OnZoomDrag(delta.y() < 0);
        }
    } else if (OnPan) {
        OnPan(delta, at);
    }
}

void MapPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != button_) {
        return;
    }
    const bool left = button_ == Qt::LeftButton;
    button_ = Qt::NoButton;
    if (!moved_ && OnClick) {
        OnClick(left);
    }
}

// ---- Window -----------------------------------------------------------------------------------

MapTextureWindow::MapTextureWindow(MainWindow& w)
    : ToolWindow(&w, w.Ws().Settings.MapWinPosition), w_(w), textures_(new QComboBox(this)),
      picture_(new MapPicture(this)), zoom_(new QLabel(this)) {
    setObjectName(QStringLiteral("FrmMapTex"));
    setWindowTitle(QStringLiteral("Map Polygon Group to Texture"));
    auto* grid = new QGridLayout(this);
    textures_->setObjectName(QStringLiteral("Combo3"));
    grid->addWidget(textures_, 0, 0, 1, 6);
    if (auto* qt = dynamic_cast<QtUserInterface*>(&w.Ws().Relay.Target())) {
        qt->AddTextureList(textures_);
    }
    connect(textures_, &QComboBox::activated, this, [this](int i) {
        mapTex_ = i;
        Draw();
    });
    for (int i = 0; i < 6; ++i) {
        auto* button = new QPushButton(QString::fromLatin1(kDirectionCaptions[i]), this);
        button->setObjectName(QStringLiteral("Cmd_MapFaces(%1)").arg(i));
        button->setAutoDefault(false);
        grid->addWidget(button, 1, i);
        directions_[static_cast<std::size_t>(i)] = button;
        connect(button, &QPushButton::clicked, this,
                [this, i] { SetDirection(static_cast<edit::MapDirection>(i)); });
    }
    grid->addWidget(picture_, 2, 0, 1, 6);
    zoom_->setObjectName(QStringLiteral("Lbl_MapZoom"));
    grid->addWidget(zoom_, 3, 0, 1, 2);
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Lbl_MapPan(%1)").arg(i));
        grid->addWidget(label, 3, 2 + 2 * i, 1, 2);
        pan_[static_cast<std::size_t>(i)] = label;
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setObjectName(QStringLiteral("Command2(0)"));
    cancel->setObjectName(QStringLiteral("Command2(1)"));
    grid->addWidget(ok, 4, 0, 1, 3);
    grid->addWidget(cancel, 4, 3, 1, 3);
    connect(ok, &QPushButton::clicked, this, [this] {
        Apply();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    picture_->OnClick = [this](bool left) {
        view_.Zoom = edit::ZoomClick(view_.Zoom, left);
        ShowZoom();
        Draw();
    };
    picture_->OnZoomDrag = [this](bool up) {
        view_.Zoom = edit::ZoomDrag(view_.Zoom, up);
        ShowZoom();
        Draw();
    };
    picture_->OnPan = [this](QPoint delta, QPoint at) {
        view_.CentreX += delta.x();
        view_.CentreY += delta.y();
        const auto texts = edit::PanReadout(view_, at.x(), at.y());
        for (std::size_t i = 0; i < 2; ++i) {
            pan_[i]->setText(ToQString(texts[i]));
        }
        Draw();
    };
    picture_->OnResized = [this] {
        if (isVisible()) {
            Draw();
        }
    };
    ShowZoom();

    if (QAction* item = w.Item("mnuTex", 0)) {
        connect(item, &QAction::triggered, this, [this] { Open(); });
    }
}

void MapTextureWindow::Open() {
    if (!AnySelected(w_.Ws().Model)) {
        return;
    }
    // The projection is centred where the wireframe view centres the model.
    const render::WireframeView& v = w_.Ws().View1;
    view_.CentreX = v.ViewOffX;
    view_.CentreY = v.ViewOffY;
    mapTex_ = 0;
    textures_->setCurrentIndex(textures_->count() > 0 ? 0 : -1);
    ShowZoom();
    show();
    raise();
    Draw();
}

void MapTextureWindow::SetDirection(edit::MapDirection d) {
    view_ = edit::DirectionView(d, view_.CentreX, view_.CentreY);
    ShowZoom();
    Draw();
}

std::array<int, 2> MapTextureWindow::TextureSize(std::int32_t t) const {
    const textures::TextureTable& table = w_.Ws().Textures;
    if (t < 0 || t >= table.TexTable.Size()) {
        return {textures::kUnloadedSize, textures::kUnloadedSize};
    }
    const textures::TexEntry& e = table.TexTable[t];
    return {e.Width, e.Height};
}

void MapTextureWindow::ShowZoom() {
    zoom_->setText(QStringLiteral("Zf: ") + QString::number(static_cast<double>(view_.Zoom)));
}

void MapTextureWindow::Draw() {
    const QSize size = picture_->size().expandedTo(QSize(1, 1));
    QImage& buffer = picture_->Buffer();
    if (buffer.size() != size) {
        buffer = QImage(size, QImage::Format_RGB32);
    }
    buffer.fill(Qt::white);
    QPainter painter(&buffer);

    const auto [width, height] = TextureSize(mapTex_);
    const double z = edit::DisplayScale(width, height);
    const QRectF place(0, 0, std::max(width, 1) * z, std::max(height, 1) * z);
    const textures::TextureImage* image = textures::LoadedImage(w_.Ws().Textures, mapTex_);
    if (image != nullptr && image->Width > 0 && image->Height > 0 &&
        image->Rgba.size() >= static_cast<std::size_t>(image->Width) * static_cast<std::size_t>(image->Height) * 4) {
        // Opaque, as the texture file shows it: the key colour's zero alpha is for the renderer.
        const QImage picture(image->Rgba.data(), image->Width, image->Height, image->Width * 4,
                             QImage::Format_RGBX8888);
        painter.drawImage(place, picture);
    } else {
        painter.fillRect(place, QColor(160, 160, 160));
    }

    // The selected polygons' outlines, projected as OK will map them.
    const model::ModelStore& m = w_.Ws().Model;
    QPainterPath outlines;
    for (std::int32_t p = 0; p < m.PolyCount; ++p) {
        if (m.PolySel[p] == model::kFalse) {
            continue;
        }
        const int n = model::CornerCount(m, p);
        bool first = true;
        for (int k = 0; k < n; ++k) {
            const std::int32_t vert = m.PolyVert(p, k);
            if (!model::IsVertex(m, vert)) {
                continue;
            }
            const QPointF at = Clamped(edit::MapPoint(view_, m.Vert[vert]));
            if (first) {
                outlines.moveTo(at);
                first = false;
            } else {
                outlines.lineTo(at);
            }
        }
        if (!first) {
            outlines.closeSubpath();
        }
    }
    painter.setPen(QPen(Qt::red, 0));
    painter.drawPath(outlines);
    painter.end();
    picture_->update();
}

void MapTextureWindow::Apply() {
    Workspace& ws = w_.Ws();
    const auto [width, height] = TextureSize(mapTex_);
    const edit::PlanarView view = view_;
    const std::int32_t tex = mapTex_;
    w_.Run("Map Texture", [&](edit::Recorder& rec) {
        return edit::MapSelectedPlanar(ws.Model, rec, view, tex, width, height);
    });
}

} // namespace zv::app
