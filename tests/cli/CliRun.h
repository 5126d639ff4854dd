#pragma once
// Runs the command-line tool in the test process and keeps what it printed.

#include "cli/Cli.h"

#include <sstream>
#include <string>
#include <vector>

namespace zv::cli {

inline const std::string kBox = ZV_SOURCE_DIR "/samples/box.vrl";

struct CliResult {
    int Status;
    std::string Out;
    std::string Err;
};

inline CliResult Cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunCli(args, "", out, err);
    return {status, out.str(), err.str()};
}

} // namespace zv::cli
