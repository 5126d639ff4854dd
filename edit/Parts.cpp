#include "edit/Parts.h"

#include "model/Paths.h"

#include <algorithm>
#include <string_view>

namespace zv::edit {
namespace {

constexpr std::uint8_t kShown = 1;

void ShowPartCount(const model::ModelStore& m, model::UserInterface& ui) {
    ui.SetPartsCaption("Groups: " + std::to_string(m.PartCount()));
}

// Parts that have a slot in the tables; a tree longer than the tables is never walked past them.
int UsablePartCount(const model::ModelStore& m) {
    return std::min(m.PartCount(), model::kMaxParts);
}

bool IsPart(const model::ModelStore& m, int g) {
    return g >= 1 && g <= UsablePartCount(m);
}

int MemberCount(const model::ModelStore& m, int g) {
    return std::clamp(m.GroupSize[g], 0, model::kMaxPartMembers);
}

model::PartNode& Node(model::ModelStore& m, int g) {
    return m.PartNodes[static_cast<std::size_t>(g - 1)];
}

bool IsPolygon(const model::ModelStore& m, std::int32_t p) {
    return p >= 0 && p < std::min(m.PolyCount, model::kPolygonCapacity);
}

// Calls f(v) for every corner vertex of polygon p that is a vertex of the model.
template <class F> void ForEachCornerVertex(const model::ModelStore& m, std::int32_t p, F f) {
    const int corners = std::clamp(m.PolyVCount[p], 0, model::kMaxCorners);
    const std::int32_t vertices = std::min(m.VertCount, model::kVertexCapacity);
    for (int k = 0; k < corners; ++k) {
        const std::int32_t v = m.PolyVert(p, k);
        if (v >= 0 && v < vertices) {
            f(v);
        }
    }
}

// Calls f(p) for every member of part g that is a polygon of the model.
template <class F> void ForEachMemberPolygon(const model::ModelStore& m, int g, F f) {
    const int members = MemberCount(m, g);
    for (int i = 1; i <= members; ++i) {
        const std::int32_t p = m.GroupPoly(g, i);
        if (IsPolygon(m, p)) {
            f(p);
        }
    }
}

void ShowPolygonAndCorners(model::ModelStore& m, std::int32_t p) {
    m.PolyFlag[p] = static_cast<std::uint8_t>(m.PolyFlag[p] | kShown);
    ForEachCornerVertex(
        m, p, [&](std::int32_t v) { m.VertFlag[v] = static_cast<std::uint8_t>(m.VertFlag[v] | kShown); });
}

// Sets or clears the shown bit of every polygon and vertex of the model and of every node.
void SetEverythingShown(model::ModelStore& m, model::UserInterface& ui, bool shown) {
    const auto apply = [shown](std::uint8_t flag) {
        return static_cast<std::uint8_t>(shown ? flag | kShown : flag & ~kShown);
    };
    for (std::int32_t p = 0; p < std::min(m.PolyCount, model::kPolygonCapacity); ++p) {
        m.PolyFlag[p] = apply(m.PolyFlag[p]);
    }
    for (std::int32_t v = 0; v < std::min(m.VertCount, model::kVertexCapacity); ++v) {
        m.VertFlag[v] = apply(m.VertFlag[v]);
    }
    for (model::PartNode& node : m.PartNodes) {
        node.Checked = shown;
    }
    ui.PartTreeChanged();
}

// Drops member i of part g: the last member takes its place.
void DropMember(model::ModelStore& m, int g, int i) {
    const int last = MemberCount(m, g);
    m.GroupPoly(g, i) = m.GroupPoly(g, last);
    m.GroupSize[g] = last - 1;
}

// "001" .. "099", then the plain number.
std::string ThreeDigits(int number) {
    const std::string digits = std::to_string(number);
    return std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
}

// The first count characters of text; a UTF-8 sequence is never cut in two.
std::string FirstCharacters(std::string_view text, int count) {
    std::size_t end = 0;
    for (int n = 0; n < count && end < text.size(); ++n) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
            ++end;
        }
    }
    return std::string(text.substr(0, end));
}

} // namespace

