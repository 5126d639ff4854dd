// The selection items of the Vertex and Polygon menus, and saving the selection.

#include "app/FileDialogs.h"
#include "app/MainWindow.h"
#include "app/MenuCommands.h"
#include "app/QtText.h"
#include "edit/Selection.h"
#include "formats/VrlWriter.h"

#include <QAction>

namespace zv::app {
namespace {

using Command = edit::Change (*)(model::ModelStore&, model::UserInterface&);

void On(MainWindow& w, const std::string& menu, int index, Command command) {
    if (QAction* item = w.Item(menu, index)) {
        QObject::connect(item, &QAction::triggered, &w,
                         [&w, command] { w.Apply(command(w.Ws().Model, w.Ws().Ui)); });
    }
}

} // namespace

void ConnectSelectionCommands(MainWindow& w) {
    On(w, "mnuVertex", 6, &edit::SelectAllVertices);
    On(w, "mnuVertex", 7, &edit::DeselectAllVertices);
    On(w, "mnuVertex", 8, &edit::InvertVertexSelection);
    On(w, "mnuFace", 13, &edit::SelectAllPolys);
    On(w, "mnuFace", 14, &edit::DeselectAllPolys);
    On(w, "mnuFace", 17, &edit::SelectBendedQuads);
    On(w, "mnuFace", 18, &edit::InvertPolySelection);
    if (QAction* save = w.Item("mnuFace", 0)) {
        QObject::connect(save, &QAction::triggered, &w, [&w] {
            Workspace& ws = w.Ws();
            FileRequest request;
            request.Save = true;
            request.Title = QStringLiteral("Save selection as SCGT-Model");
            request.Filter = QStringLiteral("Cube Vrl-Format|*.vrl");
            request.Start =
                ToQString(ws.Model.ModelPath.empty() ? ws.Settings.ScgtModelPath : ws.Model.ModelPath);
            const QStringList chosen = ChooseFiles(&w, request);
            if (!chosen.isEmpty()) {
                ws.Model.ModelPath = ToCore(chosen.front());
                formats::WriteVrl(ws, ws.Model.ModelPath, formats::VrlVariant::Scgt);
                w.Apply(edit::Change::Selection); // the writer selects the corner vertices
            }
        });
    }
}

} // namespace zv::app
