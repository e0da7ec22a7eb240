#include "model/ByteSource.h"

#include "model/Text.h"
#include "model/Utf8Path.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#ifdef _WIN32
#include <sys/stat.h>
#include <sys/types.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

// Null, with the reason in `why` when asked for.
std::FILE* Refuse(std::string* why, const std::string& reason) {
    if (why)
        *why = reason;
    return nullptr;
}

}  // namespace

// Only a regular file is read: a folder holds no bytes, and a FIFO, a socket
// or a device would block the reader or never end.
std::FILE* OpenBinaryFile(const std::string& path, std::string* why) {
    const std::filesystem::path native = PathFromUtf8(path);
    constexpr const char* kNotRegular = "not a regular file";
#ifdef _WIN32
    // Device names (CON, NUL, COM1...) are not regular files: never opened.
    std::error_code error;
    const std::filesystem::file_status kind = std::filesystem::status(native, error);
    if (error)
        return Refuse(why, error.message());
    if (std::filesystem::is_directory(kind))
        return Refuse(why, std::strerror(EISDIR));
    if (!std::filesystem::is_regular_file(kind))
        return Refuse(why, kNotRegular);
    std::FILE* file = _wfopen(native.c_str(), L"rb");
    if (!file)
        return Refuse(why, std::strerror(errno));
    struct _stat64 status;
    if (_fstat64(_fileno(file), &status) != 0 || !(status.st_mode & _S_IFREG)) {
        std::fclose(file);
        return Refuse(why, kNotRegular);
    }
    return file;
#else
    // Opening a FIFO blocks until a writer comes, unless the open does not wait;
    // the descriptor then says what the name stands for.
    const int fd = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Refuse(why, std::strerror(errno));
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        // A folder opens for reading here; it is still no file to read.
        const bool folder = S_ISDIR(status.st_mode);
        ::close(fd);
        return Refuse(why, folder ? std::strerror(EISDIR) : kNotRegular);
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        const int failed = errno;
        ::close(fd);
        return Refuse(why, std::strerror(failed));
    }
    return file;
#endif
}

bool FileSource::Open(const std::string& path) {
    Close();
    error_.clear();
    file_ = OpenBinaryFile(path, &error_);
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
    shrank_ = false;
}

size_t FileSource::ReadAt(uint64_t offset, void* out, size_t length) {
    if (!file_ || length == 0 || offset >= size_)
        return 0;
    const size_t expected = static_cast<size_t>(std::min<uint64_t>(length, size_ - offset));
    const size_t count = SeekTo(file_, offset) ? std::fread(out, 1, length, file_) : 0;
    if (count < expected && !shrank_) {
        shrank_ = true;
        error_ = std::ferror(file_) ? std::string(std::strerror(errno))
                                    : "the file shrank while it was read (it had " +
                                          Counted(size_, "byte") + " when opened)";
    }
    return count;
}

size_t WindowedSource::ReadAt(uint64_t offset, void* out, size_t length) {
    if (length >= kWindow)
        return source_.ReadAt(offset, out, length);
    if (offset < start_ || offset + length > start_ + window_.size()) {
        // No larger than the file: a small file costs no more than its size.
        window_.resize(static_cast<size_t>(std::min<uint64_t>(kWindow, source_.Size())));
        window_.resize(source_.ReadAt(offset, window_.data(), window_.size()));
        start_ = offset;
    }
    if (offset >= start_ + window_.size())
        return 0;
    const size_t count = std::min<uint64_t>(length, start_ + window_.size() - offset);
    if (count)
        std::memcpy(out, window_.data() + (offset - start_), count);
    return count;
}

size_t MemorySource::ReadAt(uint64_t offset, void* out, size_t length) {
    if (offset >= bytes_.size())
        return 0;
    size_t count = std::min<uint64_t>(length, bytes_.size() - offset);
    if (count)
        std::memcpy(out, bytes_.data() + offset, count);
    return count;
}
