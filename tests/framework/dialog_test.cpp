// Dialogs from resources and from memory, modal and modeless, and where they appear.

#include <algorithm>
#include <string>
#include <vector>

#include "FrameworkTest.h"
#include "framework/Dialog.h"

using namespace Windows;
using fwtest::AnswerDialogLater;
using fwtest::RecordingWin;
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

class DialogTest : public fwtest::FrameworkTest {};

// Where a dialog of this size belongs over the reference rectangle.
POINT Centred(const RECT& reference, const RECT& dialog) {
    const RECT work = WorkArea();
    const int width = dialog.right - dialog.left;
    const int height = dialog.bottom - dialog.top;
    LONG x = reference.left + (reference.right - reference.left - width) / 2;
    LONG y = reference.top + (reference.bottom - reference.top - height) / 2;
    x = std::min(std::max(x, 0L), work.right - width);
    y = std::min(std::max(y, 0L), work.bottom - height);
    return {x, y};
}

// A dialog template in memory: caption "Memory", one OK button.
class MemoryTemplate {
  public:
    MemoryTemplate() {
        auto* dialog = reinterpret_cast<DLGTEMPLATE*>(m_Words);
        dialog->style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        dialog->cdit = 1;
        dialog->cx = 120;
        dialog->cy = 40;
        WORD* word = reinterpret_cast<WORD*>(dialog + 1);
        *word++ = 0;  // no menu
        *word++ = 0;  // the standard class
        word = Text(word, L"Memory");
        word = Align(word);
        auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(word);
        item->style = WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON;
        item->x = 35;
        item->y = 20;
        item->cx = 50;
        item->cy = 14;
        item->id = IDOK;
        word = reinterpret_cast<WORD*>(item + 1);
        *word++ = 0xFFFF;
        *word++ = 0x0080;  // button
        word = Text(word, L"OK");
        *word++ = 0;  // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_Words); }

  private:
    static WORD* Text(WORD* word, const wchar_t* text) {
        for (; *text; ++text)
            *word++ = static_cast<WORD>(*text);
        *word++ = 0;
        return word;
    }
    WORD* Align(WORD* word) {
        auto offset = reinterpret_cast<BYTE*>(word) - reinterpret_cast<BYTE*>(m_Words);
        return reinterpret_cast<WORD*>(reinterpret_cast<BYTE*>(m_Words) + ((offset + 3) & ~3));
    }

    alignas(4) DWORD m_Words[64] = {};
};

}  // namespace

TEST_F(DialogTest, CommandsOneAndTwoEndAModalDialogEvenTwice) {
    CDialog dialog(301, nullptr);
    AnswerDialogLater(WM_COMMAND, IDOK);
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(dialog.GetHwnd(), nullptr);
    fwtest::SeenDialog seen = TakeSeenDialog();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, "About");
    EXPECT_EQ(seen.text, "Framework test dialog");

    AnswerDialogLater(WM_COMMAND, IDCANCEL);
    EXPECT_EQ(dialog.DoModal(), 2);
    EXPECT_EQ(dialog.GetHwnd(), nullptr);
    EXPECT_TRUE(TakeSeenDialog().found);

    // The close box asks for Cancel.
    AnswerDialogLater(WM_CLOSE);
    EXPECT_EQ(dialog.DoModal(), 2);
    EXPECT_TRUE(TakeSeenDialog().found);

    MemoryTemplate memory;
    CDialog fromMemory(memory.Get(), nullptr);
    AnswerDialogLater(WM_COMMAND, IDOK);
    EXPECT_EQ(fromMemory.DoModal(), 1);
    seen = TakeSeenDialog();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, "Memory");
}

TEST_F(DialogTest, AModelessDialogLivesUntilItsCommand) {
    MemoryTemplate memory;
    for (CDialog* dialog : {new CDialog(301, nullptr), new CDialog(memory.Get(), nullptr)}) {
        HWND window = dialog->Create();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(dialog->GetHwnd(), window);

        // A second run while the window exists is refused.
        EXPECT_EQ(dialog->Create(), nullptr);
        EXPECT_EQ(dialog->DoModal(), 0);
        EXPECT_EQ(TakeErrorTexts(), (Texts{"CDialog::Create ... Window already exists",
                                           "CDialog::Create ... Window already exists"}));

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

TEST_F(DialogTest, ADialogIsCentredOverItsParent) {
    const RECT work = WorkArea();
    RecordingWin parent;
    const RECT places[] = {
        {100, 120, 700, 520},                            // well inside
        {work.right - 150, 200, work.right + 450, 600},  // hanging off the right
        {-400, -300, 200, 100},                          // off the top left
    };
    for (const RECT& place : places) {
        parent.Destroy();
        ASSERT_NE(
            parent.CreateEx(0, nullptr, "parent", WS_POPUP | WS_VISIBLE, place, nullptr, nullptr),
            nullptr);
        ASSERT_EQ(WindowRect(parent.GetHwnd()).left, place.left);
        CDialog dialog(301, parent.GetHwnd());
        HWND window = dialog.Create();
        ASSERT_NE(window, nullptr);
        const RECT rect = WindowRect(window);
        const POINT expected = Centred(place, rect);
        EXPECT_EQ(rect.left, expected.x) << place.left;
        EXPECT_EQ(rect.top, expected.y) << place.top;
        EXPECT_GE(rect.left, 0);
        EXPECT_LE(rect.right, work.right);
    }
    // The first one exactly: over the middle of the parent.
    parent.Destroy();
    parent.CreateEx(0, nullptr, "parent", WS_POPUP | WS_VISIBLE, places[0], nullptr, nullptr);
    CDialog over(301, parent.GetHwnd());
    const RECT rect = WindowRect(over.Create());
    EXPECT_NEAR((rect.left + rect.right) / 2.0, 400, 1);
    EXPECT_NEAR((rect.top + rect.bottom) / 2.0, 320, 1);
}

TEST_F(DialogTest, WithoutAParentADialogIsCentredOnTheWorkArea) {
    const RECT work = WorkArea();
    CDialog dialog(301, nullptr);
    AnswerDialogLater(WM_COMMAND, IDOK);
    EXPECT_EQ(dialog.DoModal(), 1);
    fwtest::SeenDialog seen = TakeSeenDialog();
    ASSERT_TRUE(seen.found);
    const POINT expected = Centred(work, seen.rect);
    EXPECT_EQ(seen.rect.left, expected.x);
    EXPECT_EQ(seen.rect.top, expected.y);
    EXPECT_GT(seen.rect.left, work.left);
    EXPECT_GT(seen.rect.top, work.top);
}

TEST_F(DialogTest, ADialogLargerThanTheWorkAreaSitsAtItsRightAndBottomLimits) {
    const RECT work = WorkArea();
    CDialog dialog(302, nullptr);
    HWND window = dialog.Create();
    ASSERT_NE(window, nullptr);
    const RECT rect = WindowRect(window);
    ASSERT_GT(rect.right - rect.left, work.right - work.left);
    ASSERT_GT(rect.bottom - rect.top, work.bottom - work.top);
    EXPECT_EQ(rect.right, work.right);
    EXPECT_EQ(rect.bottom, work.bottom);
    EXPECT_LT(rect.left, 0);
    EXPECT_LT(rect.top, 0);
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
    for (const std::string& text : texts)
        EXPECT_EQ(text, "CDialog::StaticCBTProc ... Invalid Pointer");
}
