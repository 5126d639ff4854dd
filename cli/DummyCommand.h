#pragma once
// `zorvane-cli dummies`: dummy objects (named marker positions of a track scene) taken from a
// scene file, added, moved and deleted as the dummy window and the waypoint edit mode do, and
// written as a dummy scene file.

#include <ostream>
#include <string>
#include <vector>

namespace zv::cli {

// Runs `dummies` with args (args[0] is "dummies"); returns an exit status of Cli.h.
int RunDummies(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace zv::cli
