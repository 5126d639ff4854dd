#pragma once
// The Scene menu (open a scene into the model, save the partial scene file of the parts and the
// dummy scene file, hide the check parts) and the scene VRL correction of the Special menu. A
// scene open runs as one step of the history through the main window.

#include "track/SceneFile.h"

#include <QObject>
#include <QString>

#include <optional>
#include <string>

namespace zv::app {

class MainWindow;

class SceneCommands : public QObject {
public:
    // Connects the Scene menu's items and the Special menu's "SPARE - Scene Vrl Correction".
    explicit SceneCommands(MainWindow& w);

    // "Open": the scene file dialog, the track folder dialog (the folder becomes ScgtScenePath),
    // then the scene's objects loaded as one step. Either dialog cancelled ends it.
    void Open();
    // The rest of "Open" with the scene file already chosen: the scene read, the track folder
    // dialog, the load. An unreadable scene (after its message) or a cancelled dialog ends it.
    void OpenFile(const std::string& scenePath);
    // "Save as...": road or side group, the save dialog, the partial scene file; true when written.
    bool SavePartial();
    // "Save Dummy as...": the save dialog and the dummy scene file; true when written.
    bool SaveDummies();
    // "Hide Check Vrls" ticked (hide) or unticked (show again); a view change, not a step.
    void HideCheckParts(bool hide);
    // The scene VRL correction: the scene file and track folder dialogs, then every object
    // rewritten without its unused vertices.
    void FixObjects();

private:
    // The file chosen in the track folder dialog made into ScgtScenePath; nullopt when cancelled.
    std::optional<std::string> ChooseTrackFolder();
    // A scene chosen in the dialog of that filter, read, and its track folder; nullopt when
    // either dialog was cancelled or the scene could not be read (after its message).
    struct ChosenScene {
        track::SceneContents Contents;
        std::string Folder;
    };
    std::optional<ChosenScene> ChooseScene(const QString& filter);
    // The scene file dialog of that filter alone; nullopt when cancelled.
    std::optional<std::string> ChooseSceneFile(const QString& filter);
    // The scene at scenePath read, then the track folder dialog; nullopt as ChooseScene.
    std::optional<ChosenScene> ReadScene(const std::string& scenePath);

    MainWindow& w_;
};

// The window's Scene menu commands, made at start-up; null before.
SceneCommands* FindSceneCommands(MainWindow& w);

} // namespace zv::app
