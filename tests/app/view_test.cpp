// The view window: its class and context, the projection on resize, held keys
// over real frame ticks, and the picture it shows.

#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <numbers>

#include "ViewerTest.h"

using apptest::ViewerTest;
using Pixels = std::vector<uint8_t>;  // BGRX, bottom row first

namespace {

class ViewTest : public ViewerTest {
  protected:
    // Holds `keys` down over `ticks` frame ticks, then lets them go and lets two
    // more ticks pass.
    void Hold(std::initializer_list<WPARAM> keys, int ticks) {
        for (WPARAM key : keys)
            PostMessageA(ViewWindow(), WM_KEYDOWN, key, 0);
        RunTicks(ticks);
        for (WPARAM key : keys)
            PostMessageA(ViewWindow(), WM_KEYUP, key, 0);
        RunTicks(2);
    }

    RECT Client() {
        RECT client{};
        GetClientRect(ViewWindow(), &client);
        return client;
    }

    // The view window's pixels as they are on screen.
    Pixels ScreenPixels() {
        const RECT size = Client();
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = size.right;
        info.bmiHeader.biHeight = size.bottom;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(memory, bitmap);
        HDC view = GetDC(ViewWindow());
        BitBlt(memory, 0, 0, size.right, size.bottom, view, 0, 0, SRCCOPY);
        ReleaseDC(ViewWindow(), view);
        GdiFlush();
        const auto* first = static_cast<const uint8_t*>(bits);
        Pixels pixels(first, first + static_cast<size_t>(size.right) * size.bottom * 4);
        SelectObject(memory, old);
        DeleteDC(memory);
        DeleteObject(bitmap);
        return pixels;
    }

    // Pixels of `a` that are not those of `b` (black: not the clear colour).
    static size_t Differing(const Pixels& a, const Pixels& b = {}) {
        size_t count = 0;
        for (size_t i = 0; i < a.size(); i += 4)
            count += b.empty() ? (a[i] | a[i + 1] | a[i + 2]) != 0
                               : a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
        return count;
    }
};

}  // namespace

