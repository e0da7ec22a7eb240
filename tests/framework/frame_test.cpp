// The frame with its menu, toolbar, status bar and view, on real windows.

#include <string>
#include <vector>

#include "FrameworkTest.h"
#include "framework/Frame.h"

using namespace Windows;
using fwtest::RecordingWin;
using fwtest::TakeErrorTexts;
using Texts = std::vector<std::string>;

// RECT lives in the global namespace: its comparison and printing must too.
static bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

// (style, command id): two plain buttons, a check group, two check buttons.
const BYTE kTestTable[] = {0, 108, 1, 0, 6, 113, 6, 114, 6, 115, 1, 0, 2, 109, 2, 110};

class TestFrame : public CFrame {
  public:
    void SetButtons() override { SetButtonTable(kTestTable, sizeof kTestTable / 2); }
    void SetTitle() override { ++m_iTitles; }
    void OnCommand105() override { m_Hooks.push_back(105); }
    void OnCommand106() override { m_Hooks.push_back(106); }
    void OnCommand107() override { m_Hooks.push_back(107); }
    void OnCommand108() override { m_Hooks.push_back(108); }
    void OnCommand109() override { m_Hooks.push_back(109); }
    void OnCommand110() override { m_Hooks.push_back(110); }
    void OnCommand111() override { m_Hooks.push_back(111); }
    void OnCommand112() override { m_Hooks.push_back(112); }
    void OnCommand113() override { m_Hooks.push_back(113); }
    void OnCommand114() override { m_Hooks.push_back(114); }
    void OnCommand115() override { m_Hooks.push_back(115); }

    std::vector<int> m_Hooks;
    int m_iTitles = 0;
};

int Height(HWND window) {
    RECT rect = fwtest::WindowRect(window);
    return rect.bottom - rect.top;
}

