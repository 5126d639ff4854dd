#include "tests/glview/ReferenceLists.h"

#include <GL/gl.h>

#include <algorithm>
#include <vector>

namespace zv::tests {

namespace {

using namespace render::gl;

// List numbers of their own, so the view's lists stay as they are.
constexpr unsigned kModel = 111;
constexpr unsigned kCurPoly = 112;
constexpr unsigned kPoints = 113;

void SetColour(const Colour& c) {
    glColor4f(c.R, c.G, c.B, c.A);
}

void CornerVertex(const model::ModelStore& m, int p, int k) {
    const model::VertRec& v = m.Vert[m.PolyVert(p, k)];
    glVertex3f(-v.X, v.Y, v.Z);
}

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

void DrawTextured(const model::ModelStore& m, int p, int corners, bool texCoords) {
    SetColour(TexturedColour(m, p, corners));
    glBegin(FacePrimitive(corners));
    for (int k = 0; k < corners; ++k) {
        if (texCoords)
            glTexCoord2f(m.PolyTU(p, k), m.PolyTV(p, k));
        CornerVertex(m, p, k);
    }
    glEnd();
}

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
            DrawTextured(m, p, DrawableCorners(m, p), true);
    }
    glDisable(GL_TEXTURE_2D);
    for (int p : untextured)
        DrawTextured(m, p, DrawableCorners(m, p), false);
}

void ModelCalls(const GlView& view, const model::ModelStore& m, const config::Settings& s,
                const textures::TextureTable& tex) {
    glEnable(GL_CULL_FACE);
    if (!m.HasModel())
        return;
    switch (s.RenderType) {
    case 0:
        glDisable(GL_TEXTURE_2D);
        ForEachShown(m, 1, [&](int p, int corners) {
            SetColour(WireColour(m, p));
            ClosedOutline(m, p, corners);
        });
        glDisable(GL_CULL_FACE);
        break;
    case 1:
        glDisable(GL_TEXTURE_2D);
        ForEachShown(m, 3, [&](int p, int corners) { DrawFlat(m, p, corners, view.GLColorMode); });
        glDisable(GL_CULL_FACE);
        break;
    default:
        TexturedPolygons(m, tex, view);
        break;
    }
    if (view.Switches.ShowEdges) {
        glDisable(GL_TEXTURE_2D);
        glColor3f(0.7f, 0.7f, 0.7f);
        ForEachShown(m, 1, [&](int p, int corners) { ClosedOutline(m, p, corners); });
    }
    CurrentVertexCross(m);
}

void CurPolyCalls(const model::ModelStore& m) {
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
}

void PointCalls(const GlView& view, const model::ModelStore& m, bool showVertexPoints) {
    glEnable(GL_POINT_SMOOTH);
    glPointSize(PointSize(view.Cam.GLDist));
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_POINTS);
    glColor3f(1, 0, 0);
    for (int v = 0; v < m.VertCount; ++v) {
        if (m.VertSel[v] != model::kFalse)
            glVertex3f(-m.Vert[v].X, m.Vert[v].Y, m.Vert[v].Z);
    }
    if (showVertexPoints) {
        glColor3f(0, 0.2f, 1.0f);
        for (int v = 0; v < m.VertCount; ++v) {
            if (m.VertSel[v] == model::kFalse)
                glVertex3f(-m.Vert[v].X, m.Vert[v].Y, m.Vert[v].Z);
        }
    }
    glEnd();
}

} // namespace

void RenderReferenceFrame(const GlView& view, const model::ModelStore& m, const config::Settings& s,
                          const textures::TextureTable& tex, bool showVertexPoints, bool compiled) {
    if (compiled) {
        glNewList(kModel, GL_COMPILE);
        ModelCalls(view, m, s, tex);
        glEndList();
        glNewList(kCurPoly, GL_COMPILE);
        CurPolyCalls(m);
        glEndList();
        glNewList(kPoints, GL_COMPILE);
        PointCalls(view, m, showVertexPoints);
        glEndList();
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    glTranslatef(view.Cam.GLPanX, view.Cam.GLPanY, -view.Cam.GLDist);
    glRotatef(view.Cam.GLPitch, 1, 0, 0);
    glRotatef(view.Cam.GLYaw, 0, 1, 0);
    if (compiled) {
        glCallList(kModel);
        glCallList(kCurPoly);
    } else {
        ModelCalls(view, m, s, tex);
        CurPolyCalls(m);
    }
    if (s.ViewAxis)
        glCallList(kAxisList);
    if (s.ViewGrid)
        glCallList(kGridList);
    if (compiled)
        glCallList(kPoints);
    else
        PointCalls(view, m, showVertexPoints);
    glPopMatrix();
}

} // namespace zv::tests
