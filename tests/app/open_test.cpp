// File > Open through the system's open-file dialog, filled in and confirmed
// from inside its own loop as a user would.

#include <filesystem>

#include "ViewerTest.h"
#include "app/resource.h"

// After windows.h, which the viewer's headers bring.
#include <shlobj.h>

using apptest::MessageRecorder;
using apptest::ViewerTest;
namespace fs = std::filesystem;

namespace {

fs::path PathOf(const std::string& utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// Deletes a file as its dialog closes: after the dialog's own check that it exists.
struct Deletion {
    HHOOK hook = nullptr;
    HWND dialog = nullptr;
    fs::path path;
} g_Deletion;

LRESULT CALLBACK DeleteOnDestroy(int code, WPARAM wParam, LPARAM lParam) {
    HHOOK hook = g_Deletion.hook;
    if (code == HCBT_DESTROYWND && reinterpret_cast<HWND>(wParam) == g_Deletion.dialog) {
        fs::remove(g_Deletion.path);
        UnhookWindowsHookEx(std::exchange(g_Deletion, {}).hook);
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

// The file name field: the edit inside the combo box cmb13, or the edit edt1.
HWND FileNameField(HWND dialog) {
    auto isEdit = [](HWND child) { return fwtest::ClassOf(child) == "Edit"; };
    HWND combo = GetDlgItem(dialog, 0x47c);
    HWND edit = combo ? fwtest::FindWindowWhere(combo, isEdit) : nullptr;
    return edit ? edit : GetDlgItem(dialog, 0x480);
}

class OpenTest : public ViewerTest {
  protected:
    // A folder name beyond any ANSI code page: the path goes through the wide API.
    void SetUp() override { m_Files = WriteDemo(u8"modèles ü 模型"); }

    // Open with `path` typed into the dialog's file name field and Open pressed;
    // `deleteOnClose` deletes the file once the dialog has checked that it exists.
    void OpenFile(const std::string& path, bool deleteOnClose = false) {
        InDialogOf(IDM_OPEN, [this, path, deleteOnClose](HWND dialog) {
            m_Filter = fwtest::TextOf(GetDlgItem(dialog, 0x470));  // the file type list
            m_Owner = GetWindow(dialog, GW_OWNER);
            HWND readOnly = GetDlgItem(dialog, 0x410);  // chx1
            m_ReadOnlyShown = readOnly && IsWindowVisible(readOnly);
            if (deleteOnClose) {
                g_Deletion = {
                    SetWindowsHookExW(WH_CBT, DeleteOnDestroy, nullptr, GetCurrentThreadId()),
                    dialog, PathOf(path)};
            }
            HWND field = FileNameField(dialog);
            EXPECT_NE(field, nullptr);
            SetWindowTextW(field, PathOf(path).wstring().c_str());
            // Without a name, OK would keep the dialog open: cancel instead.
            PostMessageW(dialog, WM_COMMAND, field ? MAKEWPARAM(IDOK, BN_CLICKED) : IDCANCEL,
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        });
    }

    void Cancel() {
        InDialogOf(IDM_OPEN, [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
    }

    // The document after an Open: its kind, whether a model or a point dump is
    // open; and Pan, Axes, Color, Textures and Cull checked on the toolbar, in
    // this order, and no other button.
    void ExpectOpened(MessageRecorder& frame, FileKind kind, bool model, bool points) {
        EXPECT_EQ(Scene().DocumentKind, kind);
        EXPECT_EQ(Scene().Scene != nullptr, model);
        EXPECT_EQ(Scene().Points != nullptr, points);
        EXPECT_EQ(frame.Take(), (std::vector<WPARAM>{117, 125, 128, 129, 130}));
        for (UINT id : {117, 125, 128, 129, 130})
            EXPECT_TRUE(ButtonChecked(id)) << id;
        for (UINT id : {108, 118, 119, 126, 127, 140, 136, 144})
            EXPECT_FALSE(ButtonChecked(id)) << id;
    }

    sample::DemoFiles m_Files;
    std::string m_Filter;
    HWND m_Owner = nullptr;
    bool m_ReadOnlyShown = true;
};

}  // namespace

TEST_F(OpenTest, EachKindOfFileReplacesTheDocument) {
    MessageRecorder frame(FrameWindow(), WM_CHECKBUTTON);
    OpenFile(m_Files.Model);
    ExpectOpened(frame, FileKind::ModelFile, true, false);
    EXPECT_EQ(m_Filter, "All Files (*.*)");
    EXPECT_EQ(m_Owner, FrameWindow());
    EXPECT_FALSE(m_ReadOnlyShown);
    ASSERT_NE(Scene().Scene, nullptr);
    EXPECT_EQ(Scene().Scene->Path(), m_Files.Model);
    EXPECT_TRUE(Scene().Scene->ArchiveLoaded());
    EXPECT_EQ(Scene().Scene->TextureNames.size(), 8u);

    // A texture archive closes the model and shows nothing; the kind stays.
    OpenFile(m_Files.Archive);
    ExpectOpened(frame, FileKind::ModelFile, false, false);
    OpenFile(m_Files.PointDump);
    ExpectOpened(frame, FileKind::PointDump, false, true);

    // Gone between the dialog and the identification: nothing is open.
    const std::string doomed = testsupport::Utf8(m_Dir.Path() / "doomed.model");
    fs::copy_file(PathOf(m_Files.Model), PathOf(doomed));
    OpenFile(doomed, true);
    EXPECT_FALSE(fs::exists(PathOf(doomed)));
    ExpectOpened(frame, FileKind::Unreadable, false, false);
}

TEST_F(OpenTest, AFileDroppedOnTheFrameOpensAsOpenWould) {
    // The frame takes files from Explorer; of two dropped, the first one opens.
    EXPECT_TRUE(GetWindowLongPtrW(FrameWindow(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    std::wstring names;
    for (const std::string& file : {m_Files.Model, m_Files.PointDump})
        names += PathOf(file).wstring() + L'\0';
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(files + 1));
    GlobalUnlock(drop);
    MessageRecorder frame(FrameWindow(), WM_CHECKBUTTON);
    SendMessageW(FrameWindow(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    ExpectOpened(frame, FileKind::ModelFile, true, false);
    EXPECT_EQ(Scene().Scene->Path(), m_Files.Model);
    EXPECT_TRUE(Scene().Scene->ArchiveLoaded());
}

TEST_F(OpenTest, CancellingKeepsTheDocumentAndStillChecksTheButtons) {
    MessageRecorder frame(FrameWindow(), WM_CHECKBUTTON);
    Cancel();
    ExpectOpened(frame, FileKind::Unreadable, false, false);

    OpenFile(m_Files.PointDump);
    frame.Take();
    const PointDump* points = Scene().Points.get();
    Scene().PanX = 7;
    Command(118);
    Cancel();
    ExpectOpened(frame, FileKind::PointDump, false, true);
    EXPECT_EQ(Scene().Points.get(), points);
    // Camera and mode keep their values; the toolbar shows Pan all the same.
    EXPECT_EQ(Scene().PanX, 7.0f);
    EXPECT_EQ(Scene().ControlMode, kControlRotate);
}

TEST_F(OpenTest, WithoutAContextAModelOpensWithoutTextures) {
    View().ReleaseGL();
    MessageRecorder frame(FrameWindow(), WM_CHECKBUTTON);
    OpenFile(m_Files.Model);
    ExpectOpened(frame, FileKind::ModelFile, true, false);
    EXPECT_TRUE(Scene().Scene->ArchiveLoaded());
    EXPECT_TRUE(Scene().Scene->TextureNames.empty());
}
