// Dialogs from resources and from memory, modal and modeless, and where they appear.

#include <string>
#include <vector>

#include "FrameworkTest.h"
#include "framework/Dialog.h"

using namespace Windows;
using fwtest::AnswerDialogLater;
using fwtest::TakeErrorTexts;
using fwtest::TakeSeenDialog;
using fwtest::WindowRect;
using Texts = std::vector<std::string>;

namespace {

RECT WorkArea() {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

double CentreX(const RECT& r) {
    return (r.left + r.right) / 2.0;
}
double CentreY(const RECT& r) {
    return (r.top + r.bottom) / 2.0;
}

// A dialog template in memory: no controls, no menu, the standard class.
struct MemoryTemplate {
    DLGTEMPLATE dialog{DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0, 120, 40};
    WORD menu = 0, windowClass = 0;
    wchar_t caption[7] = L"Memory";
};
alignas(4) const MemoryTemplate kMemory;
const DLGTEMPLATE* MemoryDialog() {
    return &kMemory.dialog;
}

using DialogTest = fwtest::FrameworkTest;

}  // namespace

TEST_F(DialogTest, CommandsOneAndTwoEndAModalDialogEvenTwice) {
    CDialog dialog(301, nullptr);
    AnswerDialogLater(WM_COMMAND, IDOK);
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(dialog.GetHwnd(), nullptr);
    fwtest::SeenDialog seen = TakeSeenDialog();
    EXPECT_EQ(seen.caption, "About");
    EXPECT_EQ(seen.text, "Framework test dialog");

    // Cancel, and the close box asking for it.
    for (UINT message : {WM_COMMAND, WM_CLOSE}) {
        AnswerDialogLater(message, IDCANCEL);
        EXPECT_EQ(dialog.DoModal(), 2) << message;
        EXPECT_EQ(dialog.GetHwnd(), nullptr);
        EXPECT_TRUE(TakeSeenDialog().found);
    }

    CDialog fromMemory(MemoryDialog(), nullptr);
    AnswerDialogLater(WM_COMMAND, IDOK);
    EXPECT_EQ(fromMemory.DoModal(), 1);
    EXPECT_EQ(TakeSeenDialog().caption, "Memory");
}

TEST_F(DialogTest, AModelessDialogLivesUntilItsCommand) {
    for (CDialog* dialog : {new CDialog(301, nullptr), new CDialog(MemoryDialog(), nullptr)}) {
        HWND window = dialog->Create();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(dialog->GetHwnd(), window);
        // A second run while the window exists is refused.
        EXPECT_EQ(dialog->Create(), nullptr);
        EXPECT_EQ(dialog->DoModal(), 0);
        EXPECT_EQ(TakeErrorTexts(), Texts(2, "CDialog::Create ... Window already exists"));

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
    const RECT work = WorkArea();
    fwtest::RecordingWin parent;
    auto placeOver = [&parent](const RECT& place) {
        parent.Destroy();
        parent.CreateEx(0, nullptr, "parent", WS_POPUP | WS_VISIBLE, place, nullptr, nullptr);
        EXPECT_EQ(WindowRect(parent.GetHwnd()).left, place.left);
        CDialog dialog(301, parent.GetHwnd());
        return WindowRect(dialog.Create());
    };
    RECT rect = placeOver({100, 120, 700, 520});
    EXPECT_NEAR(CentreX(rect), 400, 1);
    EXPECT_NEAR(CentreY(rect), 320, 1);
    // A parent hanging off the right, and one off the top left.
    rect = placeOver({work.right - 150, 200, work.right + 450, 600});
    EXPECT_EQ(rect.right, work.right);
    EXPECT_NEAR(CentreY(rect), 400, 1);
    rect = placeOver({-400, -300, 200, 100});
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);

    // Without a parent: over the work area.
    CDialog alone(301, nullptr);
    AnswerDialogLater(WM_COMMAND, IDOK);
    EXPECT_EQ(alone.DoModal(), 1);
    rect = TakeSeenDialog().rect;
    EXPECT_NEAR(CentreX(rect), CentreX(work), 1);
    EXPECT_NEAR(CentreY(rect), CentreY(work), 1);

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
    EXPECT_EQ(TakeErrorTexts(), Texts{"CDialog::Create ... Failed to create dialog"});

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
    Texts texts = TakeErrorTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts, Texts(texts.size(), "CDialog::StaticCBTProc ... Invalid Pointer"));
}