TEST_F(ViewTest, IsAChildWindowWithItsOwnContextAndTheTimerRunning) {
    EXPECT_EQ(fwtest::ClassOf(ViewWindow()), "View");
    EXPECT_EQ(GetClassLongPtrA(ViewWindow(), GCL_STYLE), CS_HREDRAW | CS_VREDRAW | CS_OWNDC);
    EXPECT_EQ(GetClassLongPtrA(ViewWindow(), GCLP_HBRBACKGROUND),
              reinterpret_cast<LONG_PTR>(GetStockObject(WHITE_BRUSH)));
    const LONG_PTR wanted = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    EXPECT_EQ(GetWindowLongPtrA(ViewWindow(), GWL_STYLE) & wanted, wanted);
    EXPECT_TRUE(GetWindowLongPtrA(ViewWindow(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(GetFocus(), ViewWindow());

    ASSERT_NE(View().GetRenderingContext(), nullptr);
    EXPECT_EQ(wglGetCurrentContext(), View().GetRenderingContext());
    PIXELFORMATDESCRIPTOR format{};
    HDC dc = wglGetCurrentDC();
    ASSERT_TRUE(DescribePixelFormat(dc, GetPixelFormat(dc), sizeof format, &format));
    const DWORD flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    EXPECT_EQ(format.dwFlags & flags, flags);
    EXPECT_EQ(format.iPixelType, PFD_TYPE_RGBA);
    EXPECT_GE(format.cDepthBits, 16);
    RunTicks(3);  // fails when the ticks do not come
}

TEST_F(ViewTest, ProjectsForTheSizeItIsGiven) {
    auto expectProjection = [](int width, int height) {
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], width);
        EXPECT_EQ(viewport[3], height);
        double m[16] = {};
        glGetDoublev(GL_PROJECTION_MATRIX, m);
        const double f = 1 / std::tan(22.5 * std::numbers::pi / 180);
        EXPECT_NEAR(m[5], f, 1e-6);
        EXPECT_NEAR(m[0], f * height / width, 1e-6);  // a fractional aspect
        const double zNear = 0.1f, zFar = 600;
        EXPECT_NEAR(m[14], 2 * zFar * zNear / (zNear - zFar), 1e-6);
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
    };
    // The layout has sized the view since the first projection at 640 x 480.
    ASSERT_NE(Client().right, 640);
    expectProjection(Client().right, Client().bottom);
    SendMessageA(ViewWindow(), WM_SIZE, 0, MAKELPARAM(800, 600));
    expectProjection(800, 600);
    SendMessageA(ViewWindow(), WM_SIZE, 0, MAKELPARAM(300, 0));
    expectProjection(300, 1);
}

TEST_F(ViewTest, HeldArrowKeysMoveTheCameraOnEveryTick) {
    SceneView& scene = Scene();
    Hold({VK_RIGHT}, 10);
    EXPECT_EQ(scene.PanX, 5.0f);
    EXPECT_EQ(scene.PanY, -2.0f);
    Hold({VK_SHIFT, VK_DOWN}, 4);
    EXPECT_EQ(scene.PanY, -12.0f);

    Command(118);  // Rotate; the camera stays where it is
    EXPECT_EQ(scene.PanX, 5.0f);
    Hold({VK_LEFT, VK_UP}, 6);
    EXPECT_EQ(scene.RotateY, -6.0f);
    EXPECT_EQ(scene.RotateX, -6.0f);

    // The letters beside the modes in the menu are labels only.
    Hold({'P', 'R', 'Z'}, 0);
    EXPECT_EQ(scene.ControlMode, kControlRotate);

    // The mouse reaches the same camera, in any mode, and is the view's for the
    // whole drag: a left drag turns, the wheel brings the model closer.
    const struct {
        UINT Message;
        WPARAM Keys;
        int X, Y;
    } mouse[] = {{WM_LBUTTONDOWN, MK_LBUTTON, 100, 100},
                 {WM_MOUSEMOVE, MK_LBUTTON, 110, 104},
                 {WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, 112, 104},
                 {WM_LBUTTONUP, 0, 112, 104},
                 {WM_MOUSEMOVE, 0, 300, 300},
                 {WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0, 0}};
    const float rotateX = scene.RotateX, rotateY = scene.RotateY, zoom = scene.Zoom;
    for (const auto& m : mouse) {
        PostMessageA(ViewWindow(), m.Message, m.Keys, MAKELPARAM(m.X, m.Y));
        RunTicks(1);
        if (m.Message == WM_LBUTTONDOWN) {
            EXPECT_EQ(GetCapture(), ViewWindow());
        }
    }
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(scene.RotateY, rotateY + 10);
    EXPECT_EQ(scene.RotateX, rotateX + 2);
    EXPECT_EQ(scene.Zoom, zoom + 1);
    EXPECT_EQ(scene.ControlMode, kControlRotate);

    // A key let go while another window has the keyboard is forgotten with it.
    PostMessageA(ViewWindow(), WM_KEYDOWN, VK_RIGHT, 0);
    RunTicks(1);
    SetFocus(nullptr);
    const float turned = scene.RotateY;
    RunTicks(3);
    EXPECT_EQ(scene.RotateY, turned);
}

TEST_F(ViewTest, ShowsTheDemoModelAndDrawsItAgainWithoutTextures) {
    Scene().OpenDocument(WriteDemo().Model);
    ASSERT_EQ(Scene().DocumentKind, FileKind::ModelFile);
    RunTicks(2);
    const Pixels textured = ScreenPixels();
    EXPECT_GT(Differing(textured), textured.size() / 4 / 8);
    Command(129);
    RunTicks(2);
    const Pixels plain = ScreenPixels();
    EXPECT_GT(Differing(plain, textured), plain.size() / 4 / 50);
}

TEST_F(ViewTest, ReleasingAContextThatIsGoneSaysSoAndTheFramesGoOn) {
    ASSERT_TRUE(wglDeleteContext(View().GetRenderingContext()));
    View().ReleaseGL();
    // Nothing was current any more, and the context was gone.
    EXPECT_EQ(fwtest::TakeBoxTexts("Shutdown Error", MB_OK | MB_ICONINFORMATION),
              (std::vector<std::string>{"Release of DC and RC failed.",
                                        "Release Rendering Context Failed."}));
    EXPECT_EQ(View().GetRenderingContext(), nullptr);
    EXPECT_EQ(View().GetDeviceContext(), nullptr);

    // Without a context the frames draw nothing, and the keys still count.
    PostMessageA(ViewWindow(), WM_KEYDOWN, VK_RIGHT, 0);
    RunTicks(2);
    EXPECT_EQ(Scene().PanX, 1.0f);
}
