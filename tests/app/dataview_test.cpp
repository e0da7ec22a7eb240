// Utility > Data View: the "Model Data View" dialog on the open model, worked
// from inside its own loop. The texts themselves are the data view's.

#include "ViewerTest.h"
#include "dataview/DataText.h"

using apptest::ViewerTest;
using fwtest::TextOf;

namespace {

std::vector<std::string> Items(HWND combo) {
    std::vector<std::string> items;
    for (int i = 0; i < SendMessageA(combo, CB_GETCOUNT, 0, 0); ++i) {
        char item[128] = {};
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        items.emplace_back(item);
    }
    return items;
}

// What a user's choice from a list does: the selection, then its notification.
void Choose(HWND dialog, int control, int item) {
    HWND combo = GetDlgItem(dialog, control);
    SendMessageA(combo, CB_SETCURSEL, item, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(control, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

class DataViewTest : public ViewerTest {
  protected:
    // Runs `body` in the Data View dialog on its text, then closes the dialog.
    void InDataView(const std::function<void(HWND dialog, HWND text)>& body) {
        EXPECT_TRUE(fwtest::InDialog([this] { Command(IDM_DATAVIEW); },
                                     [&](HWND dialog) {
                                         body(dialog, GetDlgItem(dialog, IDC_DATATEXT));
                                         PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                                     }));
    }
};

}  // namespace

TEST_F(DataViewTest, ShowsTheHeaderThenTheChosenBlocksOfTheOpenModel) {
    InDataView([](HWND dialog, HWND text) {
        EXPECT_EQ(TextOf(text), dataview::NoModelText());
        EXPECT_TRUE(Items(GetDlgItem(dialog, IDC_SETCHOICE)).empty());
        Choose(dialog, IDC_BLOCKCHOICE, 5);
        EXPECT_EQ(TextOf(text), dataview::NoModelText());
    });
    View().OpenFile(WriteDemo().Model);
    const ModelScene& model = *Scene().Scene;
    ASSERT_TRUE(model.ArchiveLoaded());
    InDataView([&model](HWND dialog, HWND text) {
        HWND blocks = GetDlgItem(dialog, IDC_BLOCKCHOICE), sets = GetDlgItem(dialog, IDC_SETCHOICE);
        EXPECT_EQ(TextOf(dialog), "Model Data View");
        // The header, "Header" typed in the list's field but no entry chosen,
        // and the first animation set; columns line up in a fixed font.
        EXPECT_EQ(TextOf(text), dataview::HeaderText(model));
        EXPECT_EQ(TextOf(blocks), "Header");
        EXPECT_EQ(SendMessageA(blocks, CB_GETCURSEL, 0, 0), CB_ERR);
        std::vector<std::string> labels;
        for (const auto& entry : dataview::kDataViewEntries)
            labels.emplace_back(entry.Label());
        EXPECT_EQ(Items(blocks), labels);
        EXPECT_EQ(Items(sets), (std::vector<std::string>{"idle", "spin", "wave"}));
        EXPECT_EQ(SendMessageA(sets, CB_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(SendMessageA(text, WM_GETFONT, 0, 0),
                  reinterpret_cast<LRESULT>(GetStockObject(ANSI_FIXED_FONT)));

        // Another set shows nothing new while no block is chosen.
        Choose(dialog, IDC_SETCHOICE, 1);
        EXPECT_EQ(TextOf(text), dataview::HeaderText(model));
        for (int entry = 0; entry < static_cast<int>(labels.size()); ++entry) {
            Choose(dialog, IDC_BLOCKCHOICE, entry);
            EXPECT_EQ(TextOf(text), dataview::EntryText(&model, &model.Textures, entry, 1))
                << entry;
        }
        // Another set shows the chosen block again, over whatever was typed;
        // block 27 follows the set.
        Choose(dialog, IDC_BLOCKCHOICE, dataview::FindEntry(27));
        SetWindowTextA(text, "typed over");
        Choose(dialog, IDC_SETCHOICE, 2);
        EXPECT_EQ(TextOf(text), dataview::AnimationText(model, 2));
        EXPECT_NE(dataview::AnimationText(model, 2), dataview::AnimationText(model, 1));
    });
}

TEST_F(DataViewTest, ShowsLongBlocksWholeAndNoArchiveButTheModelsOwn) {
    sample::Model big = sample::DemoModel();
    big.Vertices.resize(4000, sample::Vec3{1.5f, -2.25f, 3});
    View().OpenFile(m_Dir.Write("big.model", sample::WriteModel(big)));
    const ModelScene& model = *Scene().Scene;
    ASSERT_FALSE(model.ArchiveLoaded());
    const std::string vertices = dataview::BlockText(model, nullptr, 4);
    ASSERT_GT(vertices.size(), 100000u);  // an edit takes 32767 characters at first
    InDataView([&](HWND dialog, HWND text) {
        Choose(dialog, IDC_BLOCKCHOICE, dataview::FindEntry(4));
        EXPECT_EQ(TextOf(text), vertices);
        Choose(dialog, IDC_BLOCKCHOICE, dataview::FindEntry(21));
        EXPECT_EQ(TextOf(text), dataview::BlockText(model, nullptr, 21));
    });
}
