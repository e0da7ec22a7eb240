#include "framework/Frame.h"

// After windows.h, which Frame.h brings.
#include <richedit.h>

#include <algorithm>
#include <cstdio>

#include "framework/Dialog.h"
#include "framework/FrameworkIds.h"
#include "framework/Internal.h"

namespace Windows {

namespace {

// The bar's own visibility, whether or not the frame is shown yet.
bool IsShown(const CWin& bar) {
    HWND window = bar.GetHwnd();
    return window && (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE);
}

int WindowHeight(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.bottom - rect.top;
}

// The frame's creation and its menu tips report a failure of unknown kind under the
// creation hook's name.
constexpr char kFrameOperation[] = "CWin::StaticCBTProc";

// (style, command id); a separator is (1, 0).
// clang-format off
const BYTE bTbarData[] = {
    0, 107,  0, 108,  0, 110,  1, 0,
    0, 113,  0, 114,  0, 115,  1, 0,
    0, 109,  1, 0,
    0, IDM_ABOUT,
};
// clang-format on

}  // namespace

// ---- CToolBar ----

HWND CToolBar::Create(HWND parent) {
    detail::Guarded("Error creating toolbar", [&] {
        if (!CreateEx(
                0, TOOLBARCLASSNAMEA, "",
                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP,
                0, 0, 0, 0, parent, nullptr))
            throw CWinException("Failed to Create Tool Bar");
    });
    return m_hWnd;
}

void CToolBar::SetStoredState(int id, BYTE state) {
    for (Button& button : m_Buttons)
        if (button.uID == static_cast<UINT>(id))
            button.bState = state;
}

void CToolBar::EnableButton(int id) {
    SendMessageA(m_hWnd, TB_ENABLEBUTTON, id, TRUE);
    SetStoredState(id, TBSTATE_ENABLED);
}

void CToolBar::DisableButton(int id) {
    SendMessageA(m_hWnd, TB_ENABLEBUTTON, id, FALSE);
    SetStoredState(id, 0);  // not enabled
}

void CToolBar::CheckButton(int id) {
    SendMessageA(m_hWnd, TB_CHECKBUTTON, id, TRUE);
}

void CToolBar::SetButtons(int count, const BYTE* table) {
    detail::Guarded("Unknown error while setting toolbar buttons", [&] {
        if (count < 0 || !table)
            count = 0;
        m_Buttons.clear();
        for (int row = 0; row < count; ++row)
            m_Buttons.push_back({table[2 * row], TBSTATE_ENABLED, table[2 * row + 1]});
        if (!m_hWnd)
            return;

        SendMessageA(m_hWnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
        while (SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0) >= 1)
            if (!SendMessageA(m_hWnd, TB_DELETEBUTTON, 0, 0))
                break;
        if (count == 0)
            return;

        TBADDBITMAP bitmap{detail::AppInstance(), IDR_MAINFRAME};
        if (SendMessageA(m_hWnd, TB_ADDBITMAP, count, reinterpret_cast<LPARAM>(&bitmap)) == -1)
            throw CWinException("CToolBar::SetButtons  .. TB_ADDBITMAP failed ");

        std::vector<TBBUTTON> buttons(count);
        int image = 0;
        for (int row = 0; row < count; ++row) {
            const Button& from = m_Buttons[row];
            TBBUTTON& to = buttons[row];
            if (from.bStyle == TBSTYLE_SEP) {
                to.fsStyle = TBSTYLE_SEP;
                continue;
            }
            to.iBitmap = image++;
            to.idCommand = static_cast<int>(from.uID);
            to.fsState = from.bState;
            to.fsStyle = from.bStyle;
        }
        if (!SendMessageA(m_hWnd, TB_ADDBUTTONSA, count, reinterpret_cast<LPARAM>(buttons.data())))
            throw CWinException("CToolBar::SetButtons  .. TB_ADDBUTTONS failed ");
    });
}

// ---- CStatusBar ----

HWND CStatusBar::Create(HWND parent) {
    detail::Guarded("Unknown error while creating status bar", [&] {
        if (!CreateEx(0, STATUSCLASSNAMEA, "",
                      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBARS_SIZEGRIP | CCS_BOTTOM, 0, 0,
                      0, 0, parent, nullptr))
            throw CWinException("Failed to Create Status Bar");
        SetText("Ready");
    });
    return m_hWnd;
}

void CStatusBar::SetText(LPCSTR text) {
    detail::Guarded("Unknown error setting status bar text", [&] {
        if (!m_hWnd || !IsWindow(m_hWnd))
            return;
        RECT client{};
        GetClientRect(m_hWndParent, &client);
        const int width = std::max(static_cast<int>(client.right - client.left), 300);
        int iStatusWidths[] = {width - 110, width - 80, width - 50, width - 20};
        if (!SendMessageA(m_hWnd, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(iStatusWidths)))
            throw CWinException("CStatusBar::SetText failed");

        auto setPart = [this](WPARAM part, LPCSTR partText) {
            SendMessageA(m_hWnd, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(partText));
        };
        setPart(0 | SBT_NOBORDERS, text ? text : "");
        // The tab centres the indicator in its part.
        setPart(1, (GetKeyState(VK_CAPITAL) & 1) ? "\tCAP" : "");
        setPart(2, (GetKeyState(VK_NUMLOCK) & 1) ? "\tNUM" : "");
        setPart(3, (GetKeyState(VK_SCROLL) & 1) ? "\tSCRL" : "");
    });
}

// ---- CFrame ----

CFrame::CFrame() : m_pView(nullptr), m_szTipText{} {
    InitCommonControls();
    CFrame::SetButtons();
}

CFrame::~CFrame() {
    // The bars go while the frame is whole: their windows still talk to it on the way.
    m_bTbarData.clear();
    m_StatusBar.Destroy();
    m_ToolBar.Destroy();
}

void CFrame::SetButtonTable(const BYTE* table, int count) {
    count = table ? std::max(count, 0) : 0;
    m_bTbarData.assign(table, table + 2 * count);
}

void CFrame::SetButtons() {
    SetButtonTable(bTbarData, static_cast<int>(sizeof bTbarData / 2));
}

HWND CFrame::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, const RECT& rect,
                      HWND parent, HMENU menu) {
    return CreateEx(exStyle, className, title, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, menu);
}

