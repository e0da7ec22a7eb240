// The view window: its own context, sized by the layout, and the keys and mouse
// that reach the view core through it. That the frame timer moves the camera
// with held keys and that the frames reach the screen is the end-to-end run's
// to show.

#include <GL/gl.h>

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

    // A key is held until the view loses the keyboard, and with it the key-ups
    // of keys let go elsewhere.
    send(WM_KEYDOWN, VK_RIGHT);
    EXPECT_TRUE(s.KeyState[VK_RIGHT]);
    SetFocus(nullptr);
    EXPECT_FALSE(s.KeyState[VK_RIGHT]);
}
