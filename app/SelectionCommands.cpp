// The selection items of the Vertex and Polygon menus.

#include "app/MainWindow.h"
#include "app/MenuCommands.h"
#include "edit/Selection.h"

#include <QAction>

namespace zv::app {
namespace {

using Command = void (*)(model::ModelStore&, model::UserInterface&);

void On(MainWindow& w, const std::string& menu, int index, Command command) {
    if (QAction* item = w.Item(menu, index)) {
        QObject::connect(item, &QAction::triggered, &w, [&w, command] {
            command(w.Ws().Model, w.Ws().Ui);
            w.RefreshAll();
        });
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
}

} // namespace zv::app
