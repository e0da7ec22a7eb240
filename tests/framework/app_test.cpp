// The application object, the window base, the window-class wrapper and the error box.

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "FrameworkTest.h"
#include "framework/Dialog.h"
#include "framework/Frame.h"

using namespace Windows;
using fwtest::ErrorBoxText;
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
        ASSERT_EQ(CApp::GetApp(), &first);
        const DWORD index = CApp::GetTlsIndex();
        ASSERT_NE(index, TLS_OUT_OF_INDEXES);

        SetLastError(1234);
        {
            CApp second(Instance());
            std::vector<fwtest::Box> boxes = TakeBoxes();
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text,
                      ErrorBoxText("Error!  An instance of CApp (or a class derrived from CApp) "
                                   "is already running",
                                   1234));
            EXPECT_EQ(boxes[0].caption, "Exception");
            EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_ICONEXCLAMATION));
            EXPECT_EQ(boxes[0].owner, nullptr);
            EXPECT_EQ(CApp::GetApp(), &first);
        }
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
        EXPECT_EQ(TakeErrorTexts(), Texts{"Framework has not been successfully initialised."});
        EXPECT_EQ(window.Create(nullptr), nullptr);
        EXPECT_EQ(window.CreateEx(0, "Anything", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr),
                  nullptr);
        EXPECT_EQ(TakeErrorTexts(), (Texts{"CWin::CreateEx ... Unable to create window",
                                           "CWin::CreateEx ... Unable to create window"}));
        EXPECT_TRUE(window.m_Messages.empty());

        CWndClass wndClass("NoAppClass");
        EXPECT_FALSE(wndClass.Register());
        EXPECT_EQ(TakeErrorTexts(), (Texts{"Framework has not been initialised successfully.",
                                           "Failed to register Window Class"}));

        EXPECT_EQ(LoadString(101), "");
        EXPECT_EQ(TakeErrorTexts(), Texts{"Framework has not been initialised successfully."});

        CDialog dialog(301, nullptr);
        TakeBoxes();
        EXPECT_EQ(dialog.DoModal(), 0);
        EXPECT_EQ(dialog.Create(), nullptr);
        EXPECT_EQ(TakeErrorTexts(), (Texts{"Framework has not been successfully initialised.",
                                           "Framework has not been successfully initialised."}));

        RecordingWin view;
        CFrame frame;
        frame.SetView(&view);
        TakeBoxes();
        EXPECT_EQ(frame.Create(), nullptr);
        EXPECT_EQ(TakeErrorTexts(), Texts{"CFrame::CreateEx ... Unable to create window"});
    }
    EXPECT_TRUE(TakeBoxes().empty());
}

TEST_F(WindowTest, AWindowObjectReceivesItsVeryFirstMessages) {
    RecordingWin top;
    HWND topWindow = top.Create(nullptr);
    ASSERT_NE(topWindow, nullptr);
    EXPECT_EQ(top.GetHwnd(), topWindow);
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
    EXPECT_EQ(TakeErrorTexts(), (Texts{"CWin::CreateEx ... Window already exists",
                                       "CWin::CreateEx ... Window already exists"}));
    EXPECT_TRUE(IsWindow(first));

    // Once the window is gone the object forgets it and can make a new one.
    DestroyWindow(first);
    EXPECT_EQ(window.GetHwnd(), nullptr);
    HWND second = window.Create(nullptr);
    EXPECT_NE(second, nullptr);
    EXPECT_TRUE(IsWindow(second));
}

TEST_F(WindowTest, RegisteringARegisteredClassSucceedsWithoutRegisteringAgain) {
    const char* name = "FrameworkTestClass";
    CWndClass first(name);
    WNDCLASSEXA record;
    first.GetWndClass(record);
    record.style = CS_HREDRAW;
    first.SetWndClass(record);
    EXPECT_TRUE(first.Register());
    EXPECT_TRUE(first.Register());

    CWndClass second(name);
    second.GetWndClass(record);
    record.style = CS_VREDRAW;
    second.SetWndClass(record);
    EXPECT_TRUE(second.Register());

    WNDCLASSEXA registered{};
    registered.cbSize = sizeof registered;
    ASSERT_TRUE(GetClassInfoExA(Instance(), name, &registered));
    EXPECT_EQ(registered.style, static_cast<UINT>(CS_HREDRAW));
    EXPECT_EQ(registered.lpfnWndProc, &CWin::StaticWindowProc);
    EXPECT_TRUE(UnregisterClassA(name, Instance()));
}

TEST_F(WindowTest, AWindowClassKeepsItsOwnNameAndTheFrameworkProcedure) {
    CWndClass wndClass("Defaults");
    WNDCLASSEXA record;
    wndClass.GetWndClass(record);
    EXPECT_EQ(record.cbSize, sizeof(WNDCLASSEXA));
    EXPECT_STREQ(record.lpszClassName, "Defaults");

    // A record whose name and procedure belong to someone else.
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

    // Names are cut at 255 characters.
    CWndClass longName(std::string(300, 'n').c_str());
    longName.GetWndClass(record);
    EXPECT_EQ(std::string(record.lpszClassName), std::string(255, 'n'));

    CWndClass empty("");
    EXPECT_FALSE(empty.Register());
    EXPECT_EQ(TakeErrorTexts(), (Texts{"A NULL string was provided as the classname",
                                       "Failed to register Window Class"}));
}

TEST_F(WindowTest, TheErrorBoxShowsTextAndCodeWithinItsBuffer) {
    SetLastError(5);
    CWinException error("Load String failed");
    EXPECT_EQ(error.GetCode(), 5u);
    EXPECT_STREQ(error.GetText(), "Load String failed");
    error.ShowErrorBox();
    std::vector<fwtest::Box> boxes = TakeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Load String failed\n\n     GetLastError returned: 5\n\n");
    EXPECT_EQ(boxes[0].caption, "Exception");
    EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_ICONEXCLAMATION));

    const std::string longText(400, 'x');
    CWinException(longText.c_str()).ShowErrorBox();
    boxes = TakeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, std::string(249, 'x'));
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
    EXPECT_EQ(box.text, ErrorBoxText("Load String failed", code));
    EXPECT_EQ(box.owner, nullptr);
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
    std::vector<fwtest::Box> boxes = TakeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Unknown Error");
    EXPECT_EQ(boxes[0].caption, "Exception");

    EXPECT_EQ(SendMessageA(handle, WM_APP, 0, 0), 0);
    EXPECT_EQ(TakeErrorTexts(), Texts{"ThrowingWin ... refused"});
    EXPECT_EQ(SendMessageA(handle, WM_APP + 1, 0, 0), 0);
    boxes = TakeBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Exception occurred CWin::StaticWindowProc");
    EXPECT_EQ(boxes[0].caption, "Exception");
    EXPECT_TRUE(IsWindow(handle));

    // A window of a framework class made behind the framework's back has no object:
    // every message is reported and answered with 0, so it is never made.
    EXPECT_EQ(CreateWindowExA(0, "Default Class Name .. .", "", WS_POPUP, 0, 0, 10, 10, nullptr,
                              nullptr, Instance(), nullptr),
              nullptr);
    Texts texts = TakeErrorTexts();
    ASSERT_FALSE(texts.empty());
    for (const std::string& text : texts)
        EXPECT_EQ(text, "CWin::StaticWindowProc ...  Invalid Pointer");
}
