#pragma once
// Running an operation as one step of the edit history, and undo and redo, for every front end.

#include "edit/Change.h"
#include "edit/History.h"
#include "workspace/Workspace.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zv {

// Runs op(recorder) as one step named name and returns what it changed. A step that declared
// nothing (a refused command, a pure selection change) leaves the history as it was. Steps
// with the same collation key collate (a drag, a run of nudge keys).
template <class Op>
edit::Change RunStep(Workspace& ws, std::string name, Op&& op, edit::CollateKey key = {}) {
    edit::Recorder rec = ws.History.Begin(ws.Model, std::move(name), std::move(key));
    const edit::Change changed = std::forward<Op>(op)(rec);
    ws.History.End(changed);
    return changed;
}

// Undo and redo of the latest step; what changed (nothing when there is no step).
edit::Change Undo(Workspace& ws);
edit::Change Redo(Workspace& ws);

// The documents besides the model, each saved to a file of its own.
enum class Document { Waypoints, Path, Dummies };

// The documents that differ from the file they were opened from or saved to, in this order;
// an empty path or dummy table has nothing to save and is not listed.
std::vector<Document> UnsavedDocuments(const Workspace& ws);

// "waypoints", "path", "dummies".
std::string_view DocumentName(Document d);

// The window caption: the title line with "*" after the file name while the model differs
// from the one opened or saved, or the product caption without a model; then the unsaved
// documents, "    [ waypoints*, path* ]".
std::string Caption(const Workspace& ws);

} // namespace zv
