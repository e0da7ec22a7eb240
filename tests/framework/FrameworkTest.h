#pragma once
// What the window tests share: every box is recorded instead of shown (unless a
// test asks for the real one), one application object per test, and code run
// inside a modal box or dialog from its own message loop.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "framework/WinCore.h"

// RECT lives in the global namespace: its comparison and printing must too.
inline bool operator==(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b);
}
inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace fwtest {

// The texts of the boxes recorded since the last call, each of which must have
// this caption and these flags, and no owner; an error box's GetLastError line
// is left off.
std::vector<std::string> TakeBoxes(const std::string& caption = "Exception",
                                   UINT flags = MB_ICONEXCLAMATION);

std::string ClassOf(HWND window);
// The whole text, however long.
std::string TextOf(HWND window);
RECT WindowRect(HWND window);
// Where a child window is, in its parent's client coordinates.
RECT PlaceInParent(HWND child);
// The first static text of a dialog or box that is not empty.
std::string StaticText(HWND dialog);
std::string StatusText(HWND statusBar, int part = 0);
inline bool MenuChecked(HWND window, UINT item) {
    return GetMenuState(GetMenu(window), item, MF_BYCOMMAND) & MF_CHECKED;
}

// Calls `open`, which runs a modal box or dialog, with `body` run inside that
// dialog's own loop on its window; the body ends it. False when none came.
bool InDialog(const std::function<void()>& open, std::function<void(HWND dialog)> body);

// A window object that notes every message its WndProc receives.
class RecordingWin : public Windows::CWin {
  public:
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        m_Messages.push_back(message);
        return CWin::WndProc(window, message, wParam, lParam);
    }
    bool Received(UINT message) const {
        return std::find(m_Messages.begin(), m_Messages.end(), message) != m_Messages.end();
    }

    std::vector<UINT> m_Messages;
};

// Fails on any box the test did not take and clears what the test left queued.
class WindowTest : public ::testing::Test {
  protected:
    void TearDown() override;
};

// One application object per test.
template <class App>
class AppTest : public WindowTest {
  protected:
    App m_App{GetModuleHandleA(nullptr)};
};

using FrameworkTest = AppTest<Windows::CApp>;

}  // namespace fwtest
