// The main frame as the program starts it: its resources wired to its commands,
// and the commands routed to the view. Its title and File > Exit are the
// end-to-end run's.

#include "ViewerTest.h"

using FrameTest = apptest::ViewerTest;

// What the resources must agree on, rather than what they hold: every toolbar
// button has its tip and its image in the strip, and About has its dialog.
TEST_F(FrameTest, EveryButtonHasItsTipAndItsImageAndAboutItsDialog) {
    EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(IDD_ABOUT), MAKEINTRESOURCEA(5)), nullptr);
    HWND toolBar = Frame().GetToolBar().GetHwnd();
    std::string tip;
    int buttons = 0;
    for (int i = 0; i < SendMessageA(toolBar, TB_BUTTONCOUNT, 0, 0); ++i) {
        TBBUTTON button{};
        SendMessageA(toolBar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        if (button.fsStyle == TBSTYLE_SEP)
            continue;
        ++buttons;
        EXPECT_TRUE(Windows::FindString(button.idCommand, tip)) << button.idCommand;
    }
    EXPECT_GT(buttons, 10);
    BITMAP strip{};
    HGDIOBJ bitmap = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    GetObjectA(bitmap, sizeof strip, &strip);
    DeleteObject(bitmap);
    EXPECT_EQ(std::pair(strip.bmWidth, strip.bmHeight), std::pair(16L * buttons, 15L));
}

TEST_F(FrameTest, TheViewsCommandsReachItsCoreAndTheChecksStayAsTheyAre) {
    const SceneView& s = Scene();
    for (auto [id, mode] : {std::pair{IDM_CONTROL_ZOOM, kControlZoom},
                            {IDM_CONTROL_PAN, kControlPan},
                            {IDM_CONTROL_ROTATE, kControlRotate}}) {
        Command(id);
        EXPECT_EQ(s.ControlMode, mode) << id;
    }
    for (UINT id : {IDM_AXES, IDM_TEXTURES, IDM_BOUNDING_BOX})
        Command(id);
    auto toggles = [&s] { return std::vector({s.ShowAxes, s.ShowTextures, s.ShowBoundingBox}); };
    EXPECT_EQ(toggles(), std::vector({0, 0, 1}));
    // The menu's other commands leave the view as it is.
    for (UINT id : {IDM_TEXT, IDM_LIGHTING, IDM_COLOR, IDM_CULL, IDM_POINTS, IDM_WIREFRAME,
                    IDM_FILL, IDM_ANIMATION_START, IDM_ANIMATION_STOP, IDM_ANIMATION_FIRST,
                    IDM_ANIMATION_PREVIOUS, IDM_ANIMATION_NEXT, IDM_ANIMATION_LAST})
        Command(id);
    EXPECT_EQ(s.ControlMode, kControlRotate);
    EXPECT_EQ(toggles(), std::vector({0, 0, 1}));
    // The toolbar and the menu checks do not follow the view's toggles.
    EXPECT_FALSE(ButtonChecked(IDM_AXES));
    EXPECT_TRUE(GetMenuState(GetMenu(Frame().GetHwnd()), IDM_AXES, MF_BYCOMMAND) & MF_CHECKED);
}
