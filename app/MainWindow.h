#pragma once
// Form1, the editor's main window: it owns the workspace, starts the system in its fixed
// order, lays out the two views, refreshes them after every model change, runs the rotation
// timer and saves the configuration when it closes.

#include "app/QtUserInterface.h"
#include "edit/Change.h"
#include "formats/ModelFormat.h"
#include "workspace/Commands.h"
#include "workspace/Workspace.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QRect>
#include <QStringList>

#include <functional>

#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace zv::app {

class DummyWindow;
class GlViewWidget;
class PathCommands;
class RecentFiles;
class StatusPanels;
class ViewInput;
class WaypointCommands;
class WaypointWindow;
class WireframeWidget;

// The window place wanted, moved and shrunk as far as needed to lie within the screen's
// available area (a place saved on a larger screen would otherwise be out of reach). An empty
// screen area changes nothing.
QRect FitIntoScreen(const QRect& wanted, const QRect& screen);

// The format of the model's file, whose save command "Save changes" runs.
enum class ModelFormat { Scgt, F1, Bin };

class MainWindow : public QMainWindow {
public:
    struct Options {
        std::string ConfigPath; // the configuration file read at start and written at close
        bool OpenGl = true;     // false: no OpenGL view (tests on a platform without OpenGL)
    };

    explicit MainWindow(const Options& options);
    ~MainWindow() override;

    Workspace& Ws() { return *ws_; }
    // The menu item with object name menu(index), e.g. Item("mnuFile", 13); null if none.
    QAction* Item(const std::string& menu, int index) const;
    // The toolbar button (or mode) with the given key, e.g. Button("edit_vertex"); null if none.
    QAction* Button(const std::string& key) const;
    // The key of the pressed button of Toolbar1's mode group: the working mode.
    std::string WorkingMode() const;
    // The configuration file read at start-up and written at shut-down.
    const std::string& ConfigPath() const { return options_.ConfigPath; }
    // The key of the pressed button of Toolbar4: the edit sub-mode.
    std::string EditSubMode() const;
    // The status bar's panels.
    StatusPanels& Panels() { return *panels_; }
    // The mouse and key handling of the views; null before start-up ends.
    ViewInput* Input() const { return input_; }
    // The function keys of the main window: the waypoint keys first (F8 in every mode, the
    // others in waypoint edit mode), then the path keys Ctrl R and Ctrl T (outside it), then F1,
    // F2, F3, F5, F9, F12 outside waypoint edit mode; false when the key is not one of them.
    bool FunctionKey(int key, bool shift, bool ctrl);
    // The current model file name of the window (the last file opened or dropped).
    const std::string& CurrentFileName() const { return currentFileName_; }

