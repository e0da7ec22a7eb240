#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <set>

#include "render/PointDump.h"
#include "render/SceneView.h"
#include "tests/render/SceneBuilder.h"
#include "tests/support/TempDir.h"

namespace {

using namespace testsupport;
using Camera = std::array<float, 5>;  // PanX, PanY, Zoom, RotateX, RotateY

Camera CameraOf(const SceneView& v) {
    return {v.PanX, v.PanY, v.Zoom, v.RotateX, v.RotateY};
}

// gluPerspective(45, aspect, 0.1f, 600)'s matrix, from its definition.
std::array<double, 16> Perspective(double aspect) {
    const double f = 1 / std::tan(45 * M_PI / 360), zNear = 0.1f, zFar = 600;
    std::array<double, 16> m{};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1;
    m[14] = 2 * zFar * zNear / (zNear - zFar);
    return m;
}

TEST(View, ResizeSetsTheViewportAndAFractionalPerspective) {
    GlContext gl;
    SceneView view;
    EXPECT_TRUE(view.InitGL());
    // A height of 0 projects as if it were 1.
    for (auto [width, height, aspect] : {std::tuple{800, 600, 800.0 / 600}, {300, 0, 300.0}}) {
        view.Resize(width, height);
        std::array<GLint, 4> viewport{};
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, width, std::max(height, 1)}));
        const std::array<float, 16> got = GlMatrix(GL_PROJECTION_MATRIX);
        const std::array<double, 16> want = Perspective(aspect);
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(got[i], want[i], 1e-5 * std::max(1.0, std::abs(want[i]))) << i;
        EXPECT_EQ(GlInteger(GL_MATRIX_MODE), GL_MODELVIEW);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(View, TheCameraTranslatesThenTurnsAboutXThenY) {
    GlContext gl;
    SceneView view;
    EXPECT_EQ(CameraOf(view), (Camera{0, -2, -55, 0, 0}));
    view.PanX = 3;
    view.PanY = -4;
    view.Zoom = -30;
    view.RotateX = 30;
    view.RotateY = 60;
    view.DrawScene();  // leaves the camera as the modelview matrix
    const std::array<float, 16> m = GlMatrix(GL_MODELVIEW_MATRIX);
    // (1, 0, 0) turned 60 degrees about y to (c, 0, -s), then 30 about x, then moved.
    const double c = std::cos(M_PI / 3), s = std::sin(M_PI / 3);
    const double want[3] = {c + 3, std::sin(M_PI / 6) * s - 4, -std::cos(M_PI / 6) * s - 30};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(m[i] + m[12 + i], want[i], 1e-5) << i;
        EXPECT_NEAR(m[12 + i], (std::array{3, -4, -30})[i], 1e-6) << i;
    }
}

TEST(View, FittingPutsTheBoxInThePictureWhateverTheTurnAndAspect) {
    GlContext gl;
    SceneView view;
    // The demo's bounds, ten times them, and a box far too wide to fit before
    // the far plane, which is cropped at the sides instead.
    const std::array<float, 6> demo{-20, -14, -4, 20, 17, 4},
        tenDemos{-200, -140, -40, 200, 170, 40}, wide{-3000, -10, -100, 3000, 10, 100};
    struct Case {
        int Width, Height;
        float RotateX, RotateY;
        std::array<float, 6> Box;
        bool Fits;
    };
    for (const Case& c : {Case{640, 480, 0, 0, tenDemos, true},
                          {640, 480, 30, -50, demo, true},
                          {300, 600, 80, 20, demo, true},
                          {640, 480, 0, 0, wide, false}}) {
        SCOPED_TRACE(testing::Message() << c.Width << "x" << c.Height << " " << c.RotateX);
        view.Resize(c.Width, c.Height);
        view.RotateX = c.RotateX;
        view.RotateY = c.RotateY;
        view.FitCamera(c.Box);
        glLoadIdentity();
        view.ApplyCamera();
        std::array<double, 16> modelview, projection;
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview.data());
        glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
        const GLint viewport[4] = {0, 0, c.Width, c.Height};
        const auto project = [&](double x, double y, double z) {
            std::array<double, 3> w;
            gluProject(x, y, z, modelview.data(), projection.data(), viewport, &w[0], &w[1], &w[2]);
            return w;
        };
        // The centre in the middle, every corner in the picture and between
        // the near and far planes; together they span most of its width or height.
        const std::array<double, 3> centre = project(
            (c.Box[0] + c.Box[3]) / 2.0, (c.Box[1] + c.Box[4]) / 2.0, (c.Box[2] + c.Box[5]) / 2.0);
        EXPECT_NEAR(centre[0], c.Width / 2.0, 1e-3);
        EXPECT_NEAR(centre[1], c.Height / 2.0, 1e-3);
        std::array<double, 2> low{1e9, 1e9}, high{-1e9, -1e9};
        for (int k = 0; k < 8; ++k) {
            const std::array<double, 3> w =
                project(c.Box[k & 1 ? 3 : 0], c.Box[k & 2 ? 4 : 1], c.Box[k & 4 ? 5 : 2]);
            EXPECT_GT(w[2], 0);
            EXPECT_LT(w[2], 1);
            for (size_t i = 0; i < 2; ++i) {
                low[i] = std::min(low[i], w[i]);
                high[i] = std::max(high[i], w[i]);
            }
        }
        const double spans = std::max((high[0] - low[0]) / c.Width, (high[1] - low[1]) / c.Height);
        if (c.Fits) {
            EXPECT_GE(low[0], 0);
            EXPECT_GE(low[1], 0);
            EXPECT_LE(high[0], c.Width);
            EXPECT_LE(high[1], c.Height);
            EXPECT_GT(spans, 0.8);
        } else {
            EXPECT_GT(spans, 1);
        }
    }
}

