#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <string>
#include <tuple>
#include <vector>

#include "model/ByteSource.h"
#include "model/ModelFile.h"
#include "model/Text.h"
#include "tests/model/LoadModel.h"
#include "tests/support/TempDir.h"

namespace {

// Words whose four bytes all differ, each one new, so that a missing, doubled
// or misplaced conversion of any field shows.
class Distinct {
  public:
    uint32_t U() {
        uint32_t n = next_++;
        return (0x11u + n) << 24 | ((0x22u + n) & 0xFF) << 16 | ((0x33u + n) & 0xFF) << 8 |
               ((0x44u + n) & 0xFF);
    }
    int32_t I() { return static_cast<int32_t>(U()); }
    // Top byte stays below 0x7F, so the float is an ordinary number.
    float F() { return std::bit_cast<float>(U() & 0x7EFFFFFFu); }
    template <size_t N>
    std::array<uint32_t, N> Us() {
        std::array<uint32_t, N> words;
        for (uint32_t& word : words)
            word = U();
        return words;
    }

  private:
    uint32_t next_ = 0;
};

std::string Text(const std::string& text) {
    return text;
}
template <size_t N>
std::string Text(const char (&field)[N]) {
    return FieldText(field);
}

// Compares loaded and written records through the fields `fields` picks from either.
template <class Got, class Want, class Fields>
void ExpectRecords(const std::vector<Got>& got, const std::vector<Want>& want, Fields fields) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(fields(got[i]), fields(want[i])) << "record " << i;
}

}  // namespace

