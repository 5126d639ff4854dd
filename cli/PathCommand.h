#pragma once
// `zorvane-cli path`: prints and converts path files (the centre line of a track), takes a
// path from the AI line of an AIW file and draws one with the track builder's steps, through
// the same core operations as the editor.

#include <ostream>
#include <string>
#include <vector>

namespace zv::cli {

// Runs `path` with args (args[0] is "path"); returns an exit status of Cli.h.
int RunPath(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace zv::cli