class BareFrameTest : public fwtest::FrameworkTest {};

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

    std::string StatusText(int part) {
        char text[256] = {};
        SendMessageA(StatusBar(), SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
        return text;
    }

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

    // Where the view window really is, in the frame's client coordinates.
    RECT ViewPlace() {
        RECT rect;
        GetWindowRect(m_View.GetHwnd(), &rect);
        MapWindowPoints(nullptr, Frame(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    bool MenuChecked(UINT item) {
        return GetMenuState(GetMenu(Frame()), item, MF_BYCOMMAND) & MF_CHECKED;
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
    ASSERT_NE(GetMenu(Frame()), nullptr);
    EXPECT_TRUE(MenuChecked(104));
    EXPECT_TRUE(MenuChecked(116));

    EXPECT_EQ(fwtest::ClassOf(StatusBar()), "msctls_statusbar32");
    EXPECT_EQ(fwtest::ClassOf(ToolBar()), "ToolbarWindow32");
    EXPECT_EQ(GetParent(StatusBar()), Frame());
    EXPECT_EQ(GetParent(ToolBar()), Frame());
    EXPECT_EQ(GetParent(m_View.GetHwnd()), Frame());
    EXPECT_EQ(StatusText(0), "Ready");

    // A second Create changes nothing.
    EXPECT_EQ(m_Frame.Create(), Frame());
}

TEST_F(FrameTest, TheViewFillsWhatTheVisibleBarsLeave) {
    const RECT client = Client();
    const int toolBar = Height(ToolBar());
    const int statusBar = Height(StatusBar());
    ASSERT_GT(toolBar, 0);
    ASSERT_GT(statusBar, 0);

    const RECT both{0, toolBar, client.right, client.bottom - statusBar};
    EXPECT_EQ(ComputedViewRect(), both);
    EXPECT_EQ(ViewPlace(), both);

    Command(116);  // hide the toolbar
    EXPECT_FALSE(IsWindowVisible(ToolBar()));
    EXPECT_FALSE(MenuChecked(116));
    const RECT statusOnly{0, 0, client.right, client.bottom - statusBar};
    EXPECT_EQ(ComputedViewRect(), statusOnly);
    EXPECT_EQ(ViewPlace(), statusOnly);

    Command(104);  // and the status bar
    EXPECT_FALSE(IsWindowVisible(StatusBar()));
    EXPECT_FALSE(MenuChecked(104));
    EXPECT_EQ(ComputedViewRect(), client);
    EXPECT_EQ(ViewPlace(), client);

    Command(116);  // the toolbar back
    EXPECT_TRUE(MenuChecked(116));
    const RECT toolBarOnly{0, toolBar, client.right, client.bottom};
    EXPECT_EQ(ComputedViewRect(), toolBarOnly);
    EXPECT_EQ(ViewPlace(), toolBarOnly);

    Command(104);
    EXPECT_TRUE(IsWindowVisible(StatusBar()));
    EXPECT_TRUE(MenuChecked(104));
    EXPECT_EQ(ComputedViewRect(), both);
    EXPECT_EQ(ViewPlace(), both);
}

TEST_F(FrameTest, AFrameTooSmallForItsBarsGivesTheViewNothing) {
    Resize(160, 40);
    ASSERT_LT(Client().bottom, Height(ToolBar()) + Height(StatusBar()));
    EXPECT_EQ(ComputedViewRect(), (RECT{0, 0, 0, 0}));
    RECT place = ViewPlace();
    EXPECT_EQ(place.right - place.left, 0);
    EXPECT_EQ(place.bottom - place.top, 0);
}

TEST_F(FrameTest, TheStatusBarHasFourPartsAndShowsTheLockKeys) {
    int parts[4] = {};
    const int width = Client().right;
    ASSERT_GT(width, 300);
    EXPECT_EQ(SendMessageA(StatusBar(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(parts)), 4);
    EXPECT_EQ(std::vector<int>(parts, parts + 4),
              (std::vector<int>{width - 110, width - 80, width - 50, width - 20}));

    Resize(200, 300);
    ASSERT_LT(Client().right, 300);
    EXPECT_EQ(SendMessageA(StatusBar(), SB_GETPARTS, 4, reinterpret_cast<LPARAM>(parts)), 4);
    EXPECT_EQ(std::vector<int>(parts, parts + 4), (std::vector<int>{190, 220, 250, 280}));

    BYTE saved[256];
    ASSERT_TRUE(GetKeyboardState(saved));
    BYTE keys[256];
    std::copy(saved, saved + 256, keys);
    keys[VK_CAPITAL] = 1;  // toggled on
    keys[VK_NUMLOCK] = 0;
    keys[VK_SCROLL] = 1;
    ASSERT_TRUE(SetKeyboardState(keys));
    m_Frame.GetStatusBar().SetText("Locks");
    EXPECT_EQ(StatusText(0), "Locks");
    EXPECT_EQ(StatusText(1), "\tCAP");
    EXPECT_EQ(StatusText(2), "");
    EXPECT_EQ(StatusText(3), "\tSCRL");

    keys[VK_CAPITAL] = 0;
    keys[VK_NUMLOCK] = 1;
    keys[VK_SCROLL] = 0;
    ASSERT_TRUE(SetKeyboardState(keys));
    SendMessageA(Frame(), WM_KEYDOWN, 'A', 0);  // a key refreshes the indicators
    EXPECT_EQ(StatusText(0), "Ready");
    EXPECT_EQ(StatusText(1), "");
    EXPECT_EQ(StatusText(2), "\tNUM");
    EXPECT_EQ(StatusText(3), "");
    SetKeyboardState(saved);
}

TEST_F(FrameTest, ToolbarButtonsFollowTheTableAndARerunReplacesThem) {
    auto buttons = [this] {
        std::vector<TBBUTTON> all(SendMessageA(ToolBar(), TB_BUTTONCOUNT, 0, 0));
        for (size_t i = 0; i < all.size(); ++i)
            SendMessageA(ToolBar(), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&all[i]));
        return all;
    };
    // Each row: style, id, image (-1 for a separator).
    auto expectRows = [&](const std::vector<std::vector<int>>& rows) {
        std::vector<TBBUTTON> all = buttons();
        ASSERT_EQ(all.size(), rows.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(all[i].fsStyle, rows[i][0]);
            EXPECT_EQ(all[i].idCommand, rows[i][1]);
            if (rows[i][0] == TBSTYLE_SEP)
                continue;
            EXPECT_EQ(all[i].iBitmap, rows[i][2]);
            EXPECT_EQ(all[i].fsState, TBSTATE_ENABLED);
        }
    };

    expectRows({{0, 108, 0},
                {1, 0, -1},
                {6, 113, 1},
                {6, 114, 2},
                {6, 115, 3},
                {1, 0, -1},
                {2, 109, 4},
                {2, 110, 5}});

    const BYTE other[] = {2, 116, 1, 0, 0, 104, 0, 102};
    m_Frame.GetToolBar().SetButtons(4, other);
    m_Frame.GetToolBar().SetButtons(4, other);
    expectRows({{2, 116, 0}, {1, 0, -1}, {0, 104, 1}, {0, 102, 2}});

    m_Frame.GetToolBar().SetButtons(sizeof kTestTable / 2, kTestTable);
    CToolBar& bar = m_Frame.GetToolBar();
    bar.DisableButton(109);
    EXPECT_FALSE(SendMessageA(ToolBar(), TB_ISBUTTONENABLED, 109, 0));
    bar.EnableButton(109);
    EXPECT_TRUE(SendMessageA(ToolBar(), TB_ISBUTTONENABLED, 109, 0));
    EXPECT_FALSE(SendMessageA(ToolBar(), TB_ISBUTTONCHECKED, 110, 0));
    bar.CheckButton(110);
    EXPECT_TRUE(SendMessageA(ToolBar(), TB_ISBUTTONCHECKED, 110, 0));
    // The group of three behaves as one radio group.
    bar.CheckButton(113);
    bar.CheckButton(114);
    EXPECT_FALSE(SendMessageA(ToolBar(), TB_ISBUTTONCHECKED, 113, 0));
    EXPECT_TRUE(SendMessageA(ToolBar(), TB_ISBUTTONCHECKED, 114, 0));
}

TEST_F(BareFrameTest, APlainFrameHasTheDefaultButtons) {
    RecordingWin view;
    CFrame frame;
    frame.SetView(&view);
    ASSERT_NE(frame.Create(), nullptr);
    HWND bar = frame.GetToolBar().GetHwnd();
    const int ids[] = {107, 108, 110, 0, 113, 114, 115, 0, 109, 0, 103};
    ASSERT_EQ(SendMessageA(bar, TB_BUTTONCOUNT, 0, 0), 11);
    for (int i = 0; i < 11; ++i) {
        TBBUTTON button{};
        SendMessageA(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        EXPECT_EQ(button.idCommand, ids[i]) << i;
        EXPECT_EQ(button.fsStyle, ids[i] ? TBSTYLE_BUTTON : TBSTYLE_SEP) << i;
    }
}

TEST_F(FrameTest, TipsAndHotItemsShowTheCommandText) {
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
    EXPECT_EQ(StatusText(0), "Open File");

    // The text handed over stays readable after the notification has returned.
    NMTTDISPINFOA info{};
    info.hdr.hwndFrom = ToolBar();
    info.hdr.idFrom = 113;
    info.hdr.code = TTN_NEEDTEXTA;
    SendMessageA(Frame(), WM_NOTIFY, 113, reinterpret_cast<LPARAM>(&info));
    NMHDR pop{ToolBar(), 0, static_cast<UINT>(TTN_POP)};
    SendMessageA(Frame(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&pop));
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_STREQ(info.lpszText, "Command 113");
    EXPECT_EQ(StatusText(0), "Ready");

    // Hot items: the toolbar reports them to the frame.
    SendMessageA(ToolBar(), TB_SETHOTITEM, 6, 0);  // button 109
    EXPECT_EQ(StatusText(0), "Command 109");
    SendMessageA(ToolBar(), TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(StatusText(0), "Ready");
}

TEST_F(FrameTest, MenuHighlightingShowsTheItemText) {
    HMENU bar = GetMenu(Frame());
    HMENU file = GetSubMenu(bar, 0);
    HMENU display = GetSubMenu(bar, 1);
    auto select = [this](WORD item, WORD flags, HMENU menu) {
        SendMessageA(Frame(), WM_MENUSELECT, MAKEWPARAM(item, flags),
                     reinterpret_cast<LPARAM>(menu));
        return StatusText(0);
    };
    EXPECT_EQ(select(108, MF_HILITE, file), "Open File");
    EXPECT_EQ(select(104, MF_HILITE | MF_CHECKED, display), "Show / Hide Statusbar");
    EXPECT_EQ(select(1, MF_POPUP | MF_HILITE, bar), "Ready");  // "&Display" on the bar
    EXPECT_EQ(select(108, MF_HILITE, file), "Open File");
    // "&Frame", a submenu at position 3, which has no string: no box either.
    EXPECT_EQ(select(3, MF_POPUP | MF_HILITE, display), "Ready");
    EXPECT_EQ(select(0, 0xFFFF, nullptr), "Ready");  // the menu closed
    EXPECT_TRUE(fwtest::TakeBoxes().empty());

    // A command without a string is reported.
    EXPECT_EQ(select(133, MF_HILITE, GetSubMenu(display, 3)), "");
    EXPECT_EQ(TakeErrorTexts(), Texts{"Load String failed"});
}

TEST_F(FrameTest, CommandsReachTheirHooksAndTheFrameHandlesItsOwn) {
    for (WORD id = 105; id <= 115; ++id)
        Command(id);
    EXPECT_EQ(m_Frame.m_Hooks,
              (std::vector<int>{105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115}));

    m_Frame.GetStatusBar().SetText("busy");
    SendMessageA(Frame(), WM_SETFOCUS, 0, 0);
    EXPECT_EQ(StatusText(0), "Ready");
    m_Frame.GetStatusBar().SetText("busy");
    NMHDR key{ToolBar(), 0, static_cast<UINT>(LVN_KEYDOWN)};
    SendMessageA(Frame(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&key));
    EXPECT_EQ(StatusText(0), "Ready");

    // About: dialog 301, owned by the frame, ended with OK.
    fwtest::AnswerDialogLater(WM_COMMAND, IDOK);
    Command(103);
    fwtest::SeenDialog about = fwtest::TakeSeenDialog();
    ASSERT_TRUE(about.found);
    EXPECT_EQ(about.caption, "About");
    EXPECT_EQ(about.text, "Framework test dialog");
    EXPECT_EQ(about.owner, Frame());

    // Exit asks the frame to close; its end posts the quit message.
    HWND frame = Frame();
    HWND view = m_View.GetHwnd();
    Command(102);
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_TRUE(fwtest::PumpMessages());
    EXPECT_FALSE(IsWindow(frame));
    EXPECT_FALSE(IsWindow(view));
    EXPECT_EQ(m_Frame.GetHwnd(), nullptr);
}

TEST_F(BareFrameTest, AFrameWithoutAViewReportsAndMakesNothing) {
    CFrame frame;
    EXPECT_EQ(frame.Create(), nullptr);
    EXPECT_EQ(TakeErrorTexts(),
              Texts{"CFrame::CreateEx ... m_pView is NULL\n\nUse SetView to set the View Window"});
    EXPECT_EQ(frame.GetToolBar().GetHwnd(), nullptr);
    EXPECT_EQ(frame.GetStatusBar().GetHwnd(), nullptr);
}
