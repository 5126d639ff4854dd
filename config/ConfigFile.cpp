#include "config/ConfigFile.h"

#include "config/ConfigFormat.h"
#include "model/FileReplace.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zv::config {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Smallest size of the group windows, in pixels (a twip is a pixel here).
constexpr std::int32_t kMinWindowWidth = 120;
constexpr std::int32_t kMinWindowHeight = 240;

// A value below Min becomes BelowMin, one above Max becomes AboveMax.
struct Limits {
    std::int64_t Min;
    std::int64_t BelowMin;
    std::int64_t Max;
    std::int64_t AboveMax;
};

constexpr std::int64_t kNoLimit = std::numeric_limits<std::int64_t>::max();
constexpr Limits kAnyValue{-kNoLimit, 0, kNoLimit, 0};
constexpr Limits kColour{0, 0, kNoLimit, 0};
constexpr Limits kBrightness{0, 0, 65536, 65536};
constexpr Limits kMaxTex{1, 500, 500, 500};
constexpr Limits kFieldOfView{1, 30, 500, 500};
constexpr Limits kGrey{0, 0, 255, 255};

std::int64_t Apply(const Limits& l, std::int64_t v) {
    if (v < l.Min) {
        return l.BelowMin;
    }
    return v > l.Max ? l.AboveMax : v;
}

struct FolderField {
    std::string Settings::*Member;
};
struct IntegerField {
    std::int16_t Settings::*Member;
    Limits Rule;
};
// A value outside 0..255 is invalid and treated like one above Max.
struct ByteField {
    std::uint8_t Settings::*Member;
    std::int32_t Max;
    std::uint8_t Replacement;
};
// Stored as 0 or 1; any value above 0 sets it.
struct FlagField {
    bool Settings::*Member;
};
struct LongField {
    std::int32_t Settings::*Member;
    Limits Rule;
};
struct WindowField {
    WindowPosition Settings::*Member;
};
struct GridField {};
// The count, then a command line and a path line per file.
struct RecentField {};

using Field = std::variant<FolderField, IntegerField, ByteField, FlagField, LongField, WindowField, GridField,
                           RecentField>;

struct Entry {
    std::string_view Key;
    Field Value;
};

const std::array<Entry, 38> kEntries{{
    {"ScgtModelPath", FolderField{&Settings::ScgtModelPath}},
    {"ScgtArtPath", FolderField{&Settings::ScgtArtPath}},
    {"ScgtScenePath", FolderField{&Settings::ScgtScenePath}},
    {"ScgtTrackPath", FolderField{&Settings::ScgtTrackPath}},
    {"Mtm2ModelPath", FolderField{&Settings::Mtm2ModelPath}},
    {"Mtm2ArtPath", FolderField{&Settings::Mtm2ArtPath}},
    {"MaxTex", IntegerField{&Settings::MaxTex, kMaxTex}},
    {"ViewType", ByteField{&Settings::ViewType, 4, 0}},
    {"View1_orient", IntegerField{&Settings::View1_orient, kAnyValue}},
    {"RenderType", ByteField{&Settings::RenderType, 2, 2}},
    {"ViewAxis", FlagField{&Settings::ViewAxis}},
    {"ViewGrid", FlagField{&Settings::ViewGrid}},
    {"FieldOfView", LongField{&Settings::FieldOfView, kFieldOfView}},
    {"View1_Brightness", LongField{&Settings::View1_Brightness, kBrightness}},
    {"View1_BackColor", LongField{&Settings::View1_BackColor, kColour}},
    {"View1_GridColor", LongField{&Settings::View1_GridColor, kColour}},
    {"View1_LineColor", LongField{&Settings::View1_LineColor, kColour}},
    {"View1_CulledLineColor", LongField{&Settings::View1_CulledLineColor, kColour}},
    {"View1_SelLineColor", LongField{&Settings::View1_SelLineColor, kColour}},
    {"View1_CurrLineColor", LongField{&Settings::View1_CurrLineColor, kColour}},
    {"View1_CurrEdgeColor", LongField{&Settings::View1_CurrEdgeColor, kColour}},
    {"View1_SelEdgeColor", LongField{&Settings::View1_SelEdgeColor, kColour}},
    {"View1_VertColor", LongField{&Settings::View1_VertColor, kColour}},
    {"View1_SelVertColor", LongField{&Settings::View1_SelVertColor, kColour}},
    {"View1_PartnameColor", LongField{&Settings::View1_PartnameColor, kColour}},
    {"View4_Brightness", LongField{&Settings::View4_Brightness, kBrightness}},
    {"View4_BackColor", LongField{&Settings::View4_BackColor, kColour}},
    {"View4_GridColor", LongField{&Settings::View4_GridColor, kGrey}},
    {"VertexGroupWinPosition", WindowField{&Settings::VertexGroupWinPosition}},
    {"PolygonGroupWinPosition", WindowField{&Settings::PolygonGroupWinPosition}},
    {"TexWinPosition", WindowField{&Settings::TexWinPosition}},
    {"WPWinPosition", WindowField{&Settings::WPWinPosition}},
    {"GridProperties", GridField{}},
    // The editor window's own place, kept like the tool windows'.
    {"MainWinPosition", WindowField{&Settings::MainWinPosition}},
    {"MapWinPosition", WindowField{&Settings::MapWinPosition}},
    {"DummyWinPosition", WindowField{&Settings::DummyWinPosition}},
    {"OptionsWinPosition", WindowField{&Settings::OptionsWinPosition}},
    {"RecentFiles", RecentField{}},
}};

