#include "cli/PathCommand.h"

#include "cli/Cli.h"
#include "cli/ConsoleUi.h"
#include "cli/ModelJson.h"
#include "track/PathOps.h"
#include "waypoints/AiwFile.h"

#include <charconv>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

namespace zv::cli {
namespace {

constexpr const char* kPathUsage =
    "usage: zorvane-cli path dump FILE\n"
    "       zorvane-cli path convert IN... OUT\n"
    "       zorvane-cli path from-aiw [--cur N] AIW OUT\n"
    "\n"
    "Path files (.zvp): the centre line of a track as a list of points.\n"
    "\n"
    "  dump      print the points of FILE as JSON\n"
    "  convert   read every IN in order, each appended to the path, and write the path as OUT\n"
    "  from-aiw  take waypoints 0 to N of the AIW file as the path and write it as OUT\n"
    "\n"
    "  --cur N   the last waypoint taken (default: the last waypoint of the file)\n";

struct UsageError {
    std::string Text;
};

struct Arguments {
    std::optional<int> Cur;
    std::vector<std::string> Files;
    bool Help = false;
};

Arguments ParseArguments(const std::string& sub, const std::vector<std::string>& args) {
    Arguments a;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& s = args[i];
        if (s == "--help" || s == "-h") {
            a.Help = true;
        } else if (s == "--cur" && sub == "from-aiw") {
            if (i + 1 >= args.size()) {
                throw UsageError{"--cur needs a value"};
            }
            const std::string& v = args[++i];
            int n = 0;
            const auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
            if (ec != std::errc{} || ptr != v.data() + v.size() || n < 0) {
                throw UsageError{"bad waypoint number '" + v + "' for --cur"};
            }
            a.Cur = n;
        } else if (s.size() > 1 && s[0] == '-') {
            throw UsageError{"unknown option '" + s + "'"};
        } else {
            a.Files.push_back(s);
        }
    }
    return a;
}

std::string PointsJson(const track::PathTable& p) {
    using nlohmann::ordered_json;
    ordered_json doc;
    doc["points"] = ordered_json::array();
    for (const track::Vec3& v : p.Pts) {
        doc["points"].push_back({JsonFloat(v[0]), JsonFloat(v[1]), JsonFloat(v[2])});
    }
    return doc.dump();
}

// Appends the points of path outside any history; false after a reported failure (also when
// the path was full and the rest was left out).
bool Read(ConsoleUi& ui, track::PathTable& p, const std::string& path) {
    edit::Recorder none;
    const int before = ui.MessageCount();
    track::OpenPath(ui, none, p, path);
    return ui.MessageCount() == before;
}

int FromAiw(ConsoleUi& ui, const Arguments& a, std::ostream& err) {
    auto t = std::make_unique<waypoints::WaypointTables>();
    edit::Recorder none;
    const int before = ui.MessageCount();
    waypoints::OpenAiw(ui, none, *t, a.Files[0]);
    if (ui.MessageCount() != before) {
        return kFailed;
    }
    const int cur = a.Cur.value_or(t->WpCount - 1);
    if (cur >= t->WpCount) {
        err << "zorvane-cli path: waypoint " << cur << " is not in the file (" << t->WpCount
            << " waypoints)\n";
        return kFailed;
    }
    t->CurWp = static_cast<std::int16_t>(cur);
    track::PathTable p;
    if (!track::PathFromWaypoints(*t, p, none).Any()) {
        err << "zorvane-cli path: a path needs at least two waypoints (0 to " << cur << " given)\n";
        return kFailed;
    }
    return track::WritePath(ui, p, a.Files[1]) ? kOk : kFailed;
}

int Run(const std::string& sub, const Arguments& a, std::ostream& out, std::ostream& err) {
    ConsoleUi ui(err);
    if (sub == "from-aiw") {
        if (a.Files.size() != 2) {
            throw UsageError{"from-aiw needs AIW and OUT"};
        }
        return FromAiw(ui, a, err);
    }
    track::PathTable p;
    if (sub == "dump") {
        if (a.Files.size() != 1) {
            throw UsageError{"dump needs exactly one FILE"};
        }
        if (!Read(ui, p, a.Files[0])) {
            return kFailed;
        }
        out << PointsJson(p) << '\n';
        return kOk;
    }
    if (a.Files.size() < 2) {
        throw UsageError{"convert needs IN and OUT"};
    }
    for (std::size_t i = 0; i + 1 < a.Files.size(); ++i) {
        if (!Read(ui, p, a.Files[i])) {
            return kFailed;
        }
    }
    return track::WritePath(ui, p, a.Files.back()) ? kOk : kFailed;
}

} // namespace

int RunPath(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string sub = args.size() > 1 ? args[1] : "";
    if (sub == "--help" || sub == "-h") {
        out << kPathUsage;
        return kOk;
    }
    try {
        if (sub != "dump" && sub != "convert" && sub != "from-aiw") {
            throw UsageError{sub.empty() ? "missing subcommand" : "unknown subcommand '" + sub + "'"};
        }
        const Arguments a = ParseArguments(sub, args);
        if (a.Help) {
            out << kPathUsage;
            return kOk;
        }
        return Run(sub, a, out, err);
    } catch (const UsageError& e) {
        err << "zorvane-cli path: " << e.Text << "\n" << kPathUsage;
        return kBadUsage;
    }
}

} // namespace zv::cli
