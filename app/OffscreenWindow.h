#pragma once
// Wine 8 shows nothing that OpenGL draws into a child window: the device context
// of a child window with a pixel format has no X drawable there, so neither
// SwapBuffers nor GDI reaches the screen. Under Wine the view's context draws
// into this hidden top-level window instead, and each frame is copied into the
// view with GDI. On Windows the view draws into its own window as usual.

#include <windows.h>

#include <cstdint>
#include <vector>

class OffscreenWindow {
  public:
    // Whether the view needs one: the program runs under Wine.
    static bool Needed();

    OffscreenWindow() = default;
    ~OffscreenWindow();
    OffscreenWindow(const OffscreenWindow&) = delete;
    OffscreenWindow& operator=(const OffscreenWindow&) = delete;

    // The hidden window and its device context, for the pixel format and the
    // rendering context; none on failure.
    HDC Create();
    // Makes room for a picture of that size (the window only grows).
    void Reserve(int width, int height);
    // Copies the bottom-left width x height of the back buffer into `target`.
    void CopyTo(HDC target, int width, int height);
    void Release();

  private:
    HWND m_hWnd = nullptr;
    HDC m_hDC = nullptr;
    int m_iWidth = 0;
    int m_iHeight = 0;
    std::vector<uint32_t> m_Pixels;
};