constexpr std::array<std::int32_t WindowPosition::*, 4> kWindowValues{
    &WindowPosition::Left, &WindowPosition::Top, &WindowPosition::Width, &WindowPosition::Height};
constexpr std::array<float GridProperties::*, 6> kGridValues{&GridProperties::MinX,  &GridProperties::MaxX,
                                                             &GridProperties::StepX, &GridProperties::MinZ,
                                                             &GridProperties::MaxZ,  &GridProperties::StepZ};

template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

// ---- Reading ----

// Lines split at LF with a trailing CR removed; comments (";" first) and empty lines dropped.
std::vector<std::string_view> KeptLines(std::string_view text) {
    std::vector<std::string_view> kept;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!line.empty() && line.front() != ';') {
            kept.push_back(line);
        }
    }
    return kept;
}

// The value lines of one key: the n-th (from 1) is the n-th kept line after the key.
class ValueLines {
public:
    ValueLines(const std::vector<std::string_view>& kept, std::size_t keyIndex)
        : kept_(kept), keyIndex_(keyIndex) {}
    // nullopt past the end of the file; the setting then keeps its value.
    std::optional<std::string_view> operator[](std::size_t n) const {
        const std::size_t i = keyIndex_ + n;
        return i < kept_.size() ? std::optional(kept_[i]) : std::nullopt;
    }

private:
    const std::vector<std::string_view>& kept_;
    std::size_t keyIndex_;
};

// "C:\" was the default folder of Windows installs; it names nothing here.
bool IsDriveRoot(std::string_view v) {
    return (v.size() == 2 || (v.size() == 3 && v[2] == '\\')) && (v[0] == 'C' || v[0] == 'c') && v[1] == ':';
}

std::uint8_t ReadByte(std::string_view line, const ByteField& f) {
    const std::int32_t v = ReadLong(line);
    return v < 0 || v > 255 || v > f.Max ? f.Replacement : static_cast<std::uint8_t>(v);
}

void ReadGrid(const ValueLines& lines, GridProperties& g) {
    for (std::size_t i = 0; i < kGridValues.size(); ++i) {
        if (auto v = lines[i + 1]) {
            g.*kGridValues[i] = ReadSingle(*v);
        }
    }
    if (auto v = lines[7]) {
        if (*v == "True" || *v == "False") {
            g.SnapVertices = *v == "True";
        }
    }
    if (auto v = lines[8]) {
        g.SnapGridSize = ReadSingle(*v);
    }
}

