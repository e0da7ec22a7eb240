#pragma once
// The texts of the Model Data View: the header, every block that has a text
// form, and the animation data of one set. Each text is complete, with CR LF
// line ends, ready to replace the content of the dialog's edit control.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class ModelFile;
class TextureFile;

namespace dataview {

// "------...\r\n\r\n": 60 hyphens, a line end and an empty line.
extern const std::string_view kSeparator;

// One entry of the block list: its label and the block it shows.
struct DataViewEntry {
    std::string_view Label;
    int Block;  // 2 to 27; kHeaderBlock for the header
};

inline constexpr int kHeaderBlock = 0;
inline constexpr int kAnimationBlock = 27;

// The block list, in order: entry i is selection i of the list.
inline constexpr std::array<DataViewEntry, 17> kDataViewEntries{{
    {"Header", kHeaderBlock},
    {"Block 2", 2},
    {"Block 3", 3},
    {"Block 4", 4},
    {"Block 5", 5},
    {"Block 6", 6},
    {"Block 8", 8},
    {"Block 10", 10},
    {"Block 19", 19},
    {"Block 20", 20},
    {"Block 21", 21},
    {"Block 22", 22},
    {"Block 23", 23},
    {"Block 24", 24},
    {"Block 25", 25},
    {"Block 26", 26},
    {"Block 27", kAnimationBlock},
}};

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
