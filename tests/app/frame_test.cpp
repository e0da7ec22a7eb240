// The main frame as the program starts it: its resources wired to its commands,
// the commands routed to the view, About and Exit.

#include <functional>

#include "ViewerTest.h"

using apptest::ViewerTest;
using FrameTest = ViewerTest;

// What the resources must agree on, rather than what they hold: every command
// has its tip, and the strip has an image for every toolbar button.
TEST_F(FrameTest, EveryCommandHasItsTipAndEveryButtonItsImage) {
    EXPECT_EQ(fwtest::TextOf(FrameWindow()), "Kestrel Viewer 2.0");
    std::vector<UINT> commands;
    std::function<void(HMENU)> walk = [&](HMENU menu) {
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            if (HMENU popup = GetSubMenu(menu, i))
                walk(popup);
            else if (GetMenuItemID(menu, i) != 0)  // not a separator
                commands.push_back(GetMenuItemID(menu, i));
        }
    };
    walk(GetMenu(FrameWindow()));
    const int menuItems = static_cast<int>(commands.size());
    ASSERT_GT(menuItems, 20);
    for (int i = 0; i < SendMessageA(ToolBar(), TB_BUTTONCOUNT, 0, 0); ++i) {
        TBBUTTON button{};
        SendMessageA(ToolBar(), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        if (button.fsStyle != TBSTYLE_SEP)
            commands.push_back(static_cast<UINT>(button.idCommand));
    }
    std::string tip;
    for (UINT id : commands)
        EXPECT_TRUE(Windows::FindString(id, tip)) << id;

    HBITMAP strip =
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(strip, nullptr);
    BITMAP size{};
    GetObjectA(strip, sizeof size, &size);
    DeleteObject(strip);
    EXPECT_EQ(size.bmWidth, 16 * (static_cast<int>(commands.size()) - menuItems));
    EXPECT_EQ(size.bmHeight, 15);
}

TEST_F(FrameTest, TheViewsCommandsReachItsCoreAndTheBarsStayTheFrames) {
    const SceneView& s = Scene();
    Command(IDM_CONTROL_ZOOM);
    EXPECT_EQ(s.ControlMode, kControlZoom);
    for (UINT id : {IDM_AXES, IDM_TEXTURES, IDM_BOUNDING_BOX})
        Command(id);
    EXPECT_EQ(std::vector({s.ShowAxes, s.ShowTextures, s.ShowBoundingBox}), std::vector({0, 0, 1}));
    // The toolbar and the menu checks do not follow the view's toggles.
    EXPECT_FALSE(ButtonChecked(IDM_AXES));
    EXPECT_TRUE(fwtest::MenuChecked(FrameWindow(), IDM_AXES));

    Command(IDM_TOOLBAR);
    EXPECT_FALSE(IsWindowVisible(ToolBar()));
}

TEST_F(FrameTest, AboutShowsTheProgramsNameOverTheFrame) {
    std::string caption, text;
    EXPECT_TRUE(fwtest::InDialog([this] { Command(IDM_ABOUT); },
                                 [&](HWND dialog) {
                                     caption = fwtest::TextOf(dialog);
                                     text = fwtest::StaticText(dialog);
                                     EXPECT_EQ(GetWindow(dialog, GW_OWNER), FrameWindow());
                                     PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                                 }));
    EXPECT_EQ(caption, "About");
    EXPECT_EQ(text.substr(0, text.find('\n')), "Kestrel Model Viewer 2.0");
}

// Exit and the close box: the frame and the view go, the view lets its context
// go without a complaint, and the message loop ends with 0.
TEST_F(FrameTest, ExitAndTheCloseBoxCloseTheFrame) {
    for (auto [message, wParam] : {std::pair{WM_COMMAND, IDM_EXIT}, {WM_SYSCOMMAND, SC_CLOSE}}) {
        HWND frame = FrameWindow(), view = ViewWindow();
        PostMessageA(frame, message, wParam, 0);
        EXPECT_EQ(m_App.MessageLoop(), 0);
        EXPECT_FALSE(IsWindow(frame));
        EXPECT_FALSE(IsWindow(view));
        EXPECT_EQ(View().GetRenderingContext(), nullptr);
        EXPECT_EQ(wglGetCurrentContext(), nullptr);
        Frame().Create();  // again, for the close box
    }
}
