#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "dataview/DataText.h"
#include "model/ByteSource.h"
#include "sample/ArchiveWriter.h"
#include "tests/dataview/TextTestSupport.h"
#include "texture/TextureFile.h"

using dataview::BlockText;
using dataview::HeaderText;
using dataviewtest::kSep;

namespace {

const std::map<int, std::string> kTitles = {
    {2, "Block 2: Scenegraph Components\r\n"},
    {3, "Block 3: Polygons\r\n"},
    {4, "Block 4: Vertices\r\n"},
    {5, "Block 5: Vertex Order\r\n"},
    {6, "Block 6: Normals\r\n"},
    {8, "Block 8: Color\r\n"},
    {10, "Block 10: Texture Vertex Order\r\n"},
    {19, "Block 19: Unknown\r\n"},
    {20, "Block 20: Texture Map\r\n"},
    {21, "Block 21: Texture Definition\r\n"},
    {22, "Block 22: Polygon Set\r\n"},
    {23, "Block 23: Scenegraph Component Visibility\r\n"},
    {24, "Block 24: Model Transformations\r\n"},
    {25, "Block 25: Scenegraph\r\n"},
    {26, "Block 26: Animation Set Index\r\n"},
};

// A block's title and the Separator, then its records.
std::string Block(int block, const std::string& records) {
    return kTitles.at(block) + kSep + records;
}

std::string Spaces(size_t n) {
    return std::string(n, ' ');
}

}  // namespace

TEST(HeaderText, PadsNamesCutsFullFieldsAndPrintsEveryValue) {
    sample::Model m;
    m.ModelName = "kestrel";
    m.TextureName = std::string(64, 'T');  // no zero byte in the field
    m.Date = "1999-03-14";
    m.Unknowns = {7, -1, 123456};
    m.BoundingBox = {-1.5f, 2.25f, 1000.0f, FLT_MAX, -0.0004f, 12.3456f};
    EXPECT_EQ(HeaderText(LoadModel(m)),
              "Header:\r\n" + kSep + "Model:\t\tkestrel" + Spaces(57) + "\r\nTexture:\t" +
                  std::string(64, 'T') + "\r\nDate:\t\t1999-03-14" + Spaces(54) +
                  "\r\n"
                  "Unknowns:\t   7\r\n\t\t  -1\r\n\t\t123456\r\n\r\n"
                  "Bounding Box Coordinates:\r\n"
                  "\t( -1.500,   2.250, 1000.000)\r\n"
                  "\t(340282346638528859811704183484516925440.000,  -0.000,  12.346)");

    // Every field at its widest: longer than most lines the texts are built from.
    m.ModelName = std::string(64, 'M');
    m.Date = std::string(64, 'D');
    m.Unknowns = {INT32_MIN, INT32_MIN, INT32_MIN};
    m.BoundingBox = {-FLT_MAX, -FLT_MAX, -FLT_MAX, -FLT_MAX, -FLT_MAX, -FLT_MAX};
    const std::string least = "-340282346638528859811704183484516925440.000";
    const std::string corner = "\t(" + least + ", " + least + ", " + least + ")";
    EXPECT_EQ(HeaderText(LoadModel(m)),
              "Header:\r\n" + kSep + "Model:\t\t" + m.ModelName + "\r\nTexture:\t" + m.TextureName +
                  "\r\nDate:\t\t" + m.Date +
                  "\r\nUnknowns:\t-2147483648\r\n\t\t-2147483648\r\n\t\t-2147483648\r\n\r\n"
                  "Bounding Box Coordinates:\r\n" +
                  corner + "\r\n" + corner);
}

TEST(BlockText, EmptyBlocksShowTitleAndSeparatorOnly) {
    const ModelFile model;
    for (const auto& [block, title] : kTitles)
        EXPECT_EQ(BlockText(model, nullptr, block), title + kSep) << "block " << block;

    // Blocks without a text form, and numbers that are no block.
    for (int block : {0, 1, 7, 9, 11, 17, 18, 27, 28, -1})
        EXPECT_EQ(BlockText(model, nullptr, block), "") << "block " << block;
}

