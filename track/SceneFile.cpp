#include "track/SceneFile.h"

#include "edit/Parts.h"
#include "model/FileReplace.h"
#include "model/Paths.h"
#include "waypoints/AiwNumbers.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace zv::track {
namespace {

class CameraCopy final : public edit::DocumentPart {
public:
    explicit CameraCopy(CameraTable& live) : live_(live), held_(live) {}
    void Swap() override { std::swap(live_, held_); }
    std::size_t Bytes() const override { return sizeof(held_) + held_.Pos.capacity() * sizeof(Vec3); }

private:
    CameraTable& live_;
    CameraTable held_;
};

// The lines of text, split at CR LF, LF or a lone CR; lines starting with ";" are dropped.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t end = text.find_first_of("\r\n", i);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(i, end - i);
        if (line.empty() || line.front() != ';') {
            out.push_back(line);
        }
        i = end;
        if (i < text.size()) {
            i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
        }
    }
    return out;
}

bool Contains(std::string_view upper, std::string_view key) {
    return upper.find(key) != std::string_view::npos;
}

std::string_view TrimLeft(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    return first == std::string_view::npos ? std::string_view() : s.substr(first);
}

std::string_view Trim(std::string_view s) {
    s = TrimLeft(s);
    const std::size_t last = s.find_last_not_of(" \t");
    return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

// The three values of a line's tuple; (0, 0, 0) for a malformed tuple, as in path files.
Vec3 TupleOf(std::string_view line) {
    const std::optional<waypoints::AiwTuple> tuple = waypoints::SplitAiwTuple(line);
    if (!tuple || tuple->Commas < 2) {
        return {};
    }
    Vec3 v{};
    for (std::size_t k = 0; k < 3; ++k) {
        const std::optional<float> f = waypoints::ParseAiwFloat(tuple->Parts[k]);
        if (!f) {
            return {};
        }
        v[k] = *f;
    }
    return v;
}

// The instance starting at line i: its position lines and its object, up to the next instance.
void WalkInstance(const std::vector<std::string_view>& lines, const std::vector<std::string>& upper, std::size_t i,
                  SceneContents& out) {
    const std::string_view original = lines[i];
    const std::size_t at = upper[i].find("INSTANCE=");
    const std::string name(Trim(original.substr(at + 9)));
    for (std::size_t j = i + 1; j < lines.size(); ++j) {
        const std::string_view u = TrimLeft(upper[j]);
        if (Contains(u, "INSTANCE=")) {
            return; // an instance without an object
        }
        if (Contains(u, "INSSTART=")) {
            const Vec3 p = TupleOf(u);
            if (p[0] != 0 && p[1] != 0 && p[2] != 0) {
                out.Dummies.push_back({name, p, false});
            }
        }
        const std::size_t obj = u.find("OBJFILE=");
        if (obj != std::string_view::npos && !u.starts_with("//")) {
            const std::string_view rest = u.substr(obj + 8);
            const std::string_view object = rest.substr(0, rest.find_first_of(" /\t"));
            if (!object.empty()) {
                out.Objects.emplace_back(object);
            }
            return;
        }
    }
}

} // namespace

void RecordCameras(edit::Recorder& rec, CameraTable& c) {
    rec.Document(&c, [&c] { return std::make_unique<CameraCopy>(c); });
}

SceneKind SceneKindOf(const std::string& path) {
    const std::string upper = model::UpperAscii(path);
    return upper.ends_with(".PCK") ? SceneKind::PackageList : SceneKind::Scene;
}

SceneContents ParseScene(std::string_view text, SceneKind kind) {
    SceneContents out;
    const std::vector<std::string_view> lines = Lines(text);
    std::vector<std::string> upper;
    upper.reserve(lines.size());
    for (const std::string_view line : lines) {
        upper.push_back(model::UpperAscii(line));
    }
    if (kind == SceneKind::PackageList) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (Contains(upper[i], ".VRL")) {
                out.Objects.emplace_back(lines[i]);
            }
        }
        return out;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (Contains(upper[i], "INSTANCE=")) {
            WalkInstance(lines, upper, i, out);
        }
        if (Contains(upper[i], "VIEW=CAMERA")) {
            for (std::size_t j = i + 1; j < lines.size(); ++j) {
                if (Contains(upper[j], "START=")) {
                    const Vec3 p = TupleOf(upper[j]);
                    out.Cameras.push_back({-p[0], -p[1], -p[2]});
                    break;
                }
            }
        }
    }
    return out;
}

bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == ".." || name.front() == ' ' || name.back() == ' ') {
        return false;
    }
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
}

std::string PartialSceneText(const model::ModelStore& m, SceneGroup group, std::string_view date) {
    const bool road = group == SceneGroup::Road;
    std::string out;
    out += "//------------------------------------------------\r\n";
    out += "//\r\n";
    out += "//  Scene txt generated by ZV0.6b\r\n";
    out += "//  Date: ";
    out += date;
    out += "\r\n";
    out += "//\r\n";
    out += "//------------------------------------------------\r\n";
    out += "\r\n\r\n";
    out += "///////////ZV0.6b generated partial scene file/////////\r\n";
    out += "\r\n";
    out += road ? "Group=~trkadba\r\n" : "Group=~sidadba\r\n";
    out += "{\r\n";
    const int parts = std::min(m.PartCount(), model::kMaxParts);
    for (int g = 1; g <= parts; ++g) {
        std::string name = edit::PartBaseName(m, g);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
        out += "  Instance=" + name + "\r\n";
        out += "  {\r\n";
        if (road) {
            out += "    ObjFile=" + name + ".vrl LODIn=(0.00) LODMid=(150.00) LODOut=(200.00)\r\n";
            out += "    Response=Vehicle,Terrain\r\n";
        } else {
            out += "    ObjFile=" + name +
                   ".vrl LODIn=(0.00) LODMid=(160.00) LODOut=(210.00) HatTarget=False CollTarget=False\r\n";
        }
        out += "  }\r\n";
    }
    out += "}\r\n";
    return out;
}

bool WritePartialScene(model::UserInterface& ui, const model::ModelStore& m, SceneGroup group,
                       std::string_view date, const std::string& path) {
    if (m.PartCount() == 0) {
        ui.ShowMessage("Info:", "No groups for making a scene file!", model::MessageIcon::Information,
                       model::MessageButtons::Ok);
        return false;
    }
    if (model::ReplaceFile(path, PartialSceneText(m, group, date))) {
        ui.ShowMessage("Save Error", "Can't save Scene File", model::MessageIcon::Warning, model::MessageButtons::Ok);
        return false;
    }
    return true;
}

} // namespace zv::track
