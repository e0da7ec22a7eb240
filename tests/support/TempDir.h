#pragma once
// A fresh folder for one test's files, removed with everything in it afterwards.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace testsupport {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The UTF-8 path of `name` inside the folder.
    std::string File(const std::string& name) const;
    // Writes `bytes` to `name` inside the folder and returns its UTF-8 path.
    std::string Write(const std::string& name, std::span<const uint8_t> bytes) const;

  private:
    std::filesystem::path path_;
};

}  // namespace testsupport
