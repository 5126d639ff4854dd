#pragma once
// `zorvane-cli aiw`: prints, converts and edits AIW waypoint files, and makes them from path
// files, through the same core operations as the editor's waypoint menu.

#include <ostream>
#include <string>
#include <vector>

namespace zv::cli {

// Runs `aiw` with args (args[0] is "aiw"); returns an exit status of Cli.h.
int RunAiw(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace zv::cli
