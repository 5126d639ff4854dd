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

std::optional<SceneCommands::ChosenScene> SceneCommands::ChooseScene(const QString& filter) {
    Workspace& ws = w_.Ws();
    FileRequest request;
    request.Title = QStringLiteral("Open SCGT SCN-File");
    request.Filter = filter;
    request.Start = ToQString(ws.Settings.ScgtTrackPath);
    const std::optional<std::string> scene = ChooseOne(&w_, request);
    if (!scene) {
        return std::nullopt;
    }
    // Read before asking for the folder: an unreadable scene needs no folder.
    std::optional<track::SceneContents> contents = formats::ReadSceneFile(ws.Ui, *scene);
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
    Workspace& ws = w_.Ws();
    const std::optional<ChosenScene> chosen =
        ChooseScene(QStringLiteral("SCGT scn-Format|*.scn|Text Format|*.txt|PCK pck-Format|*.pck"));
    if (!chosen) {
        return;
    }
    w_.Run("Open Scene", [&](edit::Recorder& rec) {
        return formats::LoadScene(ws, rec, chosen->Folder, chosen->Contents);
    });
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
    return track::WritePartialScene(ws.Ui, ws.Model, group, ToCore(date), *path);
}

bool SceneCommands::SaveDummies() {
    Workspace& ws = w_.Ws();
    const std::optional<std::string> path = ChooseOne(&w_, SceneFileRequest(ws));
    if (!path) {
        return false;
    }
    ws.Model.ModelPath = *path;
    return track::WriteDummyScene(ws.Ui, ws.Dummies, *path);
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

} // namespace zv::app
