// The frame with its menu, toolbar, status bar and view, on real windows.

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "FrameworkTest.h"
#include "framework/Frame.h"

using namespace Windows;
using fwtest::RecordingWin;
using fwtest::TakeErrorTexts;
using Texts = std::vector<std::string>;

namespace {

// (style, command id): two plain buttons, a check group, two check buttons.
const BYTE kTestTable[] = {0, 108, 1, 0, 6, 113, 6, 114, 6, 115, 1, 0, 2, 109, 2, 110};

class TestFrame : public CFrame {
  public:
    void SetButtons() override { SetButtonTable(kTestTable, sizeof kTestTable / 2); }
    void SetTitle() override { ++m_iTitles; }
    std::vector<int> m_Hooks;
    int m_iTitles = 0;
    // clang-format off
#define HOOK(id) void OnCommand##id() override { m_Hooks.push_back(id); }
    HOOK(105) HOOK(106) HOOK(107) HOOK(108) HOOK(109) HOOK(110)
    HOOK(111) HOOK(112) HOOK(113) HOOK(114) HOOK(115)
#undef HOOK
    // clang-format on
};

int Height(HWND window) {
    RECT rect = fwtest::WindowRect(window);
    return rect.bottom - rect.top;
}

using BareFrameTest = fwtest::FrameworkTest;

class FrameTest : public fwtest::FrameworkTest {
  protected:
    void SetUp() override {
        m_Frame.SetView(&m_View);
        ASSERT_NE(m_Frame.Create(), nullptr);
        Resize(640, 480);
    }

    HWND Frame() { return m_Frame.GetHwnd(); }
    HWND ToolBar() { return m_Frame.GetToolBar().GetHwnd(); }
    HWND StatusBar() { return m_Frame.GetStatusBar().GetHwnd(); }

    void Resize(int width, int height) { MoveWindow(Frame(), 20, 20, width, height, TRUE); }
    void Command(WORD id) { SendMessageA(Frame(), WM_COMMAND, id, 0); }

    std::string StatusText(int part = 0) { return fwtest::StatusText(StatusBar(), part); }
    bool MenuChecked(UINT item) { return fwtest::MenuChecked(Frame(), item); }

    RECT Client() {
        RECT client;
        GetClientRect(Frame(), &client);
        return client;
    }

    RECT ComputedViewRect() {
        RECT rect;
        m_Frame.GetViewRect(rect);
        return rect;
    }

