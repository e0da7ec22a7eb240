#include "ViewerTest.h"

#include <GL/gl.h>

#include <algorithm>
#include <map>

namespace apptest {

namespace {

std::map<HWND, MessageRecorder*> g_Recorders;

struct DialogBody {
    std::function<void(HWND)> body;
    UINT_PTR timer = 0;
    int tries = 0;
    bool ran = false;
};
DialogBody g_Dialog;

BOOL CALLBACK FindModalDialog(HWND window, LPARAM found) {
    if (fwtest::ClassOf(window) == "#32770" && IsWindowVisible(window) && IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void StopDialogTimer() {
    if (g_Dialog.timer)
        KillTimer(nullptr, g_Dialog.timer);
    g_Dialog.timer = 0;
}

void CALLBACK RunInDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindModalDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) {
        if (++g_Dialog.tries > 200)  // ten seconds: none is coming
            StopDialogTimer();
        return;
    }
    StopDialogTimer();
    g_Dialog.ran = true;
    std::function<void(HWND)> body = std::move(g_Dialog.body);
    body(dialog);
}

struct Deletion {
    HHOOK hook = nullptr;
    HWND dialog = nullptr;
    std::wstring path;
};
Deletion g_Deletion;

LRESULT CALLBACK DeleteOnDestroy(int code, WPARAM wParam, LPARAM lParam) {
    HHOOK hook = g_Deletion.hook;
    if (code == HCBT_DESTROYWND && reinterpret_cast<HWND>(wParam) == g_Deletion.dialog) {
        DeleteFileW(g_Deletion.path.c_str());
        UnhookWindowsHookEx(hook);
        g_Deletion = Deletion{};
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

BOOL CALLBACK FindEdit(HWND child, LPARAM found) {
    if (fwtest::ClassOf(child) != "Edit")
        return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// The file name field: the edit inside the combo box cmb13, or the edit edt1.
HWND FileNameField(HWND dialog) {
    HWND edit = nullptr;
    if (HWND combo = GetDlgItem(dialog, 0x47c))
        EnumChildWindows(combo, FindEdit, reinterpret_cast<LPARAM>(&edit));
    return edit ? edit : GetDlgItem(dialog, 0x480);
}

}  // namespace

// ---- MessageRecorder ----

MessageRecorder::MessageRecorder(HWND window, std::vector<UINT> messages)
    : m_hWnd(window), m_Watched(std::move(messages)) {
    g_Recorders[window] = this;
    m_Original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
}

MessageRecorder::~MessageRecorder() {
    if (IsWindow(m_hWnd))
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_Original));
    g_Recorders.erase(m_hWnd);
}

std::vector<WPARAM> MessageRecorder::Take(UINT message) {
    std::vector<WPARAM> seen;
    for (const auto& [m, wParam] : m_Seen)
        if (m == message)
            seen.push_back(wParam);
    std::erase_if(m_Seen, [message](const auto& entry) { return entry.first == message; });
    return seen;
}

LRESULT CALLBACK MessageRecorder::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageRecorder* recorder = g_Recorders.at(window);
    const auto& watched = recorder->m_Watched;
    if (std::find(watched.begin(), watched.end(), message) != watched.end())
        recorder->m_Seen.emplace_back(message, wParam);
    return CallWindowProcA(recorder->m_Original, window, message, wParam, lParam);
}

// ---- dialogs ----

void InDialogLater(std::function<void(HWND)> body) {
    StopDialogTimer();
    g_Dialog = DialogBody{};
    g_Dialog.body = std::move(body);
    g_Dialog.timer = SetTimer(nullptr, 0, 50, RunInDialog);
}

bool TakeDialogRan() {
    StopDialogTimer();
    const bool ran = g_Dialog.ran;
    g_Dialog = DialogBody{};
    return ran;
}

void ChooseFile(HWND dialog, const std::wstring& path) {
    HWND field = FileNameField(dialog);
    if (!field) {
        ADD_FAILURE() << "no file name field";
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    SetWindowTextW(field, path.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

void DeleteWhenClosed(HWND dialog, const std::wstring& path) {
    g_Deletion.dialog = dialog;
    g_Deletion.path = path;
    g_Deletion.hook = SetWindowsHookExW(WH_CBT, DeleteOnDestroy, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_Deletion.hook, nullptr);
}

std::string FileTypeText(HWND dialog) {
    return fwtest::TextOf(GetDlgItem(dialog, 0x470));  // cmb1
}

std::wstring Wide(const std::string& utf8) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring text(static_cast<size_t>(std::max(size, 1)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, text.data(), size);
    text.resize(text.size() - 1);
    return text;
}

// ---- ViewerTest ----

ViewerTest::ViewerTest() : m_App(GetModuleHandleA(nullptr)) {}

void ViewerTest::TearDown() {
    for (const fwtest::Box& box : fwtest::TakeBoxes())
        ADD_FAILURE() << "unexpected box \"" << box.caption << "\": " << box.text;
    TakeDialogRan();  // a body that never ran must not run in the next test
    fwtest::PumpMessages();
}

void ViewerTest::Command(UINT id) {
    SendMessageA(FrameWindow(), WM_COMMAND, id, 0);
}

void ViewerTest::RunTicks(int count) {
    const WPARAM tick = View().GetFrameTimer();
    const DWORD start = GetTickCount();
    int ticks = 0;
    MSG msg;
    while (ticks < count) {
        ASSERT_LT(GetTickCount() - start, 10000u) << ticks << " ticks in ten seconds";
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            continue;
        }
        if (msg.message == WM_TIMER && !msg.hwnd && msg.wParam == tick)
            ++ticks;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool ViewerTest::ButtonChecked(UINT id) {
    return SendMessageA(ToolBar(), TB_ISBUTTONCHECKED, id, 0) != 0;
}

std::vector<uint8_t> ViewerTest::GlPixels(int& width, int& height) {
    RECT client{};
    GetClientRect(ViewWindow(), &client);
    width = client.right;
    height = client.bottom;
    Scene().DrawScene();
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    for (size_t i = 3; i < pixels.size(); i += 4)
        pixels[i] = 0;
    return pixels;
}

std::vector<uint8_t> ViewerTest::ScreenPixels(int& width, int& height) {
    RECT client{};
    GetClientRect(ViewWindow(), &client);
    width = client.right;
    height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HDC view = GetDC(ViewWindow());
    BitBlt(memory, 0, 0, width, height, view, 0, 0, SRCCOPY);
    ReleaseDC(ViewWindow(), view);
    GdiFlush();
    const auto* bgrx = static_cast<const uint8_t*>(bits);
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = bgrx[i + 2];
        pixels[i + 1] = bgrx[i + 1];
        pixels[i + 2] = bgrx[i];
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return pixels;
}

}  // namespace apptest
