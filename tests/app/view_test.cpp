// The view window: its class and context, and the sizes, keys, mouse and ticks
// that reach the view core through it. That its frames reach the screen is the
// end-to-end run's to show.

#include <GL/gl.h>

#include "ViewerTest.h"

using apptest::ViewerTest;

namespace {

class ViewTest : public ViewerTest {
  protected:
    void Post(UINT message, WPARAM wParam, LPARAM lParam = 0) {
        PostMessageA(ViewWindow(), message, wParam, lParam);
    }
};

}  // namespace

TEST_F(ViewTest, IsAChildWindowWithItsOwnContextSizedByItsMessages) {
    EXPECT_EQ(GetClassLongPtrA(ViewWindow(), GCL_STYLE) & CS_OWNDC, CS_OWNDC);
    EXPECT_TRUE(GetWindowLongPtrA(ViewWindow(), GWL_STYLE) & WS_CHILD);
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

    // The layout has sized the view since the first projection at 640 x 480.
    auto viewport = [] {
        GLint v[4] = {};
        glGetIntegerv(GL_VIEWPORT, v);
        return std::pair<LONG, LONG>(v[2], v[3]);
    };
    RECT client{};
    GetClientRect(ViewWindow(), &client);
    EXPECT_NE(client.right, 640);
    EXPECT_EQ(viewport(), std::pair(client.right, client.bottom));
    SendMessageA(ViewWindow(), WM_SIZE, 0, MAKELPARAM(800, 600));
    EXPECT_EQ(viewport(), std::pair(800L, 600L));
}

TEST_F(ViewTest, TheMouseIsTheViewsForADragAndFocusLossLetsTheKeysGo) {
    // That keys and a drag inside the view reach the camera, the end-to-end
    // run shows; what it cannot show follows.
    const SceneView& s = Scene();
    // The mouse is the view's for the whole drag, and two half notches of the
    // wheel bring the model one step closer.
    const struct {
        UINT Message;
        WPARAM Keys;
        int X, Y;
    } mouse[] = {{WM_LBUTTONDOWN, MK_LBUTTON, 100, 100},
                 {WM_MOUSEMOVE, MK_LBUTTON, 110, 104},
                 {WM_LBUTTONUP, 0, 110, 104},
                 {WM_MOUSEMOVE, 0, 300, 300},
                 {WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0, 0},
                 {WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), 0, 0}};
    const float zoom = s.Zoom;
    for (const auto& m : mouse) {
        Post(m.Message, m.Keys, MAKELPARAM(m.X, m.Y));
        RunTicks(1);
        EXPECT_EQ(GetCapture() == ViewWindow(), (m.Keys & MK_LBUTTON) != 0) << m.Message;
    }
    EXPECT_EQ(s.RotateY, 5.0f);
    EXPECT_EQ(s.RotateX, 2.0f);
    EXPECT_EQ(s.Zoom, zoom + 1);

    // A key let go while another window has the keyboard is forgotten with it.
    Post(WM_KEYDOWN, VK_RIGHT);
    RunTicks(2);
    EXPECT_EQ(s.PanX, 1.0f);  // half a unit a tick
    SetFocus(nullptr);
    RunTicks(3);
    EXPECT_EQ(s.PanX, 1.0f);
}

TEST_F(ViewTest, ReleasingAContextThatIsGoneSaysSoAndTheFramesGoOn) {
    ASSERT_TRUE(wglDeleteContext(View().GetRenderingContext()));
    View().ReleaseGL();
    // Nothing was current any more, and the context was gone.
    EXPECT_EQ(fwtest::TakeBoxes("Shutdown Error", MB_OK | MB_ICONINFORMATION),
              (std::vector<std::string>{"Release of DC and RC failed.",
                                        "Release Rendering Context Failed."}));
    EXPECT_EQ(View().GetRenderingContext(), nullptr);
    EXPECT_EQ(View().GetDeviceContext(), nullptr);

    // Without a context the frames draw nothing, and the keys still count.
    Post(WM_KEYDOWN, VK_RIGHT);
    RunTicks(2);
    EXPECT_EQ(Scene().PanX, 1.0f);
}
