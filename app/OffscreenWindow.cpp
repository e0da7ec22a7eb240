#include "app/OffscreenWindow.h"

#include <GL/gl.h>

#include <algorithm>

#include "render/HiddenWindow.h"

bool OffscreenWindow::Needed() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

OffscreenWindow::~OffscreenWindow() {
    Release();
}

HDC OffscreenWindow::Create() {
    Release();
    // As large as the screen to begin with: the view rarely outgrows it.
    m_iWidth = std::max(GetSystemMetrics(SM_CXVIRTUALSCREEN), 1);
    m_iHeight = std::max(GetSystemMetrics(SM_CYVIRTUALSCREEN), 1);
    m_hWnd = CreateHiddenWindow(m_iWidth, m_iHeight);
    if (m_hWnd)
        m_hDC = GetDC(m_hWnd);
    return m_hDC;
}

void OffscreenWindow::Reserve(int width, int height) {
    if (!m_hWnd || (width <= m_iWidth && height <= m_iHeight))
        return;
    m_iWidth = std::max(width, m_iWidth);
    m_iHeight = std::max(height, m_iHeight);
    SetWindowPos(m_hWnd, nullptr, 0, 0, m_iWidth, m_iHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OffscreenWindow::CopyTo(HDC target, int width, int height) {
    if (width <= 0 || height <= 0)
        return;
    m_Pixels.resize(static_cast<size_t>(width) * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_BGRA_EXT, GL_UNSIGNED_BYTE, m_Pixels.data());

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom row first, as GL reads them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(target, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), m_Pixels.data(), &info, DIB_RGB_COLORS);
}

void OffscreenWindow::Release() {
    if (m_hDC)
        ReleaseDC(m_hWnd, m_hDC);
    if (m_hWnd)
        DestroyWindow(m_hWnd);
    m_hDC = nullptr;
    m_hWnd = nullptr;
}
