#include "formats/TruckImport.h"

#include "edit/Parts.h"
#include "edit/Transforms.h"
#include "formats/BinFormat.h"
#include "formats/FileBytes.h"
#include "model/Capacities.h"
#include "model/FileLookup.h"
#include "model/ModelInfo.h"
#include "model/Numbers.h"
#include "model/Paths.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace zv::formats {
namespace {

// Scale convention. A BIN file holds coordinates in 1/256 ft. Opened alone, a model is shown in
// metres (value / 256 * 0.3048); a merged one comes in at value / 1024, a unit of 4 ft. The
// truck files were made for that second unit: their positions are in feet and were divided by
// 4, and the drive shaft's drop of 0.7 was given in it too. Left so, the body would be 1.2192
// times too large for its chassis. The truck is therefore built in metres, the body's scale
// when opened alone: each merged piece is multiplied by kMergeToOpen, positions (feet) by
// kFeet, and the fixed offsets given in merge units by kMergeToOpen.
constexpr double kFeet = 0.3048;
constexpr double kMergeToOpen = 4 * kFeet;
constexpr double kBodyDrop = -0.7 / 4 * kMergeToOpen; // the body sits 0.7 ft lower
constexpr double kShaftDrop = -0.7 * kMergeToOpen;    // the middle of a drive shaft

constexpr const char* kTitle = "Import MTM2 Truck";
constexpr const char* kDriveShaft = "drvshaft.bin";
constexpr int kShaftEnd = 6; // vertices of one end of a drive shaft
constexpr std::uint64_t kMaxTruckFileBytes = std::uint64_t{1} << 20;

// Why the truck cannot be imported, as the message says it.
class Refusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Truck {
    std::string Body, Axle, RightTire, LeftTire, DriveShaft; // paths as found
    edit::Vec3 FR{}, FL{}, RR{}, RL{};                       // tire positions in metres
};

std::string_view Trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// The lines that carry something: empty lines and comments (";") are dropped.
std::vector<std::string> MeaningfulLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = Trimmed(text.substr(0, end));
        if (!line.empty() && line.front() != ';') {
            lines.emplace_back(line);
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

// The line after the first line that contains key.
const std::string& ValueOf(const std::vector<std::string>& lines, const std::string& key) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find(key) != std::string::npos) {
            if (i + 1 == lines.size()) {
                throw Refusal("No value for key: " + key);
            }
            return lines[i + 1];
        }
    }
    throw Refusal("Key not found: " + key);
}

double NumberOf(const std::vector<std::string>& lines, const std::string& key) {
    const auto v = model::ParseNumber(ValueOf(lines, key));
    if (!v) {
        throw Refusal("Not a number: " + key + " = " + ValueOf(lines, key));
    }
    return *v;
}

edit::Vec3 PositionOf(const std::vector<std::string>& lines, const std::string& tire) {
    const std::string key = tire + ".static_bpos.";
    return {NumberOf(lines, key + "x") * kFeet, NumberOf(lines, key + "y") * kFeet,
            NumberOf(lines, key + "z") * kFeet};
}

// Model base names are given without ".bin"; some files name the file, so a ".bin" goes first.
std::string BaseName(const std::string& value) {
    return model::UpperAscii(value).ends_with(".BIN") ? value.substr(0, value.size() - 4) : value;
}

std::string Found(const std::string& folder, const std::string& name) {
    const std::string path =
        folder.empty() || folder.back() == '/' || folder.back() == '\\' ? folder + name : folder + "/" + name;
    if (const auto found = model::FindFileNoCase(path)) {
        return *found;
    }
    throw Refusal("File not found: " + path);
}

