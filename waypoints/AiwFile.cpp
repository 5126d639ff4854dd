#include "waypoints/AiwFile.h"

#include "model/FileReplace.h"
#include "model/TextFile.h"
#include "waypoints/AiwNumbers.h"
#include "waypoints/WaypointHistory.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <vector>

namespace zv::waypoints {
namespace {

constexpr std::string_view kReadError = "Open AIW-File Error";

struct Line {
    std::string_view Text;
    int FileLine; // 1-based, for the fault position
};

// A fault at a kept line; thrown inside the reader and turned into the result.
struct Fault {
    int FileLine;
    std::string Reason;
};

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), s.begin(),
                                                   [](char a, char b) { return Upper(a) == Upper(b); });
}

bool ContainsNoCase(std::string_view s, std::string_view what) {
    return std::search(s.begin(), s.end(), what.begin(), what.end(),
                       [](char a, char b) { return Upper(a) == Upper(b); }) != s.end();
}

// The kept lines: CR, LF and CR LF end a line; empty lines and ";" comments are dropped.
// Returns false (and the file line) when there are more than the buffer holds.
bool SplitLines(std::string_view text, std::vector<Line>& lines, int& overflowLine) {
    int fileLine = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = text.find_first_of("\r\n", i);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        ++fileLine;
        const std::string_view line = text.substr(i, end - i);
        if (!line.empty() && line[0] != ';') {
            if (static_cast<int>(lines.size()) == kMaxAiwLines) {
                overflowLine = fileLine;
                return false;
            }
            lines.push_back({line, fileLine});
        }
        i = end;
        if (i < text.size()) {
            i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
        }
    }
    return true;
}

// The text after the first "=" up to the next blank, "/" or TAB. A line without "=" gives its
// text from the start; a blank there ends it at once too, as such a value could not be written
// back behind "=" and read the same.
std::string_view ExtractValue(std::string_view line) {
    const std::size_t eq = line.find('=');
    const std::size_t start = eq == std::string_view::npos ? 0 : eq + 1;
    std::size_t end = line.find_first_of(" /\t", start);
    if (end == std::string_view::npos) {
        end = line.size();
    }
    return line.substr(start, end - start);
}

class Reader {
public:
    Reader(const std::vector<Line>& lines, WaypointTables& t) : lines_(lines), t_(t) {}

    void ReadSlots() {
        int blocks = 0;
        for (const Line& l : lines_) {
            blocks += StartsWithNoCase(l.Text, "[SLOT") ? 1 : 0;
        }
        t_.SlotCount = std::min(blocks, kSlotCapacity);
        std::size_t cur = 0;
        int s = 0;
        try {
            for (; s < t_.SlotCount; ++s) {
                while (cur < lines_.size() && !ContainsNoCase(lines_[cur].Text, "[SLOT")) {
                    ++cur;
                }
                if (cur >= lines_.size()) {
                    throw Fault{0, "slot block missing"};
                }
                SlotRec& slot = t_.Slots[static_cast<std::size_t>(s)];
                for (std::array<float, 3>* v :
                     {&slot.AVPos, &slot.AVOrient, &slot.AVPitPos, &slot.AVPitOri}) {
                    ReadFloats(LineAt(++cur), v->data(), 3);
                }
                ++cur;
            }
        } catch (const Fault&) {
            // A broken slot block ends the slot section quietly; the slots not read are cleared.
            std::fill(t_.Slots.begin() + s, t_.Slots.begin() + t_.SlotCount, SlotRec{});
        }
    }

