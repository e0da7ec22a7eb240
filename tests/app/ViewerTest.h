#pragma once
// What the viewer's tests share: the real application object per test, a
// recorder of the messages a window receives, frame ticks counted as the
// message loop dispatches them, real modal dialogs worked from inside their own
// loops, and pixels read back from the view.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "FrameworkTest.h"
#include "app/ViewerApp.h"

namespace apptest {

// Subclasses a window for its lifetime and notes the messages it receives
// (message, wParam), before the window's own procedure handles them.
class MessageRecorder {
  public:
    MessageRecorder(HWND window, std::vector<UINT> messages);
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    // The wParam of every recorded `message` since the last call.
    std::vector<WPARAM> Take(UINT message);

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd;
    WNDPROC m_Original;
    std::vector<UINT> m_Watched;
    std::vector<std::pair<UINT, WPARAM>> m_Seen;
};

// Runs `body` inside the next modal dialog's own loop, with the dialog's
// window; the body ends the dialog. TakeDialogRan says whether it ran.
void InDialogLater(std::function<void(HWND dialog)> body);
bool TakeDialogRan();

// The open-file dialog, as a user works it: types `path` into the file name
// field and presses Open.
void ChooseFile(HWND dialog, const std::wstring& path);
// Deletes `path` as the dialog closes: after its own check that the file exists.
void DeleteWhenClosed(HWND dialog, const std::wstring& path);
// The text of the dialog's file type list.
std::string FileTypeText(HWND dialog);

std::wstring Wide(const std::string& utf8);

class ViewerTest : public ::testing::Test {
  protected:
    ViewerTest();
    void TearDown() override;

    MainFrame& Frame() { return m_App.GetFrame(); }
    ModelView& View() { return Frame().GetView(); }
    SceneView& Scene() { return View().View(); }
    HWND FrameWindow() { return Frame().GetHwnd(); }
    HWND ViewWindow() { return View().GetHwnd(); }
    HWND ToolBar() { return Frame().GetToolBar().GetHwnd(); }

    // A command as the menu or the toolbar sends it to the frame.
    void Command(UINT id);
    // Dispatches messages until the frame timer has ticked `count` times.
    void RunTicks(int count);
    bool ButtonChecked(UINT id);
    // The view's picture drawn again and read back from its context, and the
    // view window's pixels as they are on screen: RGB0 rows, bottom row first,
    // the size of the view's client area.
    std::vector<uint8_t> GlPixels(int& width, int& height);
    std::vector<uint8_t> ScreenPixels(int& width, int& height);

    ViewerApp m_App;
};

}  // namespace apptest
