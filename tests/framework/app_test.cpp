// The application object, the window base, the window-class wrapper and the error box.

#include <new>
#include <stdexcept>

#include "FrameworkTest.h"
#include "framework/Dialog.h"
#include "framework/Frame.h"

using namespace Windows;
using namespace fwtest;
using Texts = std::vector<std::string>;

namespace {

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

using NoAppTest = fwtest::WindowTest;
using CWinTest = FrameworkTest;

}  // namespace

TEST_F(NoAppTest, ASecondAppIsRefusedAndTheFirstFreesItsSlotForTheNext) {
    for (int run = 0; run < 2; ++run) {
        CApp first(Instance());
        const DWORD index = CApp::GetTlsIndex();
        ASSERT_NE(index, TLS_OUT_OF_INDEXES);
        { CApp second(Instance()); }
        EXPECT_EQ(TakeBoxes(), Texts{"Error!  An instance of CApp (or a class derrived from "
                                     "CApp) is already running"});
        // The refused one frees nothing of the first.
        EXPECT_EQ(CApp::GetApp(), &first);
        EXPECT_EQ(CApp::GetTlsIndex(), index);
        RecordingWin window;
        EXPECT_NE(window.Create(nullptr), nullptr);
    }
    EXPECT_EQ(CApp::GetApp(), nullptr);
    EXPECT_EQ(CApp::GetTlsIndex(), TLS_OUT_OF_INDEXES);
}

TEST_F(NoAppTest, WithoutAnAppEveryOperationReportsAndFails) {
    RecordingWin window;
    CWndClass wndClass("NoAppClass");
    CDialog dialog(301, nullptr);
    CFrame frame;
    frame.SetView(&window);
    EXPECT_EQ(TakeBoxes().size(), 6u);  // one for each object made
    EXPECT_EQ(window.Create(nullptr), nullptr);
    EXPECT_FALSE(wndClass.Register());
    EXPECT_EQ(LoadString(101), "");
    EXPECT_EQ(dialog.DoModal(), 0);
    EXPECT_EQ(dialog.Create(), nullptr);
    EXPECT_EQ(frame.Create(), nullptr);
    EXPECT_EQ(TakeBoxes().size(), 6u);  // one for each operation
    EXPECT_TRUE(window.m_Messages.empty());
}

TEST_F(CWinTest, AWindowObjectHasItsWindowFromItsFirstMessageUntilItsLast) {
    RecordingWin top, child;
    HWND topWindow = top.Create(nullptr);
    ASSERT_NE(topWindow, nullptr);
    ASSERT_EQ(GetParent(child.Create(topWindow)), topWindow);
    // Without its object from the very first message, no window would be made.
    EXPECT_TRUE(top.Received(WM_NCCREATE) && child.Received(WM_CREATE));

    // A second Create reports and keeps the window, until the window is gone.
    EXPECT_EQ(top.Create(nullptr), topWindow);
    EXPECT_EQ(TakeBoxes(), Texts{"CWin::CreateEx ... Window already exists"});
    DestroyWindow(topWindow);
    EXPECT_EQ(top.GetHwnd(), nullptr);
    EXPECT_EQ(child.GetHwnd(), nullptr);
    EXPECT_TRUE(IsWindow(top.Create(nullptr)));

    // The message loop dispatches until WM_QUIT, and returns its code.
    PostMessageA(top.GetHwnd(), WM_APP, 0, 0);
    PostQuitMessage(7);
    EXPECT_EQ(m_App.MessageLoop(), 7);
    EXPECT_TRUE(top.Received(WM_APP));
}

TEST_F(CWinTest, AnObjectAboveFourGigabytesStaysTiedToItsWindow) {
    // The object pointer lives in the window's user data: all 64 bits of it must.
    void* memory = VirtualAlloc(nullptr, sizeof(RecordingWin),
                                MEM_RESERVE | MEM_COMMIT | MEM_TOP_DOWN, PAGE_READWRITE);
    ASSERT_NE(memory, nullptr);
    if (reinterpret_cast<UINT_PTR>(memory) <= 0xFFFFFFFFu) {
        VirtualFree(memory, 0, MEM_RELEASE);
        GTEST_SKIP() << "no memory above 4 GiB to place the object in";
    }
    auto* high = new (memory) RecordingWin;
    HWND window = high->Create(nullptr);
    ASSERT_NE(window, nullptr);
    SendMessageA(window, WM_APP, 0, 0);
    EXPECT_TRUE(high->Received(WM_APP));
    high->~RecordingWin();
    VirtualFree(memory, 0, MEM_RELEASE);
}