TEST(ModelFile, ConvertsEveryFieldOfEveryBlock) {
    Distinct d;
    sample::Model m;
    m.Unknown0 = d.U();
    m.ModelName = "kestrel body";
    m.TextureName = std::string(64, 'T');  // fills its field: no zero byte
    m.Date = "1999-03-14";
    m.Unknowns = {d.I(), d.I(), d.I()};
    m.BoundingBox = {d.F(), d.F(), d.F(), d.F(), d.F(), d.F()};
    for (std::string name : {std::string(64, 'C'), std::string("wing")}) {
        m.Components.push_back({name, d.I(), d.I(), d.Us<4>(), d.I(), d.I(), d.I(), d.Us<13>(),
                                d.I(), d.I(), d.U(), d.U()});
    }
    m.Polygons = {{d.U(), d.U()}, {d.U(), d.U()}};
    m.Vertices = {{d.F(), d.F(), d.F()}, {d.F(), d.F(), d.F()}};
    m.VertexOrder = {d.U(), d.U(), d.U()};
    m.Normals = {{d.F(), d.F(), d.F()}};
    m.NormalOrder = {d.U(), d.U()};
    m.Colors = {{0x10, 0x20, 0x30, 0xFF}, {0x01, 0x02, 0x03, 0x04}};  // bytes, never converted
    m.ColorOrder = {d.U()};
    m.TexVertexOrder = {d.U(), d.U()};
    m.TexVertices = {{d.F(), d.F()}, {d.F(), d.F()}};
    m.Block19 = {{d.F(), d.F(), d.F(), d.F(), d.F(), d.F()}};
    m.TextureMaps = {{d.I(), d.U()}};
    m.TextureDefinitions = {{d.U(), d.I(), d.U(), std::string(52, 'D')},
                            {d.U(), d.I(), d.U(), "rock"}};
    m.PolygonSets = {{d.Us<4>(), d.I(), d.Us<7>(), d.U(), d.U(), d.I(), d.I(), d.I(), d.I(), d.I(),
                      d.I(), d.Us<7>()}};
    m.Visibility = {0x00, 0x80, 0xFF, 0x01};
    m.Transforms = {d.F(), d.F(), d.F()};
    m.Nodes = {{std::string(64, 'N'), d.I(), d.I(), d.I(), d.I(), d.I(), d.I()},
               {"root", d.I(), d.I(), d.I(), d.I(), d.I(), d.I()}};
    const ModelFile f = LoadModel(m);

    const ModelHeader& h = f.Header();
    EXPECT_EQ(std::tuple(h.Unknown0, Text(h.ModelName), Text(h.TextureName), Text(h.Date)),
              std::tuple(m.Unknown0, m.ModelName, m.TextureName, m.Date));
    EXPECT_EQ(std::to_array(h.Unknowns), m.Unknowns);
    EXPECT_EQ(std::to_array(h.BoundingBox), m.BoundingBox);
    EXPECT_EQ(h.BlockOffset[0], 432u);
    EXPECT_EQ(h.BlockCount[0], 2u);

    ExpectRecords(f.Components(), m.Components, [](const auto& r) {
        return std::tuple(Text(r.Name), r.VertexBase, r.Unknown17, r.TexVertexBase, r.Unknown23,
                          r.Unknown24, r.FirstPolygonSet, r.PolygonSetCount, r.AlphaMode,
                          r.CullMode);
    });
    for (size_t i = 0; i < f.Components().size(); ++i) {
        const auto& got = f.Components()[i];
        EXPECT_EQ((std::array{got.Unknown18, got.Unknown19, got.Unknown20, got.Unknown21}),
                  m.Components[i].Unknown18to21);
        EXPECT_EQ(std::to_array(got.Unknown25), m.Components[i].Unknown25to37);
    }
    ExpectRecords(f.Polygons(), m.Polygons,
                  [](const auto& r) { return std::tuple(r.First, r.VertexCount); });
    auto xyz = [](const auto& r) { return std::tuple(r.X, r.Y, r.Z); };
    ExpectRecords(f.Vertices(), m.Vertices, xyz);
    ExpectRecords(f.Normals(), m.Normals, xyz);
    EXPECT_EQ(f.VertexOrder(), m.VertexOrder);
    EXPECT_EQ(f.NormalOrder(), m.NormalOrder);
    ExpectRecords(f.Colors(), m.Colors,
                  [](const auto& c) { return std::tuple(c.R, c.G, c.B, c.A); });
    EXPECT_EQ(f.ColorOrder(), m.ColorOrder);
    EXPECT_EQ(f.TexVertexOrder(), m.TexVertexOrder);
    ExpectRecords(f.TexVertices(), m.TexVertices,
                  [](const auto& r) { return std::tuple(r.S, r.T); });
    ASSERT_EQ(f.Block19().size(), 1u);
    EXPECT_EQ(std::to_array(f.Block19()[0].Values), m.Block19[0]);
    ExpectRecords(f.TextureMaps(), m.TextureMaps,
                  [](const auto& r) { return std::tuple(r.TextureIndex, r.Unknown1); });
    ExpectRecords(f.TextureDefinitions(), m.TextureDefinitions, [](const auto& r) {
        return std::tuple(r.Unknown0, r.TextureIndex, r.Unknown2, Text(r.Name));
    });
    ExpectRecords(f.PolygonSets(), m.PolygonSets, [](const auto& r) {
        return std::tuple(r.TextureMap, r.Unknown12, r.Unknown13, r.FirstPolygon, r.PolygonCount,
                          r.VertexOrderBase, r.NormalOrderBase, r.ColorOrderBase,
                          r.TexVertexOrderBase);
    });
    const PolygonSetRecord& s = f.PolygonSets()[0];
    EXPECT_EQ((std::array{s.Unknown0, s.Unknown1, s.Unknown2, s.Unknown3}),
              m.PolygonSets[0].Unknown0to3);
    EXPECT_EQ(std::to_array(s.Unknown5), m.PolygonSets[0].Unknown5to11);
    EXPECT_EQ(std::to_array(s.Unknown20), m.PolygonSets[0].Unknown20to26);
    EXPECT_EQ(f.Visibility(), m.Visibility);
    EXPECT_EQ(f.Transforms(), m.Transforms);
    ExpectRecords(f.Nodes(), m.Nodes, [](const auto& r) {
        return std::tuple(Text(r.Name), r.NextSibling, r.FirstChild, r.Component, r.Visibility,
                          r.Transform, r.Unknown21);
    });
}

