#pragma once
// What the viewer's tests share: the real application object per test and a
// folder for the demo files.

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

    // A command as the menu or the toolbar sends it to the frame.
    void Command(UINT id) { SendMessageA(Frame().GetHwnd(), WM_COMMAND, id, 0); }
    bool ButtonChecked(UINT id) {
        return SendMessageA(Frame().GetToolBar().GetHwnd(), TB_ISBUTTONCHECKED, id, 0);
    }
    // The demo model, its texture archive and a point dump, in `folder` inside
    // the test's own.
    sample::DemoFiles WriteDemo(const std::filesystem::path& folder = {}) {
        std::filesystem::create_directories(m_Dir.Path() / folder);
        sample::DemoFiles files;
        EXPECT_TRUE(sample::WriteDemo(Utf8FromPath(m_Dir.Path() / folder), files));
        return files;
    }

    testsupport::TempDir m_Dir;
};

}  // namespace apptest
