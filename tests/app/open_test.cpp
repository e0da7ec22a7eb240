// File > Open through the system's open-file dialog, filled in and confirmed
// from inside its own loop as a user would.

#include <filesystem>

#include "ViewerTest.h"
#include "app/resource.h"
#include "sample/DemoScene.h"
#include "tests/support/TempDir.h"

using apptest::MessageRecorder;
using apptest::ViewerTest;
using apptest::Wide;

namespace {

class OpenTest : public ViewerTest {
  protected:
    void SetUp() override {
        // A folder name beyond ASCII: the path goes through the wide API.
        const std::filesystem::path folder = m_Dir.Path() / std::filesystem::path(u8"modèles ü");
        std::filesystem::create_directory(folder);
        ASSERT_TRUE(sample::WriteDemo(testsupport::Utf8(folder), m_Files));
    }

    // Open with `path` typed into the dialog; `deleteOnClose` deletes the file
    // once the dialog has checked that it exists.
    void OpenFile(const std::string& path, bool deleteOnClose = false) {
        apptest::InDialogLater([this, path, deleteOnClose](HWND dialog) {
            m_Filter = apptest::FileTypeText(dialog);
            m_Owner = GetWindow(dialog, GW_OWNER);
            if (deleteOnClose)
                apptest::DeleteWhenClosed(dialog, Wide(path));
            apptest::ChooseFile(dialog, Wide(path));
        });
        Command(IDM_OPEN);
        EXPECT_TRUE(apptest::TakeDialogRan());
    }

    void Cancel() {
        apptest::InDialogLater([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
        Command(IDM_OPEN);
        EXPECT_TRUE(apptest::TakeDialogRan());
    }

    // Pan, Axes, Color, Textures and Cull are checked after every Open, and no
    // other button.
    void ExpectOpenChecks(MessageRecorder& frame) {
        EXPECT_EQ(frame.Take(WM_CHECKBUTTON), (std::vector<WPARAM>{117, 125, 128, 129, 130}));
        for (UINT id : {117, 125, 128, 129, 130})
            EXPECT_TRUE(ButtonChecked(id)) << id;
        for (UINT id : {108, 118, 119, 126, 127, 140, 136, 144})
            EXPECT_FALSE(ButtonChecked(id)) << id;
    }

    testsupport::TempDir m_Dir;
    sample::DemoFiles m_Files;
    std::string m_Filter;
    HWND m_Owner = nullptr;
};

}  // namespace

TEST_F(OpenTest, EachKindOfFileReplacesTheDocument) {
    MessageRecorder frame(FrameWindow(), {WM_CHECKBUTTON});
    SceneView& scene = Scene();
    for (UINT id : {117, 125, 128, 129, 130})
        EXPECT_FALSE(ButtonChecked(id)) << id;

    OpenFile(m_Files.Model);
    EXPECT_EQ(m_Filter, "All Files (*.*)");
    EXPECT_EQ(m_Owner, FrameWindow());
    EXPECT_EQ(scene.DocumentKind, 2);
    ASSERT_NE(scene.Scene, nullptr);
    EXPECT_EQ(scene.Scene->Path(), m_Files.Model);
    EXPECT_TRUE(scene.Scene->ArchiveLoaded());
    EXPECT_EQ(scene.Scene->TextureNames.size(), 8u);
    EXPECT_EQ(scene.Points, nullptr);
    ExpectOpenChecks(frame);

    // A texture archive closes the model and shows nothing; the kind stays.
    OpenFile(m_Files.Archive);
    EXPECT_EQ(scene.Scene, nullptr);
    EXPECT_EQ(scene.Points, nullptr);
    EXPECT_EQ(scene.DocumentKind, 2);
    ExpectOpenChecks(frame);

    OpenFile(m_Files.PointDump);
    EXPECT_EQ(scene.DocumentKind, 3);
    ASSERT_NE(scene.Points, nullptr);
    EXPECT_EQ(scene.Scene, nullptr);
    ExpectOpenChecks(frame);

    // Gone between the dialog and the identification: nothing is open.
    const std::string doomed = testsupport::Utf8(m_Dir.Path() / "doomed.model");
    std::filesystem::copy_file(
        std::filesystem::path(std::u8string(m_Files.Model.begin(), m_Files.Model.end())),
        std::filesystem::path(std::u8string(doomed.begin(), doomed.end())));
    OpenFile(doomed, true);
    EXPECT_FALSE(std::filesystem::exists(std::u8string(doomed.begin(), doomed.end())));
    EXPECT_EQ(scene.DocumentKind, 0);
    EXPECT_EQ(scene.Scene, nullptr);
    EXPECT_EQ(scene.Points, nullptr);
    ExpectOpenChecks(frame);
}

TEST_F(OpenTest, CancellingKeepsTheDocumentAndStillChecksTheButtons) {
    MessageRecorder frame(FrameWindow(), {WM_CHECKBUTTON});
    Cancel();
    EXPECT_EQ(Scene().DocumentKind, 0);
    ExpectOpenChecks(frame);

    OpenFile(m_Files.PointDump);
    frame.Take(WM_CHECKBUTTON);
    const PointDump* points = Scene().Points.get();
    Scene().PanX = 7;
    Command(118);
    Cancel();
    EXPECT_EQ(Scene().Points.get(), points);
    EXPECT_EQ(Scene().DocumentKind, 3);
    // Camera and mode keep their values; the toolbar shows Pan all the same.
    EXPECT_EQ(Scene().PanX, 7.0f);
    EXPECT_EQ(Scene().ControlMode, kControlRotate);
    ExpectOpenChecks(frame);
}