    std::vector<int> Parts() {
        std::vector<int> parts(4);
        EXPECT_EQ(SendMessageA(StatusBar(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(&parts[0])),
                  4);
        return parts;
    }

    RecordingWin m_View;
    TestFrame m_Frame;
};

}  // namespace

TEST_F(FrameTest, CreateMakesTheFrameWithMenuBarsViewAndTitle) {
    EXPECT_EQ(fwtest::ClassOf(Frame()), "FrameClass");
    EXPECT_EQ(fwtest::TextOf(Frame()), "Main Frame");
    EXPECT_EQ(m_Frame.m_iTitles, 1);
    EXPECT_TRUE(IsWindowVisible(Frame()));
    for (HWND child : {StatusBar(), ToolBar(), m_View.GetHwnd()})
        EXPECT_EQ(GetParent(child), Frame());
    EXPECT_EQ(StatusText(), "Ready");

    // A second Create changes nothing.
    EXPECT_EQ(m_Frame.Create(), Frame());
}

TEST_F(FrameTest, TheViewFillsWhatTheVisibleBarsLeaveAndTooLittleIsNothing) {
    const RECT client = Client();
    const int toolBar = Height(ToolBar()), statusBar = Height(StatusBar());
    ASSERT_GT(toolBar, 0);
    ASSERT_GT(statusBar, 0);
    // Toggle toolbar, status bar, toolbar, status bar: each bar hidden, both, neither.
    const std::tuple<WORD, bool, bool> steps[] = {{0, true, true},
                                                  {116, false, true},
                                                  {104, false, false},
                                                  {116, true, false},
                                                  {104, true, true}};
    for (auto [command, tool, status] : steps) {
        SCOPED_TRACE(command);
        if (command)
            Command(command);
        EXPECT_EQ(IsWindowVisible(ToolBar()) != 0, tool);
        EXPECT_EQ(IsWindowVisible(StatusBar()) != 0, status);
        EXPECT_EQ(MenuChecked(116), tool);
        EXPECT_EQ(MenuChecked(104), status);
        const RECT expected = {0, tool ? toolBar : 0, client.right,
                               client.bottom - (status ? statusBar : 0)};
        EXPECT_EQ(ComputedViewRect(), expected);
        EXPECT_EQ(fwtest::PlaceInParent(m_View.GetHwnd()), expected);
    }

    Resize(160, 40);
    ASSERT_LT(Client().bottom, toolBar + statusBar);
    EXPECT_EQ(ComputedViewRect(), (RECT{0, 0, 0, 0}));
    const RECT place = fwtest::PlaceInParent(m_View.GetHwnd());
    EXPECT_EQ(place.right - place.left, 0);
    EXPECT_EQ(place.bottom - place.top, 0);
}

TEST_F(FrameTest, TheStatusBarHasFourPartsAndShowsTheLockKeys) {
    const int width = Client().right;
    ASSERT_GT(width, 300);
    EXPECT_EQ(Parts(), (std::vector<int>{width - 110, width - 80, width - 50, width - 20}));
    Resize(200, 300);
    ASSERT_LT(Client().right, 300);
    EXPECT_EQ(Parts(), (std::vector<int>{190, 220, 250, 280}));

    BYTE saved[256];
    ASSERT_TRUE(GetKeyboardState(saved));
    BYTE keys[256];
    std::copy(saved, saved + 256, keys);
    for (bool capsAndScroll : {true, false}) {
        keys[VK_CAPITAL] = keys[VK_SCROLL] = capsAndScroll;  // toggled on or off
        keys[VK_NUMLOCK] = !capsAndScroll;
        ASSERT_TRUE(SetKeyboardState(keys));
        if (capsAndScroll) {
            m_Frame.GetStatusBar().SetText("Locks");
            EXPECT_EQ(StatusText(), "Locks");
        } else {
            SendMessageA(Frame(), WM_KEYDOWN, 'A', 0);  // a key refreshes the indicators
            EXPECT_EQ(StatusText(), "Ready");
        }
        EXPECT_EQ(StatusText(1), capsAndScroll ? "\tCAP" : "");
        EXPECT_EQ(StatusText(2), capsAndScroll ? "" : "\tNUM");
        EXPECT_EQ(StatusText(3), capsAndScroll ? "\tSCRL" : "");
    }
    SetKeyboardState(saved);
}

TEST_F(FrameTest, ToolbarButtonsFollowTheTableAndARerunReplacesThem) {
    using Rows = std::vector<std::array<int, 3>>;
    const Rows table = {{0, 108, 0}, {1, 0, -1}, {6, 113, 1}, {6, 114, 2},
                        {6, 115, 3}, {1, 0, -1}, {2, 109, 4}, {2, 110, 5}};
    EXPECT_EQ(fwtest::ToolbarRows(ToolBar()), table);
    CToolBar& bar = m_Frame.GetToolBar();
    const BYTE other[] = {2, 116, 1, 0, 0, 104, 0, 102};
    bar.SetButtons(4, other);
    bar.SetButtons(4, other);
    EXPECT_EQ(fwtest::ToolbarRows(ToolBar()),
              (Rows{{2, 116, 0}, {1, 0, -1}, {0, 104, 1}, {0, 102, 2}}));

    bar.SetButtons(sizeof kTestTable / 2, kTestTable);
    bar.DisableButton(109);
    EXPECT_FALSE(SendMessageA(ToolBar(), TB_ISBUTTONENABLED, 109, 0));
    bar.EnableButton(109);
    EXPECT_TRUE(SendMessageA(ToolBar(), TB_ISBUTTONENABLED, 109, 0));
    bar.CheckButton(110);
    EXPECT_TRUE(SendMessageA(ToolBar(), TB_ISBUTTONCHECKED, 110, 0));
    // The group of three behaves as one radio group.
    bar.CheckButton(113);
    bar.CheckButton(114);
    EXPECT_FALSE(SendMessageA(ToolBar(), TB_ISBUTTONCHECKED, 113, 0));
    EXPECT_TRUE(SendMessageA(ToolBar(), TB_ISBUTTONCHECKED, 114, 0));

    // A plain frame has the default buttons.
    RecordingWin view;
    CFrame plain;
    plain.SetView(&view);
    ASSERT_NE(plain.Create(), nullptr);
    const Rows defaults = {{0, 107, 0}, {0, 108, 1}, {0, 110, 2}, {1, 0, -1},
                           {0, 113, 3}, {0, 114, 4}, {0, 115, 5}, {1, 0, -1},
                           {0, 109, 6}, {1, 0, -1},  {0, 103, 7}};
    EXPECT_EQ(fwtest::ToolbarRows(plain.GetToolBar().GetHwnd()), defaults);
}

TEST_F(FrameTest, TipsHotItemsAndMenuHighlightsShowTheCommandText) {
    // The toolbar's own tooltip asks the frame for the text of button 108.
    HWND tips = reinterpret_cast<HWND>(SendMessageA(ToolBar(), TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tips, nullptr);
    char text[256] = {};
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = ToolBar();
    tool.uId = 108;
    tool.lpszText = text;
    SendMessageA(tips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "Open File");
    EXPECT_EQ(StatusText(), "Open File");

    // The text handed over stays readable after the notification has returned.
    NMTTDISPINFOA info{};
    info.hdr = {ToolBar(), 113, static_cast<UINT>(TTN_NEEDTEXTA)};
    SendMessageA(Frame(), WM_NOTIFY, 113, reinterpret_cast<LPARAM>(&info));
    NMHDR pop{ToolBar(), 0, static_cast<UINT>(TTN_POP)};
    SendMessageA(Frame(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&pop));
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_STREQ(info.lpszText, "Command 113");
    EXPECT_EQ(StatusText(), "Ready");

    SendMessageA(ToolBar(), TB_SETHOTITEM, 6, 0);  // button 109
    EXPECT_EQ(StatusText(), "Command 109");
    SendMessageA(ToolBar(), TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(StatusText(), "Ready");

    HMENU bar = GetMenu(Frame());
    HMENU file = GetSubMenu(bar, 0), display = GetSubMenu(bar, 1);
    auto select = [this](WORD item, WORD flags, HMENU menu) {
        SendMessageA(Frame(), WM_MENUSELECT, MAKEWPARAM(item, flags),
                     reinterpret_cast<LPARAM>(menu));
        return StatusText();
    };
    EXPECT_EQ(select(108, MF_HILITE, file), "Open File");
    EXPECT_EQ(select(1, MF_POPUP | MF_HILITE, bar), "Ready");  // "&Display" on the bar
    EXPECT_EQ(select(104, MF_HILITE | MF_CHECKED, display), "Show / Hide Statusbar");
    // "&Frame", a submenu at position 3, which has no string: no box either.
    EXPECT_EQ(select(3, MF_POPUP | MF_HILITE, display), "Ready");
    EXPECT_EQ(select(108, MF_HILITE, file), "Open File");
    EXPECT_EQ(select(0, 0xFFFF, nullptr), "Ready");  // the menu closed
    // An item without a string is no command of ours: no box either.
    EXPECT_EQ(select(133, MF_HILITE, GetSubMenu(display, 3)), "Ready");
}

// Alt+Space: the system menu runs its own loop and highlights its items, which
// have no strings of ours. A timer inside that loop moves down one item, notes
// the status text, and closes the menu.
TEST_F(FrameTest, TheSystemMenuShowsReady) {
    static HWND s_frame;
    static std::string s_seen;
    static int s_ticks;
    s_frame = Frame();
    s_seen = "menu never opened";
    s_ticks = 0;
    auto tick = [](HWND, UINT, UINT_PTR timer, DWORD) {
        HWND status = FindWindowExA(s_frame, nullptr, STATUSCLASSNAMEA, nullptr);
        if (++s_ticks == 1) {
            SendMessageA(status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("busy"));
            PostMessageA(s_frame, WM_KEYDOWN, VK_DOWN, 0);
        } else {
            s_seen = fwtest::StatusText(status);
            KillTimer(nullptr, timer);
            EndMenu();
        }
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, tick);
    SendMessageA(Frame(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
    KillTimer(nullptr, timer);
    EXPECT_EQ(s_seen, "Ready");
    EXPECT_EQ(StatusText(), "Ready");
}

TEST_F(FrameTest, CommandsReachTheirHooksAndFocusOrAKeyShowsReady) {
    for (WORD id = 105; id <= 115; ++id)
        Command(id);
    EXPECT_EQ(m_Frame.m_Hooks,
              (std::vector<int>{105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115}));

    m_Frame.GetStatusBar().SetText("busy");
    SendMessageA(Frame(), WM_SETFOCUS, 0, 0);
    EXPECT_EQ(StatusText(), "Ready");
    m_Frame.GetStatusBar().SetText("busy");
    NMHDR key{ToolBar(), 0, static_cast<UINT>(LVN_KEYDOWN)};
    SendMessageA(Frame(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&key));
    EXPECT_EQ(StatusText(), "Ready");
}

TEST_F(BareFrameTest, AFrameWithoutAViewReportsAndMakesNothing) {
    CFrame frame;
    EXPECT_EQ(frame.Create(), nullptr);
    EXPECT_EQ(TakeErrorTexts(),
              Texts{"CFrame::CreateEx ... m_pView is NULL\n\nUse SetView to set the View Window"});
    EXPECT_EQ(frame.GetToolBar().GetHwnd(), nullptr);
    EXPECT_EQ(frame.GetStatusBar().GetHwnd(), nullptr);
}
