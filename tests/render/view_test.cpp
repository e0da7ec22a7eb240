#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "render/SceneView.h"
#include "tests/render/SceneBuilder.h"
#include "tests/support/GlContext.h"
#include "tests/support/TempDir.h"

namespace {

using testsupport::Feedback;
using testsupport::FeedbackItem;
using testsupport::GlContext;
using testsupport::Pixel;

std::array<float, 16> Matrix(GLenum which) {
    std::array<float, 16> m{};
    glGetFloatv(which, m.data());
    return m;
}

// gluPerspective's matrix, from its definition.
std::array<double, 16> Perspective(double fovy, double aspect, double zNear, double zFar) {
    const double f = 1 / std::tan(fovy * M_PI / 360);
    std::array<double, 16> m{};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1;
    m[14] = 2 * zFar * zNear / (zNear - zFar);
    return m;
}

void ExpectProjection(double aspect) {
    const std::array<float, 16> got = Matrix(GL_PROJECTION_MATRIX);
    const std::array<double, 16> want = Perspective(45, aspect, 0.1f, 600);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(got[i], want[i], 1e-5 * std::max(1.0, std::abs(want[i]))) << i;
}

TEST(View, InitGLSetsTheInitialState) {
    GlContext gl;
    SceneView view;
    EXPECT_TRUE(view.InitGL());
    GLint shade = 0, depthFunc = 0, hint = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &hint);
    EXPECT_EQ(shade, GL_SMOOTH);
    EXPECT_EQ(depthFunc, GL_LEQUAL);
    EXPECT_EQ(hint, GL_NICEST);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    for (GLenum off : {GL_LIGHTING, GL_TEXTURE_2D, GL_BLEND, GL_ALPHA_TEST, GL_CULL_FACE})
        EXPECT_FALSE(glIsEnabled(off)) << off;
    float clear[4], color[4], depth = 0;
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glGetFloatv(GL_CURRENT_COLOR, color);
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depth);
    EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(color[0], 1);
    EXPECT_EQ(color[3], 0.5f);
}

