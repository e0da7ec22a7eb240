#include "app/MainFrame.h"

// After windows.h, which the viewer's headers bring.
#include <shellapi.h>

#include <string>

#include "app/resource.h"

namespace {

// The toolbar, one row a button: (style, command id); a separator is (1, 0).
// clang-format off
const BYTE bTbarData[] = {
    TBSTYLE_BUTTON,     IDM_OPEN,
    TBSTYLE_SEP,        0,
    TBSTYLE_CHECKGROUP, IDM_CONTROL_PAN,
    TBSTYLE_CHECKGROUP, IDM_CONTROL_ROTATE,
    TBSTYLE_CHECKGROUP, IDM_CONTROL_ZOOM,
    TBSTYLE_SEP,        0,
    TBSTYLE_CHECK,      IDM_AXES,
    TBSTYLE_CHECK,      IDM_TEXT,
    TBSTYLE_CHECK,      IDM_LIGHTING,
    TBSTYLE_CHECK,      IDM_COLOR,
    TBSTYLE_CHECK,      IDM_TEXTURES,
    TBSTYLE_CHECK,      IDM_CULL,
    TBSTYLE_CHECK,      IDM_BOUNDING_BOX,
    TBSTYLE_SEP,        0,
    TBSTYLE_BUTTON,     IDM_ANIMATION_START,
    TBSTYLE_BUTTON,     IDM_ANIMATION_STOP,
    TBSTYLE_BUTTON,     IDM_ANIMATION_FIRST,
    TBSTYLE_BUTTON,     IDM_ANIMATION_PREVIOUS,
    TBSTYLE_BUTTON,     IDM_ANIMATION_NEXT,
    TBSTYLE_BUTTON,     IDM_ANIMATION_LAST,
    TBSTYLE_SEP,        0,
    TBSTYLE_BUTTON,     IDM_DATAVIEW,
};
// clang-format on

// The commands that the view carries out. Points, Wireframe and Fill are not
// among them: nothing handles those.
bool IsViewCommand(UINT id) {
    switch (id) {
        case IDM_OPEN:
        case IDM_CONTROL_PAN:
        case IDM_CONTROL_ROTATE:
        case IDM_CONTROL_ZOOM:
        case IDM_AXES:
        case IDM_TEXT:
        case IDM_LIGHTING:
        case IDM_COLOR:
        case IDM_TEXTURES:
        case IDM_CULL:
        case IDM_ANIMATION_START:
        case IDM_ANIMATION_STOP:
        case IDM_ANIMATION_PREVIOUS:
        case IDM_ANIMATION_NEXT:
        case IDM_BOUNDING_BOX:
        case IDM_DATAVIEW:
        case IDM_ANIMATION_FIRST:
        case IDM_ANIMATION_LAST:
        case IDM_EXPORT_GLTF:
        case IDM_SAVE_PICTURE:
        case IDM_EXPORT_TEXTURES:
            return true;
    }
    return false;
}

}  // namespace

MainFrame::MainFrame() {
    SetView(&m_View);
}

void MainFrame::SetButtons() {
    SetButtonTable(bTbarData, static_cast<int>(sizeof bTbarData / 2));
}

void MainFrame::SetTitle() {
    SetWindowTextA(m_hWnd, "Kestrel Viewer 2.0");
}

void MainFrame::Tick() {
    m_View.Render();
}

LRESULT MainFrame::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS:
            // Keys go to the view, which moves the camera with them.
            if (HWND view = m_View.GetHwnd())
                SetFocus(view);
            return 0;
        case WM_INITMENUPOPUP: {
            // What the File menu writes needs something open to write.
            const auto menu = reinterpret_cast<HMENU>(wParam);
            const auto enable = [menu](UINT id, bool can) {
                EnableMenuItem(menu, id, MF_BYCOMMAND | (can ? MF_ENABLED : MF_GRAYED));
            };
            enable(IDM_EXPORT_GLTF, m_View.CanExport());
            enable(IDM_SAVE_PICTURE, m_View.CanExport());
            enable(IDM_EXPORT_TEXTURES, m_View.CanExportTextures());
            break;
        }
        case WM_CHECKBUTTON:
            GetToolBar().CheckButton(static_cast<int>(wParam));
            return 0;
        case WM_DROPFILES: {
            // Files dropped from Explorer: the first opens as File > Open would.
            auto drop = reinterpret_cast<HDROP>(wParam);
            std::wstring path(DragQueryFileW(drop, 0, nullptr, 0) + 1, L'\0');
            DragQueryFileW(drop, 0, path.data(), static_cast<UINT>(path.size()));
            DragFinish(drop);
            m_View.OpenFile(Utf8FromWide(path.c_str()));
            return 0;
        }
        case WM_COMMAND:
            if (IsViewCommand(LOWORD(wParam))) {
                SendMessageA(m_View.GetHwnd(), WM_COMMAND, wParam, lParam);
                return 0;
            }
            break;
    }
    return CFrame::WndProc(window, message, wParam, lParam);
}
