#include "render/SceneView.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "model/FileKind.h"

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
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 0.1f, 600.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void SceneView::Frame(bool draw, const std::function<void()>& show) {
    if (draw) {
        DrawScene();
        show();
    }
    ProcessKeys();
}

void SceneView::DrawScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    ApplyCamera();
    glColor3f(1, 1, 1);
    glEnable(GL_TEXTURE_2D);
    if (DocumentKind == 2 && Scene) {
        Scene->SetTexturesEnabled(ShowTextures);
        if (!Scene->Nodes().empty())
            Scene->DrawNode(static_cast<uint32_t>(Scene->Nodes().size() - 1));
        if (ShowBoundingBox)
            Scene->DrawBoundingBox();
    } else if (DocumentKind == 3 && Points) {
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

void SceneView::ProcessKeys() {
    const bool shift = KeyState[kKeyShift] != 0;
    const float s = shift ? 2.5f : 0.5f;
    const float r = shift ? 5.0f : 1.0f;
    const bool left = KeyState[kKeyLeft], right = KeyState[kKeyRight];
    const bool up = KeyState[kKeyUp], down = KeyState[kKeyDown];
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

bool SceneView::Command(int id) {
    auto toggle = [](int32_t& flag) { flag = flag ? 0 : 1; };
    switch (id) {
        case kCommandControlPan:
            ControlMode = kControlPan;
            return true;
        case kCommandControlRotate:
            ControlMode = kControlRotate;
            return true;
        case kCommandControlZoom:
            ControlMode = kControlZoom;
            return true;
        case kCommandShowAxes:
            toggle(ShowAxes);
            return true;
        case kCommandToggleTextures:
            toggle(ShowTextures);
            return true;
        case kCommandShowBoundingBox:
            toggle(ShowBoundingBox);
            return true;
        default:
            return false;
    }
}

void SceneView::OpenDocument(const std::string& path, bool withContext) {
    if (path.empty())
        return;
    // The old document goes first, so a file that cannot be shown still closes it.
    CloseDocuments();
    switch (IdentifyFile(path)) {
        case FileKind::Unreadable:
            DocumentKind = 0;
            break;
        case FileKind::ModelFile:
            Scene = std::make_unique<ModelScene>();
            Scene->Load(path, withContext);
            DocumentKind = 2;
            break;
        case FileKind::PointDump:
            Points = std::make_unique<PointDump>();
            Points->Load(path);
            DocumentKind = 3;
            break;
        case FileKind::TextureArchive:
            break;  // no document; the kind stays as it was
    }
}

void SceneView::CloseDocuments() {
    Scene.reset();
    Points.reset();
}
