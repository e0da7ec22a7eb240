#include <gtest/gtest.h>

#include <bit>
#include <string>

#include "model/ByteSource.h"
#include "model/ModelFile.h"
#include "model/Text.h"
#include "sample/ModelWriter.h"
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

  private:
    uint32_t next_ = 0;
};

uint32_t Bits(float f) {
    return std::bit_cast<uint32_t>(f);
}

ModelFile LoadBytes(const std::vector<uint8_t>& bytes) {
    MemorySource source(bytes);
    ModelFile model;
    model.LoadFrom(source);
    return model;
}

sample::Model EveryBlock(Distinct& d) {
    sample::Model m;
    m.Unknown0 = d.U();
    m.ModelName = "kestrel body";
    m.TextureName = std::string(64, 'T');  // fills its field: no zero byte
    m.Date = "1999-03-14";
    m.Unknowns = {d.I(), d.I(), d.I()};
    for (float& f : m.BoundingBox)
        f = d.F();

    for (int i = 0; i < 2; ++i) {
        sample::Component c;
        c.Name = i == 0 ? std::string(64, 'C') : "wing";
        c.VertexBase = d.I();
        c.Unknown17 = d.I();
        for (auto& v : c.Unknown18to21)
            v = d.U();
        c.TexVertexBase = d.I();
        c.Unknown23 = d.I();
        c.Unknown24 = d.I();
        for (auto& v : c.Unknown25to37)
            v = d.U();
        c.FirstPolygonSet = d.I();
        c.PolygonSetCount = d.I();
        c.AlphaMode = d.U();
        c.CullMode = d.U();
        m.Components.push_back(c);
    }
    m.Polygons = {{d.U(), d.U()}, {d.U(), d.U()}};
    m.Vertices = {{d.F(), d.F(), d.F()}, {d.F(), d.F(), d.F()}};
    m.VertexOrder = {d.U(), d.U(), d.U()};
    m.Normals = {{d.F(), d.F(), d.F()}};
    m.NormalOrder = {d.U(), d.U()};
    m.Colors = {{0x10, 0x20, 0x30, 0xFF}, {0x01, 0x02, 0x03, 0x04}};
    m.ColorOrder = {d.U()};
    m.TexVertexOrder = {d.U(), d.U()};
    m.TexVertices = {{d.F(), d.F()}, {d.F(), d.F()}};
    m.Block19 = {{d.F(), d.F(), d.F(), d.F(), d.F(), d.F()}};
    m.TextureMaps = {{d.I(), d.U()}};
    m.TextureDefinitions = {{d.U(), d.I(), d.U(), std::string(52, 'D')},
                            {d.U(), d.I(), d.U(), "rock"}};
    sample::PolygonSet s;
    for (auto& v : s.Unknown0to3)
        v = d.U();
    s.TextureMap = d.I();
    for (auto& v : s.Unknown5to11)
        v = d.U();
    s.Unknown12 = d.U();
    s.Unknown13 = d.U();
    s.FirstPolygon = d.I();
    s.PolygonCount = d.I();
    s.VertexOrderBase = d.I();
    s.NormalOrderBase = d.I();
    s.ColorOrderBase = d.I();
    s.TexVertexOrderBase = d.I();
    for (auto& v : s.Unknown20to26)
        v = d.U();
    m.PolygonSets = {s};
    m.Visibility = {0x00, 0x80, 0xFF, 0x01};
    m.Transforms = {d.F(), d.F(), d.F()};
    m.Nodes = {{std::string(64, 'N'), d.I(), d.I(), d.I(), d.I(), d.I(), d.I()},
               {"root", d.I(), d.I(), d.I(), d.I(), d.I(), d.I()}};
    return m;
}

}  // namespace

