#include "cli/AiwCommand.h"

#include "cli/ArgParse.h"
#include "cli/Cli.h"
#include "cli/ConsoleUi.h"
#include "cli/ModelJson.h"
#include "cli/PathCommand.h"
#include "formats/BinFormat.h"
#include "formats/VrlReader.h"
#include "model/Paths.h"
#include "track/PathOps.h"
#include "waypoints/AiwFile.h"
#include "waypoints/WaypointOps.h"
#include "workspace/Commands.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

namespace zv::cli {
namespace {

using waypoints::Dialect;
using waypoints::WaypointTables;

constexpr const char* kAiwUsage =
    "usage: zorvane-cli aiw dump FILE\n"
    "       zorvane-cli aiw convert [--to scgt|f1cs] IN OUT\n"
    "       zorvane-cli aiw edit [--to scgt|f1cs] IN OUT OPERATION...\n"
    "       zorvane-cli aiw from-path [--to scgt|f1cs] PATH.zvp... OUT\n"
    "\n"
    "AIW waypoint files (the AI driving line and the grid slots of a track).\n"
    "\n"
    "  dump     print the lap length, slots and waypoints of FILE as JSON\n"
    "  convert  read IN and write it as OUT\n"
    "  edit     read IN, apply the operations in order, each as one step of the edit history,\n"
    "           and write OUT. Prints one line per operation: the counts, the current waypoint,\n"
    "           the selected waypoints and what changed. An operation that is refused with a\n"
    "           message stops the run, and OUT is not written.\n"
    "  from-path  read every PATH in order, each appended to the path, make one waypoint per\n"
    "             path point as the Waypoint menu's \"Get from Path\" does (a ring with the\n"
    "             default values) and write OUT\n"
    "\n"
    "  --to D   dialect of OUT: scgt (Sports Car GT) or f1cs (F1 Championship Season); default\n"
    "           the dialect of IN (f1cs when it has wp_key lines; scgt for from-path)\n"
    "\n"
    "operations:\n"
    "  --cur N                 make waypoint N current\n"
    "  --select LIST           select exactly the waypoints of LIST, e.g. 0,3-7\n"
    "  --select-all            select every waypoint\n"
    "  --insert                insert a copy of the current waypoint after it\n"
    "  --delete                delete the current waypoint\n"
    "  --delete-selected       delete every selected waypoint\n"
    "  --reverse               reverse waypoints 0 to the current one\n"
    "  --straight              put the waypoints between the first and last selected on a line\n"
    "  --pitlane LENGTH,SLOTS  add pit-lane waypoints and slots after the last waypoint\n"
    "  --adjust-height MODEL   move the selected waypoints and slots onto the model (.vrl, .bin)\n"
    "  --calc-ins MODEL        name the model part under each waypoint as its track part\n"
    "  --undo [N]              undo the last N steps (default 1)\n";

struct UsageError {
    std::string Text;
};

struct Operation {
    std::string Flag;
    std::string Arg;                         // as given, for the status line
    int Number = 0;                          // --cur, --undo
    std::vector<std::pair<int, int>> Ranges; // --select
    double Length = 0, Slots = 0;            // --pitlane
};

// "0,3-7" as index ranges (inclusive).
std::vector<std::pair<int, int>> ParseList(const std::string& text) {
    std::vector<std::pair<int, int>> ranges;
    for (const std::string_view item : SplitCommas(text)) {
        const std::size_t dash = item.find('-', 1);
        const auto first = ParseWhole(item.substr(0, dash));
        const auto last = dash == std::string_view::npos ? first : ParseWhole(item.substr(dash + 1));
        if (!first || !last || *first < 0 || *last < *first || *last >= waypoints::kWaypointCapacity) {
            throw UsageError{"bad waypoint list '" + text + "'"};
        }
        ranges.emplace_back(static_cast<int>(*first), static_cast<int>(*last));
    }
    return ranges;
}

struct Arguments {
    std::optional<Dialect> To;
    std::vector<std::string> Files;
    std::vector<Operation> Operations;
    bool Help = false;
};

bool IsOperation(const std::string& a) {
    static const char* const kFlags[] = {"--cur",     "--select",          "--select-all", "--insert",
                                         "--delete",  "--delete-selected", "--reverse",    "--straight",
                                         "--pitlane", "--adjust-height",   "--calc-ins",   "--undo"};
    return std::find(std::begin(kFlags), std::end(kFlags), a) != std::end(kFlags);
}

// Parses what follows the subcommand; throws UsageError.
Arguments ParseArguments(const std::string& sub, const std::vector<std::string>& args) {
    Arguments a;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& s = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) {
                throw UsageError{s + " needs a value"};
            }
            return args[++i];
        };
        if (s == "--help" || s == "-h") {
            a.Help = true;
        } else if (s == "--to" && sub != "dump") {
            const std::string& d = value();
            if (d != "scgt" && d != "f1cs") {
                throw UsageError{"unknown dialect '" + d + "' for --to"};
            }
            a.To = d == "scgt" ? Dialect::Scgt : Dialect::F1cs;
        } else if (sub == "edit" && IsOperation(s)) {
            Operation op{s, {}, 0, {}, 0, 0};
            if (s == "--cur") {
                op.Arg = value();
                const auto n = ParseWhole(op.Arg);
                if (!n || *n < 0 || *n >= waypoints::kWaypointCapacity) {
                    throw UsageError{"bad waypoint number '" + op.Arg + "' for --cur"};
                }
                op.Number = static_cast<int>(*n);
            } else if (s == "--select") {
                op.Arg = value();
                op.Ranges = ParseList(op.Arg);
            } else if (s == "--pitlane") {
                op.Arg = value();
                const auto parts = SplitCommas(op.Arg);
                const auto length = parts.size() == 2 ? ParseReal(parts[0]) : std::nullopt;
                const auto slots = parts.size() == 2 ? ParseReal(parts[1]) : std::nullopt;
                if (!length || !slots) {
                    throw UsageError{"--pitlane needs LENGTH,SLOTS"};
                }
                op.Length = *length;
                op.Slots = *slots;
            } else if (s == "--adjust-height" || s == "--calc-ins") {
                op.Arg = value();
            } else if (s == "--undo") {
                op.Number = 1;
                if (i + 1 < args.size() && ParseWhole(args[i + 1])) {
                    op.Arg = args[++i];
                    op.Number = static_cast<int>(std::clamp(*ParseWhole(op.Arg), 0L, 1'000'000L));
                }
            }
            a.Operations.push_back(std::move(op));
        } else if (s.size() > 1 && s[0] == '-') {
            throw UsageError{"unknown option '" + s + "'"};
        } else if (!a.Operations.empty()) {
            throw UsageError{"IN and OUT come before the operations"};
        } else {
            a.Files.push_back(s);
        }
    }
    return a;
}

