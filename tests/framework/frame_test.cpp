// The frame with its menu, toolbar, status bar and view, on real windows.

#include <array>
#include <tuple>

#include "FrameworkTest.h"
#include "framework/Frame.h"

using namespace Windows;
using namespace fwtest;

namespace {

// (style, command id): a plain button, a check group of three, a check button.
const BYTE kTestTable[] = {0, 108, 1, 0, 6, 113, 6, 114, 6, 115, 1, 0, 2, 109};

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

// The toolbar's buttons as (style, id, image), the image -1 for a separator.
std::vector<std::array<int, 3>> ToolbarRows(HWND toolBar) {
    std::vector<std::array<int, 3>> rows;
    for (int i = 0; i < SendMessageA(toolBar, TB_BUTTONCOUNT, 0, 0); ++i) {
        TBBUTTON b{};
        SendMessageA(toolBar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
        const bool separator = b.fsStyle == TBSTYLE_SEP;
        rows.push_back({b.fsStyle, b.idCommand, separator ? -1 : b.iBitmap});
    }
    return rows;
}

class FrameTest : public FrameworkTest {
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
    std::string Status(int part = 0) { return StatusText(StatusBar(), part); }
    RECT Client() {
        RECT client;
        GetClientRect(Frame(), &client);
        return client;
    }

    RecordingWin m_View;
    TestFrame m_Frame;
};

}  // namespace

TEST_F(FrameTest, CreateMakesTheFrameWithBarsViewAndTitleOnceAndCommandsReachTheHooks) {
    EXPECT_EQ(TextOf(Frame()), "Main Frame");
    EXPECT_EQ(m_Frame.m_iTitles, 1);
    EXPECT_TRUE(IsWindowVisible(Frame()));
    for (HWND child : {StatusBar(), ToolBar(), m_View.GetHwnd()})
        EXPECT_EQ(GetParent(child), Frame());
    EXPECT_EQ(Status(), "Ready");
    EXPECT_EQ(m_Frame.Create(), Frame());
    EXPECT_EQ(m_Frame.m_iTitles, 1);
    // The commands 105 to 115 reach their hooks.
    for (WORD id = 105; id <= 115; ++id)
        Command(id);
    EXPECT_EQ(m_Frame.m_Hooks,
              (std::vector<int>{105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115}));
}

TEST_F(FrameTest, TheViewFillsWhatTheVisibleBarsLeaveAndTooLittleIsNothing) {
    const RECT client = Client();
    const RECT top = WindowRect(ToolBar()), bottom = WindowRect(StatusBar());
    const int toolBar = top.bottom - top.top, statusBar = bottom.bottom - bottom.top;
    ASSERT_GT(toolBar, 0);
    ASSERT_GT(statusBar, 0);
    // Toggle toolbar, status bar, toolbar, status bar: each bar hidden, both, neither.
    // clang-format off
    const std::tuple<WORD, bool, bool> steps[] = {
        {0, true, true}, {116, false, true}, {104, false, false}, {116, true, false}, {104, true, true}};
    // clang-format on
    for (auto [command, tool, status] : steps) {
        SCOPED_TRACE(command);
        if (command)
            Command(command);
        EXPECT_EQ(IsWindowVisible(ToolBar()) != 0, tool);
        EXPECT_EQ(IsWindowVisible(StatusBar()) != 0, status);
        EXPECT_EQ(MenuChecked(Frame(), 116), tool);
        EXPECT_EQ(MenuChecked(Frame(), 104), status);
        EXPECT_EQ(
            PlaceInParent(m_View.GetHwnd()),
            (RECT{0, tool ? toolBar : 0, client.right, client.bottom - (status ? statusBar : 0)}));
    }
    Resize(160, 40);
    ASSERT_LT(Client().bottom, toolBar + statusBar);
    const RECT place = PlaceInParent(m_View.GetHwnd());
    EXPECT_EQ(place.right - place.left, 0);
    EXPECT_EQ(place.bottom - place.top, 0);
}

TEST_F(FrameTest, TheStatusBarHasFourPartsAndShowsTheLockKeys) {
    auto parts = [this] {
        std::vector<int> parts(5);
        parts.resize(
            SendMessageA(StatusBar(), SB_GETPARTS, 5, reinterpret_cast<LPARAM>(&parts[0])));
        return parts;
    };
    const int width = Client().right;
    EXPECT_EQ(parts(), (std::vector<int>{width - 110, width - 80, width - 50, width - 20}));
    Resize(200, 300);  // narrower than the parts need
    EXPECT_EQ(parts(), (std::vector<int>{190, 220, 250, 280}));

    BYTE saved[256], keys[256];
    ASSERT_TRUE(GetKeyboardState(saved));
    std::copy(saved, saved + 256, keys);
    for (bool capsAndScroll : {true, false}) {
        keys[VK_CAPITAL] = keys[VK_SCROLL] = capsAndScroll;  // toggled on or off
        keys[VK_NUMLOCK] = !capsAndScroll;
        ASSERT_TRUE(SetKeyboardState(keys));
        m_Frame.GetStatusBar().SetText("busy");
        SendMessageA(Frame(), WM_KEYDOWN, 'A', 0);  // a key refreshes the indicators
        EXPECT_EQ(Status(), "Ready");
        EXPECT_EQ(Status(1), capsAndScroll ? "\tCAP" : "");
        EXPECT_EQ(Status(2), capsAndScroll ? "" : "\tNUM");
        EXPECT_EQ(Status(3), capsAndScroll ? "\tSCRL" : "");
    }
    SetKeyboardState(saved);

    // Focus or a key in a child control says "Ready" too.
    NMHDR key{ToolBar(), 0, static_cast<UINT>(LVN_KEYDOWN)};
    for (auto [message, lParam] :
         {std::pair<UINT, LPARAM>{WM_SETFOCUS, 0}, {WM_NOTIFY, reinterpret_cast<LPARAM>(&key)}}) {
        m_Frame.GetStatusBar().SetText("busy");
        SendMessageA(Frame(), message, 0, lParam);
        EXPECT_EQ(Status(), "Ready") << message;
    }
}

TEST_F(FrameTest, ToolbarButtonsFollowTheTableAndARerunReplacesThem) {
    using Rows = std::vector<std::array<int, 3>>;
    // Images count the buttons only; every button starts enabled and unchecked.
    // clang-format off
    EXPECT_EQ(ToolbarRows(ToolBar()),
              (Rows{{0, 108, 0}, {1, 0, -1}, {6, 113, 1}, {6, 114, 2}, {6, 115, 3}, {1, 0, -1}, {2, 109, 4}}));
    // clang-format on
    auto state = [this](int id) { return SendMessageA(ToolBar(), TB_GETSTATE, id, 0); };
    for (int id : {108, 113, 114, 115, 109})
        EXPECT_EQ(state(id), TBSTATE_ENABLED) << id;
    CToolBar& bar = m_Frame.GetToolBar();
    const BYTE other[] = {2, 116, 1, 0, 0, 104};
    bar.SetButtons(3, other);
    bar.SetButtons(3, other);
    EXPECT_EQ(ToolbarRows(ToolBar()), (Rows{{2, 116, 0}, {1, 0, -1}, {0, 104, 1}}));

    bar.SetButtons(sizeof kTestTable / 2, kTestTable);
    bar.DisableButton(109);
    EXPECT_EQ(state(109), 0);
    bar.EnableButton(109);
    bar.CheckButton(109);
    bar.CheckButton(113);
    bar.CheckButton(114);  // the group of three behaves as one radio group
    EXPECT_EQ(std::vector({state(109), state(113), state(114)}),
              (std::vector<LRESULT>{TBSTATE_ENABLED | TBSTATE_CHECKED, TBSTATE_ENABLED,
                                    TBSTATE_ENABLED | TBSTATE_CHECKED}));
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
    EXPECT_EQ(Status(), "Open File");

    // The text handed over stays readable after the notification has returned.
    NMTTDISPINFOA info{};
    info.hdr = {ToolBar(), 113, static_cast<UINT>(TTN_NEEDTEXTA)};
    SendMessageA(Frame(), WM_NOTIFY, 113, reinterpret_cast<LPARAM>(&info));
    NMHDR pop{ToolBar(), 0, static_cast<UINT>(TTN_POP)};
    SendMessageA(Frame(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&pop));
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_STREQ(info.lpszText, "Command 113");
    EXPECT_EQ(Status(), "Ready");

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
        {104, MF_HILITE | MF_CHECKED, display, "Show / Hide Statusbar"},
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

TEST_F(FrameworkTest, AFrameWithoutAViewReportsAndMakesNothing) {
    CFrame frame;
    EXPECT_EQ(frame.Create(), nullptr);
    EXPECT_EQ(TakeBoxes(), std::vector<std::string>{"CFrame::CreateEx ... m_pView is NULL\n\n"
                                                    "Use SetView to set the View Window"});
    EXPECT_EQ(frame.GetToolBar().GetHwnd(), nullptr);
}
