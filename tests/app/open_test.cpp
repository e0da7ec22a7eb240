// File > Open through the system's open-file dialog, filled in and confirmed
// from inside its own loop as a user would; files dropped on the frame.

#include "ViewerTest.h"
#include "model/Utf8Path.h"

// After windows.h, which the viewer's headers bring.
#include <shlobj.h>

using apptest::ViewerTest;

namespace {

class OpenTest : public ViewerTest {
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
                EXPECT_EQ(GetWindow(dialog, GW_OWNER), FrameWindow());
                EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, 0x410)));  // Open as read-only
                // The file name field: the edit of the combo box cmb13 (which may
                // hold a plain combo box holding it), or edt1.
                HWND combo = GetDlgItem(dialog, 0x47c);
                HWND inner = FindWindowExA(combo, nullptr, "ComboBox", nullptr);
                HWND field = FindWindowExA(inner ? inner : combo, nullptr, "Edit", nullptr);
                field = combo && field ? field : GetDlgItem(dialog, 0x480);
                SetWindowTextW(field, PathFromUtf8(path).wstring().c_str());
                const WORD button = path.empty() || !field ? IDCANCEL : IDOK;
                PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
            }));
    }

    // The document after an Open, and the buttons that Open checks on the
    // toolbar, whatever came of it: Pan, Axes, Color, Textures and Cull.
    void ExpectOpened(FileKind kind, bool model, bool points) {
        EXPECT_EQ(Scene().DocumentKind, kind);
        EXPECT_EQ(Scene().Scene != nullptr, model);
        EXPECT_EQ(Scene().Points != nullptr, points);
        for (UINT id : {117, 118, 119, 125, 126, 127, 128, 129, 130, 140})
            EXPECT_EQ(ButtonChecked(id), id == 117 || id == 125 || (id >= 128 && id <= 130)) << id;
    }

    sample::DemoFiles m_Files;
};

}  // namespace

TEST_F(OpenTest, TheChosenFileOpensAndCancelKeepsTheDocument) {
    OpenFile("");
    ExpectOpened(FileKind::Unreadable, false, false);
    OpenFile(m_Files.Model);
    ExpectOpened(FileKind::ModelFile, true, false);
    ASSERT_NE(Scene().Scene, nullptr);
    EXPECT_EQ(Scene().Scene->Path(), m_Files.Model);
    EXPECT_EQ(Scene().Scene->TextureNames.size(), 8u);  // the archive beside it, uploaded
    OpenFile("");
    ExpectOpened(FileKind::ModelFile, true, false);
}

TEST_F(OpenTest, AFileDroppedOnTheFrameOpensAsOpenWould) {
    // The frame takes files from Explorer; of two dropped, the first one opens.
    EXPECT_TRUE(GetWindowLongPtrW(FrameWindow(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    std::wstring names;
    for (const std::string& file : {m_Files.Model, m_Files.PointDump})
        names += PathFromUtf8(file).wstring() + L'\0';
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(files + 1));
    GlobalUnlock(drop);
    SendMessageW(FrameWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    ExpectOpened(FileKind::ModelFile, true, false);
    ASSERT_NE(Scene().Scene, nullptr);
    EXPECT_EQ(Scene().Scene->Path(), m_Files.Model);
}

TEST_F(OpenTest, WithoutAContextAModelOpensWithoutTextures) {
    View().ReleaseGL();
    OpenFile(m_Files.Model);
    ExpectOpened(FileKind::ModelFile, true, false);
    ASSERT_NE(Scene().Scene, nullptr);
    EXPECT_TRUE(Scene().Scene->ArchiveLoaded());
    EXPECT_TRUE(Scene().Scene->TextureNames.empty());
}
