#include "formats/SceneLoader.h"

#include "edit/VertexOps.h"
#include "formats/VrlReader.h"
#include "formats/VrlWriter.h"
#include "model/Columns.h"
#include "model/FileLookup.h"
#include "model/ModelInfo.h"
#include "model/Paths.h"
#include "model/TextFile.h"
#include "workspace/Commands.h"
#include "workspace/ModelLifecycle.h"

#include <algorithm>
#include <memory>

namespace zv::formats {
namespace {

constexpr const char* kTitle = "Scene";
// Names listed in the one message before the rest are only counted.
constexpr std::size_t kListedNames = 20;

std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// "NAME: why" from the messages a reader showed (the last is the most telling).
std::string FailureText(const std::string& name, const std::vector<model::UiRedirect::Message>& shown,
                        const char* fallback) {
    if (shown.empty()) {
        return name + ": " + fallback;
    }
    const auto& last = shown.back();
    return name + ": " + OneLine(last.Title) + " - " + OneLine(last.Text);
}

void AppendList(std::string& out, const std::vector<std::string>& names, const char* separator) {
    for (std::size_t i = 0; i < names.size() && i < kListedNames; ++i) {
        out += (i == 0 ? "" : separator) + names[i];
    }
    if (names.size() > kListedNames) {
        out += separator + ("... and " + std::to_string(names.size() - kListedNames) + " more");
    }
}

// The file of an object name inside the listed folder, found whatever its letter case; a name
// that is not a plain file name goes to Skipped, a missing file to Failed (nullopt then).
std::optional<std::string> FindObject(const model::FolderFiles& folder, const std::string& name, SceneReport& r) {
    if (!track::IsPlainFileName(name)) {
        r.Skipped.push_back(name);
        return std::nullopt;
    }
    std::optional<std::string> found = folder.Find(name);
    if (!found) {
        r.Failed.push_back(name + ": not found");
    }
    return found;
}

void ShowReport(model::UserInterface& ui, const SceneReport& r) {
    if (r.Any()) {
        ui.ShowMessage(kTitle, SceneReportText(r), model::MessageIcon::Warning, model::MessageButtons::Ok);
    }
}

} // namespace

std::optional<track::SceneContents> ReadSceneFile(model::UserInterface& ui, const std::string& path) {
    const std::optional<std::string> text = model::ReadWholeFile(path);
    if (!text) {
        ui.ShowMessage(kTitle, "Can't read Scene File " + model::FileNameOf(path), model::MessageIcon::Warning,
                       model::MessageButtons::Ok);
        return std::nullopt;
    }
    return track::ParseScene(*text, track::SceneKindOf(path));
}

std::string SceneReportText(const SceneReport& r) {
    std::string out;
    const auto line = [&out](const std::string& text) {
        if (!out.empty()) {
            out += "\r";
        }
        out += text;
    };
    if (!r.Failed.empty()) {
        line("Not loaded (" + std::to_string(r.Failed.size()) + "):");
        for (std::size_t i = 0; i < r.Failed.size() && i < kListedNames; ++i) {
            line("  " + r.Failed[i]);
        }
        if (r.Failed.size() > kListedNames) {
            line("  ... and " + std::to_string(r.Failed.size() - kListedNames) + " more");
        }
    }
    if (!r.Skipped.empty()) {
        std::string names;
        AppendList(names, r.Skipped, ", ");
        line("Skipped, not a file name in the scene folder (" + std::to_string(r.Skipped.size()) + "): " + names);
    }
    if (r.ObjectsDropped > 0) {
        line(std::to_string(r.ObjectsDropped) + " objects beyond " + std::to_string(model::kMaxParts) +
             " parts were left out.");
    }
    if (r.CamerasDropped > 0) {
        line(std::to_string(r.CamerasDropped) + " cameras beyond " + std::to_string(track::kCameraCapacity) +
             " were left out.");
    }
    if (r.DummiesDropped > 0) {
        line(std::to_string(r.DummiesDropped) + " dummies beyond " + std::to_string(track::kDummyCapacity) +
             " were left out.");
    }
    return out;
}

edit::Change LoadScene(Workspace& ws, edit::Recorder& rec, const std::string& folder,
                       const track::SceneContents& scene, SceneReport* report) {
    model::ModelStore& m = ws.Model;
    const model::BusyPointer busy(ws.Ui);
    SceneReport r;
    using C = edit::Change;
    C changed;

    track::RecordCameras(rec, ws.Cameras);
    const auto cameras = std::min<std::size_t>(scene.Cameras.size(), track::kCameraCapacity);
    ws.Cameras.Pos.assign(scene.Cameras.begin(), scene.Cameras.begin() + static_cast<std::ptrdiff_t>(cameras));
    ws.Cameras.Read = true;
    r.CamerasDropped = static_cast<int>(scene.Cameras.size() - cameras);
    changed |= C::Cameras;

    if (!scene.Dummies.empty()) {
        track::RecordDummies(rec, ws.Dummies);
        for (const track::Dummy& d : scene.Dummies) {
            if (ws.Dummies.Count() >= track::kDummyCapacity) {
                ++r.DummiesDropped;
            } else {
                ws.Dummies.Items.push_back({d.Name, d.Pos, false});
            }
        }
        changed |= C::Dummies;
    }

    // A scene that names no object only places markers: the model stays as it is.
    if (!scene.Objects.empty()) {
        const int oldVertices = model::UsedVertices(m);
        const int oldPolygons = model::UsedPolygons(m);
        rec.Vertices(0, oldVertices);
        rec.Polygons(0, oldPolygons);
        rec.Parts();
        rec.Textures();
        // Always from an empty model: an object that fails must not leave the old model for
        // the others to merge into.
        EmptyModelKeepingHistory(ws);
        const std::size_t usable = std::min<std::size_t>(scene.Objects.size(), model::kMaxParts);
        r.ObjectsDropped = static_cast<int>(scene.Objects.size() - usable);
        model::UiRedirect gathered(ws.Relay);
        const model::FolderFiles files(folder); // one listing for every object
        for (std::size_t i = 0; i < usable; ++i) {
            const std::string& name = scene.Objects[i];
            const std::optional<std::string> path = FindObject(files, name, r);
            if (!path) {
                continue;
            }
            if (MergeVrl(ws, *path, VrlVariant::Scgt)) {
                ++r.Loaded;
            } else {
                r.Failed.push_back(FailureText(name, gathered.Take(), "not read"));
            }
            gathered.Take();
        }
        // Rows beyond the old model are taken as loaded: they were no part of it, and redo
        // needs them.
        if (m.VertCount > oldVertices) {
            rec.Vertices(oldVertices, m.VertCount);
        }
        if (m.PolyCount > oldPolygons) {
            rec.Polygons(oldPolygons, m.PolyCount);
        }
        model::UpdateTitleLine(m, ws.Ui);
        changed |= C::Geometry | C::Polygons | C::Selection | C::Parts | C::Textures | C::Counts;
    }
    ShowReport(ws.Ui, r);
    if (report != nullptr) {
        *report = std::move(r);
    }
    return changed;
}

SceneReport FixSceneObjects(model::UserInterface& ui, const config::Settings& settings, const std::string& folder,
                            const track::SceneContents& scene) {
    SceneReport r;
    const model::BusyPointer busy(ui);
    // A workspace of its own: the user's model is not touched.
    auto scratch = std::make_unique<Workspace>(ui);
    scratch->Settings = settings;
    scratch->Settings.LoadTexturesOnOpen = false; // the files are rewritten, never shown
    model::UiRedirect gathered(scratch->Relay);
    const model::FolderFiles files(folder);
    for (const std::string& name : scene.Objects) {
        const std::optional<std::string> path = FindObject(files, name, r);
        if (!path) {
            continue;
        }
        if (!OpenVrl(*scratch, *path, VrlVariant::Scgt)) {
            r.Failed.push_back(FailureText(name, gathered.Take(), "not read"));
            continue;
        }
        RunStep(*scratch, "Delete Unused Vertices",
                [&](edit::Recorder& rec) { return edit::DeleteUnusedVertices(scratch->Model, rec); });
        if (!SaveVrlModel(*scratch, *path, VrlVariant::Scgt)) {
            r.Failed.push_back(FailureText(name, gathered.Take(), "not written"));
            continue;
        }
        gathered.Take();
        ++r.Loaded;
    }
    ShowReport(ui, r);
    return r;
}

} // namespace zv::formats