HWND CFrame::CreateEx(DWORD exStyle, LPCSTR, LPCSTR title, DWORD style, int x, int y, int width,
                      int height, HWND parent, HMENU menu) {
    detail::GuardedOperation(kFrameOperation, [&] {
        if (!CApp::GetApp())
            throw CWinException("CFrame::CreateEx ... Unable to create window");
        if (!m_pView)
            throw CWinException(
                "CFrame::CreateEx ... m_pView is NULL\n\nUse SetView to set the View Window");
        if (m_hWnd && IsWindow(m_hWnd))
            return;
        CWndClass frameClass("FrameClass");
        if (!frameClass.Register())
            throw CWinException("CFrame::CreateEx ... Unable to create frame window");
        if (!CWin::CreateEx(exStyle, "FrameClass", title, style, x, y, width, height, parent, menu))
            return;
        SetIconLarge(IDR_MAINFRAME);
        SetIconSmall(IDR_MAINFRAME);
        std::string caption = LoadString(IDR_MAINFRAME);
        if (!caption.empty())
            SetWindowTextA(m_hWnd, caption.c_str());
        SetTitle();
    });
    return m_hWnd;
}

HWND CFrame::Create(HWND parent) {
    detail::GuardedOperation(kFrameOperation, [&] {
        // A second Create would load a menu for nothing and make the view twice.
        if (m_hWnd && IsWindow(m_hWnd))
            return;
        HMENU menu = LoadMenuA(detail::AppInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME));
        if (!CreateEx(0, "", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, parent, menu)) {
            if (menu)
                DestroyMenu(menu);
            return;
        }
        m_pView->Create(m_hWnd);
        UpdateLayout();
    });
    return m_hWnd;
}

void CFrame::OnCreate() {
    m_StatusBar.Create(m_hWnd);
    m_ToolBar.Create(m_hWnd);
    SetButtons();
    m_ToolBar.SetButtons(static_cast<int>(m_bTbarData.size() / 2), m_bTbarData.data());
}

void CFrame::GetViewRect(RECT& rect) {
    RECT client{};
    GetClientRect(m_hWnd, &client);
    const int toolBarHeight = IsShown(m_ToolBar) ? WindowHeight(m_ToolBar.GetHwnd()) : 0;
    const int statusBarHeight = IsShown(m_StatusBar) ? WindowHeight(m_StatusBar.GetHwnd()) : 0;

    rect.left = client.left;
    rect.right = client.right;
    rect.top = client.top + toolBarHeight;
    rect.bottom = client.bottom - client.top - statusBarHeight;
    if (rect.bottom <= rect.top || rect.right <= rect.left)
        rect = RECT{0, 0, 0, 0};
}

void CFrame::UpdateLayout() {
    if (HWND statusBar = m_StatusBar.GetHwnd())
        SendMessageA(statusBar, WM_SIZE, 0, 0);
    m_StatusBar.SetText("Ready");
    if (HWND toolBar = m_ToolBar.GetHwnd())
        SendMessageA(toolBar, TB_AUTOSIZE, 0, 0);

    if (!m_pView || !m_pView->GetHwnd())
        return;
    RECT view;
    GetViewRect(view);
    m_pView->Move(view.left, view.top, view.right - view.left, view.bottom - view.top, TRUE);
    InvalidateRect(m_pView->GetHwnd(), nullptr, TRUE);
}

void CFrame::OnSetFocus() {
    m_StatusBar.SetText("Ready");
}

void CFrame::OnKeyDown() {
    m_StatusBar.SetText("Ready");
}

