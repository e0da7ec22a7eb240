#include <gtest/gtest.h>

#include <string>

#include "dataview/DataText.h"
#include "tests/dataview/TextTestSupport.h"

using dataview::AnimationText;
using dataviewtest::kSep;

namespace {

const std::string kName52 = "a name that fills all fifty-two bytes of its field!!";

// The text up to the first coordinates line.
std::string Head(const std::string& name) {
    return "Block 27: Animation Data\r\nSet: " + name + "\r\n" + kSep + "Header\r\n" + kSep +
           "Coordinates:\r\n";
}

// An empty line, the section's title and the Separator.
std::string Section(const std::string& title) {
    return "\r\n" + title + "\r\n" + kSep;
}

const std::string kFrameHeading =
    Section("Frame List") +
    "              4________  5________  6________  7________  8________\r\n";

// Set 0: three frames, list 4 empty, list 6 owned by frame 1 only. Set 1: a
// list-4 word and nothing else.
sample::Model TwoSets() {
    sample::Model m;
    m.AnimationSets.resize(2);
    m.AnimationSets[0].Name = "walk";
    sample::AnimationData& w = m.AnimationSets[0].Data;
    w.Coordinates = {-1, -2, -3, 1, 2, 3.5f};
    w.SetInfo = {{1, 0xFFFFFFFFu, 0.5f}, {0, 7, 2.0f}};
    // Ranges of lists 4 to 8: first record, count.
    w.Frames = {
        {0.0f, {{{0, 0}, {0, 2}, {0, 0}, {0, 1}, {0, 0}}}},
        {0.25f, {{{0, 0}, {2, 1}, {0, 2}, {1, 1}, {0, 1}}}},
        {1.0f, {{{0, 0}, {0, 0}, {2, 0}, {1, 1}, {1, 0}}}},
    };
    w.List5 = {0x00000001u, 0xFFFFFFFFu, 0x7F80FF00u};
    w.TextureControl = {{0x80FF0102u, 0x1u, 0xDEADBEEFu}, {0, 0xFFFFFFFFu, 0x12u}};
    w.PlaneControl = {{0x80, 0x80, 0x80, 0x80}, {0xFF, 0xFF, 0xFF, 0xFF}};
    w.AnimationControl = {0x01020304u};
    w.List9 = {{1, 0xFFFFFFFFu}};
    // The lists may lie in any order within the area.
    w.ListOrder = {7, 6, 5, 4, 3, 2, 1, 0};

    m.AnimationSets[1].Name = kName52;
    m.AnimationSets[1].Data.Frames = {{2.5f, {{{0, 1}, {0, 0}, {0, 0}, {0, 0}, {0, 0}}}}};
    m.AnimationSets[1].Data.List4 = {0x80FF0102u};
    return m;
}

}  // namespace

TEST(AnimationText, GroupsListsByFrame) {
    const std::string expected =
        Head("walk") + "\t( -1.000,  -2.000,  -3.000)\r\n\t(  1.000,   2.000,   3.500)\r\n" +
        Section("Set Info") +
        "  0:\tLoop:\t   1\r\n\tUnknown:  -1\r\n\tTime:\t  0.500\r\n"
        "  1:\tLoop:\t   0\r\n\tUnknown:   7\r\n\tTime:\t  2.000\r\n" +
        kFrameHeading +
        "  0:   0.000,    0,   0,    0,   2,    0,   0,    0,   1,    0,   0\r\n"
        "  1:   0.250,    0,   0,    2,   1,    0,   2,    1,   1,    0,   1\r\n"
        "  2:   1.000,    0,   0,    0,   0,    2,   0,    1,   1,    1,   0\r\n" +
        // No "4: Unknown": list 4 is empty.
        Section("5: Unknown") +
        "  0: 00000001 (   0,   0,   0,   1)\r\n"
        "  1: FFFFFFFF (  -1,  -1,  -1,  -1)\r\n----\r\n"
        "  2: 7F80FF00 ( 127,-128,  -1,   0)\r\n----\r\n----\r\n" +
        Section("6: Texture Control") +
        "----\r\n"
        "  0: 80FF0102, 00000001, DEADBEEF (-128,  -1,   1,   2)\r\n"
        "  1: 00000000, FFFFFFFF, 00000012 (   0,   0,   0,   0)\r\n----\r\n----\r\n" +
        Section("7: Plane Control") +
        "  0: 128, -128, 128, 128\r\n----\r\n"
        "  1: 255,  -1, 255, 255\r\n----\r\n"
        "  1: 255,  -1, 255, 255\r\n----\r\n" +
        Section("8: Animation Control?") +
        "----\r\n"
        "  0: 01020304 (   1,   2,   3,   4)\r\n----\r\n----\r\n" +
        Section("9: Unknown") + "  0:    1,   -1\r\n";
    EXPECT_EQ(AnimationText(LoadModel(TwoSets()), 0), expected);
}

