// File > Export as glTF, Save Picture and Export Textures: greyed while there
// is nothing for them to write, writing through the system's save dialog, and
// a failure told in one box.

#include "ViewerTest.h"

namespace {

class FileMenuTest : public apptest::ViewerTest {
  protected:
    // Which of the three the File menu shows greyed when it drops down.
    std::vector<bool> Greyed() {
        HMENU file = GetSubMenu(GetMenu(Frame().GetHwnd()), 0);
        SendMessageA(Frame().GetHwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
        std::vector<bool> greyed;
        for (UINT id : {IDM_EXPORT_GLTF, IDM_SAVE_PICTURE, IDM_EXPORT_TEXTURES})
            greyed.push_back(GetMenuState(file, id, MF_BYCOMMAND) & MF_GRAYED);
        return greyed;
    }
    bool Exists(const std::string& path) {
        return std::filesystem::is_regular_file(PathFromUtf8(path));
    }
};

}  // namespace

TEST_F(FileMenuTest, WritesWhatIsOpenAndGreysWhatIsNot) {
    const sample::DemoFiles demo = WriteDemo();
    EXPECT_EQ(Greyed(), (std::vector<bool>{true, true, true}));
    View().OpenFile(demo.PointDump);
    EXPECT_EQ(Greyed(), (std::vector<bool>{false, false, true}));
    View().OpenFile(demo.Model);
    EXPECT_EQ(Greyed(), (std::vector<bool>{false, false, false}));

    // A name typed without its extension gets the first type's.
    const std::string model = m_Dir.File("exported");
    EXPECT_TRUE(fwtest::InDialog([this] { Command(IDM_EXPORT_GLTF); },
                                 [&](HWND dialog) {
                                     SetDlgItemTextW(dialog, 0x47c, WideFromUtf8(model).c_str());
                                     PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                                 }));
    EXPECT_TRUE(Exists(model + ".glb"));
    ASSERT_TRUE(View().ExportTextures(m_Dir.File("pictures")));
    EXPECT_TRUE(Exists(m_Dir.File("pictures/007.png")));

    // What cannot be written is said once, naming the file and why.
    std::string box;
    EXPECT_TRUE(fwtest::InDialog([&] { EXPECT_FALSE(View().SavePicture(m_Dir.File("pictures"))); },
                                 [&](HWND dialog) {
                                     box = fwtest::TextOf(GetDlgItem(dialog, 0xFFFF));
                                     PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                                 }));
    EXPECT_EQ(box, "cannot write " + m_Dir.File("pictures") + ": not a regular file");
}