TEST(View, HeldArrowsMoveTheCameraByModeAndShift) {
    struct Case {
        int32_t Mode;
        std::vector<ViewKey> Held;
        int Ticks;
        Camera After;
    };
    using enum ViewKey;
    const Case cases[] = {
        {kControlPan, {Right}, 50, {25, -2, -55, 0, 0}},
        {kControlPan, {Shift, Right}, 50, {125, -2, -55, 0, 0}},
        {kControlPan, {Left, Right}, 1, {0, -2, -55, 0, 0}},
        {kControlPan, {Up}, 1, {0, -1.5f, -55, 0, 0}},
        {kControlPan, {Shift, Down}, 1, {0, -4.5f, -55, 0, 0}},
        {kControlRotate, {Left}, 1, {0, -2, -55, 0, -1}},
        {kControlRotate, {Shift, Right}, 1, {0, -2, -55, 0, 5}},
        {kControlRotate, {Up}, 1, {0, -2, -55, -1, 0}},
        {kControlRotate, {Shift, Down}, 1, {0, -2, -55, 5, 0}},
        {kControlZoom, {Up}, 1, {0, -2, -56, 0, 0}},
        {kControlZoom, {Shift, Down}, 1, {0, -2, -50, 0, 0}},
        {kControlZoom, {Shift, Left, Right}, 1, {0, -2, -55, 0, 0}},
        {7, {Up, Right}, 1, {0, -2, -55, 0, 0}},  // no such mode
    };
    for (const Case& c : cases) {
        SceneView view;
        view.ControlMode = c.Mode;
        for (ViewKey key : c.Held)
            view.KeyDown(key);
        for (int tick = 0; tick < c.Ticks; ++tick)
            view.ProcessKeys();
        EXPECT_EQ(CameraOf(view), c.After)
            << "mode " << c.Mode << ", first key " << static_cast<int>(c.Held[0]);
    }

    // Switching modes keeps the camera; the same held Up then pans, until released.
    SceneView view;
    view.Command(ViewCommand::ControlZoom);
    view.KeyDown(Up);
    view.ProcessKeys();
    view.Command(ViewCommand::ControlPan);
    view.ProcessKeys();
    view.KeyUp(Up);
    view.ProcessKeys();
    EXPECT_EQ(CameraOf(view), (Camera{0, -1.5f, -56, 0, 0}));

    // A window that draws at its own pace moves by the time its frame took:
    // 50 steps a second, at most 25 in one frame.
    EXPECT_EQ(SceneView::KeyStepsFor(0.1), 5);
    EXPECT_EQ(SceneView::KeyStepsFor(6), 25);
    view.KeyDown(Shift);
    view.KeyDown(Right);
    view.ProcessKeys(SceneView::KeyStepsFor(0.1));
    EXPECT_EQ(CameraOf(view), (Camera{12.5f, -1.5f, -56, 0, 0}));
    view.ReleaseKeys();

    // A frame draws with the camera as it stands, shows the picture, and only
    // then applies the keys: the move shows in the next frame. A frame that
    // cannot draw still applies them.
    GlContext gl;
    view.PanX = 3;
    view.KeyDown(Right);
    std::vector<float> shown;
    auto show = [&] { shown.push_back(GlMatrix(GL_MODELVIEW_MATRIX)[12]); };
    view.Frame(true, show);
    view.Frame(false, show);
    EXPECT_EQ(shown, std::vector<float>{3});
    EXPECT_EQ(view.PanX, 4.0f);
}

