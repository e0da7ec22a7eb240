#pragma once
// The OpenGL view window: its class, pixel format and rendering context, the
// frame timer, and the Open and Data View commands. What it shows and how keys
// and commands change that is the SceneView it owns; the window only forwards.

#include <memory>
#include <string>
#include <vector>

#include "app/OffscreenWindow.h"
#include "framework/WinCore.h"
#include "model/Utf8Path.h"
#include "render/SceneView.h"

// Sent by the view to its frame: check toolbar button wParam (lParam 1).
inline constexpr UINT WM_CHECKBUTTON = WM_USER + 2;

class ModelView : public Windows::CWin {
  public:
    // Starts FrameTimer; the window comes with Create.
    ModelView();
    // Deletes the document with the context current, stops the timer and
    // destroys the window while this is still a ModelView.
    ~ModelView() override;

    // The window with its pixel format and rendering context, a first projection
    // for 640 x 480 and the initial GL state. None, after a box, on failure.
    HWND Create(HWND parent = nullptr) override;
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // One frame: draw, swap, then apply the held keys.
    virtual void Render();

    void Resize(int width, int height);
    bool InitGL();
    // Releases the rendering and device contexts; a box for each step that fails.
    void ReleaseGL();

    // What Open does once it has a path (an empty one changes no document):
    // also for a file dropped on the frame or named on the command line.
    void OpenFile(const std::string& path);

    // Whether File > Export as glTF and Save Picture have something to write
    // (a model or a point dump is open), and Export Textures (a model with its
    // archive).
    bool CanExport() const;
    bool CanExportTextures() const;
    // What those commands do once a path is chosen: write what `kestrel export`
    // writes for the open file, the view as the window shows it, or what
    // `kestrel textures` writes. A failure is told in one box and leaves
    // nothing half-written.
    bool ExportGltf(const std::string& path);
    bool SavePicture(const std::string& path);
    bool ExportTextures(const std::string& folder);

    SceneView& View() { return m_View; }
    HGLRC GetRenderingContext() const { return m_hRC; }

    static void CALLBACK TimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);

  private:
    bool CreateContext();
    // This view's rendering context exists and is the current one.
    bool HasContext() const;
    void Open();
    void ExportGltfAs();
    void SavePictureAs();
    void ExportTexturesAs();
    void ShowDataView();
    void ShowError(const std::string& text) const;
    // The open file, its name without folder and extension (to suggest names
    // from), and its folder.
    std::string OpenPath() const;
    std::string OpenName() const;
    std::string OpenFolder() const;

    HGLRC m_hRC = nullptr;
    HDC m_hDC = nullptr;
    SceneView m_View;
    UINT_PTR m_FrameTimer = 0;
    // Under Wine only: where the context draws, and the size of the picture
    // copied from it into the view.
    std::unique_ptr<OffscreenWindow> m_pOffscreen;
    int m_iWidth = 0;
    int m_iHeight = 0;
    int m_iWheel = 0;  // wheel motion short of a whole notch
};

// The system's open-file dialog over `owner`: the chosen path in UTF-8, or empty
// when the user cancels.
std::string OpenFileDialog(HWND owner);
// The system's save dialog: `filter` as the dialog takes it, whose first
// type is the default; the path ends in the extension of the type chosen
// (`extensions`, one per type, with the dot) when the name typed has none.
// Empty when the user cancels.
std::string SaveFileDialog(HWND owner, const wchar_t* filter,
                           const std::vector<std::string>& extensions,
                           const std::string& suggested);
// The system's folder chooser, open at `start`; empty when the user cancels.
std::string FolderDialog(HWND owner, const wchar_t* title, const std::string& start);