TEST(BlockText, Components) {
    sample::Model m;
    sample::Component wing{"wing", 0, -1, {0xFFFFFFFFu, 1, 22, 333}, 4444, 55555, -66};
    wing.Unknown25to37 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    std::tie(wing.FirstPolygonSet, wing.PolygonSetCount, wing.CullMode) =
        std::tuple(2, 3, 0x80000000u);
    m.Components = {wing, {std::string(64, 'N'), 7}};
    EXPECT_EQ(BlockText(LoadModel(m), nullptr, 2),
              Block(2, "  0: wing" + Spaces(28) +
                           "\r\n"
                           "       0,   -1,   -1,    1,   22,  333, 4444, 55555\r\n"
                           "     -66,    1,    2,    3,    4,    5,    6,    7,    8,    9\r\n"
                           "      10,   11,   12,   13,    2,    3,    0, -2147483648\r\n"
                           "\r\n"
                           "  1: " +
                           std::string(64, 'N') +
                           "\r\n"
                           "       7,    0,    0,    0,    0,    0,    0,    0\r\n"
                           "       0,    0,    0,    0,    0,    0,    0,    0,    0,    0\r\n"
                           "       0,    0,    0,    0,    0,    0,    0,    0\r\n"
                           "\r\n"));
}

TEST(BlockText, OneLineRecords) {
    sample::Model m;
    m.Polygons = {{5, 3}, {0xFFFFFFFFu, 12345}};
    m.Vertices = {{1.5f, -2.25f, 0.0f}, {1234.5678f, 0.0005f, -100.0f}};
    m.VertexOrder = {7, 0xFFFFFFFFu};
    m.Normals = {{0, 0, 1}};
    m.Colors = {{255, 0, 128, 255}, {16, 32, 48, 1}};
    m.TexVertexOrder = {12345, 0};
    m.Block19 = {{0.5f, -0.25f, 3.0f, -4.125f, 1e6f, 0.0f}};
    m.TextureMaps = {{-1, 0x80000000u}, {3, 7}};
    m.Visibility = {0x00, 0x01, 0x7F, 0x80, 0xFF};  // signed bytes
    const ModelFile model = LoadModel(m);

    const std::map<int, std::string> records = {
        {3, "  0:    5,    3\r\n  1:   -1, 12345\r\n"},
        {4, "  0:   1.500,  -2.250,   0.000\r\n  1:  1234.568,   0.001, -100.000\r\n"},
        {5, "  0:    7\r\n  1:   -1\r\n"},
        {6, "  0:   0.000,   0.000,   1.000\r\n"},
        {8, "  0: (255,  0,128,255)\r\n  1: ( 16, 32, 48,  1)\r\n"},
        {10, "  0: 12345\r\n  1:    0\r\n"},
        {19, "  0:   0.500,  -0.250,   3.000,  -4.125,  1000000.000,   0.000\r\n"},
        {20, "  0:   -1, -2147483648\r\n  1:    3,    7\r\n"},
        {23, "  0:    0\r\n  1:    1\r\n  2:  127\r\n  3: -128\r\n  4:   -1\r\n"},
    };
    for (const auto& [block, text] : records)
        EXPECT_EQ(BlockText(model, nullptr, block), Block(block, text)) << "block " << block;
}

