#pragma once
// Opening the objects a scene file lists, and the scene VRL correction.

#include "edit/Change.h"
#include "edit/History.h"
#include "track/SceneFile.h"
#include "workspace/Workspace.h"

#include <optional>
#include <string>
#include <vector>

namespace zv::formats {

// Reads and parses a scene or package list (the kind from its extension). nullopt, after a
// message, when the file cannot be read.
std::optional<track::SceneContents> ReadSceneFile(model::UserInterface& ui, const std::string& path);

// What loading a scene did, for the message and the command line.
struct SceneReport {
    int Loaded = 0;                    // objects opened into the model
    std::vector<std::string> Failed;   // "NAME: why" per object that could not be read
    std::vector<std::string> Skipped;  // names that are not plain file names in the folder
    int CamerasDropped = 0;            // beyond the camera table
    int DummiesDropped = 0;            // beyond the dummy table
    int ObjectsDropped = 0;            // beyond the part table
    bool Any() const {
        return !Failed.empty() || !Skipped.empty() || CamerasDropped + DummiesDropped + ObjectsDropped > 0;
    }
};

// The one message text of everything a load or a correction could not do ("" when all went well).
std::string SceneReportText(const SceneReport& r);

// The scene as one step: the model starts empty (counts 0, no parts, no textures), each object
// that is a plain file name is found in folder whatever its letter case and merged in order as
// an SCGT VRL model (a part named after it each); cameras replace the camera table; dummies are
// appended. Every failure goes into one message (title "Scene") at the end, not one per object.
// Returns what changed (the model is emptied even when no object loads).
edit::Change LoadScene(Workspace& ws, edit::Recorder& rec, const std::string& folder,
                       const track::SceneContents& scene, SceneReport* report = nullptr);

// The scene VRL correction: each object (plain names only, found whatever their case) is read
// as an SCGT VRL model, stripped of vertices no polygon uses and written back over the file it
// was read from. The user's model is not touched. One message at the end when something
// failed. Returns the report (Loaded counts the files rewritten).
SceneReport FixSceneObjects(model::UserInterface& ui, const config::Settings& settings, const std::string& folder,
                            const track::SceneContents& scene);

} // namespace zv::formats