template <std::size_t N> nlohmann::ordered_json Floats(const std::array<float, N>& v) {
    auto a = nlohmann::ordered_json::array();
    for (const float f : v) {
        a.push_back(JsonFloat(f));
    }
    return a;
}

std::string TablesJson(const WaypointTables& t) {
    using nlohmann::ordered_json;
    ordered_json doc;
    doc["lap_length"] = JsonFloat(t.LapLength);
    doc["slots"] = ordered_json::array();
    for (int s = 0; s < t.SlotCount; ++s) {
        const waypoints::SlotRec& r = t.Slots[static_cast<std::size_t>(s)];
        doc["slots"].push_back({{"AVPos", Floats(r.AVPos)},
                                {"AVOrient", Floats(r.AVOrient)},
                                {"AVPitPos", Floats(r.AVPitPos)},
                                {"AVPitOri", Floats(r.AVPitOri)}});
    }
    doc["waypoints"] = ordered_json::array();
    for (int i = 0; i < t.WpCount; ++i) {
        const waypoints::WaypointRec& w = t.Wp[static_cast<std::size_t>(i)];
        doc["waypoints"].push_back({{"pos", Floats(w.pos)},
                                    {"ori", Floats(w.ori)},
                                    {"width", Floats(w.width)},
                                    {"score", Floats(w.score)},
                                    {"opt", Floats(w.opt)},
                                    {"depth", w.depth},
                                    {"ins", w.ins},
                                    {"ptrs", w.ptrs},
                                    {"key", w.key},
                                    {"marks", w.marks},
                                    {"events", w.events}});
    }
    // Texts are 8-bit as read; bytes that are not UTF-8 become replacement characters.
    return doc.dump(-1, ' ', false, ordered_json::error_handler_t::replace);
}