TEST(ModelFile, ReadsAnimationSetsThroughTheirIndex) {
    Distinct d;
    sample::AnimationSet walk, again;
    walk.Name = std::string(52, 'W');
    walk.Unknown13 = d.U();
    walk.Unknown14 = d.U();
    sample::AnimationData& a = walk.Data;
    a.Unknown0 = d.U();
    a.Coordinates = {d.F(), d.F(), d.F(), d.F(), d.F(), d.F()};
    a.SetInfo = {{d.U(), d.U(), d.F()}};
    sample::Frame frame{d.F()};
    for (auto& range : frame.Ranges)
        range = d.Us<2>();
    a.Frames = {frame};
    a.List4 = {d.U(), d.U()};
    a.List5 = {d.U()};
    a.TextureControl = {d.Us<3>()};
    a.PlaneControl = {{0xFF, 0xFF, 0xFF, 0xFF}, {0x80, 0x80, 0x01, 0x02}};
    a.AnimationControl = {d.U()};
    a.List9 = {d.Us<2>()};
    a.ListOrder = {7, 5, 3, 1, 0, 2, 4, 6};  // lists in any order within the area
    sample::Model m;
    again.Name = "again";
    again.SharesDataWith = 0;
    m.AnimationSets = {walk, again};

    const ModelFile f = LoadModel(m);
    ExpectRecords(f.AnimationSetIndex(), m.AnimationSets,
                  [](const auto& r) { return std::tuple(Text(r.Name), r.Unknown13, r.Unknown14); });
    EXPECT_EQ(f.AnimationSetIndex()[0].DataOffset, f.AnimationSetIndex()[1].DataOffset);

    ASSERT_EQ(f.AnimationSets().size(), 2u);
    for (const auto& shared : f.AnimationSets()) {
        const AnimationSet& set = *shared;
        EXPECT_EQ(set.Header.Unknown0, a.Unknown0);
        EXPECT_EQ(set.Header.SubCount[5], 2u);
        EXPECT_EQ(std::to_array(set.Header.Coordinates), a.Coordinates);
        ExpectRecords(set.SetInfo, a.SetInfo,
                      [](const auto& r) { return std::tuple(r.Loop, r.Unknown, r.Time); });
        ASSERT_EQ(set.Frames.size(), 1u);
        EXPECT_EQ(set.Frames[0].Time, frame.Time);
        for (int k = 0; k < 5; ++k) {
            const FrameRange& range = set.Frames[0].Ranges[k];
            EXPECT_EQ((std::array{range.First, range.Count}), frame.Ranges[k]);
        }
        EXPECT_EQ(set.List4, a.List4);
        EXPECT_EQ(set.List5, a.List5);
        ASSERT_EQ(set.TextureControl.size(), 1u);
        EXPECT_EQ(std::to_array(set.TextureControl[0].Words), a.TextureControl[0]);
        // Bytes as they stand; the second reads as signed.
        ASSERT_EQ(set.PlaneControl.size(), 2u);
        for (const auto& [p, want] : {std::pair(set.PlaneControl[0], std::array{255, -1, 255, 255}),
                                      std::pair(set.PlaneControl[1], std::array{128, -128, 1, 2})})
            EXPECT_EQ((std::array<int, 4>{p.Byte0, p.Byte1, p.Byte2, p.Byte3}), want);
        EXPECT_EQ(set.AnimationControl, a.AnimationControl);
        ASSERT_EQ(set.List9.size(), 1u);
        EXPECT_EQ((std::array{set.List9[0].Word0, set.List9[0].Word1}), a.List9[0]);
    }
}

