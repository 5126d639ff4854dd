#include "cli/SceneCommand.h"

#include "cli/Cli.h"
#include "cli/ConsoleUi.h"
#include "config/ConfigFile.h"
#include "formats/FileBytes.h"
#include "formats/SceneLoader.h"
#include "formats/VrlWriter.h"
#include "model/TextFile.h"
#include "track/Dummies.h"
#include "track/SceneFile.h"
#include "workspace/Commands.h"
#include "workspace/Workspace.h"

#include <filesystem>
#include <memory>
#include <optional>

namespace zv::cli {
namespace {

constexpr const char* kSceneUsage =
    "usage: zorvane-cli scene read [--pck] --folder DIR SCENE [--vrl OUT.vrl] [--dummies OUT.txt]\n"
    "       zorvane-cli scene fix [--pck] --folder DIR SCENE\n"
    "\n"
    "SCENE is a scene file (.scn or text: its instances, cameras and dummies) or a package list\n"
    "(.pck: its lines naming .VRL files). The objects are looked for in DIR whatever their letter\n"
    "case; names that are not plain file names in DIR are skipped.\n"
    "\n"
    "  read   open every object into one model, a part per object, as \"Open Scene\" does, and\n"
    "         print the objects loaded, the cameras, the dummies and what could not be loaded\n"
    "  fix    read every object as a Sports Car GT VRL, drop the vertices no polygon uses and\n"
    "         write it back over its file; print how many files were rewritten\n"
    "\n"
    "  --pck            read SCENE as a package list whatever its extension\n"
    "  --folder DIR     the folder of the objects\n"
    "  --vrl OUT        save the whole model as the Sports Car GT VRL OUT\n"
    "  --dummies OUT    write the dummies as a dummy scene file OUT\n"
    "\n"
    "Exit status 1 when an object could not be loaded or rewritten, was skipped or left out\n"
    "beyond a table's capacity, or when an output could not be written.\n";

struct UsageError {
    std::string Text;
};

struct Arguments {
    bool PackageList = false;
    std::string Folder;
    std::string Vrl;
    std::string Dummies;
    std::vector<std::string> Files;
    bool Help = false;
};

Arguments ParseArguments(const std::string& sub, const std::vector<std::string>& args) {
    Arguments a;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& s = args[i];
        std::string* value = s == "--folder"                     ? &a.Folder
                             : s == "--vrl" && sub == "read"     ? &a.Vrl
                             : s == "--dummies" && sub == "read" ? &a.Dummies
                                                                 : nullptr;
        if (value != nullptr) {
            if (i + 1 >= args.size()) {
                throw UsageError{s + " needs a value"};
            }
            *value = args[++i];
        } else if (s == "--help" || s == "-h") {
            a.Help = true;
        } else if (s == "--pck") {
            a.PackageList = true;
        } else if (s.size() > 1 && s[0] == '-') {
            throw UsageError{"unknown option '" + s + "'"};
        } else {
            a.Files.push_back(s);
        }
    }
    if (!a.Help && a.Folder.empty()) {
        throw UsageError{sub + " needs --folder DIR"};
    }
    if (!a.Help && a.Files.size() != 1) {
        throw UsageError{sub + " needs exactly one SCENE"};
    }
    return a;
}

// The console port that can hold back the closing "Scene" message of a load or a correction:
// the summary on the output carries the same report, and printing it twice would only confuse
// a script.
class SceneUi : public ConsoleUi {
public:
    using ConsoleUi::ConsoleUi;
    bool HoldReport = false;
    model::MessageAnswer ShowMessage(std::string_view title, std::string_view text, model::MessageIcon icon,
                                     model::MessageButtons buttons) override {
        if (HoldReport && title == "Scene") {
            return model::MessageAnswer::Ok;
        }
        return ConsoleUi::ShowMessage(title, text, icon, buttons);
    }
};

// Reads the scene as the given kind; nullopt after a printed failure.
std::optional<track::SceneContents> Read(SceneUi& ui, const Arguments& a, std::ostream& err) {
    const std::string& path = a.Files[0];
    if (!a.PackageList) {
        return formats::ReadSceneFile(ui, path);
    }
    const std::optional<std::string> text = model::ReadWholeFile(path);
    if (!text) {
        err << "zorvane-cli scene: cannot read '" << path << "'\n";
        return std::nullopt;
    }
    return track::ParseScene(*text, track::SceneKind::PackageList);
}

void PrintReport(const formats::SceneReport& r, std::ostream& out) {
    const std::string text = formats::SceneReportText(r);
    if (text.empty()) {
        return;
    }
    for (char c : text) {
        out << (c == '\r' ? '\n' : c); // message texts break lines with CR
    }
    out << (text.back() == '\n' || text.back() == '\r' ? "" : "\n");
}

int ReadScene(Workspace& ws, SceneUi& ui, const Arguments& a, const track::SceneContents& scene,
              std::ostream& out) {
    formats::SceneReport report;
    ui.HoldReport = true;
    RunStep(ws, "Open Scene",
            [&](edit::Recorder& rec) { return formats::LoadScene(ws, rec, a.Folder, scene, &report); });
    ui.HoldReport = false;
    out << "Objects loaded: " << report.Loaded << " of " << scene.Objects.size() << '\n'
        << "Cameras: " << ws.Cameras.Pos.size() << '\n'
        << "Dummies: " << ws.Dummies.Count() << '\n';
    PrintReport(report, out);
    bool ok = !report.Any();
    if (!a.Vrl.empty()) {
        ok = formats::SaveVrlModel(ws, a.Vrl, formats::VrlVariant::Scgt) && ok;
    }
    if (!a.Dummies.empty()) {
        ok = track::WriteDummyScene(ui, ws.Dummies, a.Dummies) && ok;
    }
    return ok ? kOk : kFailed;
}

int FixScene(Workspace& ws, SceneUi& ui, const Arguments& a, const track::SceneContents& scene,
             std::ostream& out) {
    ui.HoldReport = true;
    const formats::SceneReport report = formats::FixSceneObjects(ui, ws.Settings, a.Folder, scene);
    ui.HoldReport = false;
    out << "Files rewritten: " << report.Loaded << " of " << scene.Objects.size() << '\n';
    PrintReport(report, out);
    return report.Failed.empty() && report.Skipped.empty() ? kOk : kFailed;
}

int Run(const std::string& sub, const Arguments& a, const std::string& configPath, std::ostream& out,
        std::ostream& err) {
    std::error_code ec;
    if (!std::filesystem::is_directory(a.Folder, ec)) {
        err << "zorvane-cli scene: '" << a.Folder << "' is not a folder\n";
        return kFailed;
    }
    auto ui = std::make_unique<SceneUi>(err);
    auto ws = std::make_unique<Workspace>(*ui);
    if (!configPath.empty() && formats::IsFile(configPath)) {
        config::LoadConfig(configPath, ws->Settings, *ui, config::MissingFile::Quiet);
    }
    ws->Settings.LoadTexturesOnOpen = false;
    const std::optional<track::SceneContents> scene = Read(*ui, a, err);
    if (!scene) {
        return kFailed;
    }
    return sub == "read" ? ReadScene(*ws, *ui, a, *scene, out) : FixScene(*ws, *ui, a, *scene, out);
}

} // namespace

int RunScene(const std::vector<std::string>& args, const std::string& configPath, std::ostream& out,
             std::ostream& err) {
    const std::string sub = args.size() > 1 ? args[1] : "";
    if (sub == "--help" || sub == "-h") {
        out << kSceneUsage;
        return kOk;
    }
    try {
        if (sub != "read" && sub != "fix") {
            throw UsageError{sub.empty() ? "missing subcommand" : "unknown subcommand '" + sub + "'"};
        }
        const Arguments a = ParseArguments(sub, args);
        if (a.Help) {
            out << kSceneUsage;
            return kOk;
        }
        return Run(sub, a, configPath, out, err);
    } catch (const UsageError& e) {
        err << "zorvane-cli scene: " << e.Text << "\n" << kSceneUsage;
        return kBadUsage;
    }
}

} // namespace zv::cli
