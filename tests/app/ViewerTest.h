#pragma once
// What the viewer's tests share: the real application object per test, the demo
// files, and frame ticks counted as the message loop dispatches them.

#include "FrameworkTest.h"
#include "app/ViewerApp.h"
#include "app/resource.h"
#include "sample/DemoScene.h"
#include "tests/support/TempDir.h"

namespace apptest {

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
    // Dispatches messages until the frame timer has ticked `count` times.
    void RunTicks(int count);
    // The demo model, its texture archive and a point dump, in `folder` inside
    // the test's own.
    sample::DemoFiles WriteDemo(const std::u8string& folder = u8"");

    testsupport::TempDir m_Dir;
};

}  // namespace apptest
