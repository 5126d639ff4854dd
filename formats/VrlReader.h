#pragma once
// Reading VRL models of both variants: open (replaces the model) and merge (appends to it).

#include "formats/VrlLayout.h"
#include "workspace/Workspace.h"

#include <string>

namespace zv::formats {

struct DecodeJob;

// The decoders of the table's VRL entries (the shared open, formats/ModelFormat.h).
void DecodeScgtVrl(DecodeJob& job);
void DecodeF1Vrl(DecodeJob& job);

// Opens the VRL file at path through the shared open of the table of model formats. A path shorter than 5 characters does nothing; a missing file
// shows "Vrl-File not found" and leaves the model as it was. A damaged file shows
// "  Vrl open error" with the 1-based position of the fault in hexadecimal and leaves an empty
// model without parts. Returns true when the model was read.
bool OpenVrl(Workspace& ws, const std::string& path, VrlVariant variant);

// Merges the VRL file at path into the model. Does nothing without a model or with a path
// shorter than 5 characters; a damaged file shows "  Vrl merge error" (SCGT) or
// "F1 2000 Vrl merge error" and leaves the counts as they were before the merge.
bool MergeVrl(Workspace& ws, const std::string& path, VrlVariant variant);

} // namespace zv::formats
