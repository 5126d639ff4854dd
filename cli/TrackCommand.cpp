#include "cli/TrackCommand.h"

#include "cli/Cli.h"
#include "cli/ConsoleUi.h"
#include "cli/PathCommand.h"
#include "config/ConfigFile.h"
#include "formats/BinFormat.h"
#include "formats/FileBytes.h"
#include "formats/VrlWriter.h"
#include "model/Paths.h"
#include "track/PathOps.h"
#include "track/SceneFile.h"
#include "track/TrackGenerator.h"
#include "workspace/Workspace.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <ctime>
#include <filesystem>
#include <iomanip>
#include <locale>
#include <memory>
#include <optional>
#include <sstream>

namespace zv::cli {
namespace {

constexpr const char* kTrackUsage =
    "usage: zorvane-cli track [--widths W0,...,W10] [--textures T0,...,T10] [--split D] [--parts FOLDER]\n"
    "                         [--scene road|side SCENE.txt] [--date TEXT] PATH.zvp... OUT.vrl|OUT.bin\n"
    "\n"
    "Reads every PATH in order, each appended to the path, builds the track along it as the\n"
    "track builder's \"Create\" does, and saves the whole model as OUT (.vrl: Sports Car GT VRL,\n"
    ".bin: MTM2 BIN).\n"
    "\n"
    "  --widths W    the eleven strip widths from the outer negative side to the outer positive\n"
    "                side (default 4,4,0.5,10,1,16,1,10,0.5,4,4)\n"
    "  --textures T  the eleven strip textures (default Grasc,Grasb,Conca,Grasa,Dirtl,Roada,\n"
    "                Dirtr,Grasa,Conca,Grasb,Grasc)\n"
    "  --split D     the split distance: a new part starts after this length (default 40)\n"
    "  --parts F     also save every part as its own VRL file in folder F (created when missing)\n"
    "  --scene G S   also write the partial scene file of the parts as S, their instances in\n"
    "                group G (road or side)\n"
    "  --date TEXT   the date written in the scene file (default today, as 12/31/99)\n";

struct UsageError {
    std::string Text;
};

struct Arguments {
    track::TrackSection Section;
    std::string PartsFolder;
    std::optional<track::SceneGroup> SceneGroup;
    std::string ScenePath;
    std::optional<std::string> Date;
    std::vector<std::string> Files;
    bool Help = false;
};

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    std::size_t from = 0;
    for (std::size_t comma = text.find(',');; comma = text.find(',', from)) {
        items.push_back(text.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
        if (comma == std::string::npos) {
            return items;
        }
        from = comma + 1;
    }
}

std::optional<float> Number(const std::string& text) {
    float v = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc{} || ptr != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return v;
}

std::vector<std::string> Eleven(const std::string& option, const std::string& value) {
    std::vector<std::string> items = SplitList(value);
    if (items.size() != static_cast<std::size_t>(track::kStrips)) {
        throw UsageError{option + " needs " + std::to_string(track::kStrips) +
                         " values separated by commas, not " + std::to_string(items.size())};
    }
    return items;
}

track::SceneGroup ParseGroup(const std::string& name) {
    if (name == "road") {
        return track::SceneGroup::Road;
    }
    if (name == "side") {
        return track::SceneGroup::Side;
    }
    throw UsageError{"unknown group '" + name + "' for --scene (road or side)"};
}

Arguments ParseArguments(const std::vector<std::string>& args) {
    Arguments a;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& s = args[i];
        const bool takesValue =
            s == "--widths" || s == "--textures" || s == "--split" || s == "--parts" || s == "--date";
        if (takesValue && i + 1 >= args.size()) {
            throw UsageError{s + " needs a value"};
        }
        if (s == "--scene" && i + 2 >= args.size()) {
            throw UsageError{"--scene needs a group (road or side) and a file"};
        }
        if (s == "--help" || s == "-h") {
            a.Help = true;
        } else if (s == "--widths") {
            const std::vector<std::string> items = Eleven(s, args[++i]);
            for (std::size_t k = 0; k < items.size(); ++k) {
                const std::optional<float> w = Number(items[k]);
                if (!w) {
                    throw UsageError{"bad width '" + items[k] + "' for --widths"};
                }
                a.Section.Widths[k] = *w;
            }
        } else if (s == "--textures") {
            const std::vector<std::string> items = Eleven(s, args[++i]);
            if (std::any_of(items.begin(), items.end(), [](const std::string& t) { return t.empty(); })) {
                throw UsageError{"--textures needs a name for every strip"};
            }
            std::copy(items.begin(), items.end(), a.Section.Textures.begin());
        } else if (s == "--split") {
            const std::optional<float> d = Number(args[++i]);
            if (!d) {
                throw UsageError{"bad split distance '" + args[i] + "' for --split"};
            }
            a.Section.SplitDistance = *d;
        } else if (s == "--parts") {
            a.PartsFolder = args[++i];
        } else if (s == "--scene") {
            a.SceneGroup = ParseGroup(args[++i]);
            a.ScenePath = args[++i];
        } else if (s == "--date") {
            a.Date = args[++i];
        } else if (s.size() > 1 && s[0] == '-') {
            throw UsageError{"unknown option '" + s + "'"};
        } else {
            a.Files.push_back(s);
        }
    }
    if (a.Date && !a.SceneGroup) {
        throw UsageError{"--date is only for the scene file of --scene"};
    }
    return a;
}

bool IsBin(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext != ".bin" && ext != ".vrl") {
        throw UsageError{"cannot tell the format of '" + path + "'; name it .vrl or .bin"};
    }
    return ext == ".bin";
}

