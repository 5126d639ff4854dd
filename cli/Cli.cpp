#include "cli/Cli.h"

#include "cli/ConsoleUi.h"
#include "cli/ModelJson.h"
#include "config/ConfigFile.h"
#include "formats/FileBytes.h"
#include "formats/VrlReader.h"
#include "model/ModelInfo.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

namespace zv::cli {
namespace {

constexpr const char* kUsage = "usage: zorvane-cli COMMAND [OPTIONS] FILE...\n"
                               "\n"
                               "commands:\n"
                               "  info   open a model (merging further files) and print its report\n"
                               "  dump   print the model store of one file as JSON\n"
                               "\n"
                               "Run 'zorvane-cli COMMAND --help' for a command's options.\n";

constexpr const char* kInfoUsage = "usage: zorvane-cli info [--format scgt|f1] FILE [FILE...]\n"
                                   "\n"
                                   "Opens the first FILE, merges the others in order, then prints the title\n"
                                   "line, the model information, the parts and the texture names.\n"
                                   "\n"
                                   "  --format scgt|f1   VRL variant of the files (default scgt)\n";

constexpr const char* kDumpUsage = "usage: zorvane-cli dump [--format scgt|f1] FILE\n"
                                   "\n"
                                   "Prints the vertices, polygons, texture names and parts of FILE as JSON.\n"
                                   "\n"
                                   "  --format scgt|f1   VRL variant of the file (default scgt)\n";

struct Options {
    formats::VrlVariant Variant = formats::VrlVariant::Scgt;
    std::vector<std::string> Files;
    bool Help = false;
};

struct UsageError {
    std::string Text;
};

std::optional<formats::VrlVariant> ParseVariant(const std::string& name) {
    if (name == "scgt") {
        return formats::VrlVariant::Scgt;
    }
    if (name == "f1") {
        return formats::VrlVariant::F1_2000;
    }
    return std::nullopt;
}

// Parses the options of a subcommand; throws UsageError.
Options ParseOptions(const std::vector<std::string>& args) {
    Options o;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            o.Help = true;
        } else if (a == "--format") {
            if (i + 1 >= args.size()) {
                throw UsageError{"--format needs a value (scgt or f1)"};
            }
            const auto v = ParseVariant(args[++i]);
            if (!v) {
                throw UsageError{"unknown format '" + args[i] + "' (use scgt or f1)"};
            }
            o.Variant = *v;
        } else if (a.size() > 1 && a[0] == '-') {
            throw UsageError{"unknown option '" + a + "'"};
        } else {
            o.Files.push_back(a);
        }
    }
    return o;
}

// A workspace with the console port and the configured settings (textures are not loaded).
struct Session {
    Session(std::ostream& err, const std::string& configPath) : Ui(err), Ws(Ui) {
        if (!configPath.empty() && formats::IsFile(configPath)) {
            config::LoadConfig(configPath, Ws.Settings, Ui, config::MissingFile::Quiet);
        }
        Ws.Settings.LoadTexturesOnOpen = false;
    }
    ConsoleUi Ui;
    Workspace Ws;
};

// Opens the first file and merges the rest; false after a failure, which has been reported.
bool LoadFiles(Session& s, const Options& o, std::ostream& err) {
    for (std::size_t i = 0; i < o.Files.size(); ++i) {
        const int before = s.Ui.MessageCount();
        const bool ok = i == 0 ? formats::OpenVrl(s.Ws, o.Files[i], o.Variant)
                               : formats::MergeVrl(s.Ws, o.Files[i], o.Variant);
        if (!ok) {
            if (s.Ui.MessageCount() == before) {
                err << "zorvane-cli: cannot read '" << o.Files[i] << "'\n";
            }
            return false;
        }
    }
    return true;
}

std::string CrToLf(std::string text) {
    std::replace(text.begin(), text.end(), '\r', '\n');
    return text;
}

void PrintInfo(Session& s, std::ostream& out) {
    model::ModelStore& m = s.Ws.Model;
    out << model::TitleLine(m) << '\n';
    out << CrToLf(model::ModelInfoText(m, s.Ws.Textures.TexLoadCount)) << '\n';
    out << "Parts: " << m.PartCount() << '\n';
    for (const model::PartNode& node : m.PartNodes) {
        out << node.Text << '\n';
    }
    out << "Textures: " << m.TexCount << '\n';
    for (int t = 0; t < m.TexCount; ++t) {
        out << m.TexName[t] << '\n';
    }
}

int RunInfo(const Options& o, const std::string& configPath, std::ostream& out, std::ostream& err) {
    if (o.Files.empty()) {
        throw UsageError{"info needs at least one FILE"};
    }
    auto s = std::make_unique<Session>(err, configPath);
    if (!LoadFiles(*s, o, err)) {
        return kFailed;
    }
    PrintInfo(*s, out);
    return kOk;
}

int RunDump(const Options& o, const std::string& configPath, std::ostream& out, std::ostream& err) {
    if (o.Files.size() != 1) {
        throw UsageError{"dump needs exactly one FILE"};
    }
    auto s = std::make_unique<Session>(err, configPath);
    if (!LoadFiles(*s, o, err)) {
        return kFailed;
    }
    out << ModelJson(s->Ws.Model) << '\n';
    return kOk;
}

struct Command {
    const char* Name;
    const char* Usage;
    std::function<int(const Options&, const std::string&, std::ostream&, std::ostream&)> Run;
};

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands{
        {"info", kInfoUsage, RunInfo},
        {"dump", kDumpUsage, RunDump},
    };
    return commands;
}

} // namespace

int RunCli(const std::vector<std::string>& args, const std::string& configPath, std::ostream& out,
           std::ostream& err) {
    if (args.empty()) {
        err << kUsage;
        return kBadUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        out << kUsage;
        return kOk;
    }
    const auto& commands = Commands();
    const auto cmd = std::find_if(commands.begin(), commands.end(),
                                  [&](const Command& c) { return args[0] == c.Name; });
    if (cmd == commands.end()) {
        err << "zorvane-cli: unknown command '" << args[0] << "'\n" << kUsage;
        return kBadUsage;
    }
    try {
        const Options o = ParseOptions(args);
        if (o.Help) {
            out << cmd->Usage;
            return kOk;
        }
        return cmd->Run(o, configPath, out, err);
    } catch (const UsageError& e) {
        err << "zorvane-cli " << cmd->Name << ": " << e.Text << "\n" << cmd->Usage;
        return kBadUsage;
    }
}

} // namespace zv::cli
