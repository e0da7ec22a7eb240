#include "FrameworkTest.h"

#include <regex>
#include <utility>

#include "framework/Frame.h"

namespace fwtest {

namespace {

struct Box {
    HWND owner;
    std::string text, caption;
    UINT flags;
};
std::vector<Box> g_Boxes;

// The framework's message box while the tests run.
int RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT flags) {
    g_Boxes.push_back({owner, text ? text : "", caption ? caption : "", flags});
    return IDOK;
}

struct Pending {
    std::function<void(HWND)> body;
    int tries = 0;
    bool ran = false;
} g_Pending;

void CALLBACK RunInDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    // The modal one: this thread's, visible and enabled (its owner is disabled
    // while it runs).
    HWND dialog = nullptr;
    while ((dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr)) &&
           !(GetWindowThreadProcessId(dialog, nullptr) == GetCurrentThreadId() &&
             IsWindowVisible(dialog) && IsWindowEnabled(dialog))) {
    }
    if (!dialog && ++g_Pending.tries < 200)  // ten seconds, then none is coming
        return;
    KillTimer(nullptr, timer);
    if (dialog) {
        g_Pending.ran = true;
        std::exchange(g_Pending.body, {})(dialog);
    }
}

}  // namespace

std::vector<std::string> TakeBoxes(const std::string& caption, UINT flags) {
    static const std::regex lastError("\n\n     GetLastError returned: -?[0-9]+\n\n$");
    std::vector<std::string> texts;
    for (const Box& box : std::exchange(g_Boxes, {})) {
        EXPECT_EQ(box.caption, caption) << box.text;
        EXPECT_EQ(box.flags, flags) << box.text;
        EXPECT_EQ(box.owner, nullptr) << box.text;
        texts.push_back(std::regex_replace(box.text, lastError, ""));
    }
    return texts;
}

std::string ClassOf(HWND window) {
    char name[256];
    return std::string(name, GetClassNameA(window, name, sizeof name));
}

std::string TextOf(HWND window) {
    std::string text(GetWindowTextLengthA(window) + 1, '\0');
    text.resize(GetWindowTextA(window, text.data(), static_cast<int>(text.size())));
    return text;
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

RECT PlaceInParent(HWND child) {
    RECT rect = WindowRect(child);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string StaticText(HWND dialog) {
    HWND text = nullptr;
    while ((text = FindWindowExA(dialog, text, "Static", nullptr)) && TextOf(text).empty()) {
    }
    return TextOf(text);
}

std::string StatusText(HWND statusBar, int part) {
    char text[256] = {};
    SendMessageA(statusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
    return text;
}

bool InDialog(const std::function<void()>& open, std::function<void(HWND)> body) {
    g_Pending = {std::move(body)};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, RunInDialog);
    open();
    KillTimer(nullptr, timer);
    return std::exchange(g_Pending, {}).ran;
}

void WindowTest::TearDown() {
    for (const Box& box : std::exchange(g_Boxes, {}))
        ADD_FAILURE() << "unexpected box \"" << box.caption << "\": " << box.text;
    // The test's windows are gone; their quit messages must not end the next
    // test's modal loops.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message != WM_QUIT)
            DispatchMessageA(&msg);
}

}  // namespace fwtest

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Windows::SetMessageBoxFunction(fwtest::RecordBox);
    return RUN_ALL_TESTS();
}
