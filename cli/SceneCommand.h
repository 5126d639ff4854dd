#pragma once
// `zorvane-cli scene`: opens the objects a scene file or package list names into one model (with
// its cameras and dummies), and runs the scene VRL correction, through the same core operations
// as the editor's scene menu.

#include <ostream>
#include <string>
#include <vector>

namespace zv::cli {

// Runs `scene` with args (args[0] is "scene"); configPath as for RunCli. Returns an exit status
// of Cli.h.
int RunScene(const std::vector<std::string>& args, const std::string& configPath, std::ostream& out,
             std::ostream& err);

} // namespace zv::cli
