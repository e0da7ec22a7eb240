// The application object, the window base, the window-class wrapper and the error box.

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "FrameworkTest.h"
#include "framework/Dialog.h"
#include "framework/Frame.h"

using namespace Windows;
using fwtest::RecordingWin;
using fwtest::TakeBoxes;
using fwtest::TakeErrorTexts;
using Texts = std::vector<std::string>;

namespace {

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

class WindowTest : public fwtest::FrameworkTest {};

}  // namespace

TEST(Application, ASecondAppIsRefusedAndTheFirstStaysRegistered) {
    ASSERT_EQ(CApp::GetApp(), nullptr);
    {
        CApp first(Instance());
        const DWORD index = CApp::GetTlsIndex();
        ASSERT_NE(index, TLS_OUT_OF_INDEXES);
        { CApp second(Instance()); }
        EXPECT_EQ(TakeErrorTexts(), Texts{"Error!  An instance of CApp (or a class derrived from "
                                          "CApp) is already running"});
        // The refused one frees nothing of the first.
        EXPECT_EQ(CApp::GetApp(), &first);
        EXPECT_EQ(CApp::GetTlsIndex(), index);
        RecordingWin window;
        EXPECT_NE(window.Create(nullptr), nullptr);
        EXPECT_TRUE(window.Received(WM_CREATE));
    }
    EXPECT_EQ(CApp::GetApp(), nullptr);
    EXPECT_EQ(CApp::GetTlsIndex(), TLS_OUT_OF_INDEXES);

    // The slot is free for the next application object.
    CApp again(Instance());
    EXPECT_EQ(CApp::GetApp(), &again);
    EXPECT_TRUE(TakeBoxes().empty());
}

TEST(Application, WithoutAnAppEveryOperationReportsAndFails) {
    ASSERT_EQ(CApp::GetApp(), nullptr);
    {
        RecordingWin window;
        CWndClass wndClass("NoAppClass");
        EXPECT_EQ(TakeErrorTexts(), (Texts{"Framework has not been successfully initialised.",
                                           "Framework has not been initialised successfully."}));
        RecordingWin view;
        CDialog dialog(301, nullptr);
        CFrame frame;
        frame.SetView(&view);
        TakeBoxes();
        EXPECT_EQ(window.Create(nullptr), nullptr);
        EXPECT_EQ(window.CreateEx(0, "Anything", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr),
                  nullptr);
        EXPECT_FALSE(wndClass.Register());
        EXPECT_EQ(LoadString(101), "");
        EXPECT_EQ(dialog.DoModal(), 0);
        EXPECT_EQ(dialog.Create(), nullptr);
        EXPECT_EQ(frame.Create(), nullptr);
        EXPECT_EQ(TakeErrorTexts(), (Texts{"CWin::CreateEx ... Unable to create window",
                                           "CWin::CreateEx ... Unable to create window",
                                           "Failed to register Window Class",
                                           "Framework has not been initialised successfully.",
                                           "Framework has not been successfully initialised.",
                                           "Framework has not been successfully initialised.",
                                           "CFrame::CreateEx ... Unable to create window"}));
        EXPECT_TRUE(window.m_Messages.empty());
    }
    EXPECT_TRUE(TakeBoxes().empty());
}

