#include "FrameworkTest.h"

#include <algorithm>

namespace fwtest {

namespace {

std::vector<Box> g_Boxes;

struct Answer {
    UINT message = 0;
    WPARAM wParam = 0;
    int tries = 0;
    UINT_PTR timer = 0;
    SeenDialog seen;
};
Answer g_Answer;

BOOL CALLBACK FindStaticText(HWND child, LPARAM found) {
    auto* text = reinterpret_cast<std::string*>(found);
    if (ClassOf(child) == "Static" && !TextOf(child).empty()) {
        *text = TextOf(child);
        return FALSE;
    }
    return TRUE;
}

// The modal one: visible and enabled (its owner is disabled while it runs).
BOOL CALLBACK FindModalDialog(HWND window, LPARAM found) {
    if (ClassOf(window) == "#32770" && IsWindowVisible(window) && IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK AnswerDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindModalDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) {
        if (++g_Answer.tries > 200) {  // ten seconds: nothing is coming
            KillTimer(nullptr, g_Answer.timer);
            g_Answer.timer = 0;
        }
        return;
    }
    KillTimer(nullptr, g_Answer.timer);
    g_Answer.timer = 0;
    SeenDialog& seen = g_Answer.seen;
    seen.found = true;
    seen.caption = TextOf(dialog);
    EnumChildWindows(dialog, FindStaticText, reinterpret_cast<LPARAM>(&seen.text));
    seen.owner = GetWindow(dialog, GW_OWNER);
    GetWindowRect(dialog, &seen.rect);
    PostMessageA(dialog, g_Answer.message, g_Answer.wParam, 0);
}

}  // namespace

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

int RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT flags) {
    g_Boxes.push_back({owner, text ? text : "", caption ? caption : "", flags});
    return IDOK;
}

std::vector<Box> TakeBoxes() {
    std::vector<Box> boxes;
    boxes.swap(g_Boxes);
    return boxes;
}

std::vector<std::string> TakeErrorTexts() {
    static const std::string marker = "\n\n     GetLastError returned: ";
    std::vector<std::string> texts;
    for (const Box& box : TakeBoxes()) {
        EXPECT_EQ(box.caption, "Exception");
        EXPECT_EQ(box.flags, static_cast<UINT>(MB_ICONEXCLAMATION));
        EXPECT_EQ(box.owner, nullptr);
        size_t at = box.text.rfind(marker);
        std::string code = at == std::string::npos ? "" : box.text.substr(at + marker.size());
        EXPECT_TRUE(code.size() > 2 && code.substr(code.size() - 2) == "\n\n" &&
                    code.find_first_not_of("-0123456789") == code.size() - 2)
            << "not an error box: " << box.text;
        texts.push_back(box.text.substr(0, at));
    }
    return texts;
}

std::string ErrorBoxText(const std::string& text, DWORD code) {
    return text + "\n\n     GetLastError returned: " + std::to_string(static_cast<int>(code)) +
           "\n\n";
}

bool PumpMessages() {
    bool quit = false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return quit;
}

void AnswerDialogLater(UINT message, WPARAM wParam) {
    if (g_Answer.timer)
        KillTimer(nullptr, g_Answer.timer);
    g_Answer = Answer{};
    g_Answer.message = message;
    g_Answer.wParam = wParam;
    g_Answer.timer = SetTimer(nullptr, 0, 50, AnswerDialog);
}

SeenDialog TakeSeenDialog() {
    if (g_Answer.timer)
        KillTimer(nullptr, g_Answer.timer);
    SeenDialog seen = g_Answer.seen;
    g_Answer = Answer{};
    return seen;
}

bool RecordingWin::Received(UINT message) const {
    return std::find(m_Messages.begin(), m_Messages.end(), message) != m_Messages.end();
}

FrameworkTest::FrameworkTest() : m_App(GetModuleHandleA(nullptr)) {}

void FrameworkTest::TearDown() {
    for (const Box& box : TakeBoxes())
        ADD_FAILURE() << "unexpected box \"" << box.caption << "\": " << box.text;
    // Windows of the test are gone by now; their quit messages must not end the next
    // test's modal loops.
    PumpMessages();
}

}  // namespace fwtest
