#include "cli/ModelJson.h"

#include <charconv>
#include <cstdlib>
#include <nlohmann/json.hpp>

namespace zv::cli {
namespace {

using nlohmann::json;

// Names in model files are 8-bit Windows text; JSON wants UTF-8.
std::string Latin1ToUtf8(const std::string& s) {
    std::string out;
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return out;
}

// True when s is well-formed UTF-8 (no stray continuation bytes, no cut sequences, no
// overlong forms).
bool IsUtf8(const std::string& s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t n = b < 0x80           ? 1
                              : (b >> 5) == 0x6  ? 2
                              : (b >> 4) == 0xE  ? 3
                              : (b >> 3) == 0x1E ? 4
                                                 : 0;
        if (n == 0 || i + n > s.size() || (n == 2 && b < 0xC2)) {
            return false;
        }
        for (std::size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += n;
    }
    return true;
}

// Part names come from file names (UTF-8 on this system) or from part lists (8-bit Windows
// text): kept when they are UTF-8 already, as the editor shows them.
std::string PartNameToUtf8(const std::string& s) {
    return IsUtf8(s) ? s : Latin1ToUtf8(s);
}

json Vertices(const model::ModelStore& m) {
    json a = json::array();
    for (int i = 0; i < m.VertCount; ++i) {
        const model::VertRec& v = m.Vert[i];
        a.push_back({JsonFloat(v.X), JsonFloat(v.Y), JsonFloat(v.Z)});
    }
    return a;
}

json Polygons(const model::ModelStore& m) {
    json a = json::array();
    for (int p = 0; p < m.PolyCount; ++p) {
        json corners = json::array();
        for (int k = 0; k < m.PolyVCount[p]; ++k) {
            corners.push_back({m.PolyVert(p, k), JsonFloat(m.PolyTU(p, k)), JsonFloat(m.PolyTV(p, k))});
        }
        a.push_back({{"corners", corners},
                     {"tex", m.PolyTex[p]},
                     {"type", m.PolyType[p]},
                     {"color", {m.PolyR[p], m.PolyG[p], m.PolyB[p], m.PolyA[p]}}});
    }
    return a;
}

json Parts(const model::ModelStore& m) {
    json a = json::array();
    for (int g = 1; g <= m.PartCount(); ++g) {
        json members = json::array();
        for (int k = 1; k <= m.GroupSize[g]; ++k) {
            members.push_back(m.GroupPoly(g, k));
        }
        a.push_back({{"name", PartNameToUtf8(m.GroupName[g])},
                     {"text", PartNameToUtf8(m.PartNodes[static_cast<std::size_t>(g - 1)].Text)},
                     {"members", members}});
    }
    return a;
}

} // namespace

std::string ModelJson(const model::ModelStore& m) {
    json textures = json::array();
    for (int t = 0; t < m.TexCount; ++t) {
        textures.push_back(Latin1ToUtf8(m.TexName[t]));
    }
    const json doc{
        {"vertices", Vertices(m)}, {"polygons", Polygons(m)}, {"textures", textures}, {"parts", Parts(m)}};
    return doc.dump();
}

double JsonFloat(float f) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text - 1, f).ptr;
    *end = '\0';
    return std::strtod(text, nullptr);
}

} // namespace zv::cli
