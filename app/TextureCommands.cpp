// The texture loading command of the Texture menu.

#include "app/FileDialogs.h"
#include "app/MainWindow.h"
#include "app/MenuCommands.h"
#include "app/QtText.h"
#include "textures/TextureLoader.h"

#include <QAction>

namespace zv::app {
namespace {

void LoadTextureCommand(MainWindow& w) {
    Workspace& ws = w.Ws();
    FileRequest request;
    request.Title = QStringLiteral("Load Texture");
    request.Filter = QStringLiteral("BMP Format|*.bmp|ART Format|*.raw");
    request.Start = ToQString(ws.Model.ModelDir);
    const QStringList chosen = ChooseFiles(&w, request);
    if (chosen.isEmpty()) {
        return; // cancelled
    }
    if (chosen.front().trimmed().isEmpty()) {
        ws.Ui.ShowMessage("I/O ERROR", "Texture Open Error", model::MessageIcon::Warning,
                          model::MessageButtons::Ok);
        return;
    }
    // A new texture name is a change to the model like any other: one step of the history, so an
    // undo of an earlier step cannot leave the texture lists and the count apart.
    const std::string path = ToCore(chosen.front());
    w.Run("Load Texture", [&](edit::Recorder& rec) {
        rec.Textures();
        const int before = ws.Model.TexCount;
        textures::AddTextureFile({ws.Model, ws.Textures, ws.Settings, ws.Ui}, path);
        return ws.Model.TexCount != before ? edit::Change(edit::Change::Textures | edit::Change::Counts)
                                           : edit::kNoChange;
    });
}

// The loaded textures as BMP files in the export folder beside the configuration file.
void ExportTexturesCommand(MainWindow& w) {
    Workspace& ws = w.Ws();
    const int written = textures::ExportTexturesAsBmp({ws.Model, ws.Textures, ws.Settings, ws.Ui},
                                                      textures::DefaultExportFolder(w.ConfigPath()));
    if (written >= 0) {
        ws.Ui.ShowProgress(std::to_string(written) + " textures saved.");
    }
}

} // namespace

void ConnectTextureCommands(MainWindow& w) {
    if (QAction* load = w.Item("mnuTex", 4)) {
        QObject::connect(load, &QAction::triggered, &w, [&w] { LoadTextureCommand(w); });
    }
    if (QAction* save = w.Item("mnuTex", 9)) {
        QObject::connect(save, &QAction::triggered, &w, [&w] { ExportTexturesCommand(w); });
    }
}

} // namespace zv::app
