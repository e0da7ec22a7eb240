// The frame with its menu, toolbar, status bar, view and About dialog, on real windows.

#include <array>
#include <tuple>

#include "FrameworkTest.h"
#include "framework/Frame.h"
#include "framework/FrameworkIds.h"

using namespace Windows;

namespace {

// (style, command id): a plain button, a check group of three, a check button.
const BYTE kTestTable[] = {0, 108, 1, 0, 6, 113, 6, 114, 6, 115, 1, 0, 2, 109};

class TestFrame : public CFrame {
  public:
    void SetButtons() override { SetButtonTable(kTestTable, sizeof kTestTable / 2); }
};

class FrameTest : public fwtest::FrameworkTest {
  protected:
    void SetUp() override {
        m_Frame.SetView(&m_View);
        ASSERT_NE(m_Frame.Create(), nullptr);
        MoveWindow(Frame(), 20, 20, 640, 480, TRUE);
    }

    HWND Frame() { return m_Frame.GetHwnd(); }
    HWND ToolBar() { return m_Frame.GetToolBar().GetHwnd(); }
    HWND StatusBar() { return m_Frame.GetStatusBar().GetHwnd(); }
    void Command(WORD id) { SendMessageA(Frame(), WM_COMMAND, id, 0); }
    // A window's place in the frame's client area.
    std::array<LONG, 4> Place(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        MapWindowPoints(nullptr, Frame(), reinterpret_cast<POINT*>(&r), 2);
        return {r.left, r.top, r.right, r.bottom};
    }
    std::string Status(int part = 0) {
        char text[256] = {};
        SendMessageA(StatusBar(), SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
        return text;
    }

    CWin m_View;
    TestFrame m_Frame;
};

}  // namespace

TEST_F(FrameTest, TheViewFillsWhatTheVisibleBarsLeave) {
    RECT client{};
    GetClientRect(Frame(), &client);
    const LONG toolBar = Place(ToolBar())[3], statusBar = client.bottom - Place(StatusBar())[1];
    ASSERT_GT(toolBar, 0);
    ASSERT_GT(statusBar, 0);
    auto checked = [this](UINT item) {
        return (GetMenuState(GetMenu(Frame()), item, MF_BYCOMMAND) & MF_CHECKED) != 0;
    };
    // Toggle toolbar, status bar, toolbar, status bar: each bar hidden, both, neither.
    // clang-format off
    const std::tuple<WORD, bool, bool> steps[] = {
        {0, true, true},
        {IDM_TOOLBAR, false, true},
        {IDM_STATUSBAR, false, false},
        {IDM_TOOLBAR, true, false},
        {IDM_STATUSBAR, true, true}};
    // clang-format on
    for (auto [command, tool, status] : steps) {
        SCOPED_TRACE(command);
        Command(command);
        EXPECT_EQ((std::array{IsWindowVisible(ToolBar()) != 0, checked(IDM_TOOLBAR),
                              IsWindowVisible(StatusBar()) != 0, checked(IDM_STATUSBAR)}),
                  (std::array{tool, tool, status, status}));
        EXPECT_EQ(Place(m_View.GetHwnd()), (std::array{0L, tool ? toolBar : 0L, client.right,
                                                       client.bottom - (status ? statusBar : 0L)}));
    }
}

TEST_F(FrameTest, TheStatusBarShowsTheLockKeysBesideTheText) {
    BYTE saved[256], keys[256];
    ASSERT_TRUE(GetKeyboardState(saved));
    std::copy(saved, saved + 256, keys);
    for (bool capsAndScroll : {true, false}) {
        keys[VK_CAPITAL] = keys[VK_SCROLL] = capsAndScroll;  // toggled on or off
        keys[VK_NUMLOCK] = !capsAndScroll;
        SetKeyboardState(keys);
        m_Frame.GetStatusBar().SetText("Open File");
        EXPECT_EQ((std::array{Status(), Status(1), Status(2), Status(3)}),
                  (capsAndScroll ? std::array<std::string, 4>{"Open File", "\tCAP", "", "\tSCRL"}
                                 : std::array<std::string, 4>{"Open File", "", "\tNUM", ""}));
    }
    // A key pressed in a child control may change them: its notification (a rich
    // edit's is 0x700) puts "Ready" back with the keys as they are; others do not.
    const std::pair<UINT, bool> notifications[] = {{UINT(LVN_KEYDOWN), true},
                                                   {UINT(TVN_KEYDOWN), true},
                                                   {UINT(TCN_KEYDOWN), true},
                                                   {0x700, true},
                                                   {UINT(NM_CLICK), false}};
    for (auto [code, refreshes] : notifications) {
        keys[VK_CAPITAL] = 0;
        SetKeyboardState(keys);
        m_Frame.GetStatusBar().SetText("busy");
        keys[VK_CAPITAL] = 1;
        SetKeyboardState(keys);
        NMHDR header{ToolBar(), 0, code};
        SendMessageA(Frame(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
        using Shown = std::pair<std::string, std::string>;
        EXPECT_EQ(Shown(Status(), Status(1)),
                  refreshes ? Shown("Ready", "\tCAP") : Shown("busy", ""))
            << code;
    }
    SetKeyboardState(saved);
}

TEST_F(FrameTest, ToolbarImagesCountTheButtonsOnly) {
    std::vector<std::array<int, 3>> rows;  // (style, id, image), the image -1 for a separator
    for (int i = 0; i < SendMessageA(ToolBar(), TB_BUTTONCOUNT, 0, 0); ++i) {
        TBBUTTON b{};
        SendMessageA(ToolBar(), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
        rows.push_back({b.fsStyle, b.idCommand, b.fsStyle == TBSTYLE_SEP ? -1 : b.iBitmap});
    }
    // clang-format off
    EXPECT_EQ(rows, (std::vector<std::array<int, 3>>{
        {0, 108, 0}, {1, 0, -1}, {6, 113, 1}, {6, 114, 2}, {6, 115, 3}, {1, 0, -1}, {2, 109, 4}}));
    // clang-format on
}

TEST_F(FrameTest, TipsHotItemsAndMenuHighlightsShowTheCommandText) {
    // The tooltip reads its text after the notification has returned.
    NMTTDISPINFOA info{};
    info.hdr = {ToolBar(), 113, static_cast<UINT>(TTN_NEEDTEXTA)};
    SendMessageA(Frame(), WM_NOTIFY, 113, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(Status(), "Command 113");
    EXPECT_STREQ(info.lpszText ? info.lpszText : "", "Command 113");

    SendMessageA(ToolBar(), TB_SETHOTITEM, 6, 0);  // button 109
    EXPECT_EQ(Status(), "Command 109");
    SendMessageA(ToolBar(), TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(Status(), "Ready");

    // A command with a string shows it; a popup, the system menu, an item
    // without a string and the menu closing show "Ready", and none a box.
    HMENU bar = GetMenu(Frame()), file = GetSubMenu(bar, 0), display = GetSubMenu(bar, 1);
    const std::tuple<WORD, WORD, HMENU, const char*> selections[] = {
        {108, MF_HILITE, file, "Open File"},
        {1, MF_POPUP | MF_HILITE, bar, "Ready"},  // "&Display" on the bar
        {IDM_STATUSBAR, MF_HILITE | MF_CHECKED, display, "Show / Hide Statusbar"},
        {3, MF_POPUP | MF_HILITE, display, "Ready"},  // "&Frame", at position 3
        {SC_CLOSE, MF_SYSMENU | MF_HILITE, GetSystemMenu(Frame(), FALSE), "Ready"},
        {133, MF_HILITE, GetSubMenu(display, 3), "Ready"},
        {0, 0xFFFF, nullptr, "Ready"}};
    for (auto [item, flags, menu, shown] : selections) {
        m_Frame.GetStatusBar().SetText("busy");
        SendMessageA(Frame(), WM_MENUSELECT, MAKEWPARAM(item, flags),
                     reinterpret_cast<LPARAM>(menu));
        EXPECT_EQ(Status(), shown) << item;
    }
}

// About, as the frame shows it: centred over the frame but kept on the work
// area, and ended by OK, Cancel or the close box.
TEST_F(FrameTest, AboutIsCentredOverTheFrameOnTheWorkArea) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    // A 600 x 400 frame on the screen, off its top left, and off its right.
    const std::tuple<LONG, LONG, UINT, WPARAM> runs[] = {{100, 120, WM_COMMAND, IDOK},
                                                         {-400, -300, WM_COMMAND, IDCANCEL},
                                                         {work.right - 150, 200, WM_CLOSE, 0}};
    std::vector<RECT> shown;
    for (auto [x, y, message, command] : runs) {
        MoveWindow(Frame(), x, y, 600, 400, TRUE);
        EXPECT_TRUE(fwtest::InDialog([this] { Command(IDM_ABOUT); },
                                     [&](HWND dialog) {
                                         GetWindowRect(dialog, &shown.emplace_back());
                                         PostMessageA(dialog, message, command, 0);
                                     }));
    }
    ASSERT_EQ(shown.size(), 3u);
    // Centred, to the pixel that halving may lose.
    EXPECT_NEAR(shown[0].left + shown[0].right, 800, 1);
    EXPECT_NEAR(shown[0].top + shown[0].bottom, 640, 1);
    EXPECT_EQ(std::pair(shown[1].left, shown[1].top), std::pair(0L, 0L));
    EXPECT_EQ(shown[2].right, work.right);
    EXPECT_NEAR(shown[2].top + shown[2].bottom, 800, 1);
}
