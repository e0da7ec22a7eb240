#pragma once
// What the framework tests share: every box the framework shows is recorded instead
// of shown (unless a test asks for the real one), one application object per test, and
// a timer that answers a modal box or dialog from inside its own message loop.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/WinCore.h"

namespace fwtest {

struct Box {
    HWND owner;
    std::string text;
    std::string caption;
    UINT flags;
};

// The function main installs as the framework's message box.
int RecordBox(HWND owner, LPCSTR text, LPCSTR caption, UINT flags);
// The boxes recorded since the last call.
std::vector<Box> TakeBoxes();

std::string ClassOf(HWND window);
std::string TextOf(HWND window);
RECT WindowRect(HWND window);

// The messages of the error boxes recorded since the last call, without their
// GetLastError line; a box of another form fails the test.
std::vector<std::string> TakeErrorTexts();

// "text\n\n     GetLastError returned: code\n\n", the framework's error box text.
std::string ErrorBoxText(const std::string& text, DWORD code);

// Dispatches what is queued; true when a WM_QUIT was among it (it is taken out).
bool PumpMessages();

// What the answering timer saw of the dialog box it answered.
struct SeenDialog {
    bool found = false;
    std::string caption;
    std::string text;  // the first non-empty static text
    HWND owner = nullptr;
    RECT rect{};
};

// From the next message loop on, finds the thread's modal box or dialog, notes what it
// shows and posts it the message (WM_COMMAND IDOK ends a message box and a plain dialog
// with 1).
void AnswerDialogLater(UINT message, WPARAM wParam = 0);
// What the last answered dialog showed; found is false when none came.
SeenDialog TakeSeenDialog();

// A window object that notes every message its WndProc receives.
class RecordingWin : public Windows::CWin {
  public:
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        m_Messages.push_back(message);
        return CWin::WndProc(window, message, wParam, lParam);
    }
    void OnCreate() override { m_hWndAtOnCreate = m_hWnd; }
    bool Received(UINT message) const;

    std::vector<UINT> m_Messages;
    HWND m_hWndAtOnCreate = nullptr;
};

// One application object per test; the test fails on any box it did not take.
class FrameworkTest : public ::testing::Test {
  protected:
    FrameworkTest();
    void TearDown() override;

    Windows::CApp m_App;
};

}  // namespace fwtest
