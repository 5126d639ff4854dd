#pragma once
// The Vertex menu's editing commands and the Transform submenu with their input panels.

#include "edit/Transforms.h"

#include <QObject>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace zv::app {

class InputPanel;
class MainWindow;

// Which command opened the shared merge and snap panels.
enum class MergeMode { Join = 0, Weld = 1, SnapToPosition = 3, MoveToPosition = 4 };

class VertexCommands : public QObject {
public:
    // Makes the panels (hidden) and connects the Vertex menu and its Transform submenu.
    explicit VertexCommands(MainWindow& w);

    InputPanel* AddPanel() const { return add_; }
    InputPanel* ChangePanel() const { return change_; }
    InputPanel* GotoPanel() const { return goto_; }
    InputPanel* MergePanel() const { return merge_; }
    InputPanel* SnapPanel() const { return snap_; }
    InputPanel* RotatePanel() const { return rotate_; }
    InputPanel* TranslatePanel() const { return translate_; }
    InputPanel* ResizePanel() const { return resize_; }

    void OpenAdd();
    void OpenChange();
    void OpenGoto();
    void OpenMerge(MergeMode mode);
    void OpenSnap(MergeMode mode);
    void OpenResize();
    void OpenRotate();
    void OpenTranslate();
    void Delete();
    void DeleteUnused();
    void SnapToGrid();

private:
    InputPanel* MakeResizePanel();
    void ShowResizeForm();
    bool Merge();
    bool Snap();
    bool ResizeOk();

    MainWindow& w_;
    InputPanel* add_;
    InputPanel* change_;
    InputPanel* goto_;
    InputPanel* merge_;
    InputPanel* snap_;
    InputPanel* rotate_;
    InputPanel* translate_;
    InputPanel* resize_;
    MergeMode mode_ = MergeMode::Weld;
    model::Point3d snapCentre_; // the selection centre when "Move to position" opened
    edit::ResizeForm form_;
};

// Finds the window's vertex commands (made by ConnectMenuAreas); null when there are none.
VertexCommands* FindVertexCommands(MainWindow& w);

} // namespace zv::app
