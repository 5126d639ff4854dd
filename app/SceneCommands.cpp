#include "app/SceneCommands.h"

#include "app/FileDialogs.h"
#include "app/MainWindow.h"
#include "app/QtText.h"
#include "edit/Parts.h"
#include "formats/SceneLoader.h"
#include "track/Dummies.h"
#include "track/SceneFile.h"

#include <QAction>
#include <QDate>
#include <QFileInfo>
#include <QLocale>

namespace zv::app {
namespace {

constexpr const char* kMenu = "mnuScene";

enum Item { kOpen = 0, kSaveAs = 1, kSaveDummies = 2, kHideChecks = 6 };
constexpr int kFixObjects = 0; // in mnuSpecial, hidden

FileRequest SceneFileRequest(const Workspace& ws) {
    FileRequest request;
    request.Save = true; // asks before overwriting
    request.Title = QStringLiteral("Save Scene file");
    request.Filter = QStringLiteral("Txt-Format|*.txt");
    request.Start = ToQString(ws.Settings.ScgtTrackPath);
    return request;
}

} // namespace

SceneCommands::SceneCommands(MainWindow& w) : QObject(&w), w_(w) {
    setObjectName(QStringLiteral("SceneCommands"));
    const auto connectItem = [this, &w](const char* menu, int index, auto command) {
        if (QAction* item = w.Item(menu, index)) {
            connect(item, &QAction::triggered, this, [this, command] { (this->*command)(); });
        }
    };
    connectItem(kMenu, kOpen, &SceneCommands::Open);
    connectItem(kMenu, kSaveAs, &SceneCommands::SavePartial);
    connectItem(kMenu, kSaveDummies, &SceneCommands::SaveDummies);
    connectItem("mnuSpecial", kFixObjects, &SceneCommands::FixObjects);
    if (QAction* hide = w.Item(kMenu, kHideChecks)) {
        connect(hide, &QAction::toggled, this, [this](bool on) { HideCheckParts(on); });
    }
}

std::optional<std::string> SceneCommands::ChooseTrackFolder() {
    Workspace& ws = w_.Ws();
    FileRequest request;
    request.Title = QStringLiteral("Select track folder (click on any file)");
    request.Filter = QStringLiteral("All files|*.*");
    request.Start = ToQString(ws.Settings.ScgtScenePath);
    const std::optional<std::string> clicked = ChooseOne(&w_, request);
    if (!clicked) {
        return std::nullopt;
    }
    ws.Settings.ScgtScenePath = ToCore(QFileInfo(ToQString(*clicked)).absolutePath());
    return ws.Settings.ScgtScenePath;
}

std::optional<std::string> SceneCommands::ChooseSceneFile(const QString& filter) {
    FileRequest request;
    request.Title = QStringLiteral("Open SCGT SCN-File");
    request.Filter = filter;
    request.Start = ToQString(w_.Ws().Settings.ScgtTrackPath);
    return ChooseOne(&w_, request);
}

std::optional<SceneCommands::ChosenScene> SceneCommands::ChooseScene(const QString& filter) {
    const std::optional<std::string> scene = ChooseSceneFile(filter);
    return scene ? ReadScene(*scene) : std::nullopt;
}

std::optional<SceneCommands::ChosenScene> SceneCommands::ReadScene(const std::string& scenePath) {
    // Read before asking for the folder: an unreadable scene needs no folder.
    std::optional<track::SceneContents> contents = formats::ReadSceneFile(w_.Ws().Ui, scenePath);
    if (!contents) {
        return std::nullopt;
    }
    std::optional<std::string> folder = ChooseTrackFolder();
    if (!folder) {
        return std::nullopt;
    }
    return ChosenScene{std::move(*contents), std::move(*folder)};
}

void SceneCommands::Open() {
    if (const std::optional<std::string> scene =
            ChooseSceneFile(QStringLiteral("SCGT scn-Format|*.scn|Text Format|*.txt|PCK pck-Format|*.pck"))) {
        OpenFile(*scene);
    }
}

void SceneCommands::OpenFile(const std::string& scenePath) {
    Workspace& ws = w_.Ws();
    const std::optional<ChosenScene> chosen = ReadScene(scenePath);
    if (!chosen) {
        return;
    }
    // The scene's dummies are added; only into an empty, saved table are they what a file holds.
    const bool fresh = ws.Dummies.Count() == 0 && !ws.History.IsModified(&ws.Dummies);
    w_.Run("Open Scene", [&](edit::Recorder& rec) {
        return formats::LoadScene(ws, rec, chosen->Folder, chosen->Contents);
    });
    w_.NoteRecent("scene", scenePath);
    if (fresh) {
        ws.History.MarkClean(&ws.Dummies);
        w_.UpdateCaption();
    }
}

bool SceneCommands::SavePartial() {
    Workspace& ws = w_.Ws();
    const model::MessageAnswer road =
        ws.Ui.ShowMessage("Select object type to use", "Save as road ?\r\n(no for other)",
                          model::MessageIcon::Question, model::MessageButtons::YesNo);
    const track::SceneGroup group =
        road == model::MessageAnswer::Yes ? track::SceneGroup::Road : track::SceneGroup::Side;
    const std::optional<std::string> path = ChooseOne(&w_, SceneFileRequest(ws));
    if (!path) {
        return false;
    }
    ws.Model.ModelPath = *path;
    const QString date = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
    if (!track::WritePartialScene(ws.Ui, ws.Model, group, ToCore(date), *path)) {
        return false;
    }
    w_.NoteRecent("scene", *path);
    return true;
}

bool SceneCommands::SaveDummies() {
    Workspace& ws = w_.Ws();
    const std::optional<std::string> path = ChooseOne(&w_, SceneFileRequest(ws));
    if (!path) {
        return false;
    }
    ws.Model.ModelPath = *path;
    if (!track::WriteDummyScene(ws.Ui, ws.Dummies, *path)) {
        return false;
    }
    ws.History.MarkClean(&ws.Dummies);
    w_.UpdateCaption();
    w_.NoteRecent("scene", *path);
    return true;
}

void SceneCommands::HideCheckParts(bool hide) {
    Workspace& ws = w_.Ws();
    if (edit::ShowCheckParts(ws.Model, ws.Ui, !hide)) {
        // Shown bits only, as the parts window's tick boxes change them: no step.
        w_.Apply(edit::Change::Parts | edit::Change::Polygons);
    }
}

void SceneCommands::FixObjects() {
    Workspace& ws = w_.Ws();
    if (const std::optional<ChosenScene> chosen = ChooseScene(QStringLiteral("Sports Car GT scn-Format|*.scn"))) {
        formats::FixSceneObjects(ws.Ui, ws.Settings, chosen->Folder, chosen->Contents);
    }
}

SceneCommands* FindSceneCommands(MainWindow& w) {
    return dynamic_cast<SceneCommands*>(
        w.findChild<QObject*>(QStringLiteral("SceneCommands"), Qt::FindDirectChildrenOnly));
}

} // namespace zv::app
