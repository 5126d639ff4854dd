#pragma once
// Geometry drawn from client vertex arrays (OpenGL 1.1) in place of a display list: the
// vertices, and the state changes and draws over them in the order they were recorded.
//
// The model, the current polygon and the vertex points use it. Mesa compiles a display list at
// a few hundred nanoseconds per distinct vertex, so a full model (80000 quads) took longer to
// compile than several frames take to draw; recording into arrays costs a few milliseconds,
// and drawing from them is as fast as calling the compiled list. Nothing here calls OpenGL but
// Draw().

#include "render/gl/ViewRules.h"

#include <cstdint>
#include <vector>

namespace zv::render::gl {

class DrawList {
public:
    // Forgets everything recorded; keeps the memory for the next recording.
    void Clear();

    // State changes, replayed in order between the draws.
    void Enable(unsigned cap);
    void Disable(unsigned cap);
    void BindTexture(unsigned name);
    void PointSize(float size);
    // The colour of draws without colours per vertex (Begin with perVertexColour false).
    void ConstantColour(const Colour& c);

    // Starts a primitive of `mode` (GL_POINTS, GL_LINES, GL_TRIANGLES, GL_QUADS or GL_POLYGON),
    // taking a colour per vertex and texture coordinates as asked; the vertices follow, before
    // any state change. Consecutive primitives of one mode with the same arrays and nothing
    // recorded between them become one draw; GL_POLYGON never joins.
    void Begin(unsigned mode, bool perVertexColour, bool texCoords);
    // The colour and texture coordinates of the vertices that follow, as glColor and
    // glTexCoord set them.
    void SetColour(const Colour& c) { colour_ = c; }
    void TexCoord(float u, float v) {
        u_ = u;
        v_ = v;
    }
    void Vertex(float x, float y, float z) {
        vertices_.push_back({x, y, z, colour_.R, colour_.G, colour_.B, colour_.A, u_, v_});
        ++steps_.back().Count;
    }

    // Replays the recording into the current context; leaves the client arrays disabled.
    void Draw() const;

    // Draws recorded (tests check that runs were joined).
    int DrawCount() const;
    std::size_t VertexCount() const { return vertices_.size(); }

private:
    struct ArrayVertex {
        float X, Y, Z;
        float R, G, B, A;
        float U, V;
    };
    enum class Kind : std::uint8_t { Enable, Disable, Bind, PointSize, Colour, Draw };
    struct Step {
        Kind What = Kind::Draw;
        unsigned Value = 0;     // capability, texture name or primitive mode
        bool Colours = false;   // Draw: colour per vertex
        bool TexCoords = false; // Draw: texture coordinates
        Colour C{};             // Colour
        float Size = 0;         // PointSize
        int First = 0;          // Draw: the vertices First .. First + Count - 1
        int Count = 0;
    };

    std::vector<ArrayVertex> vertices_;
    std::vector<Step> steps_;
    Colour colour_;
    float u_ = 0;
    float v_ = 0;
};

} // namespace zv::render::gl
