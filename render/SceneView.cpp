#include "render/SceneView.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <new>
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
constexpr double kNearPlane = 0.1, kFarPlane = 600;
// A fitted box leaves a little room at the picture's edges, and keeps its far
// side a little before the far plane, clear of its depth rounding.
constexpr double kFitMargin = 1.05, kFarFraction = 0.99;

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
                   static_cast<float>(kNearPlane), kFarPlane);
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

void SceneView::FitCamera(const std::array<float, 6>& box) {
    for (const float f : box) {
        if (!std::isfinite(f))
            return;
    }
    // The camera translates, then turns about x, then about y: a model point p
    // lands at Rx Ry p + (PanX, PanY, Zoom).
    const double ax = RotateX * std::numbers::pi / 180, ay = RotateY * std::numbers::pi / 180;
    const auto turn = [&](double x, double y, double z) {
        const double x1 = x * std::cos(ay) + z * std::sin(ay),
                     z1 = -x * std::sin(ay) + z * std::cos(ay);
        return std::array<double, 3>{x1, y * std::cos(ax) - z1 * std::sin(ax),
                                     y * std::sin(ax) + z1 * std::cos(ax)};
    };
    const double cx = (box[0] + box[3]) / 2.0, cy = (box[1] + box[4]) / 2.0,
                 cz = (box[2] + box[5]) / 2.0;
    // The distance from the eye to the centre at which each turned corner is
    // inside the field of view and before the near plane.
    const double ty = std::tan(kFieldOfViewDegrees * std::numbers::pi / 360);
    const double tx = ty * width_ / height_;
    double distance = 0, closest = 0, deepest = 0;
    for (int corner = 0; corner < 8; ++corner) {
        const std::array<double, 3> q =
            turn((corner & 1 ? box[3] : box[0]) - cx, (corner & 2 ? box[4] : box[1]) - cy,
                 (corner & 4 ? box[5] : box[2]) - cz);
        distance = std::max({distance, q[2] + kFitMargin * std::abs(q[0]) / tx,
                             q[2] + kFitMargin * std::abs(q[1]) / ty});
        closest = std::max(closest, q[2]);
        deepest = std::min(deepest, q[2]);
    }
    // A box too large to fit keeps its far side before the far plane (and is
    // cropped), and every box its near side beyond the near plane.
    distance =
        std::max(std::min(distance, kFarPlane * kFarFraction + deepest), closest + 2 * kNearPlane);
    const std::array<double, 3> centre = turn(cx, cy, cz);
    PanX = static_cast<float>(-centre[0]);
    PanY = static_cast<float>(-centre[1]);
    Zoom = static_cast<float>(-distance - centre[2]);
}

bool SceneView::FitDocument() {
    if (DocumentKind == FileKind::ModelFile && Scene) {
        const float* b = Scene->Model().Header().BoundingBox;
        FitCamera({b[0], b[1], b[2], b[3], b[4], b[5]});
        return true;
    }
    if (DocumentKind != FileKind::PointDump || !Points)
        return false;
    std::array<float, 6> box{};
    bool any = false;
    const uint64_t count = PointCount(Points->Words.size());
    for (uint64_t p = 0; p < count; ++p) {
        const float* xyz = &Points->Words[kFirstPointWord + 3 * p];
        if (!std::isfinite(xyz[0]) || !std::isfinite(xyz[1]) || !std::isfinite(xyz[2]))
            continue;
        for (size_t k = 0; k < 3; ++k) {
            box[k] = any ? std::min(box[k], xyz[k]) : xyz[k];
            box[k + 3] = any ? std::max(box[k + 3], xyz[k]) : xyz[k];
        }
        any = true;
    }
    if (any)
        FitCamera(box);
    return any;
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

std::string SceneView::OpenDocument(const std::string& path, bool withContext) {
    if (path.empty())
        return {};
    // The old document goes first, so a file that cannot be shown still closes it.
    CloseDocuments();
    try {
        Document document = LoadDocument(path);
        const std::string tooLarge = document.TooLarge ? document.Error : "";
        OpenDocument(std::move(document), withContext);
        return tooLarge;
    } catch (const std::bad_alloc&) {
        // The images of a model, say, once decoded and scaled.
        OpenDocument(Document(), withContext);
        return "too large to hold in memory";
    }
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
