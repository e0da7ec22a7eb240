#include "FrameworkTest.h"

#include <regex>
#include <utility>

#include "framework/Frame.h"

namespace fwtest {

namespace {

std::vector<Box> g_Boxes;

struct DialogBody {
    std::function<void(HWND)> body;
    UINT_PTR timer = 0;
    int tries = 0;
    bool ran = false;
};
DialogBody g_Dialog;
SeenDialog g_Seen;

void StopDialogTimer() {
    if (g_Dialog.timer)
        KillTimer(nullptr, g_Dialog.timer);
    g_Dialog.timer = 0;
}

void CALLBACK RunInDialog(HWND, UINT, UINT_PTR, DWORD) {
    // The modal one: visible and enabled (its owner is disabled while it runs).
    HWND dialog = FindWindowWhere(nullptr, [](HWND window) {
        return ClassOf(window) == "#32770" && IsWindowVisible(window) && IsWindowEnabled(window);
    });
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

// The framework's message box while the tests run.
int RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT flags) {
    g_Boxes.push_back({owner, text ? text : "", caption ? caption : "", flags});
    return IDOK;
}

}  // namespace

std::vector<Box> TakeBoxes() {
    return std::exchange(g_Boxes, {});
}

std::vector<std::string> TakeBoxTexts(const std::string& caption, UINT flags) {
    std::vector<std::string> texts;
    for (const Box& box : TakeBoxes()) {
        EXPECT_EQ(box.caption, caption) << box.text;
        EXPECT_EQ(box.flags, flags) << box.text;
        EXPECT_EQ(box.owner, nullptr) << box.text;
        texts.push_back(box.text);
    }
    return texts;
}

std::vector<std::string> TakeErrorTexts() {
    static const std::regex form("([\\s\\S]*)\n\n     GetLastError returned: -?[0-9]+\n\n");
    std::vector<std::string> texts = TakeBoxTexts("Exception", MB_ICONEXCLAMATION);
    for (std::string& text : texts) {
        std::smatch match;
        EXPECT_TRUE(std::regex_match(text, match, form)) << "not an error box: " << text;
        text = match.empty() ? text : match.str(1);
    }
    return texts;
}

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

HWND FindWindowWhere(HWND parent, const std::function<bool(HWND)>& match) {
    std::pair<const std::function<bool(HWND)>*, HWND> search{&match, nullptr};
    auto visit = [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<decltype(search)*>(data);
        if ((*s->first)(window))
            s->second = window;
        return s->second == nullptr;
    };
    if (parent)
        EnumChildWindows(parent, visit, reinterpret_cast<LPARAM>(&search));
    else
        EnumThreadWindows(GetCurrentThreadId(), visit, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

RECT PlaceInParent(HWND child) {
    RECT rect = WindowRect(child);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool MenuChecked(HWND window, UINT item) {
    return GetMenuState(GetMenu(window), item, MF_BYCOMMAND) & MF_CHECKED;
}

std::string StatusText(HWND statusBar, int part) {
    char text[256] = {};
    SendMessageA(statusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::array<int, 3>> ToolbarRows(HWND toolBar) {
    std::vector<std::array<int, 3>> rows;
    for (int i = 0; i < SendMessageA(toolBar, TB_BUTTONCOUNT, 0, 0); ++i) {
        TBBUTTON b{};
        SendMessageA(toolBar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
        const bool separator = b.fsStyle == TBSTYLE_SEP;
        rows.push_back({b.fsStyle, b.idCommand, separator ? -1 : b.iBitmap});
        if (!separator) {
            EXPECT_EQ(b.fsState, TBSTATE_ENABLED) << b.idCommand;
        }
    }
    return rows;
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

void InDialogLater(std::function<void(HWND)> body) {
    StopDialogTimer();
    g_Dialog = DialogBody{std::move(body)};
    g_Dialog.timer = SetTimer(nullptr, 0, 50, RunInDialog);
}

bool TakeDialogRan() {
    StopDialogTimer();
    return std::exchange(g_Dialog, {}).ran;
}

void AnswerDialogLater(UINT message, WPARAM wParam) {
    InDialogLater([message, wParam](HWND dialog) {
        g_Seen = {true, TextOf(dialog), "", GetWindow(dialog, GW_OWNER), WindowRect(dialog)};
        g_Seen.text = TextOf(FindWindowWhere(dialog, [](HWND child) {
            return ClassOf(child) == "Static" && !TextOf(child).empty();
        }));
        PostMessageA(dialog, message, wParam, 0);
    });
}

SeenDialog TakeSeenDialog() {
    TakeDialogRan();
    return std::exchange(g_Seen, {});
}

void EndTest() {
    for (const Box& box : TakeBoxes())
        ADD_FAILURE() << "unexpected box \"" << box.caption << "\": " << box.text;
    TakeDialogRan();  // a body that never ran must not run in the next test
    // The test's windows are gone; their quit messages must not end the next
    // test's modal loops.
    PumpMessages();
}

}  // namespace fwtest

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Windows::SetMessageBoxFunction(fwtest::RecordBox);
    return RUN_ALL_TESTS();
}
