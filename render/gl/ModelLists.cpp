// The model, current-polygon and vertex-point lists, recorded as vertex arrays (DrawList).

#include "render/gl/GlView.h"

#include <GL/gl.h>

#include <algorithm>
#include <span>
#include <utility>
#include <vector>

namespace zv::render::gl {

namespace {

// The drawn vertex of model vertex v: the view shows the model mirrored in X.
void MirroredVertex(DrawList& d, const model::ModelStore& m, int v) {
    const model::VertRec& p = m.Vert[v];
    d.Vertex(-p.X, p.Y, p.Z);
}

void CornerVertex(DrawList& d, const model::ModelStore& m, int p, int k) {
    MirroredVertex(d, m, m.PolyVert(p, k));
}

// The closed outline as GL_LINES segments: corner k to k + 1, the last back to corner 0. The
// pixels are those of one line strip through the corners and back, since every segment leaves
// out its last pixel either way and the next one starts there.
void OutlineSegments(DrawList& d, const model::ModelStore& m, int p, int corners) {
    for (int k = 0; k < corners; ++k) {
        CornerVertex(d, m, p, k);
        CornerVertex(d, m, p, k + 1 < corners ? k + 1 : 0);
    }
}

GLenum FacePrimitive(int corners) {
    return corners == 3 ? GL_TRIANGLES : corners == 4 ? GL_QUADS : GL_POLYGON;
}

void DrawFlat(DrawList& d, const model::ModelStore& m, int p, int corners, int colorMode) {
    d.Begin(FacePrimitive(corners), true, false);
    d.SetColour(FlatColour(m, p, corners, colorMode));
    const bool perCorner = UsesCornerColour(m, p, colorMode);
    for (int k = 0; k < corners; ++k) {
        if (perCorner)
            d.SetColour(CornerColour(m.Vert[m.PolyVert(p, k)].Y));
        CornerVertex(d, m, p, k);
    }
}

void DrawTextured(DrawList& d, const model::ModelStore& m, int p, int corners, bool textured) {
    d.Begin(FacePrimitive(corners), true, textured);
    d.SetColour(TexturedColour(m, p, corners));
    for (int k = 0; k < corners; ++k) {
        if (textured)
            d.TexCoord(m.PolyTU(p, k), m.PolyTV(p, k));
        CornerVertex(d, m, p, k);
    }
}

// Shown polygons that can be drawn, with at least `minCorners` corners, in index order.
template <class Fn> void ForEachShown(const model::ModelStore& m, int minCorners, Fn&& fn) {
    for (int p = 0; p < m.PolyCount; ++p) {
        if (!IsShown(m, p))
            continue;
        const int corners = DrawableCorners(m, p);
        if (corners >= minCorners)
            fn(p, corners);
    }
}

// Every outline as one GL_LINES draw: in each polygon's wire colour, or in the constant
// colour set before.
void Outlines(DrawList& d, const model::ModelStore& m, bool wireColours) {
    d.Begin(GL_LINES, wireColours, false);
    ForEachShown(m, 1, [&](int p, int corners) {
        if (wireColours)
            d.SetColour(WireColour(m, p));
        OutlineSegments(d, m, p, corners);
    });
}

void CurrentVertexCross(DrawList& d, const model::ModelStore& m) {
    if (m.CurVert < 0 || m.CurVert >= m.VertCount)
        return;
    const model::VertRec& v = m.Vert[m.CurVert];
    const float x = -v.X;
    d.ConstantColour({0, 0.7f, 0, 1});
    d.Begin(GL_LINES, false, false);
    d.Vertex(x - 100, v.Y, v.Z);
    d.Vertex(x + 100, v.Y, v.Z);
    d.Vertex(x, v.Y - 100, v.Z);
    d.Vertex(x, v.Y + 100, v.Z);
    d.Vertex(x, v.Y, v.Z - 100);
    d.Vertex(x, v.Y, v.Z + 100);
}

// Textured mode: textured polygons grouped by texture, so each texture is bound once, then the
// untextured surface types; index order within each group. A texture that failed to load draws
// with slot 0's texture.
void TexturedPolygons(DrawList& d, const model::ModelStore& m, const textures::TextureTable& tex,
                      const GlView& view) {
    const int texCount = m.TexCount < 0 ? 0 : std::min<int>(m.TexCount, model::kTextureCapacity);
    const int untexturedGroup = texCount;
    // The group of every drawn polygon, then the polygons ordered by group (a counting sort).
    std::vector<int> groupStart(static_cast<std::size_t>(texCount) + 2, 0);
    std::vector<std::pair<int, int>> drawn; // polygon, group
    drawn.reserve(static_cast<std::size_t>(std::max(m.PolyCount, 0)));
    ForEachShown(m, 3, [&](int p, int) {
        int group = -1;
        if (IsUntexturedType(m.PolyType[p]))
            group = untexturedGroup;
        else if (m.PolyTex[p] >= 0 && m.PolyTex[p] < texCount)
            group = m.PolyTex[p];
        if (group >= 0) {
            drawn.emplace_back(p, group);
            ++groupStart[static_cast<std::size_t>(group) + 1];
        }
    });
    for (std::size_t g = 1; g < groupStart.size(); ++g)
        groupStart[g] += groupStart[g - 1];
    std::vector<int> order(drawn.size());
    std::vector<int> next(groupStart.begin(), groupStart.end() - 1);
    for (const auto& [p, group] : drawn)
        order[static_cast<std::size_t>(next[static_cast<std::size_t>(group)]++)] = p;
    const auto group = [&](int g) {
        const auto first = order.begin() + groupStart[static_cast<std::size_t>(g)];
        const auto last = order.begin() + groupStart[static_cast<std::size_t>(g) + 1];
        return std::span<const int>(first, last);
    };

    for (int t = 0; t < texCount; ++t) {
        if (group(t).empty())
            continue;
        const bool loaded = tex.TexTable[t].Slot >= 0;
        d.BindTexture(view.TexGL(loaded ? t : 0));
        d.Enable(GL_TEXTURE_2D);
        for (int p : group(t))
            DrawTextured(d, m, p, DrawableCorners(m, p), true);
    }
    d.Disable(GL_TEXTURE_2D);
    for (int p : group(untexturedGroup))
        DrawTextured(d, m, p, DrawableCorners(m, p), false);
}

} // namespace

void GlView::BuildModelList(const model::ModelStore& m, const config::Settings& s,
                            const textures::TextureTable& tex, bool showVertexPoints) {
    ++modelBuilds_;
    DrawList& d = modelList_;
    d.Clear();
    d.Enable(GL_CULL_FACE);
    if (m.HasModel()) {
        switch (s.RenderType) {
        case 0:
            d.Disable(GL_TEXTURE_2D);
            Outlines(d, m, true);
            d.Disable(GL_CULL_FACE);
            break;
        case 1:
            d.Disable(GL_TEXTURE_2D);
            ForEachShown(m, 3, [&](int p, int corners) { DrawFlat(d, m, p, corners, GLColorMode); });
            d.Disable(GL_CULL_FACE);
            break;
        default:
            TexturedPolygons(d, m, tex, *this);
            break;
        }
        if (Switches.ShowEdges) {
            d.Disable(GL_TEXTURE_2D);
            d.ConstantColour({0.7f, 0.7f, 0.7f, 1});
            Outlines(d, m, false);
        }
        CurrentVertexCross(d, m);
    }
    BuildVertexPointsList(m, showVertexPoints);
}

void GlView::BuildVertexPointsList(const model::ModelStore& m, bool showVertexPoints) {
    ++pointBuilds_;
    DrawList& d = pointList_;
    d.Clear();
    d.Enable(GL_POINT_SMOOTH);
    d.PointSize(PointSize(Cam.GLDist));
    d.Disable(GL_TEXTURE_2D);
    d.Begin(GL_POINTS, true, false);
    d.SetColour({1, 0, 0, 1});
    for (int v = 0; v < m.VertCount; ++v) {
        if (m.VertSel[v] != model::kFalse)
            MirroredVertex(d, m, v);
    }
    if (showVertexPoints) {
        d.SetColour({0, 0.2f, 1.0f, 1});
        for (int v = 0; v < m.VertCount; ++v) {
            if (m.VertSel[v] == model::kFalse)
                MirroredVertex(d, m, v);
        }
    }
}

void GlView::BuildCurPolyList(const model::ModelStore& m) {
    DrawList& d = curPolyList_;
    d.Clear();
    d.Enable(GL_CULL_FACE);
    const int p = m.CurPoly;
    if (p >= 0 && p < m.PolyCount) {
        const int corners = DrawableCorners(m, p);
        if (corners > 0) {
            d.Disable(GL_TEXTURE_2D);
            d.ConstantColour({1, 1, 0, 1});
            d.Begin(GL_LINES, false, false);
            OutlineSegments(d, m, p, corners);
        }
    }
}

void GlView::BuildStaleLists(const model::ModelStore& m, const config::Settings& s,
                             const textures::TextureTable& tex, bool showVertexPoints) {
    if (listsStale_) {
        BuildModelList(m, s, tex, showVertexPoints);
        BuildCurPolyList(m);
    } else if (pointsStale_) {
        BuildVertexPointsList(m, showVertexPoints);
    }
    listsStale_ = false;
    pointsStale_ = false;
}

} // namespace zv::render::gl