TEST(ModelFile, ConvertsEveryFieldOfEveryBlock) {
    Distinct d;
    const sample::Model m = EveryBlock(d);
    const ModelFile f = LoadBytes(sample::WriteModel(m));

    const ModelHeader& h = f.Header();
    EXPECT_EQ(h.Unknown0, m.Unknown0);
    EXPECT_EQ(FieldText(h.ModelName), "kestrel body");
    EXPECT_EQ(FieldText(h.TextureName), std::string(64, 'T'));
    EXPECT_EQ(FieldText(h.Date), "1999-03-14");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(h.Unknowns[i], m.Unknowns[i]);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Bits(h.BoundingBox[i]), Bits(m.BoundingBox[i]));
    EXPECT_EQ(h.BlockOffset[0], 432u);
    EXPECT_EQ(h.BlockCount[0], 2u);

    ASSERT_EQ(f.Components().size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const auto& got = f.Components()[i];
        const auto& want = m.Components[i];
        EXPECT_EQ(FieldText(got.Name), want.Name);
        EXPECT_EQ(got.VertexBase, want.VertexBase);
        EXPECT_EQ(got.Unknown17, want.Unknown17);
        EXPECT_EQ(got.Unknown18, want.Unknown18to21[0]);
        EXPECT_EQ(got.Unknown21, want.Unknown18to21[3]);
        EXPECT_EQ(got.TexVertexBase, want.TexVertexBase);
        EXPECT_EQ(got.Unknown23, want.Unknown23);
        EXPECT_EQ(got.Unknown24, want.Unknown24);
        for (int k = 0; k < 13; ++k)
            EXPECT_EQ(got.Unknown25[k], want.Unknown25to37[k]);
        EXPECT_EQ(got.FirstPolygonSet, want.FirstPolygonSet);
        EXPECT_EQ(got.PolygonSetCount, want.PolygonSetCount);
        EXPECT_EQ(got.AlphaMode, want.AlphaMode);
        EXPECT_EQ(got.CullMode, want.CullMode);
    }

    ASSERT_EQ(f.Polygons().size(), 2u);
    EXPECT_EQ(f.Polygons()[1].First, m.Polygons[1].First);
    EXPECT_EQ(f.Polygons()[1].VertexCount, m.Polygons[1].VertexCount);
    ASSERT_EQ(f.Vertices().size(), 2u);
    EXPECT_EQ(Bits(f.Vertices()[1].X), Bits(m.Vertices[1].X));
    EXPECT_EQ(Bits(f.Vertices()[1].Z), Bits(m.Vertices[1].Z));
    EXPECT_EQ(f.VertexOrder(), m.VertexOrder);
    ASSERT_EQ(f.Normals().size(), 1u);
    EXPECT_EQ(Bits(f.Normals()[0].Y), Bits(m.Normals[0].Y));
    EXPECT_EQ(f.NormalOrder(), m.NormalOrder);
    EXPECT_EQ(f.ColorOrder(), m.ColorOrder);
    EXPECT_EQ(f.TexVertexOrder(), m.TexVertexOrder);
    ASSERT_EQ(f.TexVertices().size(), 2u);
    EXPECT_EQ(Bits(f.TexVertices()[1].S), Bits(m.TexVertices[1].S));
    EXPECT_EQ(Bits(f.TexVertices()[1].T), Bits(m.TexVertices[1].T));
    ASSERT_EQ(f.Block19().size(), 1u);
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(Bits(f.Block19()[0].Values[k]), Bits(m.Block19[0][k]));
    ASSERT_EQ(f.TextureMaps().size(), 1u);
    EXPECT_EQ(f.TextureMaps()[0].TextureIndex, m.TextureMaps[0].TextureIndex);
    EXPECT_EQ(f.TextureMaps()[0].Unknown1, m.TextureMaps[0].Unknown1);

    ASSERT_EQ(f.TextureDefinitions().size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const auto& got = f.TextureDefinitions()[i];
        EXPECT_EQ(got.Unknown0, m.TextureDefinitions[i].Unknown0);
        EXPECT_EQ(got.TextureIndex, m.TextureDefinitions[i].TextureIndex);
        EXPECT_EQ(got.Unknown2, m.TextureDefinitions[i].Unknown2);
        EXPECT_EQ(FieldText(got.Name), m.TextureDefinitions[i].Name);
    }

    ASSERT_EQ(f.PolygonSets().size(), 1u);
    const auto& s = f.PolygonSets()[0];
    const auto& ws = m.PolygonSets[0];
    EXPECT_EQ(s.Unknown0, ws.Unknown0to3[0]);
    EXPECT_EQ(s.Unknown3, ws.Unknown0to3[3]);
    EXPECT_EQ(s.TextureMap, ws.TextureMap);
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(s.Unknown5[k], ws.Unknown5to11[k]);
    EXPECT_EQ(s.Unknown12, ws.Unknown12);
    EXPECT_EQ(s.Unknown13, ws.Unknown13);
    EXPECT_EQ(s.FirstPolygon, ws.FirstPolygon);
    EXPECT_EQ(s.PolygonCount, ws.PolygonCount);
    EXPECT_EQ(s.VertexOrderBase, ws.VertexOrderBase);
    EXPECT_EQ(s.NormalOrderBase, ws.NormalOrderBase);
    EXPECT_EQ(s.ColorOrderBase, ws.ColorOrderBase);
    EXPECT_EQ(s.TexVertexOrderBase, ws.TexVertexOrderBase);
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(s.Unknown20[k], ws.Unknown20to26[k]);

    ASSERT_EQ(f.Transforms().size(), 3u);
    EXPECT_EQ(Bits(f.Transforms()[2]), Bits(m.Transforms[2]));

    ASSERT_EQ(f.Nodes().size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const auto& got = f.Nodes()[i];
        const auto& want = m.Nodes[i];
        EXPECT_EQ(FieldText(got.Name), want.Name);
        EXPECT_EQ(got.NextSibling, want.NextSibling);
        EXPECT_EQ(got.FirstChild, want.FirstChild);
        EXPECT_EQ(got.Component, want.Component);
        EXPECT_EQ(got.Visibility, want.Visibility);
        EXPECT_EQ(got.Transform, want.Transform);
        EXPECT_EQ(got.Unknown21, want.Unknown21);
    }
}

