#include "tests/glview/OffscreenContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

namespace zv::tests {

namespace {

std::string g_why;

template <class Fn> bool Load(Fn& fn, const char* name) {
    fn = reinterpret_cast<Fn>(eglGetProcAddress(name));
    return fn != nullptr;
}

// The framebuffer calls are not part of OpenGL 1.1, so they are looked up at run time.
bool MakeFramebuffer() {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkStatus = nullptr;
    if (!Load(genFramebuffers, "glGenFramebuffers") || !Load(bindFramebuffer, "glBindFramebuffer") ||
        !Load(genRenderbuffers, "glGenRenderbuffers") || !Load(bindRenderbuffer, "glBindRenderbuffer") ||
        !Load(renderbufferStorage, "glRenderbufferStorage") ||
        !Load(framebufferRenderbuffer, "glFramebufferRenderbuffer") ||
        !Load(checkStatus, "glCheckFramebufferStatus")) {
        g_why = "framebuffer objects are not available";
        return false;
    }
    GLuint fbo = 0;
    GLuint buffers[2] = {0, 0};
    genFramebuffers(1, &fbo);
    bindFramebuffer(GL_FRAMEBUFFER, fbo);
    genRenderbuffers(2, buffers);
    bindRenderbuffer(GL_RENDERBUFFER, buffers[0]);
    renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kGlSize, kGlSize);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers[0]);
    bindRenderbuffer(GL_RENDERBUFFER, buffers[1]);
    renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, kGlSize, kGlSize);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, buffers[1]);
    if (checkStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
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

} // namespace zv::tests
