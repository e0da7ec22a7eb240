#pragma once
// What the viewer's tests share: the real application object per test, the demo
// files, and frame ticks counted as the message loop dispatches them.

#include <filesystem>

#include "FrameworkTest.h"
#include "app/ViewerApp.h"
#include "app/resource.h"
#include "model/Utf8Path.h"
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
    void RunTicks(int count) {
        const DWORD start = GetTickCount();
        MSG msg;
        for (int ticks = 0; ticks < count;) {
            ASSERT_LT(GetTickCount() - start, 10000u) << ticks << " ticks in ten seconds";
            if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
                continue;
            }
            ticks += msg.message == WM_TIMER && !msg.hwnd && msg.wParam == View().GetFrameTimer();
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    // The demo model, its texture archive and a point dump, in `folder` inside
    // the test's own.
    sample::DemoFiles WriteDemo(const std::u8string& folder = u8"") {
        std::filesystem::create_directories(m_Dir.Path() / folder);
        sample::DemoFiles files;
        EXPECT_TRUE(sample::WriteDemo(Utf8FromPath(m_Dir.Path() / folder), files));
        return files;
    }

    testsupport::TempDir m_Dir;
};

}  // namespace apptest