TEST(View, TheMouseTurnsMovesAndZoomsInEveryModeAndHomeResets) {
    GlContext gl(640, 480);
    SceneView view;
    view.InitGL();
    view.Resize(640, 480);
    view.ControlMode = kControlZoom;
    // Left: right and up turn as the Right and Up keys do in Rotate mode, half a
    // degree a pixel, five times that with Shift; nothing once the button is up.
    view.MouseDown(MouseButton::Left, 100, 100);
    view.MouseMove(120, 90, false);
    view.MouseMove(122, 90, true);
    view.MouseUp();
    view.MouseMove(300, 300, false);
    EXPECT_EQ(CameraOf(view), (Camera{0, -2, -55, -5, 15}));

    // Right or middle: the scene's origin stays under the cursor, at any depth.
    auto origin = [&view] {
        view.DrawScene();  // leaves the camera as the modelview matrix
        std::array<double, 16> model{}, projection{};
        std::array<GLint, 4> viewport{};
        glGetDoublev(GL_MODELVIEW_MATRIX, model.data());
        glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
        glGetIntegerv(GL_VIEWPORT, viewport.data());
        double x = 0, y = 0, z = 0;
        gluProject(0, 0, 0, model.data(), projection.data(), viewport.data(), &x, &y, &z);
        return std::array{x, 480 - y};  // window rows run down
    };
    for (auto [button, zoom] :
         {std::pair{MouseButton::Right, -55.0f}, {MouseButton::Middle, -200.0f}}) {
        view.Zoom = zoom;
        const std::array<double, 2> before = origin();
        view.MouseDown(button, 320, 240);
        view.MouseMove(350, 200, true);
        view.MouseUp();
        const std::array<double, 2> after = origin();
        EXPECT_NEAR(after[0] - before[0], 30, 0.01) << zoom;
        EXPECT_NEAR(after[1] - before[1], -40, 0.01) << zoom;
    }

    // The wheel: a notch forward brings the model one Zoom step closer.
    view.Zoom = -55;
    view.MouseWheel(1, false);
    EXPECT_EQ(view.Zoom, -54.0f);
    view.MouseWheel(-2, true);
    EXPECT_EQ(view.Zoom, -64.0f);
    EXPECT_EQ(view.ControlMode, kControlZoom);

    view.KeyDown(ViewKey::Home);
    EXPECT_EQ(CameraOf(view), (Camera{0, -2, -55, 0, 0}));
}

TEST(View, CommandsSetTheModeAndToggleTheOverlays) {
    SceneView view;
    EXPECT_EQ(view.ControlMode, kControlPan);
    using enum ViewCommand;
    for (auto [command, mode] : {std::pair{ControlZoom, 2}, {ControlRotate, 1}, {ControlPan, 0}}) {
        view.Command(command);
        EXPECT_EQ(view.ControlMode, mode) << static_cast<int>(command);
    }
    auto toggles = [&] {
        return std::array{view.ShowAxes, view.ShowTextures, view.ShowBoundingBox};
    };
    EXPECT_EQ(toggles(), (std::array{1, 1, 0}));
    for (ViewCommand command : {ShowAxes, ToggleTextures, ShowBoundingBox})
        view.Command(command);
    EXPECT_EQ(toggles(), (std::array{0, 0, 1}));
    view.ShowAxes = 5;  // any non-zero flag turns off
    view.Command(ShowAxes);
    EXPECT_EQ(view.ShowAxes, 0);
}

// The lines a frame sends under UseFeedbackOrtho: colour bytes, then both ends
// in eye space, to the unit.
using Line = std::array<int, 9>;
std::vector<Line> LinesDrawn(SceneView& view) {
    UseFeedbackOrtho();
    auto n = [](float f) { return static_cast<int>(std::lround(f)); };
    std::vector<Line> lines;
    for (const FeedbackItem& item : Feedback([&] { view.DrawScene(); })) {
        EXPECT_EQ(item.Type, FeedbackItem::Line);
        const FeedbackVertex& v = item.Vertices[0];
        const Point3 a = EyeOf(v), b = EyeOf(item.Vertices.back());
        lines.push_back({n(v.R * 255), n(v.G * 255), n(v.B * 255), n(a.X), n(a.Y), n(a.Z), n(b.X),
                         n(b.Y), n(b.Z)});
    }
    return lines;
}

