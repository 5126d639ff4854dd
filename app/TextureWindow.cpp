#include "app/TextureWindow.h"

#include "app/InputPanel.h"
#include "app/MainWindow.h"
#include "app/QtText.h"
#include "app/QtUserInterface.h"
#include "config/ConfigFormat.h"
#include "edit/PolygonOps.h"
#include "edit/TextureOps.h"
#include "textures/TextureTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace zv::app {
namespace {

// The current polygon and corner, when both exist.
bool HasCorner(const model::ModelStore& m) {
    return m.CurPoly >= 0 && m.CurPoly < m.PolyCount && m.CurCorner >= 0 && m.CurCorner < m.PolyVCount[m.CurPoly];
}

std::string Fixed(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

// Double clicks on the coordinate boxes store what they hold.
class DoubleClicks : public QObject {
public:
    DoubleClicks(QObject* parent, std::function<void(int)> stored) : QObject(parent), stored_(std::move(stored)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonDblClick) {
            stored_(watched->property("axis").toInt());
            return true;
        }
        return false;
    }

private:
    std::function<void(int)> stored_;
};

} // namespace

// ---- Picture ----------------------------------------------------------------------------------

TexturePicture::TexturePicture(TextureWindow& owner) : QWidget(&owner), owner_(owner) {
    setObjectName(QStringLiteral("Pict_Tex"));
    setMinimumSize(256, 256);
}

void TexturePicture::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.fillRect(rect(), Qt::darkGray);
    const int tex = owner_.ShownTexture();
    if (tex < 0) {
        return;
    }
    const int w = owner_.TextureWidth(), h = owner_.TextureHeight();
    const double z = owner_.Scale();
    const QImage image = owner_.TextureImage(tex);
    p.drawImage(QRectF(0, 0, w * z, h * z), image);
    const model::ModelStore& m = owner_.w_.Ws().Model;
    if (m.CurPoly < 0 || m.CurPoly >= m.PolyCount) {
        return;
    }
    // The outline joins the corners in order and closes back to corner 0.
    const int n = m.PolyVCount[m.CurPoly];
    QPolygonF outline;
    for (int k = 0; k < n; ++k) {
        const auto at = edit::DisplayPoint({m.PolyTU(m.CurPoly, k), m.PolyTV(m.CurPoly, k)}, w, h);
        outline << QPointF(at[0], at[1]);
    }
    p.setPen(QPen(Qt::white, 1));
    p.drawPolygon(outline);
    if (HasCorner(m)) {
        const QPointF c = outline[m.CurCorner];
        p.fillRect(QRectF(c.x() - 1.5, c.y() - 1.5, 3, 3), Qt::red);
        p.fillRect(QRectF(c.x() - 0.5, c.y() - 0.5, 1, 1), Qt::black);
    }
}

void TexturePicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        owner_.PointAt(event->position().x(), event->position().y(), true);
    }
}

void TexturePicture::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) != 0) {
        owner_.PointAt(event->position().x(), event->position().y(), false);
    }
}

void TexturePicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        owner_.w_.Ws().History.StopCollating(); // the drag is one step
    }
}

// ---- Window -----------------------------------------------------------------------------------