    void ReadWaypoints() {
        const auto header = std::find_if(lines_.begin(), lines_.end(), [](const Line& l) {
            return l.Text.find("[Waypoint]") != std::string_view::npos;
        });
        std::size_t w = static_cast<std::size_t>(header - lines_.begin());
        if (w + 1 < lines_.size() && lines_[w + 1].Text.find("number_waypoints=") != std::string_view::npos) {
            const std::optional<short> n = ParseAiwInt16(ExtractValue(lines_[w + 1].Text));
            if (!n) {
                throw Fault{lines_[w + 1].FileLine, "waypoint count out of range"};
            }
            announced_ = std::clamp<int>(*n, 0, kWaypointCapacity);
        }
        if (w + 2 < lines_.size() && lines_[w + 2].Text.find("lap_length=") != std::string_view::npos) {
            t_.LapLength = Float(ExtractValue(lines_[w + 2].Text), lines_[w + 2].FileLine);
        }
        std::size_t cur = w + 3;
        for (int i = 0; i < announced_; ++i) {
            WaypointRec& wp = t_.Wp[static_cast<std::size_t>(i)];
            wp.key = wp.marks = wp.events = 0;
            wp.ins.clear();
            ReadFloats(LineAt(cur++), wp.pos.data(), 3);
            ReadFloats(LineAt(cur++), wp.ori.data(), 2);
            ReadFloats(LineAt(cur++), wp.width.data(), 4);
            ReadFloats(LineAt(cur++), wp.score.data(), 4);
            ReadFloats(LineAt(cur++), wp.opt.data(), 3);
            wp.depth = ExtractValue(LineAt(cur++).Text);
            if (cur < lines_.size() && StartsWithNoCase(lines_[cur].Text, "wp_key=")) {
                ReadInts(lines_[cur++], &wp.key, 1);
                sawKey_ = true;
            }
            if (cur < lines_.size() && StartsWithNoCase(lines_[cur].Text, "wp_marks=")) {
                ReadInts(lines_[cur++], &wp.marks, 1);
            }
            if (cur < lines_.size() && StartsWithNoCase(lines_[cur].Text, "wp_events=")) {
                ReadInts(lines_[cur++], &wp.events, 1);
            }
            if (cur < lines_.size() && StartsWithNoCase(lines_[cur].Text, "wp_ins=")) {
                wp.ins = ExtractValue(lines_[cur++].Text);
            }
            ReadInts(LineAt(cur++), wp.ptrs.data(), 4);
            t_.WpCount = static_cast<std::int16_t>(i + 1);
        }
    }

    bool SawKey() const { return sawKey_; }

private:
    // Line i, or a fault just past the last line when the file ends too early.
    const Line& LineAt(std::size_t i) const {
        if (i >= lines_.size()) {
            throw Fault{lines_.empty() ? 1 : lines_.back().FileLine + 1, "file ends early"};
        }
        return lines_[i];
    }

    static AiwTuple Split(const Line& l, int needed) {
        const std::optional<AiwTuple> tuple = SplitAiwTuple(l.Text);
        if (!tuple) {
            throw Fault{l.FileLine, "tuple without parentheses"};
        }
        if (tuple->Commas < needed - 1) {
            throw Fault{l.FileLine, "tuple with too few values"};
        }
        return *tuple;
    }

    static float Float(std::string_view text, int fileLine) {
        const std::optional<float> v = ParseAiwFloat(text);
        if (!v) {
            throw Fault{fileLine, "number out of range"};
        }
        return *v;
    }

    static void ReadFloats(const Line& l, float* out, int count) {
        const AiwTuple tuple = Split(l, count);
        for (int k = 0; k < count; ++k) {
            out[k] = Float(tuple.Parts[static_cast<std::size_t>(k)], l.FileLine);
        }
    }

    static void ReadInts(const Line& l, std::int16_t* out, int count) {
        const AiwTuple tuple = Split(l, count);
        for (int k = 0; k < count; ++k) {
            const std::optional<short> v = ParseAiwInt16(tuple.Parts[static_cast<std::size_t>(k)]);
            if (!v) {
                throw Fault{l.FileLine, "integer out of range"};
            }
            out[k] = *v;
        }
    }

    const std::vector<Line>& lines_;
    WaypointTables& t_;
    int announced_ = 0;
    bool sawKey_ = false;
};

void AppendInt(std::string& out, int v) {
    char text[16];
    const auto r = std::to_chars(text, text + sizeof text, v);
    out.append(text, r.ptr);
}

// "key=(a,b,c)" with each value in the 4-decimal form.
void AppendTuple4(std::string& out, std::string_view key, const float* v, int count) {
    out += key;
    out += "=(";
    for (int k = 0; k < count; ++k) {
        out += k > 0 ? "," : "";
        AppendDecimals(out, v[k], 4);
    }
    out += ")\r\n";
}

void AppendIntLine(std::string& out, std::string_view key, int v) {
    out += key;
    out += "=(";
    AppendInt(out, v);
    out += ")\r\n";
}

} // namespace

AiwReadResult ParseAiw(std::string_view text, WaypointTables& t) {
    std::vector<Line> lines;
    lines.reserve(
        std::min<std::size_t>(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1,
                              static_cast<std::size_t>(kMaxAiwLines)));
    AiwReadResult result;
    if (int overflowLine = 0; !SplitLines(text, lines, overflowLine)) {
        return {false, overflowLine, "more lines than the reader holds", false};
    }
    result.Loaded = true;
    t.WpCount = 0;
    t.CurWp = 0;
    std::fill(t.WpSel.begin(), t.WpSel.end(), std::uint8_t{0});
    t.SlotSel.fill(0);
    t.PitSel.fill(0);
    Reader reader(lines, t);
    reader.ReadSlots();
    try {
        reader.ReadWaypoints();
    } catch (const Fault& f) {
        result.Ok = false;
        result.Line = f.FileLine;
        result.Reason = f.Reason;
    }
    t.LoadedDialect = reader.SawKey() ? Dialect::F1cs : Dialect::Scgt;
    return result;
}

