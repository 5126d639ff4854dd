#pragma once
// Builds small models straight in a model store, for tests of the operations and writers.

#include "model/ModelStore.h"

#include <cstdint>
#include <initializer_list>
#include <string>

namespace zv::test {

// Makes the store an empty model (counts 0).
inline void StartModel(model::ModelStore& m) {
    m.VertCount = 0;
    m.PolyCount = 0;
    m.TexCount = 0;
}

inline int AddVertex(model::ModelStore& m, float x, float y, float z) {
    m.Vert[m.VertCount] = {x, y, z};
    return m.VertCount++;
}

inline int AddTexture(model::ModelStore& m, const std::string& name) {
    m.TexName[m.TexCount] = name;
    return m.TexCount++;
}

struct Corner {
    int Vertex;
    float U = 0;
    float V = 0;
};

// A polygon with its corners in model order; colour and type from the arguments.
inline int AddPolygon(model::ModelStore& m, std::initializer_list<Corner> corners, int tex = 0, int type = 0,
                      std::uint8_t r = 10, std::uint8_t g = 20, std::uint8_t b = 30, std::uint8_t a = 40) {
    const int p = m.PolyCount++;
    int k = 0;
    for (const Corner& c : corners) {
        m.PolyVert(p, k) = c.Vertex;
        m.PolyTU(p, k) = c.U;
        m.PolyTV(p, k) = c.V;
        ++k;
    }
    m.PolyVCount[p] = k;
    m.PolyTex[p] = tex;
    m.PolyType[p] = type;
    m.PolyR[p] = r;
    m.PolyG[p] = g;
    m.PolyB[p] = b;
    m.PolyA[p] = a;
    return p;
}

inline void SelectAll(model::ModelStore& m) {
    for (int p = 0; p < m.PolyCount; ++p) {
        m.PolySel[p] = model::kTrue;
    }
}

} // namespace zv::test
