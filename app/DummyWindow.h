#pragma once
// Frm_Dummy, the dummy objects window (F3): one node per dummy showing its name, "+" to add a
// dummy at the wireframe view's centre and "-" to remove the current node, each one step of
// the history. Selecting nodes selects the dummies (a view change, not a step).

#include "app/ToolWindows.h"

#include <QWidget>

class QPushButton;
class QTreeWidget;

namespace zv::app {

class MainWindow;

class DummyWindow : public ToolWindow<QWidget> {
public:
    // A hidden tool window of w showing the workspace's dummies, keeping its place in
    // Settings.DummyWinPosition.
    explicit DummyWindow(MainWindow& w);

    // The caption, the nodes and their selection from the dummy table. The nodes are rebuilt
    // only when the names changed; the current node stays, moved onto the last one when the
    // list got shorter.
    void Refresh();
    // F3: shows the window, or hides it.
    void ToggleVisible();
    // "+": a dummy with the default name at the wireframe view's centre, made the current node.
    void AddAtViewCentre();
    // "-": removes the current node's dummy; nothing without a current node.
    void RemoveCurrent();

    QTreeWidget* Tree() const { return tree_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* RemoveButton() const { return remove_; }

protected:
    // The main window's keys (F3 among them) work here too.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SelectionChanged();
    void SetCurrentRow(int row);

    MainWindow& w_;
    QTreeWidget* tree_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
};

// Frm_Dummy of w; null before it is made.
DummyWindow* FindDummyWindow(MainWindow& w);

} // namespace zv::app