std::string FileNameSafe(std::string name) {
    constexpr std::string_view kUnsafe = "\\/:*?\"<>|";
    for (char& c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7F || kUnsafe.find(c) != std::string_view::npos) {
            c = '_';
        }
    }
    return name;
}

std::string DefaultPartName(int number) {
    return "Obj" + ThreeDigits(number);
}

namespace {

// Names part g of members polygons (already in GroupPoly) and adds its node.
int NamePart(model::ModelStore& m, model::UserInterface& ui, const std::string& name, int g, int members) {
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

} // namespace

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
    return NamePart(m, ui, name, g, members);
}

int AddPartOfPolygons(model::ModelStore& m, model::UserInterface& ui, const std::string& name, int first, int count) {
    if (m.PartCount() >= model::kMaxParts || first < 0) {
        return 0;
    }
    const int g = m.PartCount() + 1;
    const int end = std::min({first + std::min(count, model::kMaxPartMembers), m.PolyCount, model::kPolygonCapacity});
    int members = 0;
    for (int p = first; p < end; ++p) {
        m.GroupPoly(g, ++members) = p;
    }
    if (members == 0) {
        return 0;
    }
    return NamePart(m, ui, name, g, members);
}

std::string PartFileName(const model::ModelStore& m, int g) {
    const std::string base = PartBaseName(m, g);
    return base.empty() ? (g >= 1 && g <= m.PartCount() ? DefaultPartName(g) : std::string())
                        : FileNameSafe(base);
}

std::string PartBaseName(const model::ModelStore& m, int g) {
    if (g < 1 || g > m.PartCount()) {
        return {};
    }
    const std::string& text = m.PartNodes[static_cast<std::size_t>(g - 1)].Text;
    return text.substr(0, text.find(' '));
}

void ClearParts(model::ModelStore& m, model::UserInterface& ui) {
    m.PartNodes.clear();
    m.SelectedPart = 0;
    ui.PartTreeChanged();
    ShowPartCount(m, ui);
}

bool DeletePart(model::ModelStore& m, model::UserInterface& ui) {
    const int s = m.SelectedPart;
    if (!IsPart(m, s)) {
        return false;
    }
    const int count = UsablePartCount(m);
    for (int g = s; g < count; ++g) {
        const int members = MemberCount(m, g + 1);
        for (int i = 1; i <= members; ++i) {
            m.GroupPoly(g, i) = m.GroupPoly(g + 1, i);
        }
        m.GroupSize[g] = members;
        m.GroupName[g] = m.GroupName[g + 1];
    }
    m.GroupSize[count] = 0;
    m.GroupName[count].clear();
    m.PartNodes.erase(m.PartNodes.begin() + (s - 1));
    m.SelectedPart = std::min(s, m.PartCount());
    ui.PartTreeChanged();
    ShowPartCount(m, ui);
    return true;
}

void RemovePolyFromParts(model::ModelStore& m, std::int32_t p) {
    for (int g = 1; g <= UsablePartCount(m); ++g) {
        for (int i = 1; i <= MemberCount(m, g);) {
            if (m.GroupPoly(g, i) == p) {
                DropMember(m, g, i); // the moved-in member is looked at next
            } else {
                ++i;
            }
        }
    }
}

void RenumberPartMembers(model::ModelStore& m, std::int32_t from, std::int32_t to) {
    for (int g = 1; g <= UsablePartCount(m); ++g) {
        const int members = MemberCount(m, g);
        for (int i = 1; i <= members; ++i) {
            if (m.GroupPoly(g, i) == from) {
                m.GroupPoly(g, i) = to;
            }
        }
    }
}