// A path line that reads back as itself: one line, absolute (so never a comment, an empty line
// or a key).
bool StorablePath(const std::string& path) {
    return !path.empty() && path.front() == '/' && path.find_first_of("\r\n") == std::string::npos;
}

bool StorableCommand(std::string_view command) {
    return !command.empty() && command.front() != ';' && command.find_first_of("\r\n") == std::string_view::npos &&
           std::none_of(kEntries.begin(), kEntries.end(), [&](const Entry& e) { return e.Key == command; });
}

void ReadRecent(const ValueLines& lines, std::vector<RecentFile>& recent) {
    const auto count = lines[1];
    if (!count) {
        return;
    }
    recent.clear();
    const std::int64_t n = std::clamp<std::int64_t>(ReadLong(*count), 0, kMaxRecentFiles);
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
        const auto command = lines[2 + 2 * i];
        const auto path = lines[3 + 2 * i];
        if (!command || !path) {
            break;
        }
        RecentFile file{std::string(*command), std::string(*path)};
        // A line of another key means the list was cut short by hand.
        if (!StorableCommand(file.Command) || !StorablePath(file.Path)) {
            break;
        }
        recent.push_back(std::move(file));
    }
}

void ReadEntry(const Entry& e, const ValueLines& lines, Settings& s) {
    const std::optional<std::string_view> first = lines[1];
    std::visit(Overloaded{
                   [&](const FolderField& f) {
                       if (first) {
                           s.*f.Member = IsDriveRoot(*first) ? HomeFolder() : std::string(*first);
                       }
                   },
                   [&](const IntegerField& f) {
                       if (first) {
                           s.*f.Member = static_cast<std::int16_t>(Apply(f.Rule, ReadInteger(*first)));
                       }
                   },
                   [&](const ByteField& f) {
                       if (first) {
                           s.*f.Member = ReadByte(*first, f);
                       }
                   },
                   [&](const FlagField& f) {
                       if (first) {
                           s.*f.Member = ReadNumber(*first) > 0;
                       }
                   },
                   [&](const LongField& f) {
                       if (first) {
                           s.*f.Member = static_cast<std::int32_t>(Apply(f.Rule, ReadLong(*first)));
                       }
                   },
                   [&](const WindowField& f) {
                       for (std::size_t i = 0; i < kWindowValues.size(); ++i) {
                           if (auto v = lines[i + 1]) {
                               (s.*f.Member).*kWindowValues[i] = ReadLong(*v);
                           }
                       }
                   },
                   [&](const GridField&) { ReadGrid(lines, s.Grid); },
                   [&](const RecentField&) { ReadRecent(lines, s.RecentFiles); },
               },
               e.Value);
}

void ApplyText(std::string_view text, Settings& s) {
    const std::vector<std::string_view> kept = KeptLines(text);
    for (const Entry& e : kEntries) {
        const auto key = std::find(kept.begin(), kept.end(), e.Key);
        if (key != kept.end()) {
            ReadEntry(e, ValueLines(kept, static_cast<std::size_t>(key - kept.begin())), s);
        }
    }
}

enum class ReadResult { Ok, Missing, Failed };

ReadResult ReadWholeFile(const std::string& path, std::string& text) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
    }
    char buf[65536];
    ReadResult result = ReadResult::Ok;
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            text.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            result = ReadResult::Failed; // also a folder in place of the file (EISDIR)
            break;
        }
    }
    ::close(fd);
    return result;
}

// ---- Validation of the whole ----

void FixToolWindow(WindowPosition& w) {
    w.Left = std::max(w.Left, 0);
    w.Top = std::max(w.Top, 0);
    w.Width = std::max(w.Width, kMinWindowWidth);
    w.Height = std::max(w.Height, kMinWindowHeight);
}

