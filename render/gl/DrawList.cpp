#include "render/gl/DrawList.h"

#include <GL/gl.h>

#include <cstddef>

namespace zv::render::gl {

void DrawList::Clear() {
    vertices_.clear();
    steps_.clear();
    colour_ = {};
    u_ = v_ = 0;
}

void DrawList::Enable(unsigned cap) {
    steps_.push_back({.What = Kind::Enable, .Value = cap});
}

void DrawList::Disable(unsigned cap) {
    steps_.push_back({.What = Kind::Disable, .Value = cap});
}

void DrawList::BindTexture(unsigned name) {
    steps_.push_back({.What = Kind::Bind, .Value = name});
}

void DrawList::PointSize(float size) {
    steps_.push_back({.What = Kind::PointSize, .Size = size});
}

void DrawList::ConstantColour(const Colour& c) {
    steps_.push_back({.What = Kind::Colour, .C = c});
}

void DrawList::Begin(unsigned mode, bool perVertexColour, bool texCoords) {
    const bool joins = mode == GL_POINTS || mode == GL_LINES || mode == GL_TRIANGLES || mode == GL_QUADS;
    if (joins && !steps_.empty()) {
        const Step& last = steps_.back();
        if (last.What == Kind::Draw && last.Value == mode && last.Colours == perVertexColour &&
            last.TexCoords == texCoords)
            return;
    }
    steps_.push_back({.What = Kind::Draw,
                      .Value = mode,
                      .Colours = perVertexColour,
                      .TexCoords = texCoords,
                      .First = static_cast<int>(vertices_.size())});
}

int DrawList::DrawCount() const {
    int n = 0;
    for (const Step& s : steps_)
        n += s.What == Kind::Draw ? 1 : 0;
    return n;
}

void DrawList::Draw() const {
    if (!vertices_.empty()) {
        constexpr GLsizei kStride = sizeof(ArrayVertex);
        const ArrayVertex* v = vertices_.data();
        glVertexPointer(3, GL_FLOAT, kStride, &v->X);
        glColorPointer(4, GL_FLOAT, kStride, &v->R);
        glTexCoordPointer(2, GL_FLOAT, kStride, &v->U);
        glEnableClientState(GL_VERTEX_ARRAY);
    }
    for (const Step& s : steps_) {
        switch (s.What) {
        case Kind::Enable:
            glEnable(s.Value);
            break;
        case Kind::Disable:
            glDisable(s.Value);
            break;
        case Kind::Bind:
            glBindTexture(GL_TEXTURE_2D, s.Value);
            break;
        case Kind::PointSize:
            glPointSize(s.Size);
            break;
        case Kind::Colour:
            glColor4f(s.C.R, s.C.G, s.C.B, s.C.A);
            break;
        case Kind::Draw:
            if (s.Count == 0)
                break;
            if (s.Colours)
                glEnableClientState(GL_COLOR_ARRAY);
            else
                glDisableClientState(GL_COLOR_ARRAY);
            if (s.TexCoords)
                glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            else
                glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            glDrawArrays(s.Value, s.First, s.Count);
            break;
        }
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

} // namespace zv::render::gl
