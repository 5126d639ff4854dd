#include "tests/edit/PolygonReference.h"

#include "edit/Parts.h"
#include "model/Columns.h"
#include "model/Normals.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace zv::test {
namespace {

using model::ModelStore;
using Marks = std::vector<char>;

// Work marks by polygon row; they move with their rows.
struct MarkSet {
    std::vector<Marks*> Lists;
    void Erase(std::int32_t p) {
        for (Marks* m : Lists) {
            m->erase(m->begin() + p);
        }
    }
    void Append() {
        for (Marks* m : Lists) {
            m->push_back(0);
        }
    }
};

void Settle(ModelStore& m) {
    if (m.CurPoly >= m.PolyCount) {
        m.CurPoly = m.CurCorner = m.CurEdge = -1;
    } else if (m.CurPoly >= 0) {
        const int n = m.PolyVCount[m.CurPoly];
        m.CurCorner = m.CurCorner >= n ? -1 : m.CurCorner;
        m.CurEdge = m.CurEdge >= n ? -1 : m.CurEdge;
    }
}

void Delete(ModelStore& m, std::int32_t p, MarkSet& marks) {
    edit::RemovePolyFromParts(m, p);
    for (std::int32_t q = p + 1; q < m.PolyCount; ++q) {
        model::CopyPolygonRow(m, q, q - 1);
        edit::RenumberPartMembers(m, q, q - 1);
    }
    --m.PolyCount;
    marks.Erase(p);
}

int AppendVertex(ModelStore& m, const model::VertRec& at, bool selected) {
    const int v = m.VertCount++;
    model::ClearVertexRow(m, v);
    m.Vert[v] = at;
    m.VertSel[v] = selected ? model::kTrue : model::kFalse;
    return v;
}

struct Corner {
    std::int32_t V;
    float U, W;
};

Corner CornerOf(const ModelStore& m, int p, int k) {
    return {m.PolyVert(p, k), m.PolyTU(p, k), m.PolyTV(p, k)};
}

// A new polygon after the others with the look of polygon from and the given corners.
int AppendPolygon(ModelStore& m, int from, const std::vector<Corner>& corners, MarkSet& marks) {
    const int p = m.PolyCount++;
    model::ClearPolygonRow(m, p);
    m.PolyVCount[p] = static_cast<std::int32_t>(corners.size());
    for (std::size_t k = 0; k < corners.size(); ++k) {
        m.PolyVert(p, static_cast<int>(k)) = corners[k].V;
        m.PolyTU(p, static_cast<int>(k)) = corners[k].U;
        m.PolyTV(p, static_cast<int>(k)) = corners[k].W;
    }
    m.PolyTex[p] = m.PolyTex[from];
    m.PolyType[p] = m.PolyType[from];
    m.PolyR[p] = m.PolyR[from];
    m.PolyG[p] = m.PolyG[from];
    m.PolyB[p] = m.PolyB[from];
    m.PolyA[p] = m.PolyA[from];
    model::CalcPolyNormal(m, p);
    marks.Append();
    return p;
}

bool Sound(const ModelStore& m, int p) {
    for (int k = 0; k < m.PolyVCount[p]; ++k) {
        if (m.PolyVert(p, k) < 0 || m.PolyVert(p, k) >= m.VertCount) {
            return false;
        }
    }
    return true;
}

float Mid(float a, float b) {
    return static_cast<float>((static_cast<double>(a) + b) / 2);
}

bool Split(ModelStore& m, std::int32_t p, std::int32_t e, MarkSet& marks) {
    const int n = m.PolyVCount[p];
    if ((n != 3 && n != 4) || !Sound(m, p) || (n == 3 && (e < 0 || e > 2))) {
        return false;
    }
    const Corner c0 = CornerOf(m, p, 0), c1 = CornerOf(m, p, 1), c2 = CornerOf(m, p, 2);
    std::vector<Corner> a, b;
    if (n == 4) {
        const Corner c3 = CornerOf(m, p, 3);
        if (e == 1 || e == 3) {
            a = {c0, c1, c3};
            b = {c1, c2, c3};
        } else {
            a = {c0, c1, c2};
            b = {c0, c2, c3};
        }
    } else {
        const Corner& from = e == 0 ? c1 : e == 1 ? c2 : c0;
        const Corner& to = e == 0 ? c2 : e == 1 ? c0 : c1;
        const model::VertRec &x = m.Vert[from.V], &y = m.Vert[to.V];
        const int v = AppendVertex(m, {Mid(x.X, y.X), Mid(x.Y, y.Y), Mid(x.Z, y.Z)}, false);
        const Corner mid{v, Mid(from.U, to.U), Mid(from.W, to.W)};
        if (e == 0) {
            a = {c0, c1, mid};
            b = {c0, mid, c2};
        } else if (e == 1) {
            a = {c0, c1, mid};
            b = {c1, c2, mid};
        } else {
            a = {c2, c0, mid};
            b = {mid, c1, c2};
        }
    }
    AppendPolygon(m, p, a, marks);
    AppendPolygon(m, p, b, marks);
    int part = 0;
    for (int g = 1; g <= m.PartCount() && part == 0; ++g) {
        for (int i = 1; i <= m.GroupSize[g]; ++i) {
            part = m.GroupPoly(g, i) == p ? g : part;
        }
    }
    Delete(m, p, marks);
    if (part > 0) {
        m.GroupPoly(part, ++m.GroupSize[part]) = m.PolyCount - 2;
        m.GroupPoly(part, ++m.GroupSize[part]) = m.PolyCount - 1;
    }
    return true;
}

std::array<float, 3> Normal(ModelStore& m, int p) {
    const float keep[7] = {m.PolyNX[p], m.PolyNY[p], m.PolyNZ[p], m.PolyD[p],
                           m.NrmX[p],   m.NrmY[p],   m.NrmZ[p]};
    model::CalcPolyNormal(m, p);
    const std::array<float, 3> n{m.PolyNX[p], m.PolyNY[p], m.PolyNZ[p]};
    m.PolyNX[p] = keep[0];
    m.PolyNY[p] = keep[1];
    m.PolyNZ[p] = keep[2];
    m.PolyD[p] = keep[3];
    m.NrmX[p] = keep[4];
    m.NrmY[p] = keep[5];
    m.NrmZ[p] = keep[6];
    return n;
}

bool ThreeDifferent(const ModelStore& m, int p) {
    return m.PolyVert(p, 0) != m.PolyVert(p, 1) && m.PolyVert(p, 0) != m.PolyVert(p, 2) &&
           m.PolyVert(p, 1) != m.PolyVert(p, 2);
}

} // namespace

