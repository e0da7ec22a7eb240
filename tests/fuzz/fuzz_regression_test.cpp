// Inputs the fuzzers found, kept under fuzz/regressions/<target>/ and replayed
// through the same entry points the fuzzers call: each of them once crashed a
// reader, hung it, or broke one of its promises.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/FuzzEntries.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(FuzzRegressions, EveryFoundInputRunsCleanThroughItsTarget) {
    const fs::path root = KESTREL_FUZZ_REGRESSIONS;
    ASSERT_TRUE(fs::is_directory(root));
    int replayed = 0;
    for (const fs::directory_entry& folder : fs::directory_iterator(root)) {
        const fuzz::Target* target = fuzz::FindTarget(folder.path().filename().string());
        ASSERT_NE(target, nullptr) << "no fuzz target for " << folder.path().filename();
        for (const fs::directory_entry& file : fs::directory_iterator(folder.path())) {
            SCOPED_TRACE(file.path().string());
            const std::vector<uint8_t> input = ReadAll(file.path());
            // A crash or a broken promise aborts the whole test program.
            target->Run(input);
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0);
}