TEST(ModelFile, LeavesBytesAndTextsAsTheyStand) {
    Distinct d;
    const ModelFile f = LoadBytes(sample::WriteModel(EveryBlock(d)));

    ASSERT_EQ(f.Colors().size(), 2u);
    EXPECT_EQ(f.Colors()[0].R, 16);
    EXPECT_EQ(f.Colors()[0].G, 32);
    EXPECT_EQ(f.Colors()[0].B, 48);
    EXPECT_EQ(f.Colors()[0].A, 255);
    EXPECT_EQ(f.Colors()[1].A, 4);
    EXPECT_EQ(f.Visibility(), (std::vector<uint8_t>{0x00, 0x80, 0xFF, 0x01}));
    // A name that fills its field is taken whole and stops there.
    EXPECT_EQ(FieldText(f.Components()[0].Name), std::string(64, 'C'));
    EXPECT_EQ(FieldText(f.Nodes()[0].Name), std::string(64, 'N'));
    EXPECT_EQ(FieldText(f.TextureDefinitions()[0].Name), std::string(52, 'D'));
}

TEST(ModelFile, ReadsAnimationSetsThroughTheirIndex) {
    Distinct d;
    sample::Model m;
    sample::AnimationSet walk;
    walk.Name = std::string(52, 'W');
    walk.Unknown13 = d.U();
    walk.Unknown14 = d.U();
    sample::AnimationData& a = walk.Data;
    a.Unknown0 = d.U();
    for (float& c : a.Coordinates)
        c = d.F();
    a.SetInfo = {{d.U(), d.U(), d.F()}};
    sample::Frame frame;
    frame.Time = d.F();
    for (auto& range : frame.Ranges)
        range = {d.U(), d.U()};
    a.Frames = {frame};
    a.List4 = {d.U(), d.U()};
    a.List5 = {d.U()};
    a.TextureControl = {{d.U(), d.U(), d.U()}};
    a.PlaneControl = {{0xFF, 0xFF, 0xFF, 0xFF}, {0x80, 0x80, 0x01, 0x02}};
    a.AnimationControl = {d.U()};
    a.List9 = {{d.U(), d.U()}};
    a.ListOrder = {7, 5, 3, 1, 0, 2, 4, 6};  // lists in any order within the area
    m.AnimationSets.push_back(walk);
    sample::AnimationSet again;
    again.Name = "again";
    again.SharesDataWith = 0;
    m.AnimationSets.push_back(again);

    const ModelFile f = LoadBytes(sample::WriteModel(m));
    ASSERT_EQ(f.AnimationSetIndex().size(), 2u);
    EXPECT_EQ(FieldText(f.AnimationSetIndex()[0].Name), std::string(52, 'W'));
    EXPECT_EQ(f.AnimationSetIndex()[0].Unknown13, walk.Unknown13);
    EXPECT_EQ(f.AnimationSetIndex()[0].Unknown14, walk.Unknown14);
    EXPECT_EQ(f.AnimationSetIndex()[0].DataOffset, f.AnimationSetIndex()[1].DataOffset);

    ASSERT_EQ(f.AnimationSets().size(), 2u);
    for (const AnimationSet& set : f.AnimationSets()) {
        EXPECT_EQ(set.Header.Unknown0, a.Unknown0);
        EXPECT_EQ(set.Header.SubCount[5], 2u);
        for (int k = 0; k < 6; ++k)
            EXPECT_EQ(Bits(set.Header.Coordinates[k]), Bits(a.Coordinates[k]));
        ASSERT_EQ(set.SetInfo.size(), 1u);
        EXPECT_EQ(set.SetInfo[0].Loop, a.SetInfo[0].Loop);
        EXPECT_EQ(set.SetInfo[0].Unknown, a.SetInfo[0].Unknown);
        EXPECT_EQ(Bits(set.SetInfo[0].Time), Bits(a.SetInfo[0].Time));
        ASSERT_EQ(set.Frames.size(), 1u);
        EXPECT_EQ(Bits(set.Frames[0].Time), Bits(frame.Time));
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(set.Frames[0].Ranges[k].First, frame.Ranges[k][0]);
            EXPECT_EQ(set.Frames[0].Ranges[k].Count, frame.Ranges[k][1]);
        }
        EXPECT_EQ(set.List4, a.List4);
        EXPECT_EQ(set.List5, a.List5);
        ASSERT_EQ(set.TextureControl.size(), 1u);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(set.TextureControl[0].Words[k], a.TextureControl[0][k]);
        ASSERT_EQ(set.PlaneControl.size(), 2u);
        EXPECT_EQ(set.PlaneControl[0].Byte0, 255);
        EXPECT_EQ(set.PlaneControl[0].Byte1, -1);
        EXPECT_EQ(set.PlaneControl[0].Byte2, 255);
        EXPECT_EQ(set.PlaneControl[0].Byte3, 255);
        EXPECT_EQ(set.PlaneControl[1].Byte1, -128);
        EXPECT_EQ(set.PlaneControl[1].Byte3, 2);
        EXPECT_EQ(set.AnimationControl, a.AnimationControl);
        ASSERT_EQ(set.List9.size(), 1u);
        EXPECT_EQ(set.List9[0].Word0, a.List9[0][0]);
        EXPECT_EQ(set.List9[0].Word1, a.List9[0][1]);
    }
}