void LiteralDeletePolygon(ModelStore& m, std::int32_t p) {
    MarkSet none;
    Delete(m, p, none);
    Settle(m);
}

void LiteralDeleteSelected(ModelStore& m) {
    MarkSet none;
    const auto anySelected = [&] {
        for (int p = 0; p < m.PolyCount; ++p) {
            if (m.PolySel[p] != model::kFalse) {
                return true;
            }
        }
        return false;
    };
    if (!anySelected()) {
        return;
    }
    while (anySelected()) {
        const int count = m.PolyCount;
        for (int i = 0; i < count; ++i) {
            if (i < m.PolyCount && m.PolySel[i] != model::kFalse) {
                Delete(m, i, none);
            }
        }
    }
    Settle(m);
}

void LiteralRemoveWrong(ModelStore& m) {
    Marks wrong(static_cast<std::size_t>(m.PolyCount), 0);
    for (int p = 0; p < m.PolyCount; ++p) {
        const auto c = [&](int k) { return m.PolyVert(p, k); };
        const int n = m.PolyVCount[p];
        bool w = false;
        if (n >= 4) {
            const int triples[4][3] = {{0, 1, 2}, {0, 1, 3}, {0, 2, 3}, {1, 2, 3}};
            for (const auto& t : triples) {
                w = w || (c(t[0]) == c(t[1]) && c(t[1]) == c(t[2]));
            }
            w = w || (c(0) == c(1) && c(2) == c(3)) || (c(0) == c(2) && c(1) == c(3)) ||
                (c(0) == c(3) && c(1) == c(2));
        } else {
            w = n < 3 || c(0) == c(1) || c(0) == c(2) || c(1) == c(2);
        }
        wrong[static_cast<std::size_t>(p)] = w ? 1 : 0;
    }
    if (std::find(wrong.begin(), wrong.end(), 1) == wrong.end()) {
        return;
    }
    MarkSet marks{{&wrong}};
    for (int i = 0; i < m.PolyCount;) {
        if (wrong[static_cast<std::size_t>(i)] != 0) {
            Delete(m, i, marks);
        } else {
            ++i;
        }
    }
    Settle(m);
}

void LiteralFlipSelected(ModelStore& m) {
    for (int p = 0; p < m.PolyCount; ++p) {
        if (m.PolySel[p] == model::kFalse) {
            continue;
        }
        std::vector<Corner> c;
        for (int k = 0; k < m.PolyVCount[p]; ++k) {
            c.push_back(CornerOf(m, p, k));
        }
        if (c.size() >= 2) {
            std::reverse(c.begin(), c.end() - 1);
        }
        for (std::size_t k = 0; k < c.size(); ++k) {
            m.PolyVert(p, static_cast<int>(k)) = c[k].V;
            m.PolyTU(p, static_cast<int>(k)) = c[k].U;
            m.PolyTV(p, static_cast<int>(k)) = c[k].W;
        }
    }
}

