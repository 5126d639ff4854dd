#include "tests/support/VertexReference.h"

#include <cmath>
#include <vector>

namespace zv::test {
namespace {

using model::kFalse;
using model::kTrue;

bool Selected(const model::ModelStore& m, int i) {
    return m.VertSel[i] != kFalse;
}

bool Close(const model::VertRec& a, const model::VertRec& b, double t) {
    return std::abs(static_cast<double>(a.X) - static_cast<double>(b.X)) <= t &&
           std::abs(static_cast<double>(a.Y) - static_cast<double>(b.Y)) <= t &&
           std::abs(static_cast<double>(a.Z) - static_cast<double>(b.Z)) <= t;
}

// Every corner of every polygon that references from now references to.
void RewriteCorners(model::ModelStore& m, int from, int to) {
    for (int p = 0; p < m.PolyCount; ++p) {
        for (int k = 0; k < m.PolyVCount[p]; ++k) {
            if (m.PolyVert(p, k) == from) {
                m.PolyVert(p, k) = to;
            }
        }
    }
}

float& Coordinate(model::VertRec& v, int axis) {
    if (axis == 0) {
        return v.X;
    }
    if (axis == 1) {
        return v.Y;
    }
    return v.Z;
}

float Snap(float c, double g) {
    const double x = c;
    if (x >= 0) {
        return static_cast<float>(std::trunc((x + g / 2 - g / 100) / g) * g);
    }
    return static_cast<float>(std::trunc((x - g / 2 + g / 100) / g) * g);
}

// The centre of the box of the selected vertices; false when none is selected.
bool SelectionCentre(const model::ModelStore& m, model::Point3d& centre) {
    bool any = false;
    double lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
    for (int i = 0; i < m.VertCount; ++i) {
        if (!Selected(m, i)) {
            continue;
        }
        const double c[3] = {m.Vert[i].X, m.Vert[i].Y, m.Vert[i].Z};
        for (int a = 0; a < 3; ++a) {
            if (!any) {
                lo[a] = hi[a] = c[a];
            } else {
                if (c[a] < lo[a]) {
                    lo[a] = c[a];
                }
                if (c[a] > hi[a]) {
                    hi[a] = c[a];
                }
            }
        }
        any = true;
    }
    centre = {(lo[0] + hi[0]) * 0.5, (lo[1] + hi[1]) * 0.5, (lo[2] + hi[2]) * 0.5};
    return any;
}

} // namespace

bool LiteralDeleteVertex(model::ModelStore& m) {
    const int c = m.CurVert;
    for (int p = 0; p < m.PolyCount; ++p) {
        for (int k = 0; k < m.PolyVCount[p]; ++k) {
            if (m.PolyVert(p, k) == c) {
                return false;
            }
        }
    }
    if (c == m.VertCount - 1) {
        --m.VertCount;
        m.CurVert = -1;
        return true;
    }
    for (int i = c + 1; i < m.VertCount; ++i) {
        m.Vert[i - 1] = m.Vert[i];
        m.VertSel[i - 1] = m.VertSel[i];
        m.VertFlag[i - 1] = m.VertFlag[i];
        RewriteCorners(m, i, i - 1);
    }
    --m.VertCount;
    return true;
}

void LiteralDeleteUnusedVertices(model::ModelStore& m) {
    for (;;) {
        m.VertUsed.Fill(kFalse);
        for (int p = 0; p < m.PolyCount; ++p) {
            for (int k = 0; k < m.PolyVCount[p]; ++k) {
                m.VertUsed[m.PolyVert(p, k)] = kTrue;
            }
        }
        bool anyUnused = false;
        for (int i = 0; i < m.VertCount; ++i) {
            anyUnused = anyUnused || m.VertUsed[i] == kFalse;
        }
        if (!anyUnused) {
            return;
        }
        const int start = m.VertCount;
        for (int i = 0; i < start; ++i) {
            while (m.VertUsed[i] == kFalse) {
                const int last = m.VertCount - 1;
                if (i < last) {
                    m.Vert[i] = m.Vert[last];
                    m.VertSel[i] = m.VertSel[last];
                    m.VertUsed[i] = m.VertUsed[last];
                    m.VertFlag[i] = m.VertFlag[last];
                    RewriteCorners(m, last, i);
                    --m.VertCount;
                } else if (i == last) {
                    --m.VertCount;
                } else {
                    break;
                }
            }
        }
    }
}

void LiteralWeldVertices(model::ModelStore& m, double t) {
    std::vector<int> redirect(static_cast<std::size_t>(m.VertCount), -1);
    const auto redirected = [&](int v) { return redirect[static_cast<std::size_t>(v)] >= 0; };
    for (int i = 0; i < m.VertCount; ++i) {
        if (!Selected(m, i) || redirected(i)) {
            continue;
        }
        for (int j = 0; j < m.VertCount; ++j) {
            if (j != i && Selected(m, j) && !redirected(j) && Close(m.Vert[i], m.Vert[j], t)) {
                redirect[static_cast<std::size_t>(j)] = i;
            }
        }
    }
    for (int p = 0; p < m.PolyCount; ++p) {
        for (int k = 0; k < m.PolyVCount[p]; ++k) {
            const int v = m.PolyVert(p, k);
            if (redirected(v)) {
                m.PolyVert(p, k) = redirect[static_cast<std::size_t>(v)];
            }
        }
    }
}

void LiteralJoinVertices(model::ModelStore& m, double t) {
    for (int i = 0; i < m.VertCount; ++i) {
        if (!Selected(m, i)) {
            continue;
        }
        for (int j = 0; j < m.VertCount; ++j) {
            if (j != i && Selected(m, j) && Close(m.Vert[i], m.Vert[j], t)) {
                m.Vert[j] = m.Vert[i];
            }
        }
    }
}

void LiteralSnapToGrid(model::ModelStore& m, double g) {
    for (int i = 0; i < m.VertCount; ++i) {
        if (Selected(m, i)) {
            model::VertRec& v = m.Vert[i];
            v.X = Snap(v.X, g);
            v.Y = Snap(v.Y, g);
            v.Z = Snap(v.Z, g);
        }
    }
}

void LiteralSnapToPosition(model::ModelStore& m, const Triple& value, const AxisSwitches& axes) {
    for (int i = 0; i < m.VertCount; ++i) {
        for (int a = 0; a < 3; ++a) {
            if (Selected(m, i) && axes[static_cast<std::size_t>(a)]) {
                Coordinate(m.Vert[i], a) = static_cast<float>(value[static_cast<std::size_t>(a)]);
            }
        }
    }
}

void LiteralMoveGroupToPosition(model::ModelStore& m, const model::Point3d& centre, const Triple& value,
                                const AxisSwitches& axes) {
    const double c[3] = {centre.X, centre.Y, centre.Z};
    for (int i = 0; i < m.VertCount; ++i) {
        for (int a = 0; a < 3; ++a) {
            if (Selected(m, i) && axes[static_cast<std::size_t>(a)]) {
                float& x = Coordinate(m.Vert[i], a);
                x = static_cast<float>(static_cast<double>(x) - c[a] + value[static_cast<std::size_t>(a)]);
            }
        }
    }
}

void LiteralResize(model::ModelStore& m, const Triple& factors, bool selectedOnly) {
    for (int i = 0; i < m.VertCount; ++i) {
        if (selectedOnly && !Selected(m, i)) {
            continue;
        }
        for (int a = 0; a < 3; ++a) {
            float& x = Coordinate(m.Vert[i], a);
            x = static_cast<float>(static_cast<double>(x) * factors[static_cast<std::size_t>(a)]);
        }
    }
}

void LiteralTranslate(model::ModelStore& m, const Triple& offsets, bool selectedOnly) {
    for (int i = 0; i < m.VertCount; ++i) {
        if (selectedOnly && !Selected(m, i)) {
            continue;
        }
        for (int a = 0; a < 3; ++a) {
            float& x = Coordinate(m.Vert[i], a);
            x = static_cast<float>(static_cast<double>(x) + offsets[static_cast<std::size_t>(a)]);
        }
    }
}

void LiteralRotate(model::ModelStore& m, const Triple& degrees, bool aboutCentre) {
    model::Point3d centre;
    if (aboutCentre && !SelectionCentre(m, centre)) {
        return;
    }
    const double c[3] = {centre.X, centre.Y, centre.Z};
    if (aboutCentre) {
        for (int i = 0; i < m.VertCount; ++i) {
            for (int a = 0; a < 3 && Selected(m, i); ++a) {
                float& x = Coordinate(m.Vert[i], a);
                x = static_cast<float>(static_cast<double>(x) - c[a]);
            }
        }
    }
    float cs[3], sn[3];
    for (std::size_t a = 0; a < 3; ++a) {
        const double radians = degrees[a] * 0.017453292;
        cs[a] = static_cast<float>(std::cos(radians));
        sn[a] = static_cast<float>(std::sin(radians));
    }
    for (int i = 0; i < m.VertCount; ++i) {
        if (!Selected(m, i)) {
            continue;
        }
        model::VertRec& v = m.Vert[i];
        if (degrees[0] != 0) {
            const double y = v.Y, z = v.Z;
            v.Y = static_cast<float>(y * cs[0] + z * sn[0]);
            v.Z = static_cast<float>(-y * sn[0] + z * cs[0]);
        }
        if (degrees[1] != 0) {
            const double x = v.X, z = v.Z;
            v.X = static_cast<float>(x * cs[1] - z * sn[1]);
            v.Z = static_cast<float>(x * sn[1] + z * cs[1]);
        }
        if (degrees[2] != 0) {
            const double x = v.X, y = v.Y;
            v.X = static_cast<float>(x * cs[2] + y * sn[2]);
            v.Y = static_cast<float>(-x * sn[2] + y * cs[2]);
        }
    }
    if (aboutCentre) {
        for (int i = 0; i < m.VertCount; ++i) {
            for (int a = 0; a < 3 && Selected(m, i); ++a) {
                float& x = Coordinate(m.Vert[i], a);
                x = static_cast<float>(static_cast<double>(x) + c[a]);
            }
        }
    }
}

} // namespace zv::test
