#include "app/DummyWindow.h"

#include "app/MainWindow.h"
#include "app/QtText.h"
#include "track/Dummies.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace zv::app {
namespace {

bool ShowsNames(const QTreeWidget& tree, const track::DummyTable& d) {
    if (tree.topLevelItemCount() != d.Count()) {
        return false;
    }
    for (int i = 0; i < d.Count(); ++i) {
        if (tree.topLevelItem(i)->text(0) != ToQString(d.Items[static_cast<std::size_t>(i)].Name)) {
            return false;
        }
    }
    return true;
}

} // namespace

DummyWindow::DummyWindow(MainWindow& w) : ToolWindow(&w, w.Ws().Settings.DummyWinPosition), w_(w) {
    setObjectName(QStringLiteral("Frm_Dummy"));
    auto* layout = new QVBoxLayout(this);
    tree_ = new QTreeWidget(this);
    tree_->setObjectName(QStringLiteral("TreeDummy"));
    tree_->setHeaderHidden(true);
    tree_->setRootIsDecorated(false);
    tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    layout->addWidget(tree_);
    auto* buttons = new QHBoxLayout;
    const auto button = [this, buttons](const QString& caption, const QString& name, const QString& tip) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setToolTip(tip);
        b->setFocusPolicy(Qt::NoFocus); // keys stay with the window
        buttons->addWidget(b);
        return b;
    };
    add_ = button(QStringLiteral("+"), QStringLiteral("Cmd_D_Group(0)"), QStringLiteral("Add Group"));
    remove_ = button(QStringLiteral("-"), QStringLiteral("Cmd_D_Group(1)"), QStringLiteral("Delete Group"));
    layout->addLayout(buttons);
    connect(add_, &QPushButton::clicked, this, [this] { AddAtViewCentre(); });
    connect(remove_, &QPushButton::clicked, this, [this] { RemoveCurrent(); });
    connect(tree_, &QTreeWidget::itemSelectionChanged, this, [this] { SelectionChanged(); });
    Refresh();
}

void DummyWindow::Refresh() {
    const track::DummyTable& d = w_.Ws().Dummies;
    setWindowTitle(ToQString(track::DummiesCaption(d)));
    const QSignalBlocker block(tree_);
    if (!ShowsNames(*tree_, d)) {
        const int row =
            tree_->currentItem() != nullptr ? tree_->indexOfTopLevelItem(tree_->currentItem()) : -1;
        tree_->clear();
        for (const track::Dummy& dummy : d.Items) {
            new QTreeWidgetItem(tree_, QStringList{ToQString(dummy.Name)});
        }
        SetCurrentRow(std::min(row, d.Count() - 1));
    }
    for (int i = 0; i < d.Count(); ++i) {
        tree_->topLevelItem(i)->setSelected(d.Items[static_cast<std::size_t>(i)].Sel);
    }
}

// Only the marker moves: the selection is the dummies' own, set by the user.
void DummyWindow::SetCurrentRow(int row) {
    if (QTreeWidgetItem* item = row >= 0 ? tree_->topLevelItem(row) : nullptr) {
        const QSignalBlocker block(tree_);
        tree_->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    }
}

void DummyWindow::ToggleVisible() {
    if (isVisible()) {
        hide();
    } else {
        Refresh();
        show();
        raise();
    }
}

void DummyWindow::AddAtViewCentre() {
    Workspace& ws = w_.Ws();
    const track::Vec3 at{ws.View1.ViewCenterX, ws.View1.ViewCenterY, ws.View1.ViewCenterZ};
    const edit::Change changed =
        w_.Run("Add Dummy", [&](edit::Recorder& rec) { return track::AddDummy(ws.Dummies, rec, "", at); });
    if (changed.Any()) {
        SetCurrentRow(ws.Dummies.Count() - 1);
    }
}

void DummyWindow::RemoveCurrent() {
    QTreeWidgetItem* item = tree_->currentItem();
    if (item == nullptr) {
        return;
    }
    const int index = tree_->indexOfTopLevelItem(item);
    Workspace& ws = w_.Ws();
    w_.Run("Delete Dummy", [&](edit::Recorder& rec) { return track::RemoveDummy(ws.Dummies, rec, index); });
}

void DummyWindow::SelectionChanged() {
    track::DummyTable& d = w_.Ws().Dummies;
    const int n = std::min(d.Count(), tree_->topLevelItemCount());
    for (int i = 0; i < n; ++i) {
        d.Items[static_cast<std::size_t>(i)].Sel = tree_->topLevelItem(i)->isSelected();
    }
    w_.Apply(edit::Change::Dummies); // the views, not the history
}

void DummyWindow::keyPressEvent(QKeyEvent* event) {
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    if (!w_.FunctionKey(event->key(), shift, ctrl)) {
        QWidget::keyPressEvent(event);
    }
}

DummyWindow* FindDummyWindow(MainWindow& w) {
    return dynamic_cast<DummyWindow*>(
        w.findChild<QWidget*>(QStringLiteral("Frm_Dummy"), Qt::FindDirectChildrenOnly));
}

} // namespace zv::app
