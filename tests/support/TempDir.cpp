#include "tests/support/TempDir.h"

#include "model/Utf8Path.h"
#include "sample/BigEndianWriter.h"

#include <random>
#include <stdexcept>

namespace testsupport {

TempDir::TempDir() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("kestrel-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::File(const std::string& name) const {
    return Utf8FromPath(path_ / PathFromUtf8(name));
}

std::string TempDir::Write(const std::string& name, std::span<const uint8_t> bytes) const {
    std::string path = File(name);
    if (!sample::WriteFile(path, bytes))
        throw std::runtime_error("cannot write " + path);
    return path;
}

}  // namespace testsupport
