// view: the viewer in a native window (GLFW on X11 or Wayland), drawn by the
// same view core as the Windows viewer at the same 20 ms tick, so the picture
// is the picture of the Windows viewer.

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "cli/Cli.h"
#include "cli/Commands.h"
#include "document/Document.h"
#include "export/Png.h"
#include "model/Utf8Path.h"
#include "render/SceneView.h"

namespace {

constexpr double kTickSeconds = 1 / kKeyStepsPerSecond;

// The view's own keys, besides the arrows, Shift and Home of the core.
struct Window {
    GLFWwindow* Handle = nullptr;
    SceneView View;
    std::string File;
    bool SaveFrame = false;
    double Scroll = 0;  // wheel motion short of a whole notch
    std::ostream* Err = nullptr;
};

Window& Of(GLFWwindow* handle) {
    return *static_cast<Window*>(glfwGetWindowUserPointer(handle));
}

void ShowTitle(Window& w) {
    const std::string title = w.File.empty() ? "Kestrel Viewer" : "Kestrel Viewer - " + w.File;
    glfwSetWindowTitle(w.Handle, title.c_str());
}

void Open(Window& w, const std::string& path) {
    if (const std::string tooLarge = w.View.OpenDocument(path); !tooLarge.empty())
        *w.Err << "kestrel view: cannot read " << path << ": " << tooLarge << "\n";
    w.File = path;
    ShowTitle(w);
}

void Open(Window& w, Document&& document) {
    w.File = document.Path;
    w.View.OpenDocument(std::move(document));
    ShowTitle(w);
}

// GLFW's keys as the core's, and the menu's commands on letters (there is no
// menu bar).
constexpr std::pair<int, ViewKey> kCoreKeys[] = {{GLFW_KEY_LEFT, ViewKey::Left},
                                                 {GLFW_KEY_RIGHT, ViewKey::Right},
                                                 {GLFW_KEY_UP, ViewKey::Up},
                                                 {GLFW_KEY_DOWN, ViewKey::Down},
                                                 {GLFW_KEY_LEFT_SHIFT, ViewKey::Shift},
                                                 {GLFW_KEY_RIGHT_SHIFT, ViewKey::Shift},
                                                 {GLFW_KEY_HOME, ViewKey::Home}};
constexpr std::pair<int, ViewCommand> kCommandKeys[] = {
    {GLFW_KEY_P, ViewCommand::ControlPan},     {GLFW_KEY_R, ViewCommand::ControlRotate},
    {GLFW_KEY_Z, ViewCommand::ControlZoom},    {GLFW_KEY_A, ViewCommand::ShowAxes},
    {GLFW_KEY_T, ViewCommand::ToggleTextures}, {GLFW_KEY_B, ViewCommand::ShowBoundingBox}};

// What `key` stands for in `table`; nothing when it is not there.
template <class T, size_t N>
std::optional<T> Lookup(const std::pair<int, T> (&table)[N], int key) {
    for (const auto& [glfw, value] : table)
        if (glfw == key)
            return value;
    return std::nullopt;
}

void OnKey(GLFWwindow* handle, int key, int, int action, int mods) {
    Window& w = Of(handle);
    if (const std::optional<ViewKey> core = Lookup(kCoreKeys, key)) {
        if (action == GLFW_PRESS)
            w.View.KeyDown(*core);
        else if (action == GLFW_RELEASE)
            w.View.KeyUp(*core);
        return;
    }
    if (action != GLFW_PRESS)
        return;
    if (const std::optional<ViewCommand> command = Lookup(kCommandKeys, key)) {
        w.View.Command(*command);
    } else if (key == GLFW_KEY_F) {
        w.View.FitDocument();
    } else if (key == GLFW_KEY_F12 || (key == GLFW_KEY_S && (mods & GLFW_MOD_CONTROL))) {
        w.SaveFrame = true;
    } else if (key == GLFW_KEY_Q || key == GLFW_KEY_ESCAPE) {
        glfwSetWindowShouldClose(handle, GLFW_TRUE);
    }
}

bool ShiftHeld(GLFWwindow* handle) {
    return glfwGetKey(handle, GLFW_KEY_LEFT_SHIFT) == GLFW_PRESS ||
           glfwGetKey(handle, GLFW_KEY_RIGHT_SHIFT) == GLFW_PRESS;
}

void OnButton(GLFWwindow* handle, int button, int action, int) {
    Window& w = Of(handle);
    if (action == GLFW_RELEASE) {
        w.View.MouseUp();
        return;
    }
    double x = 0, y = 0;
    glfwGetCursorPos(handle, &x, &y);
    const MouseButton pressed = button == GLFW_MOUSE_BUTTON_LEFT    ? MouseButton::Left
                                : button == GLFW_MOUSE_BUTTON_RIGHT ? MouseButton::Right
                                                                    : MouseButton::Middle;
    w.View.MouseDown(pressed, static_cast<int>(x), static_cast<int>(y));
}

void OnCursor(GLFWwindow* handle, double x, double y) {
    Of(handle).View.MouseMove(static_cast<int>(x), static_cast<int>(y), ShiftHeld(handle));
}

void OnScroll(GLFWwindow* handle, double, double y) {
    Window& w = Of(handle);
    w.Scroll += y;
    const int notches = static_cast<int>(w.Scroll);
    w.Scroll -= notches;
    w.View.MouseWheel(notches, ShiftHeld(handle));
}

void OnDrop(GLFWwindow* handle, int count, const char** paths) {
    if (count > 0)
        Open(Of(handle), paths[0]);
}

void OnResize(GLFWwindow* handle, int width, int height) {
    Of(handle).View.Resize(width, height);
}

// The first kestrel-view-NNN.png that does not exist in the working folder.
std::string FreePictureName() {
    for (int n = 1;; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "kestrel-view-%03d.png", n);
        std::error_code error;
        if (!std::filesystem::exists(name, error))
            return name;
    }
}

