#pragma once
// The texts of the Model Data View: the header, every block that has a text
// form, and the animation data of one set. Each text is complete, with CR LF
// line ends, ready to replace the content of the dialog's edit control.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/Blocks.h"

class ModelFile;
class TextureFile;

namespace dataview {

// "------...\r\n\r\n": 60 hyphens, a line end and an empty line.
extern const std::string_view kSeparator;

inline constexpr int kHeaderBlock = 0;
inline constexpr int kAnimationBlock = 27;

// One entry of the block list: the block it shows, and its label.
struct DataViewEntry {
    int Block;  // 2 to 27; kHeaderBlock for the header
    std::array<char, 9> Text;

    // "Header", or "Block N".
    std::string_view Label() const { return Text.data(); }

    static constexpr DataViewEntry Of(int block) {
        DataViewEntry entry{block, {}};
        const std::string_view words = block == kHeaderBlock ? "Header" : "Block ";
        size_t at = 0;
        for (char c : words)
            entry.Text[at++] = c;
        if (block != kHeaderBlock) {
            if (block >= 10)
                entry.Text[at++] = static_cast<char>('0' + block / 10);
            entry.Text[at++] = static_cast<char>('0' + block % 10);
        }
        return entry;
    }
};

// The block list, in order: entry i is selection i of the list. The header,
// every block of the table that the Data View shows, then the animation data.
inline constexpr size_t kDataViewEntryCount =
    2 + static_cast<size_t>(std::count_if(kModelBlocks.begin(), kModelBlocks.end(),
                                          [](const BlockInfo& block) { return block.Shown; }));
inline constexpr std::array<DataViewEntry, kDataViewEntryCount> kDataViewEntries = [] {
    std::array<DataViewEntry, kDataViewEntryCount> entries{};
    size_t n = 0;
    entries[n++] = DataViewEntry::Of(kHeaderBlock);
    for (const BlockInfo& block : kModelBlocks) {
        if (block.Shown)
            entries[n++] = DataViewEntry::Of(block.Number);
    }
    entries[n] = DataViewEntry::Of(kAnimationBlock);
    return entries;
}();

// The entry that shows `block` (kHeaderBlock for the header), or -1.
int FindEntry(int block);

// What is shown when there is no model: nothing opened yet, or the open
// document is a point dump.
std::string NoModelText();

std::string HeaderText(const ModelFile& model);

// The text of block 2 to 26; `archive` is the model's texture archive, used by
// block 21 only (null when none is loaded). Empty for a block with no text form.
std::string BlockText(const ModelFile& model, const TextureFile* archive, int block);

// The animation data of set `set` (a block-26 record number). A number that
// names no set gives a short text that says so.
std::string AnimationText(const ModelFile& model, int64_t set);

// The text of list entry `entry` (0 to 16), `set` being the chosen animation
// set; NoModelText() when `model` is null, empty for an entry out of range.
std::string EntryText(const ModelFile* model, const TextureFile* archive, int entry, int64_t set);

}  // namespace dataview
