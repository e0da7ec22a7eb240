#pragma once
// The main-window class with its toolbar and status bar, and the two bar controls.

#include "framework/WinCore.h"  // windows.h before commctrl.h

#include <commctrl.h>

#include <vector>

namespace Windows {

class CToolBar : public CWin {
  public:
    HWND Create(HWND parent = nullptr) override;

    virtual void EnableButton(int id);
    virtual void DisableButton(int id);
    // Replaces every button by the rows of table: count pairs of (style, command id).
    // Images come from bitmap IDR_MAINFRAME, one per non-separator row, in row order.
    virtual void SetButtons(int count, const BYTE* table);
    virtual void CheckButton(int id);

  private:
    struct Button {
        BYTE bStyle;
        BYTE bState;
        UINT uID;
    };
    void SetStoredState(int id, BYTE state);

    std::vector<Button> m_Buttons;
};

class CStatusBar : public CWin {
  public:
    HWND Create(HWND parent = nullptr) override;
    // The text in the first part, the Caps Lock, Num Lock and Scroll Lock states in the
    // other three.
    virtual void SetText(LPCSTR text);
};

class CFrame : public CWin {
  public:
    CFrame();
    ~CFrame() override;

    HWND CreateEx(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, const RECT& rect,
                  HWND parent, HMENU menu) override;
    HWND CreateEx(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menu) override;
    HWND Create(HWND parent = nullptr) override;
    void OnCreate() override;
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual void Tick() {}
    // The client area between the visible bars; all zero when nothing is left.
    virtual void GetViewRect(RECT& rect);
    virtual void SetButtons();
    virtual void UpdateLayout();
    virtual void SetView(CWin* view) { m_pView = view; }

    // Hooks for the frame commands 105 to 115 (in this order); they do nothing here.
    virtual void OnCommand113() {}
    virtual void OnCommand114() {}
    virtual void OnCommand115() {}
    virtual void OnCommand106() {}
    virtual void OnCommand112() {}
    virtual void OnCommand111() {}
    virtual void OnCommand107() {}
    virtual void OnCommand108() {}
    virtual void OnCommand109() {}
    virtual void OnCommand110() {}
    virtual void OnCommand105() {}

    virtual void OnSetFocus();
    virtual void SetTitle() {}
    virtual void OnMenuSelect(UINT id, HMENU menu);
    virtual void OnKeyDown();
    virtual void ToggleStatusBar();
    virtual void ToggleToolBar();

    CToolBar& GetToolBar() { return m_ToolBar; }
    CStatusBar& GetStatusBar() { return m_StatusBar; }

  protected:
    // Copies count rows of (style, command id) for the toolbar that OnCreate makes.
    void SetButtonTable(const BYTE* table, int count);

    CToolBar m_ToolBar;
    CStatusBar m_StatusBar;
    CWin* m_pView;
    std::vector<BYTE> m_bTbarData;  // rows of (style, command id)

  private:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnCommand(UINT id);
    void PostClose();
    void ShowAbout();
    void OnNotify(const NMHDR& header, LPARAM lParam);
    void ToggleBar(CWin& bar, UINT menuItem);

    // Handed to the tooltip: it reads the text after the notification has returned.
    char m_szTipText[256];
};

}  // namespace Windows
