#pragma once
// `zorvane-cli track`: builds the track model along a path file, as the track builder's
// "Create" does, and saves it as a model file (and its parts as VRL files).

#include <ostream>
#include <string>
#include <vector>

namespace zv::cli {

// Runs `track` with args (args[0] is "track"); configPath as for RunCli. Returns an exit status
// of Cli.h.
int RunTrack(const std::vector<std::string>& args, const std::string& configPath, std::ostream& out,
             std::ostream& err);

} // namespace zv::cli
