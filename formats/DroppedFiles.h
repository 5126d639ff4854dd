#pragma once
// Files dropped on a view, or named on the editor's command line: the first replaces the model,
// every later one is merged.

#include "formats/ModelFormat.h"
#include "workspace/Workspace.h"

#include <functional>
#include <string>
#include <vector>

namespace zv::formats {

// Runs a merge (merge() returns whether it succeeded) as one undoable step named "Merge": its
// parts, texture names, counts and the appended rows come back on undo. A failed merge is no
// step.
bool MergeAsStep(Workspace& ws, const std::function<bool()>& merge);

// The format a dropped file loads as: the table's choice for the file (".vrl" is a Sports Car
// GT model, an F1 2000 model when f1Vrl); null for a file of no format.
const ModelFormat* DroppedFormat(const std::string& path, bool f1Vrl);

struct LoadedFile {
    const ModelFormat* Format;
    std::string Path;
};

// Loads paths in order, each as its DroppedFormat; files of no format are skipped. The first
// position opens, later ones merge (also when the first was skipped); a later file of a format
// that cannot be merged is skipped. Returns the files that were loaded, in order.
std::vector<LoadedFile> LoadDroppedFiles(Workspace& ws, const std::vector<std::string>& paths, bool f1Vrl);

} // namespace zv::formats
