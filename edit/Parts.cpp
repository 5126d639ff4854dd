#include "edit/Parts.h"

namespace zv::edit {
namespace {

void ShowPartCount(const model::ModelStore& m, model::UserInterface& ui) {
    ui.SetPartsCaption("Groups: " + std::to_string(m.PartCount()));
}

} // namespace

std::string DefaultPartName(int number) {
    const std::string digits = std::to_string(number);
    return "Obj" + std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
}

int AddPart(model::ModelStore& m, model::UserInterface& ui, const std::string& name) {
    if (m.PartCount() >= model::kMaxParts) {
        return 0;
    }
    const int g = m.PartCount() + 1;
    int members = 0;
    for (int p = 0; p < m.PolyCount && members < model::kMaxPartMembers; ++p) {
        if (m.PolySel[p] != model::kFalse) {
            m.GroupPoly(g, ++members) = p;
        }
    }
    if (members == 0) {
        return 0;
    }
    const std::string partName = name.empty() ? DefaultPartName(g) : name;
    m.GroupName[g] = partName;
    m.GroupSize[g] = members;
    m.PartNodes.push_back({partName + "   p:" + std::to_string(members), true});
    m.SelectedPart = g;
    ui.PartTreeChanged();
    ShowPartCount(m, ui);
    ui.ShowPartsWindow();
    return g;
}

std::string PartBaseName(const model::ModelStore& m, int g) {
    const std::string& text = m.PartNodes[static_cast<std::size_t>(g - 1)].Text;
    return text.substr(0, text.find(' '));
}

void ClearParts(model::ModelStore& m, model::UserInterface& ui) {
    m.PartNodes.clear();
    m.SelectedPart = 0;
    ui.PartTreeChanged();
    ShowPartCount(m, ui);
}

} // namespace zv::edit
