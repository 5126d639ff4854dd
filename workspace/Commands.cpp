#include "workspace/Commands.h"

#include "model/ModelInfo.h"

namespace zv {

edit::Change Undo(Workspace& ws) {
    return ws.History.Undo(ws.Model);
}

edit::Change Redo(Workspace& ws) {
    return ws.History.Redo(ws.Model);
}

std::vector<Document> UnsavedDocuments(const Workspace& ws) {
    std::vector<Document> unsaved;
    if (ws.History.IsModified(&ws.Waypoints)) {
        unsaved.push_back(Document::Waypoints);
    }
    if (ws.Path.Count() > 0 && ws.History.IsModified(&ws.Path)) {
        unsaved.push_back(Document::Path);
    }
    if (ws.Dummies.Count() > 0 && ws.History.IsModified(&ws.Dummies)) {
        unsaved.push_back(Document::Dummies);
    }
    return unsaved;
}

std::string_view DocumentName(Document d) {
    switch (d) {
    case Document::Waypoints:
        return "waypoints";
    case Document::Path:
        return "path";
    case Document::Dummies:
        return "dummies";
    }
    return "";
}

std::string Caption(const Workspace& ws) {
    std::string caption = ws.Model.HasModel() ? model::TitleLine(ws.Model, ws.History.IsModified())
                                              : model::ProductCaption();
    const std::vector<Document> unsaved = UnsavedDocuments(ws);
    for (std::size_t i = 0; i < unsaved.size(); ++i) {
        caption += i == 0 ? "    [ " : ", ";
        caption += DocumentName(unsaved[i]);
        caption += i + 1 == unsaved.size() ? "* ]" : "*";
    }
    return caption;
}

} // namespace zv
