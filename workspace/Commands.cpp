#include "workspace/Commands.h"

#include "model/ModelInfo.h"

namespace zv {

edit::Change Undo(Workspace& ws) {
    return ws.History.Undo(ws.Model);
}

edit::Change Redo(Workspace& ws) {
    return ws.History.Redo(ws.Model);
}

std::string Caption(const Workspace& ws) {
    if (!ws.Model.HasModel()) {
        return model::ProductCaption();
    }
    return model::TitleLine(ws.Model, ws.History.IsModified());
}

} // namespace zv
