#pragma once
// What the viewer's tests share: the real application object per test, the demo
// files, a recorder of one message a window receives, and frame ticks counted
// as the message loop dispatches them.

#include <utility>

#include "FrameworkTest.h"
#include "app/ViewerApp.h"
#include "sample/DemoScene.h"
#include "tests/support/TempDir.h"

namespace apptest {

// Subclasses a window for its lifetime and notes the wParam of every `message`
// it receives, before the window's own procedure handles it.
class MessageRecorder {
  public:
    MessageRecorder(HWND window, UINT message);
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    // What came since the last call.
    std::vector<WPARAM> Take() { return std::exchange(m_Seen, {}); }

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd;
    UINT m_Message;
    WNDPROC m_Original;
    std::vector<WPARAM> m_Seen;
};

class ViewerTest : public fwtest::AppTest<ViewerApp> {
  protected:
    MainFrame& Frame() { return m_App.GetFrame(); }
    ModelView& View() { return Frame().GetView(); }
    SceneView& Scene() { return View().View(); }
    HWND FrameWindow() { return Frame().GetHwnd(); }
    HWND ViewWindow() { return View().GetHwnd(); }
    HWND ToolBar() { return Frame().GetToolBar().GetHwnd(); }

    // A command as the menu or the toolbar sends it to the frame.
    void Command(UINT id) { SendMessageA(FrameWindow(), WM_COMMAND, id, 0); }
    bool ButtonChecked(UINT id) { return SendMessageA(ToolBar(), TB_ISBUTTONCHECKED, id, 0); }
    // Runs `body` inside the modal dialog that `command` opens; the body ends it.
    void InDialogOf(UINT command, std::function<void(HWND dialog)> body);
    // Dispatches messages until the frame timer has ticked `count` times.
    void RunTicks(int count);
    // The demo model, its texture archive and a point dump, in `folder` inside
    // the test's own.
    sample::DemoFiles WriteDemo(const std::u8string& folder = u8"");

    testsupport::TempDir m_Dir;
};

}  // namespace apptest
