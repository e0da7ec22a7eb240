// The view window: its class and context, the projection on resize, held keys
// over real frame ticks, and the picture it shows.

#include <GL/gl.h>

#include <cmath>
#include <numbers>

#include "ViewerTest.h"
#include "sample/DemoScene.h"
#include "tests/support/TempDir.h"

using apptest::ViewerTest;

namespace {

class ViewTest : public ViewerTest {
  protected:
    void Key(UINT message, WPARAM code) { PostMessageA(ViewWindow(), message, code, 0); }

    // Counts the pixels that are not the clear colour.
    static size_t Lit(const std::vector<uint8_t>& rgba) {
        size_t lit = 0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            lit += (rgba[i] | rgba[i + 1] | rgba[i + 2]) != 0;
        return lit;
    }
};

}  // namespace

TEST_F(ViewTest, IsAChildWindowWithItsOwnContextAndTheTimerRunning) {
    EXPECT_EQ(fwtest::ClassOf(ViewWindow()), "View");
    EXPECT_EQ(GetClassLongPtrA(ViewWindow(), GCL_STYLE), CS_HREDRAW | CS_VREDRAW | CS_OWNDC);
    EXPECT_EQ(GetClassLongPtrA(ViewWindow(), GCLP_HBRBACKGROUND),
              reinterpret_cast<LONG_PTR>(GetStockObject(WHITE_BRUSH)));
    const LONG_PTR style = GetWindowLongPtrA(ViewWindow(), GWL_STYLE);
    const LONG_PTR wanted = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    EXPECT_EQ(style & wanted, wanted);
    EXPECT_TRUE(GetWindowLongPtrA(ViewWindow(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(GetFocus(), ViewWindow());

    ASSERT_NE(View().GetRenderingContext(), nullptr);
    EXPECT_EQ(wglGetCurrentContext(), View().GetRenderingContext());
    PIXELFORMATDESCRIPTOR format{};
    HDC dc = wglGetCurrentDC();
    ASSERT_TRUE(DescribePixelFormat(dc, GetPixelFormat(dc), sizeof format, &format));
    EXPECT_EQ(format.dwFlags & (PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER),
              static_cast<DWORD>(PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER));
    EXPECT_EQ(format.iPixelType, PFD_TYPE_RGBA);
    EXPECT_GE(format.cDepthBits, 16);
    EXPECT_NE(View().GetFrameTimer(), 0u);
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
    RECT client;
    GetClientRect(ViewWindow(), &client);
    ASSERT_NE(client.right, 640);
    expectProjection(client.right, client.bottom);

    SendMessageA(ViewWindow(), WM_SIZE, 0, MAKELPARAM(800, 600));
    expectProjection(800, 600);
    SendMessageA(ViewWindow(), WM_SIZE, 0, MAKELPARAM(300, 0));
    expectProjection(300, 1);
}

TEST_F(ViewTest, HeldArrowKeysMoveTheCameraOnEveryTick) {
    SceneView& scene = Scene();
    Key(WM_KEYDOWN, VK_RIGHT);
    RunTicks(10);
    Key(WM_KEYUP, VK_RIGHT);
    RunTicks(3);
    EXPECT_EQ(scene.PanX, 5.0f);
    EXPECT_EQ(scene.PanY, -2.0f);

    Key(WM_KEYDOWN, VK_SHIFT);
    Key(WM_KEYDOWN, VK_DOWN);
    RunTicks(4);
    Key(WM_KEYUP, VK_DOWN);
    Key(WM_KEYUP, VK_SHIFT);
    RunTicks(2);
    EXPECT_EQ(scene.PanY, -12.0f);

    Command(118);  // Rotate; the camera stays where it is
    EXPECT_EQ(scene.PanX, 5.0f);
    Key(WM_KEYDOWN, VK_LEFT);
    Key(WM_KEYDOWN, VK_UP);
    RunTicks(6);
    Key(WM_KEYUP, VK_LEFT);
    Key(WM_KEYUP, VK_UP);
    RunTicks(2);
    EXPECT_EQ(scene.RotateY, -6.0f);
    EXPECT_EQ(scene.RotateX, -6.0f);

    Command(119);  // Zoom: left and right do nothing, up moves the model away
    Key(WM_KEYDOWN, VK_LEFT);
    Key(WM_KEYDOWN, VK_RIGHT);
    Key(WM_KEYDOWN, VK_UP);
    RunTicks(5);
    Key(WM_KEYUP, VK_LEFT);
    Key(WM_KEYUP, VK_RIGHT);
    Key(WM_KEYUP, VK_UP);
    RunTicks(2);
    EXPECT_EQ(scene.Zoom, -60.0f);
    EXPECT_EQ(scene.PanX, 5.0f);
    EXPECT_EQ(scene.RotateY, -6.0f);

    // The letters beside the modes in the menu are labels only.
    for (WPARAM letter : {'P', 'R', 'Z'}) {
        Key(WM_KEYDOWN, letter);
        Key(WM_KEYUP, letter);
    }
    RunTicks(2);
    EXPECT_EQ(scene.ControlMode, kControlZoom);
}

TEST_F(ViewTest, ShowsTheDemoModelAndDrawsItAgainWithoutTextures) {
    testsupport::TempDir dir;
    sample::DemoFiles files;
    ASSERT_TRUE(sample::WriteDemo(testsupport::Utf8(dir.Path()), files));
    Scene().OpenDocument(files.Model);
    ASSERT_EQ(Scene().DocumentKind, 2);

    int width = 0, height = 0;
    RunTicks(2);
    const std::vector<uint8_t> shown = ScreenPixels(width, height);
    const std::vector<uint8_t> textured = GlPixels(width, height);
    EXPECT_GT(Lit(textured), textured.size() / 4 / 8);
    // What the view window shows is the picture GL drew.
    ASSERT_EQ(shown.size(), textured.size());
    EXPECT_EQ(Lit(shown), Lit(textured));
    EXPECT_EQ(shown, textured);

    Command(129);
    RunTicks(2);
    const std::vector<uint8_t> plain = GlPixels(width, height);
    size_t changed = 0;
    for (size_t i = 0; i < plain.size(); i += 4)
        changed += plain[i] != textured[i] || plain[i + 1] != textured[i + 1] ||
                   plain[i + 2] != textured[i + 2];
    EXPECT_GT(changed, plain.size() / 4 / 50);
    EXPECT_EQ(ScreenPixels(width, height), plain);
}

TEST_F(ViewTest, ReleasingAContextThatIsGoneSaysSoAndTheFramesGoOn) {
    ASSERT_TRUE(wglDeleteContext(View().GetRenderingContext()));
    View().ReleaseGL();
    std::vector<std::string> texts;
    for (const fwtest::Box& box : fwtest::TakeBoxes()) {
        texts.push_back(box.text);
        EXPECT_EQ(box.caption, "Shutdown Error");
        EXPECT_EQ(box.flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
        EXPECT_EQ(box.owner, nullptr);
    }
    // Nothing was current any more, and the context was gone.
    EXPECT_EQ(texts, (std::vector<std::string>{"Release of DC and RC failed.",
                                               "Release Rendering Context Failed."}));
    EXPECT_EQ(View().GetRenderingContext(), nullptr);
    EXPECT_EQ(View().GetDeviceContext(), nullptr);

    // Without a context the frames draw nothing, and the keys still count.
    PostMessageA(ViewWindow(), WM_KEYDOWN, VK_RIGHT, 0);
    RunTicks(2);
    EXPECT_EQ(Scene().PanX, 1.0f);
}
