// zorvane-cli: the command-line front of the core.

#include "cli/Cli.h"
#include "config/ConfigFile.h"
#include "interchange/Interchange.h"
#include "model/Capacities.h"
#include "model/Paths.h"

#include <filesystem>
#include <iostream>
#include <string_view>

int main(int argc, char** argv) {
    zv::interchange::InstallFormats(); // the table of formats is fixed from its first use on
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << "zorvane-cli " << zv::model::kVersion << "\n";
        return 0;
    }
    std::error_code ec;
    const std::string exe = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    const std::string configPath = ec ? std::string() : zv::config::ConfigFilePath(zv::model::FolderOf(exe));
    const std::vector<std::string> args(argv + 1, argv + argc);
    return zv::cli::RunCli(args, configPath, std::cout, std::cerr);
}
