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
    textures::AddTextureFile({ws.Model, ws.Textures, ws.Settings, ws.Ui}, ToCore(chosen.front()));
    w.RefreshAll();
}

} // namespace

void ConnectTextureCommands(MainWindow& w) {
    if (QAction* load = w.Item("mnuTex", 4)) {
        QObject::connect(load, &QAction::triggered, &w, [&w] { LoadTextureCommand(w); });
    }
}

} // namespace zv::app
