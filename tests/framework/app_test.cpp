// The window base: a window object tied to its window for every message, and
// nothing thrown leaving the framework.

#include <new>
#include <set>

#include "FrameworkTest.h"

using namespace Windows;
using CWinTest = fwtest::FrameworkTest;

namespace {

// Notes every message it receives; throws on two of them.
class RecordingWin : public CWin {
  public:
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        m_Received.insert(message);
        if (message == WM_APP + 1)
            throw CWinException("RecordingWin ... refused");
        if (message == WM_APP + 2)
            throw 42;
        return CWin::WndProc(window, message, wParam, lParam);
    }

    std::set<UINT> m_Received;
};

}  // namespace

TEST_F(CWinTest, AWindowObjectHasItsWindowForEveryMessageAndNothingThrownLeavesIt) {
    // Above 4 GiB: the object's pointer lives in the window's user data, and all
    // 64 bits of it must.
    void* memory = VirtualAlloc(nullptr, sizeof(RecordingWin),
                                MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN, PAGE_READWRITE);
    ASSERT_GT(reinterpret_cast<UINT_PTR>(memory), 0xFFFFFFFFu);
    RecordingWin& top = *new (memory) RecordingWin;
    HWND topWindow = top.Create(nullptr);
    ASSERT_NE(topWindow, nullptr);
    // Without its object from the very first message, no window would be made.
    EXPECT_TRUE(top.m_Received.contains(WM_NCCREATE));
    // What a message throws is shown in a box, and the window lives on.
    EXPECT_EQ(SendMessageA(topWindow, WM_APP + 1, 0, 0), 0);
    EXPECT_EQ(SendMessageA(topWindow, WM_APP + 2, 0, 0), 0);
    EXPECT_TRUE(IsWindow(topWindow));

    // The handle goes with the window, and the object makes a new one.
    DestroyWindow(topWindow);
    EXPECT_EQ(top.GetHwnd(), nullptr);
    EXPECT_TRUE(IsWindow(top.Create(nullptr)));

    // The message loop dispatches until WM_QUIT, and returns its code.
    PostMessageA(top.GetHwnd(), WM_APP, 0, 0);
    PostQuitMessage(7);
    EXPECT_EQ(m_App.MessageLoop(), 7);
    EXPECT_TRUE(top.m_Received.contains(WM_APP));
    top.~RecordingWin();
    VirtualFree(memory, 0, MEM_RELEASE);

    // An error's text is cut to the box.
    const std::string longText(400, 'x');
    CWinException(longText.c_str()).ShowErrorBox();
    EXPECT_EQ(fwtest::TakeBoxes(),
              (std::vector<std::string>{"Exception: RecordingWin ... refused",
                                        "Exception: Exception occurred CWin::StaticWindowProc",
                                        "Exception: " + longText.substr(0, 249)}));
}