TextureWindow::TextureWindow(MainWindow& w)
    : ToolWindow(&w, w.Ws().Settings.TexWinPosition), w_(w), picture_(new TexturePicture(*this)),
      normalised_(new QCheckBox(this)), textures_(new QComboBox(this)), presets_(new QComboBox(this)),
      polygonLabel_(new QLabel(this)), vertexLabel_(new QLabel(this)) {
    setObjectName(QStringLiteral("FrmTex"));
    setWindowTitle(QStringLiteral("Texture"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(picture_, 0, 0, 8, 2);
    grid->addWidget(polygonLabel_, 8, 0, 1, 2);
    grid->addWidget(vertexLabel_, 9, 0, 1, 2);
    auto* clicks = new DoubleClicks(this, [this](int axis) { StoreTyped(axis); });
    for (int i = 0; i < 2; ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("Txt_TexCo(%1)").arg(i));
        box->setProperty("axis", i);
        box->installEventFilter(clicks);
        grid->addWidget(box, 10, i);
        coords_[static_cast<std::size_t>(i)] = box;
    }
    normalised_->setObjectName(QStringLiteral("Check_TexCo"));
    normalised_->setText(QStringLiteral("uv"));
    normalised_->setToolTip(QStringLiteral("Toggle uv / xy coordinates display"));
    normalised_->setChecked(true);
    grid->addWidget(normalised_, 10, 2);
    connect(normalised_, &QCheckBox::toggled, this, [this] { ShowCoordinates(); });

    textures_->setObjectName(QStringLiteral("Combo1"));
    grid->addWidget(textures_, 0, 2, 1, 2);
    if (auto* qt = dynamic_cast<QtUserInterface*>(&w.Ws().Relay.Target())) {
        qt->AddTextureList(textures_);
    }
    connect(textures_, &QComboBox::activated, this, [this] { picture_->update(); });
    presets_->setObjectName(QStringLiteral("Combo2"));
    for (const edit::SurfacePreset& preset : edit::SurfacePresets()) {
        presets_->addItem(QString::fromLatin1(preset.Caption));
    }
    grid->addWidget(presets_, 1, 2, 1, 2);
    connect(presets_, &QComboBox::activated, this, [this](int i) {
        const auto presets = edit::SurfacePresets();
        if (i < 0 || static_cast<std::size_t>(i) >= presets.size()) {
            return;
        }
        edit::SurfaceSettings s;
        s.Type = presets[static_cast<std::size_t>(i)].Type;
        Workspace& ws = w_.Ws();
        w_.Run("Surface Type", [&](edit::Recorder& rec) { return edit::SetCurrentSurface(ws.Model, rec, s); });
    });
    for (int k = 0; k < 16; ++k) {
        // This window has its own caption for bit 0.
        const char* caption = k == 0 ? "Perspect. Text. Corr." : edit::SurfaceBitCaptions()[static_cast<std::size_t>(k)];
        auto* box = new QCheckBox(QString::fromLatin1(caption), this);
        box->setObjectName(QStringLiteral("Check1(%1)").arg(k));
        grid->addWidget(box, 2 + k % 8, 2 + k / 8);
        bits_[static_cast<std::size_t>(k)] = box;
    }
    const char* const colourDefaults[4] = {"255", "255", "255", "0"};
    for (int i = 0; i < 4; ++i) {
        auto* box = new QLineEdit(QString::fromLatin1(colourDefaults[i]), this);
        box->setObjectName(QStringLiteral("Text_F_Color(%1)").arg(i));
        grid->addWidget(box, 11, i);
        colours_[static_cast<std::size_t>(i)] = box;
    }
    auto* apply = new QPushButton(QStringLiteral("Apply"), this);
    apply->setObjectName(QStringLiteral("Command1"));
    grid->addWidget(apply, 12, 0);
    connect(apply, &QPushButton::clicked, this, [this] { ApplyToPolygon(); });
    const char* const groupCaptions[3] = {"Sel. Tex", "Sel.Color", "Copy U/V"};
    const char* const groupTips[3] = {"Select all polygons with the same texture",
                                      "Select all polygon with the same color",
                                      "Copy current polygon u/v mapping to all selected polygons"};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QPushButton(QString::fromLatin1(groupCaptions[i]), this);
        button->setObjectName(QStringLiteral("Command3(%1)").arg(i));
        button->setToolTip(QString::fromLatin1(groupTips[i]));
        grid->addWidget(button, 12, 1 + i);
        connect(button, &QPushButton::clicked, this, [this, i] {
            Workspace& ws = w_.Ws();
            if (i == 0) {
                w_.Apply(edit::SelectSameTexture(ws.Model));
            } else if (i == 1) {
                w_.Apply(edit::SelectSameColour(ws.Model));
            } else {
                w_.Run("Copy U/V", [&](edit::Recorder& rec) {
                    return edit::CopyUvToSelected(ws.Model, rec, ws.Model.CurPoly);
                });
            }
        });
    }
}

void TextureWindow::ToggleVisible() {
    if (isVisible()) {
        hide();
    } else {
        show();
        raise();
        Refresh();
    }
}

int TextureWindow::ShownTexture() const {
    const int chosen = textures_->currentIndex();
    return chosen >= 0 && chosen < w_.Ws().Model.TexCount ? chosen : -1;
}

int TextureWindow::TextureWidth() const {
    const int t = ShownTexture();
    return t >= 0 ? std::max(w_.Ws().Textures.TexTable[t].Width, 1) : 1;
}

int TextureWindow::TextureHeight() const {
    const int t = ShownTexture();
    return t >= 0 ? std::max(w_.Ws().Textures.TexTable[t].Height, 1) : 1;
}

double TextureWindow::Scale() const {
    return edit::DisplayScale(TextureWidth(), TextureHeight());
}

QImage TextureWindow::TextureImage(int tex) const {
    if (const textures::TextureImage* image = textures::LoadedImage(w_.Ws().Textures, tex)) {
        return QImage(image->Rgba.data(), image->Width, image->Height, image->Width * 4, QImage::Format_RGBA8888)
            .copy();
    }
    QImage grey(TextureWidth(), TextureHeight(), QImage::Format_RGB32);
    grey.fill(Qt::gray); // not loaded: its size only
    return grey;
}

