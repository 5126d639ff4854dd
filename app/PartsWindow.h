#pragma once
// Form3, the parts window: the parts tree TreeView1 with a check box per part and the five
// Cmd_F_Group buttons. It follows the model store through the user-interface port's part
// notices and keeps its position in the settings.

#include <QWidget>

#include <functional>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zv::app {

class MainWindow;

class PartsWindow : public QWidget {
public:
    // A tool window owned by w, hidden, placed at Settings.PolygonGroupWinPosition. Takes over the
    // port's OnPartTreeChanged, OnPartsCaption and OnShowPartsWindow notices.
    explicit PartsWindow(MainWindow& w);

    // Re-reads every node from the store's PartNodes.
    void ReloadTree();
    // Writes the window's position and size into Settings.PolygonGroupWinPosition.
    void StoreGeometry();
    // The F2 key of the main window: shows the window, or hides it storing its geometry.
    void ToggleVisible();

    // Replaces the selection key table for Q, A, W and S (false: not handled). Unset, the keys
    // run the selection keys of the main window.
    std::function<bool(int key, bool shift, bool ctrl)> OnSelectionKey;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ButtonClicked(int index);
    void NodeClicked(QTreeWidgetItem* item);
    void NodeChanged(QTreeWidgetItem* item);
    bool SelectionKey(int key, bool shift, bool ctrl);

    MainWindow& w_;
    QTreeWidget* tree_ = nullptr;
    bool placed_ = false;
};

// Form3 of w, made by ConnectPartsWindow; null before.
PartsWindow* FindPartsWindow(MainWindow& w);

// Creates Form3 and the part-number and offset boxes Txt_Partnr and Text_Offset (when the window
// has none), and binds F2 of the main window to ToggleVisible.
PartsWindow* ConnectPartsWindow(MainWindow& w);

} // namespace zv::app
