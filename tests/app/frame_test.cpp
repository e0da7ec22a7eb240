// The main frame as the program starts it: title, menu, toolbar, strings, the
// command routing, the bar toggles, About and Exit.

#include <string>
#include <vector>

#include "ViewerTest.h"
#include "app/resource.h"

using apptest::MessageRecorder;
using apptest::ViewerTest;
using Lines = std::vector<std::string>;

namespace {

// The menu as indented lines: "text id", "checked" when it is, "-" for a
// separator, a popup's entries below it.
void DescribeMenu(HMENU menu, const std::string& indent, Lines& lines) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item);
        if (item.fType & MFT_SEPARATOR) {
            lines.push_back(indent + "-");
        } else if (item.hSubMenu) {
            lines.push_back(indent + text);
            DescribeMenu(item.hSubMenu, indent + "  ", lines);
        } else {
            lines.push_back(indent + text + " " + std::to_string(item.wID) +
                            ((item.fState & MFS_CHECKED) ? " checked" : ""));
        }
    }
}

struct Button {
    int style;
    int id;
    int image;  // -1 for a separator
    bool operator==(const Button&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Button& b) {
    return out << "(" << b.style << ", " << b.id << ", " << b.image << ")";
}

class FrameTest : public ViewerTest {
  protected:
    bool MenuChecked(UINT id) {
        return GetMenuState(GetMenu(FrameWindow()), id, MF_BYCOMMAND) & MF_CHECKED;
    }
    RECT ViewPlace() {
        RECT rect;
        GetWindowRect(ViewWindow(), &rect);
        MapWindowPoints(nullptr, FrameWindow(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    void ExpectViewFillsTheSpaceLeft() {
        RECT want;
        Frame().GetViewRect(want);
        const RECT got = ViewPlace();
        EXPECT_GT(want.bottom - want.top, 0);
        EXPECT_EQ(got.left, want.left);
        EXPECT_EQ(got.top, want.top);
        EXPECT_EQ(got.right, want.right);
        EXPECT_EQ(got.bottom, want.bottom);
    }
};

}  // namespace

TEST_F(FrameTest, StartsWithTitleMenuStringsAndStatus) {
    EXPECT_EQ(fwtest::TextOf(FrameWindow()), "Kestrel Viewer 2.0");
    EXPECT_EQ(fwtest::ClassOf(FrameWindow()), "FrameClass");
    EXPECT_EQ(GetParent(ViewWindow()), FrameWindow());
    char status[64] = {};
    SendMessageA(Frame().GetStatusBar().GetHwnd(), SB_GETTEXTA, 0,
                 reinterpret_cast<LPARAM>(status));
    EXPECT_STREQ(status, "Ready");

    Lines menu;
    DescribeMenu(GetMenu(FrameWindow()), "", menu);
    EXPECT_EQ(menu, (Lines{
                        "&File",
                        "  &Open 108",
                        "  -",
                        "  E&xit 102",
                        "&Display",
                        "  &Frame",
                        "    &Points 132",
                        "    &Wireframe 133",
                        "    &Fill 134",
                        "  &Animation",
                        "    &Start 136",
                        "    Sto&p 137",
                        "    -",
                        "    &First 145",
                        "    &Previous 138",
                        "    &Next 139",
                        "    &Last 146",
                        "  -",
                        "  A&xes 125 checked",
                        "  &Text 126 checked",
                        "  &Lighting 127 checked",
                        "  &Color 128 checked",
                        "  T&extures 129 checked",
                        "  Cull &Polygons 130 checked",
                        "  Boun&ding Box 140",
                        "  -",
                        "  Tool&bar 116 checked",
                        "  &Statusbar 104 checked",
                        "&Input",
                        "  &Control",
                        "    &Pan\tP 117",
                        "    &Rotate\tR 118",
                        "    &Zoom\tZ 119",
                        "&Utility",
                        "  &Data View 144",
                        "&Help",
                        "  &About 103",
                    }));

    const std::pair<UINT, const char*> strings[] = {
        {101, "Main Frame"},
        {102, "Quit Application"},
        {103, "About"},
        {104, "Show / Hide Statusbar"},
        {107, "New File"},
        {108, "Open File"},
        {116, "Show / Hide Toolbar"},
        {117, "Change Control to Pan"},
        {118, "Change Control to Rotate"},
        {119, "Change Control to Zoom"},
        {125, "Show / Hide Axes"},
        {126, "Show / Hide On-Screen Text"},
        {127, "Toggle Lighting"},
        {128, "Toggle Polygon Color"},
        {129, "Toggle Textures"},
        {130, "Toggle Culling of Polygons"},
        {131, "Frame Options"},
        {132, "Show Mesh as Points"},
        {133, "Show Mesh as Wireframe"},
        {134, "Show Mesh as Filled Polygons"},
        {135, "Animation Options"},
        {136, "Start Animation"},
        {137, "Stop Animation"},
        {138, "Previous Animation Set"},
        {139, "Next Animation Set"},
        {140, "Show / Hide Object Bounding Box"},
        {144, "View Model Data"},
        {145, "First Animation Set"},
        {146, "Last Animation Set"},
    };
    for (const auto& [id, text] : strings)
        EXPECT_EQ(Windows::LoadString(id), text) << id;
}

TEST_F(FrameTest, HasTheToolbarOfTwentyTwoRowsOnItsStrip) {
    const std::vector<Button> want = {
        {0, 108, 0},  {1, 0, -1},   {6, 117, 1},  {6, 118, 2},  {6, 119, 3},  {1, 0, -1},
        {2, 125, 4},  {2, 126, 5},  {2, 127, 6},  {2, 128, 7},  {2, 129, 8},  {2, 130, 9},
        {2, 140, 10}, {1, 0, -1},   {0, 136, 11}, {0, 137, 12}, {0, 145, 13}, {0, 138, 14},
        {0, 139, 15}, {0, 146, 16}, {1, 0, -1},   {0, 144, 17},
    };
    ASSERT_EQ(SendMessageA(ToolBar(), TB_BUTTONCOUNT, 0, 0), 22);
    std::vector<Button> got;
    for (int i = 0; i < 22; ++i) {
        TBBUTTON button{};
        SendMessageA(ToolBar(), TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        const bool separator = button.fsStyle & TBSTYLE_SEP;
        got.push_back({button.fsStyle, button.idCommand, separator ? -1 : button.iBitmap});
        if (!separator) {  // enabled, and nothing checked before a file is opened
            EXPECT_EQ(button.fsState, TBSTATE_ENABLED) << button.idCommand;
        }
    }
    EXPECT_EQ(got, want);

    // The strip: 18 images of 16 x 15, 16 colours, on the button face.
    HBITMAP strip = static_cast<HBITMAP>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(101), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(strip, nullptr);
    DIBSECTION dib{};
    GetObjectA(strip, sizeof dib, &dib);
    EXPECT_EQ(dib.dsBm.bmWidth, 18 * 16);
    EXPECT_EQ(dib.dsBm.bmHeight, 15);
    EXPECT_EQ(dib.dsBmih.biBitCount, 4);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, strip);
    EXPECT_EQ(GetPixel(dc, 8 * 16 + 0, 0), RGB(192, 192, 192));  // Textures, a corner
    EXPECT_EQ(GetPixel(dc, 4 * 16 + 3, 6), RGB(0, 0, 0));        // Axes, on black
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(strip);
}

TEST_F(FrameTest, TheViewsCommandsReachItAndPointsWireframeFillReachNothing) {
    MessageRecorder view(ViewWindow(), {WM_COMMAND});
    SceneView& scene = Scene();
    auto state = [&scene] {
        return std::vector<float>{float(scene.ControlMode),
                                  float(scene.ShowAxes),
                                  float(scene.ShowTextures),
                                  float(scene.ShowBoundingBox),
                                  scene.PanX,
                                  scene.PanY,
                                  scene.Zoom,
                                  scene.RotateX,
                                  scene.RotateY,
                                  float(scene.DocumentKind)};
    };

    // Commands that change nothing in the view still reach it.
    const std::vector<float> before = state();
    for (UINT id : {126, 127, 128, 130, 136, 137, 138, 139, 145, 146}) {
        Command(id);
        EXPECT_EQ(view.Take(WM_COMMAND), std::vector<WPARAM>{id}) << id;
    }
    EXPECT_EQ(state(), before);
    for (UINT id : {132, 133, 134}) {
        Command(id);
        EXPECT_TRUE(view.Take(WM_COMMAND).empty()) << id;
    }
    EXPECT_EQ(state(), before);

    Command(119);
    EXPECT_EQ(scene.ControlMode, kControlZoom);
    Command(118);
    EXPECT_EQ(scene.ControlMode, kControlRotate);
    Command(117);
    EXPECT_EQ(scene.ControlMode, kControlPan);
    Command(125);
    EXPECT_EQ(scene.ShowAxes, 0);
    Command(129);
    EXPECT_EQ(scene.ShowTextures, 0);
    Command(140);
    EXPECT_EQ(scene.ShowBoundingBox, 1);
    EXPECT_EQ(view.Take(WM_COMMAND), (std::vector<WPARAM>{119, 118, 117, 125, 129, 140}));
    // The toolbar and the menu checks do not follow the view's toggles.
    EXPECT_FALSE(ButtonChecked(125));
    EXPECT_TRUE(GetMenuState(GetMenu(FrameWindow()), 125, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(FrameTest, HidingABarGivesTheViewItsSpaceAndUnchecksTheItem) {
    ExpectViewFillsTheSpaceLeft();
    for (UINT id : {116u, 104u}) {
        Command(id);
        EXPECT_FALSE(MenuChecked(id)) << id;
        ExpectViewFillsTheSpaceLeft();
    }
    RECT client;
    GetClientRect(FrameWindow(), &client);
    EXPECT_EQ(ViewPlace().bottom - ViewPlace().top, client.bottom);
    for (UINT id : {116u, 104u}) {
        Command(id);
        EXPECT_TRUE(MenuChecked(id)) << id;
        ExpectViewFillsTheSpaceLeft();
    }
}

TEST_F(FrameTest, AboutShowsTheProgramsName) {
    fwtest::AnswerDialogLater(WM_COMMAND, IDOK);
    Command(IDM_ABOUT);
    const fwtest::SeenDialog seen = fwtest::TakeSeenDialog();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, "About");
    EXPECT_EQ(seen.text.substr(0, seen.text.find('\n')), "Kestrel Model Viewer 2.0");
    EXPECT_EQ(seen.owner, FrameWindow());
}

// Exit and the close box: the frame and the view go, the view lets its context
// go without a complaint, and the message loop ends with 0.
class ClosingTest : public FrameTest {
  protected:
    void ExpectClosedBy(UINT message, WPARAM wParam) {
        HWND frame = FrameWindow(), view = ViewWindow();
        PostMessageA(frame, message, wParam, 0);
        EXPECT_EQ(m_App.MessageLoop(), 0);
        EXPECT_FALSE(IsWindow(frame));
        EXPECT_FALSE(IsWindow(view));
        EXPECT_EQ(View().GetRenderingContext(), nullptr);
        EXPECT_EQ(wglGetCurrentContext(), nullptr);
    }
};

TEST_F(ClosingTest, ExitClosesTheFrame) {
    ExpectClosedBy(WM_COMMAND, IDM_EXIT);
}

TEST_F(ClosingTest, TheCloseBoxClosesTheFrame) {
    ExpectClosedBy(WM_SYSCOMMAND, SC_CLOSE);
}
