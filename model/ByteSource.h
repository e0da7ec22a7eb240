#pragma once
// Where the readers take their bytes from: a file opened by a UTF-8 path, or a
// block of memory (tests, fuzzing). Reads are absolute and may run past the end:
// they then deliver fewer bytes, and the caller keeps zeros for the rest.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Copies up to `length` bytes from `offset` to `out`; returns how many were copied.
    virtual size_t ReadAt(uint64_t offset, void* out, size_t length) = 0;
};

class FileSource final : public ByteSource {
  public:
    FileSource() = default;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    ~FileSource() override { Close(); }

    // Opens the file for binary reading; the path is UTF-8 on every platform.
    // On failure Error() says why, as the system says it.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Error() const { return error_; }
    // A read within the size the file had when opened delivered less: the file
    // shrank while it was read, or a read failed, and what was read is not the
    // file. Error() then says which.
    bool Shrank() const { return shrank_; }

    uint64_t Size() const override { return size_; }
    size_t ReadAt(uint64_t offset, void* out, size_t length) override;

  private:
    std::FILE* file_ = nullptr;
    uint64_t size_ = 0;
    bool shrank_ = false;
    std::string error_;
};

class MemorySource final : public ByteSource {
  public:
    explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint64_t Size() const override { return bytes_.size(); }
    size_t ReadAt(uint64_t offset, void* out, size_t length) override;

  private:
    std::span<const uint8_t> bytes_;
};

// Serves small reads from a window of another source, read in one go: records
// scattered over a file in their thousands (animation sets, say) then cost one
// read per window instead of a seek and a read each. Large reads go through.
class WindowedSource final : public ByteSource {
  public:
    static constexpr size_t kWindow = 64 * 1024;
    explicit WindowedSource(ByteSource& source) : source_(source) {}
    uint64_t Size() const override { return source_.Size(); }
    size_t ReadAt(uint64_t offset, void* out, size_t length) override;

  private:
    ByteSource& source_;
    std::vector<uint8_t> window_;
    uint64_t start_ = 0;
};

// Opens a file by UTF-8 path in mode "rb" (wide API on Windows, so any name
// opens). On failure `why`, when given, gets the reason.
std::FILE* OpenBinaryFile(const std::string& path, std::string* why = nullptr);
