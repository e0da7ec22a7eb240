#pragma once
// What the window tests share: every box is recorded instead of shown (unless a
// test asks for the real one), one application object per test, and code run
// inside a modal box or dialog from its own message loop.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "framework/WinCore.h"

// RECT lives in the global namespace: its comparison and printing must too.
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace fwtest {

struct Box {
    HWND owner;
    std::string text;
    std::string caption;
    UINT flags;
};

// The framework's boxes, recorded since the last call.
std::vector<Box> TakeBoxes();
// The texts of the boxes recorded since the last call; each must have this
// caption and these flags, and no owner.
std::vector<std::string> TakeBoxTexts(const std::string& caption, UINT flags);
// The texts of the error boxes recorded since the last call, without their
// GetLastError line; a box of another form fails the test.
std::vector<std::string> TakeErrorTexts();
std::string ClassOf(HWND window);
std::string TextOf(HWND window);
RECT WindowRect(HWND window);
// The first of `parent`'s descendants, or of the thread's windows without a
// parent, that `match` accepts; null when none does.
HWND FindWindowWhere(HWND parent, const std::function<bool(HWND)>& match);
// Where a child window is, in its parent's client coordinates.
RECT PlaceInParent(HWND child);
bool MenuChecked(HWND window, UINT item);
std::string StatusText(HWND statusBar, int part = 0);
// The toolbar's buttons as (style, id, image), the image -1 for a separator; a
// button in any other state than enabled fails the test.
std::vector<std::array<int, 3>> ToolbarRows(HWND toolBar);

// Dispatches what is queued; true when a WM_QUIT was among it (it is taken out).
bool PumpMessages();

// Runs `body` inside the next modal box or dialog's own loop, with its window;
// the body ends it. TakeDialogRan says whether it ran.
void InDialogLater(std::function<void(HWND dialog)> body);
bool TakeDialogRan();

struct SeenDialog {
    bool found = false;
    std::string caption;
    std::string text;  // the first non-empty static text
    HWND owner = nullptr;
    RECT rect{};
};
// Notes what the next modal dialog shows and posts it `message` (WM_COMMAND IDOK
// ends a message box and a plain dialog with 1).
void AnswerDialogLater(UINT message, WPARAM wParam = 0);
SeenDialog TakeSeenDialog();

// A window object that notes every message its WndProc receives.
class RecordingWin : public Windows::CWin {
  public:
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        m_Messages.push_back(message);
        return CWin::WndProc(window, message, wParam, lParam);
    }
    void OnCreate() override { m_hWndAtOnCreate = m_hWnd; }
    bool Received(UINT message) const {
        return std::find(m_Messages.begin(), m_Messages.end(), message) != m_Messages.end();
    }

    std::vector<UINT> m_Messages;
    HWND m_hWndAtOnCreate = nullptr;
};

// Fails on any box the test did not take and clears what the test left queued.
void EndTest();

// One application object per test.
template <class App>
class AppTest : public ::testing::Test {
  protected:
    void TearDown() override { EndTest(); }

    App m_App{GetModuleHandleA(nullptr)};
};

using FrameworkTest = AppTest<Windows::CApp>;

}  // namespace fwtest
