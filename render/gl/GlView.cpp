#include "render/gl/GlView.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <vector>

namespace zv::render::gl {

namespace {

constexpr std::size_t Index(GlSwitch which) {
    return static_cast<std::size_t>(which);
}

void EnableIf(GLenum cap, bool on) {
    if (on)
        glEnable(cap);
    else
        glDisable(cap);
}

// Mesa's software renderer (llvmpipe 22) draws the first draw from vertex arrays after a
// change of the shading partly transparent, as its smooth-point stage would, when the draw
// before it was of the (smooth) vertex points. A draw of one point behind the eye takes that
// place and draws nothing.
void AbsorbFirstArrayDraw() {
    static const GLfloat behindEye[3] = {0, 0, 1};
    glPushMatrix();
    glLoadIdentity();
    glVertexPointer(3, GL_FLOAT, 0, behindEye);
    glEnableClientState(GL_VERTEX_ARRAY);
    glDrawArrays(GL_POINTS, 0, 1);
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
}

void MirroredLookAt(const LookAt& look) {
    gluLookAt(-look.Eye.X, look.Eye.Y + 1.6, look.Eye.Z, -look.Target.X, look.Target.Y + 1.0, look.Target.Z,
              0, 1, 0);
}

} // namespace

void GlView::InitGLState(const config::Settings& s, int width, int height) {
    SetClearColor(s);
    glFogi(GL_FOG_MODE, GL_EXP2);
    glFogf(GL_FOG_START, 10000);
    glFogf(GL_FOG_END, 10050);
    glFogf(GL_FOG_DENSITY, 0.00001f);
    glDisable(GL_FOG);
    glShadeModel(GL_FLAT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glClearDepth(1);
    glDisable(GL_DITHER);
    glDisable(GL_NORMALIZE);
    glAlphaFunc(GL_GEQUAL, 0.05f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glFrontFace(GL_CCW);
    glSwitches_ = {};
    glSwitches_[Index(GlSwitch::DepthTest)] = true;
    glSwitches_[Index(GlSwitch::Blend)] = true;
    SetViewport(s, width, height);
    spheres_.clear(); // names of the context before, if any; the new one compiles its own
    BuildStaticLists(s);
    listsStale_ = true;
    pointsStale_ = true;
    waypointsStale_ = true;
    WaypointsExist = false;
    initialised_ = true;
    UploadDefaultTexture();
}

void GlView::SetClearColor(const config::Settings& s) {
    const Colour c = ClearColour(s.View4_BackColor, s.View4_Brightness);
    glClearColor(c.R, c.G, c.B, c.A);
}

void GlView::SetViewport(const config::Settings& s, int width, int height) {
    const int h = height < 1 ? 1 : height;
    glViewport(0, 0, width, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(s.FieldOfView, static_cast<double>(width) / h, 0.5, 5000);
    glMatrixMode(GL_MODELVIEW);
}

void GlView::Display(const config::Settings& s) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    AbsorbFirstArrayDraw();
    const bool following = Switches.FollowWaypoints;
    if (following) {
        glPushMatrix();
        if (FollowProvider) {
            if (const std::optional<LookAt> look = FollowProvider())
                MirroredLookAt(*look);
        }
    }
    glPushMatrix();
    if (!following) {
        glTranslatef(Cam.GLPanX, Cam.GLPanY, -Cam.GLDist);
        glRotatef(Cam.GLPitch, 1, 0, 0);
        glRotatef(Cam.GLYaw, 0, 1, 0);
    }
    if (WaypointsExist)
        glCallList(kWaypointList);
    modelList_.Draw();
    curPolyList_.Draw();
    if (s.ViewAxis)
        glCallList(kAxisList);
    if (s.ViewGrid)
        glCallList(kGridList);
    if (Switches.DisplayCameras)
        glCallList(kSceneCamerasList);
    trackList_.Draw();
    pointList_.Draw();
    glPopMatrix();
    if (following)
        glPopMatrix();
}

void GlView::RotationTick() {
    Cam.GLYaw = NextYaw(Cam.GLYaw);
}

void GlView::ResetCamera() {
    Cam = Camera{};
}

void GlView::CycleRenderType(config::Settings& s) {
    s.RenderType = NextRenderType(s.RenderType);
}

void GlView::SetGlSwitch(GlSwitch which, bool on) {
    glSwitches_[Index(which)] = on;
    ApplyGlSwitch(which, on);
}

bool GlView::GlSwitchOn(GlSwitch which) const {
    return glSwitches_[Index(which)];
}

void GlView::ApplyGlSwitch(GlSwitch which, bool on) {
    switch (which) {
    case GlSwitch::Fog:
        if (on) {
            static const GLfloat fogColour[4] = {0.6f, 0.6f, 0.7f, 1.0f};
            glFogi(GL_FOG_MODE, GL_EXP2);
            glFogf(GL_FOG_START, 1000);
            glFogf(GL_FOG_END, 6000);
            glFogf(GL_FOG_DENSITY, 0.0015f);
            glFogfv(GL_FOG_COLOR, fogColour);
        }
        EnableIf(GL_FOG, on);
        break;
    case GlSwitch::DepthTest:
        EnableIf(GL_DEPTH_TEST, on);
        break;
    case GlSwitch::Normalize:
        EnableIf(GL_NORMALIZE, on);
        break;
    case GlSwitch::AutoNormal:
        EnableIf(GL_AUTO_NORMAL, on);
        break;
    case GlSwitch::Dither:
        EnableIf(GL_DITHER, on);
        break;
    case GlSwitch::Smooth:
        glShadeModel(on ? GL_SMOOTH : GL_FLAT);
        break;
    case GlSwitch::AlphaTest:
        EnableIf(GL_ALPHA_TEST, on);
        break;
    case GlSwitch::Blend:
        EnableIf(GL_BLEND, on);
        break;
    }
}

bool GlView::UploadTexture(int t, int width, int height, const std::uint8_t* rgba) {
    if (t < 0 || t >= model::kTextureCapacity || width <= 0 || height <= 0 || rgba == nullptr)
        return false;
    GLuint& name = texGL_[static_cast<std::size_t>(t)];
    if (name != 0)
        glDeleteTextures(1, &name);
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    listsStale_ = true; // the model list binds texture objects by name
    return true;
}

bool GlView::UploadTexture(int t, int width, int height, std::span<const std::uint8_t> rgba) {
    if (width <= 0 || height <= 0 ||
        rgba.size() / 4 / static_cast<std::size_t>(width) < static_cast<std::size_t>(height))
        return false;
    return UploadTexture(t, width, height, rgba.data());
}

void GlView::ReleaseTextures() {
    for (GLuint& name : texGL_) {
        if (name != 0)
            glDeleteTextures(1, &name);
        name = 0;
    }
    listsStale_ = true;
    if (initialised_)
        UploadDefaultTexture();
}

unsigned GlView::TexGL(int t) const {
    if (t < 0 || t >= model::kTextureCapacity)
        return 0;
    return texGL_[static_cast<std::size_t>(t)];
}

void GlView::UploadDefaultTexture() {
    constexpr int kPixels = kDefaultTextureSize * kDefaultTextureSize;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kPixels) * 4);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = 225;
        pixels[i + 1] = 225;
        pixels[i + 2] = 0;
        pixels[i + 3] = 0;
    }
    UploadTexture(0, kDefaultTextureSize, kDefaultTextureSize, pixels.data());
}

} // namespace zv::render::gl
