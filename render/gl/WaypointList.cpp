// List 20: the waypoints and slots as small spheres, and the follow camera.

#include "render/gl/GlView.h"

#include "waypoints/WaypointDrawing.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <vector>

namespace zv::render::gl {

namespace {

constexpr GLint kSphereSlices = 6;
constexpr GLint kSphereStacks = 6;

struct Sphere {
    model::VertRec At; // OpenGL coordinates
    waypoints::MarkStyle Style;
};

std::vector<Sphere> Spheres(const waypoints::WaypointTables& t, const waypoints::WaypointDisplay& d) {
    std::vector<Sphere> out;
    const int count = std::clamp<int>(t.WpCount, 0, waypoints::kWaypointCapacity);
    if (d.ShowWaypoints) {
        out.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const model::VertRec p = waypoints::WaypointPosition(t, i);
            out.push_back({{-p.X, p.Y, p.Z}, waypoints::WaypointStyle(t, i)});
        }
    }
    if (d.ShowSlots) {
        for (int s = 0; s < waypoints::UsedSlots(t); ++s) {
            const model::VertRec start = waypoints::StartPosition(t, s);
            const model::VertRec pit = waypoints::PitPosition(t, s);
            out.push_back({{-start.X, start.Y, start.Z}, waypoints::StartStyle(t, s)});
            out.push_back({{-pit.X, pit.Y, pit.Z}, waypoints::PitStyle(t, s)});
        }
    }
    return out;
}

} // namespace

std::optional<LookAt> FollowWaypointLook(const waypoints::WaypointTables& t) {
    if (!waypoints::IsWaypoint(t, t.CurWp)) {
        return std::nullopt;
    }
    const int next = t.CurWp + 1 < t.WpCount ? t.CurWp + 1 : 0;
    return LookAt{waypoints::WaypointPosition(t, t.CurWp), waypoints::WaypointPosition(t, next)};
}

// The list of a sphere of this radius, compiled on first use in this context; 0 when every
// sphere list is taken (not with the radii of the styles).
unsigned GlView::SphereList(float radius) {
    for (const auto& [r, name] : spheres_) {
        if (r == radius)
            return name;
    }
    if (spheres_.size() >= kMaxSphereLists)
        return 0;
    const unsigned name = kSphereListBase + static_cast<unsigned>(spheres_.size());
    GLUquadric* q = gluNewQuadric();
    if (q == nullptr)
        return 0;
    glNewList(name, GL_COMPILE);
    gluSphere(q, radius, kSphereSlices, kSphereStacks);
    glEndList();
    gluDeleteQuadric(q);
    spheres_.emplace_back(radius, name);
    return name;
}

void GlView::BuildWaypointList(const waypoints::WaypointTables& t, const waypoints::WaypointDisplay& d) {
    ++waypointBuilds_;
    waypointsStale_ = false;
    const std::vector<Sphere> spheres = Spheres(t, d);
    // Spheres are compiled before list 20 is opened: lists cannot be compiled inside another.
    std::vector<unsigned> lists(spheres.size());
    for (std::size_t i = 0; i < spheres.size(); ++i)
        lists[i] = SphereList(spheres[i].Style.Radius);
    glNewList(kWaypointList, GL_COMPILE);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    for (std::size_t i = 0; i < spheres.size(); ++i) {
        const Sphere& s = spheres[i];
        if (lists[i] == 0)
            continue;
        glColor3f(s.Style.R, s.Style.G, s.Style.B);
        glPushMatrix();
        glTranslatef(s.At.X, s.At.Y, s.At.Z);
        glCallList(lists[i]);
        glPopMatrix();
    }
    glEndList();
    WaypointsExist = !spheres.empty();
}

void GlView::BuildStaleWaypointList(const waypoints::WaypointTables& t, const waypoints::WaypointDisplay& d) {
    if (waypointsStale_)
        BuildWaypointList(t, d);
}

} // namespace zv::render::gl
