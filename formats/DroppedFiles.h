#pragma once
// Files dropped on a view, or named on the editor's command line: the first replaces the model,
// every later one is merged.

#include "workspace/Workspace.h"

#include <functional>
#include <string>
#include <vector>

namespace zv::formats {

// Loads paths in order. Each is classified by its last four characters, upper-cased: ".VRL" is
// a Sports Car GT model (an F1 2000 model when f1Vrl), ".BIN" an MTM2 model; others are
// skipped. The first position opens, later ones merge (also when the first was skipped).
// Returns the file name (after the last separator) of the last file that was loaded, "" if
// none was.
// Runs a merge (merge() returns whether it succeeded) as one undoable step named "Merge": its
// parts, texture names, counts and the appended rows come back on undo. A failed merge is no
// step.
bool MergeAsStep(Workspace& ws, const std::function<bool()>& merge);

std::string LoadDroppedFiles(Workspace& ws, const std::vector<std::string>& paths, bool f1Vrl);

} // namespace zv::formats
