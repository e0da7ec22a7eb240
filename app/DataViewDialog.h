#pragma once
// The "Model Data View" dialog: the header and the blocks of the open model as
// text, one block at a time, and the animation data of one chosen set.

#include <string>

#include "framework/Dialog.h"

class ModelFile;
class TextureFile;

class DataViewDialog : public Windows::CDialog {
  public:
    // `model` is the open model, or null when none is open: every entry then
    // says that there is no model. `archive` is the model's texture archive,
    // null when it has none; block 21 reads it.
    DataViewDialog(int resourceId, const ModelFile* model, const TextureFile* archive, HWND parent);
    ~DataViewDialog() override;

    INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

    // Both lists, the header shown, "Header" in the block list's edit field (no
    // entry selected) and the first animation set chosen.
    void FillBlockList();
    void ShowHeader();
    // The text of list entry `entry`; `set` is the chosen animation set (-1 none).
    void ShowEntry(int entry, int set);

  private:
    void SetText(const std::string& text);

    const ModelFile* m_pModel;
    const TextureFile* m_pArchive;
};