// Reads path outside the history (it is where the edits start from); false after a reported
// failure.
bool Read(ConsoleUi& ui, WaypointTables& t, const std::string& path) {
    edit::Recorder none;
    const int before = ui.MessageCount();
    waypoints::OpenAiw(ui, none, t, path);
    return ui.MessageCount() == before;
}

int SelectedCount(const WaypointTables& t) {
    return static_cast<int>(std::count(t.WpSel.begin(), t.WpSel.begin() + std::max<int>(t.WpCount, 0), 1));
}

// "--insert: waypoints: 13  slots: 2  current: 4  selected: 1  changed: waypoints, selection".
std::string Status(const WaypointTables& t, const Operation& op, edit::Change changed) {
    std::ostringstream line;
    line << op.Flag << (op.Arg.empty() ? "" : " ") << op.Arg << ": waypoints: " << t.WpCount
         << "  slots: " << t.SlotCount << "  current: " << t.CurWp << "  selected: " << SelectedCount(t)
         << "  changed:";
    line << ChangedNames(changed);
    return line.str();
}

// The model of --adjust-height, in a workspace of its own: opening a model in the editing one
// would clear its history.
std::unique_ptr<Workspace> OpenModel(ConsoleUi& ui, const std::string& path, std::ostream& err) {
    auto ws = std::make_unique<Workspace>(ui);
    ws->Settings.LoadTexturesOnOpen = false;
    const std::string name = model::UpperAscii(model::FileNameOf(path));
    const int before = ui.MessageCount();
    const bool ok = name.ends_with(".BIN") ? formats::OpenBin(*ws, path)
                                           : formats::OpenVrl(*ws, path, formats::VrlVariant::Scgt);
    if (!ok) {
        if (ui.MessageCount() == before) {
            err << "zorvane-cli: cannot read '" << path << "'\n";
        }
        return nullptr;
    }
    return ws;
}

// Runs one operation; nullopt after a reported failure.
std::optional<edit::Change> Apply(Workspace& ws, ConsoleUi& ui, const Operation& op, std::ostream& err) {
    WaypointTables& t = ws.Waypoints;
    const auto step = [&](auto&& run) { return RunStep(ws, op.Flag.substr(2), run); };
    if (op.Flag == "--cur" || op.Flag == "--select") {
        for (const auto& [first, last] :
             op.Ranges.empty() ? std::vector{std::pair{op.Number, op.Number}} : op.Ranges) {
            if (!waypoints::IsWaypoint(t, last)) {
                err << "zorvane-cli aiw: waypoint " << last << " is not in the file (" << t.WpCount
                    << " waypoints)\n";
                return std::nullopt;
            }
        }
        if (op.Flag == "--cur") {
            return waypoints::SetCurrentWaypoint(t, op.Number);
        }
        std::fill(t.WpSel.begin(), t.WpSel.end(), std::uint8_t{0});
        for (const auto& [first, last] : op.Ranges) {
            std::fill(t.WpSel.begin() + first, t.WpSel.begin() + last + 1, std::uint8_t{1});
        }
        return edit::Change{edit::Change::Selection};
    }
    if (op.Flag == "--select-all") {
        std::fill(t.WpSel.begin(), t.WpSel.end(), std::uint8_t{0});
        std::fill(t.WpSel.begin(), t.WpSel.begin() + std::max<int>(t.WpCount, 0), std::uint8_t{1});
        return edit::Change{edit::Change::Selection};
    }
    if (op.Flag == "--insert") {
        return step([&](edit::Recorder& rec) { return waypoints::InsertWaypoint(t, rec); });
    }
    if (op.Flag == "--delete") {
        return step([&](edit::Recorder& rec) { return waypoints::DeleteCurrentWaypoint(t, rec); });
    }
    if (op.Flag == "--delete-selected") {
        return step([&](edit::Recorder& rec) { return waypoints::DeleteSelectedWaypoints(t, rec); });
    }
    if (op.Flag == "--reverse") {
        return step([&](edit::Recorder& rec) { return waypoints::ReverseWaypoints(t, rec); });
    }
    if (op.Flag == "--straight") {
        return step([&](edit::Recorder& rec) { return waypoints::MakeStraight(ui, t, rec); });
    }
    if (op.Flag == "--pitlane") {
        const waypoints::PitLane p = waypoints::ClampPitLane(op.Length, op.Slots);
        return step([&](edit::Recorder& rec) { return waypoints::AddPitLane(ui, t, rec, p); });
    }
    if (op.Flag == "--adjust-height" || op.Flag == "--calc-ins") {
        const std::unique_ptr<Workspace> model = OpenModel(ui, op.Arg, err);
        if (!model) {
            return std::nullopt;
        }
        return step([&](edit::Recorder& rec) {
            return op.Flag == "--calc-ins" ? waypoints::CalcTrackParts(model->Model, t, rec)
                                           : waypoints::AdjustHeight(model->Model, t, rec);
        });
    }
    edit::Change changed; // --undo
    for (int k = 0; k < op.Number && ws.History.CanUndo(); ++k) {
        changed |= Undo(ws);
    }
    return changed;
}

