#include "model/ByteSource.h"

#include "model/Utf8Path.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace {

bool SeekTo(std::FILE* file, uint64_t offset) {
#ifdef _WIN32
    return _fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

uint64_t SizeOf(std::FILE* file) {
#ifdef _WIN32
    if (_fseeki64(file, 0, SEEK_END) != 0)
        return 0;
    long long end = _ftelli64(file);
#else
    if (fseeko(file, 0, SEEK_END) != 0)
        return 0;
    off_t end = ftello(file);
#endif
    return end > 0 ? static_cast<uint64_t>(end) : 0;
}

}  // namespace

std::FILE* OpenBinaryFile(const std::string& path) {
    std::filesystem::path native = PathFromUtf8(path);
    // A folder opens on some systems but holds no bytes: it is not a readable file.
    std::error_code error;
    if (std::filesystem::is_directory(native, error))
        return nullptr;
#ifdef _WIN32
    return _wfopen(native.c_str(), L"rb");
#else
    return std::fopen(native.c_str(), "rb");
#endif
}

bool FileSource::Open(const std::string& path) {
    Close();
    file_ = OpenBinaryFile(path);
    if (!file_)
        return false;
    size_ = SizeOf(file_);
    return true;
}

void FileSource::Close() {
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
    size_ = 0;
}

size_t FileSource::ReadAt(uint64_t offset, void* out, size_t length) {
    if (!file_ || length == 0 || offset >= size_)
        return 0;
    if (!SeekTo(file_, offset))
        return 0;
    return std::fread(out, 1, length, file_);
}

size_t MemorySource::ReadAt(uint64_t offset, void* out, size_t length) {
    if (offset >= bytes_.size())
        return 0;
    size_t count = std::min<uint64_t>(length, bytes_.size() - offset);
    if (count)
        std::memcpy(out, bytes_.data() + offset, count);
    return count;
}
