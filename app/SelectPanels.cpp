#include "app/SelectPanels.h"

#include "app/MainWindow.h"
#include "app/QtUserInterface.h"
#include "config/ConfigFormat.h"
#include "edit/Selection.h"
#include "edit/TextureOps.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zv::app {
namespace {

// The OK and Cancel buttons of a panel, named name(0) and name(1).
void AddButtons(QDialog& panel, QGridLayout& grid, int row, const char* name, std::function<void()> ok) {
    auto* accept = new QPushButton(QStringLiteral("OK"), &panel);
    accept->setObjectName(QString::fromLatin1(name) + QStringLiteral("(0)"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), &panel);
    cancel->setObjectName(QString::fromLatin1(name) + QStringLiteral("(1)"));
    QObject::connect(accept, &QPushButton::clicked, &panel, [&panel, ok] {
        ok();
        panel.accept();
    });
    QObject::connect(cancel, &QPushButton::clicked, &panel, &QDialog::reject);
    grid.addWidget(accept, row, 0);
    grid.addWidget(cancel, row, 1);
}

} // namespace

TextureSelectPanel::TextureSelectPanel(MainWindow& w)
    : QDialog(&w), w_(w), list_(new QComboBox(this)), newList_(new QComboBox(this)) {
    setObjectName(QStringLiteral("Pic_TexReplace"));
    setWindowTitle(QStringLiteral("Select by texture"));
    list_->setObjectName(QStringLiteral("Combo4"));
    newList_->setObjectName(QStringLiteral("Combo5"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(list_, 0, 0, 1, 2);
    grid->addWidget(newList_, 1, 0, 1, 2);
    AddButtons(*this, *grid, 2, "Cmd_TexReplace", [this] { Apply(); });
    if (auto* qt = dynamic_cast<QtUserInterface*>(&w.Ws().Relay.Target())) {
        qt->AddTextureList(list_);
        qt->AddTextureList(newList_);
    }
    newList_->hide();
}

void TextureSelectPanel::Open(bool replace) {
    replace_ = replace;
    setWindowTitle(replace ? QStringLiteral("Replace texture") : QStringLiteral("Select by texture"));
    newList_->setVisible(replace);
    exec();
}

void TextureSelectPanel::Apply() {
    Workspace& ws = w_.Ws();
    if (!replace_) {
        w_.Apply(edit::SelectByTexture(ws.Model, ws.Ui, list_->currentIndex()));
        return;
    }
    const int oldTex = list_->currentIndex(), newTex = newList_->currentIndex();
    w_.Run("Replace Texture",
           [&](edit::Recorder& rec) { return edit::ReplaceTexture(ws.Model, rec, oldTex, newTex); });
}

FacingSelectPanel::FacingSelectPanel(MainWindow& w)
    : QDialog(&w), w_(w), angle_(new QLineEdit(QStringLiteral("0"), this)), boxes_{},
      cosine_(new QLabel(this)) {
    setObjectName(QStringLiteral("Pic_TexFacing"));
    setWindowTitle(QStringLiteral("Select by Facing"));
    angle_->setObjectName(QStringLiteral("Text_TexFacing"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(angle_, 0, 0);
    grid->addWidget(cosine_, 0, 1);
    const char* captions[6] = {"+X", "-X", "+Y", "-Y", "+Z", "-Z"};
    for (int i = 0; i < 6; ++i) {
        boxes_[i] = new QCheckBox(QString::fromLatin1(captions[i]), this);
        boxes_[i]->setObjectName(QStringLiteral("Check_TexFacing(%1)").arg(i));
        grid->addWidget(boxes_[i], 1 + i / 2, i % 2);
    }
    AddButtons(*this, *grid, 4, "Cmd_TexFacing", [this] { Apply(); });
}

void FacingSelectPanel::Apply() {
    edit::FacingBoxes checked{};
    for (int i = 0; i < 6; ++i) {
        checked[static_cast<std::size_t>(i)] = boxes_[i]->isChecked();
    }
    const double angle = config::ReadNumber(angle_->text().toStdString());
    const double c = edit::SelectByFacing(w_.Ws().Model, w_.Ws().Ui, angle, checked);
    cosine_->setText(QString::number(c));
    w_.Apply(edit::Change::Selection | edit::Change::Polygons); // normals were recomputed
}

void ConnectSelectPanels(MainWindow& w) {
    auto* byTexture = new TextureSelectPanel(w);
    auto* byFacing = new FacingSelectPanel(w);
    if (QAction* item = w.Item("mnuFace", 15)) {
        QObject::connect(item, &QAction::triggered, byTexture, [byTexture] { byTexture->Open(false); });
    }
    if (QAction* item = w.Item("mnuTex", 5)) {
        QObject::connect(item, &QAction::triggered, byTexture, [byTexture] { byTexture->Open(true); });
    }
    if (QAction* item = w.Item("mnuTex", 2)) {
        QObject::connect(item, &QAction::triggered, &w, [&w] {
            w.Run("Wet Surface Transparency",
                  [&](edit::Recorder& rec) { return edit::WetSurfaceTransparency(w.Ws().Model, rec); });
        });
    }
    if (QAction* item = w.Item("mnuFace", 16)) {
        QObject::connect(item, &QAction::triggered, byFacing, [byFacing] { byFacing->exec(); });
    }
}

} // namespace zv::app