void LiteralMirrorSelected(ModelStore& m) {
    const auto swap = [&](int p, int a, int b) {
        std::swap(m.PolyTU(p, a), m.PolyTU(p, b));
        std::swap(m.PolyTV(p, a), m.PolyTV(p, b));
    };
    for (int p = 0; p < m.PolyCount; ++p) {
        if (m.PolySel[p] != model::kFalse && m.PolyVCount[p] == 3) {
            swap(p, 0, 1);
        } else if (m.PolySel[p] != model::kFalse && m.PolyVCount[p] == 4) {
            swap(p, 0, 1);
            swap(p, 3, 2);
        }
    }
}

void LiteralRotateSelected(ModelStore& m) {
    for (int p = 0; p < m.PolyCount; ++p) {
        const int n = m.PolyVCount[p];
        if (m.PolySel[p] == model::kFalse || n < 1) {
            continue;
        }
        const float u = m.PolyTU(p, 0), v = m.PolyTV(p, 0);
        for (int k = 0; k < n - 1; ++k) {
            m.PolyTU(p, k) = m.PolyTU(p, k + 1);
            m.PolyTV(p, k) = m.PolyTV(p, k + 1);
        }
        m.PolyTU(p, n - 1) = u;
        m.PolyTV(p, n - 1) = v;
    }
}

void LiteralCopyToBackside(ModelStore& m) {
    const int count = m.PolyCount;
    for (int s = 0; s < count; ++s) {
        if (m.PolySel[s] == model::kFalse) {
            continue;
        }
        const int p = m.PolyCount++;
        const int n = m.PolyVCount[s];
        model::ClearPolygonRow(m, p);
        m.PolyVCount[p] = n;
        for (int k = 0; k < n; ++k) {
            m.PolyVert(p, k) = m.PolyVert(s, n - 1 - k);
            m.PolyTU(p, k) = m.PolyTU(s, n - 1 - k);
            m.PolyTV(p, k) = m.PolyTV(s, n - 1 - k);
        }
        m.PolyTex[p] = m.PolyTex[s];
        m.PolyType[p] = m.PolyType[s];
        m.PolyR[p] = m.PolyR[s];
        m.PolyG[p] = m.PolyG[s];
        m.PolyB[p] = m.PolyB[s];
        m.PolyA[p] = m.PolyA[s];
        m.PolyNX[p] = m.PolyNX[s];
        m.PolyNY[p] = m.PolyNY[s];
        m.PolyNZ[p] = m.PolyNZ[s];
        m.PolyD[p] = m.PolyD[s];
        if (n >= 3 && Sound(m, p)) {
            model::CalcPolyNormal(m, p);
        }
    }
}

bool LiteralSplitPolygon(ModelStore& m, std::int32_t p, std::int32_t e) {
    MarkSet none;
    const bool split = Split(m, p, e, none);
    if (split) {
        Settle(m);
    }
    return split;
}

void LiteralSplitSelected(ModelStore& m) {
    Marks marked(static_cast<std::size_t>(m.PolyCount), 0);
    bool any = false;
    for (int p = 0; p < m.PolyCount; ++p) {
        const bool selected = m.PolySel[p] != model::kFalse;
        if (selected && m.PolyVCount[p] != 3 && m.PolyVCount[p] != 4) {
            return; // refused whole
        }
        marked[static_cast<std::size_t>(p)] = selected ? 1 : 0;
        any = any || selected;
    }
    if (!any) {
        return;
    }
    MarkSet marks{{&marked}};
    bool splitAny = false;
    while (std::find(marked.begin(), marked.end(), 1) != marked.end()) {
        const int count = m.PolyCount;
        for (int i = 0; i < count; ++i) {
            if (i >= m.PolyCount || marked[static_cast<std::size_t>(i)] == 0) {
                continue;
            }
            if (Split(m, i, 0, marks)) {
                splitAny = true;
                m.CurCorner = 0;
            } else {
                marked[static_cast<std::size_t>(i)] = 0;
            }
        }
    }
    if (splitAny) {
        Settle(m);
    }
}