void RemapPartMembers(model::ModelStore& m, std::span<const std::int32_t> newIndex) {
    for (int g = 1; g <= UsablePartCount(m); ++g) {
        for (int i = 1; i <= MemberCount(m, g);) {
            const std::int32_t q = m.GroupPoly(g, i);
            const std::int32_t to = q >= 0 && static_cast<std::size_t>(q) < newIndex.size()
                                        ? newIndex[static_cast<std::size_t>(q)]
                                        : -1;
            if (to < 0) {
                DropMember(m, g, i);
            } else {
                m.GroupPoly(g, i) = to;
                ++i;
            }
        }
    }
}

std::optional<PartSelection> SelectPart(model::ModelStore& m, model::UserInterface& /*ui*/,
                                        const config::Settings& settings, int g) {
    if (!IsPart(m, g)) {
        return std::nullopt;
    }
    ForEachMemberPolygon(m, g, [&](std::int32_t p) {
        m.PolySel[p] = model::kTrue;
        if (settings.VertexMark) {
            ForEachCornerVertex(m, p, [&](std::int32_t v) { m.VertSel[v] = model::kTrue; });
        }
    });
    return PartSelection{g, PartBaseName(m, g)};
}

void ShowPart(model::ModelStore& m, model::UserInterface& ui, int g, bool shown) {
    if (!IsPart(m, g)) {
        return;
    }
    if (shown) {
        ForEachMemberPolygon(m, g, [&](std::int32_t p) { ShowPolygonAndCorners(m, p); });
    } else {
        ForEachMemberPolygon(m, g, [&](std::int32_t p) {
            m.PolyFlag[p] = static_cast<std::uint8_t>(m.PolyFlag[p] & ~kShown);
        });
        for (std::int32_t v = 0; v < std::min(m.VertCount, model::kVertexCapacity); ++v) {
            m.VertFlag[v] = static_cast<std::uint8_t>(m.VertFlag[v] & ~kShown);
        }
        for (std::int32_t p = 0; p < std::min(m.PolyCount, model::kPolygonCapacity); ++p) {
            if ((m.PolyFlag[p] & kShown) != 0) {
                ShowPolygonAndCorners(m, p);
            }
        }
    }
    if (Node(m, g).Checked != shown) {
        Node(m, g).Checked = shown;
        ui.PartTreeChanged();
    }
}

void ShowAllParts(model::ModelStore& m, model::UserInterface& ui) {
    SetEverythingShown(m, ui, true);
}

void HideAllParts(model::ModelStore& m, model::UserInterface& ui) {
    SetEverythingShown(m, ui, false);
}

void ShowSelectedParts(model::ModelStore& m, model::UserInterface& /*ui*/) {
    for (int g = 1; g <= UsablePartCount(m); ++g) {
        if (Node(m, g).Checked) {
            ForEachMemberPolygon(m, g, [&](std::int32_t p) { ShowPolygonAndCorners(m, p); });
        }
    }
}

bool ShowCheckParts(model::ModelStore& m, model::UserInterface& ui, bool shown) {
    static constexpr std::string_view kCheckPrefixes[] = {"XCHK", "XPITIN", "XPITOUT", "XSTFN"};
    bool any = false;
    for (int g = 1; g <= UsablePartCount(m); ++g) {
        const std::string name = model::UpperAscii(Node(m, g).Text);
        if (std::any_of(std::begin(kCheckPrefixes), std::end(kCheckPrefixes),
                        [&](std::string_view prefix) { return name.starts_with(prefix); })) {
            ShowPart(m, ui, g, shown);
            any = true;
        }
    }
    return any;
}

bool RenameParts(model::ModelStore& m, model::UserInterface& ui) {
    if (m.PartCount() == 0) {
        return false;
    }
    const std::optional<std::string> answer =
        ui.InputBox("New name ?\r\n(max. 5 chars.)", "Rename Objects", "");
    if (!answer || answer->empty()) {
        return false;
    }
    const std::string name = FileNameSafe(FirstCharacters(*answer, 5));
    for (int k = 1; k <= m.PartCount(); ++k) {
        Node(m, k).Text = name + ThreeDigits(k);
    }
    ui.PartTreeChanged();
    return true;
}

} // namespace zv::edit
