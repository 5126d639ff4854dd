#include "model/Normals.h"

#include "model/Numbers.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace zv::model {
namespace {

void NewellNormal(ModelStore& m, int p, int a, int b, int c) {
    const VertRec& va = m.Vert[m.PolyVert(p, a)];
    const VertRec& vb = m.Vert[m.PolyVert(p, b)];
    const VertRec& vc = m.Vert[m.PolyVert(p, c)];
    const double xa = va.X, ya = va.Y, za = va.Z;
    const double xb = vb.X, yb = vb.Y, zb = vb.Z;
    const double xc = vc.X, yc = vc.Y, zc = vc.Z;

    double nx = (ya - yb) * (za + zb) + (yb - yc) * (zb + zc) + (yc - ya) * (zc + za);
    double ny = (za - zb) * (xa + xb) + (zb - zc) * (xb + xc) + (zc - za) * (xc + xa);
    double nz = (xa - xb) * (ya + yb) + (xb - xc) * (yb + yc) + (xc - xa) * (yc + ya);
    const double len = std::sqrt(nx * nx + ny * ny + nz * nz);
    const double d = xa * nx + ya * ny + za * nz;
    if (len == 0) {
        nx = ny = nz = 0;
        m.PolyD[p] = 0;
    } else {
        nx /= len;
        ny /= len;
        nz /= len;
        m.PolyD[p] = static_cast<float>(d / len);
    }
    m.PolyNX[p] = static_cast<float>(-nx);
    m.PolyNY[p] = static_cast<float>(-ny);
    m.PolyNZ[p] = static_cast<float>(-nz);
    m.NrmX[p] = static_cast<float>(RoundHalfEven(-nx, 6));
    m.NrmY[p] = static_cast<float>(RoundHalfEven(-ny, 6));
    m.NrmZ[p] = static_cast<float>(RoundHalfEven(-nz, 6));
}

} // namespace

void CalcPolyNormal(ModelStore& m, int p) {
    NewellNormal(m, p, 0, 1, 2);
}

void CalcPolyNormal2(ModelStore& m, int p) {
    const int last = m.PolyVCount[p] >= 4 ? 3 : 0;
    NewellNormal(m, p, 1, 2, last);
}

void CalcPolyCenters(ModelStore& m) {
    for (int p = 0; p < m.PolyCount; ++p) {
        VertRec lo = m.Vert[m.PolyVert(p, 0)];
        VertRec hi = lo;
        for (int k = 1; k < m.PolyVCount[p]; ++k) {
            const VertRec& v = m.Vert[m.PolyVert(p, k)];
            lo.X = std::min(lo.X, v.X);
            lo.Y = std::min(lo.Y, v.Y);
            lo.Z = std::min(lo.Z, v.Z);
            hi.X = std::max(hi.X, v.X);
            hi.Y = std::max(hi.Y, v.Y);
            hi.Z = std::max(hi.Z, v.Z);
        }
        auto mid = [](float a, float b) { return static_cast<float>((double{a} + double{b}) * 0.5); };
        m.PolyCenter[p] = {mid(lo.X, hi.X), mid(lo.Y, hi.Y), mid(lo.Z, hi.Z)};
    }
}

void CalcVertexNormals(ModelStore& m) {
    const auto n = static_cast<std::size_t>(std::max(m.VertCount, 0));
    std::vector<double> sx(n), sy(n), sz(n);
    std::vector<int> uses(n);
    const int polys = std::min(m.PolyCount, kPolygonCapacity);
    for (int p = 0; p < polys; ++p) {
        const int corners = std::min<int>(m.PolyVCount[p], kMaxCorners);
        for (int k = 0; k < corners; ++k) {
            const auto v = static_cast<std::size_t>(m.PolyVert(p, k));
            if (v >= n) {
                continue; // not a vertex (the cast makes -1 large)
            }
            sx[v] += m.PolyNX[p];
            sy[v] += m.PolyNY[p];
            sz[v] += m.PolyNZ[p];
            ++uses[v];
        }
    }
    for (std::size_t v = 0; v < n; ++v) {
        const int i = static_cast<int>(v);
        const double count = uses[v] > 0 ? uses[v] : 1;
        m.NrmX[i] = static_cast<float>(sx[v] / count);
        m.NrmY[i] = static_cast<float>(sy[v] / count);
        m.NrmZ[i] = static_cast<float>(sz[v] / count);
    }
}

int RecalcNormals(ModelStore& m) {
    int skipped = 0;
    const int polys = std::min(m.PolyCount, kPolygonCapacity);
    for (int p = 0; p < polys; ++p) {
        const int n = m.PolyVCount[p];
        bool sound = n >= 3 && n <= kMaxCorners;
        for (int k = 0; sound && k < n; ++k) {
            const int v = m.PolyVert(p, k);
            sound = v >= 0 && v < m.VertCount;
        }
        if (sound) {
            CalcPolyNormal(m, p);
        } else {
            ++skipped;
        }
    }
    CalcVertexNormals(m);
    return skipped;
}

} // namespace zv::model