TEST(BlockText, TextureDefinitionsShowTheirArchiveImage) {
    sample::Model m;
    m.TextureDefinitions = {{0xFFFFFFFFu, 1, 7, "rock"},
                            {0, 0, 0, std::string(52, 'D')},  // fills its field
                            {0, 2, 0, "two"},
                            {0, -1, 0, "none"}};
    const ModelFile model = LoadModel(m);

    sample::Archive a;
    a.Images.resize(2);
    a.Images[0].Format = 14;
    a.Images[0].WrapS = 1;
    a.Images[0].WrapT = 2;
    a.Images[1].Format = 0xFFFFFFFFu;
    a.Images[1].WrapT = 1;
    std::vector<uint8_t> bytes = sample::WriteArchive(a);
    MemorySource source(bytes);
    TextureFile archive;
    archive.LoadFrom(source);

    // Each record's line, then the line about its image.
    auto expected = [](std::vector<std::string> images) {
        const std::string lines[4] = {"  0:   -1,    1,    7, rock" + Spaces(28) + "\r\n",
                                      "  1:    0,    0,    0, " + std::string(52, 'D') + "\r\n",
                                      "  2:    0,    2,    0, two" + Spaces(29) + "\r\n",
                                      "  3:    0,   -1,    0, none" + Spaces(28) + "\r\n"};
        std::string text;
        for (size_t i = 0; i < 4; ++i)
            text += lines[i] + images[i] + "\r\n";
        return Block(21, text);
    };
    auto noImage = [](std::string k) {
        return "\t(no image " + k + " in the texture archive)\r\n";
    };
    EXPECT_EQ(
        BlockText(model, &archive, 21),
        expected({"\tFormat:   -1\tWrap_S:    0\tWrap_T:    1\r\n",
                  "\tFormat:   14\tWrap_S:    1\tWrap_T:    2\r\n", noImage("2"), noImage("-1")}));
    const std::string noArchive = "\t(no texture archive loaded)\r\n";
    EXPECT_EQ(BlockText(model, nullptr, 21),
              expected({noArchive, noArchive, noArchive, noArchive}));
}

TEST(BlockText, PolygonSetsEachEndWithTheSeparator) {
    sample::Model m;
    sample::PolygonSet s{{0, 11, 22, 33}, -1, {55, 66, 77, 88, 99, 110, 121}, 0xDEADBEEFu, 143};
    std::tie(s.FirstPolygon, s.PolygonCount, s.VertexOrderBase, s.NormalOrderBase, s.ColorOrderBase,
             s.TexVertexOrderBase) = std::tuple(154, 165, 176, 187, 198, 209);
    s.Unknown20to26 = {220, 231, 242, 253, 264, 275, 99999};  // the last word is not shown
    m.PolygonSets = {s, {.TextureMap = 4, .Unknown12 = 0x1234}};
    EXPECT_EQ(
        BlockText(LoadModel(m), nullptr, 22),
        Block(22,
              "  0:    0,   11,   22,   33,   -1, \r\n"
              "       55,   66,   77,   88,   99,  110,  121, DEADBEEF,  143, \r\n"
              "      154,  165,  176,  187,  198,  209,  220,  231,  242,  253,  264,  275\r\n"
              "\r\n" +
                  kSep +
                  "  1:    0,    0,    0,    0,    4, \r\n"
                  "        0,    0,    0,    0,    0,    0,    0, 00001234,    0, \r\n"
                  "        0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0\r\n"
                  "\r\n" +
                  kSep));
}

TEST(BlockText, TransformationsInRowsOfTwentyFour) {
    sample::Model m;
    for (int i = 0; i < 50; ++i)
        m.Transforms.push_back(static_cast<float>(i));
    m.Transforms[49] = -49.5f;
    EXPECT_EQ(
        BlockText(LoadModel(m), nullptr, 24),
        Block(24,
              "           1        2        3        4        5        6        7        8        9"
              "       10       11       12       13       14       15       16       17       18"
              "       19       20       21       22       23       24"
              "\r\n  0:   0.000,   1.000,   2.000,   3.000,   4.000,   5.000,   6.000,   7.000,"
              "   8.000,   9.000,  10.000,  11.000,  12.000,  13.000,  14.000,  15.000,  16.000,"
              "  17.000,  18.000,  19.000,  20.000,  21.000,  22.000,  23.000"
              "\r\n 24:  24.000,  25.000,  26.000,  27.000,  28.000,  29.000,  30.000,  31.000,"
              "  32.000,  33.000,  34.000,  35.000,  36.000,  37.000,  38.000,  39.000,  40.000,"
              "  41.000,  42.000,  43.000,  44.000,  45.000,  46.000,  47.000"
              "\r\n 48:  48.000, -49.500"));
}

