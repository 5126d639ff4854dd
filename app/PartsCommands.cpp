// The Parts menu of the main window.

#include "app/FileDialogs.h"
#include "app/MainWindow.h"
#include "app/MenuCommands.h"
#include "app/PartsWindow.h"
#include "app/QtText.h"
#include "edit/Parts.h"
#include "formats/VrlWriter.h"

#include <QAction>

namespace zv::app {
namespace {

void SaveAllPartsCommand(MainWindow& w, formats::VrlVariant variant) {
    Workspace& ws = w.Ws();
    FileRequest request;
    request.Save = true;
    request.Title = QStringLiteral("Save all parts (select folder - click on any file)");
    request.Filter = QStringLiteral("All files|*.*");
    request.Start = ToQString(ws.Model.ModelPath);
    const QStringList chosen = ChooseFiles(&w, request);
    if (chosen.isEmpty()) {
        return;
    }
    ws.Model.ModelPath = ToCore(chosen.front());
    formats::SaveAllParts(ws, ws.Model.ModelPath, variant);
    w.Apply(edit::Change::Selection); // the writer selects each part in turn
}

void RenamePartsCommand(MainWindow& w) {
    Workspace& ws = w.Ws();
    const edit::Change renamed = w.Run("Rename Parts", [&](edit::Recorder& rec) {
        rec.Parts();
        return edit::RenameParts(ws.Model, ws.Ui) ? edit::Change(edit::Change::Parts) : edit::kNoChange;
    });
    if (renamed.Any()) {
        if (PartsWindow* form = FindPartsWindow(w)) {
            form->ReloadTree();
        }
    }
}

} // namespace

void ConnectMenuAreas(MainWindow& w) {
    ConnectPartsWindow(w);
    ConnectPartsCommands(w);
    ConnectSpecialCommands(w);
    ConnectTextureCommands(w);
    ConnectHelpWindows(w);
}

void ConnectPartsCommands(MainWindow& w) {
    if (QAction* scgt = w.Item("mnuParts", 0)) {
        QObject::connect(scgt, &QAction::triggered, &w,
                         [&w] { SaveAllPartsCommand(w, formats::VrlVariant::Scgt); });
    }
    if (QAction* f1 = w.Item("mnuParts", 1)) {
        QObject::connect(f1, &QAction::triggered, &w,
                         [&w] { SaveAllPartsCommand(w, formats::VrlVariant::F1_2000); });
    }
    if (QAction* rename = w.Item("mnuParts", 5)) {
        QObject::connect(rename, &QAction::triggered, &w, [&w] { RenamePartsCommand(w); });
    }
}

} // namespace zv::app
