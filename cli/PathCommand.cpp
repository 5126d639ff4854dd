#include "cli/PathCommand.h"

#include "cli/ArgParse.h"
#include "cli/Cli.h"
#include "cli/ConsoleUi.h"
#include "cli/ModelJson.h"
#include "track/PathOps.h"
#include "waypoints/AiwFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

namespace zv::cli {
namespace {

constexpr const char* kPathUsage =
    "usage: zorvane-cli path dump FILE\n"
    "       zorvane-cli path convert IN... OUT\n"
    "       zorvane-cli path from-aiw [--cur N] AIW OUT\n"
    "       zorvane-cli path build [--piece LENGTH] --start X,Z STEP... OUT\n"
    "\n"
    "Path files (.zvp): the centre line of a track as a list of points.\n"
    "\n"
    "  dump      print the points of FILE as JSON\n"
    "  convert   read every IN in order, each appended to the path, and write the path as OUT\n"
    "  from-aiw  take waypoints 0 to N of the AIW file as the path and write it as OUT\n"
    "  build     draw a path as the track builder does, the steps in order, and write it as OUT\n"
    "\n"
    "  --cur N   the last waypoint taken (default: the last waypoint of the file)\n"
    "\n"
    "build steps (the builder draws on the ground: every point has height 0):\n"
    "  --start X,Z      a new path of the one point (X, 0, Z), as the builder's \"New\"\n"
    "  --toward X,Z     pieces from the end point towards (X, Z) until less than a piece is\n"
    "                   left, as a left drag held on that point\n"
    "  --point X,Z      the point (X, 0, Z) after the end point, as Ctrl T\n"
    "  --piece LENGTH   the piece length of the --toward steps after it (default 8)\n";

struct UsageError {
    std::string Text;
};

// One step of `build`; --piece keeps its length in X.
struct BuildStep {
    std::string Flag;
    float X = 0;
    float Z = 0;
};

struct Arguments {
    std::optional<int> Cur;
    std::vector<BuildStep> Steps;
    std::vector<std::string> Files;
    bool Help = false;
};

BuildStep ParseStep(const std::string& flag, const std::string& value, bool started) {
    if (flag != "--start" && flag != "--piece" && !started) {
        throw UsageError{"build begins the path with --start X,Z before " + flag};
    }
    const auto parts = SplitCommas(value);
    if (flag == "--piece") {
        const auto length = parts.size() == 1 ? ParseReal(parts[0]) : std::nullopt;
        if (!length || !(*length > 0) || !std::isfinite(*length)) {
            throw UsageError{"bad piece length '" + value + "' for --piece"};
        }
        return {flag, static_cast<float>(*length), 0};
    }
    const auto x = parts.size() == 2 ? ParseReal(parts[0]) : std::nullopt;
    const auto z = parts.size() == 2 ? ParseReal(parts[1]) : std::nullopt;
    if (!x || !z || !std::isfinite(*x) || !std::isfinite(*z)) {
        throw UsageError{flag + " needs X,Z, not '" + value + "'"};
    }
    return {flag, static_cast<float>(*x), static_cast<float>(*z)};
}

bool IsBuildStep(const std::string& s) {
    return s == "--start" || s == "--toward" || s == "--point" || s == "--piece";
}

Arguments ParseArguments(const std::string& sub, const std::vector<std::string>& args) {
    Arguments a;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& s = args[i];
        if (s == "--help" || s == "-h") {
            a.Help = true;
        } else if (sub == "build" && IsBuildStep(s)) {
            if (i + 1 >= args.size()) {
                throw UsageError{s + " needs a value"};
            }
            const bool started = std::any_of(a.Steps.begin(), a.Steps.end(),
                                             [](const BuildStep& b) { return b.Flag == "--start"; });
            a.Steps.push_back(ParseStep(s, args[++i], started));
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

// Each step through the builder's own operation; a refusal with a message (the capacity)
// stops the run before OUT is written.
int Build(ConsoleUi& ui, const Arguments& a) {
    const auto isStart = [](const BuildStep& b) { return b.Flag == "--start"; };
    if (a.Files.size() != 1 || std::none_of(a.Steps.begin(), a.Steps.end(), isStart)) {
        throw UsageError{"build needs --start X,Z, its steps and OUT"};
    }
    track::PathTable p;
    edit::Recorder none;
    float piece = 8;
    for (const BuildStep& s : a.Steps) {
        const int before = ui.MessageCount();
        if (s.Flag == "--piece") {
            piece = s.X;
        } else if (s.Flag == "--start") {
            track::NewPath(p, none, s.X, s.Z);
        } else if (s.Flag == "--point") {
            track::AppendPathPoint(ui, p, none, s.X, s.Z);
        } else {
            // Each call stops short of the point by one piece or more; repeating reaches it.
            while (track::ExtendPath(ui, p, none, s.X, s.Z, piece).Any()) {
            }
        }
        if (ui.MessageCount() != before) {
            return kFailed;
        }
    }
    return track::WritePath(ui, p, a.Files[0]) ? kOk : kFailed;
}

int Run(const std::string& sub, const Arguments& a, std::ostream& out, std::ostream& err) {
    ConsoleUi ui(err);
    if (sub == "build") {
        return Build(ui, a);
    }
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
        if (!ReadPathFiles(ui, p, a.Files)) {
            return kFailed;
        }
        out << PointsJson(p) << '\n';
        return kOk;
    }
    if (a.Files.size() < 2) {
        throw UsageError{"convert needs IN and OUT"};
    }
    if (!ReadPathFiles(ui, p, std::span(a.Files).first(a.Files.size() - 1))) {
        return kFailed;
    }
    return track::WritePath(ui, p, a.Files.back()) ? kOk : kFailed;
}

} // namespace

bool ReadPathFiles(ConsoleUi& ui, track::PathTable& p, std::span<const std::string> files) {
    edit::Recorder none;
    for (const std::string& file : files) {
        const int before = ui.MessageCount();
        track::OpenPath(ui, none, p, file);
        if (ui.MessageCount() != before) {
            return false;
        }
    }
    return true;
}

int RunPath(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string sub = args.size() > 1 ? args[1] : "";
    if (sub == "--help" || sub == "-h") {
        out << kPathUsage;
        return kOk;
    }
    try {
        if (sub != "dump" && sub != "convert" && sub != "from-aiw" && sub != "build") {
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
