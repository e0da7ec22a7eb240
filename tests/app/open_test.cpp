// File > Open through the system's open-file dialog, filled in and confirmed
// from inside its own loop as a user would; files dropped on the frame.

#include "ViewerTest.h"

// After windows.h, which the viewer's headers bring.
#include <shlobj.h>

namespace {

class OpenTest : public apptest::ViewerTest {
  protected:
    // A folder name beyond any ANSI code page: the path goes through the wide API.
    void SetUp() override { m_Files = WriteDemo(u8"modèles ü 模型"); }

    // Open with `path` typed into the dialog's file name field and Open pressed,
    // or Cancel pressed when the path is empty.
    void OpenFile(const std::string& path) {
        EXPECT_TRUE(fwtest::InDialog(
            [this] { Command(IDM_OPEN); },
            [&](HWND dialog) {
                EXPECT_EQ(fwtest::TextOf(GetDlgItem(dialog, 0x470)), "All Files (*.*)");
                EXPECT_EQ(GetWindow(dialog, GW_OWNER), Frame().GetHwnd());
                EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, 0x410)));  // Open as read-only
                // The file name field, cmb13.
                SetDlgItemTextW(dialog, 0x47c, PathFromUtf8(path).wstring().c_str());
                const WORD button = path.empty() ? IDCANCEL : IDOK;
                PostMessageW(dialog, WM_COMMAND, button, 0);
            }));
    }

    // The model open, and the buttons that Open checks on the toolbar, whatever
    // came of it: Pan, Axes, Color, Textures and Cull.
    void ExpectOpened(const std::string& model) {
        EXPECT_EQ(Scene().Scene ? Scene().Scene->Model().Path() : "", model);
        for (UINT id : {117, 118, 119, 125, 126, 127, 128, 129, 130, 140})
            EXPECT_EQ(ButtonChecked(id), id == 117 || id == 125 || (id >= 128 && id <= 130)) << id;
    }

    sample::DemoFiles m_Files;
};

}  // namespace

TEST_F(OpenTest, TheChosenFileOpensAndCancelKeepsTheDocument) {
    Frame().GetToolBar().CheckButton(IDM_CONTROL_ZOOM);  // Pan, pressed by Open, releases it
    OpenFile("");
    ExpectOpened("");
    OpenFile(m_Files.Model);
    ExpectOpened(m_Files.Model);
    ASSERT_NE(Scene().Scene, nullptr);
    EXPECT_EQ(Scene().Scene->TextureNames.size(), 8u);  // the archive beside it, uploaded
    OpenFile("");
    ExpectOpened(m_Files.Model);
}

// Of files dropped from Explorer the first opens, as Open would; a view whose
// context could not be made opens it too, but uploads nothing.
TEST_F(OpenTest, TheFirstFileDroppedOnTheFrameOpens) {
    View().ReleaseGL();
    EXPECT_TRUE(GetWindowLongPtrW(Frame().GetHwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    std::wstring names;
    for (const std::string& file : {m_Files.Model, m_Files.PointDump})
        names += PathFromUtf8(file).wstring() + L'\0';
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(files + 1));
    GlobalUnlock(drop);
    SendMessageW(Frame().GetHwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    ExpectOpened(m_Files.Model);
    ASSERT_NE(Scene().Scene, nullptr);
    EXPECT_TRUE(Scene().Scene->ArchiveLoaded());
    EXPECT_TRUE(Scene().Scene->TextureNames.empty());
}
