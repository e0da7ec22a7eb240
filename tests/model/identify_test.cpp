#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <tuple>
#include <vector>

#include "model/ByteSource.h"
#include "model/FileKind.h"
#include "model/Utf8Path.h"
#include "sample/BigEndianWriter.h"
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
    const uint32_t magic = 0x0020AF30;
    // 335 bytes cannot hold the word at 332, even if its first three bytes are
    // there and a byte left over from another read would complete it.
    std::vector<uint8_t> cut = WordsAt(336, {{0, 0xB0000000}, {332, 432}});
    cut.resize(335);
    const std::vector<std::tuple<std::string, std::vector<uint8_t>, FileKind>> files = {
        {"archive", WordsAt(64, {{0, magic}}), FileKind::TextureArchive},
        // The archive magic wins even where offset 332 also holds 432.
        {"both", WordsAt(400, {{0, magic}, {332, 432}}), FileKind::TextureArchive},
        // Only the word at 332 makes a model, whatever else the file holds.
        {"mod\xC3\xA8le \xE6\xA8\xA1\xE5\x9E\x8B #1", WordsAt(336, {{0, 0xDEADBEEF}, {332, 432}}),
         FileKind::ModelFile},
        {"433", WordsAt(336, {{332, 433}}), FileKind::PointDump},
        {"little-endian 432", WordsAt(336, {{332, 0xB0010000}}), FileKind::PointDump},
        {"335", cut, FileKind::PointDump},
        {"empty", {}, FileKind::PointDump},
        // A read past the end is no word: 432 at 0 is not 432 at 332.
        {"432 first", WordsAt(4, {{0, 432}}), FileKind::PointDump},
        {"magic alone", WordsAt(4, {{0, magic}}), FileKind::TextureArchive},
        {"three", {0x00, 0x20, 0xAF}, FileKind::PointDump},
    };
    testsupport::TempDir dir;
    for (const auto& [name, bytes, kind] : files)
        EXPECT_EQ(IdentifyFile(dir.Write(name, bytes)), kind) << name;

    EXPECT_EQ(IdentifyFile(dir.File("missing")), FileKind::Unreadable);
    EXPECT_EQ(IdentifyFile(""), FileKind::Unreadable);

    // Only regular files are read: a folder holds no bytes, a device never
    // ends, and opening a FIFO would wait for a writer (the alarm ends the
    // test if it does). Each says why, as the system says it.
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    alarm(10);
    for (const auto& [path, why] : {std::pair{Utf8FromPath(dir.Path()), "Is a directory"},
                                    {fifo, "not a regular file"},
                                    {"/dev/zero", "not a regular file"},
                                    {dir.File("missing"), "No such file or directory"}}) {
        EXPECT_EQ(IdentifyFile(path), FileKind::Unreadable) << path;
        FileSource file;
        EXPECT_FALSE(file.Open(path));
        EXPECT_EQ(file.Error(), why) << path;
    }
    alarm(0);
}

// Zeros in place of bytes that went missing would be read as the file.
TEST(FileSource, AFileThatShrinksWhileItIsReadSaysSo) {
    testsupport::TempDir dir;
    const std::string path = dir.Write("shrinking", std::vector<uint8_t>(100000, 7));
    FileSource file;
    ASSERT_TRUE(file.Open(path));
    std::filesystem::resize_file(PathFromUtf8(path), 50000);
    uint8_t bytes[1000];
    EXPECT_EQ(file.ReadAt(60000, bytes, sizeof bytes), 0u);
    EXPECT_TRUE(file.Shrank());
    EXPECT_EQ(file.Error(), "the file shrank while it was read (it had 100000 bytes when opened)");
}
