#pragma once
// A user interface that shows nothing, for benchmarks and tests that only look at the model.

#include "model/UserInterface.h"

namespace zv::test {

using SilentUi = model::QuietUserInterface;

} // namespace zv::test