TEST(AnimationText, ShowsTheChosenSetAndAnEmptyListNine) {
    const std::string expected =
        Head(kName52) + "\t(  0.000,   0.000,   0.000)\r\n\t(  0.000,   0.000,   0.000)\r\n" +
        Section("Set Info") + kFrameHeading +
        "  0:   2.500,    0,   1,    0,   0,    0,   0,    0,   0,    0,   0\r\n" +
        Section("4: Unknown") + "  0: 80FF0102 (-128,  -1,   1,   2)\r\n----\r\n" +
        Section("9: Unknown");
    EXPECT_EQ(AnimationText(LoadModel(TwoSets()), 1), expected);
}

TEST(AnimationText, NamesAMissingSet) {
    const std::string head = "Block 27: Animation Data\r\n" + kSep;
    const ModelFile none = LoadModel(sample::Model());
    EXPECT_EQ(AnimationText(none, 0), head + "This model has no animation sets.\r\n");
    EXPECT_EQ(AnimationText(none, -1), head + "This model has no animation sets.\r\n");

    const ModelFile two = LoadModel(TwoSets());
    for (const auto& [set, number] : {std::pair<int64_t, std::string>{2, "2"},
                                      {-1, "-1"},
                                      {int64_t{1} << 40, "1099511627776"}}) {
        EXPECT_EQ(AnimationText(two, set),
                  head + "No animation set " + number + ": the sets are numbered 0 to 1.\r\n");
    }
}

TEST(AnimationText, FrameRangesPastTheEndOfTheirList) {
    sample::Model m;
    m.AnimationSets.resize(1);
    m.AnimationSets[0].Data.List4 = {0x10u, 0x20u, 0x30u};
    m.AnimationSets[0].Data.Frames = {
        {0, {{{1, 5}}}},                // runs past the end
        {0, {{{7, 2}}}},                // starts past the end
        {0, {{{2, 0xFFFFFFFFu}}}},      // first + count wraps in 32 bits
        {0, {{{0xFFFFFFF0u, 0x20u}}}},  // far past the end, and wraps
    };
    const std::string text = AnimationText(LoadModel(m), 0);
    EXPECT_TRUE(text.ends_with(
        Section("4: Unknown") +
        "  1: 00000020 (   0,   0,   0,  32)\r\n"
        "  2: 00000030 (   0,   0,   0,  48)\r\n"
        "     (records 3 to 5 are past the end of the list)\r\n----\r\n"
        "     (records 7 to 8 are past the end of the list)\r\n----\r\n"
        "  2: 00000030 (   0,   0,   0,  48)\r\n"
        "     (records 3 to 4294967296 are past the end of the list)\r\n----\r\n"
        "     (records 4294967280 to 4294967311 are past the end of the list)\r\n----\r\n" +
        Section("9: Unknown")))
        << text;
}

TEST(AnimationText, FramesSharingRecordsCannotMultiplyTheText) {
    // Every frame owns the whole list: more lines than the set could ever need.
    const uint32_t records = 16;
    const size_t frames = (size_t{1} << 20) / records + 2;
    sample::Model m;
    m.AnimationSets.resize(1);
    m.AnimationSets[0].Data.List4.assign(records, 0x01020304u);
    m.AnimationSets[0].Data.Frames.assign(frames, sample::Frame{0, {{{0, records}}}});
    const std::string text = AnimationText(LoadModel(m), 0);

    // The lists' own records plus 2^20 lines are printed, then ranges are named.
    const std::string line = "  0: 01020304 (   1,   2,   3,   4)\r\n";
    size_t printed = 0;
    for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1))
        ++printed;
    EXPECT_EQ(printed, frames - 1);
    EXPECT_TRUE(
        text.ends_with(" 15: 01020304 (   1,   2,   3,   4)\r\n----\r\n"
                       "     (records 0 to 15 not shown: too many lines)\r\n----\r\n" +
                       Section("9: Unknown")));
}
