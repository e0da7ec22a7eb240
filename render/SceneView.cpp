#include "render/SceneView.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "model/FileKind.h"

namespace {

// What one arrow-key tick changes: s pans, r turns or zooms; Shift five times as much.
constexpr float PanStep(bool shift) {
    return shift ? 2.5f : 0.5f;
}
constexpr float TurnStep(bool shift) {
    return shift ? 5.0f : 1.0f;
}

// Degrees a pixel of a left drag turns the model, without Shift.
constexpr float kDegreesPerPixel = 0.5f;
constexpr double kFieldOfViewDegrees = 45.0;

}  // namespace

bool SceneView::InitGL() {
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glColor4f(1, 1, 1, 0.5f);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    return true;
}

void SceneView::Resize(int width, int height) {
    if (height == 0)
        height = 1;
    width_ = width;
    height_ = height;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfViewDegrees, static_cast<double>(width) / static_cast<double>(height),
                   0.1f, 600.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void SceneView::Frame(bool draw, const std::function<void()>& show, float keySteps) {
    if (draw) {
        DrawScene();
        show();
    }
    ProcessKeys(keySteps);
}

void SceneView::DrawScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    ApplyCamera();
    glColor3f(1, 1, 1);
    glEnable(GL_TEXTURE_2D);
    if (DocumentKind == FileKind::ModelFile && Scene) {
        Scene->SetTexturesEnabled(ShowTextures);
        if (const std::optional<uint32_t> root = Scene->Model().RootNode())
            Scene->DrawNode(*root);
        if (ShowBoundingBox)
            Scene->DrawBoundingBox();
    } else if (DocumentKind == FileKind::PointDump && Points) {
        Points->Draw();
    }
    if (ShowAxes)
        DrawAxes();
}

void SceneView::ApplyCamera() const {
    glTranslatef(PanX, PanY, Zoom);
    glRotatef(RotateX, 1, 0, 0);
    glRotatef(RotateY, 0, 1, 0);
}

void SceneView::KeyDown(ViewKey key) {
    keyState_[Index(key)] = 1;
    if (key == ViewKey::Home)
        ResetCamera();
}

void SceneView::MouseDown(MouseButton button, int x, int y) {
    dragging_ = button;
    lastX_ = x;
    lastY_ = y;
}

void SceneView::MouseMove(int x, int y, bool shift) {
    if (!dragging_)
        return;
    const float dx = static_cast<float>(x - lastX_), dy = static_cast<float>(y - lastY_);
    lastX_ = x;
    lastY_ = y;
    if (*dragging_ == MouseButton::Left) {
        // Right turns as the Right key does, up as the Up key does.
        const float degrees = kDegreesPerPixel * TurnStep(shift);
        RotateY += dx * degrees;
        RotateX += dy * degrees;
        return;
    }
    // A pixel at the model's depth spans this much of the scene; window rows
    // run down, the scene's y up.
    const double depth = std::max(std::abs(static_cast<double>(Zoom)), 0.1);
    const double perPixel =
        2 * depth * std::tan(kFieldOfViewDegrees * std::numbers::pi / 360) / height_;
    PanX += static_cast<float>(dx * perPixel);
    PanY -= static_cast<float>(dy * perPixel);
}

void SceneView::MouseUp() {
    dragging_.reset();
}

void SceneView::MouseWheel(int notches, bool shift) {
    Zoom += static_cast<float>(notches) * TurnStep(shift);
}

float SceneView::KeyStepsFor(double seconds) {
    return static_cast<float>(std::clamp(seconds * kKeyStepsPerSecond, 0.0, double{kMaxKeySteps}));
}

void SceneView::ProcessKeys(float steps) {
    const bool shift = Held(ViewKey::Shift);
    const float s = PanStep(shift) * steps;
    const float r = TurnStep(shift) * steps;
    const bool left = Held(ViewKey::Left), right = Held(ViewKey::Right);
    const bool up = Held(ViewKey::Up), down = Held(ViewKey::Down);
    switch (ControlMode) {
        case kControlPan:
            if (left)
                PanX -= s;
            if (right)
                PanX += s;
            if (up)
                PanY += s;
            if (down)
                PanY -= s;
            break;
        case kControlRotate:
            if (left)
                RotateY -= r;
            if (right)
                RotateY += r;
            if (up)
                RotateX -= r;
            if (down)
                RotateX += r;
            break;
        case kControlZoom:
            if (up)
                Zoom -= r;
            if (down)
                Zoom += r;
            break;
        default:
            break;
    }
}

void SceneView::DrawAxes() const {
    glDisable(GL_TEXTURE_2D);
    glBegin(GL_LINES);
    glColor3f(1, 0, 0);
    glVertex3f(-20, 0, 0);
    glVertex3f(20, 0, 0);
    glColor3f(0, 1, 0);
    glVertex3f(0, 20, 0);
    glVertex3f(0, -20, 0);
    glColor3f(0, 0, 1);
    glVertex3f(0, 0, 20);
    glVertex3f(0, 0, -20);
    glEnd();
}

void SceneView::ResetCamera() {
    PanX = 0.0f;
    PanY = -2.0f;
    Zoom = -55.0f;
    RotateX = 0.0f;
    RotateY = 0.0f;
}

void SceneView::Command(ViewCommand command) {
    auto toggle = [](int32_t& flag) { flag = flag ? 0 : 1; };
    switch (command) {
        case ViewCommand::ControlPan:
            ControlMode = kControlPan;
            break;
        case ViewCommand::ControlRotate:
            ControlMode = kControlRotate;
            break;
        case ViewCommand::ControlZoom:
            ControlMode = kControlZoom;
            break;
        case ViewCommand::ShowAxes:
            toggle(ShowAxes);
            break;
        case ViewCommand::ToggleTextures:
            toggle(ShowTextures);
            break;
        case ViewCommand::ShowBoundingBox:
            toggle(ShowBoundingBox);
            break;
    }
}

void SceneView::OpenDocument(const std::string& path, bool withContext) {
    if (path.empty())
        return;
    // The old document goes first, so a file that cannot be shown still closes it.
    CloseDocuments();
    OpenDocument(LoadDocument(path), withContext);
}

void SceneView::OpenDocument(Document&& document, bool withContext) {
    CloseDocuments();
    switch (document.Kind) {
        case FileKind::Unreadable:
            DocumentKind = FileKind::Unreadable;
            break;
        case FileKind::ModelFile:
            Scene = std::make_unique<ModelScene>();
            Scene->Open(std::move(document), withContext);
            DocumentKind = FileKind::ModelFile;
            break;
        case FileKind::PointDump:
            Points = std::make_unique<PointDump>();
            Points->FileName = document.Path;
            Points->Words = std::move(document.Points);
            DocumentKind = FileKind::PointDump;
            break;
        case FileKind::TextureArchive:
            break;  // no document; the kind stays as it was
    }
}

void SceneView::CloseDocuments() {
    Scene.reset();
    Points.reset();
}
