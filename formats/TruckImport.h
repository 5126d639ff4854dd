#pragma once
// Monster Truck Madness 2 trucks: a text file names the body, tire and axle models and gives the
// tire positions; the import assembles the truck from those BIN models.

#include "workspace/Workspace.h"

#include <string>

namespace zv::formats {

// Replaces the model with the truck described by the file at trkPath: the body, an axle under
// each pair of tires, the four tires and two drive shafts, each a part named after its file,
// all at the scale the body has when opened alone (see TruckImport.cpp for the convention). The
// pieces are found in the MTM2 model folder (the truck file's folder when none is set) whatever
// the letter case of their names. The edit history is cleared, as by an open. A path shorter
// than 5 characters does nothing. A missing truck file, key or piece file, a value that is not a
// number, a piece that cannot be read, a drive shaft of fewer than 12 vertices or a truck too
// large for the model shows one message naming it (title "Import MTM2 Truck") and leaves the
// model as it was. Returns true when the truck was built.
bool ImportTruck(Workspace& ws, const std::string& trkPath);

} // namespace zv::formats