TEST(BlockText, ScenegraphAndAnimationSetIndex) {
    sample::Model m;
    m.Nodes = {{"root", -1, 1, -1, 0, 0, 0x7FFFFFFF},
               {"sixteen_chars_ab", 2, -1, 0, 1, 24, 0},
               {std::string(64, 'N'), -1, -1, -1, 3, 72, -5}};
    m.AnimationSets.resize(2);
    m.AnimationSets[0].Name = "walk";
    m.AnimationSets[0].Unknown13 = 0xFFFFFFFFu;
    m.AnimationSets[0].Unknown14 = 3;
    m.AnimationSets[0].DataOffset = 4660;
    m.AnimationSets[1].Name = std::string(52, 'S');
    m.AnimationSets[1].Unknown13 = 17;
    m.AnimationSets[1].DataOffset = 0xABCDEF01u;
    const ModelFile model = LoadModel(m);

    EXPECT_EQ(BlockText(model, nullptr, 25),
              Block(25, "  0: root" + Spaces(12) +
                            ",   -1,    1,   -1,    0,    0, 2147483647\r\n"
                            "  1: sixteen_chars_ab,    2,   -1,    0,    1,   24,    0\r\n"
                            "  2: " +
                            std::string(64, 'N') + ",   -1,   -1,   -1,    3,   72,   -5\r\n"));
    EXPECT_EQ(BlockText(model, nullptr, 26),
              Block(26, "  0: walk            ,   -1,    3, 00001234\r\n  1: " +
                            std::string(52, 'S') + ",   17,    0, ABCDEF01\r\n"));
}

TEST(BlockText, RecordNumbersWidenPastThreeDigits) {
    sample::Model m;
    m.VertexOrder.assign(1001, 9);
    const std::string text = BlockText(LoadModel(m), nullptr, 5);
    EXPECT_NE(text.find("\r\n 99:    9\r\n100:    9\r\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\n999:    9\r\n1000:    9\r\n"));
}

TEST(DataViewEntries, ListTheHeaderAndEveryBlockWithItsText) {
    sample::Model m;
    m.TextureDefinitions = {{0, 0, 0, "t"}};
    m.AnimationSets.resize(2);
    m.AnimationSets[1].Name = "second";
    const ModelFile model = LoadModel(m);
    const TextureFile archive;  // shows "no image 0", unlike no archive at all

    const int blocks[] = {
        dataview::kHeaderBlock, 2, 3, 4, 5, 6, 8, 10, 19, 20, 21, 22, 23, 24, 25, 26, 27};
    ASSERT_EQ(dataview::kDataViewEntries.size(), std::size(blocks));
    for (int entry = 0; entry < static_cast<int>(std::size(blocks)); ++entry) {
        const int block = blocks[entry];
        EXPECT_EQ(dataview::kDataViewEntries[entry].Label(),
                  block == 0 ? "Header" : "Block " + std::to_string(block));
        EXPECT_EQ(dataview::FindEntry(block), entry);
        // Block 27 follows the chosen set.
        const std::string text = block == 0    ? HeaderText(model)
                                 : block == 27 ? dataview::AnimationText(model, 1)
                                               : BlockText(model, &archive, block);
        EXPECT_EQ(dataview::EntryText(&model, &archive, entry, 1), text) << block;
        // Without a model every entry shows the same short text.
        EXPECT_EQ(dataview::EntryText(nullptr, nullptr, entry, 0), "No model file is loaded.\r\n");
    }
    EXPECT_EQ(dataview::FindEntry(7), -1);
    EXPECT_EQ(dataview::FindEntry(18), -1);
    EXPECT_EQ(dataview::EntryText(&model, nullptr, 17, 0), "");
    EXPECT_EQ(dataview::EntryText(&model, nullptr, -1, 0), "");
    EXPECT_EQ(dataview::NoModelText(), "No model file is loaded.\r\n");
}
