#pragma once
// Parts: named lists of polygons shown, hidden and saved together.

#include "model/ModelStore.h"
#include "model/UserInterface.h"

#include <string>

namespace zv::edit {

// "Obj001" .. "Obj099", "Obj100" ...
std::string DefaultPartName(int number);

// Creates a part from the selected polygons (the first 1280 in ascending order) and makes its
// node the selected one. Does nothing with 800 parts or with no selected polygon; an empty
// name gives the default name. Returns the new part's number, or 0 when none was made.
int AddPart(model::ModelStore& m, model::UserInterface& ui, const std::string& name);

// The name part g is saved under: its tree text up to the first blank (the whole text when it
// has none).
std::string PartBaseName(const model::ModelStore& m, int g);

// Removes every part; the caption becomes "Groups: 0".
void ClearParts(model::ModelStore& m, model::UserInterface& ui);

} // namespace zv::edit