// Today's date in the short form of the C locale ("12/31/99"), whatever the user's locale.
std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::put_time(&local, "%x");
    return text.str();
}

int Run(const Arguments& a, const std::string& configPath, std::ostream& err) {
    if (a.Files.size() < 2) {
        throw UsageError{"track needs PATH and OUT"};
    }
    const std::string& outPath = a.Files.back();
    const bool bin = IsBin(outPath);
    ConsoleUi ui(err);
    auto ws = std::make_unique<Workspace>(ui);
    if (!configPath.empty() && formats::IsFile(configPath)) {
        config::LoadConfig(configPath, ws->Settings, ui, config::MissingFile::Quiet);
    }
    if (!ReadPathFiles(ui, ws->Path, std::span(a.Files).first(a.Files.size() - 1))) {
        return kFailed;
    }
    edit::Recorder none;
    if (ws->Path.Count() < 2) {
        err << "zorvane-cli track: a track needs a path of at least two points (" << ws->Path.Count()
            << " read)\n";
        return kFailed;
    }
    if (!track::GenerateTrack(ui, ws->Model, ws->Path, a.Section, none).Any()) {
        return kFailed; // the refusal was printed
    }
    const bool saved = bin ? formats::WriteBin(*ws, outPath)
                           : formats::SaveVrlModel(*ws, outPath, formats::VrlVariant::Scgt);
    if (!saved) {
        return kFailed;
    }
    if (!a.PartsFolder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(a.PartsFolder, ec);
        const std::string anyFile = (std::filesystem::path(a.PartsFolder) / "parts.vrl").string();
        if (!formats::SaveAllParts(*ws, anyFile, formats::VrlVariant::Scgt)) {
            return kFailed;
        }
    }
    if (!a.SceneGroup) {
        return kOk;
    }
    const std::string date = a.Date ? *a.Date : Today();
    return track::WritePartialScene(ui, ws->Model, *a.SceneGroup, date, a.ScenePath) ? kOk : kFailed;
}

} // namespace

int RunTrack(const std::vector<std::string>& args, const std::string& configPath, std::ostream& out,
             std::ostream& err) {
    try {
        const Arguments a = ParseArguments(args);
        if (a.Help) {
            out << kTrackUsage;
            return kOk;
        }
        return Run(a, configPath, err);
    } catch (const UsageError& e) {
        err << "zorvane-cli track: " << e.Text << "\n" << kTrackUsage;
        return kBadUsage;
    }
}

} // namespace zv::cli
