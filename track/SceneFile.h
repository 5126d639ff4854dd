#pragma once
// Scene text files: the partial scene file written for the model's parts, and reading a scene
// (or a package list) for its objects, cameras and placed instances. Opening the objects is the
// model loaders' work (formats/SceneLoader.h).

#include "model/ModelStore.h"
#include "model/UserInterface.h"
#include "track/Dummies.h"
#include "track/Path.h"

#include <string>
#include <string_view>
#include <vector>

namespace zv::track {

// The most scene cameras the table holds (the OpenGL view draws each).
inline constexpr int kCameraCapacity = 129;

// The cameras of the scenes read so far. Read is false before any scene was read.
struct CameraTable {
    std::vector<Vec3> Pos;
    bool Read = false;
    friend bool operator==(const CameraTable&, const CameraTable&) = default;
};

// Declares that the running command changes the cameras.
void RecordCameras(edit::Recorder& rec, CameraTable& c);

// Which list a file is: a scene (".scn" or text) walked for instances and cameras, or a package
// list (".pck") whose lines naming ".VRL" files are the objects.
enum class SceneKind { Scene, PackageList };

// By extension, ignoring case: ".pck" is a package list, anything else a scene.
SceneKind SceneKindOf(const std::string& path);

// What a scene file lists, in file order, before any limit is applied.
struct SceneContents {
    std::vector<std::string> Objects; // the object names as the file gives them (scenes: upper case)
    std::vector<Vec3> Cameras;        // camera positions, already negated
    std::vector<Dummy> Dummies;       // instances placed away from every axis plane
};

// Reads the text of a scene file. Lines starting with ";" are dropped. In a scene, a line
// containing "INSTANCE=" (any case) starts an instance named by the text after it; the lines
// after it, up to the next "INSTANCE=", give its position ("INSSTART=" and a tuple; all three
// values non-zero makes it a dummy) and its object ("OBJFILE=" not commented out with "//",
// the name up to the first blank, "/" or TAB). "VIEW=CAMERA" starts a camera whose position is
// the negated tuple of the next line containing "START=". In a package list every line containing
// ".VRL" is an object name, whole.
SceneContents ParseScene(std::string_view text, SceneKind kind);

// True for a name that can only mean a file inside the scene folder: not empty, no folder
// separator, drive colon, control character or blank at either end, not "." or "..".
bool IsPlainFileName(std::string_view name);

// ---- Partial scene file --------------------------------------------------------------------

// Which group the partial scene file's instances belong to.
enum class SceneGroup { Road, Side };

// The partial scene file of the model's parts, in part order, with date after "//  Date: ".
// CR LF lines.
std::string PartialSceneText(const model::ModelStore& m, SceneGroup group, std::string_view date);

// Writes the partial scene file through the safe replacement. Without parts shows "No groups
// for making a scene file!" (title "Info:") and writes nothing; a failed write shows "Can't save
// Scene File" (title "Save Error"). Returns whether it was written.
bool WritePartialScene(model::UserInterface& ui, const model::ModelStore& m, SceneGroup group,
                       std::string_view date, const std::string& path);

} // namespace zv::track
