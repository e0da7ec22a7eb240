#include <gtest/gtest.h>

#include <cfloat>
#include <string>
#include <vector>

#include "dataview/DataText.h"
#include "model/ByteSource.h"
#include "sample/ArchiveWriter.h"
#include "tests/dataview/TextTestSupport.h"
#include "texture/TextureFile.h"

using dataview::BlockText;
using dataview::HeaderText;
using dataviewtest::kSep;
using dataviewtest::Load;
using dataviewtest::Spaces;

namespace {

const std::string kLong40 = "abcdefghijklmnopqrstuvwxyz0123456789ABCD";

}  // namespace

TEST(HeaderText, PadsNamesCutsFullFieldsAndPrintsEveryValue) {
    sample::Model m;
    m.ModelName = "kestrel";
    m.TextureName = std::string(64, 'T');  // no zero byte in the field
    m.Date = "1999-03-14";
    m.Unknowns = {7, -1, 123456};
    m.BoundingBox = {-1.5f, 2.25f, 1000.0f, FLT_MAX, -0.0004f, 12.3456f};
    const std::string expected =
        "Header:\r\n" + kSep + "Model:\t\tkestrel" + Spaces(57) + "\r\n" + "Texture:\t" +
        std::string(64, 'T') + "\r\n" + "Date:\t\t1999-03-14" + Spaces(54) +
        "\r\n"
        "Unknowns:\t   7\r\n"
        "\t\t  -1\r\n"
        "\t\t123456\r\n"
        "\r\n"
        "Bounding Box Coordinates:\r\n"
        "\t( -1.500,   2.250, 1000.000)\r\n"
        "\t(340282346638528859811704183484516925440.000,  -0.000,  12.346)";
    EXPECT_EQ(HeaderText(Load(m)), expected);

    // A model that never loaded shows zeros and empty names.
    const std::string empty = "Header:\r\n" + kSep + "Model:\t\t" + Spaces(64) + "\r\n" +
                              "Texture:\t" + Spaces(64) + "\r\n" + "Date:\t\t" + Spaces(64) +
                              "\r\n"
                              "Unknowns:\t   0\r\n\t\t   0\r\n\t\t   0\r\n\r\n"
                              "Bounding Box Coordinates:\r\n"
                              "\t(  0.000,   0.000,   0.000)\r\n"
                              "\t(  0.000,   0.000,   0.000)";
    EXPECT_EQ(HeaderText(ModelFile()), empty);
}

