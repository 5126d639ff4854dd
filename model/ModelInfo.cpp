#include "model/ModelInfo.h"

#include "model/Numbers.h"

#include <algorithm>
#include <cmath>

namespace zv::model {

std::string TitleLine(const ModelStore& m, bool modified) {
    return std::string("ZV") + kVersion + " [ " + m.ModelFileName + (modified ? "*" : "") +
           " ]    v: " + std::to_string(m.VertCount) + "  p: " + std::to_string(m.PolyCount);
}

void UpdateTitleLine(const ModelStore& m, UserInterface& ui) {
    ui.SetCaption(TitleLine(m));
}

std::string ProductCaption() {
    return std::string("Zorvane v") + kVersion;
}

void CalcExtents(ModelStore& m) {
    const VertRec& first = m.Vert[0];
    m.ExtMinX = m.ExtMaxX = first.X;
    m.ExtMinY = m.ExtMaxY = first.Y;
    m.ExtMinZ = m.ExtMaxZ = first.Z;
    for (int i = 1; i < m.VertCount; ++i) {
        const VertRec& v = m.Vert[i];
        m.ExtMinX = std::min<double>(m.ExtMinX, v.X);
        m.ExtMinY = std::min<double>(m.ExtMinY, v.Y);
        m.ExtMinZ = std::min<double>(m.ExtMinZ, v.Z);
        m.ExtMaxX = std::max<double>(m.ExtMaxX, v.X);
        m.ExtMaxY = std::max<double>(m.ExtMaxY, v.Y);
        m.ExtMaxZ = std::max<double>(m.ExtMaxZ, v.Z);
    }
    m.ExtSizeX = std::fabs(m.ExtMaxX - m.ExtMinX);
    m.ExtSizeY = std::fabs(m.ExtMaxY - m.ExtMinY);
    m.ExtSizeZ = std::fabs(m.ExtMaxZ - m.ExtMinZ);
}

std::string ModelInfoText(ModelStore& m, int texLoadCount) {
    CalcExtents(m);
    const std::string rule(66, '-');
    const auto count = [](int n) { return std::to_string(n < 1 ? 0 : n); };
    const auto range = [](const char* axis, double lo, double hi) {
        return std::string("Min") + axis + ": " + FormatFixed8(lo) + "      Max" + axis + ": " +
               FormatFixed8(hi);
    };
    std::string text;
    text += "General:\r" + rule + "\r";
    text += "Vertices: " + std::to_string(m.VertCount) + "\r";
    text += "Polygons: " + std::to_string(m.PolyCount) + "\r";
    text += "Textures: " + count(m.TexCount) + "\r";
    text += "Loaded Textures: " + count(texLoadCount) + "\r";
    text += "\rSize:\r" + rule + "\r";
    text += range("X", m.ExtMinX, m.ExtMaxX) + "\r";
    text += range("Y", m.ExtMinY, m.ExtMaxY) + "\r";
    text += range("Z", m.ExtMinZ, m.ExtMaxZ);
    return text;
}

void ShowModelInfo(ModelStore& m, int texLoadCount, UserInterface& ui) {
    ui.ShowMessage("Model Info", ModelInfoText(m, texLoadCount), MessageIcon::Information,
                   MessageButtons::Ok);
}

} // namespace zv::model
