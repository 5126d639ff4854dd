#pragma once
// `zorvane-cli path`: prints and converts path files (the centre line of a track), takes a
// path from the AI line of an AIW file and draws one with the track builder's steps, through
// the same core operations as the editor.

#include "cli/ConsoleUi.h"
#include "track/Path.h"

#include <ostream>
#include <span>
#include <string>
#include <vector>

namespace zv::cli {

// Appends the points of each path file in order to p, outside any history (as the Path menu's
// "Open" does); false after the first reported failure (also a path too full for the rest).
bool ReadPathFiles(ConsoleUi& ui, track::PathTable& p, std::span<const std::string> files);

// Runs `path` with args (args[0] is "path"); returns an exit status of Cli.h.
int RunPath(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace zv::cli
