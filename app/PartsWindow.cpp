#include "app/PartsWindow.h"

#include "app/MainWindow.h"
#include "app/QtText.h"
#include "edit/Parts.h"
#include "edit/Selection.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>
#include <string_view>

namespace zv::app {
namespace {

constexpr std::array<const char*, 5> kButtonCaptions = {"Add Group", "Delete Group", "Show all", "Hide all",
                                                        "Show selected"};

QtUserInterface* PortOf(MainWindow& w) {
    return dynamic_cast<QtUserInterface*>(&w.Ws().Relay.Target());
}

QLineEdit* Box(MainWindow& w, const char* name) {
    return w.findChild<QLineEdit*>(QString::fromLatin1(name));
}

// The main window shows the clicked part's number and name; it has no place for them yet.
void EnsurePartBoxes(MainWindow& w) {
    if (Box(w, "Txt_Partnr") != nullptr && Box(w, "Text_Offset") != nullptr) {
        return;
    }
    auto* bar = new QToolBar(QStringLiteral("Part"), &w);
    bar->setObjectName(QStringLiteral("PartBoxes"));
    for (const char* name : {"Txt_Partnr", "Text_Offset"}) {
        if (Box(w, name) == nullptr) {
            auto* box = new QLineEdit(bar);
            box->setObjectName(QString::fromLatin1(name));
            box->setMaximumWidth(100);
            box->setPlaceholderText(name == std::string_view("Txt_Partnr") ? QStringLiteral("Part")
                                                                           : QStringLiteral("Part name"));
            bar->addWidget(box);
        }
    }
    w.addToolBar(bar);
}

} // namespace

PartsWindow::PartsWindow(MainWindow& w) : ToolWindow(&w, w.Ws().Settings.PolygonGroupWinPosition), w_(w) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Groups: 0"));
    auto* layout = new QVBoxLayout(this);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("TreeView1"));
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(false);
    layout->addWidget(tree_);
    for (int i = 0; i < static_cast<int>(kButtonCaptions.size()); ++i) {
        auto* button =
            new QPushButton(QString::fromLatin1(kButtonCaptions[static_cast<std::size_t>(i)]), this);
        button->setObjectName(QStringLiteral("Cmd_F_Group(%1)").arg(i));
        button->setFocusPolicy(Qt::NoFocus); // keys stay with the window
        connect(button, &QPushButton::clicked, this, [this, i] { ButtonClicked(i); });
        layout->addWidget(button);
    }
    connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { NodeClicked(item); });
    connect(tree_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) { NodeChanged(item); });
    // Delete Group works on the highlighted node, also when the arrow keys moved it there.
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        w_.Ws().Model.SelectedPart = item != nullptr ? tree_->indexOfTopLevelItem(item) + 1 : 0;
    });
    // The tree would take the letters for its type-ahead search before the window sees them.
    tree_->installEventFilter(this);

    if (QtUserInterface* ui = PortOf(w)) {
        ui->OnPartTreeChanged = [this] {
            if (!applyingCheck_) {
                ReloadTree();
            }
        };
        ui->OnPartsCaption = [this](std::string_view text) { setWindowTitle(ToQString(text)); };
        ui->OnShowPartsWindow = [this] { show(); };
    }
    ReloadTree();
}

void PartsWindow::ReloadTree() {
    const QSignalBlocker block(tree_);
    const model::ModelStore& m = w_.Ws().Model;
    tree_->clear();
    for (int g = 1; g <= m.PartCount(); ++g) {
        const model::PartNode& node = m.PartNodes[static_cast<std::size_t>(g - 1)];
        auto* item = new QTreeWidgetItem(tree_, QStringList{ToQString(node.Text)});
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, node.Checked ? Qt::Checked : Qt::Unchecked);
        if (g == m.SelectedPart) {
            tree_->setCurrentItem(item);
        }
    }
}

void PartsWindow::ToggleVisible() {
    if (isVisible()) {
        hide();
    } else {
        show();
        raise();
    }
}

