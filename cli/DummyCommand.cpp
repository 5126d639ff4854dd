#include "cli/DummyCommand.h"

#include "cli/ArgParse.h"
#include "cli/Cli.h"
#include "cli/ConsoleUi.h"
#include "config/ConfigFormat.h"
#include "formats/SceneLoader.h"
#include "track/Dummies.h"
#include "workspace/Commands.h"

#include <array>
#include <memory>
#include <optional>

namespace zv::cli {
namespace {

constexpr const char* kUsage =
    "usage: zorvane-cli dummies [--from SCENE] OUT.txt OPERATION...\n"
    "\n"
    "Dummy objects: named marker positions of a track scene. Starts from the placed instances\n"
    "of SCENE (or from none), applies the operations in order, each one step of the edit\n"
    "history, prints the dummies and writes them as the dummy scene file OUT.txt.\n"
    "\n"
    "  --add NAME,X,Y,Z   add a dummy at (X, Y, Z); an empty NAME gives Obj001, Obj002 ...\n"
    "  --select LIST      select dummies by index, e.g. 0,3-5 (added to the selection)\n"
    "  --deselect-all     select none\n"
    "  --move DX,DY,DZ    move the selected dummies\n"
    "  --delete N         delete dummy N\n"
    "  --undo [N]         undo the last N steps (1)\n";

struct UsageError {
    std::string Text;
};

struct Operation {
    std::string Flag;
    std::string Name;
    std::array<float, 3> Xyz{};
    std::vector<std::pair<int, int>> Ranges;
    int Number = 1;
};

std::array<float, 3> Triple(const std::string& flag, const std::vector<std::string_view>& parts, std::size_t from) {
    if (parts.size() != from + 3) {
        throw UsageError{flag + " needs " + (from == 0 ? "DX,DY,DZ" : "NAME,X,Y,Z")};
    }
    std::array<float, 3> v{};
    for (std::size_t k = 0; k < 3; ++k) {
        const std::optional<double> d = ParseReal(parts[from + k]);
        if (!d) {
            throw UsageError{"bad number '" + std::string(parts[from + k]) + "' for " + flag};
        }
        v[k] = static_cast<float>(*d);
    }
    return v;
}

std::vector<std::pair<int, int>> Ranges(const std::string& text) {
    std::vector<std::pair<int, int>> ranges;
    for (const std::string_view item : SplitCommas(text)) {
        const std::size_t dash = item.find('-', 1);
        const auto first = ParseWhole(item.substr(0, dash));
        const auto last = dash == std::string_view::npos ? first : ParseWhole(item.substr(dash + 1));
        if (!first || !last || *first < 0 || *last < *first || *last >= track::kDummyCapacity) {
            throw UsageError{"bad dummy list '" + text + "'"};
        }
        ranges.emplace_back(static_cast<int>(*first), static_cast<int>(*last));
    }
    return ranges;
}

struct Arguments {
    std::string From;
    std::vector<std::string> Files;
    std::vector<Operation> Operations;
    bool Help = false;
};

Arguments Parse(const std::vector<std::string>& args) {
    Arguments a;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& s = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) {
                throw UsageError{s + " needs a value"};
            }
            return args[++i];
        };
        Operation op;
        op.Flag = s;
        if (s == "--help" || s == "-h") {
            a.Help = true;
            continue;
        } else if (s == "--from") {
            a.From = value();
            continue;
        } else if (s == "--add") {
            const std::string& v = value();
            const auto parts = SplitCommas(v);
            op.Xyz = Triple(s, parts, 1);
            op.Name = std::string(parts[0]);
        } else if (s == "--move") {
            op.Xyz = Triple(s, SplitCommas(value()), 0);
        } else if (s == "--select") {
            op.Ranges = Ranges(value());
        } else if (s == "--delete") {
            const auto n = ParseWhole(value());
            if (!n || *n < 0 || *n >= track::kDummyCapacity) {
                throw UsageError{"bad dummy number for --delete"};
            }
            op.Number = static_cast<int>(*n);
        } else if (s == "--undo") {
            if (i + 1 < args.size()) {
                if (const auto n = ParseWhole(args[i + 1]); n && *n >= 1) {
                    op.Number = static_cast<int>(*n);
                    ++i;
                }
            }
        } else if (s == "--deselect-all") {
        } else if (s.size() > 1 && s[0] == '-') {
            throw UsageError{"unknown option '" + s + "'"};
        } else {
            a.Files.push_back(s);
            continue;
        }
        a.Operations.push_back(std::move(op));
    }
    if (!a.Help && a.Files.size() != 1) {
        throw UsageError{"give exactly one OUT.txt"};
    }
    return a;
}

edit::Change Apply(Workspace& ws, const Operation& op) {
    track::DummyTable& d = ws.Dummies;
    if (op.Flag == "--undo") {
        edit::Change changed;
        for (int k = 0; k < op.Number; ++k) {
            changed |= Undo(ws);
        }
        return changed;
    }
    if (op.Flag == "--select" || op.Flag == "--deselect-all") {
        // Selection is view state, as in the editor: not a step of its own.
        for (int i = 0; i < d.Count(); ++i) {
            bool in = false;
            for (const auto& [first, last] : op.Ranges) {
                in = in || (i >= first && i <= last);
            }
            track::Dummy& x = d.Items[static_cast<std::size_t>(i)];
            x.Sel = op.Flag == "--select" ? x.Sel || in : false;
        }
        return edit::Change::Dummies;
    }
    return RunStep(ws, op.Flag.substr(2), [&](edit::Recorder& rec) {
        if (op.Flag == "--add") {
            return track::AddDummy(d, rec, op.Name, op.Xyz);
        }
        if (op.Flag == "--move") {
            return track::TranslateSelectedDummies(d, rec, op.Xyz[0], op.Xyz[1], op.Xyz[2]);
        }
        return track::RemoveDummy(d, rec, op.Number);
    });
}

int Run(const Arguments& a, std::ostream& out, std::ostream& err) {
    ConsoleUi ui(err);
    auto ws = std::make_unique<Workspace>(ui);
    if (!a.From.empty()) {
        const std::optional<track::SceneContents> scene = formats::ReadSceneFile(ui, a.From);
        if (!scene) {
            return kFailed;
        }
        for (const track::Dummy& x : scene->Dummies) {
            if (ws->Dummies.Count() < track::kDummyCapacity) {
                ws->Dummies.Items.push_back(x);
            }
        }
    }
    for (const Operation& op : a.Operations) {
        const edit::Change changed = Apply(*ws, op);
        out << op.Flag.substr(2) << ": " << ws->Dummies.Count() << " dummies, changed:" << ChangedNames(changed)
            << '\n';
    }
    for (int i = 0; i < ws->Dummies.Count(); ++i) {
        const track::Dummy& x = ws->Dummies.Items[static_cast<std::size_t>(i)];
        out << i << ' ' << x.Name << ' ' << config::FormatSingle(x.Pos[0]) << ' ' << config::FormatSingle(x.Pos[1])
            << ' ' << config::FormatSingle(x.Pos[2]) << (x.Sel ? " selected" : "") << '\n';
    }
    return track::WriteDummyScene(ui, ws->Dummies, a.Files[0]) ? kOk : kFailed;
}

} // namespace

int RunDummies(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        const Arguments a = Parse(args);
        if (a.Help) {
            out << kUsage;
            return kOk;
        }
        return Run(a, out, err);
    } catch (const UsageError& e) {
        err << "zorvane-cli dummies: " << e.Text << "\n" << kUsage;
        return kBadUsage;
    }
}

} // namespace zv::cli
