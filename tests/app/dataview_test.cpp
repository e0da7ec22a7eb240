// Utility > Data View: the "Model Data View" dialog on the open model, worked
// from inside its own loop.

#include "ViewerTest.h"
#include "app/resource.h"
#include "dataview/DataText.h"

using apptest::ViewerTest;

namespace {

// The whole text: longer than any fixed buffer.
std::string Text(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

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

using DataViewTest = ViewerTest;

}  // namespace

TEST_F(DataViewTest, ShowsTheHeaderThenTheChosenBlocksOfTheOpenModel) {
    Scene().OpenDocument(WriteDemo().Model);
    const ModelScene& model = *Scene().Scene;
    ASSERT_TRUE(model.ArchiveLoaded());
    ASSERT_EQ(model.AnimationSetIndex().size(), 3u);

    InDialogOf(IDM_DATAVIEW, [&model](HWND dialog) {
        HWND text = GetDlgItem(dialog, IDC_DATATEXT);
        HWND blocks = GetDlgItem(dialog, IDC_BLOCKCHOICE);
        HWND sets = GetDlgItem(dialog, IDC_SETCHOICE);
        EXPECT_EQ(fwtest::TextOf(dialog), "Model Data View");

        // The header, "Header" typed in the list's field but no entry chosen,
        // and the first animation set.
        EXPECT_EQ(Text(text), dataview::HeaderText(model));
        EXPECT_EQ(Text(blocks), "Header");
        EXPECT_EQ(SendMessageA(blocks, CB_GETCURSEL, 0, 0), CB_ERR);
        std::vector<std::string> labels;
        for (const auto& entry : dataview::kDataViewEntries)
            labels.emplace_back(entry.Label());
        EXPECT_EQ(Items(blocks), labels);
        EXPECT_EQ(Items(sets), (std::vector<std::string>{"idle", "spin", "wave"}));
        EXPECT_EQ(SendMessageA(sets, CB_GETCURSEL, 0, 0), 0);

        const auto fixed = reinterpret_cast<LRESULT>(GetStockObject(ANSI_FIXED_FONT));
        EXPECT_EQ(SendMessageA(text, WM_GETFONT, 0, 0), fixed);
        EXPECT_EQ(SendMessageA(blocks, WM_GETFONT, 0, 0), fixed);
        EXPECT_NE(SendMessageA(sets, WM_GETFONT, 0, 0), fixed);
        // An editable text with both scroll bars and a border, which the dialog
        // manager may turn into a sunken edge; lists in their given order.
        const LONG_PTR style = GetWindowLongPtrA(text, GWL_STYLE);
        const LONG_PTR wanted =
            ES_MULTILINE | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP;
        EXPECT_EQ(style & (wanted | ES_READONLY | ES_AUTOVSCROLL), wanted);
        EXPECT_TRUE((style & WS_BORDER) ||
                    (GetWindowLongPtrA(text, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
        for (HWND combo : {blocks, sets})
            EXPECT_EQ(GetWindowLongPtrA(combo, GWL_STYLE) & (3 | CBS_SORT), CBS_DROPDOWN);

        // Another set shows nothing new while no block is chosen.
        Choose(dialog, IDC_SETCHOICE, 1);
        EXPECT_EQ(Text(text), dataview::HeaderText(model));
        for (int entry = 0; entry < 17; ++entry) {
            Choose(dialog, IDC_BLOCKCHOICE, entry);
            EXPECT_EQ(Text(text), dataview::EntryText(&model, &model.Textures, entry, 1)) << entry;
        }
        // Another set shows the chosen block again, over whatever was typed.
        Choose(dialog, IDC_BLOCKCHOICE, dataview::FindEntry(4));
        SetWindowTextA(text, "typed over");
        Choose(dialog, IDC_SETCHOICE, 0);
        EXPECT_EQ(Text(text), dataview::BlockText(model, &model.Textures, 4));
        // Block 27 follows the set choice.
        Choose(dialog, IDC_BLOCKCHOICE, dataview::FindEntry(27));
        Choose(dialog, IDC_SETCHOICE, 2);
        EXPECT_EQ(Text(text), dataview::AnimationText(model, 2));
        EXPECT_NE(dataview::AnimationText(model, 2), dataview::AnimationText(model, 1));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
}

TEST_F(DataViewTest, ShowsLongBlocksWhole) {
    sample::Model big = sample::DemoModel();
    big.Vertices.resize(4000, sample::Vec3{1.5f, -2.25f, 3});
    Scene().OpenDocument(m_Dir.Write("big.model", sample::WriteModel(big)));
    const ModelScene& model = *Scene().Scene;
    // No archive beside it: block 21 says so instead of reading one.
    ASSERT_FALSE(model.ArchiveLoaded());
    const std::string vertices = dataview::BlockText(model, nullptr, 4);
    ASSERT_GT(vertices.size(), 100000u);

    InDialogOf(IDM_DATAVIEW, [&](HWND dialog) {
        HWND text = GetDlgItem(dialog, IDC_DATATEXT);
        // The edit takes 32767 characters at first: far less than this block.
        EXPECT_GE(static_cast<size_t>(SendMessageA(text, EM_GETLIMITTEXT, 0, 0)), vertices.size());
        Choose(dialog, IDC_BLOCKCHOICE, dataview::FindEntry(4));
        EXPECT_EQ(Text(text), vertices);
        Choose(dialog, IDC_BLOCKCHOICE, dataview::FindEntry(21));
        EXPECT_EQ(Text(text), dataview::BlockText(model, nullptr, 21));
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
}

TEST_F(DataViewTest, WithoutAModelEveryEntrySaysSo) {
    auto expectNoModel = [](HWND dialog) {
        HWND text = GetDlgItem(dialog, IDC_DATATEXT);
        EXPECT_EQ(Text(text), dataview::NoModelText());
        EXPECT_EQ(Text(GetDlgItem(dialog, IDC_BLOCKCHOICE)), "Header");
        EXPECT_TRUE(Items(GetDlgItem(dialog, IDC_SETCHOICE)).empty());
        for (int entry : {0, 5, 10, 16}) {
            Choose(dialog, IDC_BLOCKCHOICE, entry);
            EXPECT_EQ(Text(text), dataview::NoModelText()) << entry;
        }
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    };
    InDialogOf(IDM_DATAVIEW, expectNoModel);  // nothing opened yet

    const sample::DemoFiles files = WriteDemo();
    Scene().OpenDocument(files.PointDump);
    InDialogOf(IDM_DATAVIEW, expectNoModel);
    Scene().OpenDocument(files.Model);
    Scene().OpenDocument(files.Archive);  // closes the model
    InDialogOf(IDM_DATAVIEW, expectNoModel);
}