    // Files dropped on the views or named on the command line: AIW files open as the Waypoint
    // menu's open does, path files (.zvp) as the Path menu's; of the others (in their order) the
    // first opens as a model, after asking about unsaved changes when it is of a model format,
    // and the rest merge; then the views refresh. Cancelling the question opens nothing.
    void LoadFiles(const QStringList& paths);
    // Puts the file (made absolute) at the top of the File menu's recent files, to be reopened
    // with command: a model format's word, "aiw", "path" or "scene". Every successful open and
    // save calls it.
    void NoteRecent(const std::string& command, const std::string& path);
    // Opens path as a model of format, as that format's open command does: after ConfirmDiscard
    // (nothing when cancelled); saved again as the format it was opened in when that is SCGT, F1
    // or BIN, else as SCGT. A failed open leaves the model emptied, with the format's message.
    void ReopenModel(const formats::ModelFormat& format, const std::string& path);
    // The auto-rotation timer of the OpenGL view ("&Rotate").
    void SetRotating(bool on);
    // Marks the OpenGL view's lists stale (rebuilt when it next paints) and redraws every view.
    void RefreshAll();
    // The one refresh after a command: nothing when nothing changed; else the lists marked and
    // the views redrawn once, the caption, the parts tree or texture lists when they changed,
    // and the waypoint window (the wireframe view re-centred when the current waypoint moved
    // and "Center View on curr. WP" is ticked), and the dummy window. A change of the path, the
    // dummies or the cameras alone rebuilds no model list. Also brings the Edit menu up to date.
    void Apply(const edit::Change& changed);
    // Runs op(recorder) as one step of the edit history named name, then Apply.
    template <class Op> edit::Change Run(std::string name, Op&& op, edit::CollateKey key = {}) {
        const edit::Change changed = RunStep(*ws_, std::move(name), std::forward<Op>(op), std::move(key));
        Apply(changed);
        return changed;
    }
    // Undo and redo of the Edit menu.
    void UndoCommand();
    void RedoCommand();
    // How many times RefreshAll ran (tests count the refreshes of one command).
    int RefreshCount() const { return refreshes_; }
    // Asks "Save changes to NAME?" when the model has unsaved changes: false when the user
    // cancelled (or a chosen save failed), so the caller must not go on.
    bool ConfirmDiscard();
    // The same for a document saved to a file of its own ("Save changes to the path?"), when it
    // has unsaved changes; waypoints are saved in the dialect they were read in.
    bool ConfirmDiscard(Document d);
    // On closing: the model, then every document with unsaved changes.
    bool ConfirmClose();
    // The caption and the Edit menu items from the workspace.
    void UpdateCaption();
    // The question of ConfirmDiscard: Save, Discard or Cancel. Tests replace it.
    std::function<QMessageBox::StandardButton(const QString& text)> AskSaveChanges;
    void Draw_All_Views();
    // The OpenGL background, floor grid and projection from the settings, then RefreshAll().
    void ApplyViewSettings();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // TAB and Shift TAB cycle through vertices here, so they never move the focus.
    bool focusNextPrevChild(bool) override { return false; }

private:
    std::string PressedKey(std::initializer_list<const char*> keys, std::string_view fallback) const;
    // Save, Discard or Cancel for the text, through AskSaveChanges when set.
    QMessageBox::StandardButton AskToSave(const QString& text);
    void StartUp();
    void ShutDown();
    void BuildMenus();
    void BuildStatusBar();
    void BuildToolbars();
    void ConnectToolbars();
    void ConnectTransformButtons();
    void OpenModelChooser();
    // The caption and views after a model open; an opened file goes to the recent files under
    // command (its format's word).
    void AfterOpen(bool opened, const std::string& path, std::string_view command);
    // The model files of LoadFiles; false when the user cancelled the unsaved-changes question.
    bool LoadModels(const std::vector<std::string>& files);
    void SaveModelButton();
    void ConnectFileMenu();
    void ConnectViewMenu();
    void SetViewType(int viewType);
    void View_Change();
    void RotationTick();
    void On(const std::string& menu, int index, void (MainWindow::*command)());

    // File menu commands.
    void NewModelCommand();
    void OpenScgt();
    // An Open menu item of a format of the table: its dialog, then the shared open.
    void OpenImported(const formats::ModelFormat& format);
    void OpenF1();
    void OpenBin();
    void SaveScgt();
    void SaveF1();
    void SaveBin();
    // The save dialog and writer of a format; true when the model was written (the history then
    // counts it as saved).
    bool SaveAs(ModelFormat format);
    void MergeScgt();
    void MergeF1();
    void MergeBin();
    // Import...: any file Assimp reads, through the table's format for it.
    void ImportCommand();
    // Export...: the whole model (or, when asked, the selected polygons) with its textures as
    // PNG files, in the format of the chosen file's extension.
    void ExportCommand();
    void QuitCommand();
    // The file chosen in an open or save dialog ("" when cancelled); stores it in ModelPath.
    std::string ChooseFile(bool save, const char* title, const char* filter, const std::string& folder);
    // False, after "Nothing to save !" under title, when the model has no vertex.
    bool HasSomethingToSave(const char* title);

    Options options_;
    QtUserInterface ui_{*this};
    std::unique_ptr<Workspace> ws_;
    WireframeWidget* view1_ = nullptr;
    GlViewWidget* view4_ = nullptr;
    std::unique_ptr<StatusPanels> panels_;
    QTimer* rotation_ = nullptr;
    ViewInput* input_ = nullptr;
    WaypointWindow* waypointWindow_ = nullptr;
    DummyWindow* dummyWindow_ = nullptr;
    WaypointCommands* waypointCommands_ = nullptr;
    PathCommands* pathCommands_ = nullptr;
    RecentFiles* recent_ = nullptr;
    bool replaying_ = false; // an undo or redo is being applied
    std::map<std::string, QAction*> items_;
    std::map<std::string, QAction*> buttons_;
    std::string currentFileName_ = "Test.vrl";
    bool shutDown_ = false;
    int refreshes_ = 0;
    ModelFormat format_ = ModelFormat::Scgt; // the format the model was opened in
};

} // namespace zv::app