TEST_F(CWinTest, AWindowClassRegistersOnceUnderANameItOwns) {
    WNDCLASSEXA record;
    for (UINT style : {CS_HREDRAW, CS_VREDRAW}) {
        CWndClass wndClass("Defaults");
        wndClass.GetWndClass(record);
        std::string name = "FrameworkTestClass";
        record.lpszClassName = name.c_str();
        record.style = style;
        record.lpfnWndProc = DefWindowProcA;  // the framework's own goes back in
        wndClass.SetWndClass(record);
        name.assign("gone");  // the name was copied
        EXPECT_TRUE(wndClass.Register());
    }
    ASSERT_TRUE(GetClassInfoExA(Instance(), "FrameworkTestClass", &record));
    EXPECT_EQ(record.style, static_cast<UINT>(CS_HREDRAW));
    EXPECT_EQ(record.lpfnWndProc, &CWin::StaticWindowProc);
    EXPECT_TRUE(UnregisterClassA("FrameworkTestClass", Instance()));

    CWndClass longName(std::string(300, 'n').c_str());
    longName.GetWndClass(record);
    EXPECT_EQ(std::string(record.lpszClassName), std::string(255, 'n'));
    EXPECT_FALSE(CWndClass("").Register());
    EXPECT_EQ(TakeBoxes(), (Texts{"A NULL string was provided as the classname",
                                  "Failed to register Window Class"}));
}

TEST_F(CWinTest, LoadStringReadsTheTableAndAFailureShowsTheRealBox) {
    EXPECT_EQ(LoadString(116), "Show / Hide Toolbar");
    EXPECT_EQ(LoadString(120), std::string(255, 'L'));

    // Not there: the real box, as the system explains it.
    MessageBoxFunction recorder = SetMessageBoxFunction(nullptr);
    std::string text = "not empty", caption, shown;
    EXPECT_TRUE(InDialog([&] { text = LoadString(4000); },
                         [&](HWND box) {
                             caption = TextOf(box);
                             shown = StaticText(box);
                             EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
                             PostMessageA(box, WM_COMMAND, IDOK, 0);
                         }));
    SetMessageBoxFunction(recorder);
    EXPECT_EQ(text, "");
    EXPECT_EQ(caption, "Exception");
    EXPECT_TRUE(shown.starts_with("Load String failed\n\n     GetLastError returned: ")) << shown;

    // The code is the one at the time of the error; a long text is cut to the buffer.
    SetLastError(5);
    CWinException error("failed");
    SetLastError(0);
    EXPECT_EQ(error.GetCode(), 5u);
    CWinException(std::string(400, 'x').c_str()).ShowErrorBox();
    EXPECT_EQ(TakeBoxes(), Texts{std::string(249, 'x')});
}

namespace {

class ThrowingWin : public RecordingWin {
  public:
    void OnCreate() override { throw std::runtime_error("not a framework error"); }
    LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP)
            throw CWinException("ThrowingWin ... refused");
        if (message == WM_APP + 1)
            throw 42;
        return RecordingWin::WndProc(window, message, wParam, lParam);
    }
};

}  // namespace

TEST_F(CWinTest, NothingThrownLeavesTheFramework) {
    ThrowingWin window;
    HWND handle = window.Create(nullptr);
    ASSERT_NE(handle, nullptr);  // the window was made before OnCreate threw
    EXPECT_EQ(TakeBoxes("Exception", MB_OK), Texts{"Unknown Error"});
    EXPECT_EQ(SendMessageA(handle, WM_APP, 0, 0), 0);
    EXPECT_EQ(TakeBoxes(), Texts{"ThrowingWin ... refused"});
    EXPECT_EQ(SendMessageA(handle, WM_APP + 1, 0, 0), 0);
    EXPECT_EQ(TakeBoxes("Exception", MB_OK), Texts{"Exception occurred CWin::StaticWindowProc"});
    EXPECT_TRUE(IsWindow(handle));

    // A window of a framework class made behind the framework's back has no object:
    // every message is reported and answered with 0, so it is never made.
    EXPECT_EQ(CreateWindowExA(0, "Default Class Name .. .", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, Instance(), nullptr),
              nullptr);
    Texts texts = TakeBoxes();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts, Texts(texts.size(), "CWin::StaticWindowProc ...  Invalid Pointer"));
}