TEST(ModelFile, EmptyAndUnreadBlocksHoldNothing) {
    sample::Model m;
    m.Vertices = {{1, 2, 3}};
    m.OffsetOverride[3] = 0xFFFFFFFF;  // count 0 with any offset
    m.OffsetOverride[24] = 0x7FFFFFF0;
    // Blocks 11 to 17 claim block 4's bytes, yet are never read.
    for (int slot = 9; slot <= 15; ++slot) {
        m.CountOverride[slot] = 1;
        m.OffsetOverride[slot] = 432;
    }
    const ModelFile f = LoadModel(m);
    for (int block = 2; block <= 26; ++block)
        EXPECT_EQ(f.BlockRecordCount(block), block == 4 ? 1u : 0u) << "block " << block;
    EXPECT_EQ(f.Vertices()[0].Z, 3.0f);
    EXPECT_TRUE(f.AnimationSets().empty());
}

TEST(ModelFile, LoadsFromAPathAndKeepsIt) {
    testsupport::TempDir dir;
    sample::Model m;
    m.Vertices = {{0.5f, -1.0f, 2.0f}};
    const std::string path = dir.Write("d\xC3\xA9j\xC3\xA0 vu.bin", sample::WriteModel(m));
    ModelFile f;
    ASSERT_TRUE(f.Load(path));
    EXPECT_EQ(f.Path(), path);
    ASSERT_EQ(f.Vertices().size(), 1u);
    EXPECT_EQ(f.Vertices()[0].Y, -1.0f);

    ModelFile missing;
    EXPECT_FALSE(missing.Load(dir.File("gone.bin")));
    EXPECT_EQ(missing.Path(), dir.File("gone.bin"));
    EXPECT_EQ(missing.Header().BlockOffset[0], 0u);
    EXPECT_TRUE(missing.Vertices().empty());
}

TEST(ByteSource, AWindowReadsWhatItsSourceReads) {
    std::vector<uint8_t> bytes(3 * WindowedSource::kWindow / 2 + 5);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + i / 256);
    MemorySource direct(bytes), under(bytes);
    WindowedSource windowed(under);
    const uint64_t window = WindowedSource::kWindow, end = bytes.size();
    // Forwards, back, across the window's end, at and past the file's end, and
    // larger than the window.
    const std::pair<uint64_t, size_t> reads[] = {
        {0, 92},         {100, 4}, {window - 2, 8}, {50, 30}, {window + 10, 1000},
        {end - 3, 10},   {end, 4}, {end + 9, 4},    {7, 0},   {1, window + 100},
        {window / 2, 12}};
    for (auto [offset, length] : reads) {
        std::vector<uint8_t> want(length, 0xEE), got(length, 0xEE);
        EXPECT_EQ(windowed.ReadAt(offset, got.data(), length),
                  direct.ReadAt(offset, want.data(), length))
            << offset << " " << length;
        EXPECT_EQ(got, want) << offset << " " << length;
    }
}

TEST(Text, NamesBecomeValidUtf8) {
    // Names are bytes; what is not UTF-8 stays as U+FFFD, byte by byte.
    const std::string bad = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> names[] = {
        {"\xC2\xA9 caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x90\xA6",
         "\xC2\xA9 caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x90\xA6"},
        {"\xE9t\xE9", bad + "t" + bad},
        {"\xC0\x80", bad + bad},                      // an overlong form
        {"\xED\xA0\x80", bad + bad + bad},            // a surrogate
        {"\xF4\x90\x80\x80", bad + bad + bad + bad},  // past U+10FFFF
        {"a\xE2\x82", "a" + bad + bad},               // cut short
        {"\xE2\x28\xA1", bad + "(" + bad}};
    for (const auto& [name, utf8] : names)
        EXPECT_EQ(ValidUtf8(name), utf8) << testing::PrintToString(name);
}
