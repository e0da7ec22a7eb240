#include "ViewerTest.h"

#include <filesystem>

namespace apptest {

namespace {

const char kRecorder[] = "MessageRecorder";

}  // namespace

MessageRecorder::MessageRecorder(HWND window, UINT message) : m_hWnd(window), m_Message(message) {
    SetPropA(window, kRecorder, this);
    m_Original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
}

MessageRecorder::~MessageRecorder() {
    if (!IsWindow(m_hWnd))
        return;
    SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_Original));
    RemovePropA(m_hWnd, kRecorder);
}

LRESULT CALLBACK MessageRecorder::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* recorder = static_cast<MessageRecorder*>(GetPropA(window, kRecorder));
    if (message == recorder->m_Message)
        recorder->m_Seen.push_back(wParam);
    return CallWindowProcA(recorder->m_Original, window, message, wParam, lParam);
}

void ViewerTest::InDialogOf(UINT command, std::function<void(HWND)> body) {
    fwtest::InDialogLater(std::move(body));
    Command(command);
    EXPECT_TRUE(fwtest::TakeDialogRan()) << "no dialog for command " << command;
}

void ViewerTest::RunTicks(int count) {
    const WPARAM tick = View().GetFrameTimer();
    const DWORD start = GetTickCount();
    MSG msg;
    for (int ticks = 0; ticks < count;) {
        ASSERT_LT(GetTickCount() - start, 10000u) << ticks << " ticks in ten seconds";
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            continue;
        }
        ticks += msg.message == WM_TIMER && !msg.hwnd && msg.wParam == tick;
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