edit::Change OpenAiw(model::UserInterface& ui, edit::Recorder& rec, WaypointTables& t,
                     const std::string& path) {
    const model::BusyPointer busy(ui);
    const std::optional<std::string> text = model::ReadWholeFile(path);
    AiwReadResult result{false, 0, "cannot read the file", false};
    if (text) {
        RecordWaypoints(rec, t);
        result = ParseAiw(*text, t);
    }
    if (!result.Ok) {
        std::string message(kReadError);
        if (result.Line > 0) {
            message += "\nLine " + std::to_string(result.Line);
        }
        ui.ShowMessage("I/O ERROR", message, model::MessageIcon::Warning, model::MessageButtons::Ok);
    }
    return result.Loaded
               ? edit::Change{edit::Change::Waypoints | edit::Change::Selection | edit::Change::Counts}
               : edit::kNoChange;
}

std::string SerializeAiw(const WaypointTables& t, Dialect d) {
    std::string out;
    const int slots = std::clamp(t.SlotCount, 0, kSlotCapacity);
    const int count = std::clamp<int>(t.WpCount, 0, kWaypointCapacity);
    out.reserve(static_cast<std::size_t>(slots) * 160 + static_cast<std::size_t>(count) * 360 + 64);
    for (int s = 0; s < slots; ++s) {
        const SlotRec& slot = t.Slots[static_cast<std::size_t>(s)];
        out += "[SLOT";
        out += static_cast<char>('0' + s / 10 % 10);
        out += static_cast<char>('0' + s % 10);
        out += "]\r\n";
        AppendTuple4(out, "AVPos", slot.AVPos.data(), 3);
        AppendTuple4(out, "AVOrient", slot.AVOrient.data(), 3);
        AppendTuple4(out, "AVPitPos", slot.AVPitPos.data(), 3);
        AppendTuple4(out, "AVPitOri", slot.AVPitOri.data(), 3);
        out += "\r\n";
    }
    out += "[Waypoint]\r\nnumber_waypoints=";
    AppendInt(out, count);
    out += "\r\nlap_length=";
    AppendDecimals(out, t.LapLength, 4);
    out += "\r\n";
    for (int i = 0; i < count; ++i) {
        const WaypointRec& w = t.Wp[static_cast<std::size_t>(i)];
        AppendTuple4(out, "wp_pos", w.pos.data(), 3);
        AppendTuple4(out, "wp_ori", w.ori.data(), 2);
        AppendTuple4(out, "wp_width", w.width.data(), 4);
        AppendTuple4(out, "wp_score", w.score.data(), 4);
        out += "wp_opt=(";
        AppendDecimals(out, w.opt[0], 8);
        out += ',';
        AppendSinglePlain(out, w.opt[1]);
        out += ',';
        AppendDecimals(out, w.opt[2], 4);
        out += ")\r\nwp_depth=";
        out += w.depth;
        out += "\r\n";
        if (d == Dialect::Scgt) {
            out += "wp_ins=";
            out += w.ins;
            out += "\r\n";
        } else {
            AppendIntLine(out, "wp_key", w.key);
            AppendIntLine(out, "wp_marks", w.marks);
            AppendIntLine(out, "wp_events", w.events);
        }
        out += "wp_ptrs=(";
        for (std::size_t k = 0; k < w.ptrs.size(); ++k) {
            out += k > 0 ? "," : "";
            AppendInt(out, w.ptrs[k]);
        }
        out += ")\r\n";
    }
    return out;
}

bool WriteAiw(model::UserInterface& ui, const WaypointTables& t, Dialect d, const std::string& path) {
    const model::BusyPointer busy(ui);
    if (model::ReplaceFile(path, SerializeAiw(t, d))) {
        ui.ShowMessage("Save Error", "Can't save AIW File", model::MessageIcon::Warning,
                       model::MessageButtons::Ok);
        return false;
    }
    return true;
}

std::string LoadedText(const WaypointTables& t) {
    return std::to_string(t.WpCount) + " waypoints loaded";
}

} // namespace zv::waypoints
