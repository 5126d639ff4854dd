#include "tests/support/VrlReferenceWriter.h"

#include "model/Normals.h"
#include "model/Paths.h"

#include <bit>
#include <cstring>
#include <string>

namespace zv::test {
namespace {

using formats::VrlVariant;

struct Out {
    std::vector<std::uint8_t> Bytes;
    void I32(std::int32_t v) {
        std::uint8_t b[4];
        std::memcpy(b, &v, 4);
        Bytes.insert(Bytes.end(), b, b + 4);
    }
    void F32(float v) { I32(std::bit_cast<std::int32_t>(v)); }
    void U8(std::uint8_t v) { Bytes.push_back(v); }
    void SetI32(int at, std::int32_t v) { std::memcpy(Bytes.data() + at, &v, 4); }
};

} // namespace

std::vector<std::uint8_t> ReferenceVrlBytes(model::ModelStore& m, VrlVariant variant) {
    const bool scgt = variant == VrlVariant::Scgt;
    // Corner vertices of selected polygons become selected.
    for (int p = 0; p < m.PolyCount; ++p) {
        if (m.PolySel[p] != 0) {
            for (int k = 0; k < m.PolyVCount[p]; ++k) {
                m.VertSel[m.PolyVert(p, k)] = -1;
            }
        }
    }
    std::vector<int> newIndex(static_cast<std::size_t>(m.VertCount), -1), verts, polys;
    for (int v = 0; v < m.VertCount; ++v) {
        if (m.VertSel[v] != 0) {
            newIndex[static_cast<std::size_t>(v)] = static_cast<int>(verts.size());
            verts.push_back(v);
        }
    }
    for (int p = 0; p < m.PolyCount; ++p) {
        if (m.PolySel[p] != 0) {
            polys.push_back(p);
        }
    }
    const int n = static_cast<int>(polys.size());

    // Texture numbers exactly as the rule reads: polygon 0 gets 0, counter c from 1.
    std::vector<int> texNo(static_cast<std::size_t>(n), -1);
    std::vector<std::string> texList;
    auto nameOf = [&](int p) {
        return m.PolyTex[p] >= 0 && m.PolyTex[p] < m.TexCount ? m.TexName[m.PolyTex[p]] : "";
    };
    if (n > 0) {
        texNo[0] = 0;
        texList.push_back(nameOf(polys[0]));
        int c = 1;
        for (int i = 0; i < n; ++i) {
            if (texNo[static_cast<std::size_t>(i)] < 0) {
                texNo[static_cast<std::size_t>(i)] = c;
                texList.push_back(nameOf(polys[static_cast<std::size_t>(i)]));
                ++c;
            }
            for (int j = 1; j < n; ++j) {
                if (j != i && texNo[static_cast<std::size_t>(j)] < 0 &&
                    m.PolyTex[polys[static_cast<std::size_t>(j)]] ==
                        m.PolyTex[polys[static_cast<std::size_t>(i)]]) {
                    texNo[static_cast<std::size_t>(j)] = c - 1;
                }
            }
        }
    }

    // Corners reversed, normals per polygon.
    std::vector<int> cornerV, first;
    std::vector<float> cornerU, cornerT;
    std::vector<float> nx, ny, nz;
    std::vector<int> nIndex;
    for (int i = 0; i < n; ++i) {
        const int p = polys[static_cast<std::size_t>(i)];
        first.push_back(static_cast<int>(cornerV.size()));
        for (int k = m.PolyVCount[p] - 1; k >= 0; --k) {
            cornerV.push_back(newIndex[static_cast<std::size_t>(m.PolyVert(p, k))]);
            cornerU.push_back(m.PolyTU(p, k));
            cornerT.push_back(m.PolyTV(p, k));
        }
        model::CalcPolyNormal(m, p);
        if (scgt) {
            nx.push_back(m.NrmX[p]);
            ny.push_back(m.NrmY[p]);
            nz.push_back(m.NrmZ[p]);
            nIndex.push_back(i);
        } else {
            int found = -1;
            for (std::size_t e = 0; e < nx.size() && found < 0; ++e) {
                if (nx[e] == m.PolyNX[p] && ny[e] == m.PolyNY[p] && nz[e] == m.PolyNZ[p]) {
                    found = static_cast<int>(e);
                }
            }
            if (found < 0) {
                found = static_cast<int>(nx.size());
                nx.push_back(m.PolyNX[p]);
                ny.push_back(m.PolyNY[p]);
                nz.push_back(m.PolyNZ[p]);
            }
            nIndex.push_back(found);
        }
    }

    // Vertex links: every corner of every polygon scanned once per vertex.
    std::vector<int> firstLink, linkCount, links;
    for (std::size_t v = 0; v < verts.size(); ++v) {
        firstLink.push_back(static_cast<int>(links.size()));
        int count = 0;
        for (int i = 0; i < n; ++i) {
            const int p = polys[static_cast<std::size_t>(i)];
            for (int k = 0; k < m.PolyVCount[p]; ++k) {
                if (newIndex[static_cast<std::size_t>(m.PolyVert(p, k))] == static_cast<int>(v)) {
                    links.push_back(nIndex[static_cast<std::size_t>(i)]);
                    ++count;
                }
            }
        }
        linkCount.push_back(count);
    }

    const int nv = static_cast<int>(verts.size()), nc = static_cast<int>(cornerV.size());
    const int nn = static_cast<int>(nx.size()), nt = static_cast<int>(texList.size());
    const int nl = scgt ? static_cast<int>(links.size()) : 0;
    Out o;
    const int header = scgt ? 172 : 200;
    o.Bytes.assign(static_cast<std::size_t>(header), 0);
    int at = header;
    auto block = [&](int field, int size) {
        o.SetI32(field, at);
        at += size;
    };
    o.SetI32(60, nv);
    if (scgt) {
        block(64, 16 * nv);
        block(68, 32 * nv);
        block(72, 4 * nv);
        block(76, 4 * nv);
        block(80, 4 * nv);
        block(84, 4 * nv);
        block(88, 4 * nv);
        block(92, 4 * nl);
        o.SetI32(96, nc);
        block(100, 4 * nc);
        block(104, 4 * nc);
        block(108, 4 * nc);
        o.SetI32(112, nn);
        block(116, 16 * nn);
        o.SetI32(120, n);
        for (int f = 124; f <= 156; f += 4) {
            block(f, 4 * n);
        }
        o.SetI32(160, nt);
        block(164, 12 * nt);
    } else {
        o.SetI32(44, std::bit_cast<std::int32_t>(100000000.0f));
        o.SetI32(48, std::bit_cast<std::int32_t>(100000000.0f));
        block(64, 16 * nv);
        block(68, 32 * nv);
        block(72, 16 * nv);
        block(76, 16 * nv);
        block(80, 4 * nv);
        block(84, 4 * nv);
        block(88, 4 * nv);
        o.SetI32(92, nc);
        for (int f = 96; f <= 112; f += 4) {
            block(f, 4 * nc);
        }
        o.SetI32(116, nn);
        block(120, 16 * nn);
        o.SetI32(124, n);
        for (int f = 128; f <= 184; f += 4) {
            block(f, 4 * n);
        }
        o.SetI32(188, nt);
        block(192, 12 * nt);
    }

    for (const int v : verts) {
        o.F32(m.Vert[v].X);
        o.F32(m.Vert[v].Y);
        o.F32(m.Vert[v].Z);
        o.I32(0);
    }
    for (int i = 0; i < 8 * nv; ++i) {
        o.I32(0);
    }
    if (scgt) {
        for (const int fill : {15, 100, 0}) {
            for (int v = 0; v < nv; ++v) {
                o.I32(fill);
            }
        }
        for (const int f : firstLink)
            o.I32(f);
        for (const int c : linkCount)
            o.I32(c);
        for (const int l : links)
            o.I32(l);
    } else {
        for (int i = 0; i < 8 * nv; ++i) {
            o.I32(0);
        }
        for (const std::uint32_t fill : {0x00FFFFFFu, 0u, 0x00FFFFFFu}) {
            for (int v = 0; v < nv; ++v) {
                o.I32(static_cast<std::int32_t>(fill));
            }
        }
    }
    for (const int v : cornerV)
        o.I32(v);
    for (const float u : cornerU)
        o.F32(u);
    for (const float t : cornerT)
        o.F32(t);
    if (!scgt) {
        for (int i = 0; i < 2 * nc; ++i) {
            o.I32(0);
        }
    }
    for (int e = 0; e < nn; ++e) {
        const auto se = static_cast<std::size_t>(e);
        o.F32(nx[se]);
        o.F32(ny[se]);
        o.F32(nz[se]);
        o.I32(0);
    }
    for (const int p : polys)
        o.I32(m.PolyVCount[p]);
    for (const int f : first)
        o.I32(f);
    for (const int i : nIndex)
        o.I32(i);
    for (const int p : polys)
        o.F32(m.PolyD[p]);
    for (int i = 0; i < n; ++i)
        o.I32(0);
    for (const int p : polys) {
        o.U8(m.PolyB[p]);
        o.U8(m.PolyG[p]);
        o.U8(m.PolyR[p]);
        o.U8(m.PolyA[p]);
    }
    for (int i = 0; i < n; ++i)
        o.I32(0);
    for (const int p : polys)
        o.I32(m.PolyType[p]);
    for (const int t : texNo)
        o.I32(t);
    if (!scgt) {
        for (int i = 0; i < 6 * n; ++i) {
            o.I32(0);
        }
    }
    for (const std::string& name : texList) {
        const std::string upper = model::UpperAscii(name);
        for (int b = 0; b < 12; ++b) {
            o.U8(b < static_cast<int>(upper.size())
                     ? static_cast<std::uint8_t>(upper[static_cast<std::size_t>(b)])
                     : 0);
        }
    }
    return o.Bytes;
}

} // namespace zv::test