Truck ReadTruckFile(const Workspace& ws, const std::string& trkPath) {
    const auto bytes = ReadFileBytes(trkPath, kMaxTruckFileBytes);
    if (!bytes) {
        throw Refusal("Can't read " + trkPath);
    }
    const auto lines = MeaningfulLines({reinterpret_cast<const char*>(bytes->data()), bytes->size()});
    ValueOf(lines, "MTM2 truckName"); // marks the file as an MTM2 truck
    const std::string& setFolder = ws.Settings.Mtm2ModelPath;
    const std::string folder = setFolder.empty() ? model::FolderOf(trkPath) : setFolder;
    Truck t;
    t.Body = Found(folder, BaseName(ValueOf(lines, "truckModelBaseName")) + ".bin");
    const std::string tire = BaseName(ValueOf(lines, "tireModelBaseName"));
    t.RightTire = Found(folder, tire + "16r.bin");
    t.LeftTire = Found(folder, tire + "16l.bin");
    t.Axle = Found(folder, ValueOf(lines, "axleModelName"));
    t.DriveShaft = Found(folder, kDriveShaft);
    t.FR = PositionOf(lines, "faxle.rtire");
    t.FL = PositionOf(lines, "faxle.ltire");
    t.RR = PositionOf(lines, "raxle.rtire");
    t.RL = PositionOf(lines, "raxle.ltire");
    return t;
}

// Keeps the last message of the reads in the scratch workspace.
class LastMessage : public model::QuietUserInterface {
public:
    model::MessageAnswer ShowMessage(std::string_view title, std::string_view text, model::MessageIcon icon,
                                     model::MessageButtons buttons) override {
        Text = std::string(Trimmed(title)) + ": " + std::string(text);
        return QuietUserInterface::ShowMessage(title, text, icon, buttons);
    }
    std::string Text;
};

// Reads every piece once into a scratch workspace, so that a damaged piece, a short drive shaft
// or a truck too large for the model is found before the model is touched.
void CheckPieces(const Workspace& ws, const Truck& t) {
    LastMessage ui;
    auto scratch = std::make_unique<Workspace>(ui);
    scratch->Settings = ws.Settings;
    scratch->Settings.LoadTexturesOnOpen = false;
    const model::ModelStore& s = scratch->Model;
    std::int64_t vertices = 0, polygons = 0;
    std::set<std::string> textures;
    const auto read = [&](const std::string& path, int times) {
        if (!OpenBin(*scratch, path)) {
            throw Refusal("Can't read " + path + "\r" + ui.Text);
        }
        vertices += std::int64_t{s.VertCount} * times;
        polygons += std::int64_t{s.PolyCount} * times;
        for (int i = 0; i < s.TexCount; ++i) {
            textures.insert(s.TexName[i]);
        }
    };
    read(t.DriveShaft, 2);
    if (s.VertCount < 2 * kShaftEnd) {
        throw Refusal(t.DriveShaft + " has " + std::to_string(s.VertCount) + " vertices, fewer than " +
                      std::to_string(2 * kShaftEnd));
    }
    read(t.Body, 1);
    read(t.Axle, 2);
    read(t.RightTire, 2);
    read(t.LeftTire, 2);
    const auto limit = [](const char* what, std::int64_t n, int capacity) {
        if (n > capacity) {
            throw Refusal(std::string("The truck has too many ") + what + ": " + std::to_string(n) +
                          " (at most " + std::to_string(capacity) + ")");
        }
    };
    limit("vertices", vertices, model::kVertexCapacity);
    limit("polygons", polygons, model::kPolygonCapacity);
    limit("textures", static_cast<std::int64_t>(textures.size()), model::kTextureCapacity);
}

void DeselectVertices(model::ModelStore& m) {
    for (int v = 0; v < m.VertCount; ++v) {
        m.VertSel[v] = model::kFalse;
    }
}

// Moves the selected vertices by offset, then deselects them. The open has cleared the history
// and the import as a whole is what an open is, so no step is recorded.
void MoveSelection(model::ModelStore& m, const edit::Vec3& offset) {
    edit::Recorder none;
    edit::Translate(m, none, offset, edit::Affected::Selected);
    DeselectVertices(m);
}

void SelectVertices(model::ModelStore& m, int first, int end) {
    for (int v = first; v < end; ++v) {
        m.VertSel[v] = model::kTrue;
    }
}

// Merges a piece (its vertices come selected) and brings it to the body's scale.
bool MergePiece(Workspace& ws, const std::string& path) {
    if (!MergeBin(ws, path)) {
        return false;
    }
    edit::Recorder none;
    edit::Resize(ws.Model, none, {kMergeToOpen, kMergeToOpen, kMergeToOpen}, edit::Affected::Selected);
    return true;
}

