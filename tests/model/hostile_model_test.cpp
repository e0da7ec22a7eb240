#include <gtest/gtest.h>

#include <tuple>

#include "model/ModelFile.h"
#include "model/ReadBudget.h"
#include "tests/model/LoadModel.h"
#include "tests/support/TempDir.h"

TEST(HostileModel, CountBeyondTheFileGetsWhatTheFileCouldHoldZeroFilled) {
    sample::Model m;
    m.Vertices = {{1, 2, 3}, {4, 5, 6}};
    m.CountOverride[2] = 0xFFFFFFFF;  // block 4
    const std::vector<uint8_t> bytes = sample::WriteModel(m);
    const ModelFile f = LoadBytes(bytes);

    ASSERT_EQ(f.Vertices().size(), bytes.size() / 12);
    EXPECT_EQ(f.Vertices()[1].X, 4.0f);
    EXPECT_EQ(f.Vertices()[1].Z, 6.0f);
    // Every record that reaches past the end of the file stays zero.
    for (size_t i = (bytes.size() - 432) / 12; i < f.Vertices().size(); ++i) {
        const VertexRecord& v = f.Vertices()[i];
        EXPECT_EQ(std::tuple(v.X, v.Y, v.Z), std::tuple(0.0f, 0.0f, 0.0f)) << i;
    }
}

TEST(HostileModel, OffsetsPastTheEndAndTruncatedFilesLeaveZeros) {
    sample::Model m;
    m.Vertices = {{1, 2, 3}};
    m.Polygons = {{7, 3}, {8, 4}, {9, 5}};
    m.OffsetOverride[2] = 0xFFFFFFF0;  // block 4
    std::vector<uint8_t> bytes = sample::WriteModel(m);
    ModelFile f = LoadBytes(bytes);
    ASSERT_EQ(f.Vertices().size(), 1u);
    EXPECT_EQ(f.Vertices()[0].X, 0.0f);

    // Cut the file in the middle of the second polygon: its count and the third
    // polygon are missing, the header's counts still hold.
    bytes.resize(432 + 8 + 4);
    f = LoadBytes(bytes);
    ASSERT_EQ(f.Polygons().size(), 3u);
    const auto& p = f.Polygons();
    EXPECT_EQ(std::tuple(p[0].VertexCount, p[1].First, p[1].VertexCount, p[2].First),
              std::tuple(3u, 8u, 0u, 0u));

    // A file shorter than its header: what is there is read, the rest is zero.
    bytes.resize(300);
    f = LoadBytes(bytes);
    EXPECT_EQ(f.Header().BlockCount[1], 3u);
    EXPECT_EQ(f.Header().BlockOffset[0], 0u);

    testsupport::TempDir dir;
    ModelFile fromDisk;
    EXPECT_TRUE(fromDisk.Load(dir.Write("short", std::vector<uint8_t>(10, 0xAB))));
    EXPECT_TRUE(fromDisk.Load(dir.Write("empty", {})));
    EXPECT_TRUE(fromDisk.Vertices().empty());
}

TEST(HostileModel, OverlappingBlocksEachConvertTheirOwnCopy) {
    sample::Model m;
    m.VertexOrder = {0x01020304, 0xA0B0C0D0};  // block 5, right behind the header
    m.CountOverride[5] = 2;                    // block 7 over the same bytes
    m.OffsetOverride[5] = 432;
    m.CountOverride[6] = 2;  // block 8 too: bytes, read without conversion
    m.OffsetOverride[6] = 432;
    const ModelFile f = LoadBytes(sample::WriteModel(m));

    EXPECT_EQ(f.VertexOrder(), (std::vector<uint32_t>{0x01020304, 0xA0B0C0D0}));
    EXPECT_EQ(f.NormalOrder(), f.VertexOrder());
    ASSERT_EQ(f.Colors().size(), 2u);
    const auto& c = f.Colors();
    EXPECT_EQ(std::tuple(c[0].R, c[0].A, c[1].R), std::tuple(0x01, 0x04, 0xA0));
}

TEST(HostileModel, AnimationListsPointingAnywhere) {
    sample::Model m;
    sample::AnimationSet set;
    set.Name = "wild";
    set.Data.List4 = {0x11223344};
    set.Data.List9 = {{1, 2}};
    // The offset sum wraps at 32 bits; count 0xFFFFFFFF is clamped to the file.
    set.Data.CountOverride[2] = 0xFFFFFFFF;
    m.AnimationSets.push_back(set);
    sample::AnimationSet away;
    away.Name = "away";
    away.DataOffset = 0xFFFFFFFC;  // area past the end: header and lists zero
    m.AnimationSets.push_back(away);
    std::vector<uint8_t> bytes = sample::WriteModel(m);
    const ModelFile first = LoadBytes(bytes);
    const uint32_t area = first.AnimationSetIndex()[0].DataOffset;

    m.AnimationSets[0].Data.OffsetOverride[7] = static_cast<uint32_t>(0x100000000ull - area + 332);
    bytes = sample::WriteModel(m);
    const ModelFile f = LoadBytes(bytes);
    ASSERT_EQ(f.AnimationSets().size(), 2u);
    const AnimationSet& wild = *f.AnimationSets()[0];
    EXPECT_EQ(wild.List4.size(), bytes.size() / 4);
    EXPECT_EQ(wild.List4[0], 0x11223344u);
    ASSERT_EQ(wild.List9.size(), 1u);
    EXPECT_EQ(wild.List9[0].Word0, 432u);  // the wrapped offset lands on the directory
    const AnimationSet& gone = *f.AnimationSets()[1];
    EXPECT_EQ(gone.Header.SubCount[0], 0u);
    EXPECT_TRUE(gone.List4.empty());
}

TEST(HostileModel, SetsSharingOneAreaEachHoldAllOfIt) {
    // One area that fills most of the file, named by more sets than the budget
    // could pay for one by one: every set still holds every record.
    sample::Model m;
    sample::AnimationSet set;
    for (uint32_t i = 0; i < 4096; ++i)
        set.Data.List4.push_back(i);
    m.AnimationSets.push_back(set);
    set.Data = {};
    set.SharesDataWith = 0;
    for (uint64_t i = 0; i < 2 * ReadBudget::kBytesPerFileByte; ++i)
        m.AnimationSets.push_back(set);
    const ModelFile f = LoadModel(m);
    ASSERT_EQ(f.AnimationSets().size(), 1 + 2 * ReadBudget::kBytesPerFileByte);
    for (const auto& shared : f.AnimationSets()) {
        ASSERT_EQ(shared->List4.size(), 4096u);
        EXPECT_EQ(shared->List4.back(), 4095u);
    }
}
