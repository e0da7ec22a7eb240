// The main frame as the program starts it: title, menu, toolbar, strings, the
// command routing, the bar toggles, About and Exit.

#include <string>
#include <tuple>
#include <vector>

#include "ViewerTest.h"
#include "app/resource.h"

using apptest::MessageRecorder;
using apptest::ViewerTest;

namespace {

// A menu in one line: "text id" per item, "*" after a checked one, "-" for a
// separator, a popup's items in brackets after its text.
std::string DescribeMenu(HMENU menu) {
    std::string line;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item);
        line += i ? "|" : "";
        if (item.fType & MFT_SEPARATOR)
            line += "-";
        else if (item.hSubMenu)
            line += std::string(text) + "[" + DescribeMenu(item.hSubMenu) + "]";
        else
            line += std::string(text) + " " + std::to_string(item.wID) +
                    (item.fState & MFS_CHECKED ? "*" : "");
    }
    return line;
}

class FrameTest : public ViewerTest {
  protected:
    bool MenuChecked(UINT id) { return fwtest::MenuChecked(FrameWindow(), id); }
    RECT ViewRect() {
        RECT rect;
        Frame().GetViewRect(rect);
        return rect;
    }
    // The frame and the view go, the view lets its context go without a
    // complaint, and the message loop ends with 0.
    void ExpectClosedBy(UINT message, WPARAM wParam) {
        HWND frame = FrameWindow(), view = ViewWindow();
        PostMessageA(frame, message, wParam, 0);
        EXPECT_EQ(m_App.MessageLoop(), 0);
        EXPECT_FALSE(IsWindow(frame));
        EXPECT_FALSE(IsWindow(view));
        EXPECT_EQ(Frame().GetHwnd(), nullptr);
        EXPECT_EQ(View().GetRenderingContext(), nullptr);
        EXPECT_EQ(wglGetCurrentContext(), nullptr);
    }
};

}  // namespace

TEST_F(FrameTest, StartsWithTitleMenuStringsStatusAndView) {
    EXPECT_EQ(fwtest::TextOf(FrameWindow()), "Kestrel Viewer 2.0");
    EXPECT_EQ(fwtest::ClassOf(FrameWindow()), "FrameClass");
    EXPECT_EQ(fwtest::StatusText(Frame().GetStatusBar().GetHwnd()), "Ready");
    EXPECT_EQ(GetParent(ViewWindow()), FrameWindow());
    EXPECT_GT(ViewRect().bottom - ViewRect().top, 0);
    EXPECT_EQ(fwtest::PlaceInParent(ViewWindow()), ViewRect());

    EXPECT_EQ(DescribeMenu(GetMenu(FrameWindow())),
              "&File[&Open 108|-|E&xit 102]|"
              "&Display[&Frame[&Points 132|&Wireframe 133|&Fill 134]|"
              "&Animation[&Start 136|Sto&p 137|-|&First 145|&Previous 138|&Next 139|&Last 146]|-|"
              "A&xes 125*|&Text 126*|&Lighting 127*|&Color 128*|T&extures 129*|"
              "Cull &Polygons 130*|Boun&ding Box 140|-|Tool&bar 116*|&Statusbar 104*]|"
              "&Input[&Control[&Pan\tP 117|&Rotate\tR 118|&Zoom\tZ 119]]|"
              "&Utility[&Data View 144]|&Help[&About 103]");

    std::string table;
    for (UINT id : {101, 102, 103, 104, 107, 108, 116, 117, 118, 119, 125, 126, 127, 128, 129,
                    130, 131, 132, 133, 134, 135, 136, 137, 138, 139, 140, 144, 145, 146})
        table += std::to_string(id) + " " + Windows::LoadString(id) + "\n";
    EXPECT_EQ(table,
              "101 Main Frame\n102 Quit Application\n103 About\n104 Show / Hide Statusbar\n"
              "107 New File\n108 Open File\n116 Show / Hide Toolbar\n117 Change Control to Pan\n"
              "118 Change Control to Rotate\n119 Change Control to Zoom\n125 Show / Hide Axes\n"
              "126 Show / Hide On-Screen Text\n127 Toggle Lighting\n128 Toggle Polygon Color\n"
              "129 Toggle Textures\n130 Toggle Culling of Polygons\n131 Frame Options\n"
              "132 Show Mesh as Points\n133 Show Mesh as Wireframe\n"
              "134 Show Mesh as Filled Polygons\n135 Animation Options\n136 Start Animation\n"
              "137 Stop Animation\n138 Previous Animation Set\n139 Next Animation Set\n"
              "140 Show / Hide Object Bounding Box\n144 View Model Data\n"
              "145 First Animation Set\n146 Last Animation Set\n");
}

