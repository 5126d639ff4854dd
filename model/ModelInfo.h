#pragma once
// The read-outs of the model: title line, extents and the model information report.

#include "model/ModelStore.h"
#include "model/UserInterface.h"

#include <string>

namespace zv::model {

// "ZV0.681 [ name ]    v: N  p: N"; with modified, "*" follows the name.
std::string TitleLine(const ModelStore& m, bool modified = false);
// Sets the window caption to the title line.
void UpdateTitleLine(const ModelStore& m, UserInterface& ui);
// The product caption shown when there is no model: "Zorvane v0.681".
std::string ProductCaption();

// Fills the extents from the vertices, starting from vertex 0 (its slot is read even for an
// empty model, as the table always holds it).
void CalcExtents(ModelStore& m);
// The report text, lines separated by CR only. Runs CalcExtents.
std::string ModelInfoText(ModelStore& m, int texLoadCount);
// Shows the report in a message box titled "Model Info".
void ShowModelInfo(ModelStore& m, int texLoadCount, UserInterface& ui);

} // namespace zv::model
