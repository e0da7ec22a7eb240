#include <gtest/gtest.h>

#include <vector>

#include "model/FileKind.h"
#include "sample/BigEndianWriter.h"
#include "sample/ModelWriter.h"
#include "tests/support/TempDir.h"

namespace {

std::vector<uint8_t> WordsAt(size_t size, std::vector<std::pair<size_t, uint32_t>> words) {
    sample::BigEndianWriter w;
    w.PadTo(size);
    for (auto [at, value] : words)
        w.PatchU32(at, value);
    return w.Take();
}

}  // namespace

TEST(IdentifyFile, TellsEveryKindApart) {
    testsupport::TempDir dir;
    sample::Model model;
    model.ModelName = "box";

    EXPECT_EQ(IdentifyFile(dir.Write("model", sample::WriteModel(model))), FileKind::ModelFile);
    EXPECT_EQ(IdentifyFile(dir.Write("archive", WordsAt(64, {{0, 0x0020AF30}}))),
              FileKind::TextureArchive);
    // The archive magic wins even where offset 332 also holds 432.
    EXPECT_EQ(IdentifyFile(dir.Write("both", WordsAt(400, {{0, 0x0020AF30}, {332, 432}}))),
              FileKind::TextureArchive);
    // Only the word at 332 makes a model, whatever else the file holds.
    EXPECT_EQ(IdentifyFile(dir.Write("just332", WordsAt(336, {{0, 0xDEADBEEF}, {332, 432}}))),
              FileKind::ModelFile);
    EXPECT_EQ(IdentifyFile(dir.Write("433", WordsAt(336, {{332, 433}}))), FileKind::PointDump);
    // Little-endian 432 is not a model.
    EXPECT_EQ(IdentifyFile(dir.Write("le", WordsAt(336, {{332, 0xB0010000}}))),
              FileKind::PointDump);
}

TEST(IdentifyFile, ShortEmptyAndUnreadableFiles) {
    testsupport::TempDir dir;
    // 335 bytes cannot hold the word at 332, even if its first three bytes are there.
    std::vector<uint8_t> cut = WordsAt(336, {{332, 432}});
    cut.resize(335);
    EXPECT_EQ(IdentifyFile(dir.Write("335", cut)), FileKind::PointDump);
    EXPECT_EQ(IdentifyFile(dir.Write("empty", {})), FileKind::PointDump);
    // A four-byte file can still be an archive.
    EXPECT_EQ(IdentifyFile(dir.Write("magic", WordsAt(4, {{0, 0x0020AF30}}))),
              FileKind::TextureArchive);
    std::vector<uint8_t> three = {0x00, 0x20, 0xAF};
    EXPECT_EQ(IdentifyFile(dir.Write("three", three)), FileKind::PointDump);

    EXPECT_EQ(IdentifyFile(dir.File("missing")), FileKind::Unreadable);
    EXPECT_EQ(IdentifyFile(testsupport::Utf8(dir.Path())), FileKind::Unreadable);
    EXPECT_EQ(IdentifyFile(""), FileKind::Unreadable);
}

TEST(IdentifyFile, OpensNamesWithAnyCharacters) {
    testsupport::TempDir dir;
    std::string path =
        dir.Write("mod\xC3\xA8le \xE6\xA8\xA1\xE5\x9E\x8B #1", WordsAt(336, {{332, 432}}));
    EXPECT_EQ(IdentifyFile(path), FileKind::ModelFile);
}