void TextureWindow::Refresh() {
    if (!isVisible()) {
        return; // a hidden window catches up when it is shown
    }
    const model::ModelStore& m = w_.Ws().Model;
    const bool polygon = m.CurPoly >= 0 && m.CurPoly < m.PolyCount;
    if (polygon) {
        const int t = m.PolyTex[m.CurPoly];
        const bool named = t >= 0 && t < m.TexCount;
        polygonLabel_->setText(QStringLiteral("Polygon: %1  TEX: %2")
                                   .arg(m.CurPoly)
                                   .arg(named ? ToQString(m.TexName[t]) : QString()));
        textures_->setCurrentIndex(named ? t : -1);
        for (int k = 0; k < 16; ++k) {
            bits_[static_cast<std::size_t>(k)]->setChecked(((m.PolyType[m.CurPoly] >> k) & 1) != 0);
        }
        const std::array<int, 4> colour{m.PolyR[m.CurPoly], m.PolyG[m.CurPoly], m.PolyB[m.CurPoly],
                                        m.PolyA[m.CurPoly]};
        for (std::size_t i = 0; i < 4; ++i) {
            colours_[i]->setText(QString::number(colour[i]));
        }
    } else {
        polygonLabel_->setText(QStringLiteral("Polygon: No selection"));
    }
    if (m.CurVert >= 0 && m.CurVert < m.VertCount) {
        const model::VertRec& v = m.Vert[m.CurVert];
        vertexLabel_->setText(QString::fromStdString("V: " + std::to_string(m.CurVert) + "  x: " + Fixed(v.X) +
                                                     "  y: " + Fixed(v.Y) + "  z: " + Fixed(v.Z)));
    } else {
        vertexLabel_->setText(QStringLiteral("Vertex: No selection"));
    }
    // One pixel more than the texture, so an outline along its right and bottom edges shows.
    const double z = Scale();
    picture_->setFixedSize(static_cast<int>(std::lround(TextureWidth() * z)) + 1,
                           static_cast<int>(std::lround(TextureHeight() * z)) + 1);
    ShowCoordinates();
    picture_->update();
}

void TextureWindow::ShowCoordinates() {
    const model::ModelStore& m = w_.Ws().Model;
    if (!HasCorner(m)) {
        coords_[0]->clear();
        coords_[1]->clear();
        return;
    }
    const bool pixels = !normalised_->isChecked();
    coords_[0]->setText(
        ToQString(edit::CoordinateText(m.PolyTU(m.CurPoly, m.CurCorner), TextureWidth(), pixels)));
    coords_[1]->setText(
        ToQString(edit::CoordinateText(m.PolyTV(m.CurPoly, m.CurCorner), TextureHeight(), pixels)));
}

void TextureWindow::PointAt(double x, double y, bool pressed) {
    Workspace& ws = w_.Ws();
    if (!HasCorner(ws.Model)) {
        return;
    }
    if (pressed) {
        ++drag_;
    }
    const edit::Uv uv = edit::UvFromPoint(x, y, TextureWidth(), TextureHeight());
    w_.Run("Move Texture Corner", [&](edit::Recorder& rec) { return edit::SetCurrentCornerUv(ws.Model, rec, uv); },
           edit::CollateKey{"Texture Corner", drag_});
}

void TextureWindow::StoreTyped(int axis) {
    Workspace& ws = w_.Ws();
    const QString text = coords_[static_cast<std::size_t>(axis)]->text();
    if (!HasCorner(ws.Model) || !IsNumeric(text)) {
        return;
    }
    const bool pixels = !normalised_->isChecked();
    const model::ModelStore& m = ws.Model;
    edit::Uv uv{m.PolyTU(m.CurPoly, m.CurCorner), m.PolyTV(m.CurPoly, m.CurCorner)};
    const float value = edit::StoredCoordinate(config::ReadNumber(ToCore(text)),
                                               axis == 0 ? TextureWidth() : TextureHeight(), pixels);
    (axis == 0 ? uv.U : uv.V) = value;
    w_.Run("Texture Coordinate", [&](edit::Recorder& rec) { return edit::SetCurrentCornerUv(ws.Model, rec, uv); });
}

void TextureWindow::ApplyToPolygon() {
    Workspace& ws = w_.Ws();
    std::uint16_t bits = 0;
    for (int k = 0; k < 16; ++k) {
        if (bits_[static_cast<std::size_t>(k)]->isChecked()) {
            bits = static_cast<std::uint16_t>(bits | (1u << k));
        }
    }
    std::array<double, 4> colour{};
    for (std::size_t i = 0; i < 4; ++i) {
        const QString text = colours_[i]->text();
        colour[i] = IsNumeric(text) ? config::ReadNumber(ToCore(text)) : 0.0;
    }
    const int tex = textures_->currentIndex();
    w_.Run("Apply Surface", [&](edit::Recorder& rec) {
        return edit::ApplyToCurrentPolygon(ws.Model, rec, tex, bits, colour);
    });
}

void TextureWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        QDialog::keyPressEvent(event);
        return;
    }
    // The wireframe view's key handling is the main window's; it refreshes this window.
    if (QWidget* view = w_.findChild<QWidget*>(QStringLiteral("PicView1"))) {
        QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text());
        QApplication::sendEvent(view, &copy);
    }
}

bool TextureWindow::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            keyPressEvent(static_cast<QKeyEvent*>(event));
            return true;
        }
    }
    return QDialog::event(event);
}

TextureWindow* FindTextureWindow(MainWindow& w) {
    return w.findChild<TextureWindow*>(QStringLiteral("FrmTex"));
}

} // namespace zv::app
