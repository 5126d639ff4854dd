// Lists 11, 12 and 13: the model, the current polygon's outline and the vertex points.

#include "render/gl/GlView.h"

#include <GL/gl.h>

#include <algorithm>
#include <vector>

namespace zv::render::gl {

namespace {

void SetColour(const Colour& c) {
    glColor4f(c.R, c.G, c.B, c.A);
}

void MirroredVertex(const model::ModelStore& m, int v) {
    const model::VertRec& p = m.Vert[v];
    glVertex3f(-p.X, p.Y, p.Z);
}

void CornerVertex(const model::ModelStore& m, int p, int k) {
    MirroredVertex(m, m.PolyVert(p, k));
}

// A line strip through every corner and back to corner 0.
void ClosedOutline(const model::ModelStore& m, int p, int corners) {
    glBegin(GL_LINE_STRIP);
    for (int k = 0; k < corners; ++k)
        CornerVertex(m, p, k);
    CornerVertex(m, p, 0);
    glEnd();
}

GLenum FacePrimitive(int corners) {
    return corners == 3 ? GL_TRIANGLES : corners == 4 ? GL_QUADS : GL_POLYGON;
}

void DrawWire(const model::ModelStore& m, int p, int corners) {
    SetColour(WireColour(m, p));
    ClosedOutline(m, p, corners);
}

void DrawFlat(const model::ModelStore& m, int p, int corners, int colorMode) {
    SetColour(FlatColour(m, p, corners, colorMode));
    const bool perCorner = UsesCornerColour(m, p, colorMode);
    glBegin(FacePrimitive(corners));
    for (int k = 0; k < corners; ++k) {
        if (perCorner)
            SetColour(CornerColour(m.Vert[m.PolyVert(p, k)].Y));
        CornerVertex(m, p, k);
    }
    glEnd();
}

void DrawTextured(const model::ModelStore& m, int p, int corners) {
    SetColour(TexturedColour(m, p, corners));
    glBegin(FacePrimitive(corners));
    for (int k = 0; k < corners; ++k) {
        glTexCoord2f(m.PolyTU(p, k), m.PolyTV(p, k));
        CornerVertex(m, p, k);
    }
    glEnd();
}

void DrawUntextured(const model::ModelStore& m, int p, int corners) {
    SetColour(TexturedColour(m, p, corners));
    glBegin(FacePrimitive(corners));
    for (int k = 0; k < corners; ++k)
        CornerVertex(m, p, k);
    glEnd();
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

void CurrentVertexCross(const model::ModelStore& m) {
    if (m.CurVert < 0 || m.CurVert >= m.VertCount)
        return;
    const model::VertRec& v = m.Vert[m.CurVert];
    const float x = -v.X;
    glColor3f(0, 0.7f, 0);
    glBegin(GL_LINES);
    glVertex3f(x - 100, v.Y, v.Z);
    glVertex3f(x + 100, v.Y, v.Z);
    glVertex3f(x, v.Y - 100, v.Z);
    glVertex3f(x, v.Y + 100, v.Z);
    glVertex3f(x, v.Y, v.Z - 100);
    glVertex3f(x, v.Y, v.Z + 100);
    glEnd();
}

} // namespace

namespace {

// Textured mode: textured polygons grouped by texture, so each texture is bound once, then the
// untextured surface types. A texture that failed to load draws with slot 0's texture.
void TexturedPolygons(const model::ModelStore& m, const textures::TextureTable& tex, const GlView& view) {
    const int texCount = m.TexCount < 0 ? 0 : std::min<int>(m.TexCount, model::kTextureCapacity);
    std::vector<std::vector<int>> byTexture(static_cast<std::size_t>(texCount));
    std::vector<int> untextured;
    ForEachShown(m, 3, [&](int p, int) {
        if (IsUntexturedType(m.PolyType[p]))
            untextured.push_back(p);
        else if (m.PolyTex[p] >= 0 && m.PolyTex[p] < texCount)
            byTexture[static_cast<std::size_t>(m.PolyTex[p])].push_back(p);
    });
    for (int t = 0; t < texCount; ++t) {
        const bool loaded = tex.TexTable[t].Slot >= 0;
        glBindTexture(GL_TEXTURE_2D, view.TexGL(loaded ? t : 0));
        glEnable(GL_TEXTURE_2D);
        for (int p : byTexture[static_cast<std::size_t>(t)])
            DrawTextured(m, p, DrawableCorners(m, p));
    }
    glDisable(GL_TEXTURE_2D);
    for (int p : untextured)
        DrawUntextured(m, p, DrawableCorners(m, p));
}

} // namespace

void GlView::BuildModelList(const model::ModelStore& m, const config::Settings& s,
                            const textures::TextureTable& tex, bool showVertexPoints) {
    glNewList(kModelList, GL_COMPILE);
    glEnable(GL_CULL_FACE);
    if (m.HasModel()) {
        switch (s.RenderType) {
        case 0:
            glDisable(GL_TEXTURE_2D);
            ForEachShown(m, 1, [&](int p, int corners) { DrawWire(m, p, corners); });
            glDisable(GL_CULL_FACE);
            break;
        case 1:
            glDisable(GL_TEXTURE_2D);
            ForEachShown(m, 3, [&](int p, int corners) { DrawFlat(m, p, corners, GLColorMode); });
            glDisable(GL_CULL_FACE);
            break;
        default:
            TexturedPolygons(m, tex, *this);
            break;
        }
        if (Switches.ShowEdges) {
            glDisable(GL_TEXTURE_2D);
            glColor3f(0.7f, 0.7f, 0.7f);
            ForEachShown(m, 1, [&](int p, int corners) { ClosedOutline(m, p, corners); });
        }
        CurrentVertexCross(m);
    }
    glEndList();
    BuildVertexPointsList(m, showVertexPoints);
}

void GlView::BuildVertexPointsList(const model::ModelStore& m, bool showVertexPoints) {
    glNewList(kVertexPointsList, GL_COMPILE);
    glEnable(GL_POINT_SMOOTH);
    glPointSize(PointSize(Cam.GLDist));
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_POINTS);
    glColor3f(1, 0, 0);
    for (int v = 0; v < m.VertCount; ++v) {
        if (m.VertSel[v] != model::kFalse)
            MirroredVertex(m, v);
    }
    if (showVertexPoints) {
        glColor3f(0, 0.2f, 1.0f);
        for (int v = 0; v < m.VertCount; ++v) {
            if (m.VertSel[v] == model::kFalse)
                MirroredVertex(m, v);
        }
    }
    glEnd();
    glEndList();
}

void GlView::BuildCurPolyList(const model::ModelStore& m) {
    glNewList(kCurPolyList, GL_COMPILE);
    glEnable(GL_CULL_FACE);
    const int p = m.CurPoly;
    if (p >= 0 && p < m.PolyCount) {
        const int corners = DrawableCorners(m, p);
        if (corners > 0) {
            glDisable(GL_TEXTURE_2D);
            glColor3f(1, 1, 0);
            ClosedOutline(m, p, corners);
        }
    }
    glEndList();
}

} // namespace zv::render::gl
