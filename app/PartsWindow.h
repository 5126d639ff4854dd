#pragma once
// Form3, the parts window: the parts tree TreeView1 with a check box per part and the five
// Cmd_F_Group buttons. It follows the model store through the user-interface port's part
// notices and keeps its position in the settings.

#include "app/ToolWindows.h"

#include <QWidget>

#include <functional>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zv::app {

class MainWindow;

class PartsWindow : public ToolWindow<QWidget> {
public:
    // A hidden tool window of w, keeping its place in Settings.PolygonGroupWinPosition. Takes over the
    // port's OnPartTreeChanged, OnPartsCaption and OnShowPartsWindow notices.
    explicit PartsWindow(MainWindow& w);

    // Re-reads every node from the store's PartNodes.
    void ReloadTree();
    // The F2 key of the main window: shows the window, or hides it (which stores its place).
    void ToggleVisible();

    // Replaces the selection key table for Q, A, W and S (false: no operation ran; the key is
    // consumed either way). Unset, the keys run the selection keys of the main window.
    std::function<bool(int key, bool shift, bool ctrl)> OnSelectionKey;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ButtonClicked(int index);
    void NodeClicked(QTreeWidgetItem* item);
    void NodeChanged(QTreeWidgetItem* item);
    bool HandleKey(QKeyEvent* event);
    bool SelectionKey(int key, bool shift, bool ctrl);

    MainWindow& w_;
    QTreeWidget* tree_ = nullptr;
    // Set while a check mark change is applied: the tree already shows it, and rebuilding the
    // tree would delete the item Qt is still working on.
    bool applyingCheck_ = false;
    // The node whose check box the current click toggled; that click does not select the part.
    int toggledNode_ = 0;
};

// Form3 of w, made by ConnectPartsWindow; null before.
PartsWindow* FindPartsWindow(MainWindow& w);

// Creates Form3 and the part-number and offset boxes Txt_Partnr and Text_Offset (when the window
// has none). F2 of the main window reaches ToggleVisible through the main window's key handler.
PartsWindow* ConnectPartsWindow(MainWindow& w);

} // namespace zv::app
