#include "FrameworkTest.h"

#include <utility>

namespace fwtest {

namespace {

std::vector<std::string> g_Boxes;

// The framework's message box while the tests run.
int RecordBox(HWND, LPCSTR text, LPCSTR caption, UINT) {
    const std::string shown = text;
    g_Boxes.push_back(caption + (": " + shown.substr(0, shown.find("\n\n     GetLastError"))));
    return IDOK;
}

// Run once, in the next modal dialog; cleared when it has run.
std::function<void(HWND)> g_Body;
int g_Tries = 0;

void CALLBACK RunInDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    // The modal one: this thread's, visible and enabled (its owner is disabled
    // while it runs).
    HWND dialog = nullptr;
    while ((dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr)) &&
           !(GetWindowThreadProcessId(dialog, nullptr) == GetCurrentThreadId() &&
             IsWindowVisible(dialog) && IsWindowEnabled(dialog))) {
    }
    if (!dialog && ++g_Tries < 200)  // ten seconds, then none is coming
        return;
    KillTimer(nullptr, timer);
    if (dialog)
        std::exchange(g_Body, {})(dialog);
}

}  // namespace

std::vector<std::string> TakeBoxes() {
    return std::exchange(g_Boxes, {});
}

std::string TextOf(HWND window) {
    std::string text(GetWindowTextLengthA(window) + 1, '\0');
    text.resize(GetWindowTextA(window, text.data(), static_cast<int>(text.size())));
    return text;
}

bool InDialog(const std::function<void()>& open, std::function<void(HWND)> body) {
    g_Body = std::move(body);
    g_Tries = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, RunInDialog);
    open();
    KillTimer(nullptr, timer);
    return !std::exchange(g_Body, {});
}

void EndWindowTest() {
    EXPECT_EQ(TakeBoxes(), std::vector<std::string>{}) << "boxes the test did not take";
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
