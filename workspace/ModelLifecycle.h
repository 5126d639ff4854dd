#pragma once
// The steps every loader shares: the empty model, the start of an open or a merge, and the
// tail of a load.

#include "textures/TextureLoader.h"
#include "workspace/Workspace.h"

#include <span>
#include <string>

namespace zv {

// Which files a model's textures come from: BMP pictures (VRL models and the importers) or RAW
// images with palettes (MTM2 BIN models).
enum class TextureFiles { Bmp, Raw };

// The workspace's parts that the texture loaders work on.
textures::TextureScope TexturesOf(Workspace& ws);

// The no-model state (the edit history is cleared too): counts -1, cursors none, selection, texture lists,
// parts and textures cleared, caption "Zorvane v0.681".
void NewModel(Workspace& ws);

// Start of an open: empty model (counts 0), texture lists cleared, edit history cleared.
void BeginOpen(Workspace& ws);

// An empty model (counts 0, no parts, nothing selected, no textures) that keeps the edit
// history: the start of a load that is itself one step (a scene).
void EmptyModelKeepingHistory(Workspace& ws);

// Start of a merge: remembers the bases and clears the selection. Returns false, doing
// nothing, when there is no model.
bool BeginMerge(Workspace& ws);

// Tail of an open: parts cleared, folder and file name taken from the path, every polygon
// selected and shown, one part named after the file, textures 0 .. TexCount-1 loaded.
void FinishOpen(Workspace& ws, const std::string& path, TextureFiles files = TextureFiles::Bmp);

// A run of polygons that becomes a part named Name.
struct PartRun {
    std::string Name;
    int First = 0;
    int Count = 0;
};

// Tail of an open whose file names its objects: as FinishOpen, but one part per run (a run
// longer than a part holds becomes several parts of its name, as many as the part table takes);
// without runs, the one part named after the file.
void FinishOpenWithParts(Workspace& ws, const std::string& path, std::span<const PartRun> runs,
                         TextureFiles files = TextureFiles::Bmp);

// Tail of a merge: folder and file name taken from the path, the appended textures loaded,
// the merged polygons selected and shown and made into a part named after the file.
void FinishMerge(Workspace& ws, const std::string& path, TextureFiles files = TextureFiles::Bmp);

// The state of a failed open: an empty model with no parts.
void ResetAfterFailedOpen(Workspace& ws);

// Fills the texture table for textures first .. TexCount-1 and appends one list entry each.
// With "Load Textures when Loading Models" on, each is loaded from its files; otherwise, and
// after a failed load, its entry is {name, 4, 4, -1} ("Nl: " before the name in the lists when
// loading is off). A failed load never stops the others.
void LoadModelTextures(Workspace& ws, int first, TextureFiles files);

// The texture lists anew from the texture table's entries 0 .. TexCount - 1 (after an undo or
// redo or the track generator changed the texture names). An entry whose name is no longer the
// model's becomes a texture not loaded ("Nl: " NAME, the default image in the renderer).
void RebuildTextureLists(Workspace& ws);

} // namespace zv
