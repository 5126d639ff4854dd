#include "app/PolygonCommands.h"

#include "app/InputPanel.h"
#include "app/MainWindow.h"
#include "app/QtText.h"
#include "app/QtUserInterface.h"
#include "config/ConfigFormat.h"
#include "edit/PolygonOps.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <cmath>
#include <string>
#include <vector>

namespace zv::app {
namespace {

constexpr int kCornerBoxes = 16;

void On(MainWindow& w, const char* menu, int index, std::function<void()> command) {
    if (QAction* item = w.Item(menu, index)) {
        QObject::connect(item, &QAction::triggered, &w, std::move(command));
    }
}

InputPanel* MakePolygonPanel(MainWindow& w) {
    InputPanel::Layout layout;
    layout.Name = QStringLiteral("Pic_F_Add");
    layout.Title = QStringLiteral("Add Polygon");
    layout.BoxName = QStringLiteral("Text_F_Add");
    for (int i = 0; i < kCornerBoxes; ++i) {
        layout.Labels.push_back(QString::number(i + 1));
    }
    layout.ButtonName = QStringLiteral("Cmd_F_Add");
    layout.FreeText = true; // empty and other non-corner boxes are simply skipped
    layout.BoxText = QString();
    return new InputPanel(w, layout);
}

InputPanel* MakeGotoPanel(MainWindow& w) {
    InputPanel::Layout layout;
    layout.Name = QStringLiteral("Pic_F_Goto");
    layout.Title = QStringLiteral("Goto polygon");
    layout.BoxName = QStringLiteral("Text_F_Goto");
    layout.Labels = {QStringLiteral("#")};
    layout.ButtonName = QStringLiteral("Cmd_F_Goto");
    layout.SingleBox = true;
    return new InputPanel(w, layout);
}

} // namespace

// ---- Surface panel --------------------------------------------------------------------------

SurfacePanel::SurfacePanel(MainWindow& w)
    : QDialog(&w), w_(w), presets_(new QComboBox(this)), textures_(new QListWidget(this)),
      preview_(new QLabel(this)) {
    setObjectName(QStringLiteral("Pic_FaceType"));
    setWindowTitle(QStringLiteral("Set Group Surface Type"));
    setWindowModality(Qt::WindowModal);
    auto* grid = new QGridLayout(this);
    const char* const optionCaptions[3] = {"Type", "Color", "Texture"};
    for (int i = 0; i < 3; ++i) {
        auto* box = new QCheckBox(QString::fromLatin1(optionCaptions[i]), this);
        box->setObjectName(QStringLiteral("Check_Surf_Type(%1)").arg(i));
        grid->addWidget(box, 0, i);
        options_[static_cast<std::size_t>(i)] = box;
    }
    for (int k = 0; k < 16; ++k) {
        auto* box = new QCheckBox(QString::fromLatin1(edit::SurfaceBitCaptions()[static_cast<std::size_t>(k)]), this);
        box->setObjectName(QStringLiteral("ChkSurftype(%1)").arg(k));
        grid->addWidget(box, 1 + k % 8, k / 8);
        bits_[static_cast<std::size_t>(k)] = box;
    }
    presets_->setObjectName(QStringLiteral("Combo6"));
    for (const edit::SurfacePreset& p : edit::SurfacePresets()) {
        presets_->addItem(QString::fromLatin1(p.Caption));
    }
    grid->addWidget(presets_, 9, 0, 1, 2);
    connect(presets_, &QComboBox::activated, this, [this](int i) {
        const auto presets = edit::SurfacePresets();
        if (i >= 0 && static_cast<std::size_t>(i) < presets.size()) {
            ShowBits(presets[static_cast<std::size_t>(i)].Type);
        }
    });
    for (int i = 0; i < 4; ++i) {
        auto* box = new QLineEdit(QStringLiteral("0"), this);
        box->setObjectName(QStringLiteral("Text_Surf_Color(%1)").arg(i));
        grid->addWidget(box, 10, i);
        colours_[static_cast<std::size_t>(i)] = box;
        connect(box, &QLineEdit::textEdited, this, [this, i] { ColourEdited(i); });
    }
    preview_->setObjectName(QStringLiteral("Surf_Color_Preview"));
    preview_->setMinimumSize(32, 16);
    preview_->setAutoFillBackground(true);
    grid->addWidget(preview_, 10, 4);
    textures_->setObjectName(QStringLiteral("List1"));
    grid->addWidget(textures_, 1, 2, 9, 3);
    if (auto* qt = dynamic_cast<QtUserInterface*>(&w.Ws().Relay.Target())) {
        qt->AddTextureList(textures_);
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    ok->setObjectName(QStringLiteral("Cmd_FaceType(0)"));
    cancel->setObjectName(QStringLiteral("Cmd_FaceType(1)"));
    ok->setDefault(true);
    grid->addWidget(ok, 11, 0);
    grid->addWidget(cancel, 11, 1);
    connect(ok, &QPushButton::clicked, this, [this] {
        Apply();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void SurfacePanel::Open() {
    if (const auto s = edit::CurrentSurface(w_.Ws().Model)) {
        ShowBits(s->Type);
        for (int i = 0; i < 4; ++i) {
            colours_[static_cast<std::size_t>(i)]->setText(QString::number(s->Colour[static_cast<std::size_t>(i)]));
        }
        if (s->Texture >= 0 && s->Texture < textures_->count()) {
            textures_->setCurrentRow(s->Texture);
        }
    }
    ColourEdited(0);
    open();
}

void SurfacePanel::ShowBits(int type) {
    for (int k = 0; k < 16; ++k) {
        bits_[static_cast<std::size_t>(k)]->setChecked(((type >> k) & 1) != 0);
    }
}

void SurfacePanel::ColourEdited(int i) {
    QLineEdit* box = colours_[static_cast<std::size_t>(i)];
    const QString corrected = ToQString(edit::CorrectColourText(ToCore(box->text())));
    if (corrected != box->text()) {
        box->setText(corrected);
    }
    const auto channel = [this](int c) {
        const double v = config::ReadNumber(ToCore(colours_[static_cast<std::size_t>(c)]->text()));
        return std::isfinite(v) ? static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0))) : 0;
    };
    QPalette palette = preview_->palette();
    palette.setColor(QPalette::Window, QColor(channel(0), channel(1), channel(2)));
    preview_->setPalette(palette);
}

void SurfacePanel::Apply() {
    edit::SurfaceSettings s;
    if (options_[0]->isChecked()) {
        std::uint16_t bits = 0;
        for (int k = 0; k < 16; ++k) {
            if (bits_[static_cast<std::size_t>(k)]->isChecked()) {
                bits = static_cast<std::uint16_t>(bits | (1u << k));
            }
        }
        s.Type = edit::SurfaceTypeFromBits(bits);
    }
    if (options_[1]->isChecked()) {
        std::array<double, 4> colour{};
        for (std::size_t i = 0; i < 4; ++i) {
            const double v = config::ReadNumber(ToCore(colours_[i]->text()));
            colour[i] = std::isfinite(v) ? v : 0.0;
        }
        s.Colour = colour;
    }
    if (options_[2]->isChecked()) {
        s.Texture = textures_->currentRow();
    }
    w_.Run("Set Surface", [&](edit::Recorder& rec) { return edit::SetSurface(w_.Ws().Model, rec, s); });
}

// ---- Polygon commands -------------------------------------------------------------------------

PolygonCommands::PolygonCommands(MainWindow& w)
    : QObject(&w), w_(w), polygon_(MakePolygonPanel(w)), goto_(MakeGotoPanel(w)), surface_(new SurfacePanel(w)) {
    setObjectName(QStringLiteral("PolygonCommands"));
    for (int i = 0; i < polygon_->Boxes(); ++i) {
        polygon_->Box(i)->installEventFilter(this);
    }
    polygon_->OnOk = [this] { return PolygonOk(); };
    goto_->OnOk = [this] {
        const QString text = goto_->Box(0)->text();
        const double n = IsNumeric(text) ? config::ReadNumber(text.toStdString()) : std::nan("");
        w_.Apply(edit::GotoPolygon(w_.Ws().Model, w_.Ws().Ui, n, ToCore(text)));
        return true; // the goto panel closes in every case
    };

    Workspace& ws = w_.Ws();
    On(w, "mnuFace", 4, [this] { OpenAdd(); });
    On(w, "mnuFace", 5, [this] { OpenChange(); });
    On(w, "mnuFace", 7, [this, &ws] {
        w_.Run("Delete Polygon", [&](edit::Recorder& rec) { return edit::DeletePolygon(ws.Model, rec, ws.Model.CurPoly); });
    });
    On(w, "mnuFace", 8, [this, &ws] {
        w_.Run("Delete Selected Polygons",
               [&](edit::Recorder& rec) { return edit::DeleteSelectedPolygons(ws.Model, rec, ws.Ui); });
    });
    On(w, "mnuFace", 10, [this, &ws] {
        w_.Run("Mirror Texture", [&](edit::Recorder& rec) { return edit::MirrorSelectedTextures(ws.Model, rec); });
    });
    On(w, "mnuFace", 11, [this, &ws] {
        w_.Run("Rotate Texture", [&](edit::Recorder& rec) { return edit::RotateSelectedTextures(ws.Model, rec); });
    });
    On(w, "mnuFace", 20, [this, &ws] {
        w_.Run("Flip", [&](edit::Recorder& rec) { return edit::FlipSelectedPolygons(ws.Model, rec); });
    });
    On(w, "mnuFace", 21, [this, &ws] {
        w_.Run("Split to Triangles",
               [&](edit::Recorder& rec) { return edit::SplitSelectedPolygons(ws.Model, rec, ws.Ui); });
    });
    On(w, "mnuFace", 22, [this, &ws] {
        w_.Run("Merge Triangles to Quads",
               [&](edit::Recorder& rec) { return edit::MergeTrianglesToQuads(ws.Model, rec, ws.Ui); });
    });
    On(w, "mnuFace", 24, [this, &ws] {
        w_.Run("Remove Wrong", [&](edit::Recorder& rec) { return edit::RemoveWrongPolygons(ws.Model, rec, ws.Ui); });
    });
    On(w, "mnuFace", 25, [this, &ws] {
        w_.Run("Copy to Backside", [&](edit::Recorder& rec) { return edit::CopyToBackside(ws.Model, rec, ws.Ui); });
    });
    On(w, "mnuFace", 27, [this] { OpenGoto(); });
    On(w, "mnuTex", 1, [this] { surface_->Open(); });
}

void PolygonCommands::OpenAdd() {
    changing_ = false;
    polygon_->setWindowTitle(QStringLiteral("Add Polygon"));
    polygon_->Open();
}

void PolygonCommands::OpenChange() {
    const model::ModelStore& m = w_.Ws().Model;
    if (m.CurPoly < 0 || m.CurPoly >= m.PolyCount) {
        return;
    }
    changing_ = true;
    polygon_->setWindowTitle(QStringLiteral("Change Polygon"));
    const int n = m.PolyVCount[m.CurPoly];
    for (int k = 0; k < kCornerBoxes; ++k) {
        polygon_->Box(k)->setText(k < n ? QString::number(m.PolyVert(m.CurPoly, k)) : QString());
    }
    polygon_->Open();
}

void PolygonCommands::OpenGoto() {
    w_.Ws().Ui.ShowProgress("Polygon: " + std::to_string(w_.Ws().Model.CurPoly));
    goto_->Open();
}

bool PolygonCommands::PolygonOk() {
    Workspace& ws = w_.Ws();
    std::vector<std::string> entries;
    for (int k = 0; k < polygon_->Boxes(); ++k) {
        entries.push_back(ToCore(polygon_->Box(k)->text()));
    }
    if (edit::CountedCorners(ws.Model, entries).size() < 3) {
        return false; // too few corners: the panel stays open
    }
    if (changing_) {
        w_.Run("Change Polygon", [&](edit::Recorder& rec) { return edit::ChangePolygon(ws.Model, rec, entries); });
    } else {
        w_.Run("Add Polygon",
               [&](edit::Recorder& rec) { return edit::AddPolygon(ws.Model, rec, ws.Ui, entries); });
    }
    return true;
}

bool PolygonCommands::Key(int key, bool shift, bool ctrl, bool keypad) {
    if (!ctrl || shift || w_.WorkingMode() == "edit_wp") {
        return false; // the waypoint edit mode has a Ctrl D of its own
    }
    Workspace& ws = w_.Ws();
    if (key == Qt::Key_D && !keypad) {
        w_.Run("Delete Polygon", [&](edit::Recorder& rec) { return edit::DeletePolygon(ws.Model, rec, ws.Model.CurPoly); });
        return true;
    }
    if (key == Qt::Key_L && !keypad) {
        w_.Run("Add Quads to Edges",
               [&](edit::Recorder& rec) { return edit::ExtrudeSelectedEdges(ws.Model, rec, ws.Ui); });
        return true;
    }
    if (key == Qt::Key_Plus && keypad) {
        w_.Run("Split Polygon", [&](edit::Recorder& rec) {
            return edit::SplitPolygon(ws.Model, rec, ws.Ui, ws.Model.CurPoly, ws.Model.CurCorner);
        });
        return true;
    }
    if (key == Qt::Key_Minus && keypad) {
        w_.Run("Merge Triangles to Quads",
               [&](edit::Recorder& rec) { return edit::MergeTrianglesToQuads(ws.Model, rec, ws.Ui); });
        return true;
    }
    return false;
}

// Double-clicking a corner box writes the current vertex's number into it.
bool PolygonCommands::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        auto* box = qobject_cast<QLineEdit*>(watched);
        const model::ModelStore& m = w_.Ws().Model;
        if (box != nullptr && m.CurVert >= 0 && m.CurVert < m.VertCount) {
            box->setText(QString::number(m.CurVert));
            return true;
        }
    }
    return false;
}

PolygonCommands* FindPolygonCommands(MainWindow& w) {
    return w.findChild<PolygonCommands*>(QStringLiteral("PolygonCommands"));
}

} // namespace zv::app
