// Utility > Data View: the "Model Data View" dialog on the open model, worked
// from inside its own loop. The texts themselves are the data view's.

#include <filesystem>

#include "ViewerTest.h"
#include "dataview/DataText.h"

using dataview::FindEntry;

namespace {

class DataViewTest : public apptest::ViewerTest {
  protected:
    // Runs `body` in the Data View dialog, then closes it.
    void InDataView(const std::function<void()>& body) {
        EXPECT_TRUE(fwtest::InDialog([this] { Command(IDM_DATAVIEW); },
                                     [&](HWND dialog) {
                                         m_Dialog = dialog;
                                         body();
                                         PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                                     }));
    }
    LRESULT Send(int control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendDlgItemMessageA(m_Dialog, control, message, wParam, lParam);
    }
    std::string Text(int control = IDC_DATATEXT) {
        return fwtest::TextOf(GetDlgItem(m_Dialog, control));
    }
    // What a user's choice from a list does: the selection, then its notification.
    void Choose(int control, int item) {
        Send(control, CB_SETCURSEL, item);
        SendMessageA(m_Dialog, WM_COMMAND, MAKEWPARAM(control, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(m_Dialog, control)));
    }

    HWND m_Dialog = nullptr;
};

}  // namespace

TEST_F(DataViewTest, ShowsTheHeaderThenTheChosenBlocksOfTheOpenModel) {
    InDataView([this] {
        EXPECT_EQ(Text(), dataview::NoModelText());
        EXPECT_EQ(Send(IDC_SETCHOICE, CB_GETCOUNT), 0);
        Choose(IDC_BLOCKCHOICE, 5);
        EXPECT_EQ(Text(), dataview::NoModelText());
    });
    // The demo with a block longer than an edit control lets a user type into
    // at first.
    const sample::DemoFiles files = WriteDemo();
    sample::Model big = sample::DemoModel();
    big.Vertices.resize(4000, sample::Vec3{1.5f, -2.25f, 3});
    m_Dir.Write("kestrel-demo.model", sample::WriteModel(big));
    View().OpenFile(files.Model);
    const ModelScene& scene = *Scene().Scene;
    const ModelFile& model = scene.Model();
    ASSERT_TRUE(scene.ArchiveLoaded());
    ASSERT_GT(dataview::BlockText(model, nullptr, 4).size(), 100000u);
    InDataView([&] {
        // The header, "Header" typed in the list's field but no entry chosen,
        // and the first of three animation sets; columns line up in a fixed font.
        EXPECT_EQ(Text(), dataview::HeaderText(model));
        EXPECT_EQ(Text(IDC_BLOCKCHOICE), "Header");
        EXPECT_EQ(Send(IDC_BLOCKCHOICE, CB_GETCURSEL), CB_ERR);
        EXPECT_EQ(Send(IDC_BLOCKCHOICE, CB_GETCOUNT), LRESULT{dataview::kDataViewEntryCount});
        EXPECT_EQ(std::pair(Send(IDC_SETCHOICE, CB_GETCOUNT), Text(IDC_SETCHOICE)),
                  std::pair(LRESULT{3}, std::string("idle")));
        EXPECT_EQ(Send(IDC_DATATEXT, WM_GETFONT),
                  reinterpret_cast<LRESULT>(GetStockObject(ANSI_FIXED_FONT)));

        // Another set shows nothing new while no block is chosen; a long block
        // takes typing past the edit's first limit; block 21 reads the model's
        // archive.
        Choose(IDC_SETCHOICE, 1);
        EXPECT_EQ(Text(), dataview::HeaderText(model));
        Choose(IDC_BLOCKCHOICE, FindEntry(4));
        Send(IDC_DATATEXT, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("x"));
        EXPECT_EQ(Text(), std::string("x").append(dataview::BlockText(model, nullptr, 4)));
        Choose(IDC_BLOCKCHOICE, FindEntry(21));
        EXPECT_EQ(Text(), dataview::BlockText(model, &scene.Textures, 21));
        // Another set shows the chosen block again: block 27 follows the set.
        Choose(IDC_BLOCKCHOICE, FindEntry(27));
        Choose(IDC_SETCHOICE, 2);
        EXPECT_EQ(Text(), dataview::AnimationText(model, 2));
        EXPECT_NE(dataview::AnimationText(model, 2), dataview::AnimationText(model, 1));
    });

    // Without its archive beside it, block 21 has none to read.
    std::filesystem::remove(PathFromUtf8(files.Archive));
    View().OpenFile(files.Model);
    InDataView([this] {
        Choose(IDC_BLOCKCHOICE, FindEntry(21));
        EXPECT_EQ(Text(), dataview::BlockText(Scene().Scene->Model(), nullptr, 21));
    });
}
