#include "tests/glview/OffscreenContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <map>
#include <utility>

namespace zv::tests {

namespace {

std::string g_why;

template <class Fn> bool Load(Fn& fn, const char* name) {
    fn = reinterpret_cast<Fn>(eglGetProcAddress(name));
    return fn != nullptr;
}

// The framebuffer calls are not part of OpenGL 1.1, so they are looked up at run time.
struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC GenFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC BindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC GenRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC BindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckStatus = nullptr;

    bool LoadAll() {
        return Load(GenFramebuffers, "glGenFramebuffers") && Load(BindFramebuffer, "glBindFramebuffer") &&
               Load(GenRenderbuffers, "glGenRenderbuffers") && Load(BindRenderbuffer, "glBindRenderbuffer") &&
               Load(RenderbufferStorage, "glRenderbufferStorage") &&
               Load(FramebufferRenderbuffer, "glFramebufferRenderbuffer") &&
               Load(CheckStatus, "glCheckFramebufferStatus");
    }
};

FramebufferCalls g_fb;
// Framebuffers made so far, by size; they live as long as the context.
std::map<std::pair<int, int>, GLuint> g_framebuffers;

bool BindFramebuffer(int width, int height) {
    if (width <= 0 || height <= 0)
        return false;
    if (const auto it = g_framebuffers.find({width, height}); it != g_framebuffers.end()) {
        g_fb.BindFramebuffer(GL_FRAMEBUFFER, it->second);
        return true;
    }
    GLuint fbo = 0;
    GLuint buffers[2] = {0, 0};
    g_fb.GenFramebuffers(1, &fbo);
    g_fb.BindFramebuffer(GL_FRAMEBUFFER, fbo);
    g_fb.GenRenderbuffers(2, buffers);
    g_fb.BindRenderbuffer(GL_RENDERBUFFER, buffers[0]);
    g_fb.RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    g_fb.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers[0]);
    g_fb.BindRenderbuffer(GL_RENDERBUFFER, buffers[1]);
    g_fb.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
    g_fb.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, buffers[1]);
    if (g_fb.CheckStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        return false;
    g_framebuffers[{width, height}] = fbo;
    return true;
}

bool MakeFramebuffer() {
    if (!g_fb.LoadAll()) {
        g_why = "framebuffer objects are not available";
        return false;
    }
    if (!BindFramebuffer(kGlSize, kGlSize)) {
        g_why = "the framebuffer object is incomplete";
        return false;
    }
    return true;
}

// The display is never terminated: unloading the driver at exit hides its allocations from
// the leak checker's suppressions.
bool MakeContext() {
    auto getDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getDisplay == nullptr) {
        g_why = "EGL has no eglGetPlatformDisplayEXT";
        return false;
    }
    EGLDisplay display = getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        g_why = "the surfaceless EGL display cannot be initialised (is Mesa installed?)";
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        g_why = "EGL offers no desktop OpenGL";
        return false;
    }
    EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT || !eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        g_why = "no EGL context without a surface";
        return false;
    }
    return MakeFramebuffer();
}

} // namespace

OffscreenContext* OffscreenContext::Get() {
    static OffscreenContext instance;
    static const bool made = MakeContext();
    return made ? &instance : nullptr;
}

const std::string& OffscreenContext::Why() {
    return g_why;
}

Pixel OffscreenContext::At(int x, int y) const {
    Pixel p{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    return p;
}

bool OffscreenContext::Bind(int width, int height) {
    return BindFramebuffer(width, height);
}

std::vector<std::uint8_t> OffscreenContext::ReadAll(int width, int height) const {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

} // namespace zv::tests
