#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>

#include "model/FileKind.h"
#include "sample/ModelWriter.h"
#include "tests/support/TempDir.h"

namespace {

class GlWindow {
  public:
    GlWindow() {
        WNDCLASSW wc{};
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PlatformTestWindow";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, wc.lpszClassName, L"platform", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                  150, nullptr, nullptr, wc.hInstance, nullptr);
        if (!window_)
            return;
        dc_ = GetDC(window_);
        PIXELFORMATDESCRIPTOR pfd{};
        pfd.nSize = sizeof pfd;
        pfd.nVersion = 1;
        pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        pfd.iPixelType = PFD_TYPE_RGBA;
        pfd.cColorBits = 16;
        pfd.cDepthBits = 16;
        int format = ChoosePixelFormat(dc_, &pfd);
        if (format == 0 || !SetPixelFormat(dc_, format, &pfd))
            return;
        context_ = wglCreateContext(dc_);
        current_ = context_ && wglMakeCurrent(dc_, context_);
    }
    ~GlWindow() {
        if (context_) {
            wglMakeCurrent(nullptr, nullptr);
            wglDeleteContext(context_);
        }
        if (dc_)
            ReleaseDC(window_, dc_);
        if (window_)
            DestroyWindow(window_);
    }
    bool Current() const { return current_; }

  private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
    bool current_ = false;
};

}  // namespace

TEST(Platform, WindowWithAnOpenGlContextDrawsAndReadsBack) {
    GlWindow window;
    ASSERT_TRUE(window.Current());
    EXPECT_NE(glGetString(GL_VERSION), nullptr);

    glViewport(0, 0, 200, 150);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    std::array<unsigned char, 4> pixel{};
    glReadPixels(100, 75, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // GLU resamples with a current context; a 2 x 1 image stretched to 4 x 2.
    const unsigned char in[8] = {255, 0, 0, 255, 0, 0, 255, 255};
    unsigned char out[32] = {};
    EXPECT_EQ(gluScaleImage(GL_RGBA, 2, 1, GL_UNSIGNED_BYTE, in, 4, 2, GL_UNSIGNED_BYTE, out), 0);
    EXPECT_GT(out[0], out[2]);              // left edge mostly red
    EXPECT_GT(out[3 * 4 + 2], out[3 * 4]);  // right edge mostly blue
    EXPECT_EQ(out[4 * 4 + 3], 255);         // second row filled too
}

TEST(Platform, OpensFilesWithAnyCharactersInTheirNames) {
    testsupport::TempDir dir;
    sample::Model model;
    std::string path =
        dir.Write("mod\xC3\xA8le \xE6\xA8\xA1\xE5\x9E\x8B.bin", sample::WriteModel(model));
    EXPECT_EQ(IdentifyFile(path), FileKind::ModelFile);
    EXPECT_EQ(IdentifyFile(dir.File("\xE6\xA8\xA1 missing")), FileKind::Unreadable);
}
