#pragma once
// BIN models: open (replaces the model), merge (appends to it) and write (the whole model),
// together with the ".bin.info" part list that carries the parts a BIN file cannot hold.

#include "workspace/Workspace.h"

#include <string>

namespace zv::formats {

// Opens the BIN file at path and then its part list. A path shorter than 5 characters does
// nothing; a missing file shows "Bin-File not found" and leaves the model as it was. A damaged
// file shows "  bin_open ERROR" with the 1-based position of the fault in hexadecimal; the
// model then holds the vertices and the complete polygons read before the fault. A damaged
// part list is read up to its first bad line and is not an error. Returns true when the whole
// file was read.
bool OpenBin(Workspace& ws, const std::string& path);

// Appends the BIN file at path to the model and makes the merged polygons a part named after
// the file. Does nothing without a model or with a path shorter than 5 characters; a damaged
// file shows "  bin_open ERROR" and leaves the counts as they were. Returns true on success.
bool MergeBin(Workspace& ws, const std::string& path);

// Writes the whole model as a BIN file at path, then its part list. Recomputes every polygon
// normal and cuts polygons of more than 4 corners to their first 4 in the model. Refuses,
// showing "  Bin Save Error" and writing nothing, when the model holds something a BIN file
// cannot store (named in the message); a failed save shows the failing file position, leaves
// the old file and the model's corner counts as they were. Returns true when the model and its
// part list were written.
bool WriteBin(Workspace& ws, const std::string& path);

} // namespace zv::formats