void PartsWindow::ButtonClicked(int index) {
    Workspace& ws = w_.Ws();
    edit::Change changed = edit::Change::Polygons; // the shown flags of polygons and vertices
    switch (index) {
    case 0:
        changed = w_.Run("Add Part", [&](edit::Recorder& rec) {
            rec.Parts();
            return edit::AddPart(ws.Model, ws.Ui, "") > 0 ? edit::Change(edit::Change::Parts)
                                                          : edit::kNoChange;
        });
        break;
    case 1:
        changed = w_.Run("Delete Part", [&](edit::Recorder& rec) {
            rec.Parts();
            const bool deleted = ws.Model.PartCount() > 0 && edit::DeletePart(ws.Model, ws.Ui);
            return deleted ? edit::Change(edit::Change::Parts) : edit::kNoChange;
        });
        break;
    case 2:
        edit::ShowAllParts(ws.Model, ws.Ui);
        break;
    case 3:
        edit::HideAllParts(ws.Model, ws.Ui);
        break;
    case 4:
        edit::ShowSelectedParts(ws.Model, ws.Ui);
        break;
    default:
        return;
    }
    // The store's notices may not cover the check marks, so the tree is re-read every time.
    ReloadTree();
    if (index >= 2) {
        w_.Apply(changed);
    }
}

void PartsWindow::NodeClicked(QTreeWidgetItem* item) {
    const int g = tree_->indexOfTopLevelItem(item) + 1;
    if (g == toggledNode_) {
        toggledNode_ = 0; // a click on the check box only shows or hides the part
        return;
    }
    Workspace& ws = w_.Ws();
    ws.Model.SelectedPart = g;
    const auto picked = edit::SelectPart(ws.Model, ws.Ui, ws.Settings, g);
    if (!picked) {
        return;
    }
    w_.Apply(edit::Change::Selection);
    if (QLineEdit* number = Box(w_, "Txt_Partnr")) {
        number->setText(QString::number(picked->Number));
    }
    if (QLineEdit* offset = Box(w_, "Text_Offset")) {
        offset->setText(ToQString(picked->BaseName));
    }
}

void PartsWindow::NodeChanged(QTreeWidgetItem* item) {
    const int g = tree_->indexOfTopLevelItem(item) + 1;
    // A click that toggled the box is reported as a click on the node right after this.
    toggledNode_ = g;
    QTimer::singleShot(0, this, [this] { toggledNode_ = 0; });
    Workspace& ws = w_.Ws();
    applyingCheck_ = true;
    edit::ShowPart(ws.Model, ws.Ui, g, item->checkState(0) == Qt::Checked);
    applyingCheck_ = false;
    w_.Apply(edit::Change::Polygons);
}

bool PartsWindow::SelectionKey(int key, bool shift, bool ctrl) {
    if (OnSelectionKey) {
        return OnSelectionKey(key, shift, ctrl);
    }
    Workspace& ws = w_.Ws();
    edit::SelectionContext ctx{ws.Model, ws.Settings, ws.Ui};
    // Qt's letter key codes are the upper-case ASCII codes the selection keys use.
    const auto changed = edit::HandleSelectionKey(ctx, key, shift, ctrl);
    if (!changed) {
        return false;
    }
    w_.Apply(*changed | edit::Change::Selection);
    return true;
}

bool PartsWindow::HandleKey(QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (key == Qt::Key_F2) {
        hide();
        return true;
    }
    if (key == Qt::Key_Q || key == Qt::Key_A || key == Qt::Key_W || key == Qt::Key_S) {
        SelectionKey(key, mods.testFlag(Qt::ShiftModifier), mods.testFlag(Qt::ControlModifier));
        return true; // consumed also when the combination runs nothing
    }
    return false;
}

bool PartsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tree_ && event->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void PartsWindow::keyPressEvent(QKeyEvent* event) {
    if (!HandleKey(event)) {
        QWidget::keyPressEvent(event);
    }
}

PartsWindow* FindPartsWindow(MainWindow& w) {
    // No meta-object of its own, so the cast is a C++ one.
    return dynamic_cast<PartsWindow*>(
        w.findChild<QWidget*>(QStringLiteral("Form3"), Qt::FindDirectChildrenOnly));
}

PartsWindow* ConnectPartsWindow(MainWindow& w) {
    if (PartsWindow* existing = FindPartsWindow(w)) {
        return existing;
    }
    EnsurePartBoxes(w);
    return new PartsWindow(w); // the main window's key dispatcher toggles it with F2
}

} // namespace zv::app