TEST(View, ResizeSetsViewportAndAFractionalPerspective) {
    GlContext gl;
    SceneView view;
    view.Resize(800, 600);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
    ExpectProjection(800.0 / 600.0);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    // A height of 0 projects as if it were 1.
    view.Resize(300, 0);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 300);
    EXPECT_EQ(viewport[3], 1);
    ExpectProjection(300.0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(View, TheCameraTranslatesThenTurnsAboutXThenY) {
    GlContext gl;
    SceneView view;
    EXPECT_EQ(view.PanX, 0);
    EXPECT_EQ(view.PanY, -2);
    EXPECT_EQ(view.Zoom, -55);
    EXPECT_EQ(view.RotateX, 0);
    EXPECT_EQ(view.RotateY, 0);
    view.PanX = 3;
    view.PanY = -4;
    view.Zoom = -30;
    view.RotateX = 30;
    view.RotateY = 60;
    // DrawScene leaves the camera as the modelview matrix.
    view.DrawScene();
    const std::array<float, 16> m = Matrix(GL_MODELVIEW_MATRIX);
    // (1, 0, 0) turned 60 degrees about y, then 30 about x, then moved.
    const double cy = std::cos(M_PI / 3), sy = std::sin(M_PI / 3);
    const double cx = std::cos(M_PI / 6), sx = std::sin(M_PI / 6);
    const double x = cy, y = 0, z = -sy;  // after the turn about y
    const double want[3] = {x + 3, cx * y - sx * z - 4, sx * y + cx * z - 30};
    EXPECT_NEAR(m[0] + m[12], want[0], 1e-5);
    EXPECT_NEAR(m[1] + m[13], want[1], 1e-5);
    EXPECT_NEAR(m[2] + m[14], want[2], 1e-5);
    EXPECT_NEAR(m[12], 3, 1e-6);
    EXPECT_NEAR(m[13], -4, 1e-6);
    EXPECT_NEAR(m[14], -30, 1e-6);
}

TEST(View, HeldArrowsMoveTheCameraByModeAndShift) {
    SceneView view;
    view.KeyDown(kKeyRight);
    for (int tick = 0; tick < 50; ++tick)
        view.ProcessKeys();
    EXPECT_FLOAT_EQ(view.PanX, 25.0f);
    view.KeyDown(kKeyShift);
    for (int tick = 0; tick < 50; ++tick)
        view.ProcessKeys();
    EXPECT_FLOAT_EQ(view.PanX, 150.0f);
    view.KeyDown(kKeyLeft);  // Left and Right together cancel
    view.ProcessKeys();
    EXPECT_FLOAT_EQ(view.PanX, 150.0f);
    view.KeyUp(kKeyLeft);
    view.KeyUp(kKeyRight);
    view.KeyUp(kKeyShift);

    struct Case {
        int Command;
        uint32_t Key;
        bool Shift;
        float SceneView::*Field;
        float Change;
    };
    const Case cases[] = {
        {kCommandControlPan, kKeyLeft, false, &SceneView::PanX, -0.5f},
        {kCommandControlPan, kKeyUp, false, &SceneView::PanY, 0.5f},
        {kCommandControlPan, kKeyDown, true, &SceneView::PanY, -2.5f},
        {kCommandControlRotate, kKeyLeft, false, &SceneView::RotateY, -1},
        {kCommandControlRotate, kKeyRight, true, &SceneView::RotateY, 5},
        {kCommandControlRotate, kKeyUp, false, &SceneView::RotateX, -1},
        {kCommandControlRotate, kKeyDown, true, &SceneView::RotateX, 5},
        {kCommandControlZoom, kKeyUp, false, &SceneView::Zoom, -1},
        {kCommandControlZoom, kKeyDown, true, &SceneView::Zoom, 5},
        {kCommandControlZoom, kKeyLeft, true, &SceneView::PanX, 0},
        {kCommandControlZoom, kKeyRight, false, &SceneView::RotateY, 0},
    };
    for (const Case& c : cases) {
        SceneView v;
        EXPECT_TRUE(v.Command(c.Command));
        if (c.Shift)
            v.KeyDown(kKeyShift);
        v.KeyDown(c.Key);
        const float before = v.*c.Field;
        const float sum = v.PanX + v.PanY + v.Zoom + v.RotateX + v.RotateY;
        v.ProcessKeys();
        EXPECT_FLOAT_EQ(v.*c.Field - before, c.Change) << c.Command << " " << c.Key;
        // Nothing else moved.
        EXPECT_FLOAT_EQ(v.PanX + v.PanY + v.Zoom + v.RotateX + v.RotateY - sum, c.Change)
            << c.Command << " " << c.Key;
    }

    // Up once in Zoom mode: -55 to -56. Switching modes keeps every value.
    SceneView zoom;
    zoom.Command(kCommandControlZoom);
    zoom.KeyDown(kKeyUp);
    zoom.ProcessKeys();
    EXPECT_FLOAT_EQ(zoom.Zoom, -56);
    zoom.Command(kCommandControlRotate);
    zoom.Command(kCommandControlPan);
    EXPECT_FLOAT_EQ(zoom.Zoom, -56);
    EXPECT_FLOAT_EQ(zoom.PanY, -2);
    zoom.ProcessKeys();
    EXPECT_FLOAT_EQ(zoom.PanY, -1.5f);  // the same Up, now panning

    // Letters, codes past the table and unknown modes change nothing.
    SceneView still;
    for (uint32_t key : {uint32_t{'P'}, uint32_t{'R'}, uint32_t{'Z'}, 300u, 0xFFFFFFFFu})
        still.KeyDown(key);
    still.ProcessKeys();
    still.ControlMode = 7;
    still.KeyDown(kKeyUp);
    still.ProcessKeys();
    EXPECT_FLOAT_EQ(still.PanX + still.PanY + still.Zoom + still.RotateX + still.RotateY, -57);
}

TEST(View, CommandsSetTheModeAndToggleTheOverlays) {
    SceneView view;
    EXPECT_EQ(view.ControlMode, 0);
    EXPECT_TRUE(view.Command(kCommandControlZoom));
    EXPECT_EQ(view.ControlMode, 2);
    EXPECT_TRUE(view.Command(kCommandControlRotate));
    EXPECT_EQ(view.ControlMode, 1);
    EXPECT_TRUE(view.Command(kCommandControlPan));
    EXPECT_EQ(view.ControlMode, 0);

    EXPECT_EQ(view.ShowAxes, 1);
    EXPECT_EQ(view.ShowTextures, 1);
    EXPECT_EQ(view.ShowBoundingBox, 0);
    EXPECT_TRUE(view.Command(kCommandShowAxes));
    EXPECT_TRUE(view.Command(kCommandToggleTextures));
    EXPECT_TRUE(view.Command(kCommandShowBoundingBox));
    EXPECT_EQ(view.ShowAxes, 0);
    EXPECT_EQ(view.ShowTextures, 0);
    EXPECT_EQ(view.ShowBoundingBox, 1);
    view.ShowAxes = 5;  // any non-zero flag turns off
    view.Command(kCommandShowAxes);
    EXPECT_EQ(view.ShowAxes, 0);

    // The inert commands, Open and Data View are not the view core's.
    for (int id : {108, 126, 127, 128, 130, 132, 133, 134, 136, 137, 138, 139, 144, 145, 146})
        EXPECT_FALSE(view.Command(id)) << id;
    EXPECT_EQ(view.ControlMode, 0);
    EXPECT_EQ(view.ShowAxes, 0);
    EXPECT_EQ(view.ShowTextures, 0);
    EXPECT_EQ(view.ShowBoundingBox, 1);
}

constexpr int kWidth = 200, kHeight = 150;

// The colour that shows object point (x, y, z) under the view's camera (without
// rotation): the lit pixel nearest to where it projects, black when none is.
Pixel Seen(const GlContext& gl, const SceneView& view, double x, double y, double z) {
    const std::array<double, 16> p = Perspective(45, double(kWidth) / kHeight, 0.1f, 600);
    const double ex = x + view.PanX, ey = y + view.PanY, ez = z + view.Zoom;
    const double nx = p[0] * ex / -ez, ny = p[5] * ey / -ez;
    const int column = static_cast<int>((nx + 1) / 2 * kWidth);
    const int row = kHeight - 1 - static_cast<int>((ny + 1) / 2 * kHeight);
    // A line on a pixel boundary may fall on either side of it.
    for (int dy : {0, -1, 1}) {
        for (int dx : {0, -1, 1}) {
            Pixel p = gl.At(column + dx, row + dy);
            if (p.R || p.G || p.B)
                return p;
        }
    }
    return {};
}

TEST(View, AxesAndBoundingBoxLinesInTheirColours) {
    GlContext gl(kWidth, kHeight);
    SceneView view;
    view.InitGL();
    view.Resize(kWidth, kHeight);
    view.DrawScene();
    EXPECT_EQ(Seen(gl, view, 12, 0, 0), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(Seen(gl, view, -12, 0, 0), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(Seen(gl, view, 0, 12, 0), (Pixel{0, 255, 0, 255}));
    EXPECT_EQ(Seen(gl, view, 0, -12, 0), (Pixel{0, 255, 0, 255}));
    EXPECT_EQ(Seen(gl, view, 25, 0, 0), (Pixel{}));  // the axes end at 20
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    // Seen from the side, the blue z axis runs across.
    view.RotateY = 90;
    view.DrawScene();
    EXPECT_EQ(Seen(gl, view, 12, 0, 0), (Pixel{0, 0, 255, 255}));
    view.RotateY = 0;

    view.ShowAxes = 0;
    view.DrawScene();
    EXPECT_EQ(gl.CountLit(), 0);

    // The box of the header, in yellow, under the camera only: the node that
    // moves the model does not move it.
    sample::Model m;
    m.BoundingBox = {-10, -8, -6, 10, 8, 6};
    testsupport::AddNode(m, -1, {30, 30, 0});
    view.Scene = testsupport::SceneOf(m);
    view.DocumentKind = 2;
    view.ShowBoundingBox = 1;
    glEnable(GL_CULL_FACE);
    view.DrawScene();
    EXPECT_EQ(Seen(gl, view, 0, -8, 6), (Pixel{255, 255, 0, 255}));
    EXPECT_EQ(Seen(gl, view, 0, 8, 6), (Pixel{255, 255, 0, 255}));
    EXPECT_EQ(Seen(gl, view, 10, 0, 6), (Pixel{255, 255, 0, 255}));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    std::vector<FeedbackItem> lines = Feedback([&] { view.DrawScene(); });
    ASSERT_EQ(lines.size(), 12u);
    for (const FeedbackItem& line : lines) {
        EXPECT_EQ(line.Type, FeedbackItem::Line);
        EXPECT_EQ(line.Vertices[0].R + line.Vertices[0].G + line.Vertices[0].B, 2);
    }
    // A kind that names no document present draws neither it nor its box.
    view.DocumentKind = 3;
    view.DrawScene();
    EXPECT_EQ(gl.CountLit(), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(View, OpenReplacesTheDocumentByKind) {
    GlContext gl;
    testsupport::TempDir dir;
    sample::Model m;
    testsupport::AddNode(m, -1);
    const std::string model = dir.Write("model", sample::WriteModel(m));
    const std::string archive = dir.Write("archive", std::vector<uint8_t>{0x00, 0x20, 0xAF, 0x30});
    const std::string other = dir.Write("other", std::vector<uint8_t>(100, 7));

    SceneView view;
    view.ShowTextures = 0;
    view.OpenDocument(model);
    EXPECT_EQ(view.DocumentKind, 2);
    ASSERT_TRUE(view.Scene);
    EXPECT_EQ(view.Scene->Nodes().size(), 1u);
    view.DrawScene();
    EXPECT_EQ(view.Scene->TexturesEnabled, 0);  // the toggle reaches the scene

    view.OpenDocument(other);
    EXPECT_EQ(view.DocumentKind, 3);
    EXPECT_FALSE(view.Scene);
    ASSERT_TRUE(view.Points);
    EXPECT_EQ(view.Points->Words.size(), 25u);

    view.OpenDocument("");  // a cancelled dialog
    EXPECT_EQ(view.DocumentKind, 3);
    EXPECT_TRUE(view.Points);

    // An archive closes the document and keeps the kind; a missing file is kind 0.
    view.OpenDocument(archive);
    EXPECT_EQ(view.DocumentKind, 3);
    EXPECT_FALSE(view.Points);
    EXPECT_FALSE(view.Scene);
    view.OpenDocument(dir.File("gone"));
    EXPECT_EQ(view.DocumentKind, 0);
    // Camera and toggles stay.
    EXPECT_EQ(view.ShowTextures, 0);
    EXPECT_EQ(view.Zoom, -55);
}

}  // namespace