void FixGridStep(float& step) {
    if (step == 0) {
        step = 1;
    } else if (step < 0.01f) {
        step = 0.01f;
    } else if (step > 256) {
        step = 256;
    }
}

// The rules run in this order for each axis; the axes do not influence each other.
// The rules run until they change nothing, so a saved configuration reads back to the same
// values: (5000, 5000) would otherwise become (4096, 4096) and move again on the next start. At
// the lower limit equal values part upwards, as going down would be clamped back.
void FixGridAxis(float& min, float& max, float& step) {
    for (int pass = 0; pass < 8; ++pass) {
        const float oldMin = min, oldMax = max;
        if (min == max) {
            if (min - 10 >= -4096.0f) {
                min -= 10;
            } else {
                max += 10;
            }
        }
        if (min == 0) {
            min = -10;
        }
        if (max == 0) {
            max = 10;
        }
        min = std::clamp(min, -4096.0f, 4096.0f);
        max = std::clamp(max, -4096.0f, 4096.0f);
        if (min == oldMin && max == oldMax) {
            break;
        }
    }
    FixGridStep(step);
}

void FixGrid(GridProperties& g) {
    FixGridAxis(g.MinX, g.MaxX, g.StepX);
    FixGridAxis(g.MinZ, g.MaxZ, g.StepZ);
    if (g.SnapGridSize < 0.00001f) {
        g.SnapGridSize = 5;
    } else if (g.SnapGridSize > 256) {
        g.SnapGridSize = 256;
    }
}

void ValidateWhole(Settings& s) {
    for (std::string* folder : {&s.ScgtModelPath, &s.ScgtArtPath, &s.ScgtScenePath, &s.ScgtTrackPath}) {
        if (folder->empty()) {
            *folder = HomeFolder();
        }
    }
    s.MaxTex = static_cast<std::int16_t>(Apply(kMaxTex, s.MaxTex));
    if (s.ViewType > 4) {
        s.ViewType = 0;
    }
    if (s.RenderType > 2) {
        s.RenderType = 2;
    }
    FixToolWindow(s.VertexGroupWinPosition);
    FixToolWindow(s.PolygonGroupWinPosition);
    FixToolWindow(s.MainWinPosition);
    FixGrid(s.Grid);
}

// Start-up values the header defaults cannot give: every empty folder is the home folder.
void FillDefaultFolders(Settings& s) {
    for (const Entry& e : kEntries) {
        if (const auto* f = std::get_if<FolderField>(&e.Value); f != nullptr && (s.*f->Member).empty()) {
            s.*f->Member = HomeFolder();
        }
    }
}

// ---- Writing ----

// A folder as a value line that reads back as the same folder. An empty line or one starting
// with ";" would be dropped on reading and one equal to a key would be taken for that key, so
// such relative names get a "./" in front; an empty folder is written as the home folder.
std::string StorableFolder(std::string folder) {
    folder = folder.substr(0, folder.find_first_of("\r\n")); // a line break cannot be stored
    if (folder.empty()) {
        return HomeFolder();
    }
    const bool isKey =
        std::any_of(kEntries.begin(), kEntries.end(), [&](const Entry& e) { return e.Key == folder; });
    return folder.front() == ';' || isKey ? "./" + folder : folder;
}