// The paths read in order, then "Get from Path" outside any history.
int FromPath(ConsoleUi& ui, const Arguments& a, WaypointTables& t) {
    if (a.Files.size() < 2) {
        throw UsageError{"from-path needs PATH and OUT"};
    }
    track::PathTable p;
    if (!ReadPathFiles(ui, p, std::span(a.Files).first(a.Files.size() - 1))) {
        return kFailed;
    }
    edit::Recorder none;
    if (p.Pts.empty()) {
        ui.ShowMessage("Get from Path", "The path has no points.", model::MessageIcon::Warning,
                       model::MessageButtons::Ok);
        return kFailed;
    }
    if (!track::WaypointsFromPath(ui, p, t, none).Any()) {
        return kFailed; // beyond the waypoint capacity, with a message
    }
    return waypoints::WriteAiw(ui, t, a.To.value_or(Dialect::Scgt), a.Files.back()) ? kOk : kFailed;
}

int Run(const std::string& sub, const Arguments& a, std::ostream& out, std::ostream& err) {
    ConsoleUi ui(err);
    auto ws = std::make_unique<Workspace>(ui);
    WaypointTables& t = ws->Waypoints;
    if (sub == "from-path") {
        return FromPath(ui, a, t);
    }
    if (sub == "dump") {
        if (a.Files.size() != 1) {
            throw UsageError{"dump needs exactly one FILE"};
        }
        if (!Read(ui, t, a.Files[0])) {
            return kFailed;
        }
        out << TablesJson(t) << '\n';
        return kOk;
    }
    if (a.Files.size() != 2) {
        throw UsageError{sub + " needs IN and OUT"};
    }
    if (sub == "edit" && a.Operations.empty()) {
        throw UsageError{"edit needs at least one operation"};
    }
    if (!Read(ui, t, a.Files[0])) {
        return kFailed;
    }
    for (const Operation& op : a.Operations) {
        // A refusal shows its message through the port; nothing is written after one.
        const int before = ui.MessageCount();
        const std::optional<edit::Change> changed = Apply(*ws, ui, op, err);
        if (!changed || ui.MessageCount() != before) {
            return kFailed;
        }
        out << Status(t, op, *changed) << '\n';
    }
    return waypoints::WriteAiw(ui, t, a.To.value_or(t.LoadedDialect), a.Files[1]) ? kOk : kFailed;
}

} // namespace

int RunAiw(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string sub = args.size() > 1 ? args[1] : "";
    if (sub == "--help" || sub == "-h") {
        out << kAiwUsage;
        return kOk;
    }
    try {
        if (sub != "dump" && sub != "convert" && sub != "edit" && sub != "from-path") {
            throw UsageError{sub.empty() ? "missing subcommand" : "unknown subcommand '" + sub + "'"};
        }
        const Arguments a = ParseArguments(sub, args);
        if (a.Help) {
            out << kAiwUsage;
            return kOk;
        }
        return Run(sub, a, out, err);
    } catch (const UsageError& e) {
        err << "zorvane-cli aiw: " << e.Text << "\n" << kAiwUsage;
        return kBadUsage;
    }
}

} // namespace zv::cli