void LiteralMergeTriangles(ModelStore& m) {
    const auto count = static_cast<std::size_t>(m.PolyCount);
    Marks marked(count, 0), dropped(count, 0);
    for (std::size_t p = 0; p < count; ++p) {
        marked[p] = m.PolySel[static_cast<int>(p)] != model::kFalse ? 1 : 0;
    }
    for (int i = 0; i < m.PolyCount; ++i) {
        for (int j = 0; j < m.PolyCount; ++j) {
            const auto I = static_cast<std::size_t>(i), J = static_cast<std::size_t>(j);
            if (i == j || m.PolyTex[i] != m.PolyTex[j] || !marked[I] || !marked[J] ||
                m.PolySel[i] == model::kFalse || m.PolySel[j] == model::kFalse || m.PolyVCount[i] != 3 ||
                m.PolyVCount[j] != 3 || !Sound(m, i) || !Sound(m, j) || !ThreeDifferent(m, i) ||
                !ThreeDifferent(m, j)) {
                continue;
            }
            const auto ni = Normal(m, i), nj = Normal(m, j);
            bool close = true;
            for (int a = 0; a < 3; ++a) {
                close = close && std::fabs(ni[static_cast<std::size_t>(a)] -
                                           nj[static_cast<std::size_t>(a)]) < 0.0174f;
            }
            int shared = 0;
            for (int a = 0; a < 3; ++a) {
                for (int b = 0; b < 3; ++b) {
                    shared += m.PolyVert(i, a) == m.PolyVert(j, b) ? 1 : 0;
                }
            }
            if (!close || shared != 2) {
                continue;
            }
            marked[I] = marked[J] = 0;
            const auto inJ = [&](std::int32_t v) {
                return v == m.PolyVert(j, 0) || v == m.PolyVert(j, 1) || v == m.PolyVert(j, 2);
            };
            Corner extra{};
            for (int b = 0; b < 3; ++b) {
                const std::int32_t v = m.PolyVert(j, b);
                if (v != m.PolyVert(i, 0) && v != m.PolyVert(i, 1) && v != m.PolyVert(i, 2)) {
                    extra = CornerOf(m, j, b);
                }
            }
            std::vector<Corner> quad{CornerOf(m, i, 0), CornerOf(m, i, 1), CornerOf(m, i, 2)};
            for (int k = 0; k < 3; ++k) {
                if (inJ(quad[static_cast<std::size_t>(k)].V) &&
                    inJ(quad[static_cast<std::size_t>((k + 1) % 3)].V)) {
                    quad.insert(quad.begin() + k + 1, extra);
                    break;
                }
            }
            for (int k = 0; k < 4; ++k) {
                m.PolyVert(i, k) = quad[static_cast<std::size_t>(k)].V;
                m.PolyTU(i, k) = quad[static_cast<std::size_t>(k)].U;
                m.PolyTV(i, k) = quad[static_cast<std::size_t>(k)].W;
            }
            m.PolyVCount[i] = 4;
            model::CalcPolyNormal(m, i);
            dropped[J] = 1;
        }
    }
    if (std::find(dropped.begin(), dropped.end(), 1) == dropped.end()) {
        return;
    }
    MarkSet marks{{&dropped}};
    for (int i = 0; i < m.PolyCount;) {
        if (dropped[static_cast<std::size_t>(i)] != 0) {
            Delete(m, i, marks);
        } else {
            ++i;
        }
    }
    Settle(m);
}

void LiteralExtrudeEdges(ModelStore& m) {
    MarkSet none;
    const auto extends = [&](int p) {
        const int e = m.PolySelEdge[p], n = m.PolyVCount[p];
        if (e < 0 || e >= n || n < 3) {
            return false;
        }
        const std::int32_t a = m.PolyVert(p, e), b = m.PolyVert(p, (e + 1) % n);
        return a >= 0 && a < m.VertCount && b >= 0 && b < m.VertCount;
    };
    bool any = false;
    for (int p = 0; p < m.PolyCount; ++p) {
        any = any || extends(p);
    }
    if (!any) {
        return;
    }
    m.VertSel.Fill(model::kFalse);
    const int count = m.PolyCount;
    for (int p = 0; p < count; ++p) {
        if (!extends(p)) {
            continue;
        }
        const int e = m.PolySelEdge[p], n = m.PolyVCount[p];
        const Corner a = CornerOf(m, p, e), b = CornerOf(m, p, (e + 1) % n);
        const int a2 = AppendVertex(m, m.Vert[a.V], true);
        const int b2 = AppendVertex(m, m.Vert[b.V], true);
        std::vector<std::int32_t> v;
        switch (e % 4) {
        case 0:
            v = {a2, b2, b.V, a.V};
            break;
        case 1:
            v = {a.V, a2, b2, b.V};
            break;
        case 2:
            v = {b.V, a.V, a2, b2};
            break;
        default:
            v = {b2, b.V, a.V, a2};
            break;
        }
        std::vector<Corner> c;
        for (int i = 0; i < 4; ++i) {
            const Corner uv = CornerOf(m, p, i < n ? i : 0);
            c.push_back({v[static_cast<std::size_t>(i)], uv.U, uv.W});
        }
        AppendPolygon(m, p, c, none);
    }
    std::int16_t* edges = m.PolySelEdge.Row(0);
    for (int p = 0; p < m.PolySelEdge.Rows(); ++p) {
        if (edges[p] >= 0) {
            edges[p] = -1;
        } else if (edges[p] <= -100) {
            edges[p] = static_cast<std::int16_t>(-100 - edges[p]);
        }
    }
}

} // namespace zv::test
