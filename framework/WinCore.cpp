#include "framework/WinCore.h"

#include <cstdio>

#include "framework/Internal.h"

namespace Windows {

namespace {

MessageBoxFunction g_pMessageBox = nullptr;

constexpr char kDefaultClassName[] = "Default Class Name .. .";

}  // namespace

int ShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT flags) {
    if (g_pMessageBox)
        return g_pMessageBox(owner, text, caption, flags);
    return MessageBoxA(owner, text, caption, flags);
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function) {
    MessageBoxFunction previous = g_pMessageBox;
    g_pMessageBox = function;
    return previous;
}

// ---- CWinException ----

CWinException::CWinException(LPCSTR text) noexcept : m_dwError(GetLastError()), m_szMessage(text) {}

void CWinException::ShowErrorBox() const {
    char text[250];
    std::snprintf(text, sizeof text, "%s\n\n     GetLastError returned: %d\n\n",
                  m_szMessage ? m_szMessage : "", static_cast<int>(m_dwError));
    ShowMessageBox(nullptr, text, "Exception", MB_ICONEXCLAMATION);
}

// ---- CApp ----

CApp* CApp::s_pApp = nullptr;
DWORD CApp::s_dwTlsIndex = TLS_OUT_OF_INDEXES;

CApp::CApp(HINSTANCE instance) : m_hInstance(instance), m_bInitialised(FALSE) {
    detail::Guarded("Unknown Error", [this] {
        if (s_pApp)
            throw CWinException(
                "Error!  An instance of CApp (or a class derrived from CApp) is already running");
        DWORD index = TlsAlloc();
        if (index == TLS_OUT_OF_INDEXES)
            throw CWinException("CApp::CApp  Failed to allocate TLS Index");
        s_dwTlsIndex = index;
        s_pApp = this;
        m_bInitialised = TRUE;
    });
}

CApp::~CApp() {
    if (m_bInitialised && s_dwTlsIndex != TLS_OUT_OF_INDEXES) {
        TlsFree(s_dwTlsIndex);
        s_dwTlsIndex = TLS_OUT_OF_INDEXES;
        s_pApp = nullptr;
    }
}

int CApp::MessageLoop() {
    MSG msg{};
    for (;;) {
        BOOL status = GetMessageA(&msg, nullptr, 0, 0);
        if (status == 0)
            return static_cast<int>(msg.wParam);
        if (status == -1)
            return -1;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool FindString(UINT id, std::string& text) {
    if (!CApp::GetApp())
        return false;
    char buffer[256];
    int length = LoadStringA(detail::AppInstance(), id, buffer, sizeof buffer);
    if (length <= 0)
        return false;
    text.assign(buffer, static_cast<size_t>(length));
    return true;
}

std::string LoadString(UINT id) {
    std::string text;
    detail::Guarded("Unknown Error", [&] {
        if (!CApp::GetApp())
            throw CWinException("Framework has not been initialised successfully.");
        if (!FindString(id, text))
            throw CWinException("Load String failed");
    });
    return text;
}

namespace detail {

void ShowUnknownError(LPCSTR prefix, LPCSTR text) noexcept {
    char box[256];
    std::snprintf(box, sizeof box, "%s%s", prefix, text);
    ShowMessageBox(nullptr, box, "Exception", MB_OK);
}

// ---- the creation hook ----

CreationHook::CreationHook(CWin& window) : m_pRecord(new CBTData{&window, nullptr}) {
    window.SetCBTHook(m_pRecord.get());
}

CreationHook::~CreationHook() {
    if (m_pRecord->hCBTHook)
        UnhookWindowsHookEx(m_pRecord->hCBTHook);
    TlsSetValue(CApp::GetTlsIndex(), nullptr);
}

}  // namespace detail

// ---- CWin ----

CWin::CWin() : m_hWnd(nullptr), m_hWndParent(nullptr) {
    detail::Guarded("Unknown Error", [] {
        if (!CApp::GetApp())
            throw CWinException("Framework has not been successfully initialised.");
    });
}

CWin::~CWin() {
    Destroy();
}

void CWin::Destroy() {
    if (m_hWnd && IsWindow(m_hWnd))
        DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

HWND CWin::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, const RECT& rect,
                    HWND parent, HMENU menu) {
    return CreateEx(exStyle, className, title, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, menu);
}

HWND CWin::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menu) {
    detail::Guarded("Unknown Error", [&] {
        if (!CApp::GetApp())
            throw CWinException("CWin::CreateEx ... Unable to create window");
        if (m_hWnd && IsWindow(m_hWnd))
            throw CWinException("CWin::CreateEx ... Window already exists");
        if (!className || !*className)
            className = kDefaultClassName;

        WNDCLASSEXA existing{};
        existing.cbSize = sizeof existing;
        if (!GetClassInfoExA(detail::AppInstance(), className, &existing)) {
            CWndClass wndClass(className);
            if (!wndClass.Register())
                throw CWinException("CWin::CreateEx ... Unable to create window");
        }

        HWND window;
        {
            detail::CreationHook hook(*this);
            window = CreateWindowExA(exStyle, className, title ? title : "", style, x, y, width,
                                     height, parent, menu, detail::AppInstance(), nullptr);
        }
        m_hWnd = window;
        if (!m_hWnd)
            throw CWinException("CWin::Create ... Failed to Create Window");
        m_hWndParent = parent;
        OnCreate();
    });
    // After "Window already exists" this is the existing window.
    return m_hWnd;
}

HWND CWin::Create(HWND parent) {
    if (parent)
        return CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, nullptr);
    return CreateEx(0, nullptr, "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr);
}

void CWin::Show(int command) {
    if (m_hWnd && IsWindow(m_hWnd)) {
        ShowWindow(m_hWnd, command);
        UpdateWindow(m_hWnd);
    }
}

BOOL CWin::Move(int x, int y, int width, int height, BOOL repaint) {
    return MoveWindow(m_hWnd, x, y, width, height, repaint);
}

void CWin::SetIconLarge(int id) {
    SetIcon(id, SM_CXICON, SM_CYICON, ICON_BIG);
}

void CWin::SetIconSmall(int id) {
    SetIcon(id, SM_CXSMICON, SM_CYSMICON, ICON_SMALL);
}

void CWin::SetIcon(int id, int widthMetric, int heightMetric, WPARAM which) {
    if (!m_hWnd)
        return;
    HANDLE icon = LoadImageA(detail::AppInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON,
                             GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), 0);
    SendMessageA(m_hWnd, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
}

void CWin::SetCBTHook(CBTData* hook) {
    // Without an application object there is no thread-local slot to carry the record.
    if (!CApp::GetApp())
        throw CWinException("Framework has not been successfully initialised.");
    hook->hCBTHook = SetWindowsHookExA(WH_CBT, StaticCBTProc, nullptr, GetCurrentThreadId());
    if (!hook->hCBTHook)
        throw CWinException("CDialog::DoModal ... SetWindowsHookEx Failed");
    TlsSetValue(CApp::GetTlsIndex(), hook);
}

LRESULT CWin::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        OnPaint(dc);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK CWin::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    detail::GuardedOperation("CWin::StaticWindowProc", [&] {
        auto* object = reinterpret_cast<CWin*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (!object)
            throw CWinException("CWin::StaticWindowProc ...  Invalid Pointer");
        // The handle dies with this message: the object must not keep (and later destroy)
        // a handle that the system may give to another window.
        if (message == WM_NCDESTROY && object->m_hWnd == window)
            object->m_hWnd = nullptr;
        result = object->WndProc(window, message, wParam, lParam);
    });
    return result;
}

