#pragma once
// What the model view shows and how it reacts, apart from its window: the open
// document, the control mode, the display toggles, the camera, the held keys,
// the frame drawing and the view's commands. The viewer's window forwards its
// keys, commands, sizes and timer ticks here; `kestrel render` draws with it.
// Every GL call needs the view's context current.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "document/Document.h"
#include "model/FileKind.h"
#include "render/ModelScene.h"
#include "render/PointDump.h"

// The keys the view reads: the arrows move the camera as the control mode
// says, Shift makes every step larger, Home puts the camera back. Each window
// maps its own key codes to these.
enum class ViewKey : uint8_t { Shift, Left, Up, Right, Down, Home };
inline constexpr size_t kViewKeyCount = static_cast<size_t>(ViewKey::Home) + 1;  // Home last

// The commands that change the view; the menu's other commands leave it as it is.
enum class ViewCommand {
    ControlPan,
    ControlRotate,
    ControlZoom,
    ShowAxes,
    ToggleTextures,
    ShowBoundingBox,
};

// The mouse buttons a drag is made with.
enum class MouseButton { Left, Right, Middle };

// What the arrow keys change (ControlMode).
inline constexpr int32_t kControlPan = 0;
inline constexpr int32_t kControlRotate = 1;
inline constexpr int32_t kControlZoom = 2;

// Ticks of the viewer's frame timer a second (one every 20 ms), each a key step.
inline constexpr double kKeyStepsPerSecond = 50;
inline constexpr float kMaxKeySteps = 25;

class SceneView {
  public:
    SceneView() { ResetCamera(); }
    // Deletes the open document (the GL context must be current for a model).
    ~SceneView() { CloseDocuments(); }
    SceneView(const SceneView&) = delete;
    SceneView& operator=(const SceneView&) = delete;

    // The initial GL state. Always true.
    bool InitGL();
    // Viewport and projection for a client area of that size.
    void Resize(int width, int height);

    // One tick of the frame timer: draw (when the window can), `show` the
    // picture, then apply the held keys, so a move shows in the next frame.
    // A window that draws at its own pace passes the key steps its frame took.
    void Frame(bool draw, const std::function<void()>& show, float keySteps = 1);
    // One picture: clear, camera, the document, the overlays. The caller swaps.
    void DrawScene();
    void ApplyCamera() const;
    // Applies the held arrow keys to the camera, once per frame: `steps` key
    // steps, one a tick of the viewer's timer.
    void ProcessKeys(float steps = 1);
    // The key steps a frame that took `seconds` stands for: as many as the
    // viewer's timer ticks in that time, at most kMaxKeySteps, so a frame that
    // stalled does not throw the model off the screen.
    static float KeyStepsFor(double seconds);
    void DrawAxes() const;
    void ResetCamera();
    // Keeps the camera's turn and moves it so that the box (x, y, z of one
    // corner, then of the opposite one) fills the picture: its centre on the
    // view axis, every corner inside the field of view and the box before the
    // far plane when it can be. A box that is not finite changes nothing.
    void FitCamera(const std::array<float, 6>& box);
    // FitCamera on the open model's bounding box, or on the extent of the
    // point dump's points. False when there is nothing to fit.
    bool FitDocument();

    // A key went down or up. Home puts the camera back where it starts.
    void KeyDown(ViewKey key);
    void KeyUp(ViewKey key) { keyState_[Index(key)] = 0; }
    bool Held(ViewKey key) const { return keyState_[Index(key)] != 0; }
    // Forgets every held key: the window lost the keyboard, and with it the
    // key-up messages of keys let go elsewhere.
    void ReleaseKeys() { keyState_.fill(0); }
    // The mouse, in window pixels from the top left, in every control mode: a
    // drag with the left button turns the model as the arrow keys do in Rotate
    // mode, a drag with the right or middle button moves it so that the point
    // under the cursor at the model's depth follows the cursor, and each notch
    // of the wheel forward (negative: back) brings it closer by one step of the
    // Zoom keys. Shift multiplies turning and the wheel as it does for the keys.
    void MouseDown(MouseButton button, int x, int y);
    void MouseMove(int x, int y, bool shift);
    // The drag ends (the button went up, or the window lost the mouse).
    void MouseUp();
    void MouseWheel(int notches, bool shift);

    void Command(ViewCommand command);

    // The Open command once a path is chosen: closes the open document, then
    // opens `path` by its kind. An empty path (a cancelled dialog) changes nothing.
    // Without a GL context a model's textures are not uploaded. A file that
    // asks for more memory than this machine has leaves nothing open: the
    // result then says so, for the window to tell; it is empty otherwise.
    std::string OpenDocument(const std::string& path, bool withContext = true);
    // The same with a document already read.
    void OpenDocument(Document&& document, bool withContext = true);
    void CloseDocuments();

    std::unique_ptr<ModelScene> Scene;
    std::unique_ptr<PointDump> Points;
    // The kind of the open document: a model scene, a point dump, or
    // Unreadable for none.
    FileKind DocumentKind = FileKind::Unreadable;
    int32_t ControlMode = kControlPan;
    int32_t ShowAxes = 1;
    int32_t ShowTextures = 1;
    int32_t ShowBoundingBox = 0;
    float PanX = 0;
    float PanY = 0;
    float Zoom = 0;
    float RotateX = 0;
    float RotateY = 0;

  private:
    static constexpr size_t Index(ViewKey key) { return static_cast<size_t>(key); }

    std::array<uint8_t, kViewKeyCount> keyState_{};  // 1 while held
    int width_ = 1, height_ = 1;                     // the client area, for the mouse
    std::optional<MouseButton> dragging_;
    int lastX_ = 0, lastY_ = 0;
};
