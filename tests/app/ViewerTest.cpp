#include "ViewerTest.h"

#include <filesystem>

namespace apptest {

void ViewerTest::RunTicks(int count) {
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

sample::DemoFiles ViewerTest::WriteDemo(const std::u8string& folder) {
    std::filesystem::create_directories(m_Dir.Path() / folder);
    sample::DemoFiles files;
    EXPECT_TRUE(sample::WriteDemo(testsupport::Utf8(m_Dir.Path() / folder), files));
    return files;
}

}  // namespace apptest
