// The view window: its own context, sized by the layout, and the keys and mouse
// that reach the view core through it. That the frame timer moves the camera
// with held keys and that the frames reach the screen is the end-to-end run's
// to show.

#include <GL/gl.h>

#include <array>

#include "ViewerTest.h"

using ViewTest = apptest::ViewerTest;

TEST_F(ViewTest, HasItsOwnContextSizedByTheLayout) {
    EXPECT_EQ(GetClassLongPtrA(View().GetHwnd(), GCL_STYLE) & CS_OWNDC, CS_OWNDC);
    SetFocus(Frame().GetHwnd());  // the frame hands the keyboard on
    EXPECT_EQ(GetFocus(), View().GetHwnd());
    ASSERT_NE(View().GetRenderingContext(), nullptr);
    EXPECT_EQ(wglGetCurrentContext(), View().GetRenderingContext());
    PIXELFORMATDESCRIPTOR format{};
    HDC dc = wglGetCurrentDC();
    ASSERT_TRUE(DescribePixelFormat(dc, GetPixelFormat(dc), sizeof format, &format));
    for (DWORD flag : {PFD_DRAW_TO_WINDOW, PFD_SUPPORT_OPENGL, PFD_DOUBLEBUFFER})
        EXPECT_TRUE(format.dwFlags & flag) << flag;
    EXPECT_TRUE(format.iPixelType == PFD_TYPE_RGBA && format.cDepthBits >= 16);

    // Resized since the first projection at 640 x 480.
    RECT client{};
    GetClientRect(View().GetHwnd(), &client);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_NE(client.right, 640);
    EXPECT_EQ(std::pair(client.right, client.bottom),
              (std::pair<LONG, LONG>(viewport[2], viewport[3])));
}

TEST_F(ViewTest, KeysAndTheMouseReachTheCoreAndFocusLossLetsTheKeysGo) {
    auto send = [this](UINT message, WPARAM wParam, int x = 0, int y = 0) {
        SendMessageA(View().GetHwnd(), message, wParam, MAKELPARAM(x, y));
    };
    const SceneView& s = Scene();
    // The mouse is the view's for the whole drag.
    send(WM_LBUTTONDOWN, MK_LBUTTON, 100, 100);
    EXPECT_EQ(GetCapture(), View().GetHwnd());
    send(WM_MOUSEMOVE, MK_LBUTTON, 110, 104);
    send(WM_LBUTTONUP, 0, 110, 104);
    EXPECT_EQ(GetCapture(), nullptr);
    send(WM_MOUSEMOVE, 0, 300, 300);
    EXPECT_EQ(std::pair(s.RotateY, s.RotateX), std::pair(5.0f, 2.0f));
    // Two half notches of the wheel bring the model one step closer.
    const float zoom = s.Zoom;
    send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2));
    send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2));
    EXPECT_EQ(s.Zoom, zoom + 1);

    // The arrows and Shift move the camera, Home puts it back; other keys, the
    // letters beside the control modes too, change nothing.
    SceneView& core = Scene();
    auto pan = [&core] { return std::pair(core.PanX, core.PanY); };
    ASSERT_EQ(pan(), std::pair(0.0f, -2.0f));
    for (WPARAM key :
         {WPARAM(VK_SHIFT), WPARAM(VK_RIGHT), WPARAM(VK_UP), WPARAM('P'), WPARAM('R'), WPARAM('Z')})
        send(WM_KEYDOWN, key);
    core.ProcessKeys();
    EXPECT_EQ(pan(), std::pair(2.5f, 0.5f));
    EXPECT_EQ(core.ControlMode, kControlPan);
    for (WPARAM key : {VK_SHIFT, VK_RIGHT, VK_UP})
        send(WM_KEYUP, key);
    send(WM_KEYDOWN, VK_LEFT);
    send(WM_KEYDOWN, VK_DOWN);
    core.ProcessKeys();
    EXPECT_EQ(pan(), std::pair(2.0f, 0.0f));
    send(WM_KEYDOWN, VK_HOME);
    EXPECT_EQ((std::array{core.PanX, core.PanY, core.Zoom, core.RotateX, core.RotateY}),
              (std::array{0.0f, -2.0f, -55.0f, 0.0f, 0.0f}));

    // A key is held until the view loses the keyboard, and with it the key-ups
    // of keys let go elsewhere.
    EXPECT_TRUE(core.Held(ViewKey::Left));
    SetFocus(nullptr);
    EXPECT_FALSE(core.Held(ViewKey::Left) || core.Held(ViewKey::Down));
}
