// The toolchain under Wine: a WGL context on a real window draws and reads back,
// and GLU resamples, as the texture upload does for sizes that are not powers of two.

#include <windows.h>

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

TEST(Platform, AWindowWithAnOpenGlContextDrawsAndGluResamples) {
    HWND window = CreateWindowExW(0, L"STATIC", L"platform", WS_POPUP, 0, 0, 200, 150, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    HDC dc = GetDC(window);
    // The first format the driver lists that draws into a window through OpenGL.
    const DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    PIXELFORMATDESCRIPTOR pfd{};
    int format = 1;
    while (DescribePixelFormat(dc, format, sizeof pfd, &pfd) && (pfd.dwFlags & needed) != needed)
        ++format;
    ASSERT_TRUE(SetPixelFormat(dc, format, &pfd));
    HGLRC context = wglCreateContext(dc);
    ASSERT_TRUE(context && wglMakeCurrent(dc, context));

    glViewport(0, 0, 200, 150);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(100, 75, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // A 2 x 1 image, red then blue, stretched to 4 x 2.
    const unsigned char in[8] = {255, 0, 0, 255, 0, 0, 255, 255};
    unsigned char out[32] = {};
    EXPECT_EQ(gluScaleImage(GL_RGBA, 2, 1, GL_UNSIGNED_BYTE, in, 4, 2, GL_UNSIGNED_BYTE, out), 0);
    EXPECT_GT(out[0], out[2]);              // left edge mostly red
    EXPECT_GT(out[3 * 4 + 2], out[3 * 4]);  // right edge mostly blue
    EXPECT_EQ(out[4 * 4 + 3], 255);         // second row filled too

    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
    ReleaseDC(window, dc);
    DestroyWindow(window);
}