TEST(BlockText, EmptyBlocksShowTitleAndSeparatorOnly) {
    const ModelFile model;
    const std::vector<std::pair<int, std::string>> titles = {
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
    for (const auto& [block, title] : titles)
        EXPECT_EQ(BlockText(model, nullptr, block), title + kSep) << "block " << block;

    // Blocks without a text form, and numbers that are no block.
    for (int block : {0, 1, 7, 9, 11, 17, 18, 27, 28, -1})
        EXPECT_EQ(BlockText(model, nullptr, block), "") << "block " << block;
}

TEST(BlockText, Components) {
    sample::Model m;
    sample::Component wing;
    wing.Name = "wing";
    wing.VertexBase = 0;
    wing.Unknown17 = -1;
    wing.Unknown18to21 = {0xFFFFFFFFu, 1, 22, 333};
    wing.TexVertexBase = 4444;
    wing.Unknown23 = 55555;
    wing.Unknown24 = -66;
    wing.Unknown25to37 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    wing.FirstPolygonSet = 2;
    wing.PolygonSetCount = 3;
    wing.AlphaMode = 0;
    wing.CullMode = 0x80000000u;
    sample::Component longer;
    longer.Name = kLong40;
    sample::Component full;
    full.Name = std::string(64, 'N');
    full.VertexBase = 7;
    m.Components = {wing, longer, full};

    const std::string zeros8 = "       0,    0,    0,    0,    0,    0,    0,    0\r\n";
    const std::string zeros10 =
        "       0,    0,    0,    0,    0,    0,    0,    0,    0,    0\r\n";
    const std::string expected =
        "Block 2: Scenegraph Components\r\n" + kSep + "  0: wing" + Spaces(28) +
        "\r\n"
        "       0,   -1,   -1,    1,   22,  333, 4444, 55555\r\n"
        "     -66,    1,    2,    3,    4,    5,    6,    7,    8,    9\r\n"
        "      10,   11,   12,   13,    2,    3,    0, -2147483648\r\n"
        "\r\n"
        "  1: " +
        kLong40 + "\r\n" + zeros8 + zeros10 + zeros8 + "\r\n" + "  2: " + std::string(64, 'N') +
        "\r\n"
        "       7,    0,    0,    0,    0,    0,    0,    0\r\n" +
        zeros10 + zeros8 + "\r\n";
    EXPECT_EQ(BlockText(Load(m), nullptr, 2), expected);
}

TEST(BlockText, GeometryPoolsAndOrderLists) {
    sample::Model m;
    m.Polygons = {{5, 3}, {0xFFFFFFFFu, 12345}};
    m.Vertices = {{1.5f, -2.25f, 0.0f}, {1234.5678f, 0.0005f, -100.0f}};
    m.VertexOrder = {7, 0xFFFFFFFFu};
    m.Normals = {{0, 0, 1}};
    m.Colors = {{255, 0, 128, 255}, {16, 32, 48, 1}};
    m.TexVertexOrder = {12345, 0};
    m.Block19 = {{0.5f, -0.25f, 3.0f, -4.125f, 1e6f, 0.0f}};
    m.TextureMaps = {{-1, 0x80000000u}, {3, 7}};
    const ModelFile model = Load(m);

    const std::vector<std::pair<int, std::string>> expected = {
        {3, "Block 3: Polygons\r\n" + kSep +
                "  0:    5,    3\r\n"
                "  1:   -1, 12345\r\n"},
        {4, "Block 4: Vertices\r\n" + kSep +
                "  0:   1.500,  -2.250,   0.000\r\n"
                "  1:  1234.568,   0.001, -100.000\r\n"},
        {5, "Block 5: Vertex Order\r\n" + kSep +
                "  0:    7\r\n"
                "  1:   -1\r\n"},
        {6, "Block 6: Normals\r\n" + kSep + "  0:   0.000,   0.000,   1.000\r\n"},
        {8, "Block 8: Color\r\n" + kSep +
                "  0: (255,  0,128,255)\r\n"
                "  1: ( 16, 32, 48,  1)\r\n"},
        {10, "Block 10: Texture Vertex Order\r\n" + kSep +
                 "  0: 12345\r\n"
                 "  1:    0\r\n"},
        {19, "Block 19: Unknown\r\n" + kSep +
                 "  0:   0.500,  -0.250,   3.000,  -4.125,  1000000.000,   0.000\r\n"},
        {20, "Block 20: Texture Map\r\n" + kSep +
                 "  0:   -1, -2147483648\r\n"
                 "  1:    3,    7\r\n"},
    };
    for (const auto& [block, text] : expected)
        EXPECT_EQ(BlockText(model, nullptr, block), text) << "block " << block;
}

TEST(BlockText, TextureDefinitionsShowTheirArchiveImage) {
    sample::Model m;
    m.TextureDefinitions = {
        {0xFFFFFFFFu, 1, 7, "rock"},
        {0, 0, 0, kLong40},
        {0, 2, 0, std::string(52, 'D')},  // fills its field; no such image
        {0, -1, 0, "none"},
    };
    const ModelFile model = Load(m);

    sample::Archive a;
    sample::ArchiveImage first;
    first.Format = 14;
    first.WrapS = 1;
    first.WrapT = 2;
    sample::ArchiveImage second;
    second.Format = 0xFFFFFFFFu;
    second.WrapS = 0;
    second.WrapT = 1;
    a.Images = {first, second};
    std::vector<uint8_t> bytes = sample::WriteArchive(a);
    MemorySource source(bytes);
    TextureFile archive;
    archive.LoadFrom(source);

    const std::string lines[4] = {
        "  0:   -1,    1,    7, rock" + Spaces(28) + "\r\n",
        "  1:    0,    0,    0, " + kLong40 + "\r\n",
        "  2:    0,    2,    0, " + std::string(52, 'D') + "\r\n",
        "  3:    0,   -1,    0, none" + Spaces(28) + "\r\n",
    };
    const std::string title = "Block 21: Texture Definition\r\n" + kSep;
    EXPECT_EQ(BlockText(model, &archive, 21),
              title + lines[0] + "\tFormat:   -1\tWrap_S:    0\tWrap_T:    1\r\n\r\n" + lines[1] +
                  "\tFormat:   14\tWrap_S:    1\tWrap_T:    2\r\n\r\n" + lines[2] +
                  "\t(no image 2 in the texture archive)\r\n\r\n" + lines[3] +
                  "\t(no image -1 in the texture archive)\r\n\r\n");

    const std::string noArchive = "\t(no texture archive loaded)\r\n\r\n";
    EXPECT_EQ(BlockText(model, nullptr, 21), title + lines[0] + noArchive + lines[1] + noArchive +
                                                 lines[2] + noArchive + lines[3] + noArchive);

    // An archive that failed to load holds no image at all.
    const TextureFile none;
    EXPECT_EQ(BlockText(model, &none, 21),
              title + lines[0] + "\t(no image 1 in the texture archive)\r\n\r\n" + lines[1] +
                  "\t(no image 0 in the texture archive)\r\n\r\n" + lines[2] +
                  "\t(no image 2 in the texture archive)\r\n\r\n" + lines[3] +
                  "\t(no image -1 in the texture archive)\r\n\r\n");
}

TEST(BlockText, PolygonSetsEachEndWithTheSeparator) {
    sample::Model m;
    sample::PolygonSet s;
    s.Unknown0to3 = {0, 11, 22, 33};
    s.TextureMap = -1;
    s.Unknown5to11 = {55, 66, 77, 88, 99, 110, 121};
    s.Unknown12 = 0xDEADBEEFu;
    s.Unknown13 = 143;
    s.FirstPolygon = 154;
    s.PolygonCount = 165;
    s.VertexOrderBase = 176;
    s.NormalOrderBase = 187;
    s.ColorOrderBase = 198;
    s.TexVertexOrderBase = 209;
    s.Unknown20to26 = {220, 231, 242, 253, 264, 275, 99999};  // the last is not shown
    sample::PolygonSet plain;
    plain.TextureMap = 4;
    plain.Unknown12 = 0x1234;
    m.PolygonSets = {s, plain};

    const std::string expected =
        "Block 22: Polygon Set\r\n" + kSep +
        "  0:    0,   11,   22,   33,   -1, \r\n"
        "       55,   66,   77,   88,   99,  110,  121, DEADBEEF,  143, \r\n"
        "      154,  165,  176,  187,  198,  209,  220,  231,  242,  253,  264,  275\r\n"
        "\r\n" +
        kSep +
        "  1:    0,    0,    0,    0,    4, \r\n"
        "        0,    0,    0,    0,    0,    0,    0, 00001234,    0, \r\n"
        "        0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0\r\n"
        "\r\n" +
        kSep;
    EXPECT_EQ(BlockText(Load(m), nullptr, 22), expected);
}

TEST(BlockText, VisibilityBytesAreSigned) {
    sample::Model m;
    m.Visibility = {0x00, 0x01, 0x7F, 0x80, 0xFF};
    EXPECT_EQ(BlockText(Load(m), nullptr, 23), "Block 23: Scenegraph Component Visibility\r\n" +
                                                   kSep +
                                                   "  0:    0\r\n"
                                                   "  1:    1\r\n"
                                                   "  2:  127\r\n"
                                                   "  3: -128\r\n"
                                                   "  4:   -1\r\n");
}

TEST(BlockText, TransformationsInRowsOfTwentyFour) {
    sample::Model m;
    for (int i = 0; i < 50; ++i)
        m.Transforms.push_back(static_cast<float>(i));
    m.Transforms[49] = -49.5f;

    const std::string expected =
        "Block 24: Model Transformations\r\n" + kSep +
        "           1        2        3        4        5        6        7        8        9"
        "       10       11       12       13       14       15       16       17       18"
        "       19       20       21       22       23       24"
        "\r\n  0:   0.000,   1.000,   2.000,   3.000,   4.000,   5.000,   6.000,   7.000,"
        "   8.000,   9.000,  10.000,  11.000,  12.000,  13.000,  14.000,  15.000,  16.000,"
        "  17.000,  18.000,  19.000,  20.000,  21.000,  22.000,  23.000"
        "\r\n 24:  24.000,  25.000,  26.000,  27.000,  28.000,  29.000,  30.000,  31.000,"
        "  32.000,  33.000,  34.000,  35.000,  36.000,  37.000,  38.000,  39.000,  40.000,"
        "  41.000,  42.000,  43.000,  44.000,  45.000,  46.000,  47.000"
        "\r\n 48:  48.000, -49.500";
    EXPECT_EQ(BlockText(Load(m), nullptr, 24), expected);
}

TEST(BlockText, ScenegraphAndAnimationSetIndex) {
    sample::Model m;
    m.Nodes = {
        {"root", -1, 1, -1, 0, 0, 0x7FFFFFFF},
        {"sixteen_chars_ab", 2, -1, 0, 1, 24, 0},
        {"a_node_name_of_thirty_chars_xy", -1, -1, 1, 2, 48, -5},
        {std::string(64, 'N'), -1, -1, -1, 3, 72, 0},
    };
    sample::AnimationSet walk;
    walk.Name = "walk";
    walk.Unknown13 = 0xFFFFFFFFu;
    walk.Unknown14 = 3;
    walk.DataOffset = 4660;
    sample::AnimationSet full;
    full.Name = std::string(52, 'S');
    full.Unknown13 = 17;
    full.DataOffset = 0xABCDEF01u;
    m.AnimationSets = {walk, full};
    const ModelFile model = Load(m);

    EXPECT_EQ(BlockText(model, nullptr, 25),
              "Block 25: Scenegraph\r\n" + kSep + "  0: root" + Spaces(12) +
                  ",   -1,    1,   -1,    0,    0, 2147483647\r\n"
                  "  1: sixteen_chars_ab,    2,   -1,    0,    1,   24,    0\r\n"
                  "  2: a_node_name_of_thirty_chars_xy,   -1,   -1,    1,    2,   48,   -5\r\n"
                  "  3: " +
                  std::string(64, 'N') + ",   -1,   -1,   -1,    3,   72,    0\r\n");
    EXPECT_EQ(BlockText(model, nullptr, 26), "Block 26: Animation Set Index\r\n" + kSep +
                                                 "  0: walk            ,   -1,    3, 00001234\r\n"
                                                 "  1: " +
                                                 std::string(52, 'S') +
                                                 ",   17,    0, ABCDEF01\r\n");
}

TEST(BlockText, RecordNumbersWidenPastThreeDigits) {
    sample::Model m;
    m.VertexOrder.assign(1001, 9);
    const std::string text = BlockText(Load(m), nullptr, 5);
    EXPECT_NE(text.find("\r\n 99:    9\r\n100:    9\r\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\n999:    9\r\n1000:    9\r\n"));
}

TEST(DataViewEntries, ListTheHeaderAndEveryBlockWithAText) {
    const char* labels[] = {"Header",   "Block 2",  "Block 3",  "Block 4",  "Block 5",  "Block 6",
                            "Block 8",  "Block 10", "Block 19", "Block 20", "Block 21", "Block 22",
                            "Block 23", "Block 24", "Block 25", "Block 26", "Block 27"};
    ASSERT_EQ(dataview::kDataViewEntries.size(), std::size(labels));
    for (size_t i = 0; i < std::size(labels); ++i)
        EXPECT_EQ(dataview::kDataViewEntries[i].Label, labels[i]);

    EXPECT_EQ(dataview::FindEntry(dataview::kHeaderBlock), 0);
    EXPECT_EQ(dataview::FindEntry(2), 1);
    EXPECT_EQ(dataview::FindEntry(21), 10);
    EXPECT_EQ(dataview::FindEntry(27), 16);
    EXPECT_EQ(dataview::FindEntry(7), -1);
    EXPECT_EQ(dataview::FindEntry(18), -1);
}

TEST(DataViewEntries, EachEntryShowsItsText) {
    sample::Model m;
    m.ModelName = "entries";
    m.Vertices = {{1, 2, 3}};
    m.TextureDefinitions = {{0, 0, 0, "t"}};
    sample::AnimationSet a, b;
    a.Name = "first";
    b.Name = "second";
    m.AnimationSets = {a, b};
    const ModelFile model = Load(m);

    EXPECT_EQ(dataview::EntryText(&model, nullptr, 0, 0), HeaderText(model));
    EXPECT_EQ(dataview::EntryText(&model, nullptr, 3, 0),
              "Block 4: Vertices\r\n" + kSep + "  0:   1.000,   2.000,   3.000\r\n");
    EXPECT_EQ(dataview::EntryText(&model, nullptr, 10, 0).substr(0, 30),
              "Block 21: Texture Definition\r\n");
    EXPECT_NE(dataview::EntryText(&model, nullptr, 10, 0).find("(no texture archive loaded)"),
              std::string::npos);
    // Block 27 follows the chosen set.
    EXPECT_EQ(dataview::EntryText(&model, nullptr, 16, 1).substr(0, 39),
              "Block 27: Animation Data\r\nSet: second\r\n");
    EXPECT_EQ(dataview::EntryText(&model, nullptr, 17, 0), "");
    EXPECT_EQ(dataview::EntryText(&model, nullptr, -1, 0), "");

    // Without a model every entry shows the same short text.
    for (int entry : {0, 1, 10, 16})
        EXPECT_EQ(dataview::EntryText(nullptr, nullptr, entry, 0), "No model file is loaded.\r\n");
    EXPECT_EQ(dataview::NoModelText(), "No model file is loaded.\r\n");
}
