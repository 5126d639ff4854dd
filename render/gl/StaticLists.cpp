// Lists 1 to 5 and 20: axis cross, floor grid, floor quad, camera markers, waypoints.

#include "render/gl/GlView.h"

#include <GL/gl.h>

namespace zv::render::gl {

namespace {

constexpr float kAxisLength = 2;
constexpr float kHeadLength = kAxisLength / 15;
constexpr float kHeadHalfWidth = kAxisLength / 45;
// Beyond this many lines in one direction the grid settings are taken as a mistake.
constexpr int kMaxGridLines = 10000;

struct Vec {
    float X, Y, Z;
};

Vec Along(Vec dir, float t) {
    return {dir.X * t, dir.Y * t, dir.Z * t};
}

Vec Add(Vec a, Vec b) {
    return {a.X + b.X, a.Y + b.Y, a.Z + b.Z};
}

void Vertex(Vec v) {
    glVertex3f(v.X, v.Y, v.Z);
}

// One axis of the cross in OpenGL coordinates: the shaft, two crossed arrow heads (the second
// darker) and the letter's segments, given in the plane of `side` and `up` beyond the tip.
struct Axis {
    Vec Dir;
    Vec Side;
    Vec Up;
    Colour Col;
    std::span<const float> Letter; // x0, y0, x1, y1 per segment, in units of the head length
};

constexpr float kLetterX[] = {0, 0, 1, 1.5f, 0, 1.5f, 1, 0};
constexpr float kLetterY[] = {0, 1.5f, 0.5f, 0.75f, 0.5f, 0.75f, 1, 1.5f, 0.5f, 0.75f, 0.5f, 0};
constexpr float kLetterZ[] = {0, 1.5f, 1, 1.5f, 1, 1.5f, 0, 0, 0, 0, 1, 0};

void DrawAxis(const Axis& a) {
    const Vec tip = Along(a.Dir, kAxisLength);
    const Vec base = Along(a.Dir, kAxisLength - kHeadLength);
    glColor3f(a.Col.R, a.Col.G, a.Col.B);
    glBegin(GL_LINES);
    Vertex({0, 0, 0});
    Vertex(tip);
    glEnd();
    glBegin(GL_TRIANGLES);
    Vertex(tip);
    Vertex(Add(base, Along(a.Side, kHeadHalfWidth)));
    Vertex(Add(base, Along(a.Side, -kHeadHalfWidth)));
    glColor3f(a.Col.R * 0.7f, a.Col.G * 0.7f, a.Col.B * 0.7f);
    Vertex(tip);
    Vertex(Add(base, Along(a.Up, kHeadHalfWidth)));
    Vertex(Add(base, Along(a.Up, -kHeadHalfWidth)));
    glEnd();
    const Vec origin = Along(a.Dir, kAxisLength + kHeadLength);
    glColor3f(a.Col.R, a.Col.G, a.Col.B);
    glBegin(GL_LINES);
    for (std::size_t i = 0; i + 1 < a.Letter.size(); i += 2) {
        const Vec side = Along(a.Side, a.Letter[i] * kHeadLength);
        Vertex(Add(origin, Add(side, Along(a.Up, a.Letter[i + 1] * kHeadLength))));
    }
    glEnd();
}

void BuildAxisList() {
    glNewList(kAxisList, GL_COMPILE);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    DrawAxis({{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}, {0, 0, 1, 1}, kLetterX});
    DrawAxis({{0, 1, 0}, {1, 0, 0}, {0, 0, 1}, {1, 0, 0, 1}, kLetterY});
    DrawAxis({{0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0, 1}, kLetterZ});
    glEndList();
}

void BuildFloorList() {
    glNewList(kFloorList, GL_COMPILE);
    glBegin(GL_QUADS);
    glVertex3f(-2.5f, 0, -1.5f);
    glVertex3f(2.5f, 0, -1.5f);
    glVertex3f(2.5f, 0, 1.5f);
    glVertex3f(-2.5f, 0, 1.5f);
    glEnd();
    glEndList();
}

void BuildCameraMarkerList() {
    glNewList(kCameraMarkerList, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    glColor3f(1, 0.4f, 0);
    glVertex3f(0, 0, 8.5f);
    glVertex3f(-1.5f, 0, 0);
    glVertex3f(0, 0, 2);
    glColor3f(0.9f, 0.45f, 0);
    glVertex3f(0, 0, 8.5f);
    glVertex3f(0, 0, 2);
    glVertex3f(1.5f, 0, 0);
    glEnd();
    glEndList();
}

// Lines across one direction of the grid: `lines` steps from `from`, each from `lo` to `hi`
// along the other direction; `alongX` says which coordinate the steps run in.
void GridLines(float from, float to, float step, float lo, float hi, bool alongX) {
    if (!(step > 0) || !(to >= from) || (to - from) / step > kMaxGridLines)
        return;
    for (int i = 0;; ++i) {
        const float v = from + static_cast<float>(i) * step;
        if (v > to)
            break;
        if (alongX) {
            glVertex3f(-v, -0.01f, lo);
            glVertex3f(-v, -0.01f, hi);
        } else {
            glVertex3f(-lo, -0.01f, v);
            glVertex3f(-hi, -0.01f, v);
        }
    }
}

} // namespace

void GlView::BuildStaticLists(const config::Settings& s) {
    BuildAxisList();
    BuildGridList(s);
    BuildFloorList();
    BuildCameraMarkerList();
    glNewList(kSceneCamerasList, GL_COMPILE);
    glEndList();
    glNewList(kWaypointList, GL_COMPILE);
    glEndList();
}

void GlView::BuildGridList(const config::Settings& s) {
    const config::GridProperties& g = s.Grid;
    const float grey = GridGrey(s.View4_GridColor);
    glNewList(kGridList, GL_COMPILE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glColor3f(grey, grey, grey);
    glBegin(GL_LINES);
    GridLines(g.MinX, g.MaxX, g.StepX, g.MinZ, g.MaxZ, true);
    GridLines(g.MinZ, g.MaxZ, g.StepZ, g.MinX, g.MaxX, false);
    glEnd();
    glEndList();
}

void GlView::BuildCameraList(std::span<const model::VertRec> cameras) {
    cameraSpin_ = cameraSpin_ >= 315 ? 0 : cameraSpin_ + 45;
    glNewList(kSceneCamerasList, GL_COMPILE);
    for (const model::VertRec& c : cameras) {
        glPushMatrix();
        glTranslatef(-c.X, c.Y, c.Z);
        glRotatef(static_cast<float>(cameraSpin_), 0, 1, 0);
        glCallList(kCameraMarkerList);
        glPopMatrix();
    }
    glEndList();
}

void GlView::BuildTrackOverlay(std::span<const model::VertRec> path, std::span<const TrackMark> dummies) {
    // Half the arm of a dummy's cross, in model units: about a car's width.
    constexpr float kArm = 1.0f;
    DrawList& d = trackList_;
    d.Clear();
    if (path.empty() && dummies.empty()) {
        return;
    }
    d.Disable(GL_TEXTURE_2D);
    if (path.size() >= 2) {
        d.ConstantColour({1, 0.78f, 0, 1});
        d.Begin(GL_LINES, false, false);
        for (std::size_t i = 1; i < path.size(); ++i) {
            // Mirrored in x as the model is.
            d.Vertex(-path[i - 1].X, path[i - 1].Y, path[i - 1].Z);
            d.Vertex(-path[i].X, path[i].Y, path[i].Z);
        }
    }
    if (!dummies.empty()) {
        d.Begin(GL_LINES, true, false);
        for (const TrackMark& m : dummies) {
            d.SetColour(m.Selected ? Colour{1, 0.25f, 0, 1} : Colour{0.3f, 0.85f, 1, 1});
            const float x = -m.At.X, y = m.At.Y, z = m.At.Z;
            d.Vertex(x - kArm, y, z);
            d.Vertex(x + kArm, y, z);
            d.Vertex(x, y - kArm, z);
            d.Vertex(x, y + kArm, z);
            d.Vertex(x, y, z - kArm);
            d.Vertex(x, y, z + kArm);
        }
    }
}

} // namespace zv::render::gl