TEST_F(WindowTest, AWindowObjectReceivesItsVeryFirstMessages) {
    RecordingWin top;
    HWND topWindow = top.Create(nullptr);
    ASSERT_NE(topWindow, nullptr);
    EXPECT_EQ(top.m_hWndAtOnCreate, topWindow);
    EXPECT_EQ(fwtest::ClassOf(topWindow), "Default Class Name .. .");
    EXPECT_EQ(GetWindowLongPtrA(topWindow, GWL_STYLE) & (WS_OVERLAPPEDWINDOW | WS_VISIBLE),
              WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    EXPECT_EQ(GetWindowLongPtrA(topWindow, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&top));
    // A top-level window may be asked for its size limits before WM_NCCREATE.
    ASSERT_GE(top.m_Messages.size(), 2u);
    EXPECT_TRUE(top.m_Messages[0] == WM_NCCREATE ||
                (top.m_Messages[0] == WM_GETMINMAXINFO && top.m_Messages[1] == WM_NCCREATE));
    EXPECT_TRUE(top.Received(WM_CREATE));

    RecordingWin child;
    HWND childWindow = child.Create(topWindow);
    ASSERT_NE(childWindow, nullptr);
    EXPECT_EQ(GetParent(childWindow), topWindow);
    ASSERT_GE(child.m_Messages.size(), 2u);
    EXPECT_EQ(child.m_Messages[0], static_cast<UINT>(WM_NCCREATE));
    EXPECT_TRUE(child.Received(WM_CREATE));
}

TEST_F(WindowTest, AnObjectAboveFourGigabytesStaysTiedToItsWindow) {
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
    EXPECT_TRUE(high->Received(WM_CREATE));
    high->m_Messages.clear();
    SendMessageA(window, WM_APP, 0, 0);
    EXPECT_EQ(high->m_Messages, std::vector<UINT>{WM_APP});
    high->~RecordingWin();
    VirtualFree(memory, 0, MEM_RELEASE);
}

TEST_F(WindowTest, CreateExOnAnExistingWindowReportsAndKeepsIt) {
    RecordingWin window;
    HWND first = window.Create(nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(window.CreateEx(0, nullptr, "again", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr),
              first);
    EXPECT_EQ(window.Create(nullptr), first);
    EXPECT_EQ(TakeErrorTexts(), Texts(2, "CWin::CreateEx ... Window already exists"));
    EXPECT_TRUE(IsWindow(first));

    // Once the window is gone the object forgets it and can make a new one.
    DestroyWindow(first);
    EXPECT_EQ(window.GetHwnd(), nullptr);
    HWND second = window.Create(nullptr);
    EXPECT_NE(second, nullptr);
    EXPECT_TRUE(IsWindow(second));
}

TEST_F(WindowTest, AWindowClassRegistersOnceUnderANameItOwns) {
    WNDCLASSEXA record;
    auto withStyle = [&record](const char* name, UINT style) {
        CWndClass wndClass(name);
        wndClass.GetWndClass(record);
        record.style = style;
        wndClass.SetWndClass(record);
        return wndClass;
    };
    CWndClass first = withStyle("FrameworkTestClass", CS_HREDRAW);
    EXPECT_TRUE(first.Register());
    EXPECT_TRUE(first.Register());
    EXPECT_TRUE(withStyle("FrameworkTestClass", CS_VREDRAW).Register());
    WNDCLASSEXA registered = record;
    ASSERT_TRUE(GetClassInfoExA(Instance(), "FrameworkTestClass", &registered));
    EXPECT_EQ(registered.style, static_cast<UINT>(CS_HREDRAW));
    EXPECT_EQ(registered.lpfnWndProc, &CWin::StaticWindowProc);
    EXPECT_TRUE(UnregisterClassA("FrameworkTestClass", Instance()));

    // A record whose name and procedure belong to someone else.
    CWndClass wndClass("Defaults");
    {
        std::string foreign = "Renamed";
        record.lpszClassName = foreign.c_str();
        record.lpfnWndProc = DefWindowProcA;
        wndClass.SetWndClass(record);
        foreign.assign("gone");
    }
    wndClass.GetWndClass(record);
    EXPECT_STREQ(record.lpszClassName, "Renamed");
    EXPECT_EQ(record.lpfnWndProc, &CWin::StaticWindowProc);

    // A copy owns its name: it outlives the original.
    auto* original = new CWndClass("CopiedClass");
    CWndClass copy(*original);
    delete original;
    copy.GetWndClass(record);
    EXPECT_STREQ(record.lpszClassName, "CopiedClass");
    EXPECT_TRUE(copy.Register());
    EXPECT_TRUE(UnregisterClassA("CopiedClass", Instance()));

    CWndClass(std::string(300, 'n').c_str()).GetWndClass(record);
    EXPECT_EQ(std::string(record.lpszClassName), std::string(255, 'n'));
    EXPECT_FALSE(CWndClass("").Register());
    EXPECT_EQ(TakeErrorTexts(), (Texts{"A NULL string was provided as the classname",
                                       "Failed to register Window Class"}));
}

TEST_F(WindowTest, LoadStringReadsTheTableAndAFailureShowsTheRealBox) {
    EXPECT_EQ(LoadString(101), "Main Frame");
    EXPECT_EQ(LoadString(116), "Show / Hide Toolbar");
    EXPECT_EQ(LoadString(120), std::string(255, 'L'));

    // What the system says about a string that is not there.
    char buffer[256];
    SetLastError(0);
    ASSERT_EQ(LoadStringA(Instance(), 4000, buffer, sizeof buffer), 0);
    const DWORD code = GetLastError();

    MessageBoxFunction recorder = SetMessageBoxFunction(nullptr);
    fwtest::AnswerDialogLater(WM_COMMAND, IDOK);
    SetLastError(0);
    std::string text = LoadString(4000);
    SetMessageBoxFunction(recorder);

    EXPECT_EQ(text, "");
    fwtest::SeenDialog box = fwtest::TakeSeenDialog();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.caption, "Exception");
    EXPECT_EQ(box.text, "Load String failed\n\n     GetLastError returned: " +
                            std::to_string(static_cast<int>(code)) + "\n\n");
    EXPECT_EQ(box.owner, nullptr);

    // The code is the one at the time of the error; a long text is cut to the buffer.
    SetLastError(5);
    CWinException error("Load String failed");
    SetLastError(0);
    EXPECT_EQ(error.GetCode(), 5u);
    EXPECT_STREQ(error.GetText(), "Load String failed");
    CWinException(std::string(400, 'x').c_str()).ShowErrorBox();
    EXPECT_EQ(fwtest::TakeBoxTexts("Exception", MB_ICONEXCLAMATION), Texts{std::string(249, 'x')});
}

TEST_F(WindowTest, TheMessageLoopDispatchesUntilQuit) {
    RecordingWin window;
    ASSERT_NE(window.Create(nullptr), nullptr);
    PostMessageA(window.GetHwnd(), WM_APP + 3, 0, 0);
    PostQuitMessage(7);
    EXPECT_EQ(m_App.MessageLoop(), 7);
    EXPECT_TRUE(window.Received(WM_APP + 3));
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

TEST_F(WindowTest, NothingThrownLeavesTheFramework) {
    ThrowingWin window;
    HWND handle = window.Create(nullptr);
    ASSERT_NE(handle, nullptr);  // the window was made before OnCreate threw
    EXPECT_EQ(fwtest::TakeBoxTexts("Exception", MB_OK), Texts{"Unknown Error"});
    EXPECT_EQ(SendMessageA(handle, WM_APP, 0, 0), 0);
    EXPECT_EQ(TakeErrorTexts(), Texts{"ThrowingWin ... refused"});
    EXPECT_EQ(SendMessageA(handle, WM_APP + 1, 0, 0), 0);
    EXPECT_EQ(fwtest::TakeBoxTexts("Exception", MB_OK),
              Texts{"Exception occurred CWin::StaticWindowProc"});
    EXPECT_TRUE(IsWindow(handle));

    // A window of a framework class made behind the framework's back has no object:
    // every message is reported and answered with 0, so it is never made.
    EXPECT_EQ(CreateWindowExA(0, "Default Class Name .. .", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, Instance(), nullptr),
              nullptr);
    Texts texts = TakeErrorTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts, Texts(texts.size(), "CWin::StaticWindowProc ...  Invalid Pointer"));
}
