#include "render/OffscreenContext.h"

#include "render/Drawing.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

OffscreenContext::OffscreenContext(int width, int height) : width_(width), height_(height) {
    EGLDisplay display =
        eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) {
        Fail("no surfaceless EGL display");
        return;
    }
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display, &major, &minor)) {
        Fail("eglInitialize failed");
        return;
    }
    display_ = display;

    // Exact 8-bit channels and a depth buffer, so read-back pixels are the
    // colours drawn and depth testing behaves as on the viewer's window.
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_ALPHA_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       24,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint found = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &found) || found < 1) {
        Fail("no RGBA8 pbuffer configuration with a depth buffer");
        return;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        Fail("desktop OpenGL is not available");
        return;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) {
        Fail("cannot make the pbuffer");
        return;
    }
    surface_ = surface;
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        Fail("cannot make a compatibility context");
        return;
    }
    if (!eglMakeCurrent(display, surface, surface, context)) {
        eglDestroyContext(display, context);
        Fail("cannot make the context current");
        return;
    }
    context_ = context;
    glViewport(0, 0, width, height);
}

OffscreenContext::~OffscreenContext() {
    if (!display_)
        return;
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_)
        eglDestroyContext(display_, context_);
    if (surface_)
        eglDestroySurface(display_, surface_);
    // The display stays initialised: EGL keeps one per process, and terminating
    // it unloads the driver under any other context of the process.
}

bool OffscreenContext::Fail(const std::string& what) {
    error_ = what;
    return false;
}

std::vector<uint8_t> OffscreenContext::ReadPixels() const {
    return ReadFramePixels(width_, height_);
}
