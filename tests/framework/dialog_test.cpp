// Dialogs from resources and from memory, modal and modeless, and where they appear.

#include "framework/Dialog.h"
#include "FrameworkTest.h"

using namespace Windows;
using namespace fwtest;
using Texts = std::vector<std::string>;

namespace {

// A dialog template in memory: no controls, no menu, the standard class.
struct MemoryTemplate {
    DLGTEMPLATE dialog{DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0, 120, 40};
    WORD menu = 0, windowClass = 0;
    wchar_t caption[7] = L"Memory";
};
alignas(4) const MemoryTemplate kMemory;

POINT Centre(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

using DialogTest = FrameworkTest;

}  // namespace

TEST_F(DialogTest, CommandsOneAndTwoEndAModalDialog) {
    CDialog fromResource(301, nullptr), fromMemory(&kMemory.dialog, nullptr);
    // OK, Cancel, and the close box asking for Cancel.
    for (auto [message, command, result] :
         {std::tuple{WM_COMMAND, IDOK, 1}, {WM_COMMAND, IDCANCEL, 2}, {WM_CLOSE, 0, 2}}) {
        for (CDialog* dialog : {&fromResource, &fromMemory}) {
            std::string caption;
            INT_PTR ended = 0;
            EXPECT_TRUE(InDialog([&] { ended = dialog->DoModal(); },
                                 [&](HWND window) {
                                     caption = TextOf(window);
                                     PostMessageA(window, message, command, 0);
                                 }));
            EXPECT_EQ(ended, result) << message << " " << command;
            EXPECT_EQ(caption, dialog == &fromMemory ? "Memory" : "About");
            EXPECT_EQ(dialog->GetHwnd(), nullptr);
        }
    }
}

TEST_F(DialogTest, AModelessDialogLivesUntilItsCommand) {
    for (CDialog* dialog : {new CDialog(301, nullptr), new CDialog(&kMemory.dialog, nullptr)}) {
        HWND window = dialog->Create();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(dialog->GetHwnd(), window);
        // A second run while the window exists is refused.
        EXPECT_EQ(dialog->Create(), nullptr);
        EXPECT_EQ(dialog->DoModal(), 0);
        EXPECT_EQ(TakeBoxes(), Texts(2, "CDialog::Create ... Window already exists"));
        SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(dialog->GetHwnd(), nullptr);
        delete dialog;
    }
    // Destroying the object takes an open dialog with it.
    auto* open = new CDialog(301, nullptr);
    HWND window = open->Create();
    ASSERT_NE(window, nullptr);
    delete open;
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(DialogTest, ADialogIsCentredAndKeptOnTheWorkArea) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RecordingWin parent;
    auto placeOver = [&parent](RECT place) {
        parent.Destroy();
        parent.CreateEx(0, nullptr, "parent", WS_POPUP | WS_VISIBLE, place, nullptr, nullptr);
        CDialog dialog(301, parent.GetHwnd());
        return WindowRect(dialog.Create());
    };
    RECT rect = placeOver({100, 120, 700, 520});
    EXPECT_NEAR(Centre(rect).x, 400, 1);
    EXPECT_NEAR(Centre(rect).y, 320, 1);
    // A parent hanging off the right, and one off the top left.
    rect = placeOver({work.right - 150, 200, work.right + 450, 600});
    EXPECT_EQ(rect.right, work.right);
    EXPECT_NEAR(Centre(rect).y, 400, 1);
    rect = placeOver({-400, -300, 200, 100});
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);

    // Without a parent, over the work area.
    CDialog alone(301, nullptr);
    EXPECT_TRUE(InDialog([&] { alone.DoModal(); },
                         [&](HWND window) {
                             rect = WindowRect(window);
                             PostMessageA(window, WM_COMMAND, IDOK, 0);
                         }));
    EXPECT_NEAR(Centre(rect).x, Centre(work).x, 1);
    EXPECT_NEAR(Centre(rect).y, Centre(work).y, 1);

    // Larger than the work area: at its right and bottom limits.
    CDialog large(302, nullptr);
    rect = WindowRect(large.Create());
    ASSERT_GT(rect.right - rect.left, work.right - work.left);
    ASSERT_GT(rect.bottom - rect.top, work.bottom - work.top);
    EXPECT_EQ(rect.right, work.right);
    EXPECT_EQ(rect.bottom, work.bottom);
}

TEST_F(DialogTest, AMissingDialogResourceLeavesNoHookBehind) {
    CDialog missing(999, nullptr);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_EQ(missing.Create(), nullptr);
    EXPECT_EQ(TakeBoxes(), Texts{"CDialog::Create ... Failed to create dialog"});

    // The next window made on the thread is nobody's.
    HWND plain = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(plain, GWLP_USERDATA), 0);
    DestroyWindow(plain);

    // A dialog on the framework's procedure made behind its back has no object: each
    // message is reported and left to the system's defaults.
    HWND orphan = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(301), nullptr,
                                     CDialog::StaticDialogProc, 0);
    ASSERT_NE(orphan, nullptr);
    DestroyWindow(orphan);
    Texts texts = TakeBoxes();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts, Texts(texts.size(), "CDialog::StaticCBTProc ... Invalid Pointer"));
}
