// Windows: WGL gives a context only for a window, so a hidden one carries it.
// The picture is drawn into a framebuffer object of its own size when the
// driver has them (every one since OpenGL 1.5 does, Mesa under Wine too),
// since what a hidden window's back buffer holds is up to the driver; a driver
// without them draws into the window itself.

#include "render/OffscreenContext.h"

#include <windows.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include "render/Drawing.h"
#include "render/HiddenWindow.h"

namespace {

constexpr char kClassName[] = "Offscreen View";

struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSEXTPROC GenFramebuffers;
    PFNGLBINDFRAMEBUFFEREXTPROC BindFramebuffer;
    PFNGLDELETEFRAMEBUFFERSEXTPROC DeleteFramebuffers;
    PFNGLGENRENDERBUFFERSEXTPROC GenRenderbuffers;
    PFNGLBINDRENDERBUFFEREXTPROC BindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEEXTPROC RenderbufferStorage;
    PFNGLDELETERENDERBUFFERSEXTPROC DeleteRenderbuffers;
    PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC FramebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC CheckFramebufferStatus;
};

template <class T>
T Find(const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(wglGetProcAddress(name)));
}

// The calls of the current context, when it has them all.
bool FindFramebufferCalls(FramebufferCalls& gl) {
    gl = {Find<PFNGLGENFRAMEBUFFERSEXTPROC>("glGenFramebuffersEXT"),
          Find<PFNGLBINDFRAMEBUFFEREXTPROC>("glBindFramebufferEXT"),
          Find<PFNGLDELETEFRAMEBUFFERSEXTPROC>("glDeleteFramebuffersEXT"),
          Find<PFNGLGENRENDERBUFFERSEXTPROC>("glGenRenderbuffersEXT"),
          Find<PFNGLBINDRENDERBUFFEREXTPROC>("glBindRenderbufferEXT"),
          Find<PFNGLRENDERBUFFERSTORAGEEXTPROC>("glRenderbufferStorageEXT"),
          Find<PFNGLDELETERENDERBUFFERSEXTPROC>("glDeleteRenderbuffersEXT"),
          Find<PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC>("glFramebufferRenderbufferEXT"),
          Find<PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC>("glCheckFramebufferStatusEXT")};
    return gl.GenFramebuffers && gl.BindFramebuffer && gl.DeleteFramebuffers &&
           gl.GenRenderbuffers && gl.BindRenderbuffer && gl.RenderbufferStorage &&
           gl.DeleteRenderbuffers && gl.FramebufferRenderbuffer && gl.CheckFramebufferStatus;
}

}  // namespace

HWND CreateHiddenWindow(int width, int height) {
    // Registered once, before the first window: threads that each draw a
    // picture of their own would otherwise race to register it.
    static const ATOM registered = [] {
        WNDCLASSA windowClass{};
        windowClass.style = CS_OWNDC;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClassName;
        return RegisterClassA(&windowClass);
    }();
    (void)registered;
    return CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, width, height, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

OffscreenContext::OffscreenContext(int width, int height) : width_(width), height_(height) {
    HWND window = CreateHiddenWindow(width, height);
    if (!window) {
        Fail("cannot make a window for the OpenGL context");
        return;
    }
    display_ = window;
    HDC dc = GetDC(window);
    surface_ = dc;
    // Exact 8-bit channels and a depth buffer, as the Linux picture has.
    PIXELFORMATDESCRIPTOR want{};
    want.nSize = sizeof want;
    want.nVersion = 1;
    want.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    want.iPixelType = PFD_TYPE_RGBA;
    want.cColorBits = 32;
    want.cAlphaBits = 8;
    want.cDepthBits = 24;
    want.iLayerType = PFD_MAIN_PLANE;
    const int format = dc ? ChoosePixelFormat(dc, &want) : 0;
    if (!format || !SetPixelFormat(dc, format, &want)) {
        Fail("no RGBA pixel format with a depth buffer");
        return;
    }
    HGLRC context = wglCreateContext(dc);
    if (!context || !wglMakeCurrent(dc, context)) {
        if (context)
            wglDeleteContext(context);
        Fail("cannot make the OpenGL context current");
        return;
    }
    context_ = context;

    FramebufferCalls gl;
    if (FindFramebufferCalls(gl)) {
        gl.GenFramebuffers(1, &framebuffer_);
        gl.BindFramebuffer(GL_FRAMEBUFFER_EXT, framebuffer_);
        GLuint buffers[2] = {};
        gl.GenRenderbuffers(2, buffers);
        colour_ = buffers[0];
        depth_ = buffers[1];
        gl.BindRenderbuffer(GL_RENDERBUFFER_EXT, colour_);
        gl.RenderbufferStorage(GL_RENDERBUFFER_EXT, GL_RGBA8, width, height);
        gl.FramebufferRenderbuffer(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT,
                                   GL_RENDERBUFFER_EXT, colour_);
        gl.BindRenderbuffer(GL_RENDERBUFFER_EXT, depth_);
        gl.RenderbufferStorage(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, width, height);
        gl.FramebufferRenderbuffer(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                   depth_);
        if (gl.CheckFramebufferStatus(GL_FRAMEBUFFER_EXT) != GL_FRAMEBUFFER_COMPLETE_EXT) {
            Fail("cannot make a " + std::to_string(width) + " x " + std::to_string(height) +
                 " framebuffer");
            return;
        }
        glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
        glReadBuffer(GL_COLOR_ATTACHMENT0_EXT);
    } else {
        glDrawBuffer(GL_BACK);
        glReadBuffer(GL_BACK);
    }
    glViewport(0, 0, width, height);
}

OffscreenContext::~OffscreenContext() {
    if (context_) {
        FramebufferCalls gl;
        if (framebuffer_ && FindFramebufferCalls(gl)) {
            gl.BindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
            const GLuint buffers[2] = {colour_, depth_};
            gl.DeleteRenderbuffers(2, buffers);
            gl.DeleteFramebuffers(1, &framebuffer_);
        }
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(static_cast<HGLRC>(context_));
    }
    if (surface_)
        ReleaseDC(static_cast<HWND>(display_), static_cast<HDC>(surface_));
    if (display_)
        DestroyWindow(static_cast<HWND>(display_));
}

bool OffscreenContext::Fail(const std::string& what) {
    error_ = what;
    return false;
}

std::vector<uint8_t> OffscreenContext::ReadPixels() const {
    return ReadFramePixels(width_, height_);
}
