#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "model/OutputFile.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

const uint8_t kBytes[] = {'n', 'e', 'w'};

}  // namespace

TEST(OutputFile, ReplacesRegularFilesFollowsLinksAndRefusesTheRest) {
    testsupport::TempDir dir;
    const fs::path& d = dir.Path();
    std::ofstream(d / "old") << "old";
    std::ofstream(d / "target") << "old";
    fs::create_symlink("target", d / "link");
    fs::create_symlink("later", d / "dangling");
    fs::create_directory(d / "folder");
    ASSERT_EQ(::mkfifo((d / "fifo").c_str(), 0600), 0);
    struct Case {
        std::string Name;
        std::string Error;    // empty: written
        fs::path Written;     // where the bytes land
        fs::file_type After;  // what the named path is afterwards
    };
    for (const Case& c : {
             Case{"new", "", d / "new", fs::file_type::regular},
             Case{"old", "", d / "old", fs::file_type::regular},
             Case{"link", "", d / "target", fs::file_type::symlink},
             Case{"dangling", "", d / "later", fs::file_type::symlink},
             Case{"fifo", "not a regular file", {}, fs::file_type::fifo},
             Case{"folder", "not a regular file", {}, fs::file_type::directory},
             Case{"/dev/null", "not a regular file", {}, fs::file_type::character},
             Case{"no folder/x", "", d / "no folder/x", fs::file_type::regular},
             Case{"old/x", "Not a directory", {}, fs::file_type::not_found},
         }) {
        SCOPED_TRACE(c.Name);
        const std::string path = c.Name[0] == '/' ? c.Name : dir.File(c.Name);
        std::string error;
        EXPECT_EQ(WriteFileAtomically(path, kBytes, error), c.Error.empty());
        EXPECT_EQ(error, c.Error.empty() ? "" : "cannot write " + path + ": " + c.Error);
        if (!c.Written.empty()) {
            EXPECT_EQ(Contents(c.Written), "new");
        }
        EXPECT_EQ(fs::symlink_status(path).type(), c.After);
    }
    // Several files are all written or none is: here the second cannot have its folder.
    const OutputFile files[] = {{dir.File("first"), BytesWriter(kBytes)},
                                {dir.File("old/x"), BytesWriter(kBytes)}};
    std::string error;
    EXPECT_FALSE(WriteFilesAtomically(files, error));
    EXPECT_FALSE(fs::exists(d / "first"));

    // Nothing else is left beside them.
    size_t entries = 0;
    for (const auto& entry : fs::directory_iterator(d)) {
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
        ++entries;
    }
    EXPECT_EQ(entries, 9u);
}
