// Scene files and package lists: whatever the text, the names read are of the shape the loader
// expects, a name that passes the plain-name check cannot leave the scene folder, and no name
// or dummy read from a file can break the lines of the scene files written from it. No file is
// touched: the loader's folder look-up is the tests' work.

#include "FuzzSupport.h"

#include "track/Dummies.h"
#include "track/SceneFile.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace {

using zv::fuzz::Require;

constexpr std::size_t kParts = 32; // parts of the model the partial scene file is written for

void CheckPlainName(std::string_view name) {
    if (!zv::track::IsPlainFileName(name)) {
        return;
    }
    Require(!name.empty() && name != "." && name != "..", "plain name is a file name");
    Require(name.find_first_of("/\\:") == std::string_view::npos, "plain name has no folder or drive");
    Require(
        std::none_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }),
        "plain name has no control character");
    Require(name.front() != ' ' && name.back() != ' ', "plain name has no blank at either end");
}

// Every line ends in CR LF, and there are exactly lines of them.
void CheckLines(const std::string& text, std::size_t lines) {
    const auto lf = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    const auto cr = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r'));
    Require(lf == lines && cr == lines, "line count");
    for (std::size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1)) {
        Require(i > 0 && text[i - 1] == '\r', "CR LF line ends");
    }
    Require(text.ends_with("}\r\n"), "closing brace");
}

void CheckScene(const zv::track::SceneContents& s) {
    for (const std::string& name : s.Objects) {
        Require(!name.empty(), "object name");
        Require(name.find_first_of(" /\t\r\n") == std::string::npos, "object name ends at a blank or /");
        Require(std::none_of(name.begin(), name.end(), [](char c) { return c >= 'a' && c <= 'z'; }),
                "object name in upper case");
    }
    for (const zv::track::Dummy& d : s.Dummies) {
        Require(d.Pos[0] != 0 && d.Pos[1] != 0 && d.Pos[2] != 0, "dummy away from the axis planes");
        Require(d.Name.find_first_of("\r\n") == std::string::npos, "dummy name on one line");
    }
}

void CheckPackageList(const zv::track::SceneContents& s) {
    Require(s.Cameras.empty() && s.Dummies.empty(), "a package list has only objects");
    for (const std::string& name : s.Objects) {
        std::string upper = name;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
        Require(upper.find(".VRL") != std::string::npos, "package list line names a VRL file");
        Require(name.find_first_of("\r\n") == std::string::npos, "package list name on one line");
    }
}

// The files written from what was read: the dummies (at most the table's capacity) and the
// partial scene file of a model whose parts are named after the objects.
void WriteBack(const zv::track::SceneContents& s) {
    zv::track::DummyTable table;
    const std::size_t dummies = std::min<std::size_t>(s.Dummies.size(), zv::track::kDummyCapacity);
    table.Items.assign(s.Dummies.begin(), s.Dummies.begin() + static_cast<std::ptrdiff_t>(dummies));
    CheckLines(zv::track::DummySceneText(table), 5 + 5 * dummies);

    static zv::model::ModelStore model; // the tables are large: allocate them once
    const std::size_t parts = std::min(s.Objects.size(), kParts);
    model.PartNodes.clear();
    for (std::size_t g = 0; g < parts; ++g) {
        model.PartNodes.push_back({s.Objects[g], true});
    }
    CheckLines(zv::track::PartialSceneText(model, zv::track::SceneGroup::Road, "01/02/03"), 13 + 5 * parts);
    CheckLines(zv::track::PartialSceneText(model, zv::track::SceneGroup::Side, "01/02/03"), 13 + 4 * parts);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zv::track;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckPlainName(text);

    const SceneContents scene = ParseScene(text, SceneKind::Scene);
    CheckScene(scene);
    const SceneContents list = ParseScene(text, SceneKind::PackageList);
    CheckPackageList(list);
    for (const SceneContents* s : {&scene, &list}) {
        for (const std::string& name : s->Objects) {
            CheckPlainName(name);
        }
        WriteBack(*s);
    }
    return 0;
}
