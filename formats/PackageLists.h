#pragma once
// Package lists: the files that make up a model, one name a line, written after the parts have
// been saved one file each. The same lists go to the clipboard.

#include "model/ModelStore.h"
#include "model/UserInterface.h"

#include <string>

namespace zv::formats {

// The file part g is saved as: its base name with ".VRL", in upper case ("" for no part g).
std::string PartFileName(const model::ModelStore& m, int g);

// Writes the parts list: the number of parts as " N ", then each part's file name, every line
// ended by CR LF. The old file is replaced only once the new one is complete. With no parts
// writes and shows nothing. On failure shows "Can't save parts .pck file" and keeps the old
// file. Returns whether the file was written.
bool WritePartsPck(const model::ModelStore& m, model::UserInterface& ui, const std::string& path);

// Writes the texture list: the texture count as " N ", then each texture name with ".BMP", every
// line ended by CR LF. On failure shows "Can't save Texture PCK File" and keeps the old file.
// Returns whether the file was written.
bool WriteTexturePck(const model::ModelStore& m, model::UserInterface& ui, const std::string& path);

// Clipboard text of the texture list: each texture name with ".BMP" and CR LF.
std::string TextureListClipboardText(const model::ModelStore& m);

// Clipboard text of the part list: the parts list file's text, count line included.
std::string PartListClipboardText(const model::ModelStore& m);

} // namespace zv::formats