bool MergeAndMove(Workspace& ws, const std::string& path, const edit::Vec3& offset) {
    if (!MergePiece(ws, path)) {
        return false;
    }
    MoveSelection(ws.Model, offset);
    return true;
}

// A drive shaft from the axle at (y, z) to the middle of the truck; the axle end is the last six
// vertices of the first shaft and the six before them of the second.
bool MergeDriveShaft(Workspace& ws, const std::string& path, const edit::Vec3& axle, bool axleEndLast) {
    model::ModelStore& m = ws.Model;
    if (!MergePiece(ws, path)) {
        return false;
    }
    DeselectVertices(m);
    const int last = m.VertCount - kShaftEnd;
    const int before = m.VertCount - 2 * kShaftEnd;
    SelectVertices(m, axleEndLast ? last : before, axleEndLast ? m.VertCount : last);
    MoveSelection(m, {0, axle[1], axle[2]});
    SelectVertices(m, axleEndLast ? before : last, axleEndLast ? last : m.VertCount);
    MoveSelection(m, {0, kShaftDrop, 0});
    return true;
}

// The body keeps the parts of its part list; without one it becomes a part named after its file.
void MakeBodyPart(Workspace& ws, const std::string& path) {
    model::ModelStore& m = ws.Model;
    if (m.PartCount() > 0) {
        return;
    }
    const std::string name = model::StripExtension(model::FileNameOf(path));
    for (int first = 0; first < m.PolyCount; first += model::kMaxPartMembers) {
        edit::AddPartOfPolygons(m, ws.Ui, name, first, std::min(model::kMaxPartMembers, m.PolyCount - first));
    }
}

bool Build(Workspace& ws, const Truck& t) {
    model::ModelStore& m = ws.Model;
    if (!OpenBin(ws, t.Body)) {
        return false;
    }
    MakeBodyPart(ws, t.Body);
    SelectVertices(m, 0, m.VertCount);
    MoveSelection(m, {0, kBodyDrop, 0});
    const bool built =
        MergeAndMove(ws, t.Axle, {0, t.FR[1], t.FR[2]}) && MergeAndMove(ws, t.Axle, {0, t.RR[1], t.RR[2]}) &&
        MergeAndMove(ws, t.RightTire, t.FR) && MergeAndMove(ws, t.LeftTire, t.FL) &&
        MergeAndMove(ws, t.RightTire, t.RR) && MergeAndMove(ws, t.LeftTire, t.RL) &&
        MergeDriveShaft(ws, t.DriveShaft, t.FL, true) && MergeDriveShaft(ws, t.DriveShaft, t.RL, false);
    for (int p = 0; p < m.PolyCount; ++p) {
        m.PolySel[p] = model::kFalse; // as after a BIN open: nothing selected
    }
    return built;
}

} // namespace

bool ImportTruck(Workspace& ws, const std::string& trkPath) {
    if (trkPath.size() < 5) {
        return false;
    }
    if (!IsFile(trkPath)) {
        ws.Ui.ShowMessage(kTitle, "File not found: " + trkPath, model::MessageIcon::Warning,
                          model::MessageButtons::Ok);
        return false;
    }
    std::optional<Truck> truck;
    try {
        model::BusyPointer busy(ws.Ui);
        truck = ReadTruckFile(ws, trkPath);
        CheckPieces(ws, *truck);
    } catch (const Refusal& r) {
        ws.Ui.ShowMessage(kTitle, r.what(), model::MessageIcon::Warning, model::MessageButtons::Ok);
        return false;
    }
    {
        model::BusyPointer busy(ws.Ui);
        if (!Build(ws, *truck)) {
            return false; // a piece changed since it was checked; the BIN reader has said why
        }
    }
    // The caption names the truck, not the last piece merged.
    ws.Model.ModelDir = model::FolderOf(trkPath);
    ws.Model.ModelFileName = model::FileNameOf(trkPath);
    model::UpdateTitleLine(ws.Model, ws.Ui);
    return true;
}

} // namespace zv::formats