TEST(ModelFile, EmptyModelAndEmptyBlocks) {
    sample::Model m;
    m.OffsetOverride[3] = 0xFFFFFFFF;  // count 0 with any offset
    m.OffsetOverride[24] = 0x7FFFFFF0;
    const ModelFile f = LoadBytes(sample::WriteModel(m));
    for (int block : {2, 3, 4, 5, 6, 7, 8, 9, 10, 18, 19, 20, 21, 22, 23, 24, 25, 26}) {
        EXPECT_EQ(f.BlockRecordCount(block), 0u) << "block " << block;
    }
    EXPECT_TRUE(f.AnimationSets().empty());
}

TEST(ModelFile, NeverReadsBlocks11To17) {
    sample::Model m;
    m.Vertices = {{1, 2, 3}};
    for (int slot = 9; slot <= 15; ++slot) {
        m.CountOverride[slot] = 1;
        m.OffsetOverride[slot] = 432;
    }
    const ModelFile f = LoadBytes(sample::WriteModel(m));
    for (int block = 11; block <= 17; ++block)
        EXPECT_EQ(f.BlockRecordCount(block), 0u);
    ASSERT_EQ(f.Vertices().size(), 1u);
    EXPECT_EQ(f.Vertices()[0].Z, 3.0f);
}

TEST(ModelFile, LoadsFromAPathAndKeepsIt) {
    testsupport::TempDir dir;
    sample::Model m;
    m.ModelName = "path";
    m.Vertices = {{0.5f, -1.0f, 2.0f}};
    std::string path = dir.Write(
        "\xC3\xBC"
        "ber model.bin",
        sample::WriteModel(m));

    ModelFile f;
    ASSERT_TRUE(f.Load(path));
    EXPECT_EQ(f.Path(), path);
    EXPECT_EQ(FieldText(f.Header().ModelName), "path");
    ASSERT_EQ(f.Vertices().size(), 1u);
    EXPECT_EQ(f.Vertices()[0].Y, -1.0f);

    ModelFile missing;
    EXPECT_FALSE(missing.Load(dir.File("gone.bin")));
    EXPECT_EQ(missing.Path(), dir.File("gone.bin"));
    EXPECT_EQ(missing.Header().BlockOffset[0], 0u);
    EXPECT_TRUE(missing.Vertices().empty());
}