void CFrame::OnMenuSelect(UINT id, HMENU menu) {
    detail::GuardedOperation(kFrameOperation, [&] {
        // An item without a string (the system menu's, say) is no command of
        // ours: it has no tip.
        std::string text;
        if (menu == GetMenu(m_hWnd) || id == 0 || !FindString(id, text))
            text = "Ready";
        m_StatusBar.SetText(text.c_str());
    });
}

void CFrame::ToggleStatusBar() {
    ToggleBar(m_StatusBar, IDM_STATUSBAR);
}

void CFrame::ToggleToolBar() {
    ToggleBar(m_ToolBar, IDM_TOOLBAR);
}

void CFrame::ToggleBar(CWin& bar, UINT menuItem) {
    HMENU menu = GetMenu(m_hWnd);
    if (IsShown(bar)) {
        CheckMenuItem(menu, menuItem, MF_BYCOMMAND | MF_UNCHECKED);
        ShowWindow(bar.GetHwnd(), SW_HIDE);
    } else {
        CheckMenuItem(menu, menuItem, MF_BYCOMMAND | MF_CHECKED);
        ShowWindow(bar.GetHwnd(), SW_SHOW);
    }
    UpdateLayout();
}

LRESULT CFrame::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    detail::Guarded("CFrame::WndProc ... Unknown Error",
                    [&] { handled = OnMessage(message, wParam, lParam); });
    return handled ? 0 : CWin::WndProc(window, message, wParam, lParam);
}

// True when the message is done with result 0; false sends it on to the default.
bool CFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            return true;
        case WM_SIZE:
            UpdateLayout();
            return true;
        case WM_SETFOCUS:
            OnSetFocus();
            return true;
        case WM_ERASEBKGND:
            return true;
        case WM_KEYDOWN:
            OnKeyDown();
            return true;
        case WM_MENUSELECT:
            // A submenu entry carries its position, not a command, and the
            // system menu's items are the system's: neither has a text of ours.
            if (HIWORD(wParam) != 0xFFFF && (HIWORD(wParam) & (MF_POPUP | MF_SYSMENU)))
                m_StatusBar.SetText("Ready");
            else
                OnMenuSelect(LOWORD(wParam), reinterpret_cast<HMENU>(lParam));
            return true;
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam));
        case WM_NOTIFY:
            if (lParam)
                OnNotify(*reinterpret_cast<const NMHDR*>(lParam), lParam);
            return false;
    }
    return false;
}

bool CFrame::OnCommand(UINT id) {
    // The frame's own commands and its hooks (which a derived frame fills in).
    static constexpr struct {
        UINT Id;
        void (CFrame::*Run)();
    } kCommands[] = {
        {IDM_EXIT, &CFrame::PostClose},
        {IDM_ABOUT, &CFrame::ShowAbout},
        {IDM_STATUSBAR, &CFrame::ToggleStatusBar},
        {105, &CFrame::OnCommand105},
        {106, &CFrame::OnCommand106},
        {107, &CFrame::OnCommand107},
        {108, &CFrame::OnCommand108},
        {109, &CFrame::OnCommand109},
        {110, &CFrame::OnCommand110},
        {111, &CFrame::OnCommand111},
        {112, &CFrame::OnCommand112},
        {113, &CFrame::OnCommand113},
        {114, &CFrame::OnCommand114},
        {115, &CFrame::OnCommand115},
        {IDM_TOOLBAR, &CFrame::ToggleToolBar},
    };
    for (const auto& command : kCommands) {
        if (command.Id == id) {
            (this->*command.Run)();
            return true;
        }
    }
    return false;
}

// Exit asks the frame to close, as the close box does.
void CFrame::PostClose() {
    PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
}

void CFrame::ShowAbout() {
    CDialog about(IDD_ABOUT, m_hWnd);
    about.DoModal();
}

void CFrame::OnNotify(const NMHDR& header, LPARAM lParam) {
    switch (header.code) {
        case TTN_NEEDTEXTA: {
            auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
            std::snprintf(m_szTipText, sizeof m_szTipText, "%s",
                          LoadString(static_cast<UINT>(header.idFrom)).c_str());
            info->hinst = nullptr;
            info->lpszText = m_szTipText;
            m_StatusBar.SetText(m_szTipText);
            break;
        }
        case TTN_POP:
            m_StatusBar.SetText("Ready");
            break;
        case TBN_HOTITEMCHANGE: {
            const auto* hot = reinterpret_cast<const NMTBHOTITEM*>(lParam);
            if (hot->dwFlags & HICF_LEAVING)
                m_StatusBar.SetText("Ready");
            else
                m_StatusBar.SetText(LoadString(static_cast<UINT>(hot->idNew)).c_str());
            break;
        }
        // Keyboard notifications of child controls: the lock keys may have changed.
        // A rich edit sends its key (and mouse) messages on as EN_MSGFILTER.
        case LVN_KEYDOWN:
        case TVN_KEYDOWN:
        case TCN_KEYDOWN:
        case EN_MSGFILTER:
            OnKeyDown();
            break;
    }
}

}  // namespace Windows