LRESULT CALLBACK CWin::StaticCBTProc(int code, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    detail::GuardedOperation("CWin::StaticCBTProc", [&] {
        auto* hook = static_cast<CBTData*>(TlsGetValue(CApp::GetTlsIndex()));
        if (!hook)
            throw CWinException("CWin::StaticCBTProc ... Unable to get TLS");
        if (code != HCBT_CREATEWND) {
            result = CallNextHookEx(hook->hCBTHook, code, wParam, lParam);
            return;
        }
        // The first window made on this thread since the hook went in: tie it to its
        // object before it receives any message.
        UnhookWindowsHookEx(hook->hCBTHook);
        hook->hCBTHook = nullptr;
        HWND window = reinterpret_cast<HWND>(wParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(hook->pWnd));
        hook->pWnd->m_hWnd = window;
    });
    return result;
}

// ---- CWndClass ----

CWndClass::CWndClass(LPCSTR className) : m_WndClass{}, m_szClassName{} {
    m_WndClass.cbSize = sizeof m_WndClass;
    m_WndClass.lpfnWndProc = CWin::StaticWindowProc;
    m_WndClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    m_WndClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    m_WndClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    m_WndClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    m_WndClass.lpszClassName = m_szClassName;
    detail::Guarded("Unknown Error", [&] {
        if (!CApp::GetApp())
            throw CWinException("Framework has not been initialised successfully.");
        m_WndClass.hInstance = detail::AppInstance();
        if (!className || !*className)
            throw CWinException("A NULL string was provided as the classname");
        SetClassName(className);
    });
}

CWndClass::CWndClass(const CWndClass& other) : m_WndClass(other.m_WndClass), m_szClassName{} {
    SetClassName(other.m_szClassName);
}

void CWndClass::SetClassName(LPCSTR name) {
    if (name != m_szClassName)
        std::snprintf(m_szClassName, sizeof m_szClassName, "%s", name);
    m_WndClass.lpszClassName = m_szClassName;
}

BOOL CWndClass::Register() {
    return detail::Guarded("Unknown Error", [&] {
        if (!CApp::GetApp() || !m_szClassName[0])
            throw CWinException("Failed to register Window Class");
        WNDCLASSEXA existing{};
        existing.cbSize = sizeof existing;
        if (GetClassInfoExA(m_WndClass.hInstance, m_szClassName, &existing))
            return;
        if (!RegisterClassExA(&m_WndClass))
            throw CWinException("Failed to register Window Class");
    });
}

void CWndClass::GetWndClass(WNDCLASSEXA& wndClass) const {
    wndClass = m_WndClass;
}

void CWndClass::SetWndClass(const WNDCLASSEXA& wndClass) {
    LPCSTR name = wndClass.lpszClassName;
    m_WndClass = wndClass;
    // A class atom or no name keeps the name this object has.
    SetClassName(name && !IS_INTRESOURCE(name) ? name : m_szClassName);
    m_WndClass.lpfnWndProc = CWin::StaticWindowProc;
}

}  // namespace Windows
