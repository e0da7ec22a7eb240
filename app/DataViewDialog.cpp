#include "app/DataViewDialog.h"

#include "app/resource.h"
#include "dataview/DataText.h"
#include "model/ModelFile.h"
#include "model/Text.h"

DataViewDialog::DataViewDialog(int resourceId, const ModelFile* model, const TextureFile* archive,
                               HWND parent)
    : CDialog(resourceId, parent), m_pModel(model), m_pArchive(archive) {}

// The window goes while the object is still a DataViewDialog.
DataViewDialog::~DataViewDialog() {
    Destroy();
}

INT_PTR DataViewDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // A choice from either list; every other message, OK and Cancel included,
    // is the plain dialog's.
    if (message != WM_COMMAND || HIWORD(wParam) != CBN_SELCHANGE)
        return CDialog::DialogProc(window, message, wParam, lParam);

    const UINT control = LOWORD(wParam);
    const int set =
        static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_SETCHOICE, CB_GETCURSEL, 0, 0));
    const int entry =
        static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_BLOCKCHOICE, CB_GETCURSEL, 0, 0));
    if ((control == IDC_BLOCKCHOICE || control == IDC_SETCHOICE) && entry >= 0 &&
        entry < static_cast<int>(dataview::kDataViewEntries.size()))
        ShowEntry(entry, set);
    return TRUE;
}

BOOL DataViewDialog::OnInitDialog() {
    // Columns of figures line up only in a fixed-pitch font.
    const auto font = reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT));
    SendDlgItemMessageA(m_hWnd, IDC_BLOCKCHOICE, WM_SETFONT, font, TRUE);
    SendDlgItemMessageA(m_hWnd, IDC_DATATEXT, WM_SETFONT, font, TRUE);
    // The large blocks run to megabytes of text, past the 32K a user may type into
    // by default; the text set is never cut, the limit is only for typing.
    SendDlgItemMessageA(m_hWnd, IDC_DATATEXT, EM_SETLIMITTEXT, 0, 0);
    FillBlockList();
    return TRUE;
}

void DataViewDialog::FillBlockList() {
    for (const dataview::DataViewEntry& entry : dataview::kDataViewEntries) {
        const std::string label(entry.Label());
        SendDlgItemMessageA(m_hWnd, IDC_BLOCKCHOICE, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(label.c_str()));
    }
    // The text only: no entry is selected until the user picks one.
    SetDlgItemTextA(m_hWnd, IDC_BLOCKCHOICE, "Header");
    ShowHeader();
    if (m_pModel) {
        for (const AnimationSetIndexRecord& set : m_pModel->AnimationSetIndex()) {
            const std::string name = FieldText(set.Name);
            SendDlgItemMessageA(m_hWnd, IDC_SETCHOICE, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(name.c_str()));
        }
    }
    SendDlgItemMessageA(m_hWnd, IDC_SETCHOICE, CB_SETCURSEL, 0, 0);
}

void DataViewDialog::ShowHeader() {
    ShowEntry(dataview::FindEntry(dataview::kHeaderBlock), -1);
}

void DataViewDialog::ShowEntry(int entry, int set) {
    SetText(dataview::EntryText(m_pModel, m_pArchive, entry, set));
}

void DataViewDialog::SetText(const std::string& text) {
    SetDlgItemTextA(m_hWnd, IDC_DATATEXT, text.c_str());
}