TEST(View, AxesAndBoundingBoxLinesInTheirColours) {
    GlContext gl;
    SceneView view;
    // Under the camera at (0, -2, -55): x red, y green, z blue, 20 each way.
    EXPECT_EQ(LinesDrawn(view), (std::vector<Line>{{255, 0, 0, -20, -2, -55, 20, -2, -55},
                                                   {0, 255, 0, 0, 18, -55, 0, -22, -55},
                                                   {0, 0, 255, 0, -2, -35, 0, -2, -75}}));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    view.ShowAxes = 0;
    EXPECT_TRUE(LinesDrawn(view).empty());

    // The header's box under the camera only: the node that moves the model
    // does not move it. Twelve yellow lines, each between two corners one
    // coordinate apart, none twice: the box's edges.
    sample::Model m;
    m.BoundingBox = {-10, -8, -6, 10, 8, 6};
    AddNode(m, -1, {30, 30, 0});
    view.Scene = SceneOf(m);
    view.DocumentKind = FileKind::ModelFile;
    view.ShowBoundingBox = 1;
    glEnable(GL_CULL_FACE);
    std::set<std::pair<std::array<int, 3>, std::array<int, 3>>> edges;
    for (const Line& line : LinesDrawn(view)) {
        EXPECT_EQ((std::array{line[0], line[1], line[2]}), (std::array{255, 255, 0}));
        const std::array<int, 3> a{line[3], line[4] + 2, line[5] + 55},
            b{line[6], line[7] + 2, line[8] + 55}, corner{10, 8, 6};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(std::abs(a[i]), corner[i]);
            EXPECT_EQ(std::abs(b[i]), corner[i]);
        }
        EXPECT_EQ((a[0] != b[0]) + (a[1] != b[1]) + (a[2] != b[2]), 1);
        edges.insert(std::minmax(a, b));
    }
    EXPECT_EQ(edges.size(), 12u);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    // A kind that names no document present draws neither it nor its box,
    // and fits nothing.
    view.DocumentKind = FileKind::PointDump;
    EXPECT_TRUE(LinesDrawn(view).empty());
    EXPECT_FALSE(view.FitDocument());
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// `size` bytes of zeros, with little-endian floats written from word `at` on.
std::vector<uint8_t> Dump(size_t size, size_t at = 0, std::vector<float> words = {}) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < words.size(); ++i) {
        uint32_t bits;
        std::memcpy(&bits, &words[i], 4);
        for (int b = 0; b < 4; ++b)
            bytes[4 * (at + i) + b] = static_cast<uint8_t>(bits >> (8 * b));
    }
    return bytes;
}

TEST(PointDump, WholeTriplesFromWord116722AreDrawn) {
    GlContext gl;
    TempDir dir;
    std::vector<uint8_t> one = Dump(466900, 116721, {99, 10, -20, 30});
    const uint8_t x[] = {0x00, 0x00, 0x80, 0x3F};  // 1.0, taken as it lies
    std::memcpy(&one[4 * 116722], x, 4);
    PointDump dump;
    EXPECT_TRUE(dump.Load(dir.Write("one", one)));
    EXPECT_EQ(dump.FileName, dir.File("one"));
    EXPECT_EQ(dump.Words.size(), 116725u);
    glColor4f(0, 0, 0, 0);  // the points are white whatever came before
    EXPECT_EQ(PointsDrawn([&] { dump.Draw(); }), (std::vector<DrawnPoint>{{255, 1, -20, 30}}));
    std::array<float, 4> colour{};
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    EXPECT_EQ(colour, (std::array<float, 4>{1, 1, 1, 1}));
    for (GLenum off : {GL_TEXTURE_2D, GL_BLEND, GL_ALPHA_TEST, GL_CULL_FACE})
        EXPECT_FALSE(glIsEnabled(off)) << off;
    // The view draws the points, then the axes.
    SceneView view;
    view.OpenDocument(dir.File("one"));
    EXPECT_EQ(view.DocumentKind, FileKind::PointDump);
    ASSERT_TRUE(view.FitDocument());  // centred on the points
    EXPECT_EQ(std::pair(view.PanX, view.PanY), std::pair(-1.0f, 20.0f));
    std::vector<FeedbackItem::Kind> kinds;
    for (const FeedbackItem& item : Feedback([&] { view.DrawScene(); }))
        kinds.push_back(item.Type);
    using enum FeedbackItem::Kind;
    EXPECT_EQ(kinds, (std::vector{Point, Line, Line, Line}));

    // One byte short of that draws none, one or two words past it one; an
    // empty file none.
    const std::pair<size_t, size_t> sizes[] = {{466899, 0}, {466900 + 11, 1}, {0, 0}};
    for (auto [size, points] : sizes) {
        PointDump other;
        EXPECT_TRUE(other.Load(dir.Write("other", Dump(size))));
        EXPECT_EQ(other.Words.size(), size / 4);
        EXPECT_EQ(PointsDrawn([&] { other.Draw(); }).size(), points) << size;
    }
    PointDump missing;
    EXPECT_FALSE(missing.Load(dir.File("missing")));
    EXPECT_TRUE(missing.Words.empty());
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
