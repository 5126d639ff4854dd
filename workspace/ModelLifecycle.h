#pragma once
// The steps every loader shares: the empty model, the start of an open or a merge, and the
// tail of a load.

#include "workspace/Workspace.h"

#include <string>

namespace zv {

// The no-model state: counts -1, cursors none, selection, texture lists, parts and textures
// cleared, caption "Zorvane v0.681".
void NewModel(Workspace& ws);

// Start of an open: empty model (counts 0), texture lists cleared.
void BeginOpen(Workspace& ws);

// Start of a merge: remembers the bases and clears the selection. Returns false, doing
// nothing, when there is no model.
bool BeginMerge(Workspace& ws);

// Tail of an open: parts cleared, folder and file name taken from the path, every polygon
// selected and shown, one part named after the file, textures 0 .. TexCount-1 loaded.
void FinishOpen(Workspace& ws, const std::string& path);

// Tail of a merge: folder and file name taken from the path, the appended textures loaded,
// the merged polygons selected and shown and made into a part named after the file.
void FinishMerge(Workspace& ws, const std::string& path);

// The state of a failed open: an empty model with no parts.
void ResetAfterFailedOpen(Workspace& ws);

// Fills the texture table for textures first .. TexCount-1 and appends their list entries.
void LoadModelTextures(Workspace& ws, int first);

} // namespace zv