TEST_F(FrameTest, HasTheToolbarOfTwentyTwoRowsOnItsStrip) {
    // Enabled, and nothing checked before a file is opened.
    EXPECT_EQ(
        fwtest::ToolbarRows(ToolBar()),
        (std::vector<std::array<int, 3>>{
            {0, 108, 0},  {1, 0, -1},   {6, 117, 1},  {6, 118, 2},  {6, 119, 3},  {1, 0, -1},
            {2, 125, 4},  {2, 126, 5},  {2, 127, 6},  {2, 128, 7},  {2, 129, 8},  {2, 130, 9},
            {2, 140, 10}, {1, 0, -1},   {0, 136, 11}, {0, 137, 12}, {0, 145, 13}, {0, 138, 14},
            {0, 139, 15}, {0, 146, 16}, {1, 0, -1},   {0, 144, 17}}));

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
    MessageRecorder view(ViewWindow(), WM_COMMAND);
    SceneView& s = Scene();
    auto state = [&s] {
        return std::make_tuple(s.ControlMode, s.ShowAxes, s.ShowTextures, s.ShowBoundingBox, s.PanX,
                               s.PanY, s.Zoom, s.RotateX, s.RotateY, s.DocumentKind);
    };

    // Commands that change nothing in the view still reach it.
    const auto before = state();
    for (UINT id : {126, 127, 128, 130, 136, 137, 138, 139, 145, 146}) {
        Command(id);
        EXPECT_EQ(view.Take(), std::vector<WPARAM>{id}) << id;
    }
    for (UINT id : {132, 133, 134}) {
        Command(id);
        EXPECT_TRUE(view.Take().empty()) << id;
    }
    EXPECT_EQ(state(), before);

    for (auto [id, mode] :
         {std::pair{119, kControlZoom}, {118, kControlRotate}, {117, kControlPan}}) {
        Command(id);
        EXPECT_EQ(s.ControlMode, mode) << id;
    }
    for (UINT id : {125, 129, 140})
        Command(id);
    EXPECT_EQ(std::tie(s.ShowAxes, s.ShowTextures, s.ShowBoundingBox), std::make_tuple(0, 0, 1));
    EXPECT_EQ(view.Take(), (std::vector<WPARAM>{119, 118, 117, 125, 129, 140}));
    // The toolbar and the menu checks do not follow the view's toggles.
    EXPECT_FALSE(ButtonChecked(125));
    EXPECT_TRUE(MenuChecked(125));
}

TEST_F(FrameTest, HidingBothBarsGivesTheViewTheWholeClientArea) {
    for (UINT id : {IDM_TOOLBAR, IDM_STATUSBAR}) {
        Command(id);
        EXPECT_FALSE(MenuChecked(id)) << id;
    }
    RECT client;
    GetClientRect(FrameWindow(), &client);
    EXPECT_EQ(fwtest::PlaceInParent(ViewWindow()), client);
}

TEST_F(FrameTest, AboutShowsTheProgramsName) {
    fwtest::AnswerDialogLater(WM_COMMAND, IDOK);
    Command(IDM_ABOUT);
    const fwtest::SeenDialog seen = fwtest::TakeSeenDialog();
    EXPECT_EQ(seen.caption, "About");
    EXPECT_EQ(seen.text.substr(0, seen.text.find('\n')), "Kestrel Model Viewer 2.0");
    EXPECT_EQ(seen.owner, FrameWindow());
}

TEST_F(FrameTest, ExitClosesTheFrame) {
    ExpectClosedBy(WM_COMMAND, IDM_EXIT);
}

TEST_F(FrameTest, TheCloseBoxClosesTheFrame) {
    ExpectClosedBy(WM_SYSCOMMAND, SC_CLOSE);
}
