#pragma once
// The window framework's core: the application object, the window base that ties a
// window object to its window handle, the window-class wrapper, and the framework's
// exception with its error box. ANSI throughout: every API is called by its A name.

#include <windows.h>

// windows.h maps LoadString to LoadStringA or LoadStringW. The framework has its own
// LoadString, so the macro goes: a stray use of the API name then fails to compile
// instead of silently renaming one side of the framework's function.
#ifdef LoadString
#undef LoadString
#endif

#include <string>

namespace Windows {

// Every message box of the framework goes through here. By default it is MessageBoxA;
// SetMessageBoxFunction swaps it (nullptr restores the default) and returns the old one.
using MessageBoxFunction = int (*)(HWND owner, LPCSTR text, LPCSTR caption, UINT flags);
int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT flags);
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function);

// Thrown by value, caught by reference, always inside the operation that threw it.
class CWinException {
  public:
    explicit CWinException(LPCSTR text) noexcept;
    DWORD GetCode() const noexcept { return m_dwError; }
    LPCSTR GetText() const noexcept { return m_szMessage; }
    // The text and the GetLastError value in a box captioned "Exception".
    void ShowErrorBox() const;

  private:
    DWORD m_dwError;
    LPCSTR m_szMessage;
};

// The one application object of the process.
class CApp {
  public:
    explicit CApp(HINSTANCE instance);
    virtual ~CApp();
    CApp(const CApp&) = delete;
    CApp& operator=(const CApp&) = delete;

    // Runs until WM_QUIT and returns its wParam; -1 when GetMessage fails.
    virtual int MessageLoop();

    HINSTANCE GetInstanceHandle() const { return m_hInstance; }
    static DWORD GetTlsIndex() { return s_dwTlsIndex; }
    static CApp* GetApp() { return s_pApp; }

  private:
    HINSTANCE m_hInstance;
    BOOL m_bInitialised;

    static CApp* s_pApp;
    static DWORD s_dwTlsIndex;
};

// A string of the application's string table (at most 255 characters); empty, after
// an error box, when there is no application object or no such string.
std::string LoadString(UINT id);
// The same without a box: false when there is no application object or no such
// string, which is ordinary for a menu item that is not a command of ours.
bool FindString(UINT id, std::string& text);

class CWin;

// Carries the object being created from CreateEx to the creation hook, through the
// thread-local slot.
struct CBTData {
    CWin* pWnd;
    HHOOK hCBTHook;
};

class CWin {
  public:
    CWin();
    virtual ~CWin();
    CWin(const CWin&) = delete;
    CWin& operator=(const CWin&) = delete;

    virtual HWND CreateEx(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style,
                          const RECT& rect, HWND parent, HMENU menu);
    virtual HWND CreateEx(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                          int width, int height, HWND parent, HMENU menu);
    virtual HWND Create(HWND parent = nullptr);
    virtual void Show(int command);
    virtual CWin* Self() { return this; }
    virtual BOOL Move(int x, int y, int width, int height, BOOL repaint);
    virtual void OnCreate() {}
    virtual void OnPaint(HDC) {}
    virtual void SetIconLarge(int id);
    virtual void SetIconSmall(int id);
    virtual void SetCBTHook(CBTData* hook);
    virtual LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);
    static LRESULT CALLBACK StaticCBTProc(int code, WPARAM wParam, LPARAM lParam);

    HWND GetHwnd() const { return m_hWnd; }
    // Destroys the window, if any, while the whole object still receives its messages.
    void Destroy();

  protected:
    HWND m_hWnd;
    HWND m_hWndParent;

  private:
    void SetIcon(int id, int widthMetric, int heightMetric, WPARAM which);
};

class CWndClass {
  public:
    explicit CWndClass(LPCSTR className);
    CWndClass(const CWndClass& other);
    CWndClass& operator=(const CWndClass&) = delete;
    virtual ~CWndClass() = default;

    // Succeeds at once when the class is registered for the record's instance already.
    virtual BOOL Register();
    virtual void GetWndClass(WNDCLASSEXA& wndClass) const;
    // Takes the record, its class name into the own buffer, and StaticWindowProc back.
    virtual void SetWndClass(const WNDCLASSEXA& wndClass);

  private:
    void SetClassName(LPCSTR name);

    WNDCLASSEXA m_WndClass;
    char m_szClassName[256];
};

}  // namespace Windows