void WriteEntry(const Entry& e, const Settings& s, std::string& out) {
    auto line = [&](const std::string& value) {
        out += value;
        out += kLineEnd;
    };
    std::visit(Overloaded{
                   [&](const FolderField& f) { line(StorableFolder(s.*f.Member)); },
                   [&](const IntegerField& f) { line(NumberLine(std::int64_t{s.*f.Member})); },
                   [&](const ByteField& f) { line(NumberLine(std::int64_t{s.*f.Member})); },
                   [&](const FlagField& f) { line(NumberLine(std::int64_t{s.*f.Member ? 1 : 0})); },
                   [&](const LongField& f) { line(NumberLine(std::int64_t{s.*f.Member})); },
                   [&](const WindowField& f) {
                       for (auto value : kWindowValues) {
                           line(NumberLine(std::int64_t{(s.*f.Member).*value}));
                       }
                   },
                   [&](const GridField&) {
                       for (auto value : kGridValues) {
                           line(NumberLine(s.Grid.*value));
                       }
                       line(s.Grid.SnapVertices ? "True" : "False");
                       line(NumberLine(s.Grid.SnapGridSize));
                   },
                   [&](const RecentField&) {
                       std::vector<const RecentFile*> kept;
                       for (const RecentFile& f : s.RecentFiles) {
                           if (kept.size() < kMaxRecentFiles && StorableCommand(f.Command) && StorablePath(f.Path)) {
                               kept.push_back(&f);
                           }
                       }
                       line(NumberLine(static_cast<std::int64_t>(kept.size())));
                       for (const RecentFile* f : kept) {
                           line(f->Command);
                           line(f->Path);
                       }
                   },
               },
               e.Value);
}

std::string ConfigText(const Settings& s) {
    std::string out;
    for (const Entry& e : kEntries) {
        out += e.Key;
        out += kLineEnd;
        WriteEntry(e, s, out);
        out += kLineEnd;
    }
    return out;
}

bool IsWritableFolder(const std::string& dir) {
    return !dir.empty() && ::access(dir.c_str(), W_OK) == 0;
}

std::string Environment(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? v : "";
}

} // namespace

std::string HomeFolder() {
    if (std::string home = Environment("HOME"); !home.empty()) {
        return home;
    }
    if (const passwd* pw = ::getpwuid(::getuid());
        pw != nullptr && pw->pw_dir != nullptr && *pw->pw_dir != 0) {
        return pw->pw_dir;
    }
    return "/";
}

// Where installs put programs: a root user could write there, but settings do not belong there.
bool IsSystemFolder(const std::string& dir) {
    const std::string d = std::filesystem::path(dir).lexically_normal().string();
    return d.starts_with("/usr/") || d == "/usr" || d == "/bin" || d == "/sbin" || d.starts_with("/opt/");
}

std::string ConfigFilePath(const std::string& programDir) {
    if (IsWritableFolder(programDir) && !IsSystemFolder(programDir)) {
        return (std::filesystem::path(programDir) / kConfigFileName).string();
    }
    std::filesystem::path base = Environment("XDG_CONFIG_HOME");
    if (base.empty() || base.is_relative()) { // relative values are to be ignored
        base = std::filesystem::path(HomeFolder()) / ".config";
    }
    const std::filesystem::path folder = base / "zorvane";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec); // failure shows later as a missing file or a failed save
    return (folder / kConfigFileName).string();
}

bool LoadConfig(const std::string& path, Settings& s, model::UserInterface& ui, MissingFile missing) {
    FillDefaultFolders(s);
    std::string text;
    const ReadResult result = ReadWholeFile(path, text);
    if (result == ReadResult::Ok) {
        ApplyText(text, s);
    } else if (result == ReadResult::Missing && missing == MissingFile::Tell) {
        ui.ShowMessage("Info", "Zv.cfg not found", model::MessageIcon::Information,
                       model::MessageButtons::Ok);
    } else if (result == ReadResult::Failed) {
        ui.ShowMessage("Config File Open Error", "Can't open Zv.cfg", model::MessageIcon::Warning,
                       model::MessageButtons::Ok);
    }
    ValidateWhole(s);
    return result == ReadResult::Ok;
}

bool SaveConfig(const std::string& path, const Settings& s, model::UserInterface& ui) {
    if (!model::ReplaceFile(path, ConfigText(s))) {
        return true;
    }
    ui.ShowMessage("Config Save Error", "Can't save Config File", model::MessageIcon::Warning,
                   model::MessageButtons::Ok);
    return false;
}

} // namespace zv::config