void Save(Window& w, int width, int height) {
    const std::string name = FreePictureName();
    std::string error;
    if (WritePng(name, ShownFrame(width, height), error))
        *w.Err << "kestrel view: saved the frame as " << name << "\n";
    else
        *w.Err << "kestrel view: " << error << "\n";
}

}  // namespace

int View(const Args& args, std::ostream&, std::ostream& err) {
    int width = 640, height = 480;
    if (args.Has("--size") && !ParseSize(args.Value("--size"), width, height)) {
        err << "kestrel view: --size wants WxH, each from 1 to " << kMaxPictureSide << "\n";
        return kExitUsage;
    }
    // The file is refused before any window is made.
    std::optional<Document> document;
    if (!args.Positional.empty()) {
        document = LoadDocument(args.Positional[0], ArchiveOptions(args));
        if (!Drawable(*document, "view", err))
            return kExitFile;
        TellArchiveProblem(*document, "view", err);
    }
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        err << "kestrel view: no display (neither DISPLAY nor WAYLAND_DISPLAY is set);\n"
               "draw a model without one with kestrel render\n";
        return kExitFile;
    }
    if (!glfwInit()) {
        err << "kestrel view: cannot reach the display\n";
        return kExitFile;
    }
    // The viewer's drawing is OpenGL 1.1, fixed function: any context that is
    // not a core profile does.
    Window w;
    w.Err = &err;
    w.Handle = glfwCreateWindow(width, height, "Kestrel Viewer", nullptr, nullptr);
    if (!w.Handle) {
        err << "kestrel view: cannot make an OpenGL window\n";
        glfwTerminate();
        return kExitFile;
    }
    glfwSetWindowUserPointer(w.Handle, &w);
    glfwMakeContextCurrent(w.Handle);
    glfwSwapInterval(0);
    glfwSetKeyCallback(w.Handle, OnKey);
    glfwSetMouseButtonCallback(w.Handle, OnButton);
    glfwSetCursorPosCallback(w.Handle, OnCursor);
    glfwSetScrollCallback(w.Handle, OnScroll);
    glfwSetDropCallback(w.Handle, OnDrop);
    glfwSetFramebufferSizeCallback(w.Handle, OnResize);

    // The steps of the Windows viewer: first projection and state, then the file.
    glfwGetFramebufferSize(w.Handle, &width, &height);
    w.View.Resize(width, height);
    w.View.InitGL();
    if (document)
        Open(w, std::move(*document));
    else
        ShowTitle(w);

    double next = glfwGetTime(), last = next;
    while (!glfwWindowShouldClose(w.Handle)) {
        glfwWaitEventsTimeout(std::max(0.0, next - glfwGetTime()));
        const double now = glfwGetTime();
        if (now < next)
            continue;
        // A frame that ran long is not made up for with a burst of others;
        // the keys move the camera by the time it took instead.
        next = std::max(next + kTickSeconds, now);
        const float keySteps = SceneView::KeyStepsFor(now - last);
        last = now;
        w.View.Frame(
            true,
            [&] {
                if (w.SaveFrame) {
                    glfwGetFramebufferSize(w.Handle, &width, &height);
                    Save(w, width, height);
                    w.SaveFrame = false;
                }
                glfwSwapBuffers(w.Handle);
            },
            keySteps);
    }
    w.View.CloseDocuments();  // texture objects go while the context is current
    glfwDestroyWindow(w.Handle);
    glfwTerminate();
    return kExitOk;
}
