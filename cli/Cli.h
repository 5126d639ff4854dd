#pragma once
// The command-line tool: batch work on model files through the same core operations as the
// editor.

#include "edit/Change.h"

#include <ostream>
#include <string>
#include <vector>

namespace zv::cli {

// Exit statuses.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;   // a reported failure (the message was printed)
inline constexpr int kBadUsage = 2; // unknown option, missing argument

// Runs the tool with args (without the program name). configPath names the configuration file
// to read when it exists ("" for none); it is never written.
int RunCli(const std::vector<std::string>& args, const std::string& configPath, std::ostream& out,
           std::ostream& err);

// " geometry, selection" for what an operation changed, " nothing" when it changed nothing.
std::string ChangedNames(const edit::Change& changed);

} // namespace zv::cli
